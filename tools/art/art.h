// The groups of pictures the art generator makes; each adds its images to
// the archive.
#pragma once

#include "archive.h"

namespace art {

void makeWidgets(Archive& a);     // knobs, scales, jacks, plugs, LEDs, lamps, keys
void makeDisplays(Archive& a);    // waveform, filter and play-mode displays
void makePlates(Archive& a);      // faceplates, backs, dashboards, dialogs, demo
void makeBackground(Archive& a);  // "FOND_GLOBAL", the turning background tile
void makeSplash(const std::string& path);  // the start-up screen (BMP)

// Shared by the plates and the splash.
Layer knobPicture(int size, bool cream);

}  // namespace art
