// The synthesizer's window end to end: the real `morvel-synth` on a private
// Xvfb display, driven by xdotool as a user would, playing through SDL's
// disk driver into a recording that is then measured. The console menus and
// the save dialog read the test's pipe.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "engine/notes.h"
#include "gui/fixtures.h"
#include "patch/port_table.h"
#include "support/programs.h"

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

// Two keyboards, each gating its own oscillator through an amplifier; only
// VCO_1 follows a keyboard (KEY_1) at first.
const char kPatch[] =
    "BEGIN_OBJECTS_DECLARE\n"
    "KEY_1;;\nKEY_2;;\n"
    "VCO_1;TYPE=1;FREQ=44;AMOUNT=0.8;PHASE=0;\nVCO_2;TYPE=1;FREQ=88;AMOUNT=0.8;PHASE=0;\n"
    "VCA_1;BYPASS=0;ATTACK=5;DECAY=50;SUSTAIN=1;RELEASE=20;INVERT=0;\n"
    "VCA_2;BYPASS=0;ATTACK=5;DECAY=50;SUSTAIN=1;RELEASE=20;INVERT=0;\n"
    "MIXER_4;;\nEND_OBJECTS_DECLARE\n"
    "BEGIN_LINKS_DECLARE\n"
    "VCO_1;IN=KEY_1;\nVCA_1;IN=VCO_1;GATE=KEY_1;\nVCA_2;IN=VCO_2;GATE=KEY_2;\n"
    "MIXER_4;ADD_CHANELL=VCA_1;ADD_CHANELL=VCA_2;\nEND_LINKS_DECLARE\n";

// The patch the load dialog switches to: one voice an octave above the
// keyboard.
const char kOther[] =
    "BEGIN_OBJECTS_DECLARE\nKEY_1;;\nVCO_1;TYPE=1;FREQ=88;AMOUNT=0.8;PHASE=0;\n"
    "VCA_1;BYPASS=0;ATTACK=5;DECAY=50;SUSTAIN=1;RELEASE=20;INVERT=0;\nMIXER_4;;\nEND_OBJECTS_DECLARE\n"
    "BEGIN_LINKS_DECLARE\nVCO_1;IN=KEY_1;\nVCA_1;IN=VCO_1;GATE=KEY_1;\nMIXER_4;ADD_CHANELL=VCA_1;\n"
    "END_LINKS_DECLARE\n";

double cents(double f, double reference) { return 1200 * std::log2(f / reference); }

// Frequency by rising zero crossings (interpolated) over [from, to).
double frequencyOf(const std::vector<int16_t>& s, long from, long to) {
  double first = -1, last = -1;
  int crossings = 0;
  for (long i = std::max(1L, from); i < to && i < static_cast<long>(s.size()); ++i) {
    if (s[i - 1] < 0 && s[i] >= 0) {
      const double at = static_cast<double>(i - 1) + static_cast<double>(-s[i - 1]) / (s[i] - s[i - 1]);
      if (first < 0) first = at;
      last = at;
      ++crossings;
    }
  }
  return crossings > 2 ? (crossings - 1) * 44100.0 / (last - first) : 0;
}

struct Segment {
  long begin, end;  // samples
};

// Stretches of sound separated by at least 0.1 s of silence.
std::vector<Segment> segmentsOf(const std::vector<int16_t>& s) {
  std::vector<Segment> out;
  long begin = -1, lastLoud = -1;
  for (long i = 0; i < static_cast<long>(s.size()); ++i) {
    if (std::abs(s[i]) < 200) continue;
    if (begin < 0 || i - lastLoud > 4410) {
      if (begin >= 0) out.push_back({begin, lastLoud + 1});
      begin = i;
    }
    lastLoud = i;
  }
  if (begin >= 0) out.push_back({begin, lastLoud + 1});
  return out;
}

// "MODULE.PLUG<-SOURCE" for every bound input of `g`.
std::set<std::string> linksOf(const GENERATOR& g) {
  std::vector<ModuleRef> modules;
  for (auto* m : g.keyboards) modules.emplace_back(m);
  for (auto* m : g.oscillators) modules.emplace_back(m);
  for (auto* m : g.amplifiers) modules.emplace_back(m);
  for (auto* m : g.mixers) modules.emplace_back(m);
  std::set<std::string> out;
  for (const ModuleRef& target : modules) {
    for (const PortSpec& port : portsOf(target.kind)) {
      const int channels = port.slot == PortSlot::Channel ? target.mixer()->channelCount.load() : 1;
      for (int c = 0; c < channels; ++c) {
        const void* field = boundField(target, port.slot, c);
        if (!field) continue;
        for (const ModuleRef& source : modules) {
          if (outputField(source, port.family) == field)
            out.insert(std::string(target.name()) + "." + port.linkKey + "<-" + source.name());
        }
      }
    }
  }
  return out;
}

class SynthWindow : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(xvfb_.name().empty()) << "cannot start Xvfb";
    const fs::path bin = fs::path(MORVEL_SYNTH_EXE).parent_path();
    fs::copy_file(MORVEL_SYNTH_EXE, dir_ / "morvel-synth");
    for (const char* data : {"grfx", "Fonts", "RC", "Zod_Engine", "Sounds"})
      fs::create_directory_symlink(bin / data, dir_ / data);
    writeFile(dir_ / "MVL/e2e.mvl", kPatch);
    writeFile(dir_ / "MVL/zz_other.mvl", kOther);
    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    console_ = fds[1];
    // Three times real time: the recording holds more sound than the test
    // takes.
    SpawnOptions o{dir_.path(), dir_ / "out.txt", xvfb_.name(),
                   {{"SDL_AUDIODRIVER", "disk"}, {"SDL_DISKAUDIOFILE", dir_ / "sound.raw"},
                    {"SDL_DISKAUDIODELAY", "23"}, {"MORVEL_REMOTE_PORT", std::to_string(20000 + getpid() % 20000)}},
                   fds[0]};
    synth_ = spawnProgram({dir_ / "morvel-synth", "MVL/e2e.mvl"}, o);
    close(fds[0]);
    type("11");  // the system's output, its first driver
  }

  void TearDown() override {
    if (console_ >= 0) close(console_);
    killProgram(synth_);
  }

  void type(const std::string& text) { ASSERT_EQ(write(console_, text.data(), text.size()), static_cast<ssize_t>(text.size())); }
  std::string output() const { return readFile(dir_ / "out.txt"); }
  bool said(const std::string& line, std::chrono::milliseconds limit = 20000ms) {
    return eventually([&] { return output().find(line) != std::string::npos; }, limit);
  }
  void x(const std::string& args) { xvfb_.xdotool(args); }
  // Pixels of the screen, 0xRRGGBB.
  SDL_Surface* screen(const char* name) {
    const std::string path = dir_ / name;
    return xvfb_.screenshot(path) ? SDL_LoadBMP(path.c_str()) : nullptr;
  }
  void expectPointerAt(int px, int py) {
    EXPECT_TRUE(eventually([&] {
      int ax = 0, ay = 0;
      return xvfb_.pointer(ax, ay) && ax == px && ay == py;
    }, 3000ms)) << "the pointer is not back at " << px << "," << py;
  }

  TempDir dir_;
  PrivateDisplay xvfb_{dir_ / "xvfb.log"};
  pid_t synth_ = -1;
  int console_ = -1;
};

// The share of equal pixels of two areas. A picture drawn at another place
// of the window may pick a neighbouring texel of a scaled texture here and
// there.
double likeness(SDL_Surface* a, int ax, int ay, SDL_Surface* b, int bx, int by, int w, int h) {
  int same = 0;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) same += pixelAt(a, ax + x, ay + y) == pixelAt(b, bx + x, by + y);
  return static_cast<double>(same) / (w * h);
}

}  // namespace

TEST_F(SynthWindow, PlayTurnPatchAddSaveReloadAndEnd) {
  ASSERT_TRUE(said("Initialise Gui From current RAM synth\n")) << output();
  ASSERT_FALSE(xvfb_.xdotool("search --sync --name \"Morvel - Synthesizer\"").empty());
  std::this_thread::sleep_for(500ms);  // the first frames
  SDL_Surface* fronts = screen("fronts.bmp");
  ASSERT_NE(fronts, nullptr);

  // The grid: keyboards in the first column (KEY_2 on top, the file's
  // modules in reverse order), oscillators from x = 120 (VCO_2 at y = 25,
  // VCO_1 at 167.5).
  x("keydown z sleep 0.5 keyup z sleep 0.4");
  // VCO_1's frequency knob (32 x 32 at 96, 30 on the panel) dragged 20
  // pixels up while the note sounds.
  x("keydown z sleep 0.3 mousemove 232 214 sleep 0.1 mousedown 1 sleep 0.1 mousemove 232 194 sleep 0.2 "
    "mouseup 1 sleep 0.3 keyup z sleep 0.4");
  expectPointerAt(232, 214);

  // The backs: a cord from KEY_2's OUTPUT (12, 36 on its back) to VCO_2's
  // INPUT (16, 24).
  x("key F6 sleep 0.3 mousemove 20 94 sleep 0.1 mousedown 1 sleep 0.1 mousemove 80 80 sleep 0.1 "
    "mousemove 144 57 sleep 0.2 mouseup 1 sleep 0.3");
  expectPointerAt(20, 94);
  x("key F6 sleep 0.3 mousemove 600 500 sleep 0.3");
  SDL_Surface* again = screen("again.bmp");
  ASSERT_NE(again, nullptr);
  // F6 twice: the keyboards show their fronts as at the start.
  EXPECT_EQ(likeness(fronts, 0, 50, again, 0, 50, 112, 188), 1.0);
  x("keydown a sleep 0.5 keyup a sleep 0.4");

  // The module dashboard (in a row with the others at the bottom left,
  // where this rack leaves room): its VCO key adds VCO_3 at (10, 2 x 64 +
  // 50), drawn over the rack like VCO_2's panel at (120, 25).
  x("mousemove 344 692 sleep 0.1 click 1 sleep 0.5 mousemove 600 500 sleep 0.3");
  ASSERT_TRUE(said("Neo VCO\n"));
  SDL_Surface* added = screen("added.bmp");
  ASSERT_NE(added, nullptr);
  EXPECT_GT(likeness(added, 10, 178, added, 120, 25, 70, 14), 0.9) << "no oscillator panel at (10, 178)";

  // F4 saves into the working directory under the name typed on the console.
  x("key F4");
  ASSERT_TRUE(said("Save - Entrez le nom du fichier :"));
  type("saved.mvl\n");
  ASSERT_TRUE(said("Saved [")) << output();
  fillNoteTable();
  testing::internal::CaptureStdout();
  GENERATOR saved((dir_ / "saved.mvl").c_str());
  testing::internal::GetCapturedStdout();
  ASSERT_EQ(saved.loadStatus, GENERATOR::LoadStatus::Loaded);
  EXPECT_EQ(saved.moduleCount(), 8u);
  ASSERT_NE(saved.findOscillator("VCO_3"), nullptr);
  EXPECT_FLOAT_EQ(saved.findOscillator("VCO_1")->frequency, 34.0f);
  EXPECT_EQ(linksOf(saved), (std::set<std::string>{"VCO_1.IN<-KEY_1", "VCO_2.IN<-KEY_2", "VCA_1.IN<-VCO_1",
                                                   "VCA_1.GATE<-KEY_1", "VCA_2.IN<-VCO_2", "VCA_2.GATE<-KEY_2",
                                                   "MIXER_4.ADD_CHANELL<-VCA_1", "MIXER_4.ADD_CHANELL<-VCA_2"}));

  // F3 and a click on the first entry (the list runs from the last name).
  x("key F3");
  ASSERT_TRUE(said("LOAD MVL-8\n"));
  x("sleep 0.5 mousemove 460 311 sleep 0.2 click 1");
  ASSERT_TRUE(said("Load [zz_other.mvl]\n")) << output();
  ASSERT_TRUE(said("Init Gui From Current()\nKeyboards", 5000ms));
  x("sleep 0.5 keydown z sleep 0.5 keyup z sleep 0.4 key Escape");

  const int status = waitForExit(synth_, 20000ms);
  ASSERT_NE(status, -1) << "Escape did not end the program";
  synth_ = -1;
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
  EXPECT_NE(output().find("Sound load: "), std::string::npos);

  // What was heard, in order, each note ending in silence once its key was
  // let go: VCO_1 at middle C; the same note, lowered by the knob (20 steps
  // of 0.5 from 44: 34); VCO_2 following KEY_2's note 1 an octave up; the
  // reloaded patch, an octave up.
  std::vector<int16_t> left;
  {
    const std::string raw = readFile(dir_ / "sound.raw");
    left.resize(raw.size() / 4);
    for (std::size_t i = 0; i < left.size(); ++i)
      left[i] = static_cast<int16_t>(static_cast<unsigned char>(raw[4 * i]) | raw[4 * i + 1] << 8);
  }
  const std::vector<Segment> heard = segmentsOf(left);
  ASSERT_EQ(heard.size(), 4u);
  const double middleC = noteFrequency(49);
  struct Expect {
    double first, last;
  };
  const Expect expected[] = {{middleC, middleC},
                             {middleC, middleC * 34 / 44},
                             {middleC * 2, middleC * 2},
                             {middleC * 2, middleC * 2}};
  for (std::size_t k = 0; k < heard.size(); ++k) {
    const Segment& s = heard[k];
    ASSERT_GT(s.end - s.begin, 20000) << k;
    EXPECT_NEAR(cents(frequencyOf(left, s.begin + 1000, s.begin + 7000), expected[k].first), 0, 2) << k;
    EXPECT_NEAR(cents(frequencyOf(left, s.end - 8000, s.end - 2000), expected[k].last), 0, 2) << k;
  }
  SDL_FreeSurface(fronts);
  SDL_FreeSurface(again);
  SDL_FreeSurface(added);
}
