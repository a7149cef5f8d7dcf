#pragma once
// Where the rows' texts live. A text of a few hundred bytes takes a block in
// steps of 8 bytes cut from slabs of 2 MB, with no header of its own, and a
// freed block waits on the free list of its size for the next text; once no
// block is in use the slabs go back to the system together. So a row costs
// its bytes rounded up to 8, and a million rows are filled and freed without
// a million calls of the general heap. Longer texts come from the general
// heap. Rows are made and freed on the user-interface thread only.
#include <cstddef>

namespace corvida {

// A block of bytes (at least 1) bytes.
char* AllocateRowText(size_t bytes);
// Gives back a block AllocateRowText made for the same number of bytes.
void FreeRowText(char* block, size_t bytes);

}  // namespace corvida
