#include "app/model_input.h"

#include <sys/mman.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstring>

#include "app/mqo_parser.h"

namespace corvida {

TFilePieces::TFilePieces(const std::string& path) : file_(path, fmOpenRead | fmShareDenyWrite) {
  struct stat st {};
  if (::fstat(file_.Handle(), &st) != 0 || !S_ISREG(st.st_mode) || st.st_size <= 0) return;
  void* map = ::mmap(nullptr, static_cast<size_t>(st.st_size), PROT_READ, MAP_PRIVATE, file_.Handle(), 0);
  if (map == MAP_FAILED) return;
  ::madvise(map, static_cast<size_t>(st.st_size), MADV_SEQUENTIAL);
  map_ = map;
  mapSize_ = static_cast<size_t>(st.st_size);
}

TFilePieces::~TFilePieces() {
  if (map_ != nullptr) ::munmap(map_, mapSize_);
}

std::string_view TFilePieces::NextPiece() {
  if (map_ != nullptr) {
    if (mapGiven_) return {};
    mapGiven_ = true;
    return {static_cast<const char*>(map_), mapSize_};
  }
  if (!buffer_) buffer_ = std::make_unique<char[]>(kPieceSize);
  const int64_t n = file_.Read(buffer_.get(), kPieceSize);
  return {buffer_.get(), static_cast<size_t>(std::max<int64_t>(n, 0))};
}

std::string_view TModelInput::Hold(uint64_t from, size_t want) {
  held_.remove_prefix(static_cast<size_t>(from - start_));
  start_ = from;
  while (held_.size() < want && !dry_) {
    // The next piece replaces the last one, so bytes still held in it are
    // copied first.
    if (!held_.empty()) {
      if (inJoined_) {
        joined_.erase(0, static_cast<size_t>(held_.data() - joined_.data()));
      } else {
        joined_.assign(held_);
        inJoined_ = true;
      }
      held_ = joined_;
    }
    const std::string_view piece = pieces_.NextPiece();
    if (piece.empty()) {
      dry_ = true;
    } else if (held_.empty()) {
      held_ = piece;
      inJoined_ = false;
    } else {
      joined_.append(piece);
      held_ = joined_;
    }
  }
  return held_;
}

int64_t TModelInputStream::Read(void* buffer, int64_t count) {
  const uint64_t keep = std::max(input_.HeldStart(), pos_ - std::min<uint64_t>(pos_, TParser::kWindowSize));
  const std::string_view held = input_.Hold(keep, static_cast<size_t>(pos_ - keep + static_cast<uint64_t>(count)));
  const size_t offset = static_cast<size_t>(pos_ - keep);
  const size_t n = std::min(static_cast<size_t>(count), held.size() - offset);
  std::memcpy(buffer, held.data() + offset, n);
  pos_ += n;
  return static_cast<int64_t>(n);
}

}  // namespace corvida
