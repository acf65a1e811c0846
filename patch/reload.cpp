#include "patch/reload.h"

#include <cstdio>

#include "engine/audio_lock.h"
#include "patch/port_table.h"

ReloadResult reloadPatch(const char* path) {
  ReloadResult result;
  auto* fresh = new GENERATOR(path);
  if (fresh->loadStatus != GENERATOR::LoadStatus::Loaded) {
    const bool unreadable = fresh->loadStatus != GENERATOR::LoadStatus::Broken;
    std::printf("Load failed [%s]: %s; the running patch is kept\n", path ? path : "",
                unreadable ? "the file cannot be opened" : "the file has errors (see above)");
    // Nothing but this function ever saw it.
    releaseSynth(fresh);
    return result;
  }
  {
    AudioLock lock;
    result.previous = currentGenerator;
    currentGenerator = fresh;
    connectMasterInput(*fresh);
  }
  result.loaded = true;
  return result;
}
