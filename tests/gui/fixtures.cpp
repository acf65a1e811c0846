#include "gui/fixtures.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace fs = std::filesystem;

SDL_Surface* solidSurface(int w, int h, Uint32 rgb, int bits, bool redFirst) {
  SDL_Surface* s = nullptr;
  if (bits == 8) {
    s = SDL_CreateRGBSurface(SDL_SWSURFACE, w, h, 8, 0, 0, 0, 0);
    SDL_Color palette[4] = {{0xFF, 0, 0, 0}, {0, 0xFF, 0, 0}, {0, 0, 0xFF, 0}, {0xFF, 0xFF, 0xFF, 0}};
    SDL_SetColors(s, palette, 0, 4);
  } else if (bits == 24) {
    s = redFirst ? SDL_CreateRGBSurface(SDL_SWSURFACE, w, h, 24, 0x0000FF, 0x00FF00, 0xFF0000, 0)
                 : SDL_CreateRGBSurface(SDL_SWSURFACE, w, h, 24, 0xFF0000, 0x00FF00, 0x0000FF, 0);
  } else {
    s = redFirst ? SDL_CreateRGBSurface(SDL_SWSURFACE, w, h, 32, 0x000000FF, 0x0000FF00, 0x00FF0000, 0xFF000000)
                 : SDL_CreateRGBSurface(SDL_SWSURFACE, w, h, 32, 0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000);
  }
  if (!s) throw std::runtime_error("cannot create a surface");
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) setPixel(s, x, y, rgb);
  }
  return s;
}

SDL_Surface* quadrantSurface(int side, int bits, bool redFirst) {
  SDL_Surface* s = solidSurface(side, side, 0, bits, redFirst);
  const Uint32 colours[4] = {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF};
  for (int y = 0; y < side; ++y) {
    for (int x = 0; x < side; ++x) {
      setPixel(s, x, y, colours[(y >= side / 2 ? 2 : 0) + (x >= side / 2 ? 1 : 0)]);
    }
  }
  return s;
}

void setPixel(SDL_Surface* s, int x, int y, Uint32 rgb) {
  const Uint32 v = SDL_MapRGBA(s->format, (rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF, 0xFF);
  Uint8* p = static_cast<Uint8*>(s->pixels) + y * s->pitch + x * s->format->BytesPerPixel;
  switch (s->format->BytesPerPixel) {
    case 1:
      *p = static_cast<Uint8>(v);
      break;
    case 3:
      p[0] = v & 0xFF;
      p[1] = (v >> 8) & 0xFF;
      p[2] = (v >> 16) & 0xFF;
      break;
    default:
      *reinterpret_cast<Uint32*>(p) = v;
      break;
  }
}

Uint32 pixelAt(SDL_Surface* s, int x, int y) {
  const Uint8* p = static_cast<const Uint8*>(s->pixels) + y * s->pitch + x * s->format->BytesPerPixel;
  Uint32 v = 0;
  switch (s->format->BytesPerPixel) {
    case 1:
      v = *p;
      break;
    case 3:
      v = p[0] | (p[1] << 8) | (p[2] << 16);
      break;
    default:
      v = *reinterpret_cast<const Uint32*>(p);
      break;
  }
  Uint8 r, g, b;
  SDL_GetRGB(v, s->format, &r, &g, &b);
  return (Uint32(r) << 16) | (Uint32(g) << 8) | b;
}

void saveBmp(SDL_Surface* s, const std::string& path) {
  fs::create_directories(fs::path(path).parent_path());
  if (SDL_SaveBMP(s, path.c_str()) != 0) throw std::runtime_error("cannot write " + path);
  SDL_FreeSurface(s);
}

std::string testFontPath() {
  const char* candidates[] = {
      "Fonts/04b_03b_.ttf",
      "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf",
      "/usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf",
      "/usr/share/fonts/truetype/noto/NotoSansMono-Regular.ttf",
  };
  for (const char* c : candidates) {
    if (fs::exists(c)) return fs::absolute(c).string();
  }
  return "";
}
