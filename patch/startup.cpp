#include "patch/startup.h"

#include <SDL/SDL_net.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

#include "audio/audio.h"
#include "audio/load_meter.h"
#include "engine/audio_lock.h"
#include "engine/data_dir.h"
#include "engine/generator.h"
#include "engine/notes.h"
#include "remote/remote.h"

FSOUND_STREAM* synthStream = nullptr;

int startSynth(int argc, char** argv) {
  resetRemoteButtons();
  scopeZoom = 1.0f;
  fillNoteTable();

  GENERATOR* synth;
  if (argc < 2) {
    std::printf("U must supply a syntheziser file making New One(.MVL)\n");
    synth = new GENERATOR();
  } else {
    std::printf("Loading [%s]\n", argv[1]);
    synth = new GENERATOR(argv[1]);
    // The readers have said what was wrong.
    if (synth->loadStatus == GENERATOR::LoadStatus::Broken) std::exit(-1);
  }
  {
    AudioLock lock;
    currentGenerator = synth;
    connectMasterInput(*synth);
  }

  // Looked at only to say how to do without a sound device, should the
  // stream fail for want of one.
  const bool soundReady = initSound() == 1;

  const int port = remotePort();
  std::printf("\tInit SDL_Net for the remote control on port %d\n", port);
  if (SDLNet_Init() < 0) {
    std::fprintf(stderr, "Couldn't initialize net: %s\n", SDLNet_GetError());
    std::exit(1);
  }
  std::atexit(SDLNet_Quit);
  IPaddress address;
  if (SDLNet_ResolveHost(&address, nullptr, static_cast<Uint16>(port)) < 0) {
    std::printf("SDLNet_ResolveHost: %s\n", SDLNet_GetError());
    std::exit(1);
  }
  remoteListener = openRemoteListener(address);
  if (remoteListener == nullptr) {
    std::printf("SDLNet_TCP_Open: %s\n", SDLNet_GetError());
    std::printf("Port %d is taken (another synthesizer?): set MORVEL_REMOTE_PORT to choose another\n", port);
    std::exit(2);
  }

  synthStream = FSOUND_Stream_Create(renderCallback, 4 * streamBufferFrames(), kStreamMode, kMixingRate, nullptr);
  if (synthStream == nullptr || FSOUND_Stream_Play(kPlayChannel, synthStream) == -1) {
    const int error = FSOUND_GetError();
    std::printf("Error!\n");
    std::printf("%s\n", errorText(error));
    if (!soundReady || error == kErrorInit || error == kErrorDeviceBusy)
      std::printf("No sound device could be opened: press 4 (NoSound) at the first menu to run without one, "
                  "or choose SDL's driver with SDL_AUDIODRIVER (for example SDL_AUDIODRIVER=dummy)\n");
    std::exit(1);
  }
  return 1;
}

int startSynthFrom(const std::string& patch) {
  std::string path = enterDataDirectory(patch.empty() ? nullptr : patch.c_str());
  std::vector<char*> args = {const_cast<char*>("morvel-synth")};
  if (!patch.empty()) args.push_back(path.data());
  args.push_back(nullptr);
  std::printf("Morvel - InitSound&LoadMVL\n");
  return startSynth(static_cast<int>(args.size()) - 1, args.data());
}

void stopSynth() {
  // No more accepting: the connections end, their threads are joined, then
  // the listening socket closes. The network goes last, when the program
  // exits (startSynth registered it).
  stopRemoteConnections();
  if (remoteListener != nullptr) {
    SDLNet_TCP_Close(remoteListener);
    remoteListener = nullptr;
  }
  FSOUND_Stream_Close(synthStream);
  synthStream = nullptr;
  FSOUND_Close();
  printLoadSummary();
}
