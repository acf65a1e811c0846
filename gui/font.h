#pragma once
// Text on screen: a TrueType font rendered once per character (codes 0 to
// 127) into its own texture and display list, so printing a string is one
// list call per character and no texture upload. GUI thread only; a font is
// loaded after the graphics archive, whose textures use their store indices
// as names without reserving them.

#include <GL/gl.h>
#include <SDL.h>

struct FONT {
  float height = 0;               // nominal size in pixels
  GLuint* textures = nullptr;     // 128 texture names, owned
  GLuint listBase = 0;            // list listBase + c draws character c

  // Renders every glyph of the font file at `size` pixels (96 dpi). Throws
  // std::runtime_error on a FreeType failure.
  void loadFont(const char* path, unsigned int size);
  // Deletes the lists and the textures.
  void freeFont();
  bool loaded() const { return textures != nullptr; }
};

// The small font (size 6) every label uses and the large one (size 12).
extern FONT smallFont;
extern FONT bigFont;

// Formats (bounded to 255 characters) and prints with the pen at (x, y), y
// measured upwards from the bottom of the viewport; a line feed starts a new
// line height / 0.63 lower. The current colour colours the text; characters
// above 127 draw nothing. Does nothing when the font is not loaded.
void printText(const FONT& font, float x, float y, const char* format, ...)
    __attribute__((format(printf, 4, 5)));

// The text writer for software surfaces. Its rasterising step yields no
// surface in this system: it draws nothing and returns 0 (a size above 63
// also prints "Size to big for font").
class SURFACE_TEXT {
 public:
  int writeText(SDL_Surface* target, const char* text, int size, int x, int y, Uint32 colour,
                Uint32 secondColour, int extra, int centred);
};

// Created by startVideo.
extern SURFACE_TEXT* textWriter;
