// Patch cords: end points from panels and jacks, and the plug pictures.

#include <gtest/gtest.h>

#include "gui/gui.h"

namespace {

// A panel at (px, py) with a 16 x 16 jack at (jx, jy) inside it.
struct Jacked {
  OBJET panel;
  SPRITE jack;
  Jacked(int px, int py, int jx, int jy) : panel(px, py, "7"), jack("JACK", jx, jy, 0, 0, 0, 1.0f, 0, 0) {
    jack.w = 16;
    jack.h = 16;
  }
};

}  // namespace

TEST(Cable, EndsSitOnJackCentresAndAFreeEndHangs) {
  Jacked in(80, 180, 12, 12), out(280, 80, 12, 12);
  CABLE both(&in.panel, &out.panel, &in.jack, &out.jack, 0xFFFFFF);
  EXPECT_EQ(both.x1, 100);
  EXPECT_EQ(both.y1, 200);
  EXPECT_EQ(both.x2, 300);
  EXPECT_EQ(both.y2, 100);
  CABLE::Point p[3];
  both.controlPoints(p);
  EXPECT_EQ(p[1].x, 200);
  EXPECT_EQ(p[1].y, 300);  // the sum of the heights: the cord sags

  // Started from an output plug: both ends at that jack until dragged.
  CABLE fresh(nullptr, &out.panel, nullptr, &out.jack, 0xFF00FF);
  EXPECT_EQ(fresh.x1, 300);
  EXPECT_EQ(fresh.y2, 100);
  // Only an input end: the free end hangs 40 right and below.
  CABLE hanging(&in.panel, nullptr, &in.jack, nullptr, 0xFF0000);
  EXPECT_EQ(hanging.x2, 140);
  EXPECT_EQ(hanging.y2, 240);
  EXPECT_EQ(hanging.cableColor, 0xFF0000);
}

TEST(Cable, PlugPicturesToggleAndForce) {
  Jacked a(0, 0, 0, 0);
  CABLE c(&a.panel, &a.panel, &a.jack, &a.jack, 0);
  EXPECT_STREQ(c.endPlug.image, "FICHE_PLUG");
  c.setEndPlug(0, 0);
  EXPECT_STREQ(c.endPlug.image, "FICHE_UNPLUG");
  EXPECT_STREQ(c.endPlug.mask, "FICHE_UNPLUG_MASK");
  c.setEndPlug(0, 0);
  EXPECT_STREQ(c.endPlug.image, "FICHE_PLUG");
  c.setStartPlug(1, 1);  // unplugging wins
  EXPECT_STREQ(c.startPlug.image, "FICHE_UNPLUG");
  c.setStartPlug(1, 0);
  EXPECT_STREQ(c.startPlug.image, "FICHE_PLUG");
  EXPECT_STREQ(c.startPlug.mask, "FICHE_PLUG_MASK");
}
