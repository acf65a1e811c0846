// morvel-synth [--headless] [patch]: the synthesizer front end. Until the
// windowed front end exists both forms run the console frame loop, which
// plays the patch and serves the remote box.

#include <cstring>
#include <string>
#include <vector>

#include "engine/data_dir.h"
#include "patch/startup.h"

int main(int argc, char** argv) {
  const char* patch = nullptr;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--headless") != 0 && patch == nullptr) patch = argv[i];
  }
  std::string path = enterDataDirectory(patch);
  std::vector<char*> args = {argv[0]};
  if (patch != nullptr) args.push_back(path.data());
  args.push_back(nullptr);
  return runHeadlessSynth(static_cast<int>(args.size()) - 1, args.data());
}
