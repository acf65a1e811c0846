#pragma once
// Helpers shared by the GUI and editor tests: a temporary directory, images
// written as BMP files or built in memory, small text files, and the font the
// drawing tests print with.

#include <SDL.h>

#include <string>

#include "support/files.h"

// A w x h surface filled with colour 0xRRGGBB. `bits` 8 (palette), 24 or 32;
// `redFirst` puts red in the lowest byte (as the archive's tiles are), else
// the usual BGR/ARGB order; 32-bit surfaces carry an opaque alpha channel.
SDL_Surface* solidSurface(int w, int h, Uint32 rgb, int bits = 24, bool redFirst = false);

// A 2 x 2 block image of `side` x `side` pixels: red top-left, green
// top-right, blue bottom-left, white bottom-right.
SDL_Surface* quadrantSurface(int side, int bits, bool redFirst);

void setPixel(SDL_Surface* s, int x, int y, Uint32 rgb);
Uint32 pixelAt(SDL_Surface* s, int x, int y);  // 0xRRGGBB

// Writes `s` as a BMP file (creating parent directories) and frees it.
void saveBmp(SDL_Surface* s, const std::string& path);

// A TrueType font to print with: the project's own when the art is built
// beside the tests, else a system one; empty when none exists.
std::string testFontPath();
