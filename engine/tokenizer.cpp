#include "engine/tokenizer.h"

#include <cctype>
#include <climits>
#include <cstdlib>

int Tokenizer::fieldCount() const {
  int count = 0;
  for (char c : text_) count += (c == separator_);
  return count;
}

std::optional<std::string> Tokenizer::field(int n) const {
  if (n < 0) return std::nullopt;
  size_t start = 0;
  for (int i = 0; i < n; ++i) {
    size_t sep = text_.find(separator_, start);
    if (sep == std::string::npos) return std::nullopt;
    start = sep + 1;
  }
  if (start >= text_.size()) return std::nullopt;
  size_t end = text_.find(separator_, start);
  if (end == std::string::npos) end = text_.size();
  if (end == start) return std::nullopt;
  return text_.substr(start, end - start);
}

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

int readWhole(std::string_view text) {
  size_t i = 0;
  while (i < text.size() && isBlank(text[i])) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  long long magnitude = 0;
  for (; i < text.size() && isDigit(text[i]); ++i) {
    magnitude = magnitude * 10 + (text[i] - '0');
    if (magnitude > static_cast<long long>(INT_MAX) + 1) magnitude = static_cast<long long>(INT_MAX) + 1;
  }
  long long v = negative ? -magnitude : magnitude;
  if (v > INT_MAX) v = INT_MAX;
  return static_cast<int>(v);
}

double readReal(std::string_view text) {
  size_t i = 0;
  while (i < text.size() && isBlank(text[i])) ++i;
  const size_t start = i;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
  size_t digits = 0;
  while (i < text.size() && isDigit(text[i])) ++i, ++digits;
  if (i < text.size() && text[i] == '.') {
    ++i;
    while (i < text.size() && isDigit(text[i])) ++i, ++digits;
  }
  if (digits == 0) return 0.0;
  // An exponent counts only when it has digits of its own.
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    size_t j = i + 1;
    if (j < text.size() && (text[j] == '+' || text[j] == '-')) ++j;
    if (j < text.size() && isDigit(text[j])) {
      while (j < text.size() && isDigit(text[j])) ++j;
      i = j;
    }
  }
  std::string number(text.substr(start, i - start));
  return std::strtod(number.c_str(), nullptr);
}
