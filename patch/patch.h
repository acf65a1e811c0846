#pragma once
// Patch files and patching: the readers and writers of patch files, the
// synthesizer start-up, and the shared field splitter and number readings.

#include "patch/tokenizer.h"
