#pragma once
// Replacing the running synthesizer by another patch file, all or nothing.

#include "engine/generator.h"

struct ReloadResult {
  bool loaded = false;
  // The synthesizer that was replaced (null when none ran, or nothing was
  // replaced). Its modules are still allocated: panels may point into it.
  // Hand it to releaseSynth once nothing can reach it any more.
  GENERATOR* previous = nullptr;
};

// Reads `path` into a new synthesizer while the running one keeps playing.
// A file that cannot be opened, or that the readers call broken, changes
// nothing: the running synthesizer, its sound and its panels stay, and one
// line names the file and why it was refused. A good file becomes
// `currentGenerator` under the audio lock, with `masterInput` bound to its
// "MIXER_4". Main thread.
ReloadResult reloadPatch(const char* path);
