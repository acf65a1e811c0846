// The port table's bindings, and replacing the running synthesizer.

#include "audio/render.h"
#include "patch/port_table.h"
#include "patch/reload.h"
#include "patch_test_util.h"

namespace {

const char* const kVoice =
    "BEGIN_OBJECTS_DECLARE\n"
    "KEY_1;;\nSEQUENCER_1;NBR_STEP=4;\nVCO_1;FREQ=220;AMOUNT=1;\nVCO_2;FREQ=3;\nSAMPLER_1;FILE=Sounds/"
    "kick.wav;\n"
    "VCA_1;ATTACK=1;\nPCF_1;BYPASS=1;\nMIXER_4;;\n"
    "END_OBJECTS_DECLARE\n";

}  // namespace

TEST_F(PatchTest, EveryPortBindsToItsFamilysOutputAndUnbinds) {
  auto g = load(std::string(kVoice) + "BEGIN_LINKS_DECLARE\nEND_LINKS_DECLARE\n");
  const ModuleRef key = g->findKeyboard("KEY_1");
  const ModuleRef osc = g->findOscillator("VCO_2");
  const ModuleRef targets[] = {g->findOscillator("VCO_1"), g->findSampler("SAMPLER_1"),
                               g->findAmplifier("VCA_1"),  g->findFilter("PCF_1"),
                               g->findMixer("MIXER_4"),    g->findSequencer("SEQUENCER_1")};
  for (const ModuleRef& t : targets) {
    for (const PortSpec& port : portsOf(t.kind)) {
      SCOPED_TRACE(std::string(t.name()) + " " + port.plug);
      const ModuleRef source = port.family == PortFamily::Signal ? osc : key;
      ASSERT_TRUE(bindPort(t, port.slot, source));
      EXPECT_EQ(boundField(t, port.slot), outputField(source, port.family));
      EXPECT_NE(boundField(t, port.slot), nullptr);
      unbindPort(t, port.slot);
      EXPECT_EQ(boundField(t, port.slot), nullptr);
    }
  }
  // A mixer keeps its channel count when a channel is emptied.
  EXPECT_EQ(targets[4].mixer()->channelCount, 1);
  // Gate and sync need a keyboard or a sequencer.
  EXPECT_FALSE(bindPort(targets[0], PortSlot::Gate, osc));
  EXPECT_EQ(boundField(targets[0], PortSlot::Gate), nullptr);
  // Plug names resolve by containment; pulse width is an oscillator's only.
  EXPECT_EQ(signalSlotOfPlug(ModuleKind::Oscillator, "3_INPUT_MOD_PWM"), PortSlot::ModPwm);
  EXPECT_EQ(signalSlotOfPlug(ModuleKind::Sampler, "3_INPUT_MOD_PWM"), PortSlot::Main);
  EXPECT_EQ(signalSlotOfPlug(ModuleKind::Filter, "12_INPUT_MOD_PHASE"), PortSlot::ModPhase);
  EXPECT_EQ(plugFamily("3_OUTPUT_GATE"), PortFamily::Gate);
  EXPECT_EQ(plugFamily("3_INPUT_SYNC"), PortFamily::Sync);
}

// The running synthesizer keeps playing whatever a reload is given, until a
// good file replaces it whole.
TEST_F(PatchTest, ReloadIsAllOrNothing) {
  auto rendered = [] {
    std::vector<int16_t> buffer(2 * 4410);
    audioEnabled = 1;
    renderCallback(nullptr, buffer.data(), static_cast<int>(buffer.size() * 2), nullptr);
    audioEnabled = 0;
    double sum = 0;
    for (int16_t s : buffer) sum += std::abs(s);
    return sum / static_cast<double>(buffer.size());
  };
  const std::string links = "BEGIN_LINKS_DECLARE\nMIXER_4;ADD_CHANELL=VCO_1;\nEND_LINKS_DECLARE\n";
  const std::string good = writePatch(std::string(kVoice) + links, "good.mvl");
  const std::string broken =
      writePatch(std::string(kVoice) + "BEGIN_LINKS_DECLARE\nVCO_9;IN=KEY_1;\n", "bad.mvl");
  const std::string other = writePatch(
      "BEGIN_OBJECTS_DECLARE\nVCO_1;FREQ=440;\nMIXER_4;;\nEND_OBJECTS_DECLARE\nBEGIN_LINKS_DECLARE\nMIXER_4;"
      "ADD_CHANELL=VCO_1;\nEND_LINKS_DECLARE\n",
      "other.mvl");

  ::testing::internal::CaptureStdout();
  ReloadResult first = reloadPatch(good.c_str());
  ASSERT_TRUE(first.loaded);
  GENERATOR* running = currentGenerator;
  const double loud = rendered();
  EXPECT_GT(loud, 1000);

  for (const std::string& path : {broken, dir_.string() + "/missing.mvl"}) {
    const ReloadResult r = reloadPatch(path.c_str());
    EXPECT_FALSE(r.loaded);
    EXPECT_EQ(r.previous, nullptr);
    EXPECT_EQ(currentGenerator, running);
    EXPECT_EQ(masterInput->source.load(), &running->findMixer("MIXER_4")->value);
    EXPECT_GT(rendered(), 1000) << "silenced by " << path;
  }
  const std::string console = ::testing::internal::GetCapturedStdout();
  EXPECT_NE(console.find("Load failed [" + broken + "]: the file has errors"), std::string::npos) << console;
  EXPECT_NE(console.find("missing.mvl]: the file cannot be opened"), std::string::npos) << console;

  ::testing::internal::CaptureStdout();
  const ReloadResult second = reloadPatch(other.c_str());
  ::testing::internal::GetCapturedStdout();
  ASSERT_TRUE(second.loaded);
  EXPECT_EQ(second.previous, running);
  EXPECT_EQ(currentGenerator->moduleCount(), 2u);
  EXPECT_EQ(masterInput->source.load(), &currentGenerator->findMixer("MIXER_4")->value);
  releaseSynth(second.previous);
  releaseSynth(first.previous);

  AudioLock lock;
  releaseSynth(currentGenerator);
  currentGenerator = nullptr;
  masterInput->connect(nullptr);
}

// A released synthesizer's sequencers leave no step event behind: a receiver
// that reads the sequencer it is handed never reads freed memory.
TEST_F(PatchTest, ReleasingASynthesizerDropsItsQueuedStepEvents) {
  static std::vector<std::string> names;
  names.clear();
  setStepEventSink([](const char*, SEQUENCER* source) { names.emplace_back(source->name); });
  auto* synth = new GENERATOR;
  auto* seq = new SEQUENCER;
  seq->setName("SEQUENCER_1");
  synth->sequencers.push_back(seq);
  for (int i = 0; i < 22050; ++i) seq->process();  // one event queued
  releaseSynth(synth);
  EXPECT_EQ(dispatchStepEvents(), 0);
  EXPECT_TRUE(names.empty());
  setStepEventSink(nullptr);
}
