#include "gui/file_tokens.h"

#include <cctype>

bool readToken(std::FILE* file, char* field, std::size_t size) {
  int c;
  do {
    c = std::getc(file);
  } while (c != EOF && std::isspace(c));
  if (c == EOF) return false;
  std::size_t n = 0;
  while (c != EOF && !std::isspace(c)) {
    if (n + 1 < size) field[n++] = static_cast<char>(c);
    c = std::getc(file);
  }
  if (c != EOF) std::ungetc(c, file);
  if (size > 0) field[n] = '\0';
  return true;
}

bool readInt(std::FILE* file, int& value) {
  int v;
  if (std::fscanf(file, "%d", &v) != 1) return false;
  value = v;
  return true;
}

bool readFloat(std::FILE* file, float& value) {
  float v;
  if (std::fscanf(file, "%f", &v) != 1) return false;
  value = v;
  return true;
}
