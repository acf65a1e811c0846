#pragma once
// The image store: every picture the GUI draws, by name. Entry i is also
// OpenGL texture name i, so drawing a widget needs only a name lookup. Filled
// once at start-up (the splash, then the graphics archive); its surfaces are
// owned by the store and live until the program ends. GUI thread only.
//
// Graphics archive format (text, whitespace-separated tokens): two header
// tokens (ignored), then entries "NAME PATH SIMPLEPART" (one image) or
// "NAME PATH KIND tw th rows cols gapx gapy" (a tile sheet cut into
// NAME_0, NAME_1, ... row by row). The name "END", or a path starting with
// '#', ends the archive.

#include <SDL.h>

#include "gui/widgets.h"

class IMAGE_STORE {
 public:
  static constexpr int kCapacity = 400;

  struct Entry {
    SDL_Surface* surface = nullptr;
    int width = 0;
    int height = 0;
    char name[kNameSize] = {};
  };

  IMAGE_STORE();
  // An empty store filled from the archive at `archivePath`.
  explicit IMAGE_STORE(const char* archivePath);
  IMAGE_STORE(const IMAGE_STORE&) = delete;
  IMAGE_STORE& operator=(const IMAGE_STORE&) = delete;

  // First entry with exactly this name, or -1.
  int indexOf(const char* name) const;
  SDL_Surface* surfaceOf(const char* name) const;

  // Replaces the surface and size of an existing name (keeping its index and
  // so its texture name) or appends a new entry, then (re)builds the
  // texture. The store takes the surface. Returns 1, or 0 when the store is
  // full (the surface is then not taken).
  int put(const char* name, SDL_Surface* surface, int width, int height);
  // Loads an image file under `name` unless the name is already there.
  // Returns `count` (0 when the file cannot be loaded).
  int loadFile(const char* path, const char* name);
  // Stores `surface` under `name` unless the name is already there (the
  // surface is then not taken). Returns `count`, 0 for a null surface.
  int putSurface(SDL_Surface* surface, const char* name);
  // Reads a graphics archive; a missing archive or an unreadable whole image
  // ends the program (exit code -1).
  void loadArchive(const char* path);

  bool full() const { return count >= kCapacity; }

  Entry entries[kCapacity];
  int count = 0;

 private:
  // Returns false (with a console message) when `name` is new and the store
  // is full.
  bool hasRoomFor(const char* name) const;
  void buildTexture(int index);
};

// Created by startVideo.
extern IMAGE_STORE* imageStore;
