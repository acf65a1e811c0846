#pragma once
// Synthetic input pushed into SDL's real event queue, as the event loops
// under test will take it.

#include <SDL.h>

inline void pushMotion(int x, int y) {
  SDL_Event e{};
  e.type = SDL_MOUSEMOTION;
  e.motion.x = static_cast<Uint16>(x);
  e.motion.y = static_cast<Uint16>(y);
  SDL_PushEvent(&e);
}

// `type` is SDL_MOUSEBUTTONDOWN or SDL_MOUSEBUTTONUP.
inline void pushButton(Uint8 type, Uint8 which, int x, int y) {
  SDL_Event e{};
  e.type = type;
  e.button.button = which;
  e.button.x = static_cast<Uint16>(x);
  e.button.y = static_cast<Uint16>(y);
  SDL_PushEvent(&e);
}

// `type` is SDL_KEYDOWN or SDL_KEYUP.
inline void pushKey(Uint8 type, SDLKey sym) {
  SDL_Event e{};
  e.type = type;
  e.key.keysym.sym = sym;
  SDL_PushEvent(&e);
}
