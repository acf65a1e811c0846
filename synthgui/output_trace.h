#pragma once
// The output trace: the synthesizer's output drawn sample by sample as
// vertical bars from the window's centre line, moving right at a speed set
// by `scopeZoom`, and starting again at the left once past column 800 with
// the text "ZOOM SIZE IS <zoom>". The render callback hands the samples over
// (audio/scope_feed.h); the GUI thread steps the picture and draws it over
// the panels. GUI thread only.

#include <cstdint>
#include <vector>

// The picture, without any OpenGL: one 32-bit pixel per window pixel,
// 0xAARRGGBB, transparent (0) where nothing is drawn.
class TracePicture {
 public:
  static constexpr int kWidth = 1024;
  static constexpr int kHeight = 768;
  static constexpr int kLastColumn = 800;

  // Colours of the bars, their tips and the centre line.
  static constexpr uint32_t kBar = 0xFF808080;
  static constexpr uint32_t kTip = 0xFF80FFFF;
  static constexpr uint32_t kCentre = 0xFFFF00FF;

  TracePicture();

  // One frame of the output: its master value `v` and the frame count `n`
  // of the callback that rendered it. The column moves by (n / 700) / 1000
  // x `zoom` pixels (0.004 for a buffer of 3072 frames at zoom 1); past
  // column 800 the picture is cleared and the trace starts again at 0 with
  // the zoom text. A value that is not a number draws no bar.
  void step(float v, int n, float zoom);

  uint32_t pixel(int x, int y) const;
  float column() const { return scopeX_; }
  // "ZOOM SIZE IS %3.3f" since the last restart; empty before the first.
  const char* zoomText() const { return zoomText_; }

  // Columns changed since the last takeChanges, as [first, last]; false
  // when none. After a restart the whole picture counts as changed.
  bool takeChanges(int& first, int& last);
  const uint32_t* pixels() const { return pixels_.data(); }
  // The rectangle that holds every pixel drawn since the last restart, as
  // [left, right] x [top, bottom]; false when nothing is drawn.
  bool drawnArea(int& left, int& top, int& right, int& bottom) const;

 private:
  void set(int x, int y, uint32_t colour);

  std::vector<uint32_t> pixels_;
  float scopeX_ = 0;
  char zoomText_[32] = {};
  int firstChanged_ = kWidth;
  int lastChanged_ = -1;
  int left_ = kWidth, top_ = kHeight, right_ = -1, bottom_ = -1;
};

// Drains the samples the render callback handed over into the picture
// (with the current `scopeZoom`). Returns how many were taken.
int feedOutputTrace(TracePicture& picture);

// Draws the picture over the window (screen coordinates, not scrolled),
// with its zoom text, inside push2D. Puts back the OpenGL state it changes.
void drawOutputTrace(TracePicture& picture);
