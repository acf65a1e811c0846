#include "patch/startup.h"

#include <SDL/SDL_net.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <thread>

#include "audio/audio.h"
#include "engine/audio_lock.h"
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

  initSound();

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
  remoteListener = SDLNet_TCP_Open(&address);
  if (remoteListener == nullptr) {
    std::printf("SDLNet_TCP_Open: %s\n", SDLNet_GetError());
    std::exit(2);
  }

  synthStream = FSOUND_Stream_Create(renderCallback, 4 * streamBufferFrames(), kStreamMode, kMixingRate, nullptr);
  if (synthStream == nullptr || FSOUND_Stream_Play(kPlayChannel, synthStream) == -1) {
    std::printf("Error!\n");
    std::printf("%s\n", errorText(FSOUND_GetError()));
    std::exit(1);
  }
  return 1;
}

namespace {

volatile std::sig_atomic_t stopRequested = 0;

void onStopSignal(int) { requestSynthStop(); }

}  // namespace

void requestSynthStop() { stopRequested = 1; }

int synthFrame() {
  audioEnabled = 1;
  acceptRemoteClient(remoteListener);
  return pollButtons();
}

long runSynthLoop() {
  struct sigaction action = {};
  action.sa_handler = onStopSignal;
  sigemptyset(&action.sa_mask);
  sigaction(SIGINT, &action, nullptr);
  sigaction(SIGTERM, &action, nullptr);

  using Clock = std::chrono::steady_clock;
  constexpr auto kPeriod = std::chrono::milliseconds(10);
  long passes = 0;
  auto next = Clock::now();
  while (stopRequested == 0) {
    synthFrame();
    ++passes;
    next += kPeriod;
    const auto now = Clock::now();
    // After a stall the loop picks up its pace again instead of catching up.
    if (next < now) next = now;
    std::this_thread::sleep_until(next);
  }

  FSOUND_Stream_Close(synthStream);
  synthStream = nullptr;
  FSOUND_Close();
  return passes;
}

int runHeadlessSynth(int argc, char** argv) {
  // Console output goes out as it is written, as on a console, so that the
  // traces of the remote threads and the main loop come in the order things
  // happen, and nothing is lost when the program is stopped.
  std::setvbuf(stdout, nullptr, _IONBF, 0);
  std::printf("Morvel - InitSound&LoadMVL\n");
  startSynth(argc, argv);
  runSynthLoop();
  // The network goes last, when the program exits (startSynth registered it).
  if (remoteListener != nullptr) {
    SDLNet_TCP_Close(remoteListener);
    remoteListener = nullptr;
  }
  return 0;
}
