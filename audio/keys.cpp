#include "audio/keys.h"

#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

namespace {

// One byte from descriptor 0, retrying on signals. Unbuffered on purpose:
// later console reads (stdio) must still see every byte after the keys.
int readByte() {
  unsigned char c = 0;
  for (;;) {
    ssize_t n = read(STDIN_FILENO, &c, 1);
    if (n == 1) return c;
    if (n < 0 && errno == EINTR) continue;
    return -1;
  }
}

}  // namespace

int readKey() {
  std::fflush(stdout);
  termios saved{};
  if (!isatty(STDIN_FILENO) || tcgetattr(STDIN_FILENO, &saved) != 0) return readByte();

  // Raw, no echo, one byte at a time; signals (Ctrl-C) still work.
  termios raw = saved;
  raw.c_lflag &= ~(ICANON | ECHO);
  raw.c_cc[VMIN] = 1;
  raw.c_cc[VTIME] = 0;
  tcsetattr(STDIN_FILENO, TCSANOW, &raw);
  int key = readByte();
  tcsetattr(STDIN_FILENO, TCSANOW, &saved);
  return key;
}
