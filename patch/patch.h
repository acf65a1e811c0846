#pragma once
// Patch files and patching: the readers and writers of patch files (the
// GENERATOR members loadObjects, loadLinks, writeObjects and the construction
// from a path, declared in engine/generator.h), the offline renderer and the
// synthesizer start-up.

#include "engine/engine.h"
#include "patch/patch_words.h"
#include "patch/render.h"
