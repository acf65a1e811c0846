#pragma once
// Structural changes to a running synthesizer (creating or removing modules,
// replacing the synthesizer, swapping a recording) are made while holding the
// sound layer's lock, which waits for a render in progress and keeps the
// render away until released. The sound layer installs the lock functions;
// until it does, taking the lock does nothing. The lock must be recursive.

void setAudioLockFunctions(void (*lock)(), void (*unlock)());

class AudioLock {
 public:
  AudioLock();
  ~AudioLock();
  AudioLock(const AudioLock&) = delete;
  AudioLock& operator=(const AudioLock&) = delete;
};
