#pragma once
// Decodes a sound file into 16-bit interleaved stereo.

#include <cstdint>

// Room the reader may fill: 16,000,000 bytes.
constexpr int kWavCapacityBytes = 16000000;

// Decodes any file libsndfile reads into `buffer` (room for
// kWavCapacityBytes): mono is duplicated to both channels, of more channels the
// first two are kept, no resampling. Returns the bytes written, or -1 after
// printing "Error load [path]".
int readWavData(int16_t* buffer, const char* path);
