#include "editor/model/row_text_heap.h"

#include <array>
#include <cstdlib>
#include <new>
#include <vector>

#include "platform/rtl/huge_pages.h"

namespace corvida {
namespace {

constexpr size_t kGranule = 8;
// Blocks above this many bytes come from the general heap.
constexpr size_t kLargestPooled = 512;
// A slab is one huge page, so that filling it costs one page fault.
constexpr size_t kSlabBytes = size_t{2} << 20;

class TRowTextHeap {
 public:
  char* Allocate(size_t bytes) {
    if (bytes > kLargestPooled) return static_cast<char*>(::operator new(bytes));
    const size_t size = Rounded(bytes);
    ++used_;
    void*& head = free_[size / kGranule];
    if (head != nullptr) {
      void* block = head;
      head = *static_cast<void**>(block);
      return static_cast<char*>(block);
    }
    if (static_cast<size_t>(end_ - next_) < size) NewSlab();
    char* block = next_;
    next_ += size;
    return block;
  }

  void Free(char* block, size_t bytes) {
    if (bytes > kLargestPooled) {
      ::operator delete(block);
      return;
    }
    void*& head = free_[Rounded(bytes) / kGranule];
    *reinterpret_cast<void**>(block) = head;
    head = block;
    if (--used_ == 0) ReleaseSlabs();
  }

 private:
  static size_t Rounded(size_t bytes) { return (bytes + kGranule - 1) / kGranule * kGranule; }

  void NewSlab() {
    void* slab = std::aligned_alloc(kSlabBytes, kSlabBytes);
    if (slab == nullptr) throw std::bad_alloc();
    AdviseHugePages(slab, kSlabBytes);
    slabs_.push_back(static_cast<char*>(slab));
    next_ = slabs_.back();
    end_ = next_ + kSlabBytes;
  }

  void ReleaseSlabs() {
    for (char* slab : slabs_) std::free(slab);
    slabs_.clear();
    free_.fill(nullptr);
    next_ = end_ = nullptr;
  }

  std::vector<char*> slabs_;
  char* next_ = nullptr;
  char* end_ = nullptr;
  // The first free block of each size, in granules; each free block holds
  // the address of the next.
  std::array<void*, kLargestPooled / kGranule + 1> free_{};
  size_t used_ = 0;
};

// Never destroyed: rows of objects destroyed at exit still give their blocks back.
TRowTextHeap& Heap() {
  static TRowTextHeap* heap = new TRowTextHeap;
  return *heap;
}

}  // namespace

char* AllocateRowText(size_t bytes) { return Heap().Allocate(bytes); }

void FreeRowText(char* block, size_t bytes) { Heap().Free(block, bytes); }

}  // namespace corvida
