// Patch cords from the bindings, the rules of dropping and unplugging them,
// and the links writer, on patches loaded and given their panels.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <map>
#include <memory>
#include <set>
#include <sstream>
#include <tuple>

#include "patch/reload.h"
#include "support/files.h"
#include "synthgui/cords.h"
#include "synthgui/panel_test_util.h"
#include "synthgui/patch_dialogs.h"
#include "util/safe_file.h"

namespace {

// (input module, input plug, output module, output plug)
using Link = std::tuple<std::string, std::string, std::string, std::string>;

class Cords : public testing::Test {
 protected:
  void TearDown() override {
    cordList.clear();
    objectList.clear();
    currentGenerator = nullptr;
    for (GENERATOR* g : synths_) releaseSynth(g);
  }

  // Loads `text` as the current synthesizer and builds its panels and cords.
  void load(const std::string& text) {
    const std::string path = dir_ / "patch.mvl";
    writeFile(path, text);
    loadFile(path);
  }
  void loadFile(const std::string& path) {
    testing::internal::CaptureStdout();
    auto* g = new GENERATOR(path.c_str());
    synths_.push_back(g);
    currentGenerator = g;
    connectMasterInput(*g);
    InitGuiFromCurrent();
    rebuildCords();
    console_ = testing::internal::GetCapturedStdout();
    ASSERT_EQ(g->loadStatus, GENERATOR::LoadStatus::Loaded) << console_;
  }

  OBJET* panel(const char* module) {
    for (OBJET* p : objectList)
      if (std::string(panelInfo(p).moduleName) == module) return p;
    ADD_FAILURE() << "no panel for " << module;
    return nullptr;
  }
  SPRITE* plug(const char* module, const char* item) {
    SPRITE* s = plugOf(panel(module), item);
    EXPECT_NE(s, nullptr) << module << " " << item;
    return s;
  }

  static std::multiset<Link> cords() {
    std::multiset<Link> out;
    for (const auto& c : cordList) {
      out.insert({panelInfo(c->startPanel).moduleName, c->startPanel->ownItemName(c->startJack->name),
                  panelInfo(c->endPanel).moduleName, c->endPanel->ownItemName(c->endJack->name)});
    }
    return out;
  }

  // The cord that ends at `item` of `module` (its input end).
  CABLE* cordInto(const char* module, const char* item) {
    SPRITE* jack = plug(module, item);
    for (const auto& c : cordList)
      if (c->startJack == jack) return c.get();
    ADD_FAILURE() << "no cord into " << module << " " << item;
    return nullptr;
  }

  // A new cord started from the output plug `item` of `module`, as a press
  // on a plug no cord touches starts one: its input end is held.
  HeldCord startCord(const char* module, const char* item) {
    cordList.push_back(
        std::make_unique<CABLE>(nullptr, panel(module), nullptr, plug(module, item), 0xFF00FF));
    return {cordList.back().get(), CordEnd::Input, plugFamily(item)};
  }

  static std::string links() {
    return written([](std::FILE* f) { writeLinks(f); });
  }
  static std::string objectsText() {
    return written([](std::FILE* f) { currentGenerator->writeObjects(f); });
  }

  template <typename Write>
  static std::string written(Write write) {
    std::FILE* f = std::tmpfile();
    write(f);
    std::string text;
    std::rewind(f);
    for (int c; (c = std::fgetc(f)) != EOF;) text.push_back(static_cast<char>(c));
    std::fclose(f);
    return text;
  }

  TempDir dir_;
  std::vector<GENERATOR*> synths_;
  std::string console_;
};

// A keyboard plays an oscillator through an amplifier and a filter into the
// master mixer; kVoicePlusLfo adds an unbound second oscillator.
const char* const kVoice =
    "BEGIN_OBJECTS_DECLARE\n"
    "VCO_1;TYPE=3;FREQ=110.000000;AMOUNT=1.00;PHASE=0;\n"
    "VCA_1;BYPASS=0;ATTACK=10;DECAY=200;SUSTAIN=1;RELEASE=300;INVERT=0;\n"
    "MIXER_4;;\n"
    "PCF_1;HICUT=1200;Q=1.000000;GAIN=1.000000;TYPE=1;BYPASS=0;\n"
    "KEY_1;;\n"
    "END_OBJECTS_DECLARE\n";

const std::string kVoicePlusLfo = std::string(kVoice).insert(
    std::string(kVoice).find("VCA_1"), "VCO_2;TYPE=1;FREQ=5.000000;AMOUNT=0.50;PHASE=0;\n");

const char* const kVoiceLinks =
    "BEGIN_LINKS_DECLARE\n"
    "MIXER_4;ADD_CHANELL=PCF_1;\n"
    "PCF_1;IN=VCA_1;\n"
    "VCA_1;IN=VCO_1;GATE=KEY_1;\n"
    "VCO_1;IN=KEY_1;GATE=KEY_1;\n"
    "\nOUTPUT_1;MIXER_4;\n"
    "END_LINKS_DECLARE\n";

// The links of a patch file as cords: each "TARGET;KEY=SOURCE;" entry of the
// links section joins the plug its key names to the source's output plug.
std::multiset<Link> linksOf(const std::string& text) {
  std::multiset<Link> out;
  std::istringstream in(text.substr(text.find("BEGIN_LINKS_DECLARE")));
  std::map<std::string, int> channels;
  for (std::string word; in >> word && word != "END_LINKS_DECLARE";) {
    if (word[0] == '#' || word.find('=') == std::string::npos) continue;
    const std::string target = word.substr(0, word.find(';'));
    std::istringstream fields(word.substr(word.find(';') + 1));
    for (std::string f; std::getline(fields, f, ';');) {
      const std::string key = f.substr(0, f.find('=')), source = f.substr(f.find('=') + 1);
      if (target.find("SEQUENCER") != std::string::npos) continue;  // no plug for it
      std::string in = key == "IN" ? "INPUT" : key == "ADD_CHANELL" ? "" : "INPUT_" + key;
      if (in.empty()) {
        // A mixer's back has plugs for its first 12 channels only.
        if (++channels[target] > 12) continue;
        in = "INPUT_" + std::to_string(channels[target]);
      }
      const std::string plugOut = key == "GATE" ? "OUTPUT_GATE" : key == "SYNC" ? "OUTPUT_SYNC" : "OUTPUT";
      out.insert({target, in, source, plugOut});
    }
  }
  return out;
}

std::multiset<std::string> lines(const std::string& text) {
  std::multiset<std::string> out;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) out.insert(line);
  return out;
}

}  // namespace

TEST_F(Cords, TheWriterWritesTheLinksOfThePanelsOnScreen) {
  load(std::string(kVoice) + kVoiceLinks);
  EXPECT_EQ(links(), kVoiceLinks);

  // A module with no panel is named nowhere; a mixer that lost its last
  // source is written as its name alone.
  std::erase(objectList, panel("PCF_1"));
  EXPECT_EQ(links(),
            "BEGIN_LINKS_DECLARE\nMIXER_4;\nVCA_1;IN=VCO_1;GATE=KEY_1;\nVCO_1;IN=KEY_1;GATE=KEY_1;\n\n"
            "OUTPUT_1;MIXER_4;\nEND_LINKS_DECLARE\n");
}

// For every bundled patch: the cords are exactly the links of its file, and
// what the writer saves loads back to the same cords.
TEST_F(Cords, BundledPatchesCordsAreTheirLinksAndSurviveASave) {
  int patches = 0;
  for (const auto& e : std::filesystem::directory_iterator("MVL")) {
    if (e.path().extension() != ".mvl") continue;
    SCOPED_TRACE(e.path().string());
    ++patches;
    loadFile(e.path().string());
    const std::multiset<Link> expected = linksOf(readFile(e.path().string()));
    EXPECT_EQ(cords(), expected);

    const std::string objects = objectsText();
    const std::string saved = dir_ / "saved.mvl";
    ASSERT_TRUE(writeFileSafely(
        saved, [](std::FILE* f) { return currentGenerator->writeObjects(f) == 1 && writeLinks(f) == 1; }));
    loadFile(saved);
    EXPECT_EQ(cords(), expected);
    // The same modules, each list in reverse (the reader inserts at the front).
    EXPECT_EQ(lines(objectsText()), lines(objects));
  }
  EXPECT_GE(patches, 5);
}

TEST_F(Cords, DroppingAnInputEndMovesOrCopiesTheBinding) {
  load(kVoicePlusLfo + kVoiceLinks);
  VCO* vco = currentGenerator->findOscillator("VCO_1");
  KEYBOARD* key = currentGenerator->findKeyboard("KEY_1");

  // From INPUT to INPUT_MOD_FREQ: the main input is left, the modulation bound.
  HeldCord held{cordInto("VCO_1", "INPUT"), CordEnd::Input, PortFamily::Signal};
  EXPECT_TRUE(connectCord(held, panel("VCO_1"), plug("VCO_1", "INPUT_MOD_FREQ"), false, false));
  EXPECT_FALSE(vco->connected());
  ASSERT_NE(vco->modFreq.load(), nullptr);
  EXPECT_EQ(vco->modFreq.load()->source.load(), &key->value);
  rebuildCords();
  EXPECT_EQ(cords().count({"VCO_1", "INPUT_MOD_FREQ", "KEY_1", "OUTPUT"}), 1u);
  EXPECT_EQ(cords().count({"VCO_1", "INPUT", "KEY_1", "OUTPUT"}), 0u);

  // Back to INPUT with right Ctrl held: both stay bound, two cords.
  held = {cordInto("VCO_1", "INPUT_MOD_FREQ"), CordEnd::Input, PortFamily::Signal};
  EXPECT_TRUE(connectCord(held, panel("VCO_1"), plug("VCO_1", "INPUT"), true, false));
  rebuildCords();
  EXPECT_EQ(cords().count({"VCO_1", "INPUT", "KEY_1", "OUTPUT"}), 1u);
  EXPECT_EQ(cords().count({"VCO_1", "INPUT_MOD_FREQ", "KEY_1", "OUTPUT"}), 1u);

  // Dropped on the plug it came from, or while Delete is held: nothing.
  held = {cordInto("VCO_1", "INPUT"), CordEnd::Input, PortFamily::Signal};
  EXPECT_FALSE(connectCord(held, panel("VCO_1"), plug("VCO_1", "INPUT"), false, false));
  EXPECT_FALSE(connectCord(held, panel("VCA_1"), plug("VCA_1", "INPUT"), false, true));
  EXPECT_TRUE(vco->connected());
}

TEST_F(Cords, NewCordsFollowTheirFamilysRules) {
  load(kVoicePlusLfo + kVoiceLinks);
  MIXER* mixer = currentGenerator->findMixer("MIXER_4");
  VCO* vco2 = currentGenerator->findOscillator("VCO_2");
  ASSERT_TRUE(mixer->addChannel(currentGenerator->findOscillator("VCO_1"), -1));
  ASSERT_EQ(mixer->channelCount, 2);

  // Any mixer plug adds the next channel: INPUT_7 of a two-channel mixer
  // gives channel 3, whose cord ends at INPUT_3.
  EXPECT_TRUE(
      connectCord(startCord("VCO_2", "OUTPUT"), panel("MIXER_4"), plug("MIXER_4", "INPUT_7"), false, false));
  EXPECT_EQ(mixer->channelCount, 3);
  rebuildCords();
  EXPECT_EQ(cords().count({"MIXER_4", "INPUT_3", "VCO_2", "OUTPUT"}), 1u);

  // A gate cord does not end at a sync plug, nor a signal cord at a gate one.
  EXPECT_FALSE(connectCord(startCord("KEY_1", "OUTPUT_GATE"), panel("VCO_2"), plug("VCO_2", "INPUT_SYNC"),
                           false, false));
  EXPECT_FALSE(
      connectCord(startCord("VCO_1", "OUTPUT"), panel("VCO_2"), plug("VCO_2", "INPUT_GATE"), false, false));
  EXPECT_EQ(vco2->gateSource.load(), nullptr);
  EXPECT_EQ(vco2->syncSource.load(), nullptr);
  // Gate and sync come from keyboards: a keyboard's sync cord binds.
  EXPECT_TRUE(connectCord(startCord("KEY_1", "OUTPUT_SYNC"), panel("VCO_2"), plug("VCO_2", "INPUT_SYNC"),
                          false, false));
  EXPECT_NE(vco2->syncSource.load(), nullptr);
  // A filter's sync plug shows a file's binding, but a cord does not bind it.
  EXPECT_FALSE(connectCord(startCord("KEY_1", "OUTPUT_SYNC"), panel("PCF_1"), plug("PCF_1", "INPUT_SYNC"),
                           false, false));
  // A cord started at an input plug has no source to give.
  EXPECT_FALSE(
      connectCord(startCord("VCA_1", "INPUT"), panel("VCO_2"), plug("VCO_2", "INPUT"), false, false));
  EXPECT_FALSE(vco2->connected());
}

TEST_F(Cords, TheOutputEndRebindsTheSameInput) {
  load(kVoicePlusLfo + kVoiceLinks);
  MIXER* mixer = currentGenerator->findMixer("MIXER_4");
  CABLE* cord = cordInto("MIXER_4", "INPUT_1");
  const HeldCord held{cord, CordEnd::Output, PortFamily::Signal};
  // Onto an input plug: nothing; with right Ctrl: the old source stays.
  EXPECT_FALSE(connectCord(held, panel("VCO_2"), plug("VCO_2", "INPUT"), false, false));
  EXPECT_FALSE(connectCord(held, panel("VCO_2"), plug("VCO_2", "OUTPUT"), true, false));
  EXPECT_TRUE(connectCord(held, panel("VCO_2"), plug("VCO_2", "OUTPUT"), false, false));
  EXPECT_EQ(mixer->channelCount, 1);
  EXPECT_EQ(mixer->channelInput[0].source.load(), &currentGenerator->findOscillator("VCO_2")->value);
  // A gate's output end goes to keyboards and sequencers only.
  const HeldCord gate{cordInto("VCA_1", "INPUT_GATE"), CordEnd::Output, PortFamily::Gate};
  EXPECT_FALSE(connectCord(gate, panel("VCO_2"), plug("VCO_2", "OUTPUT"), false, false));
}

TEST_F(Cords, DeleteUnplugsTheHeldEndWithItsMessage) {
  load(kVoicePlusLfo + kVoiceLinks);
  VCA* vca = currentGenerator->findAmplifier("VCA_1");
  struct Case {
    const char* module;
    const char* item;  // the plug of the cord's input end
    CordEnd end;
    PortFamily family;
    bool onWrongPlug;  // Delete while holding the other end's plug
    bool unbinds;
    const char* said;
  };
  const Case cases[] = {
      {"VCA_1", "INPUT_GATE", CordEnd::Input, PortFamily::Gate, false, true,
       "Branchement OUTPUT_GATE vers INPUT_GATE\n"},
      {"VCO_1", "INPUT", CordEnd::Output, PortFamily::Signal, false, true, "Branchement INPUT vers OUTPUT\n"},
      {"PCF_1", "INPUT", CordEnd::Input, PortFamily::Signal, true, false,
       "Mauvais branchment : Vous essayer de mettre une connexion INPUT dans une OUTPUT\n"},
      {"VCO_1", "INPUT_GATE", CordEnd::Output, PortFamily::Gate, false, false, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.module) + " " + c.item);
    CABLE* cord = cordInto(c.module, c.item);
    SPRITE* held = (c.end == CordEnd::Input) != c.onWrongPlug ? cord->startJack : cord->endJack;
    // With right Ctrl held the message is the same and nothing is unbound.
    testing::internal::CaptureStdout();
    EXPECT_FALSE(unplugCord({cord, c.end, c.family}, held, true));
    EXPECT_EQ(testing::internal::GetCapturedStdout(), c.said);
    testing::internal::CaptureStdout();
    EXPECT_EQ(unplugCord({cord, c.end, c.family}, held, false), c.unbinds);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), c.said);
  }
  EXPECT_EQ(vca->gateSource.load(), nullptr);
  EXPECT_FALSE(currentGenerator->findOscillator("VCO_1")->connected());
  EXPECT_TRUE(currentGenerator->findFilter("PCF_1")->connected());
  EXPECT_NE(currentGenerator->findOscillator("VCO_1")->gateSource.load(), nullptr);
}

TEST_F(Cords, BindingsWithoutASourcePanelAreReported) {
  load(kVoicePlusLfo + kVoiceLinks);
  std::erase(objectList, panel("KEY_1"));
  std::erase(objectList, panel("VCO_1"));
  testing::internal::CaptureStdout();
  rebuildCords();
  const std::string said = testing::internal::GetCapturedStdout();
  EXPECT_EQ(said, "DISH1\nPiti Probleme de GATE dans un VCA\n");
  EXPECT_EQ(cords(), (std::multiset<Link>{{"PCF_1", "INPUT", "VCA_1", "OUTPUT"},
                                          {"MIXER_4", "INPUT_1", "PCF_1", "OUTPUT"}}));
}

TEST_F(Cords, ListingTakesEachPatchFileOnceInNameOrder) {
  for (const char* name : {"b.mvl", "a.MVL", "c.mvl", "notes.txt", "d.mvl.bak"}) writeFile(dir_ / name, "");
  std::filesystem::create_directory(dir_ / "e.mvl");
  EXPECT_EQ(listPatchFiles(dir_.path().c_str()), (std::vector<std::string>{"a.MVL", "b.mvl", "c.mvl"}));
  EXPECT_TRUE(listPatchFiles((dir_ / "missing").c_str()).empty());
}

namespace {

// Makes standard input read `text` (then end of input), as a user typing at
// the console would give it; restored at destruction.
class ConsoleInput {
 public:
  explicit ConsoleInput(const std::string& text) : saved_(dup(STDIN_FILENO)) {
    int fds[2];
    EXPECT_EQ(pipe(fds), 0);
    EXPECT_EQ(write(fds[1], text.data(), text.size()), static_cast<ssize_t>(text.size()));
    close(fds[1]);
    dup2(fds[0], STDIN_FILENO);
    close(fds[0]);
    std::clearerr(stdin);
  }
  ~ConsoleInput() {
    dup2(saved_, STDIN_FILENO);
    close(saved_);
    std::clearerr(stdin);
  }

 private:
  int saved_;
};

}  // namespace

TEST_F(Cords, SavingTakesItsNameFromTheConsole) {
  load(std::string(kVoice) + kVoiceLinks);
  const std::filesystem::path home = std::filesystem::current_path();
  std::filesystem::create_directory(dir_ / "MVL");
  std::filesystem::current_path(dir_.path());
  auto save = [](const std::string& typed, int (*dialog)()) {
    ConsoleInput input(typed);
    testing::internal::CaptureStdout();
    const int result = dialog();
    return std::make_pair(result, testing::internal::GetCapturedStdout());
  };

  auto [saved, said] = save("first.mvl\n", savePatch);
  EXPECT_EQ(saved, 1) << said;
  EXPECT_NE(said.find("Save - Entrez le nom du fichier :"), std::string::npos);
  EXPECT_EQ(save("  here.mvl  extra\n", savePatchHere).first, 1);
  // No name, or no more input: nothing is written.
  for (const char* typed : {"", "  \n"}) {
    std::tie(saved, said) = save(typed, savePatch);
    EXPECT_EQ(saved, 0);
    EXPECT_NE(said.find("Save cancelled"), std::string::npos);
  }
  std::tie(saved, said) = save("no/such/dir.mvl\n", savePatch);
  EXPECT_EQ(saved, 0);
  EXPECT_NE(said.find("Non de fichier NULL!\n"), std::string::npos);
  EXPECT_EQ(directoryEntries(dir_ / "MVL"), std::vector<std::string>{"first.mvl"});

  const std::multiset<Link> before = cords();
  std::filesystem::current_path(home);
  for (const char* file : {"MVL/first.mvl", "here.mvl"}) {
    SCOPED_TRACE(file);
    loadFile(dir_ / file);
    EXPECT_EQ(cords(), before);
  }
}
