#pragma once
// The sound layer: a small output library of our own with the calling
// conventions the start-up code expects of its sound library. Output goes
// through SDL's audio (the driver SDL picks, SDL_AUDIODRIVER honoured) or,
// for the NoSound output, to nowhere: a thread of the layer then pulls the
// stream at the real-time rate so that the synthesizer keeps running.
//
// Every function here is for the main thread only, and none may be called
// from inside a stream callback or while holding the audio lock (closing
// waits for the callback thread). Functions returning int give 1 (or a
// handle, a channel) on success and 0 (or null, -1) on failure; the reason
// is then given by FSOUND_GetError.

// Output type codes for FSOUND_SetOutput / FSOUND_GetOutput.
enum SoundOutputCode {
  kOutputNoSound = 0,
  kOutputWaveOut = 1,
  kOutputDirectSound = 2,
  kOutputOss = 4,
  kOutputEsd = 5,
  kOutputAlsa = 6,
  kOutputAsio = 7,
};

// Error codes returned by FSOUND_GetError (their texts: errorText()).
enum SoundErrorCode {
  kErrorNone = 0,
  kErrorAlreadyInitialised = 1,  // command not allowed after FSOUND_Init
  kErrorNotInitialised = 2,      // FSOUND_Init was not called
  kErrorInit = 3,                // the output device could not be opened
  kErrorDeviceBusy = 4,          // the output is already in use (one stream at a time)
  kErrorPlay = 5,
  kErrorOutputFormat = 6,        // the device refuses 16-bit stereo
  kErrorCooperativeLevel = 7,
  kErrorCreateBuffer = 8,
  kErrorFileNotFound = 9,
  kErrorFileFormat = 10,
  kErrorFileBad = 11,
  kErrorMemory = 12,
  kErrorVersion = 13,
  kErrorInvalidParam = 14,
  kErrorNoEax = 15,
  kErrorChannelAlloc = 16,
  kErrorRecord = 17,
  kErrorMediaPlayer = 18,
};

// Stream mode bits; a stream must be 16-bit, stereo and signed.
constexpr unsigned int kModeBits16 = 0x10;
constexpr unsigned int kModeStereo = 0x40;
constexpr unsigned int kModeSigned = 0x100;
constexpr unsigned int kModeUserFed = 0x1000000;  // accepted, no effect here

// The device's period from FSOUND_Init until a stream sets its own: 3072
// frames, about 69.66 ms at 44100 Hz. A stream's buffer length sets the
// device's period and the NoSound thread's pull alike.
constexpr int kDeviceFrames = 3072;

struct FSOUND_STREAM;

// A user-fed stream's callback: fill `length` bytes of `buffer` with
// interleaved signed 16-bit left/right frames. Called from the layer's
// playback thread (SDL's or the NoSound one) with the audio lock held by
// that thread; returns 1 (the result is not otherwise used).
using FSOUND_STREAMCALLBACK = int (*)(FSOUND_STREAM* stream, void* buffer, int length, void* userData);

// 3.74.
float FSOUND_GetVersion();

// Chooses the output before FSOUND_Init. 0 NoSound opens no device; every
// other code selects the system's real output through SDL. Returns 1, or 0
// for an unknown code (kErrorInvalidParam) or after FSOUND_Init
// (kErrorAlreadyInitialised).
int FSOUND_SetOutput(int outputType);

// The output in use: for a real output, the code of the SDL driver found
// (6 alsa, 4 oss, 5 esd), otherwise the code that was asked for (-1 when
// none was: FSOUND_Init then opens the real output).
int FSOUND_GetOutput();

// Drivers of the chosen output: one entry naming SDL's driver, e.g.
// "alsa (default device)"; NoSound has the one entry "NoSound".
int FSOUND_GetNumDrivers();
// Null for an index out of range.
const char* FSOUND_GetDriverName(int index);
// Before FSOUND_Init; 0 for an index out of range.
int FSOUND_SetDriver(int index);

// Opens the output (paused, silent until a stream plays) at `mixRate` Hz.
// `softwareChannels` must be positive; `flags` is ignored.
int FSOUND_Init(int mixRate, int softwareChannels, unsigned int flags);

// The code of the last failure: every call that can fail resets it to
// kErrorNone first, so after a failed call it tells why.
int FSOUND_GetError();

// Creates the one stream of the layer: `callback` is asked for `length`
// bytes at a time (a positive multiple of 4) in `mode` (16-bit stereo
// signed) at `rate` (the FSOUND_Init rate). The device is reopened with a
// period of `length` / 4 frames when it differs (kErrorInit if that fails),
// so the buffer sets the latency. Null on failure. Installs the layer's
// audio lock (engine/audio_lock.h).
FSOUND_STREAM* FSOUND_Stream_Create(FSOUND_STREAMCALLBACK callback, int length, unsigned int mode, int rate,
                                    void* userData);
// Starts playback on `channel` (0..31, or -1 for any: 0). Returns the
// channel, or -1 on failure.
int FSOUND_Stream_Play(int channel, FSOUND_STREAM* stream);
// Stops and releases a stream; null or a stream of no one is refused
// harmlessly (returns 0).
int FSOUND_Stream_Close(FSOUND_STREAM* stream);
// Closes any stream and the output; safe when nothing was opened. The
// chosen output and driver are kept for a later FSOUND_Init.
void FSOUND_Close();
