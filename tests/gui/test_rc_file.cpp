// RC layout files: the reader's token rules and the writer's exact formats.

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cmath>
#include <cstdlib>
#include <string>

#include "gui/fixtures.h"
#include "gui/gui.h"

namespace {

// One line of each kind, exactly as the writer puts them.
const std::string kLayout =
    "SPRITE\tIMAGE_FOND\tPANEL_BG\t0\t0\t0\t0\t0\t0\t1.000000\t0\t255\r\n"
    "BUTTON\tB_ON\tBTN_ON\t0\tBTN_OFF\t100\t40\t1\t255\t0\t1.000000\t0\r\n"
    "SLIDER\tFREQUENCE\tKNOB\t200\t40\t0\t0\t1\t0.500000\t45\r\n"
    "LABEL\tTITLE\tOSCILLATOR\t10\t12\t7\t6\t16777215\t\r\n"
    "SPRITE\tLAMP\tLAMP_ON\tLAMP_MASK\t40\t40\t0\t0\t0\t2.000000\t-90\t128\r\n";

template <typename T>
T* childNamed(OBJET& panel, const char* item) {
  return dynamic_cast<T*>(panel.childByName(item));
}

}  // namespace

TEST(RcFile, ReadsEveryRecordKind) {
  TempDir dir;
  writeFile(dir / "A.RC", kLayout);
  OBJET panel(0, 0, "1");
  ASSERT_EQ(panel.load((dir / "A.RC").c_str()), 1);
  EXPECT_EQ(std::string(panel.rcPath), dir / "A.RC");
  ASSERT_EQ(panel.mainList.size(), 5u);
  // Each record goes to the front: the list is in reverse file order.
  EXPECT_STREQ(panel.mainList.front()->name, "1_LAMP");
  EXPECT_STREQ(panel.mainList.back()->name, "1_IMAGE_FOND");

  auto* b = childNamed<BUTTON>(panel, "B_ON");
  ASSERT_NE(b, nullptr);
  EXPECT_STREQ(b->imageOn, "BTN_ON");
  EXPECT_STREQ(b->imageTouch, "0");
  EXPECT_STREQ(b->image, "BTN_OFF");
  EXPECT_STREQ(b->mask, "BTN_MASK");
  EXPECT_FLOAT_EQ(b->x, 100);
  EXPECT_EQ(b->colorKeyOn, 1);
  EXPECT_EQ(b->colorKey, 255);

  auto* k = childNamed<SLIDER>(panel, "FREQUENCE");
  ASSERT_NE(k, nullptr);
  EXPECT_EQ(k->blend, 1);
  EXPECT_FLOAT_EQ(k->zoom, 0.5f);
  EXPECT_EQ(k->angle, 45);

  auto* l = childNamed<LABEL>(panel, "TITLE");
  ASSERT_NE(l, nullptr);
  EXPECT_STREQ(l->text, "OSCILLATOR");
  EXPECT_FLOAT_EQ(l->y, 12);  // set again after the constructor's 747 - y
  EXPECT_EQ(l->labelNumber, 7);
  EXPECT_EQ(l->fontSize, 6);
  EXPECT_EQ(l->color, 0xFFFFFF);

  SPRITE* lamp = panel.childByName("LAMP");
  ASSERT_NE(lamp, nullptr);
  EXPECT_STREQ(lamp->mask, "LAMP_MASK");
  EXPECT_EQ(lamp->alpha, 128);
  EXPECT_EQ(lamp->angle, -90);
  EXPECT_STREQ(panel.childByName("IMAGE_FOND")->mask, "");
}

TEST(RcFile, SpritePositionsTakeThePanelPositionAtReadingTime) {
  TempDir dir;
  writeFile(dir / "A.RC", kLayout);
  OBJET panel(30, 20, "1");
  panel.load((dir / "A.RC").c_str());
  EXPECT_FLOAT_EQ(panel.childByName("LAMP")->x, 70);
  EXPECT_FLOAT_EQ(panel.childByName("LAMP")->y, 60);
  EXPECT_FLOAT_EQ(panel.childByName("B_ON")->x, 100);
}

TEST(RcFile, WriterFormatsAndRoundTrip) {
  TempDir dir;
  writeFile(dir / "A.RC", kLayout);
  OBJET panel(0, 0, "1");
  panel.load((dir / "A.RC").c_str());
  ASSERT_EQ(panel.save((dir / "B.RC").c_str()), 1);
  EXPECT_EQ(readFile(dir / "B.RC"), kLayout);
  EXPECT_EQ(directoryEntries(dir.path()), (std::vector<std::string>{"A.RC", "B.RC"}));

  // Read back into a second panel: the same children again.
  OBJET again(0, 0, "1");
  again.load((dir / "B.RC").c_str());
  ASSERT_EQ(again.mainList.size(), panel.mainList.size());
  for (std::size_t i = 0; i < panel.mainList.size(); ++i) {
    EXPECT_STREQ(again.mainList[i]->name, panel.mainList[i]->name);
    EXPECT_STREQ(again.mainList[i]->image, panel.mainList[i]->image);
    EXPECT_FLOAT_EQ(again.mainList[i]->x, panel.mainList[i]->x);
  }

  // Positions are written as their integer parts; zooms with six decimals.
  SPRITE* lamp = panel.childByName("LAMP");
  lamp->setPosition(8.9f, 4.2f, 0);
  lamp->zoom = 1.25f;
  panel.save((dir / "C.RC").c_str());
  std::string expected = kLayout;
  const std::string before = "LAMP_MASK\t40\t40";
  expected.replace(expected.find(before), before.size(), "LAMP_MASK\t8\t4");
  expected.replace(expected.find("2.000000\t-90"), 8, "1.250000");
  EXPECT_EQ(readFile(dir / "C.RC"), expected);
}

TEST(RcFile, MissingFieldsAndStrayWords) {
  TempDir dir;
  // A sprite line that stops after its angle (alpha 255), a stray word, a
  // label without its numbers (0), a mask "0" (no mask), a trailing line
  // break, and a slider whose zoom is out of range.
  writeFile(dir / "A.RC",
            "SPRITE\tA\tIMG_A\tMASK_A\t1\t2\t0\t0\t0\t1.0\t5\t77\r\n"
            "junk 12 more\r\n"
            "SLIDER K KNOB 3 4 0 0 0 150.0 9\n"
            "LABEL T HELLO 5 6\n"
            "SPRITE B IMG_B 0 7 8 0 0 0 1.0 3\n");
  OBJET panel(0, 0, "1");
  panel.load((dir / "A.RC").c_str());
  ASSERT_EQ(panel.mainList.size(), 4u);
  SPRITE* b = panel.childByName("B");
  ASSERT_NE(b, nullptr);
  EXPECT_EQ(b->alpha, 255);
  EXPECT_STREQ(b->mask, "");
  EXPECT_EQ(b->angle, 3);
  EXPECT_FLOAT_EQ(panel.childByName("K")->zoom, 1.0f);
  auto* t = dynamic_cast<LABEL*>(panel.childByName("T"));
  ASSERT_NE(t, nullptr);
  EXPECT_EQ(t->labelNumber, 0);
  EXPECT_EQ(t->fontSize, 0);
  EXPECT_EQ(t->color, 0);

  // A button whose fields stop early keeps the previous record's values.
  writeFile(dir / "B.RC",
            "BUTTON P ON_1 0 OFF_1 10 20 1 2 3 0.5 4\r\n"
            "BUTTON Q ON_2 TOUCH_2 OFF_2 30\r\n");
  OBJET second(0, 0, "1");
  second.load((dir / "B.RC").c_str());
  auto* q = dynamic_cast<BUTTON*>(second.childByName("Q"));
  ASSERT_NE(q, nullptr);
  EXPECT_FLOAT_EQ(q->x, 30);
  EXPECT_FLOAT_EQ(q->y, 20);
  EXPECT_EQ(q->blend, 3);
  EXPECT_FLOAT_EQ(q->zoom, 0.5f);
  EXPECT_EQ(q->angle, 4);
}

// Hostile numbers are held to sane ranges when read; zero bytes and records
// cut short never make a save whose fields read back shifted.
TEST(RcFile, HostileFilesLoadSaveAndLoadAgainUnchanged) {
  TempDir dir;
  const std::string nul(1, '\0');
  const struct {
    const char* name;
    std::string text;
  } files[] = {
      {"numbers", "SPRITE S IMG M 2147483647 -2147483648 99999999999 -99999999999 1 nan 2147483648 -7\n"
                  "BUTTON B ON 0 OFF -2147483648 2147483647 1 16777216 0 1e30 -99999999999\n"
                  "LABEL L TEXT 2147483647 5 2147483647 2147483647 -2147483648\n"
                  "SLIDER K KNOB 1 2 0 0 0 -inf 5\n"},
      {"zero bytes", "SPRITE S IMG" + nul + "X M" + nul + " 1 2 0 0 0 1.0 0 255\nLABEL " + nul + " T 3 4 0 6 0\n"},
      {"cut short", "LABEL L"},
      {"cut button", "BUTTON B ON"},
  };
  for (const auto& f : files) {
    writeFile(dir / "A.RC", f.text);
    OBJET first(0, 0, "1");
    first.load((dir / "A.RC").c_str());
    ASSERT_FALSE(first.mainList.empty()) << f.name;
    for (SPRITE* c : first.mainList) {
      EXPECT_LE(std::abs(c->x), 1000000.0f) << f.name;
      EXPECT_LE(std::abs(c->y), 1000000.0f) << f.name;
      EXPECT_TRUE(std::isfinite(c->zoom) && std::abs(c->zoom) <= 100.0f) << f.name;
      EXPECT_TRUE(c->alpha >= 0 && c->alpha <= 255) << f.name;
      EXPECT_LE(std::abs(c->angle), 0xFFFFFF) << f.name;
    }
    ASSERT_EQ(first.save((dir / "B.RC").c_str()), 1) << f.name;
    OBJET second(0, 0, "1");
    second.load((dir / "B.RC").c_str());
    ASSERT_EQ(second.save((dir / "C.RC").c_str()), 1);
    // The first save is already what every later one writes.
    EXPECT_EQ(readFile(dir / "C.RC"), readFile(dir / "B.RC")) << f.name;
    ASSERT_EQ(second.mainList.size(), first.mainList.size()) << f.name;
    for (std::size_t i = 0; i < first.mainList.size(); ++i) {
      const SPRITE* a = first.mainList[i];
      const SPRITE* b = second.mainList[i];
      EXPECT_EQ(a->x, b->x) << f.name;
      EXPECT_EQ(a->y, b->y) << f.name;
      EXPECT_EQ(a->zoom, b->zoom) << f.name;
      EXPECT_EQ(a->colorKey, b->colorKey) << f.name;
    }
  }
}

TEST(RcFile, LongTokensAreCutAndReadingGoesOn) {
  TempDir dir;
  const std::string item(100, 'I'), image(90, 'G');
  writeFile(dir / "A.RC", "SPRITE " + item + " " + image + " 0 11 12 0 0 0 1.0 0 255\n"
                          "LABEL T " + std::string(300, 'x') + " 1 2 0 6 0\n");
  OBJET panel(0, 0, "1");
  panel.load((dir / "A.RC").c_str());
  ASSERT_EQ(panel.mainList.size(), 2u);
  SPRITE* s = panel.mainList.back();
  EXPECT_EQ(std::string(s->image), image.substr(0, 79));
  EXPECT_EQ(std::string(s->name), ("1_" + item).substr(0, 79));
  EXPECT_FLOAT_EQ(s->x, 11);
  EXPECT_FLOAT_EQ(s->y, 12);
  auto* t = dynamic_cast<LABEL*>(panel.mainList.front());
  ASSERT_NE(t, nullptr);
  EXPECT_EQ(std::string(t->text), std::string(79, 'x'));
  EXPECT_EQ(t->fontSize, 6);
}

TEST(RcFile, ItemNamesLoseThePanelPrefix) {
  TempDir dir;
  struct Case {
    const char* panelName;
    const char* childName;
    const char* written;
  } cases[] = {{"1", "1_B_ON", "B_ON"}, {"12", "12_KNOB", "KNOB"}, {"123", "123_X", "X"}};
  for (const Case& c : cases) {
    OBJET panel(0, 0, c.panelName);
    auto* b = new BUTTON(c.childName, "ON", "0", "OFF", nullptr);
    b->setPosition(1, 2, 0);
    panel.mainList = {b};
    panel.save((dir / "P.RC").c_str());
    EXPECT_EQ(readFile(dir / "P.RC"),
              std::string("BUTTON\t") + c.written + "\tON\t0\tOFF\t1\t2\t0\t0\t0\t1.000000\t0\r\n");
  }
}

TEST(RcFile, FailuresLeaveFilesAlone) {
  TempDir dir;
  testing::internal::CaptureStdout();
  OBJET panel(0, 0, "1");
  EXPECT_EQ(panel.load((dir / "NONE.RC").c_str()), -1);
  EXPECT_EQ(testing::internal::GetCapturedStdout(),
            "Failing to Load RC[" + (dir / "NONE.RC") + "] (cause Fopen())\n");
  EXPECT_EQ(std::string(panel.rcPath), dir / "NONE.RC");
  EXPECT_TRUE(panel.mainList.empty());

  // A file that cannot be created: a message, nothing written.
  auto* s = new SPRITE("IMG", 0, 0, 0, 0, 0, 1, 0, 0);
  s->setName("1_S");
  panel.mainList = {s};
  testing::internal::CaptureStdout();
  EXPECT_EQ(panel.save((dir / "missing/P.RC").c_str()), -1);
  EXPECT_NE(testing::internal::GetCapturedStdout().find("P.RC"), std::string::npos);
  EXPECT_FALSE(fileExists(dir / "missing"));

  // A save replaces the old file whole and keeps its permissions.
  writeFile(dir / "OLD.RC", "old contents");
  ::chmod((dir / "OLD.RC").c_str(), 0640);
  ASSERT_EQ(panel.save((dir / "OLD.RC").c_str()), 1);
  EXPECT_EQ(readFile(dir / "OLD.RC"), "SPRITE\tS\tIMG\t0\t0\t0\t0\t0\t0\t1.000000\t0\t0\r\n");
  struct stat st;
  ASSERT_EQ(::stat((dir / "OLD.RC").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0640u);
}

TEST(RcFileDeathTest, AFirstChildWithoutPrefixStopsTheSaveBeforeAnyWrite) {
  TempDir dir;
  writeFile(dir / "P.RC", "keep me");
  EXPECT_EXIT(
      {
        OBJET panel(0, 0, "1");
        auto* s = new SPRITE("IMG", 0, 0, 0, 0, 0, 1, 0, 0);
        s->setName("ABCDE_S");
        panel.mainList = {s};
        panel.save((dir / "P.RC").c_str());
      },
      testing::ExitedWithCode(1), "");
  EXPECT_EQ(readFile(dir / "P.RC"), "keep me");
}
