// Synthesised sample sounds: each voice returns interleaved stereo frames
// (left, right) at 44100 Hz, roughly normalised.
#pragma once

#include <string>
#include <vector>

namespace snd {

constexpr double kRate = 44100.0;

struct Sound {
    std::string file;               // name in Sounds/
    std::vector<float> frames;      // interleaved L, R
};

std::vector<Sound> allSounds();

}  // namespace snd
