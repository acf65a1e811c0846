#pragma once
// What the windowed frame loops (the layout editor, the synthesizer's
// window) share: draining the event queue into their handlers, ending on
// SIGINT and SIGTERM, and pacing. GUI thread only.

#include <SDL.h>

#include <chrono>
#include <vector>

#include "util/stop_signals.h"

class OBJET;

// An event loop's handler for one kind of event; returns its result flags.
using EventHandler = int (*)(std::vector<OBJET*>& objects, const SDL_Event& event);

// Null: that kind of event is passed over (user events and all others are).
struct EventHandlers {
  EventHandler keyDown = nullptr;
  EventHandler keyUp = nullptr;
  EventHandler motion = nullptr;
  EventHandler buttonDown = nullptr;
  EventHandler buttonUp = nullptr;
  EventHandler quit = nullptr;
  EventHandler window = nullptr;  // uncovered (expose) or its focus changed
};

// Takes every event from SDL's queue to its handler; returns the results
// of all handlers or-ed together.
int drainEvents(std::vector<OBJET*>& objects, const EventHandlers& handlers);

// Stop signals: catchStopSignals / stopSignalled (util/stop_signals.h).

// Frame pacing: about 60 frames a second without spinning a core. Where the buffer swap waits for the display's refresh
// (vsync) the loop is paced by it; otherwise, and whenever the loop runs
// well above the target rate although vsync was granted (a virtual display
// grants it and never waits), it sleeps to the next frame's deadline.

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
