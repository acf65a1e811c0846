#pragma once
// The programs read their data (RC/, grfx/, Fonts/, Sounds/, MVL/,
// Zod_Engine/) from paths relative to the working directory. They find it
// beside their executable, whatever directory they are started from.

#include <string>

// The directory that holds the running executable.
std::string executableDirectory();

// Turns `path` into an absolute path taken from the current directory (so a
// command-line argument keeps its meaning), then makes the executable's
// directory the working directory. Returns the absolute form of `path` (empty
// for a null path). Prints a message and returns without changing directory
// when the executable's directory cannot be entered.
std::string enterDataDirectory(const char* path);
