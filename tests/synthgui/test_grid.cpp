// The panel grid, the lookups by output, and the layouts each panel reads.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "synthgui/panel_test_util.h"

namespace {

// Runs InitGuiFromCurrent on `synth` and returns what it printed.
std::string buildPanels(GENERATOR& synth) {
  currentGenerator = &synth;
  testing::internal::CaptureStdout();
  InitGuiFromCurrent();
  return testing::internal::GetCapturedStdout();
}

constexpr const char* kHeadings =
    "Init Gui From Current()\nKeyboards\nSequencers\nVcos\nSamplers\nVcas\nPcfs\nMixers\n";

}  // namespace

TEST(Generator, CreateNamesAndPlacesModules) {
  GENERATOR synth;
  VCO* a = synth.create<VCO>("VCO_1", GENERATOR::Placement::Back, 1.0f, 110.0f, 1);
  VCO* b = synth.create<VCO>("VCO_2", GENERATOR::Placement::Front, 1.0f, 220.0f, 2);
  VCO* c = synth.create<VCO>("VCO_3", GENERATOR::Placement::Back, 1.0f, 330.0f, 3);
  EXPECT_EQ(synth.oscillators, (std::vector<VCO*>{b, a, c}));
  EXPECT_STREQ(c->name, "VCO_3");
  EXPECT_EQ(c->waveType, 3);
  EXPECT_EQ(synth.findOscillator("VCO_2"), b);
}

TEST(PanelGrid, ColumnsNumbersAndRows) {
  GENERATOR synth;
  using P = GENERATOR::Placement;
  KEYBOARD* k1 = synth.create<KEYBOARD>("KEY_1", P::Back);
  KEYBOARD* k2 = synth.create<KEYBOARD>("KEY_2", P::Back);
  SEQUENCER* seq = synth.create<SEQUENCER>("SEQUENCER_1", P::Back);
  synth.create<VCO>("VCO_1", P::Back, 1.0f, 110.0f, 1);
  VCO* v2 = synth.create<VCO>("VCO_2", P::Back, 1.0f, 110.0f, 1);
  synth.create<VCA>("VCA_1", P::Back);
  OBJET stale(0, 0, "9");
  objectList = {&stale};

  EXPECT_EQ(buildPanels(synth), kHeadings);
  ASSERT_EQ(objectList.size(), 6u);
  struct Expected {
    const char* number;
    float x, y;
  } expected[] = {{"0", 0, 50},   {"1", 0, 146},      {"2", 120, 50},
                  {"0", 560, 25}, {"1", 560, 167.5f}, {"3", 770, 50}};
  for (std::size_t i = 0; i < objectList.size(); ++i) {
    EXPECT_STREQ(objectList[i]->objName, expected[i].number) << i;
    EXPECT_FLOAT_EQ(objectList[i]->x, expected[i].x) << i;
    EXPECT_FLOAT_EQ(objectList[i]->y, expected[i].y) << i;
  }
  EXPECT_EQ(sequencerPanels.front(), objectList[2]);
  EXPECT_EQ(panelInfo(objectList[2]).module.sequencer(), seq);
  EXPECT_EQ(panelInfo(objectList[4]).module.kind, ModuleKind::Oscillator);
  EXPECT_STREQ(panelInfo(objectList[1]).moduleName, "KEY_2");
  EXPECT_FALSE(panelInfo(&stale).isModule());

  // Lookups by output: gate and sync only on keyboards and sequencers.
  EXPECT_EQ(panelBySignalOutput(v2), objectList[4]);
  EXPECT_EQ(panelByGateOutput(k2), objectList[1]);
  EXPECT_EQ(panelBySyncOutput(k1), objectList[0]);
  EXPECT_EQ(panelByGateOutput(nullptr), nullptr);
  // Two panels of one module: by signal the one nearest the end wins, by
  // sync the first.
  auto* second = new KEYBOARD_GUI(k1, 0, 0, "7");
  objectList.push_back(second);
  EXPECT_EQ(panelBySignalOutput(k1), second);
  EXPECT_EQ(panelByGateOutput(k1), second);
  EXPECT_EQ(panelBySyncOutput(k1), objectList[0]);

  GENERATOR empty;
  EXPECT_EQ(buildPanels(empty), kHeadings);
  EXPECT_TRUE(objectList.empty());
  currentGenerator = nullptr;
}

// Every child a panel looks up is in its layouts: each panel kind is built,
// then every child of each of its views gets a click and knob steps, as a
// user trying everything would; nothing may be reported missing. Each back
// holds the plugs of its kind, each with a caption.
TEST(PanelLayouts, EveryChildAPanelUsesIsThere) {
  GENERATOR synth;
  using P = GENERATOR::Placement;
  synth.create<KEYBOARD>("KEY_1", P::Back);
  synth.create<SEQUENCER>("SEQUENCER_1", P::Back);
  synth.create<VCO>("VCO_1", P::Back, 1.0f, 110.0f, 1);
  synth.create<SAMPLER>("SAMPLER_1", P::Back);
  synth.create<VCA>("VCA_1", P::Back);
  synth.create<PCF>("PCF_1", P::Back);
  synth.create<MIXER>("MIXER_4", P::Back);
  currentGenerator = &synth;
  testing::internal::CaptureStdout();
  InitGuiFromCurrent();
  for (OBJET* panel : objectList) {
    auto* module = dynamic_cast<MODULE_PANEL*>(panel);
    ASSERT_NE(module, nullptr);
    // The views as the event loop shows them: the front (1), the back (4)
    // and, for the sampler and the sequencer, the mini view (2).
    const bool mini = dynamic_cast<SAMPLER_GUI*>(panel) || dynamic_cast<SEQ_GUI*>(panel);
    for (int mode : {1, 4, 2}) {
      if (mode == 2 && !mini) continue;
      panel->setDisplayMode(mode);
      const std::vector<SPRITE*> children = *panel->children;
      for (SPRITE* c : children) {
        panel->setDisplayMode(mode);  // a VIEW click switches the view
        press(*panel, c, kMouseDownType);
        press(*panel, c, kMouseUpType);
        panel->setDisplayMode(mode);
        turn(*panel, panel->ownItemName(c->name), "SLD_UP");
        turn(*panel, panel->ownItemName(c->name), "SLD_DOWN");
      }
    }
  }
  const std::string out = testing::internal::GetCapturedStdout();
  EXPECT_EQ(out.find("no child"), std::string::npos) << out;

  for (OBJET* panel : objectList) {
    const PanelInfo info = panelInfo(panel);
    ASSERT_TRUE(info.isModule());
    for (const std::string& plug : plugNames(info.module.kind)) {
      EXPECT_NE(plugOf(panel, plug.c_str()), nullptr) << panel->image << " " << plug;
      const std::string caption = panel->objName + std::string("_CAPTION_") + plug;
      EXPECT_TRUE(std::any_of(panel->altList.begin(), panel->altList.end(), [&](SPRITE* c) {
        return caption == c->name && dynamic_cast<LABEL*>(c);
      })) << caption;
    }
  }
  currentGenerator = nullptr;
  objectList.clear();
}

// The bundled patches build their panels without a missing child.
TEST(PanelLayouts, EveryBundledPatchBuildsItsPanels) {
  int patches = 0;
  for (const auto& entry : std::filesystem::directory_iterator("MVL")) {
    if (entry.path().extension() != ".mvl") continue;
    ++patches;
    testing::internal::CaptureStdout();
    GENERATOR synth(entry.path().c_str());
    currentGenerator = &synth;
    InitGuiFromCurrent();
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(synth.loadStatus, GENERATOR::LoadStatus::Loaded) << entry.path();
    EXPECT_EQ(objectList.size(), synth.moduleCount()) << entry.path();
    EXPECT_EQ(out.find("no child"), std::string::npos) << entry.path() << "\n" << out;
    EXPECT_EQ(out.find("Failing to Load RC"), std::string::npos) << entry.path();
  }
  EXPECT_GE(patches, 5);
  currentGenerator = nullptr;
  objectList.clear();
}
