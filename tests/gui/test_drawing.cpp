// Drawing checked on real pixels: startVideo opens an OpenGL window (under
// Xvfb in the test runs) from a small archive and splash written here, the
// tests draw into the back buffer and read it back.

#include <gtest/gtest.h>

#include <GL/gl.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "gui/fixtures.h"
#include "gui/gui.h"

namespace {

constexpr int kWidth = 1024, kHeight = 768;

class Drawing : public testing::Test {
 public:
  static void SetUpTestSuite() {
    dir_ = new TempDir();
    const TempDir& d = *dir_;
    saveBmp(solidSurface(64, 48, 0x336699), d / "Zod_Engine/SnapShot.bmp");
    saveBmp(solidSurface(20, 10, 0xFF0000), d / "grfx/red.bmp");
    saveBmp(solidSurface(100, 100, 0x808080), d / "grfx/grey.bmp");
    // The shape: a yellow 20 x 20 square, black around it; its mask is the
    // opposite (black inside, white outside).
    SDL_Surface* shape = solidSurface(100, 100, 0x000000);
    SDL_Surface* mask = solidSurface(100, 100, 0xFFFFFF);
    for (int y = 40; y < 60; ++y) {
      for (int x = 40; x < 60; ++x) {
        setPixel(shape, x, y, 0xFFFF00);
        setPixel(mask, x, y, 0x000000);
      }
    }
    saveBmp(shape, d / "grfx/shape.bmp");
    saveBmp(mask, d / "grfx/shape_mask.bmp");
    // A sheet of two 64 x 64 quadrant tiles, 4 pixels apart.
    SDL_Surface* sheet = solidSurface(132, 64, 0);
    SDL_Surface* q = quadrantSurface(64, 24, false);
    SDL_Rect at{68, 0, 64, 64};
    SDL_BlitSurface(q, nullptr, sheet, nullptr);
    SDL_BlitSurface(q, nullptr, sheet, &at);
    SDL_FreeSurface(q);
    saveBmp(sheet, d / "grfx/quads.bmp");
    writeFile(d / "grfx/opengl.mim", "ARCHIVE 1\n"
                                     "RED grfx/red.bmp SIMPLEPART\n"
                                     "GREY grfx/grey.bmp SIMPLEPART\n"
                                     "SHAPE grfx/shape.bmp SIMPLEPART\n"
                                     "SHAPE_MASK grfx/shape_mask.bmp SIMPLEPART\n"
                                     "QS grfx/quads.bmp TILES 64 64 1 2 4 0\n"
                                     "END\n");
    // The project's label face when it is built beside the tests.
    font_ = testFontPath();
    ASSERT_EQ(chdir(d.path().c_str()), 0);
    startVideo(kWidth, kHeight, "drawing test", "grfx/opengl.mim");
  }

  static void TearDownTestSuite() {
    SDL_Quit();
    delete dir_;
  }

 protected:
  void SetUp() override {
    scrollOffset = {0, 0};
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  }

  // Reads the back buffer; pixel(x, y) then takes y from the top.
  void readBack() {
    pixels_.assign(static_cast<std::size_t>(kWidth) * kHeight * 3, 0);
    glFinish();
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, kWidth, kHeight, GL_RGB, GL_UNSIGNED_BYTE, pixels_.data());
  }
  Uint32 pixel(int x, int yFromTop) const { return pixelUp(x, kHeight - 1 - yFromTop); }
  Uint32 pixelUp(int x, int yFromBottom) const {
    const unsigned char* p = &pixels_[(static_cast<std::size_t>(yFromBottom) * kWidth + x) * 3];
    return (Uint32(p[0]) << 16) | (Uint32(p[1]) << 8) | p[2];
  }

  static void drawSprite(SPRITE& s) {
    push2D(0, 0, kWidth, kHeight);
    s.update();
    s.drawGL(nullptr);
    pop2D();
  }

  static TempDir* dir_;
  static std::string font_;
  std::vector<unsigned char> pixels_;
};

TempDir* Drawing::dir_ = nullptr;
std::string Drawing::font_;

}  // namespace

TEST_F(Drawing, StartVideoRegistersTheSplashFirstAndTheArchive) {
  ASSERT_NE(imageStore, nullptr);
  EXPECT_EQ(imageStore->indexOf("SNAPSHOT"), 0);
  EXPECT_EQ(imageStore->surfaceOf("SNAPSHOT")->w, 64);
  EXPECT_EQ(imageStore->count, 7);
  EXPECT_GE(imageStore->indexOf("QS_1"), 1);
  EXPECT_NE(textWriter, nullptr);
  EXPECT_TRUE(glReady());
}

TEST_F(Drawing, ASpriteIsDrawnItsSizeWhereItStands) {
  SPRITE red("RED", 100, 50, 0, 0, 0, 1.0f, 0, 0);
  drawSprite(red);
  readBack();
  int minX = kWidth, maxX = -1, minY = kHeight, maxY = -1;
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) {
      if (pixel(x, y) == 0xFF0000) {
        minX = std::min(minX, x);
        maxX = std::max(maxX, x);
        minY = std::min(minY, y);
        maxY = std::max(maxY, y);
      }
    }
  }
  EXPECT_EQ(maxX - minX + 1, 20);
  EXPECT_EQ(maxY - minY + 1, 10);
  EXPECT_EQ((minX + maxX + 1) / 2, 110);
  EXPECT_EQ((minY + maxY + 1) / 2, 55);

  // The scroll offset moves every quad; zoom scales about the centre.
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  scrollOffset = {30, 20};
  red.zoom = 2;
  drawSprite(red);
  readBack();
  EXPECT_EQ(pixel(110 - 30 - 19, 55 - 20 - 9), 0xFF0000u);
  EXPECT_EQ(pixel(110 - 30 + 18, 55 - 20 + 8), 0xFF0000u);
  EXPECT_EQ(pixel(110 - 30 - 21, 55 - 20), 0u);
  EXPECT_EQ(pixel(110 - 30, 55 - 20 - 11), 0u);
}

TEST_F(Drawing, TexturesShowTheirTrueColoursWhateverTheSurfaceFormat) {
  struct Format {
    const char* name;
    int bits;
    bool redFirst;
  } formats[] = {{"Q_BGR24", 24, false}, {"Q_RGB24", 24, true}, {"Q_ARGB32", 32, false},
                 {"Q_ABGR32", 32, true}, {"Q_PAL8", 8, false}};
  std::vector<std::string> names;
  for (const Format& f : formats) {
    imageStore->put(f.name, quadrantSurface(64, f.bits, f.redFirst), 64, 64);
    names.push_back(f.name);
  }
  names.push_back("QS_0");  // a tile, cut into a red-first surface
  names.push_back("QS_1");

  for (const std::string& n : names) {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    SPRITE q(n.c_str(), 300, 200, 0, 0, 0, 1.0f, 0, 0);
    drawSprite(q);
    q.angle = 90;  // a quarter turn clockwise, beside it
    q.setPosition(500, 200, 0);
    drawSprite(q);
    readBack();
    const int top = 200;
    EXPECT_EQ(pixel(316, top + 16), 0xFF0000u) << n;  // top-left: red
    EXPECT_EQ(pixel(348, top + 16), 0x00FF00u) << n;  // top-right: green
    EXPECT_EQ(pixel(316, top + 48), 0x0000FFu) << n;  // bottom-left: blue
    EXPECT_EQ(pixel(348, top + 48), 0xFFFFFFu) << n;  // bottom-right: white
    // Turned clockwise, red goes to the top-right and blue to the top-left.
    EXPECT_EQ(pixel(548, top + 16), 0xFF0000u) << n;
    EXPECT_EQ(pixel(516, top + 16), 0x0000FFu) << n;
    EXPECT_EQ(pixel(548, top + 48), 0x00FF00u) << n;
  }
}

TEST_F(Drawing, MasksCutTheShapeOutAndBlendMultiplies) {
  SPRITE grey("GREY", 400, 300, 0, 0, 0, 1.0f, 0, 0);
  drawSprite(grey);
  SPRITE shape("SHAPE", 400, 300, 0, 0, 0, 1.0f, 0, 0);
  std::strcpy(shape.mask, "SHAPE_MASK");
  drawSprite(shape);
  // A multiplied sprite (blend) beside it, over the grey too.
  grey.setPosition(600, 300, 0);
  drawSprite(grey);
  SPRITE red("RED", 640, 345, 0, 0, 1, 1.0f, 0, 0);
  drawSprite(red);
  readBack();
  const int y = 300;
  EXPECT_EQ(pixel(450, y + 50), 0xFFFF00u);  // inside the shape
  EXPECT_EQ(pixel(410, y + 10), 0x808080u);  // outside: the grey shows
  EXPECT_EQ(pixel(650, 345 + 5), 0x800000u);
  EXPECT_EQ(pixel(610, y + 10), 0x808080u);
  EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
  EXPECT_FALSE(glIsEnabled(GL_BLEND));
}

TEST_F(Drawing, TextLinesStepDownByTheFontHeight) {
  const std::string font = font_;
  ASSERT_FALSE(font.empty()) << "no TrueType font to print with";
  FONT f;
  f.loadFont(font.c_str(), 6);
  glColor3f(1, 1, 1);
  printText(f, 10, 100, "H\nH");
  readBack();

  // Rows (from the bottom) with lit pixels, grouped into lines.
  std::vector<int> lit;
  int minX = kWidth;
  for (int y = 0; y < 200; ++y) {
    for (int x = 0; x < 60; ++x) {
      if ((pixelUp(x, y) & 0xFF) > 30) {
        if (lit.empty() || lit.back() != y) lit.push_back(y);
        minX = std::min(minX, x);
      }
    }
  }
  ASSERT_FALSE(lit.empty());
  std::vector<int> bottoms{lit.front()};
  for (std::size_t i = 1; i < lit.size(); ++i) {
    if (lit[i] != lit[i - 1] + 1) bottoms.push_back(lit[i]);
  }
  ASSERT_EQ(bottoms.size(), 2u);
  EXPECT_NEAR(bottoms[1], 100, 1);
  EXPECT_NEAR(bottoms[1] - bottoms[0], 6 / 0.63, 1.0);
  EXPECT_GE(minX, 10);
  EXPECT_LE(minX, 12);

  // Codes above 127 have no glyph: nothing is drawn.
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  printText(f, 10, 100, "%s", "\xC3\xA9\xFF");
  readBack();
  for (int y = 80; y < 120; ++y) {
    for (int x = 0; x < 60; ++x) ASSERT_EQ(pixelUp(x, y), 0u);
  }
  f.freeFont();

  testing::internal::CaptureStdout();
  EXPECT_EQ(textWriter->writeText(displaySurface, "X", 64, 0, 0, 0xFFFFFF, 0xFF0000, 0, 1), 0);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "Size to big for font\n");
}

// Every glyph texture holds exactly FreeType's bitmap (grey in luminance and
// alpha) and zeros in its padding, narrow glyphs included, and the upload
// leaves the caller's unpack alignment as it was.
TEST_F(Drawing, GlyphTexturesReadBackAsTheirBitmaps) {
  const std::string font = testFontPath();
  ASSERT_FALSE(font.empty()) << "no TrueType font to print with";
  FT_Library library;
  ASSERT_EQ(FT_Init_FreeType(&library), 0);
  FT_Face face;
  ASSERT_EQ(FT_New_Face(library, font.c_str(), 0, &face), 0);
  int narrow = 0;
  for (unsigned size : {6u, 12u}) {
    glPixelStorei(GL_UNPACK_ALIGNMENT, 8);
    FONT f;
    f.loadFont(font.c_str(), size);
    GLint alignment = 0;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
    EXPECT_EQ(alignment, 8);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    FT_Set_Char_Size(face, size << 6, size << 6, 96, 96);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    for (int c = 0; c < 128; ++c) {
      ASSERT_EQ(FT_Load_Char(face, static_cast<FT_ULong>(c), FT_LOAD_RENDER), 0);
      const FT_Bitmap& bitmap = face->glyph->bitmap;
      glBindTexture(GL_TEXTURE_2D, f.textures[c]);
      GLint tw = 0, th = 0;
      glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &tw);
      glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &th);
      ASSERT_GE(tw, static_cast<GLint>(bitmap.width));
      ASSERT_GE(th, static_cast<GLint>(bitmap.rows));
      std::vector<GLubyte> texels(static_cast<std::size_t>(tw) * th * 4);
      glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
      narrow += bitmap.width == 1;
      int wrong = 0;
      for (int y = 0; y < th; ++y)
        for (int x = 0; x < tw; ++x) {
          const bool inside = x < static_cast<int>(bitmap.width) && y < static_cast<int>(bitmap.rows);
          const int grey = inside ? bitmap.buffer[x + bitmap.pitch * y] : 0;
          const GLubyte* t = &texels[4 * (static_cast<std::size_t>(y) * tw + x)];
          wrong += std::abs(t[0] - grey) > 1 || std::abs(t[3] - grey) > 1;
        }
      EXPECT_EQ(wrong, 0) << "glyph " << c << " at size " << size << ", " << bitmap.width << " wide";
    }
    f.freeFont();
  }
  glPixelStorei(GL_PACK_ALIGNMENT, 4);
  EXPECT_GT(narrow, 0) << "the font has no one-pixel-wide glyph to try";
  FT_Done_Face(face);
  FT_Done_FreeType(library);
}

TEST_F(Drawing, APanelDrawsItsChildrenAtItsPosition) {
  OBJET panel(200, 100, "1");
  auto* fond = new SPRITE("GREY", 0, 0, 0, 0, 0, 1, 0, 0);
  fond->setName("1_IMAGE_FOND");
  auto* red = new SPRITE("RED", 10, 20, 0, 0, 0, 1, 0, 0);
  red->setName("1_LAMP");
  // The background is the front of the list (the last RC line): drawn first.
  panel.mainList = {fond, red};
  panel.computeSize();
  EXPECT_FLOAT_EQ(panel.w, 100);

  std::vector<OBJET*> list{&panel};
  push2D(0, 0, kWidth, kHeight);
  drawPanelsInView(list, scrollOffset);
  pop2D();
  readBack();
  EXPECT_EQ(pixel(200 + 15, 100 + 20 + 5), 0xFF0000u);
  EXPECT_EQ(pixel(200 + 5, 100 + 5), 0x808080u);
  EXPECT_FLOAT_EQ(red->x, 10);  // positions are relative again afterwards

  // Half size shows the background only, at half its size.
  panel.setDisplayMode(0);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  push2D(0, 0, kWidth, kHeight);
  drawPanelsInView(list, scrollOffset);
  pop2D();
  readBack();
  EXPECT_EQ(pixel(200 + 15, 100 + 20 + 5), 0x808080u);
  EXPECT_EQ(pixel(200 + 45, 100 + 45), 0x808080u);
  EXPECT_EQ(pixel(200 + 55, 100 + 55), 0u);
}

// What is drawn is where the pointer hits: for a panel on a half pixel (the
// grid's row steps are multiples of 1.5) every pixel of a child's picture
// picks that child, and the hit rectangle (both edges included) is the
// picture plus its right column and bottom row. A label's capitals start at
// its y.
TEST_F(Drawing, PixelsUnderAHitRectangleAreTheWidgets) {
  OBJET panel(200, 100.5f, "1");
  auto* fond = new SPRITE("GREY", 0, 0, 0, 0, 0, 1, 0, 0);
  fond->setName("1_IMAGE_FOND");
  auto* red = new SPRITE("RED", 10, 20, 0, 0, 0, 1, 0, 0);
  red->setName("1_LAMP");
  auto* label = new LABEL("HH", 40, 60, 0, 0, 0, 6, 0xFFFFFF);
  label->setName("1_CAPTION");
  label->setPosition(40, 60, 0);
  panel.mainList = {fond, red, label};
  panel.computeSize();
  ASSERT_FALSE(font_.empty()) << "no TrueType font to print with";
  smallFont.loadFont(font_.c_str(), 6);

  std::vector<OBJET*> list{&panel};
  push2D(0, 0, kWidth, kHeight);
  drawPanelsInView(list, scrollOffset);
  pop2D();
  readBack();
  int drawn = 0, hit = 0;
  for (int y = 100; y < 160; ++y) {
    for (int x = 200; x < 260; ++x) {
      mousePosition = {x, y};
      const bool picks = panel.childAt() == red;
      const bool isRed = pixel(x, y) == 0xFF0000u;
      EXPECT_TRUE(!isRed || picks) << x << "," << y;
      drawn += isRed;
      hit += picks;
    }
  }
  EXPECT_EQ(drawn, 20 * 10);
  EXPECT_EQ(hit, 21 * 11);

  // The label's text: lit rows from its (whole-pixel) y down.
  int top = kHeight, bottom = -1;
  for (int y = 140; y < 180; ++y) {
    for (int x = 240; x < 270; ++x) {
      if ((pixel(x, y) & 0xFF) > 0xA0 && pixel(x, y) != 0x808080u) {
        top = std::min(top, y);
        bottom = std::max(bottom, y);
      }
    }
  }
  EXPECT_EQ(top, 161);
  EXPECT_LE(bottom - top + 1, kLabelCapHeight);
  smallFont.freeFont();
}

TEST_F(Drawing, ACableIsDrawnInItsColourAndPutsTheStateBack) {
  OBJET left(88, 88, "1"), right(288, 88, "2");
  SPRITE jackA("GREY", 0, 0, 0, 0, 0, 1.0f, 0, 0), jackB("GREY", 0, 0, 0, 0, 0, 1.0f, 0, 0);
  jackA.w = jackA.h = jackB.w = jackB.h = 24;
  CABLE cable(&left, &right, &jackA, &jackB, 0x00FF00);
  glEnable(GL_TEXTURE_2D);
  glColor3f(1, 1, 1);
  push2D(0, 0, kWidth, kHeight);
  cable.drawCable(nullptr);
  pop2D();
  EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
  EXPECT_FALSE(glIsEnabled(GL_MAP1_VERTEX_3));
  GLfloat colour[4], width = 0;
  glGetFloatv(GL_CURRENT_COLOR, colour);
  glGetFloatv(GL_LINE_WIDTH, &width);
  EXPECT_EQ(colour[1], 1.0f);
  EXPECT_EQ(colour[0], 1.0f);
  EXPECT_EQ(width, 1.0f);
  glDisable(GL_TEXTURE_2D);
  readBack();
  // Ends at (100, 100) and (300, 100), middle control point (200, 200): the
  // curve passes (200, 150) and stays clear of the straight line between the
  // ends.
  EXPECT_EQ(pixel(200, 150), 0x00FF00u);
  EXPECT_EQ(pixel(200, 100), 0x000000u);
  EXPECT_EQ(cable.drawnX2, 300);
}
