#pragma once
// Sound start-up: the output and driver menus, the library initialisation
// and the error texts.

// Settings shared by the set-up and the stream.
constexpr int kMixingRate = 44100;
constexpr int kStreamBufferBytes = 12288;  // 3072 frames of 4 bytes
constexpr int kSoftwareChannels = 32;
constexpr unsigned int kInitFlags = 0;
constexpr unsigned int kStreamMode = 0x1000150;  // 16-bit stereo signed, user-fed
constexpr int kPlayChannel = 0;
constexpr float kMinimumVersion = 3.74f;

// The synthesizer stream's buffer, in frames: kStreamBufferBytes / 4 unless
// set (morvel-synth --buffer). A key press is heard about one to two buffers
// later; a shorter buffer wakes the sound thread more often and leaves the
// render less time per wake-up before a dropout.
constexpr int kMinBufferFrames = 64;
constexpr int kMaxBufferFrames = kStreamBufferBytes / 4;
// False, and nothing changed, outside kMinBufferFrames..kMaxBufferFrames.
// Main thread, before the stream is created.
bool setStreamBufferFrames(int frames);
int streamBufferFrames();

// Version check, output menu, driver menu, FSOUND_Init. Returns 1 on
// success, 0 on a failed check or initialisation (messages printed). Ends
// the program with exit code 0 when the user declines a menu (ESC, or end
// of input). Main thread, at start-up.
int initSound();

// The fixed text for a sound layer error code ("Unknown error" for any
// other code). Never null.
const char* errorText(int code);
