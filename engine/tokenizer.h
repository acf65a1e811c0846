#pragma once
// Field splitter and number readings shared by the patch readers and the
// remote-control service.

#include <optional>
#include <string>
#include <string_view>

class Tokenizer {
 public:
  Tokenizer(std::string_view text, char separator) : text_(text), separator_(separator) {}

  // The number of separator characters in the text (not the number of fields).
  int fieldCount() const;

  // The text between the n-th separator (n = 0: the start of the text) and the
  // next separator or the end. Nothing when fewer than n separators exist, when
  // the field would start at the end of the text, or when it is empty.
  std::optional<std::string> field(int n) const;

 private:
  std::string text_;
  char separator_;
};

// A whole number: optional leading blanks, an optional sign and the leading
// decimal digits; the rest is ignored, no digits give 0. Saturates at the
// limits of int.
int readWhole(std::string_view text);

// The longest leading decimal floating-point text (optional blanks, sign,
// digits, decimal point, exponent); none gives 0.0.
double readReal(std::string_view text);
