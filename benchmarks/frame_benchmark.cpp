// frame_benchmark [PATCH] [FRAMES]: the frame time of the synthesizer's
// window. Builds the window, the panels, the dashboards and the cords of
// PATCH (by default a rack of 20 panels and 30 cords written here), plays
// it without a sound device (the sound layer's NoSound thread renders in
// real time, as it would for a card), runs FRAMES frames (600 by default)
// of the window's own frame function without pacing, each one drawn, front
// view then back view with its cords and with the output trace on, then
// idle frames (nothing changes, nothing is drawn), and prints the median and
// the 99th percentile of the frame time. Needs an X display (Xvfb).
#include <GL/gl.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "audio/audio.h"
#include "audio/scope_feed.h"
#include "engine/data_dir.h"
#include "engine/generator.h"
#include "engine/notes.h"
#include "gui/gui.h"
#include "synthgui/cords.h"
#include "synthgui/event_loop.h"
#include "synthgui/front_end.h"
#include "synthgui/panel_grid.h"

namespace {

// Four keyboards, six oscillators, five amplifiers, four filters and the
// mixer: 20 panels; 30 bound inputs, each with its cord.
std::string rackPatch() {
  std::string objects = "BEGIN_OBJECTS_DECLARE\n", links = "BEGIN_LINKS_DECLARE\n";
  for (int k = 1; k <= 4; ++k) objects += "KEY_" + std::to_string(k) + ";;\n";
  for (int i = 1; i <= 6; ++i) {
    const std::string n = std::to_string(i);
    objects += "VCO_" + n + ";TYPE=3;FREQ=88;AMOUNT=0.5;PHASE=0;\n";
    links += "VCO_" + n + ";IN=KEY_" + std::to_string((i - 1) % 4 + 1) + ";";
    links += "MOD_FREQ=VCO_" + std::to_string(i % 6 + 1) + ";\n";  // 12 cords
  }
  for (int i = 1; i <= 5; ++i) {
    const std::string n = std::to_string(i);
    objects += "VCA_" + n + ";BYPASS=0;ATTACK=5;DECAY=100;SUSTAIN=1;RELEASE=100;INVERT=0;\n";
    links += "VCA_" + n + ";IN=VCO_" + n + ";GATE=KEY_" + std::to_string((i - 1) % 4 + 1) + ";\n";  // 10
  }
  for (int i = 1; i <= 4; ++i) {
    const std::string n = std::to_string(i);
    objects += "PCF_" + n + ";HICUT=1200;Q=2;GAIN=0;TYPE=1;BYPASS=0;\n";
    links += "PCF_" + n + ";IN=VCA_" + n + ";\n";  // 4
  }
  objects += "MIXER_4;;\nEND_OBJECTS_DECLARE\n";
  links += "MIXER_4;";
  for (int i = 1; i <= 4; ++i) links += "ADD_CHANELL=PCF_" + std::to_string(i) + ";";  // 4
  links += "\nEND_LINKS_DECLARE\n";
  return objects + links;
}

std::vector<double> run(int frames, bool drawEach = true) {
  std::vector<double> ms;
  for (int i = 0; i < frames; ++i) {
    const auto start = std::chrono::steady_clock::now();
    if (drawEach) synthEvents.redraw = 1;  // as when the patch changes all the time
    windowFrame();
    glFinish();
    ms.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
  }
  return ms;
}

void report(const char* what, std::vector<double> ms) {
  std::sort(ms.begin(), ms.end());
  const double median = ms[ms.size() / 2];
  const double p99 = ms[std::min(ms.size() - 1, ms.size() * 99 / 100)];
  std::printf("%-40s median %6.2f ms  99th percentile %6.2f ms  (%zu frames)\n", what, median, p99, ms.size());
}

}  // namespace

int main(int argc, char** argv) {
  std::string patch = argc > 1 ? argv[1] : "";
  const int frames = argc > 2 ? std::max(10, std::atoi(argv[2])) : 600;
  char scratch[] = "/tmp/morvel_rack_XXXXXX.mvl";
  if (patch.empty()) {
    const int fd = mkstemps(scratch, 4);
    if (fd < 0) return 1;
    const std::string text = rackPatch();
    if (write(fd, text.data(), text.size()) != static_cast<ssize_t>(text.size())) return 1;
    close(fd);
    patch = scratch;
  }
  const std::string path = enterDataDirectory(patch.c_str());
  fillNoteTable();
  currentGenerator = new GENERATOR(path.c_str());
  if (scratch[0] && patch == scratch) unlink(scratch);
  if (currentGenerator->loadStatus != GENERATOR::LoadStatus::Loaded) return 1;
  connectMasterInput(*currentGenerator);

  FSOUND_SetOutput(kOutputNoSound);
  FSOUND_Init(kMixingRate, kSoftwareChannels, kInitFlags);
  FSOUND_STREAM* stream = FSOUND_Stream_Create(renderCallback, kStreamBufferBytes, kStreamMode, kMixingRate, nullptr);
  FSOUND_Stream_Play(kPlayChannel, stream);
  audioEnabled = 1;

  openSynthWindow("Morvel frame benchmark");
  InitGuiFromCurrent();
  buildRack();
  startScopeFeed();
  windowFrame();
  std::printf("%zu panels and dashboards, ", objectList.size());
  windowFrame();
  std::printf("%zu cords\n", cordList.size());

  report("front view", run(frames));
  report("front view, idle", run(frames, false));
  showAllPanels(objectList, true, true);
  synthEvents.backView = 1;
  scopeEnabled = 1;
  report("back view, cords, output trace", run(frames));

  stopScopeFeed();
  FSOUND_Stream_Close(stream);
  FSOUND_Close();
  return 0;
}
