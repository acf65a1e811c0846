#include "patch/render.h"

#include <sndfile.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>

#include "audio/render.h"
#include "audio/sound_setup.h"
#include "engine/data_dir.h"
#include "engine/generator.h"
#include "engine/notes.h"
#include "engine/random.h"

namespace {

constexpr const char* kUsage =
    "usage: morvel-render PATCH -o OUT.wav [-s SECONDS] [--seed N] [--press T:KEY:NOTE:DUR]...\n";

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

unsigned heldSeed = 1;
void reseedWithHeldSeed() { seedRandom(heldSeed); }

long frameAt(double seconds) { return std::lround(seconds * kMixingRate); }

struct KeyEvent {
  long frame;
  KEYBOARD* keyboard;
  int note;
  bool press;
};

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
    if (arg == "-o") {
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

void holdRandomSeed(unsigned seed) {
  heldSeed = seed;
  setReseedHook(reseedWithHeldSeed);
  seedRandom(seed);
}

bool renderFrames(GENERATOR& synth, long frames, const std::vector<KeyPress>& presses, std::vector<int16_t>& out) {
  std::vector<KeyEvent> events;
  for (const KeyPress& p : presses) {
    KEYBOARD* keyboard = synth.findKeyboard(p.keyboard.c_str());
    if (keyboard == nullptr) {
      std::printf("No keyboard [%s] to press\n", p.keyboard.c_str());
      return false;
    }
    events.push_back({frameAt(p.time), keyboard, p.note, true});
    events.push_back({frameAt(p.time + p.duration), keyboard, p.note, false});
  }
  // Releases before presses on the same frame, so that a note that follows
  // another at once opens the gate again.
  std::stable_sort(events.begin(), events.end(), [](const KeyEvent& a, const KeyEvent& b) {
    return a.frame != b.frame ? a.frame < b.frame : (!a.press && b.press);
  });

  GENERATOR* const previousSynth = currentGenerator;
  currentGenerator = &synth;
  connectMasterInput(synth);
  const int previous = audioEnabled;
  audioEnabled = 1;

  constexpr long kBufferFrames = kStreamBufferBytes / 4;
  std::vector<int16_t> buffer(kStreamBufferBytes / sizeof(int16_t));
  out.reserve(out.size() + static_cast<size_t>(frames) * 2);
  size_t next = 0;
  for (long done = 0; done < frames;) {
    const long end = std::min(done + kBufferFrames, frames);
    for (long pos = done; pos < end;) {
      for (; next < events.size() && events[next].frame <= pos; ++next) {
        const KeyEvent& e = events[next];
        if (e.press) {
          e.keyboard->press(e.note, 1);
        } else {
          e.keyboard->gateOff();
        }
      }
      const long until = next < events.size() ? std::min(end, events[next].frame) : end;
      renderCallback(nullptr, buffer.data() + 2 * (pos - done), static_cast<int>(4 * (until - pos)), nullptr);
      pos = until;
    }
    out.insert(out.end(), buffer.begin(), buffer.begin() + 2 * (end - done));
    done = end;
  }
  audioEnabled = previous;
  currentGenerator = previousSynth;
  return true;
}

bool writeWav(const std::string& path, const std::vector<int16_t>& samples) {
  const std::string partial = path + ".part";
  SF_INFO info{};
  info.samplerate = kMixingRate;
  info.channels = 2;
  info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
  SNDFILE* file = sf_open(partial.c_str(), SFM_WRITE, &info);
  if (file == nullptr) {
    std::printf("Cannot write [%s]: %s\n", partial.c_str(), sf_strerror(nullptr));
    return false;
  }
  const sf_count_t frames = static_cast<sf_count_t>(samples.size() / 2);
  const bool written = sf_writef_short(file, samples.data(), frames) == frames;
  const bool closed = sf_close(file) == 0;
  std::error_code ec;
  if (!written || !closed) {
    std::printf("Cannot write [%s]\n", partial.c_str());
    std::filesystem::remove(partial, ec);
    return false;
  }
  std::filesystem::rename(partial, path, ec);
  if (ec) {
    std::printf("Cannot write [%s]: %s\n", path.c_str(), ec.message().c_str());
    std::filesystem::remove(partial, ec);
    return false;
  }
  return true;
}

int renderMain(int argc, const char* const* argv) {
  RenderOptions options;
  std::string error;
  if (!parseRenderArguments(argc, argv, options, error)) {
    std::printf("morvel-render: %s\n%s", error.c_str(), kUsage);
    return 2;
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
  std::vector<int16_t> samples;
  const auto start = std::chrono::steady_clock::now();
  if (!renderFrames(*synth, frames, options.presses, samples)) return 1;
  const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  if (!writeWav(output, samples)) return 1;

  const double sound = static_cast<double>(frames) / kMixingRate;
  std::printf("Wrote [%s]\n", output.c_str());
  std::printf("Rendered %ld frames (%.3f s of sound) in %.3f s wall time: %.1fx real time\n", frames, sound, wall,
              wall > 0 ? sound / wall : 0.0);
  return 0;
}
