#pragma once
// Frame pacing for the windowed loops: about 60 frames a second without
// spinning a core. Where the buffer swap waits for the display's refresh
// (vsync) the loop is paced by it; otherwise, and whenever the loop runs
// well above the target rate although vsync was granted (a virtual display
// grants it and never waits), it sleeps to the next frame's deadline.
// Keeps the work time of the last frames (start to swap, sleep excluded)
// for the frame-time figures. GUI thread only.

#include <chrono>
#include <vector>

class FramePacer {
 public:
  using Clock = std::chrono::steady_clock;

  // `vsync`: the display grants a swap interval of 1.
  explicit FramePacer(bool vsync, double framesPerSecond = 60.0);

  // Call at the start of each frame's work.
  void beginFrame();
  // Call after the swap: records the frame's work time and sleeps to the
  // next deadline when the loop is not paced by vsync.
  void endFrame();

  bool sleeping() const { return sleeping_; }
  // Work times of the last frames (at most `kKept`), in milliseconds,
  // oldest first.
  std::vector<double> workTimes() const;
  static constexpr std::size_t kKept = 600;

 private:
  Clock::duration period_;
  bool sleeping_;
  Clock::time_point start_{};
  Clock::time_point deadline_{};
  Clock::time_point lastEnd_{};
  // Frames in the current check of a granted vsync, and their time.
  int checked_ = 0;
  Clock::duration checkedTime_{};
  std::vector<double> work_;
  std::size_t next_ = 0;
};

// True when the open window's swap interval is 1 (startVideo asks for it).
bool vsyncGranted();
