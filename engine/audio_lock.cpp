#include "engine/audio_lock.h"

#include <atomic>

namespace {
std::atomic<void (*)()> lockFunction{nullptr};
std::atomic<void (*)()> unlockFunction{nullptr};
}  // namespace

void setAudioLockFunctions(void (*lock)(), void (*unlock)()) {
  lockFunction.store(lock);
  unlockFunction.store(unlock);
}

AudioLock::AudioLock() {
  if (auto f = lockFunction.load()) f();
}

AudioLock::~AudioLock() {
  if (auto f = unlockFunction.load()) f();
}
