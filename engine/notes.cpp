#include "engine/notes.h"

#include <cmath>

double noteTable[kNoteCount];

void fillNoteTable() {
  for (int i = 0; i < kNoteCount; ++i) noteTable[i] = 8.1757989 * std::pow(2.0, (i + 11) / 12.0);
}
