#pragma once
// Advice for blocks of many megabytes, such as the row array of a large text:
// backed by huge pages where the system has them, filling a block of a
// hundred megabytes costs hundreds of page faults instead of tens of
// thousands.
#include <cstddef>
#include <string>
#include <string_view>

namespace corvida {

// Asks for huge pages over the whole huge pages inside the block; smaller
// blocks, and systems without huge pages, are left as they are.
void AdviseHugePages(void* block, size_t bytes);

// Makes room for bytes in text, asking for huge pages over it: a text of
// many megabytes built a line at a time. Small texts are left alone.
void ReserveInHugePages(std::string& text, size_t bytes);
// Appends piece to text, which grows by doubling as a string does but asks
// for huge pages each time it grows.
void AppendInHugePages(std::string& text, std::string_view piece);

}  // namespace corvida
