#include "mqo/model_input.h"

#include <algorithm>
#include <cstring>

#include "mqo/mqo_parser.h"

namespace corvida {

size_t TStreamPieces::ReadPiece(char* buffer, size_t capacity) {
  if (headTaken_ < head_.size()) {
    const size_t n = head_.copy(buffer, capacity, headTaken_);
    headTaken_ += n;
    return n;
  }
  return static_cast<size_t>(std::max<int64_t>(stream_.Read(buffer, static_cast<int64_t>(capacity)), 0));
}

std::string_view TModelInput::Hold(uint64_t from, size_t want) {
  begin_ += static_cast<size_t>(from - start_);
  start_ = from;
  if (end_ - begin_ < want && !dry_) {
    std::memmove(buffer_.get(), buffer_.get() + begin_, end_ - begin_);
    end_ -= begin_;
    begin_ = 0;
    while (end_ < want && !dry_) {
      const size_t n = pieces_.ReadPiece(buffer_.get() + end_, capacity_ - end_);
      if (n == 0) dry_ = true;
      end_ += n;
    }
  }
  return {buffer_.get() + begin_, end_ - begin_};
}

int64_t TModelInputStream::Read(void* buffer, int64_t count) {
  static_assert(TModelInput::kLeastCapacity >= 2 * TParser::kWindowSize);
  const uint64_t keep = std::max(input_.HeldStart(), pos_ - std::min<uint64_t>(pos_, TParser::kWindowSize));
  const std::string_view held = input_.Hold(keep, static_cast<size_t>(pos_ - keep + static_cast<uint64_t>(count)));
  const size_t offset = static_cast<size_t>(pos_ - keep);
  const size_t n = std::min(static_cast<size_t>(count), held.size() - offset);
  std::memcpy(buffer, held.data() + offset, n);
  pos_ += n;
  return static_cast<int64_t>(n);
}

}  // namespace corvida
