#pragma once
// SAMPLER: plays a 16-bit stereo recording held in memory, forward or
// backward, once or looped, while its gate is open.

#include <cstdint>
#include <memory>

#include "engine/vco.h"

// Stand-in for the sound library's sample handle; nothing plays through it.
struct SampleHandle {};

class SAMPLER final : public VCO {
 public:
  // Room for 8,000,000 16-bit values: 16,000,000 bytes.
  static constexpr int kCapacity = 8000000;

  // Loads "Sounds/phaser.wav" (relative to the working directory).
  SAMPLER();
  int process() override;

  // Replaces the recording with the file at `path`, sets `samplePath` and
  // resets `playMode` to 0. A file that cannot be read changes nothing: the
  // previous recording, path and mode stay (the messages say so). Main
  // thread; the swap itself holds the audio lock.
  void loadSample(const char* path);

  SampleHandle* sampleHandle = nullptr;
  Shared<int> playMode{0};  // 0 forward once, 1 backward once, 2 forward loop, 3 backward loop
  Shared<int> frameCount{0};
  // Interleaved left/right values, kCapacity of them; swapped under the audio lock.
  std::unique_ptr<int16_t[]> sampleData;
  char name[800];
  Shared<float> position{0.0f};  // read position in 16-bit values
  Shared<float> speed{1.0f};
  Shared<float> volume{1.0f};
  // The loaded file's whole path (up to the system's path length), so that a
  // patch saved with it points at the same file.
  static constexpr int kPathSize = 4096;
  char samplePath[kPathSize];

  // The value at `index`, 0 outside the loaded data.
  int sampleAt(long index) const;
  void setName(const char* text) { copyName(name, text); }
};
