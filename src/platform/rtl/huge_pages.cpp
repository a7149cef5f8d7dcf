#include "platform/rtl/huge_pages.h"

#include <sys/mman.h>

#include <cstdint>

namespace corvida {
namespace {

constexpr uintptr_t kHugePage = uintptr_t{2} << 20;

}  // namespace

void AdviseHugePages(void* block, size_t bytes) {
  const auto begin = reinterpret_cast<uintptr_t>(block);
  const uintptr_t first = (begin + kHugePage - 1) & ~(kHugePage - 1);
  const uintptr_t last = (begin + bytes) & ~(kHugePage - 1);
  if (block == nullptr || last <= first) return;
  // Only advice: a refusal leaves the block good with ordinary pages.
  madvise(reinterpret_cast<void*>(first), last - first, MADV_HUGEPAGE);
}

}  // namespace corvida
