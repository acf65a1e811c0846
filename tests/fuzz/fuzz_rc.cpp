// RC layout files: read, written back, read again. A save must read back
// with the same children and positions (no field may shift).

#include <cstdlib>
#include <string>

#include "fuzz_input.h"
#include "gui/gui.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const char* path = fuzz::writeInput(data, size);
  OBJET first(0, 0, "1");
  first.load(path);
  const std::string saved = fuzz::inputPath() + ".saved";
  OBJET second(0, 0, "1");
  if (!first.mainList.empty() && first.save(saved.c_str()) == 1) {
    second.load(saved.c_str());
    if (second.mainList.size() != first.mainList.size()) std::abort();
    for (std::size_t i = 0; i < first.mainList.size(); ++i) {
      if (first.mainList[i]->x != second.mainList[i]->x || first.mainList[i]->y != second.mainList[i]->y) std::abort();
    }
  }
  // Widgets are never freed by the engine; the harness frees its own.
  for (OBJET* panel : {&first, &second})
    for (SPRITE* child : panel->mainList) delete child;
  return 0;
}
