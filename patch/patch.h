#pragma once
// Patch files and patching: the readers and writers of patch files and the
// synthesizer start-up.

#include "engine/engine.h"
