#pragma once
// Single-key reads for the console menus.

// Flushes standard output, then reads one key from standard input: raw and
// without echo when it is a terminal, a plain byte otherwise (so that keys
// can be piped in). Returns the byte (0..255), or -1 at end of input.
int readKey();
