#include "mqo/model_file.h"

#include <string_view>
#include <utility>

#include "mqo/mqoz_reader.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/streams.h"

namespace corvida {
namespace {

// An archive is known by its name, or by the bytes every zip archive begins
// with: a pipe has no name to go by.
constexpr std::string_view kZipSignature("PK\x03\x04", 4);

// The pieces of a reading that may be asked to stop.
class TStoppablePieces : public TBytePieces {
 public:
  TStoppablePieces(TBytePieces& pieces, std::stop_token stop) : pieces_(pieces), stop_(std::move(stop)) {}
  size_t ReadPiece(char* buffer, size_t capacity) override {
    if (stop_.stop_requested()) throw EAbort("");
    return pieces_.ReadPiece(buffer, capacity);
  }

 private:
  TBytePieces& pieces_;
  std::stop_token stop_;
};

}  // namespace

void ReadModelFile(const std::string& path, const std::function<void(TBytePieces&)>& readAll,
                   std::stop_token stop) {
  const auto read = [&](TBytePieces& pieces) {
    TStoppablePieces stoppable(pieces, stop);
    readAll(stoppable);
  };
  TFileStream file(path, fmOpenRead | fmShareDenyWrite);
  std::string head(kZipSignature.size(), '\0');
  head.resize(static_cast<size_t>(file.Read(head.data(), static_cast<int64_t>(head.size()))));
  if (!IsMqozPath(path) && head != kZipSignature) {
    TStreamPieces pieces(file, std::move(head));
    read(pieces);
    return;
  }
  // Reading an archive needs seeking: one that arrives through a pipe is
  // held in memory.
  TMemoryStream held;
  TStream* archive = &file;
  if (file.Seek(0, soBeginning) != 0) {
    held.WriteBuffer(head.data(), static_cast<int64_t>(head.size()));
    char piece[1 << 16];
    for (int64_t n; (n = file.Read(piece, sizeof piece)) > 0;) {
      if (stop.stop_requested()) throw EAbort("");
      held.WriteBuffer(piece, n);
    }
    held.SetPosition(0);
    archive = &held;
  }
  TMqozModelStream model(*archive, path);
  TStreamPieces pieces(model);
  read(pieces);
}

}  // namespace corvida
