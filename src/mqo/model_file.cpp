#include "mqo/model_file.h"

#include <memory>
#include <string>
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

// An archive arriving through a pipe is held to be read, since reading a zip
// needs seeking: in memory while it is small, in a file without a name once
// it is not, so that memory stays bounded however large the archive is.
constexpr int64_t kArchiveHeldInMemory = 16 << 20;

std::unique_ptr<TStream> HoldArchive(TStream& pipe, const std::string& head, const std::stop_token& stop) {
  auto memory = std::make_unique<TMemoryStream>();
  std::unique_ptr<TFileStream> spilled;
  TStream* held = memory.get();
  held->WriteBuffer(head.data(), static_cast<int64_t>(head.size()));
  char piece[1 << 16];
  for (int64_t n; (n = pipe.Read(piece, sizeof piece)) > 0;) {
    if (stop.stop_requested()) throw EAbort("");
    if (!spilled && memory->DataSize() + n > kArchiveHeldInMemory) {
      spilled = TFileStream::CreateTemporary();
      spilled->WriteBuffer(memory->Memory(), memory->DataSize());
      memory.reset();
      held = spilled.get();
    }
    held->WriteBuffer(piece, n);
  }
  held->SetPosition(0);
  if (spilled) return spilled;
  return memory;
}

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
  std::unique_ptr<TStream> held;
  if (file.Seek(0, soBeginning) != 0) held = HoldArchive(file, head, stop);
  TMqozModelStream model(held ? *held : file, path);
  TStreamPieces pieces(model);
  read(pieces);
}

}  // namespace corvida
