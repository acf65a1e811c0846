#include "gui/frame_loop.h"

#include <thread>

namespace {

// A granted vsync is checked over this many frames: running faster than
// 1.25 times the target rate means the swap does not wait.
constexpr int kCheckFrames = 30;
}  // namespace

FramePacer::FramePacer(bool vsync, double framesPerSecond)
    : period_(std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(1.0 / framesPerSecond))),
      sleeping_(!vsync) {
  deadline_ = lastEnd_ = Clock::now();
}

void FramePacer::endFrame() {
  const Clock::time_point now = Clock::now();
  if (!sleeping_) {
    checkedTime_ += now - lastEnd_;
    lastEnd_ = now;
    if (++checked_ == kCheckFrames) {
      if (checkedTime_ * 5 < period_ * 4 * kCheckFrames) sleeping_ = true;
      checked_ = 0;
      checkedTime_ = {};
    }
    deadline_ = now;
    return;
  }
  deadline_ += period_;
  // After a stall the pace picks up again instead of catching up.
  if (deadline_ < now) deadline_ = now;
  std::this_thread::sleep_until(deadline_);
}

bool vsyncGranted() {
  int interval = 0;
  return SDL_GL_GetAttribute(SDL_GL_SWAP_CONTROL, &interval) == 0 && interval == 1;
}

int drainEvents(std::vector<OBJET*>& objects, const EventHandlers& h) {
  int result = 0;
  SDL_Event event;
  while (SDL_PollEvent(&event)) {
    EventHandler handler = nullptr;
    switch (event.type) {
      case SDL_KEYDOWN: handler = h.keyDown; break;
      case SDL_KEYUP: handler = h.keyUp; break;
      case SDL_MOUSEMOTION: handler = h.motion; break;
      case SDL_MOUSEBUTTONDOWN: handler = h.buttonDown; break;
      case SDL_MOUSEBUTTONUP: handler = h.buttonUp; break;
      case SDL_QUIT: handler = h.quit; break;
      case SDL_VIDEOEXPOSE:
      case SDL_ACTIVEEVENT: handler = h.window; break;
      default: break;
    }
    if (handler) result |= handler(objects, event);
  }
  return result;
}

