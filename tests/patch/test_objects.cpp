// The objects section: kinds from names, keys by containment, the number
// readings, comments and markers, step keys, messages, and the writer.

#include <algorithm>
#include <cstring>

#include "patch/patch.h"
#include "patch_test_util.h"

namespace {

using ::testing::HasSubstr;
using ::testing::Not;

TEST_F(PatchTest, NamesMakeOneModulePerMatchingKindGroup) {
  std::string console;
  auto g = load(
      "KEY_1;;\n"
      "MIXER_4;;\n"
      "VCO_VCA;FREQ=220;ATTACK=5;\n"    // an oscillator and an amplifier
      "OSC_1;FREQ=2;\n"                 // no kind word: nothing, silently
      "PCF_KEY;HICUT=500;\n"            // the filter wins its group over the keyboard
      "SAMPLER_VCO;FILE=Sounds/kick.wav;\n"  // a sampler, not an oscillator
      "SEQUENCER_VCA_MIXER;DIVIDER=4;ATTACK=7;\n",
      &console);
  ASSERT_EQ(g->loadStatus, GENERATOR::LoadStatus::Loaded);
  EXPECT_THAT(console, Not(HasSubstr("Ligne")));
  EXPECT_THAT(console, Not(HasSubstr("Erreur")));

  ASSERT_EQ(g->keyboards.size(), 1u);
  EXPECT_STREQ(g->keyboards[0]->name, "KEY_1");
  ASSERT_EQ(g->oscillators.size(), 1u);
  EXPECT_STREQ(g->oscillators[0]->name, "VCO_VCA");
  EXPECT_FLOAT_EQ(g->oscillators[0]->frequency, 220.0f);
  ASSERT_EQ(g->amplifiers.size(), 2u);  // SEQUENCER_VCA_MIXER, then VCO_VCA
  EXPECT_FLOAT_EQ(g->findAmplifier("VCO_VCA")->attackTime, 5.0f);
  EXPECT_FLOAT_EQ(g->findAmplifier("SEQUENCER_VCA_MIXER")->attackTime, 7.0f);
  ASSERT_EQ(g->filters.size(), 1u);
  EXPECT_EQ(g->filters[0]->cutoff, 500);
  ASSERT_EQ(g->samplers.size(), 1u);
  EXPECT_STREQ(g->samplers[0]->samplePath, "Sounds/kick.wav");
  EXPECT_EQ(g->samplers[0]->frameCount, 2205);
  ASSERT_EQ(g->sequencers.size(), 1u);
  EXPECT_FLOAT_EQ(g->sequencers[0]->divider, 4.0f);
  EXPECT_FLOAT_EQ(g->sequencers[0]->pendingDivider, 4.0f);
  ASSERT_EQ(g->mixers.size(), 2u);
  EXPECT_NE(g->findMixer("MIXER_4"), nullptr);
  EXPECT_NE(g->findMixer("SEQUENCER_VCA_MIXER"), nullptr);
}

TEST_F(PatchTest, KeysAreFoundByContainmentAndReadAsTheirNumbers) {
  auto g = load(
      "VCO_1;FREQ=440;AMOUNT=0.5\n"  // text after the last ";" is ignored
      "VCO_2;NOTE=58;TYPE=3;PHASE=12.75;\n"
      "VCO_3;TYPE=9;\n"
      "VCO_4;TYPE=4;TYPE=0;\n"
      "VCO_5;FREQ=100;NOTE=58;\n"
      "VCO_6;NOTE=58;FREQ=100;\n"
      "VCO_7;NOTE=2000;AMOUNT;\n"  // outside the note table; a key without a value
      "VCO_8;NOTE=-1;XXFREQ=3e2;\n"
      "VCA_1;SUSTAIN=0.500000;ATTACK=12.9;RELEASE=-3;INVERT=1;DECAY=7x;\n"
      "PCF_1;GAIN=3.7;AMOUNT=0.5;\n"
      "PCF_2;AMOUNT=0.5;GAIN=3.7;\n"
      "PCF_3;GAIN=12.5;TYPE=1;BYPASS=0;Q=2.5;HICUT=1200.9;\n"
      "SEQUENCER_1;*DIVIDER=2.5;\n");
  ASSERT_EQ(g->loadStatus, GENERATOR::LoadStatus::Loaded);
  struct Osc {
    const char* name;
    float frequency, amplitude;
    int wave;
  };
  for (const Osc& o : {Osc{"VCO_1", 440.0f, 1.0f, 1}, Osc{"VCO_2", 440.0f, 1.0f, 3}, Osc{"VCO_3", 110.0f, 1.0f, 1},
                       Osc{"VCO_4", 110.0f, 1.0f, 1}, Osc{"VCO_5", 440.0f, 1.0f, 1}, Osc{"VCO_6", 100.0f, 1.0f, 1},
                       Osc{"VCO_7", 110.0f, 1.0f, 1}, Osc{"VCO_8", 300.0f, 1.0f, 1}}) {
    const VCO* v = g->findOscillator(o.name);
    ASSERT_NE(v, nullptr) << o.name;
    EXPECT_NEAR(v->frequency, o.frequency, 1e-3) << o.name;
    EXPECT_FLOAT_EQ(v->amplitude, o.amplitude) << o.name;
    EXPECT_EQ(v->waveType, o.wave) << o.name;
  }
  EXPECT_FLOAT_EQ(g->findOscillator("VCO_2")->phaseOffset, 12.75f);

  const VCA* a = g->findAmplifier("VCA_1");
  EXPECT_FLOAT_EQ(a->sustainLevel, 0.0f);  // whole numbers only
  EXPECT_FLOAT_EQ(a->attackTime, 12.0f);
  EXPECT_FLOAT_EQ(a->releaseTime, -3.0f);
  EXPECT_FLOAT_EQ(a->decayTime, 7.0f);
  EXPECT_EQ(a->invert, 1);

  EXPECT_FLOAT_EQ(g->findFilter("PCF_1")->gainDb, 3.0f);
  EXPECT_FLOAT_EQ(g->findFilter("PCF_1")->level, 0.5f);
  EXPECT_FLOAT_EQ(g->findFilter("PCF_2")->level, 0.0f);  // 3 / 10 in whole numbers
  const PCF* f = g->findFilter("PCF_3");
  EXPECT_FLOAT_EQ(f->gainDb, 12.0f);
  EXPECT_FLOAT_EQ(f->level, 1.0f);
  EXPECT_EQ(f->filterType, 1);
  EXPECT_EQ(f->bypass, 0);
  EXPECT_FLOAT_EQ(f->q, 2.5f);
  EXPECT_EQ(f->cutoff, 1200);

  EXPECT_FLOAT_EQ(g->sequencers[0]->divider, 2.5f);
}

TEST_F(PatchTest, CommentsMarkersAndTheStatementCounter) {
  std::string console;
  auto g = load(
      "VCO_0;FREQ=50;\n"  // before the marker: read all the same
      "BEGIN_OBJECTS_DECLARE\n"
      "#VCO_1;FREQ=440;\n"
      "# VCO_2;FREQ=440;\n"  // the comment is the word "#" alone
      "VCO_3; FREQ=440;\n"   // two statements, each with one ";"
      "END_OBJECTS_DECLARE\n"
      "VCO_4;FREQ=1;\n",  // after the end marker: links territory
      &console);
  EXPECT_EQ(g->oscillators.size(), 2u);
  EXPECT_NE(g->findOscillator("VCO_0"), nullptr);
  EXPECT_EQ(g->findOscillator("VCO_1"), nullptr);
  ASSERT_NE(g->findOscillator("VCO_2"), nullptr);
  EXPECT_FLOAT_EQ(g->findOscillator("VCO_2")->frequency, 440.0f);
  EXPECT_EQ(g->findOscillator("VCO_3"), nullptr);
  EXPECT_EQ(g->findOscillator("VCO_4"), nullptr);
  // Words: 1 VCO_0, 2 marker, 3 #VCO_1, 4 #, 5 VCO_2, 6 "VCO_3;", 7 "FREQ=440;".
  EXPECT_EQ(console,
            "Ligne 6 semble avoir moins de 2 parametres\n"
            "Ligne 7 semble avoir moins de 2 parametres\n");

  // No markers at all: one objects section to the end of the file.
  auto plain = load("VCO_1;FREQ=1;\n\n\tVCA_1;ATTACK=2;   MIXER_4;;");
  EXPECT_EQ(plain->moduleCount(), 3u);
  EXPECT_EQ(plain->loadStatus, GENERATOR::LoadStatus::Loaded);
}

TEST_F(PatchTest, SequencerStepKeysStayInsideTheGrid) {
  auto g = load(
      "SEQUENCER_1;NOTE_001_005=50;VOLUME_7=0.5;BYPASS_12=1;LENGHT_000_003=0.25;*NOTE_063_063=70;"
      "VOLUME_002_010=0.125;"
      // None of these names a cell of the grid, or a note of the table.
      "NOTE_064_000=50;NOTE_000_064=50;NOTE_-01_000=50;VOLUME_123=0.5;NOTE_5=50;NOTE_000_002=2000;"
      "BYPASS_99=1;LENGHT_000=3;\n"
      "SEQUENCER_2;NBR_STEP=0;\n"
      "SEQUENCER_3;NBR_STEP=100;\n"
      "SEQUENCER_4;NBR_STEP=16;\n");
  const SEQUENCER* s = g->findSequencer("SEQUENCER_1");
  ASSERT_NE(s, nullptr);
  EXPECT_EQ(s->stepOctave[1][5], 4);
  EXPECT_EQ(s->stepNote[1][5], 2);
  EXPECT_EQ(s->stepOctave[63][63] * 12 + s->stepNote[63][63], 70);
  EXPECT_FLOAT_EQ(s->stepVolume[0][7], 0.5f);
  EXPECT_EQ(s->stepBypass[0][12], 1);
  EXPECT_FLOAT_EQ(s->stepLength[0][3], 0.25f);
  EXPECT_FLOAT_EQ(s->stepVolume[2][10], 0.125f);
  // Every other cell keeps the defaults.
  int changed = 0;
  for (int r = 0; r < SEQUENCER::kRows; ++r)
    for (int c = 0; c < SEQUENCER::kSteps; ++c)
      changed += (s->stepOctave[r][c] != 3 || s->stepNote[r][c] != 10) + (s->stepVolume[r][c] != 1.0f) +
                 (s->stepBypass[r][c] != 0) + (s->stepLength[r][c] != 1.0f);
  EXPECT_EQ(changed, 6);

  EXPECT_EQ(g->findSequencer("SEQUENCER_2")->stepCount, 1);
  EXPECT_EQ(g->findSequencer("SEQUENCER_3")->stepCount, 64);
  EXPECT_EQ(g->findSequencer("SEQUENCER_4")->stepCount, 16);
}

TEST_F(PatchTest, ReaderMessagesAndFailures) {
  std::string console;
  auto g = load("VCO_1;FREQ=440\nVCA_1;ATTACK=1;\nVCO_2;;FREQ=440;\nVCO_3;FREQ=1;\n", &console);
  EXPECT_EQ(console,
            "Ligne 1 semble avoir moins de 2 parametres\n"
            "Erreur, au niveau des parametre ligne [3]\n");
  EXPECT_EQ(g->loadStatus, GENERATOR::LoadStatus::Broken);
  EXPECT_EQ(g->findOscillator("VCO_1"), nullptr);
  EXPECT_NE(g->findAmplifier("VCA_1"), nullptr);
  EXPECT_EQ(g->findOscillator("VCO_3"), nullptr);  // reading stopped at the error

  // Keyboards and mixers never look at their parameters.
  auto ok = load("KEY_1;;;\nMIXER_4;;\n", &console);
  EXPECT_EQ(ok->loadStatus, GENERATOR::LoadStatus::Loaded);
  EXPECT_EQ(console, "");

  // The objects pass reports its outcome to the caller, which keeps running.
  GENERATOR direct;
  ::testing::internal::CaptureStdout();
  EXPECT_EQ(direct.loadObjects(writePatch("PCF_1;HICUT=1;;\n").c_str()), -1);
  EXPECT_EQ(direct.loadObjects((dir_ / "missing.mvl").c_str()), 0);
  console = ::testing::internal::GetCapturedStdout();
  EXPECT_EQ(console, "Erreur, au niveau des parametre ligne [1]\nMust Specify a true filename\n");

  ::testing::internal::CaptureStdout();
  GENERATOR missing((dir_ / "missing.mvl").c_str());
  EXPECT_EQ(::testing::internal::GetCapturedStdout(), "Must Specify a true filename\n");
  EXPECT_EQ(missing.loadStatus, GENERATOR::LoadStatus::CannotOpen);
  EXPECT_EQ(missing.moduleCount(), 0u);
  EXPECT_STREQ(missing.patchPath, "");

  GENERATOR empty(nullptr);
  EXPECT_EQ(empty.loadStatus, GENERATOR::LoadStatus::None);
  EXPECT_EQ(empty.moduleCount(), 0u);
}

TEST_F(PatchTest, LongWordsAndNamesAreCut) {
  const std::string longName = "VCO_" + std::string(120, 'N');
  // A word keeps its first 7999 characters and loses the rest. In VCA_1 the
  // 8000th character is the ";" that would end "DECAY=12"; in VCA_2 the
  // 7999th is.
  const std::string head = ";ATTACK=3;";
  const std::string cutBefore = "VCA_1" + head + std::string(7999 - 15 - 9, 'y') + ";DECAY=12" + ";RELEASE=9;";
  const std::string cutAfter = "VCA_2" + head + std::string(7999 - 15 - 10, 'y') + ";DECAY=12;" + "RELEASE=9;";
  auto g = load(longName + ";FREQ=330;\n" + cutBefore + "\n" + cutAfter + "\nVCO_2;FREQ=1;\n");
  ASSERT_EQ(g->oscillators.size(), 2u);
  const VCO* named = g->oscillators[1];
  EXPECT_EQ(std::strlen(named->name), 79u);
  EXPECT_EQ(g->findOscillator(longName.substr(0, 79).c_str()), named);
  EXPECT_FLOAT_EQ(named->frequency, 330.0f);
  for (const char* name : {"VCA_1", "VCA_2"}) {
    const VCA* a = g->findAmplifier(name);
    ASSERT_NE(a, nullptr) << name;
    EXPECT_FLOAT_EQ(a->attackTime, 3.0f) << name;
    EXPECT_FLOAT_EQ(a->releaseTime, 1000.0f) << name;
  }
  EXPECT_FLOAT_EQ(g->findAmplifier("VCA_1")->decayTime, 1000.0f);
  EXPECT_FLOAT_EQ(g->findAmplifier("VCA_2")->decayTime, 12.0f);
  EXPECT_NE(g->findOscillator("VCO_2"), nullptr);  // the next word is whole
}

TEST_F(PatchTest, ListsHoldTheReverseOrderAndLookupsFindTheLastDeclared) {
  auto g = load("VCO_1;FREQ=100;\nVCO_1;FREQ=200;\nVCO_2;FREQ=300;\nKEY_1;;\nKEY_2;;\n");
  ASSERT_EQ(g->oscillators.size(), 3u);
  EXPECT_FLOAT_EQ(g->oscillators[0]->frequency, 300.0f);
  EXPECT_FLOAT_EQ(g->oscillators[2]->frequency, 100.0f);
  EXPECT_FLOAT_EQ(g->findOscillator("VCO_1")->frequency, 200.0f);
  EXPECT_EQ(g->findOscillator("vco_1"), nullptr);
  EXPECT_STREQ(g->keyboards[0]->name, "KEY_2");
  EXPECT_EQ(g->findKeyboard("KEY_9"), nullptr);  // two keyboards: exact names only
}

// The writer's output for one module of each kind but the sequencer.
const char* const kWorkedExample =
    "BEGIN_OBJECTS_DECLARE\n"
    "\n"
    "VCO_1;TYPE=1;FREQ=110.000000;AMOUNT=1.00;PHASE=90;\n"
    "VCA_1;BYPASS=0;ATTACK=10.000000;DECAY=200.000000;SUSTAIN=1.000000;RELEASE=300.000000;INVERT=0;\n"
    "MIXER_4;;\n"
    "PCF_1;HICUT=1200;Q=1.000000;GAIN=1.000000;TYPE=1;BYPASS=0;\n"
    "KEY_1;;\n"
    "SAMPLER_1;FILE=Sounds/kick.wav;\n"
    "END_OBJECTS_DECLARE\n"
    "\n";

TEST_F(PatchTest, WriterReproducesTheWorkedExampleByteForByte) {
  auto g = load(kWorkedExample);
  ASSERT_EQ(g->loadStatus, GENERATOR::LoadStatus::Loaded);
  EXPECT_FLOAT_EQ(g->filters[0]->level, 0.0f);  // 'GAIN=1.000000' reads as 1, over 10
  EXPECT_EQ(written(*g), kWorkedExample);

  // Settings made in memory come out in the line formats.
  g->oscillators[0]->phaseOffset = 359.9f;
  g->oscillators[0]->amplitude = 0.125f;
  g->oscillators[0]->waveType = 6;
  g->oscillators[0]->frequency = 27.5f;
  EXPECT_THAT(written(*g), HasSubstr("\nVCO_1;TYPE=6;FREQ=27.500000;AMOUNT=0.12;PHASE=359;\n"));
}

TEST_F(PatchTest, WriteReadRoundTripKeepsWhatTheReaderTakesAsWritten) {
  auto g = load(
      "VCO_1;TYPE=3;FREQ=82.5;AMOUNT=0.75;PHASE=45;\nVCO_2;TYPE=5;FREQ=3000;PHASE=0;\n"
      "VCA_1;ATTACK=5;DECAY=250;SUSTAIN=0;RELEASE=40;INVERT=1;\n"
      "PCF_1;HICUT=900;Q=4.5;GAIN=20;TYPE=7;BYPASS=0;\nKEY_1;;\nMIXER_4;;\nSAMPLER_1;FILE=Sounds/kick.wav;\n");
  SEQUENCER* seq = new SEQUENCER;
  seq->setName("SEQUENCER_1");
  seq->divider = 3.5f;
  seq->stepCount = 16;
  for (int r = 0; r < 2; ++r)
    for (int s = 0; s < 32; ++s) {
      seq->stepOctave[r][s] = (r * 32 + s) % 8;
      seq->stepNote[r][s] = (s * 5) % 12;
      seq->stepVolume[r][s] = (s % 3 == 0) ? 0.5f : 1.0f;
      seq->stepLength[r][s] = 0.125f * (1 + s % 8);
      seq->stepBypass[r][s] = (s % 5 == 0);
    }
  seq->stepOctave[2][0] = 7;  // row 2 is not written
  g->sequencers.push_back(seq);

  const std::string first = written(*g);
  const size_t at = first.find("SEQUENCER_1;*DIVIDER=3.500000;NBR_STEP=16;NOTE_000_000=00;");
  ASSERT_NE(at, std::string::npos);
  const std::string seqLine = first.substr(at, first.find('\n', at) - at);
  EXPECT_EQ(std::count(seqLine.begin(), seqLine.end(), ';'), 3 + 256);
  EXPECT_THAT(seqLine, HasSubstr("NOTE_001_031=" + std::to_string(((63) % 8) * 12 + (31 * 5) % 12) + ";"));
  EXPECT_THAT(seqLine, HasSubstr(";VOLUME_000_003=0.500;VOLUME_000_004=1.000;"));
  EXPECT_THAT(seqLine, HasSubstr(";VOLUME_001_031=1.000;LENGHT_000_000=0.125;"));
  EXPECT_THAT(seqLine, HasSubstr(";LENGHT_000_007=1.000;"));
  EXPECT_THAT(seqLine, HasSubstr(";BYPASS_001_030=1;BYPASS_001_031=0;"));
  EXPECT_THAT(seqLine, Not(HasSubstr("_002_")));
  EXPECT_THAT(seqLine, Not(HasSubstr("_032=")));

  // Reading reverses each list; reading and writing again restores it.
  auto back = load(first);
  ASSERT_EQ(back->loadStatus, GENERATOR::LoadStatus::Loaded);
  const std::string second = written(*back);
  EXPECT_LT(first.find("VCO_2;"), first.find("VCO_1;"));
  EXPECT_LT(second.find("VCO_1;"), second.find("VCO_2;"));
  auto again = load(second);
  EXPECT_EQ(written(*again), first);

  const SEQUENCER* read = back->findSequencer("SEQUENCER_1");
  ASSERT_NE(read, nullptr);
  EXPECT_FLOAT_EQ(read->divider, 3.5f);
  EXPECT_EQ(read->stepCount, 16);
  for (int r = 0; r < 2; ++r)
    for (int s = 0; s < 32; ++s) {
      EXPECT_EQ(read->stepOctave[r][s], seq->stepOctave[r][s]) << r << "," << s;
      EXPECT_EQ(read->stepNote[r][s], seq->stepNote[r][s]) << r << "," << s;
      EXPECT_FLOAT_EQ(read->stepVolume[r][s], seq->stepVolume[r][s]) << r << "," << s;
      EXPECT_FLOAT_EQ(read->stepLength[r][s], seq->stepLength[r][s]) << r << "," << s;
      EXPECT_EQ(read->stepBypass[r][s], seq->stepBypass[r][s]) << r << "," << s;
    }
  EXPECT_EQ(read->stepOctave[2][0], 3);
  const PCF* f = back->findFilter("PCF_1");
  EXPECT_EQ(f->filterType, 7);
  EXPECT_FLOAT_EQ(f->gainDb, 20.0f);
  EXPECT_FLOAT_EQ(f->q, 4.5f);
  const VCA* a = back->findAmplifier("VCA_1");
  EXPECT_FLOAT_EQ(a->decayTime, 250.0f);
  EXPECT_EQ(a->invert, 1);
  EXPECT_FLOAT_EQ(back->findOscillator("VCO_1")->amplitude, 0.75f);
  EXPECT_EQ(back->findOscillator("VCO_2")->waveType, 5);
}

}  // namespace
