#pragma once
// The sound load: how long each render of a stream buffer takes against
// the time that buffer lasts when played (frames / rate), and how many
// buffers took longer than that (each one a dropout on a real device).
// The sound layer records every buffer from its playback thread; any thread
// reads. Recording takes no lock, never waits and never allocates.

struct LoadReading {
  float recent = 0;   // load of the last second or so, in percent
  float average = 0;  // over every buffer since the last reset, in percent
  float peak = 0;     // the largest load of one buffer, in percent
  long late = 0;      // buffers that took longer than they last
  long buffers = 0;   // buffers recorded
};

// One rendered buffer: `seconds` spent rendering `frames` frames at `rate`
// frames a second. Playback thread (one at a time).
void recordRender(double seconds, int frames, int rate);

// A snapshot of the meter; any thread.
LoadReading loadReading();

// Starts counting afresh. Main thread, while no stream plays (the
// playback thread is the meter's only writer).
void resetLoadMeter();

// "Sound load: 12.5% on average, 40.1% at most; 0 of 4021 buffers late\n".
void printLoadSummary();
