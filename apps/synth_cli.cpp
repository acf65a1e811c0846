#include "apps/synth_cli.h"

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

#include "audio/audio.h"
#include "patch/startup.h"
#include "remote/remote.h"
#include "util/stop_signals.h"

const char kSynthUsage[] =
    "usage: morvel-synth [--headless] [--buffer FRAMES] [PATCH]\n"
    "Plays PATCH (an .mvl file; none: an empty synthesizer) and serves the remote box on TCP port 9999\n"
    "(MORVEL_REMOTE_PORT chooses another). The sound menus ask for the output: 4 runs without a sound device.\n"
    "  --headless        run without a window, driven by the remote box\n"
    "  --buffer FRAMES   frames per sound buffer (64 to 3072, default 3072): smaller is heard sooner\n"
    "  --help            print this help\n";

namespace {

int usageError(const std::string& error) {
  std::fprintf(stderr, "morvel-synth: %s\n%s", error.c_str(), kSynthUsage);
  return 2;
}

}  // namespace

int parseSynthArguments(int argc, const char* const* argv, SynthOptions& options) {
  options = SynthOptions{};
  bool havePatch = false;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--help" || arg == "-h") {
      std::printf("%s", kSynthUsage);
      return 0;
    }
    if (arg == "--headless") {
      options.headless = true;
    } else if (arg == "--buffer") {
      char* end = nullptr;
      errno = 0;
      const long frames = i + 1 < argc ? std::strtol(argv[++i], &end, 10) : 0;
      if (end == nullptr || *end != '\0' || errno != 0 || frames < kMinBufferFrames || frames > kMaxBufferFrames)
        return usageError("--buffer needs a number of frames from 64 to 3072");
      options.bufferFrames = static_cast<int>(frames);
    } else if (!arg.empty() && arg[0] == '-') {
      return usageError("unknown option " + arg);
    } else if (!havePatch) {
      options.patch = arg;
      havePatch = true;
    } else {
      return usageError("one patch only");
    }
  }
  return -1;
}

void requestSynthStop() { requestStop(); }

int synthFrame() {
  audioEnabled = 1;
  acceptRemoteClient(remoteListener);
  return pollButtons();
}

long runSynthLoop() {
  catchStopSignals();

  using Clock = std::chrono::steady_clock;
  constexpr auto kPeriod = std::chrono::milliseconds(10);
  long passes = 0;
  auto next = Clock::now();
  while (!stopSignalled()) {
    synthFrame();
    ++passes;
    next += kPeriod;
    const auto now = Clock::now();
    // After a stall the loop picks up its pace again instead of catching up.
    if (next < now) next = now;
    std::this_thread::sleep_until(next);
  }
  return passes;
}

int runHeadlessSynth(const SynthOptions& options) {
  // Console output goes out as it is written, as on a console, so that the
  // traces of the remote threads and the main loop come in the order things
  // happen, and nothing is lost when the program is stopped.
  std::setvbuf(stdout, nullptr, _IONBF, 0);
  if (options.bufferFrames != 0) setStreamBufferFrames(options.bufferFrames);
  startSynthFrom(options.patch);
  runSynthLoop();
  stopSynth();
  return 0;
}
