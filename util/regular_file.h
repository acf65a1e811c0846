#pragma once
// Opening a file the user named for reading, refusing what only looks like
// one: a directory reads as an empty file, and a named pipe or a device can
// block a reader forever. The open itself never blocks.

#include <cstdio>
#include <string>

// A read-only descriptor on the regular file at `path`, or -1 with `reason`
// set ("No such file or directory", "a directory, not a file", ...).
int openRegularFile(const char* path, std::string& reason);

// The same as a stdio stream ("r"), or null with `reason` set.
std::FILE* openRegularStream(const char* path, std::string& reason);
