#include "apps/render_cli.h"

#include <sndfile.h>

#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>

#include "audio/sound_setup.h"
#include "engine/data_dir.h"
#include "engine/generator.h"
#include "engine/notes.h"
#include "util/safe_file.h"

const char kRenderUsage[] =
    "usage: morvel-render PATCH -o OUT.wav [-s SECONDS] [--seed N] [--press T:KEY:NOTE:DUR]...\n"
    "Renders PATCH offline, as fast as the processor allows, to a 16-bit stereo 44100 Hz WAV file\n"
    "(RF64 when it would pass 4 GiB).\n"
    "  -o OUT.wav               the file to write\n"
    "  -s SECONDS               length of the render (default 10, at most 86400)\n"
    "  --seed N                 seed of noise and random phases (default 1)\n"
    "  --press T:KEY:NOTE:DUR   at T seconds press NOTE on keyboard KEY, release it DUR seconds later\n"
    "  --help                   print this help\n";

namespace {

// Whole-text number readings: a command line wants "10x" refused, not 10.
bool readDouble(const std::string& text, double& out) {
  if (text.empty()) return false;
  char* end = nullptr;
  out = std::strtod(text.c_str(), &end);
  return *end == '\0' && std::isfinite(out);
}

bool readLong(const std::string& text, long& out) {
  if (text.empty()) return false;
  char* end = nullptr;
  errno = 0;
  out = std::strtol(text.c_str(), &end, 10);
  return *end == '\0' && errno == 0;
}

bool parsePress(const std::string& text, KeyPress& press) {
  std::vector<std::string> parts;
  size_t start = 0;
  for (size_t colon; (colon = text.find(':', start)) != std::string::npos; start = colon + 1)
    parts.push_back(text.substr(start, colon - start));
  parts.push_back(text.substr(start));
  long note = 0;
  if (parts.size() != 4 || !readDouble(parts[0], press.time) || parts[1].empty() || !readLong(parts[2], note) ||
      !readDouble(parts[3], press.duration))
    return false;
  if (press.time < 0 || press.duration < 0 || note < 0 || note >= kNoteCount) return false;
  press.keyboard = parts[1];
  press.note = static_cast<int>(note);
  return true;
}

long frameAt(double seconds) { return std::lround(seconds * kMixingRate); }

// A RIFF file's sizes are 32-bit: the data and the 36 bytes of header the
// RIFF size counts must fit.
constexpr long long kWavDataLimit = 0xFFFFFFFFLL - 36;

}  // namespace

bool parseRenderArguments(int argc, const char* const* argv, RenderOptions& options, std::string& error) {
  options = RenderOptions{};
  bool haveOutput = false;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    auto value = [&](std::string& out) {
      if (i + 1 >= argc) return false;
      out = argv[++i];
      return true;
    };
    std::string v;
    if (arg == "--help" || arg == "-h") {
      options.help = true;
      return true;
    } else if (arg == "-o") {
      if (!value(options.output) || options.output.empty()) return error = "-o needs a file name", false;
      haveOutput = true;
    } else if (arg == "-s") {
      if (!value(v) || !readDouble(v, options.seconds) || options.seconds <= 0 || options.seconds > 86400)
        return error = "-s needs a duration in seconds (above 0, at most 86400)", false;
    } else if (arg == "--seed") {
      long seed = 0;
      if (!value(v) || !readLong(v, seed) || seed < 0 || seed > 0xffffffffL)
        return error = "--seed needs a whole number from 0 to 4294967295", false;
      options.seed = static_cast<unsigned>(seed);
    } else if (arg == "--press") {
      KeyPress press;
      if (!value(v) || !parsePress(v, press))
        return error = "--press needs T:KEY:NOTE:DUR (seconds, keyboard name, note 0-1999, seconds)", false;
      options.presses.push_back(press);
    } else if (!arg.empty() && arg[0] == '-') {
      return error = "unknown option " + arg, false;
    } else if (options.patch.empty()) {
      options.patch = arg;
    } else {
      return error = "one patch only", false;
    }
  }
  if (options.patch.empty()) return error = "no patch given", false;
  if (!haveOutput) return error = "no output given (-o OUT.wav)", false;
  return true;
}

bool needsRf64(long frames) { return static_cast<long long>(frames) * 4 > kWavDataLimit; }

bool renderToFile(GENERATOR& synth, long frames, const std::vector<KeyPress>& presses, const std::string& path) {
  SafeFile file(path);
  if (!file.ok()) {
    std::printf("Cannot write [%s]: %s\n", path.c_str(), std::strerror(errno));
    return false;
  }
  SF_INFO info{};
  info.samplerate = kMixingRate;
  info.channels = 2;
  info.format = (needsRf64(frames) ? SF_FORMAT_RF64 : SF_FORMAT_WAV) | SF_FORMAT_PCM_16;
  // The descriptor stays the SafeFile's (close_desc 0): it flushes and
  // renames it once the sound file is closed.
  SNDFILE* sound = sf_open_fd(file.fd(), SFM_WRITE, &info, 0);
  if (sound == nullptr) {
    std::printf("Cannot write [%s]: %s\n", path.c_str(), sf_strerror(nullptr));
    return false;
  }
  bool written = true;
  const bool rendered = renderFrames(synth, frames, presses, [&](const int16_t* samples, long count) {
    written = sf_writef_short(sound, samples, count) == count;
    return written;
  });
  const bool closed = sf_close(sound) == 0;
  if (!rendered && written) return false;  // a press without its keyboard: said already
  if (!written || !closed || !file.commit()) {
    std::printf("Cannot write [%s]: %s\n", path.c_str(), std::strerror(errno));
    return false;
  }
  return true;
}

int renderMain(int argc, const char* const* argv) {
  RenderOptions options;
  std::string error;
  if (!parseRenderArguments(argc, argv, options, error)) {
    std::fprintf(stderr, "morvel-render: %s\n%s", error.c_str(), kRenderUsage);
    return 2;
  }
  if (options.help) {
    std::printf("%s", kRenderUsage);
    return 0;
  }
  // The output keeps its meaning from the caller's directory; the patch is
  // looked for there first, then among the data beside the program.
  std::error_code ec;
  const std::string output = std::filesystem::absolute(options.output, ec).string();
  const std::string patch = enterDataDirectory(options.patch.c_str());

  holdRandomSeed(options.seed);
  fillNoteTable();
  std::printf("Loading [%s]\n", patch.c_str());
  auto synth = std::make_unique<GENERATOR>(patch.c_str());
  if (synth->loadStatus == GENERATOR::LoadStatus::Broken) return -1;
  if (synth->loadStatus != GENERATOR::LoadStatus::Loaded) return 1;
  if (synth->findMixer("MIXER_4") == nullptr) std::printf("No mixer named MIXER_4: the render is silent\n");

  const long frames = frameAt(options.seconds);
  const auto start = std::chrono::steady_clock::now();
  if (!renderToFile(*synth, frames, options.presses, output)) return 1;
  const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();

  const double sound = static_cast<double>(frames) / kMixingRate;
  std::printf("Wrote [%s]%s\n", output.c_str(), needsRf64(frames) ? " as RF64 (past the 4 GiB a WAV file holds)" : "");
  std::printf("Rendered %ld frames (%.3f s of sound) in %.3f s wall time: %.1fx real time\n", frames, sound, wall,
              wall > 0 ? sound / wall : 0.0);
  return 0;
}
