#pragma once
// The lexical form shared by both sections of a patch file: the file is a
// sequence of words (runs of characters other than blanks, tabs and line
// breaks), each word one statement. Module kinds and keys are recognised by
// containment of a word, not by equality.

#include <cstdio>
#include <optional>
#include <string>
#include <string_view>

class PatchWords {
 public:
  // The reader's word buffer: 8000 bytes with the terminator. A longer word
  // keeps its first 7999 characters; the rest of it is skipped.
  static constexpr size_t kWordBuffer = 8000;
  static constexpr size_t kMaxWord = kWordBuffer - 1;

  // Opens a patch file for one pass and shows its path in the window
  // caption. A path that cannot be opened, or that is not a regular file (a
  // directory, a named pipe, a device), prints "Must Specify a true filename"
  // and a line naming the path and the reason.
  explicit PatchWords(const char* path);
  ~PatchWords();
  PatchWords(const PatchWords&) = delete;
  PatchWords& operator=(const PatchWords&) = delete;

  bool isOpen() const { return file_ != nullptr; }

  // The next word, or false at the end of the file. Every word counts,
  // markers and comments included.
  bool next(std::string& word);
  // The statement counter: the number of the last word read, from 1.
  int counter() const { return counter_; }

 private:
  FILE* file_ = nullptr;
  int counter_ = 0;
};

inline bool contains(std::string_view text, std::string_view word) {
  return text.find(word) != std::string_view::npos;
}

inline bool isComment(std::string_view word) { return !word.empty() && word[0] == '#'; }

// The value of a parameter: the text between its first "=" and the next "="
// (or the end). Nothing when it is missing or empty: a key without a value
// changes nothing.
std::optional<std::string> parameterValue(std::string_view parameter);
// The key of a parameter: the text before its first "=".
std::string_view parameterKey(std::string_view parameter);
