#pragma once
// The process-wide pseudo-random generator shared by the oscillators' noise and
// phase offsets and reseeded by every new sequencer. Lock-free and safe from
// any thread (the audio thread draws from it); ints are uniform in 0..32767.

constexpr int kRandomMax = 32767;

int randomInt();
void seedRandom(unsigned seed);
// Reseeds from the millisecond clock, then runs the reseed hook, if any (the
// offline renderer uses it to make renders repeatable).
void reseedRandomFromClock();
void setReseedHook(void (*hook)());

// Milliseconds since the program started.
unsigned millisecondsSinceStart();
