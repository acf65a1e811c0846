#pragma once
// The OpenGL window and the small drawing routines the widgets rely on.
// Screen coordinates: pixels, (0, 0) at the top left, x to the right, y
// downwards, in a 1024 x 768 area. GUI thread only.
//
// Every routine here that changes OpenGL state it does not own puts it back,
// except push2D, which the caller pairs with pop2D.

#include <SDL.h>

#include <vector>

#include "gui/ui_state.h"

class OBJET;

// The SDL video surface of the OpenGL window, null before startVideo.
extern SDL_Surface* displaySurface;

// Opens the window (ending the program on an SDL failure), shows the splash
// "Zod_Engine/SnapShot.bmp" (stored as "SNAPSHOT"), prepares the OpenGL
// state, creates the image store and loads the graphics archive into it,
// and creates the surface text writer. Returns 1.
int startVideo(int width, int height, const char* title, const char* archivePath);

// True while an OpenGL window is open: drawing and texture uploads do
// nothing without one, so widget behaviour can run without a display.
bool glReady();

// Viewport (0, 0, width, height), a height of 0 taken as 1; leaves the
// projection matrix current and set to the identity.
void setViewport(int width, int height);

// Pushes a 2D projection with x from left to right and y from top (top of
// the window) to bottom; the model-view matrix is current and the identity
// afterwards. pop2D undoes it.
void push2D(int left, int top, int right, int bottom);
void pop2D();

// Draws texture `texture` on a quad centred on (cx, cy) minus the scroll
// offset, turned by rz degrees (clockwise on screen). The quad's
// axes are exchanged, so a sprite passes rz = angle + 90 to appear upright,
// with hx, hy its half width and half height.
void drawQuad(int texture, float cx, float cy, float depth, float rx, float ry, float rz, float hx,
              float hy);

// Updates and draws every panel of `objects` whose rectangle overlaps the
// view at `scroll`. Returns 1.
int drawPanelsInView(std::vector<OBJET*>& objects, ScreenPoint scroll);

// Software surface helpers. fillSurface returns 0, or -1 when the surface
// cannot be locked. setPixel32 writes only 32-bit surfaces, only rows
// 0 < y < 800 and only pixels inside the surface.
int fillSurface(SDL_Surface* surface, Uint8 red, Uint8 green, Uint8 blue);
void setPixel32(SDL_Surface* surface, int x, int y, Uint32 colour);
