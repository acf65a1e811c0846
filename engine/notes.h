#pragma once
// The note table: entry i = 8.1757989 * 2^((i + 11) / 12) Hz, indexed by
// octave * 12 + semitone. Filled once at start-up, before any module exists.

constexpr int kNoteCount = 2000;
extern double noteTable[kNoteCount];

void fillNoteTable();
// noteTable[index], or 0 Hz for an index outside 0..1999.
inline double noteFrequency(int index) {
  return (index < 0 || index >= kNoteCount) ? 0.0 : noteTable[index];
}
