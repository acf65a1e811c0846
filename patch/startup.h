#pragma once
// The synthesizer front end's start-up and its console frame loop (the
// headless front end, driven by the remote box).

#include "audio/fsound.h"

// Builds the synthesizer from argv[1] (or an empty one), connects the master
// input to "MIXER_4", runs the sound menus, opens the remote listening socket
// and starts the stream. Returns 1 once sound and network run; every failure
// ends the program: a broken patch with status -1, the network with 1 or 2,
// the stream with 1. Main thread, once.
int startSynth(int argc, char** argv);

// The stream startSynth plays; null before.
extern FSOUND_STREAM* synthStream;

// One pass of the console frame loop: rendering on, at most one waiting
// remote client accepted and served on its own thread, one poll of the
// remote buttons. Returns what pollButtons returned.
int synthFrame();

// Asks the frame loop to end after its current pass. Async-signal-safe.
void requestSynthStop();

// Runs synthFrame about 100 times a second until requestSynthStop (SIGINT
// and SIGTERM call it once the loop has installed its handlers), then closes
// the stream and the sound library. Returns the number of passes run.
long runSynthLoop();

// The headless front end: the stage message, startSynth, the frame loop and
// the close-down. Returns the program's exit status.
int runHeadlessSynth(int argc, char** argv);
