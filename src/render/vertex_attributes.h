#pragma once
// Feeding float vertex attributes to the program in use.

#include <cstddef>

// Points attribute `location` at `size` floats per vertex, `strideBytes`
// apart (0: tightly packed), read from `data`: client memory, or a byte
// offset into the bound array buffer. A location of -1 (the pass has no such
// attribute) is skipped, as GL would reject it.
void pointAttribute(int location, int size, int strideBytes, const void* data);
// Returns byte offset `bytes` into the bound buffer, as the pointer GL takes.
inline const void* byteOffset(std::size_t bytes) { return reinterpret_cast<const void*>(bytes); }
