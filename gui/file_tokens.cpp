#include "gui/file_tokens.h"

#include <cctype>
#include <climits>

namespace {

// A zero byte separates tokens like a blank: inside a field it would end the
// text early and leave a field that reads back as nothing.
bool isSeparator(int c) { return c == '\0' || std::isspace(c); }

int nextNonSeparator(std::FILE* file) {
  int c;
  do {
    c = std::getc(file);
  } while (c != EOF && isSeparator(c));
  return c;
}

}  // namespace

bool readToken(std::FILE* file, char* field, std::size_t size) {
  int c = nextNonSeparator(file);
  if (c == EOF) return false;
  std::size_t n = 0;
  while (c != EOF && !isSeparator(c)) {
    if (n + 1 < size) field[n++] = static_cast<char>(c);
    c = std::getc(file);
  }
  if (c != EOF) std::ungetc(c, file);
  if (size > 0) field[n] = '\0';
  return true;
}

bool readInt(std::FILE* file, int& value) {
  // As scanf's %d, but a number past the range of int is held at its end
  // instead of being undefined.
  int c = nextNonSeparator(file);
  const bool negative = c == '-';
  if (c == '-' || c == '+') c = std::getc(file);
  if (c == EOF || !std::isdigit(c)) {
    if (c != EOF) std::ungetc(c, file);
    return false;
  }
  long long v = 0;
  for (; c != EOF && std::isdigit(c); c = std::getc(file)) {
    if (v <= INT_MAX) v = v * 10 + (c - '0');
  }
  if (c != EOF) std::ungetc(c, file);
  if (negative) v = -v;
  value = v > INT_MAX ? INT_MAX : (v < INT_MIN ? INT_MIN : static_cast<int>(v));
  return true;
}

bool readFloat(std::FILE* file, float& value) {
  float v;
  if (std::fscanf(file, "%f", &v) != 1) return false;
  value = v;
  return true;
}
