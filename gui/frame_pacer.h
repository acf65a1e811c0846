#pragma once
// Frame pacing for the windowed loops: about 60 frames a second without
// spinning a core. Where the buffer swap waits for the display's refresh
// (vsync) the loop is paced by it; otherwise, and whenever the loop runs
// well above the target rate although vsync was granted (a virtual display
// grants it and never waits), it sleeps to the next frame's deadline.
// GUI thread only.

#include <chrono>

class FramePacer {
 public:
  using Clock = std::chrono::steady_clock;

  // `vsync`: the display grants a swap interval of 1.
  explicit FramePacer(bool vsync, double framesPerSecond = 60.0);

  // Call once per frame, after the swap: sleeps to the next deadline when
  // the loop is not paced by vsync.
  void endFrame();

  bool sleeping() const { return sleeping_; }

 private:
  Clock::duration period_;
  bool sleeping_;
  Clock::time_point deadline_{};
  Clock::time_point lastEnd_{};
  // Frames in the current check of a granted vsync, and their time.
  int checked_ = 0;
  Clock::duration checkedTime_{};
};

// True when the open window's swap interval is 1 (startVideo asks for it).
bool vsyncGranted();
