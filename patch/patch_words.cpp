#include "patch/patch_words.h"

#include <SDL/SDL.h>

#include "engine/tokenizer.h"
#include "util/regular_file.h"

namespace {
bool isSpace(int c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; }
}  // namespace

PatchWords::PatchWords(const char* path) {
  std::string reason;
  file_ = openRegularStream(path, reason);
  if (file_ == nullptr) {
    std::printf("Must Specify a true filename\n");
    std::printf("Cannot open the patch [%s]: %s\n", path != nullptr ? path : "", reason.c_str());
    return;
  }
  SDL_WM_SetCaption(path, nullptr);
}

PatchWords::~PatchWords() {
  if (file_ != nullptr) std::fclose(file_);
}

bool PatchWords::next(std::string& word) {
  word.clear();
  int c = std::fgetc(file_);
  while (c != EOF && isSpace(c)) c = std::fgetc(file_);
  if (c == EOF) return false;
  for (; c != EOF && !isSpace(c); c = std::fgetc(file_)) {
    if (word.size() < kMaxWord) word.push_back(static_cast<char>(c));
  }
  ++counter_;
  return true;
}

std::optional<std::string> parameterValue(std::string_view parameter) {
  return Tokenizer(parameter, '=').field(1);
}

std::string_view parameterKey(std::string_view parameter) {
  return parameter.substr(0, parameter.find('='));
}
