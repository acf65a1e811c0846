#include "audio/sound_setup.h"

#include <cstdio>
#include <cstdlib>

#include "audio/fsound.h"
#include "audio/keys.h"

namespace {

constexpr int kEscape = 27;
const char* const kSeparator = "---------------------------------------------------------\n";
const char* const kPrompt = "Press a corresponding number or ESC to quit\n";

// Name printed for an output type code; empty for codes without one.
const char* outputName(int code) {
  switch (code) {
    case kOutputNoSound: return "NoSound";
    case kOutputWaveOut: return "Windows Multimedia Waveout";
    case kOutputDirectSound: return "Direct Sound";
    case kOutputOss: return "Open Sound System";
    case kOutputEsd: return "Enlightment Sound Daemon";
    case kOutputAlsa: return "Alsa";
    case kOutputAsio: return "ASIO";
    default: return "";
  }
}

int bufferFrames = kMaxBufferFrames;

// Declining a menu, or running out of keys at one, ends the program.
[[noreturn]] void decline() {
  std::fflush(stdout);
  std::exit(0);
}

}  // namespace

bool setStreamBufferFrames(int frames) {
  if (frames < kMinBufferFrames || frames > kMaxBufferFrames) return false;
  bufferFrames = frames;
  return true;
}

int streamBufferFrames() { return bufferFrames; }

const char* errorText(int code) {
  static const char* const texts[] = {
      "No errors",
      "Cannot call this command after FSOUND_Init.  Call FSOUND_Close first.",
      "This command failed because FSOUND_Init was not called",
      "Error initializing output device.",
      "The output device is already in use and cannot be reused.",
      "Playing the sound failed.",
      "Soundcard does not support the features needed for this soundsystem (16bit stereo output)",
      "Error setting cooperative level for hardware.",
      "Error creating hardware sound buffer.",
      "File not found",
      "Unknown file format",
      "Error loading file",
      "Not enough memory ",
      "The version number of this file format is not supported",
      "An invalid parameter was passed to this function",
      "Tried to use an EAX command on a non EAX enabled channel or output.",
      "Failed to allocate a new channel",
      "Recording not supported on this device",
      "Required Mediaplayer codec is not installed",
  };
  constexpr int count = sizeof texts / sizeof texts[0];
  if (code < 0 || code >= count) return "Unknown error";
  return texts[code];
}

int initSound() {
  if (FSOUND_GetVersion() < kMinimumVersion) {
    std::printf("Error : You are using the wrong DLL version!  You should be using FMOD %.02f\n", kMinimumVersion);
    return 0;
  }

  std::printf("%s", kSeparator);
  std::printf("Output Type\n");
  std::printf("%s", kSeparator);
  std::printf("1 - Direct Sound\n");
  std::printf("2 - Windows Multimedia Waveout\n");
  std::printf("3 - ASIO\n");
  std::printf("4 - NoSound\n");
  std::printf("%s", kSeparator);
  std::printf("%s", kPrompt);

  switch (readKey()) {
    case '1': FSOUND_SetOutput(kOutputDirectSound); break;
    case '2': FSOUND_SetOutput(kOutputWaveOut); break;
    case '3': FSOUND_SetOutput(kOutputAsio); break;
    case '4': FSOUND_SetOutput(kOutputNoSound); break;
    default: decline();
  }

  std::printf("%s", kSeparator);
  std::printf("%s", outputName(FSOUND_GetOutput()));
  std::printf(" Driver list\n");
  std::printf("%s", kSeparator);
  for (int i = 0; i < FSOUND_GetNumDrivers(); ++i) {
    const char* name = FSOUND_GetDriverName(i);
    std::printf("%d - %s\n", i + 1, name != nullptr ? name : "");
  }
  std::printf("%s", kSeparator);
  std::printf("%s", kPrompt);

  int key = 0;
  for (;;) {
    key = readKey();
    if (key < 0 || key == kEscape) decline();
    if (key < '1') continue;
    if (key - '1' >= FSOUND_GetNumDrivers()) continue;
    break;
  }
  FSOUND_SetDriver(key - '1');
  if (!FSOUND_Init(kMixingRate, kSoftwareChannels, kInitFlags)) {
    std::printf("Error!\n");
    std::printf("%s\n", errorText(FSOUND_GetError()));
    return 0;
  }
  return 1;
}
