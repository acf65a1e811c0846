// The links section: which inputs each statement binds, from which sources,
// and what the reader reports.

#include "patch/patch.h"
#include "patch_test_util.h"

namespace {

const char* const kModules =
    "BEGIN_OBJECTS_DECLARE\n"
    "KEY_1;;\nVCO_1;FREQ=44;\nVCO_2;FREQ=44;\nVCA_1;ATTACK=1;\nVCA_2;ATTACK=1;\nPCF_1;BYPASS=0;\n"
    "SAMPLER_1;FILE=Sounds/kick.wav;\nSEQUENCER_1;NBR_STEP=4;\nMIXER_4;;\nMIXER_2;;\nVCO_VCA;FREQ=1;\n"
    "END_OBJECTS_DECLARE\n";

const Shared<float>* valueOf(const OUTPUT* m) { return &m->value; }
const Shared<float>* modSource(const Shared<INPUT*>& slot) {
  const INPUT* in = slot;
  return in != nullptr ? in->source.load() : nullptr;
}

TEST_F(PatchTest, LinksBindEachInputFromTheSourcesItsTargetAccepts) {
  std::string console;
  auto g = load(std::string(kModules) +
                    "BEGIN_LINKS_DECLARE\n"
                    "VCO_1;IN=KEY_9;GATE=KEY_1;SYNC=KEY_1;\n"  // the only keyboard, whatever the name
                    "VCO_2;IN=SEQUENCER_1;MOD_FREQ=VCO_1;MOD_AMP=SAMPLER_1;MOD_PWM=VCA_1;MOD_PHASE=PCF_1;\n"
                    "VCA_1;IN=VCO_2;GATE=SEQUENCER_1;\n"
                    "VCA_2;IN=VCA_1;GATE=PCF_1;\n"  // sources of kinds not accepted: nothing
                    "PCF_1;IN=VCA_1;MOD_FREQ=VCO_2;SYNC=KEY_1;GATE=KEY_1;\n"
                    "SAMPLER_1;GATE=SEQUENCER_1;IN=KEY_1;MOD_FREQ=VCA_1;MOD_AMP=VCO_1;\n"
                    "SEQUENCER_1;SYNC=KEY_1;\n"
                    "#MIXER_4;ADD_CHANELL=VCO_1;\n"
                    "MIXER_4;ADD_CHANELL=PCF_1;ADD_CHANELL=VCO_VCA;ADD_CHANELL=MIXER_2;IN=VCO_2;\n"
                    "OUTPUT_1;MIXER_4;\n"
                    "END_LINKS_DECLARE\n"
                    "VCA_2;IN=VCO_1;\n",  // after the end marker: not read
                &console);
  ASSERT_EQ(g->loadStatus, GENERATOR::LoadStatus::Loaded) << console;
  KEYBOARD* key = g->findKeyboard("KEY_1");
  SEQUENCER* seq = g->findSequencer("SEQUENCER_1");
  VCO* vco1 = g->findOscillator("VCO_1");
  VCO* vco2 = g->findOscillator("VCO_2");
  VCA* vca1 = g->findAmplifier("VCA_1");
  VCA* vca2 = g->findAmplifier("VCA_2");
  PCF* pcf = g->findFilter("PCF_1");
  SAMPLER* smp = g->findSampler("SAMPLER_1");
  MIXER* mix = g->findMixer("MIXER_4");

  EXPECT_EQ(vco1->INPUT::source.load(), valueOf(key));
  EXPECT_EQ(vco1->gateSource.load(), &key->gate);
  EXPECT_EQ(vco1->syncSource.load(), &key->fired);

  EXPECT_EQ(vco2->INPUT::source.load(), valueOf(seq));
  EXPECT_EQ(modSource(vco2->modFreq), valueOf(vco1));
  EXPECT_EQ(modSource(vco2->modAmp), valueOf(smp));
  EXPECT_EQ(modSource(vco2->modPwm), valueOf(vca1));
  EXPECT_EQ(vco2->modPhase.load(), nullptr);

  EXPECT_EQ(vca1->INPUT::source.load(), valueOf(vco2));
  EXPECT_EQ(vca1->gateSource.load(), &seq->gate);
  EXPECT_EQ(vca2->INPUT::source.load(), nullptr);
  EXPECT_EQ(vca2->gateSource.load(), nullptr);

  EXPECT_EQ(pcf->INPUT::source.load(), valueOf(vca1));
  EXPECT_EQ(modSource(pcf->modFreq), valueOf(vco2));
  EXPECT_EQ(pcf->syncSource.load(), &key->fired);
  EXPECT_EQ(pcf->gateSource.load(), &key->gate);

  EXPECT_EQ(smp->gateSource.load(), &seq->gate);
  EXPECT_EQ(smp->INPUT::source.load(), valueOf(key));
  EXPECT_EQ(smp->modFreq.load(), nullptr);  // amplifiers do not modulate samplers
  EXPECT_EQ(modSource(smp->modAmp), valueOf(vco1));

  EXPECT_EQ(seq->syncSource.load(), &key->fired);

  // VCO_VCA names an oscillator and an amplifier: each adds its own channel.
  // "IN" is not a mixer key, although the parameter holds the word.
  ASSERT_EQ(mix->channelCount, 4);
  EXPECT_EQ(mix->channelInput[0].source.load(), valueOf(pcf));
  EXPECT_EQ(mix->channelInput[1].source.load(), valueOf(g->findOscillator("VCO_VCA")));
  EXPECT_EQ(mix->channelInput[2].source.load(), valueOf(g->findAmplifier("VCO_VCA")));
  EXPECT_EQ(mix->channelInput[3].source.load(), valueOf(g->findMixer("MIXER_2")));
  EXPECT_EQ(console.find("Ligne"), std::string::npos) << console;
  EXPECT_STREQ(g->patchPath, (dir_ / "test.mvl").c_str());
}

TEST_F(PatchTest, LinksPassSkipsTheObjectsSectionAndCountsWordsAfresh) {
  std::string console;
  // In the objects section, "VCA_1;IN=VCO_1;" only creates an amplifier.
  auto g = load(
      "VCO_1;FREQ=1;\nVCA_1;IN=VCO_1;\nMIXER_4;;\nEND_OBJECTS_DECLARE\n"
      "BEGIN_LINKS_DECLARE\nMIXER_4;\nVCA_1;IN=VCO_1;;\nMIXER_4;ADD_CHANELL=VCA_1;\n",
      &console);
  EXPECT_EQ(console,
            "Ligne 6 semble avoir moins de 2 parametres\n"
            "Erreur, au niveau des parametre ligne [7]\n");
  EXPECT_EQ(g->loadStatus, GENERATOR::LoadStatus::Broken);
  EXPECT_EQ(g->findAmplifier("VCA_1")->INPUT::source.load(), &g->findOscillator("VCO_1")->value);
  EXPECT_EQ(g->findMixer("MIXER_4")->channelCount, 0);  // reading stopped at the error
}

TEST_F(PatchTest, LinksToMissingModules) {
  std::string console;
  auto g = load("VCO_1;FREQ=1;\nEND_OBJECTS_DECLARE\nBEGIN_LINKS_DECLARE\nVCO_7;IN=KEY_1;\nMIXER_4;ADD_CHANELL=VCO_1;\n", &console);
  EXPECT_EQ(console, "Cannot Found VCO [VCO_7]\n");
  EXPECT_EQ(g->loadStatus, GENERATOR::LoadStatus::Broken);

  GENERATOR direct;
  ::testing::internal::CaptureStdout();
  ASSERT_EQ(direct.loadObjects(writePatch("VCO_1;FREQ=1;\n").c_str()), 1);
  EXPECT_EQ(direct.loadLinks(writePatch("BEGIN_LINKS_DECLARE VCO_2;IN=KEY_1;\n", "b.mvl").c_str()), 0);
  EXPECT_EQ(::testing::internal::GetCapturedStdout(), "Cannot Found VCO [VCO_2]\n");

  // Other missing targets and sources bind nothing, and say nothing.
  auto quiet = load(
      "VCO_1;FREQ=1;\nVCA_1;ATTACK=1;\nMIXER_4;;\nEND_OBJECTS_DECLARE BEGIN_LINKS_DECLARE\n"
      "PCF_9;IN=VCO_1;\nMIXER_9;ADD_CHANELL=VCO_1;\nSAMPLER_9;GATE=KEY_1;\nSEQUENCER_9;SYNC=KEY_1;\n"
      "VCA_1;IN=VCO_9;GATE=KEY_1;\nMIXER_4;ADD_CHANELL=PCF_3;ADD_CHANELL=VCO_1;\nVCO_1;IN=KEY_1;\nEND_LINKS_DECLARE\n",
      &console);
  EXPECT_EQ(quiet->loadStatus, GENERATOR::LoadStatus::Loaded);
  EXPECT_EQ(console, "");
  EXPECT_EQ(quiet->findAmplifier("VCA_1")->INPUT::source.load(), nullptr);
  EXPECT_EQ(quiet->findAmplifier("VCA_1")->gateSource.load(), nullptr);
  EXPECT_EQ(quiet->findMixer("MIXER_4")->channelCount, 1);
  EXPECT_EQ(quiet->findOscillator("VCO_1")->INPUT::source.load(), nullptr);
}

}  // namespace
