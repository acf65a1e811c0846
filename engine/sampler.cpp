#include "engine/sampler.h"

#include <cmath>
#include <cstdio>
#include <new>

#include "engine/audio_lock.h"
#include "engine/wav_reader.h"

SAMPLER::SAMPLER() : VCO(1.0f, 1.0f, 1) {
  name[0] = '\0';
  samplePath[0] = '\0';
  loadSample("Sounds/phaser.wav");
  position = 0.0f;
  speed = 1.0f;
  volume = 1.0f;
}

void SAMPLER::loadSample(const char* path) {
  // Decode outside the lock (file I/O), then swap the recording in while the
  // render is kept away, so it never reads a half-replaced recording.
  std::unique_ptr<int16_t[]> fresh(new (std::nothrow) int16_t[kCapacity]);
  const int bytes = fresh ? readWavData(fresh.get(), path) : -1;
  if (bytes == -1) {
    // Keep the previous recording, its path and its mode, so that a saved
    // patch names the file that plays: ending the program would lose the
    // user's unsaved patch.
    std::printf("Error load the file\n");
    return;
  }
  {
    AudioLock lock;
    sampleData.swap(fresh);
    frameCount = bytes / 4;
    playMode = 0;
    std::snprintf(samplePath, sizeof samplePath, "%s", path != nullptr ? path : "");
  }
  std::printf("Loaded WAVE file [%-32s][%d ]\n", path, bytes / 4);
}

int SAMPLER::sampleAt(long index) const {
  const long limit = 2L * frameCount;
  if (!sampleData || index < 0 || index >= limit || index >= kCapacity) return 0;
  return sampleData[index];
}

int SAMPLER::process() {
  Shared<int>* gateWord = gateSource;
  if (gateWord == nullptr) return 1;
  if (*gateWord == 0) {
    position = 0.0f;
    value = 0.0f;
    return 1;
  }
  if (const Shared<int>* sync = syncSource; sync != nullptr && *sync != 0) position = 0.0f;

  const float baseSpeed = speed;
  float rate = baseSpeed;
  if (connected()) rate = read() / 440.0f + baseSpeed - 1.0f;

  float vol = volume;
  if (INPUT* m = modAmp) if (m->connected()) vol = vol * m->read() + volume;
  if (INPUT* m = modFreq) if (m->connected()) rate = rate * m->read() + baseSpeed;

  const float k = std::fabs(rate);
  const int frames = frameCount;
  const long span = 2L * frames;
  const int mode = playMode;

  float pos = position;
  // Past the end of the data: one-shot modes stop, silent, and close the gate
  // that drives them (its next note opens it again); loops start again. A
  // rate that is not a number or infinite ends the play the same way, so
  // such a value never becomes a read position.
  const bool badRate = !std::isfinite(k);
  if (!(pos < static_cast<float>(span)) || badRate) {
    pos = 0.0f;
    if (mode == 0 || mode == 1 || badRate) {
      if (mode == 0 || mode == 1) *gateWord = 0;
      position = 0.0f;
      value = 0.0f;
      return 1;
    }
  }
  if (pos < 0.0f) pos = 0.0f;

  const long p = static_cast<long>(pos);
  const int raw = (mode == 1 || mode == 3) ? sampleAt(span - p) : sampleAt(p);
  const float out = static_cast<float>(raw) * vol / 32768.0f;
  value = std::isfinite(out) ? out : 0.0f;

  position = pos + 2.0f * k;
  return 1;
}
