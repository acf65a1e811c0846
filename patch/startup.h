#pragma once
// The synthesizer front end's start-up. The frame loops that run after it
// belong to the programs (apps/).

#include "audio/fsound.h"

// Builds the synthesizer from argv[1] (or an empty one), connects the master
// input to "MIXER_4", runs the sound menus, opens the remote listening socket
// and starts the stream. Returns 1 once sound and network run; every failure
// ends the program: a broken patch with status -1, the network with 1 or 2,
// the stream with 1 (a busy port and a missing sound device get one more
// line saying what to do). Main thread, once.
int startSynth(int argc, char** argv);

// The stream startSynth plays; null before.
extern FSOUND_STREAM* synthStream;
