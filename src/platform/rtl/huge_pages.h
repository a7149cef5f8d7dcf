#pragma once
// Advice for blocks of many megabytes, such as the row array of a large text:
// backed by huge pages where the system has them, filling a block of a
// hundred megabytes costs hundreds of page faults instead of tens of
// thousands.
#include <cstddef>

namespace corvida {

// Asks for huge pages over the whole huge pages inside the block; smaller
// blocks, and systems without huge pages, are left as they are.
void AdviseHugePages(void* block, size_t bytes);

}  // namespace corvida
