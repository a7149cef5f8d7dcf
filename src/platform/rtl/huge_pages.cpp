#include "platform/rtl/huge_pages.h"

#include <sys/mman.h>

#include <algorithm>
#include <cstdint>

namespace corvida {
namespace {

constexpr uintptr_t kHugePage = uintptr_t{2} << 20;
// Below this a text grows as any string does.
constexpr size_t kHugeTextFrom = 4 * kHugePage;

}  // namespace

void AdviseHugePages(void* block, size_t bytes) {
  const auto begin = reinterpret_cast<uintptr_t>(block);
  const uintptr_t first = (begin + kHugePage - 1) & ~(kHugePage - 1);
  const uintptr_t last = (begin + bytes) & ~(kHugePage - 1);
  if (block == nullptr || last <= first) return;
  // Only advice: a refusal leaves the block good with ordinary pages.
  madvise(reinterpret_cast<void*>(first), last - first, MADV_HUGEPAGE);
}

void ReserveInHugePages(std::string& text, size_t bytes) {
  if (bytes <= text.capacity() || bytes < kHugeTextFrom) return;
  text.reserve(bytes);
  AdviseHugePages(text.data(), text.capacity());
}

void AppendInHugePages(std::string& text, std::string_view piece) {
  const size_t needed = text.size() + piece.size();
  if (needed > text.capacity()) ReserveInHugePages(text, std::max(needed, 2 * text.capacity()));
  text.append(piece);
}

}  // namespace corvida
