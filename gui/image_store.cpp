#include "gui/image_store.h"

#include <GL/gl.h>
#include <GL/glu.h>
#include <SDL_image.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "gui/file_tokens.h"
#include "gui/video.h"

#ifndef GL_BGR
#define GL_BGR 0x80E0
#endif

IMAGE_STORE* imageStore = nullptr;

IMAGE_STORE::IMAGE_STORE() = default;

IMAGE_STORE::IMAGE_STORE(const char* archivePath) { loadArchive(archivePath); }

int IMAGE_STORE::indexOf(const char* name) const {
  if (!name) return -1;
  for (int i = 0; i < count; ++i) {
    if (std::strcmp(entries[i].name, name) == 0) return i;
  }
  return -1;
}

SDL_Surface* IMAGE_STORE::surfaceOf(const char* name) const {
  const int i = indexOf(name);
  return i < 0 ? nullptr : entries[i].surface;
}

bool IMAGE_STORE::hasRoomFor(const char* name) const {
  if (!full() || indexOf(name) >= 0) return true;
  std::printf("Image store full (%d images): [%s] refused\n", kCapacity, name ? name : "");
  return false;
}

int IMAGE_STORE::put(const char* name, SDL_Surface* s, int width, int height) {
  char key[kNameSize];
  copyField(key, name);
  int i = indexOf(key);
  if (i < 0) {
    if (!hasRoomFor(key)) return 0;
    i = count++;
    copyField(entries[i].name, key);
  }
  entries[i].surface = s;
  entries[i].width = width;
  entries[i].height = height;
  buildTexture(i);
  return 1;
}

int IMAGE_STORE::loadFile(const char* path, const char* name) {
  char key[kNameSize];
  copyField(key, name);
  if (indexOf(key) >= 0) return count;
  if (!hasRoomFor(key)) return count;
  SDL_Surface* s = IMG_Load(path);
  if (!s) return 0;
  put(key, s, s->w, s->h);
  return count;
}

int IMAGE_STORE::putSurface(SDL_Surface* s, const char* name) {
  char key[kNameSize];
  copyField(key, name);
  if (indexOf(key) >= 0) return count;
  if (!s) return 0;
  put(key, s, s->w, s->h);
  return count;
}

// The texture is uploaded as 3-byte BGR rows, so the surface is first drawn
// onto a black surface of exactly that byte layout: whatever the file's pixel
// format (palette, RGB, BGR, RGBA), every image keeps its true colours, and
// transparent pixels come out black, as the additive masking of drawGL needs.
void IMAGE_STORE::buildTexture(int index) {
  const Entry& e = entries[index];
  if (!glReady() || !e.surface || e.width <= 0 || e.height <= 0) return;

#if SDL_BYTEORDER == SDL_LIL_ENDIAN
  const Uint32 rmask = 0xFF0000, gmask = 0x00FF00, bmask = 0x0000FF;
#else
  const Uint32 rmask = 0x0000FF, gmask = 0x00FF00, bmask = 0xFF0000;
#endif
  SDL_Surface* bgr = SDL_CreateRGBSurface(SDL_SWSURFACE, e.width, e.height, 24, rmask, gmask, bmask, 0);
  if (!bgr) return;
  SDL_FillRect(bgr, nullptr, 0);
  SDL_BlitSurface(e.surface, nullptr, bgr, nullptr);

  std::vector<unsigned char> rows(static_cast<std::size_t>(e.width) * e.height * 3);
  SDL_LockSurface(bgr);
  for (int r = 0; r < e.height; ++r) {
    std::memcpy(&rows[static_cast<std::size_t>(r) * e.width * 3],
                static_cast<const unsigned char*>(bgr->pixels) + static_cast<std::size_t>(r) * bgr->pitch,
                static_cast<std::size_t>(e.width) * 3);
  }
  SDL_UnlockSurface(bgr);
  SDL_FreeSurface(bgr);

  GLint previous = 0;
  glGetIntegerv(GL_TEXTURE_BINDING_2D, &previous);
  glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(index));
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
  gluBuild2DMipmaps(GL_TEXTURE_2D, 3, e.width, e.height, GL_BGR, GL_UNSIGNED_BYTE, rows.data());
  glPopClientAttrib();
  glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(previous));
}

void IMAGE_STORE::loadArchive(const char* path) {
  std::FILE* f = std::fopen(path, "r");
  if (!f) {
    std::printf("Impossible d'ouvrir [%s]\n", path);
    std::fflush(stdout);
    std::exit(-1);
  }
  char header[kNameSize];
  char name[kNameSize] = {};
  char file[kLongTextSize];
  char kind[kNameSize];
  readToken(f, header);
  readToken(f, header);
  if (!readToken(f, name)) name[0] = '\0';
  while (name[0] && std::strcmp(name, "END") != 0) {
    if (!readToken(f, file) || file[0] == '#') break;
    if (!readToken(f, kind)) break;
    if (std::strcmp(kind, "SIMPLEPART") == 0) {
      if (loadFile(file, name) < 1) {
        std::printf("Erreur au de chargement simplepart [%s]\n", file);
        std::fflush(stdout);
        std::exit(-1);
      }
    } else {
      int tw = 0, th = 0, rows = 0, cols = 0, gx = 0, gy = 0;
      if (!readInt(f, tw) || !readInt(f, th) || !readInt(f, rows) || !readInt(f, cols) ||
          !readInt(f, gx) || !readInt(f, gy)) {
        break;
      }
      if (tw <= 0 || th <= 0) {
        // Nothing to cut; go on with the next entry.
      } else if (SDL_Surface* sheet = IMG_Load(file)) {
        int k = 0;
        for (int i = 0; i < rows && !full(); ++i) {
          for (int j = 0; j < cols && !full(); ++j) {
            char tileName[kNameSize + 16];
            std::snprintf(tileName, sizeof tileName, "%s_%d", name, k++);
            SDL_Surface* tile = SDL_CreateRGBSurface(SDL_SWSURFACE, tw, th, 24, 0x0000FF, 0x00FF00, 0xFF0000, 0);
            if (!tile) continue;
            SDL_Rect from{static_cast<Sint16>(j * (tw + gx)), static_cast<Sint16>(i * (th + gy)),
                          static_cast<Uint16>(tw), static_cast<Uint16>(th)};
            SDL_BlitSurface(sheet, &from, tile, nullptr);
            char key[kNameSize];
            copyField(key, tileName);
            // The first image stored under a name wins: a later tile of that
            // name is dropped.
            if (indexOf(key) >= 0 || !put(key, tile, tile->w, tile->h)) SDL_FreeSurface(tile);
          }
        }
        if (full() && static_cast<long long>(rows) * cols > k) {
          std::printf("Image store full (%d images): rest of [%s] refused\n", kCapacity, name);
        }
        SDL_FreeSurface(sheet);
      }
    }
    if (!readToken(f, name)) break;
  }
  std::fclose(f);
}
