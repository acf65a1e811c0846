#include "gui/video.h"

#include <GL/gl.h>

#include <cstdio>
#include <cstdlib>

#include "gui/font.h"
#include "gui/image_store.h"
#include "gui/widgets.h"

SDL_Surface* displaySurface = nullptr;

namespace {

constexpr const char* kSplashPath = "Zod_Engine/SnapShot.bmp";

[[noreturn]] void videoFailure(const char* format) {
  std::fprintf(stderr, format, SDL_GetError());
  std::exit(1);
}

// Opens SDL's video subsystem. Connections to an X server are sometimes
// dropped during their handshake (seen under Xvfb on busy machines), so the
// X11 driver is tried a few times before SDL may fall back to its other
// drivers.
bool initVideoSubsystem() {
  const bool chooseX11 = std::getenv("DISPLAY") && !std::getenv("SDL_VIDEODRIVER");
  if (chooseX11) {
    setenv("SDL_VIDEODRIVER", "x11", 1);
    for (int attempt = 0; attempt < 10; ++attempt) {
      if (SDL_InitSubSystem(SDL_INIT_VIDEO) == 0) {
        unsetenv("SDL_VIDEODRIVER");
        return true;
      }
      SDL_Delay(100);
    }
    unsetenv("SDL_VIDEODRIVER");
  }
  return SDL_InitSubSystem(SDL_INIT_VIDEO) == 0;
}

}  // namespace

bool glReady() {
  SDL_Surface* s = SDL_GetVideoSurface();
  return s && (s->flags & SDL_OPENGL);
}

int startVideo(int width, int height, const char* title, const char* archivePath) {
  if (!initVideoSubsystem()) videoFailure("Video initialization failed: %s\n");
  const SDL_VideoInfo* info = SDL_GetVideoInfo();
  if (!info) videoFailure("Video query failed: %s\n");

  Uint32 flags = SDL_OPENGL | SDL_HWSURFACE | SDL_ASYNCBLIT | SDL_HWPALETTE;
  if (info->blit_hw) flags |= SDL_HWACCEL;
  SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
  displaySurface = SDL_SetVideoMode(width, height, 32, flags);
  if (!displaySurface) videoFailure("Video mode set failed: %s\n");
  SDL_WM_SetCaption(title, nullptr);

  setViewport(width, height);
  imageStore = new IMAGE_STORE();

  SDL_Surface* splash = SDL_LoadBMP_RW(SDL_RWFromFile(kSplashPath, "rb"), 1);
  if (!splash) {
    std::printf("Error opening [%s]\n", kSplashPath);
    std::fflush(stdout);
    std::exit(-1);
  }
  imageStore->put("SNAPSHOT", splash, splash->w, splash->h);
  auto* snapshot = new SPRITE("SNAPSHOT", 0, 0, 0, 0, 0, 1.0f, 0, 0);
  snapshot->surface = splash;
  snapshot->setPosition(0, 0, 0);
  push2D(0, 0, 1024, 768);
  snapshot->drawGL(nullptr);
  pop2D();
  SDL_GL_SwapBuffers();

  glShadeModel(GL_SMOOTH);
  glClearColor(0, 0, 0, 0);
  glClearDepth(1.0);
  glEnable(GL_DEPTH_TEST);
  glDepthFunc(GL_LEQUAL);
  glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);

  imageStore->loadArchive(archivePath);
  textWriter = new SURFACE_TEXT();
  return 1;
}

void setViewport(int width, int height) {
  if (height == 0) height = 1;
  glViewport(0, 0, width, height);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
}

void push2D(int left, int top, int right, int bottom) {
  glMatrixMode(GL_PROJECTION);
  glPushMatrix();
  glLoadIdentity();
  glOrtho(left, right, bottom, top, 0, 1);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
}

void pop2D() {
  glMatrixMode(GL_PROJECTION);
  glPopMatrix();
  glMatrixMode(GL_MODELVIEW);
}

void drawQuad(int texture, float cx, float cy, float depth, float rx, float ry, float rz, float hx,
              float hy) {
  if (!glReady()) return;
  glMatrixMode(GL_MODELVIEW);
  glPushMatrix();
  glLoadIdentity();
  // Drawn exactly where the widget is hit: no offset but the scroll.
  glTranslatef(cx - static_cast<float>(scrollOffset.x), cy - static_cast<float>(scrollOffset.y), depth);
  glRotatef(rx, 1, 0, 0);
  glRotatef(ry, 0, 1, 0);
  glRotatef(rz, 0, 0, 1);
  const GLboolean wasTextured = glIsEnabled(GL_TEXTURE_2D);
  glEnable(GL_TEXTURE_2D);
  // An unknown image (-1) binds a texture name that holds nothing.
  glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(texture));
  glBegin(GL_QUADS);
  glTexCoord2f(0, 0);
  glVertex3f(-hy, hx, 0);
  glTexCoord2f(0, 1);
  glVertex3f(hy, hx, 0);
  glTexCoord2f(1, 1);
  glVertex3f(hy, -hx, 0);
  glTexCoord2f(1, 0);
  glVertex3f(-hy, -hx, 0);
  glEnd();
  if (!wasTextured) glDisable(GL_TEXTURE_2D);
  glPopMatrix();
}

int drawPanelsInView(std::vector<OBJET*>& objects, ScreenPoint scroll) {
  const RECTANGLE view(static_cast<float>(scroll.x), static_cast<float>(scroll.y), 0,
                       static_cast<float>(scroll.x + 1024), static_cast<float>(scroll.y + 768));
  for (OBJET* panel : objects) {
    const RECTANGLE area(panel->x, panel->y, 0, panel->w, panel->h);
    if (view.overlaps(area)) {
      panel->update();
      panel->markChildren(1);
      panel->draw(nullptr);
    }
  }
  return 1;
}

int fillSurface(SDL_Surface* s, Uint8 red, Uint8 green, Uint8 blue) {
  if (SDL_LockSurface(s) < 0) return -1;
  const Uint32 value = SDL_MapRGB(s->format, red, green, blue);
  const int bpp = s->format->BytesPerPixel;
  for (int row = 0; row < s->h; ++row) {
    Uint8* p = static_cast<Uint8*>(s->pixels) + row * s->pitch;
    for (int col = 0; col < s->w; ++col, p += bpp) {
      switch (bpp) {
        case 1:
          *p = static_cast<Uint8>(value);
          break;
        case 2:
          *reinterpret_cast<Uint16*>(p) = static_cast<Uint16>(value);
          break;
        case 3:
#if SDL_BYTEORDER == SDL_LIL_ENDIAN
          p[0] = value & 0xFF;
          p[1] = (value >> 8) & 0xFF;
          p[2] = (value >> 16) & 0xFF;
#else
          p[2] = value & 0xFF;
          p[1] = (value >> 8) & 0xFF;
          p[0] = (value >> 16) & 0xFF;
#endif
          break;
        default:
          *reinterpret_cast<Uint32*>(p) = value;
          break;
      }
    }
  }
  SDL_UnlockSurface(s);
  return 0;
}

void setPixel32(SDL_Surface* s, int x, int y, Uint32 colour) {
  if (!s || s->format->BytesPerPixel != 4) return;
  if (y <= 0 || y >= 800 || y >= s->h || x < 0 || x >= s->w) return;
  Uint8* row = static_cast<Uint8*>(s->pixels) + y * s->pitch;
  reinterpret_cast<Uint32*>(row)[x] = colour;
}
