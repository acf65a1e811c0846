// morvel: the layout editor. Usage: morvel FILE.RC
#include <cstdio>
#include <string>

#include "editor/editor.h"
#include "engine/data_dir.h"

int main(int argc, char* argv[]) {
  if (argc < 2) {
    std::printf("Specify a .RC file\n");
    return 1;
  }
  // The data (grfx/, Fonts/, Zod_Engine/) lies beside the executable; the RC
  // path keeps the meaning it had where the user typed it.
  const std::string rcPath = enterDataDirectory(argv[1]);
  return runEditor(argv[1], rcPath.c_str());
}
