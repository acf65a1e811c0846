#pragma once
// Word-by-word reading of the GUI's text files (RC layouts and the graphics
// archive), with the same token rules as scanf's %s, %d and %f, but never
// writing past a fixed field.

#include <cstddef>
#include <cstdio>

// Skips whitespace and reads one token into `field` (of `size` bytes). A
// longer token is cut to size - 1 characters and the rest of it is skipped.
// A zero byte separates tokens as a blank does, so a token is never empty.
// Returns false at end of file (the field is then left unchanged).
bool readToken(std::FILE* file, char* field, std::size_t size);
template <std::size_t N>
bool readToken(std::FILE* file, char (&field)[N]) {
  return readToken(file, field, N);
}

// scanf's %d and %f: a value is stored only when one could be read; a token
// that is not a number stays in the stream. A whole number beyond int is held
// at INT_MAX or INT_MIN.
bool readInt(std::FILE* file, int& value);
bool readFloat(std::FILE* file, float& value);
