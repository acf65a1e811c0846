#pragma once
// The output trace's hand-over from the audio thread to the GUI thread:
// while `scopeEnabled` is 1 the render callback pushes every frame's master
// value, with the frame count of its callback, into a fixed ring; the GUI
// thread takes them once per frame and draws them. Pushing never waits,
// locks or allocates: a frame that finds the ring full (the GUI thread held
// up, by a dialog for instance) is dropped and counted.

#include <cstddef>

struct ScopeFrame {
  float value = 0;  // the frame's master value
  int frames = 0;   // the frame count of the callback that rendered it
};

// About 0.74 s of sound.
constexpr std::size_t kScopeFeedCapacity = 32768;

// Installs / removes the render callback's trace hook (audio/render.h).
// Main thread.
void startScopeFeed();
void stopScopeFeed();

// Takes up to `max` frames, oldest first; returns how many. The GUI thread
// only (the one consumer).
std::size_t takeScopeFrames(ScopeFrame* out, std::size_t max);

// Frames dropped because the ring was full.
long droppedScopeFrames();
