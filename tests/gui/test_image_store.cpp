// The image store and the graphics archive, without a window (no textures).

#include <gtest/gtest.h>

#include <string>

#include "gui/fixtures.h"
#include "gui/gui.h"

namespace {

// A sheet whose pixel (x, y) has red = x and green = y, so a tile's first
// pixel tells where it was cut.
void writeCoordinateSheet(const std::string& path, int w, int h) {
  SDL_Surface* s = solidSurface(w, h, 0, 24);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) setPixel(s, x, y, (Uint32(x) << 16) | (Uint32(y) << 8));
  }
  saveBmp(s, path);
}

struct Store {
  IMAGE_STORE store;
  ~Store() {
    for (int i = 0; i < store.count; ++i) SDL_FreeSurface(store.entries[i].surface);
  }
};

}  // namespace

TEST(ImageStore, TilesAreNumberedRowByRowAndCutAtTheirPositions) {
  TempDir dir;
  writeCoordinateSheet(dir / "row.bmp", 140, 20);
  writeCoordinateSheet(dir / "grid.bmp", 100, 60);
  writeFile(dir / "a.mim", "HEADER 1\n"
                           "ROW " + (dir / "row.bmp") + " TILES 32 16 1 4 2 0\n"
                           "KNOB " + (dir / "grid.bmp") + " TILES 10 12 2 3 5 7\n"
                           "END\n");
  Store s;
  s.store.loadArchive((dir / "a.mim").c_str());
  ASSERT_EQ(s.store.count, 10);

  for (int k = 0; k < 4; ++k) {
    const std::string name = "ROW_" + std::to_string(k);
    ASSERT_EQ(s.store.indexOf(name.c_str()), k);
    SDL_Surface* tile = s.store.surfaceOf(name.c_str());
    EXPECT_EQ(tile->w, 32);
    EXPECT_EQ(tile->h, 16);
    EXPECT_EQ(s.store.entries[k].width, 32);
    EXPECT_EQ(pixelAt(tile, 0, 0), Uint32(k * 34) << 16) << name;  // x = 0, 34, 68, 102
    EXPECT_EQ(pixelAt(tile, 5, 3), (Uint32(k * 34 + 5) << 16) | (3 << 8));
  }
  for (int k = 0; k < 6; ++k) {
    const std::string name = "KNOB_" + std::to_string(k);
    SDL_Surface* tile = s.store.surfaceOf(name.c_str());
    ASSERT_NE(tile, nullptr) << name;
    const int x = (k % 3) * 15, y = (k / 3) * 19;
    EXPECT_EQ(pixelAt(tile, 0, 0), (Uint32(x) << 16) | (Uint32(y) << 8)) << name;
  }
}

TEST(ImageStore, FirstNameWinsAndReplacingKeepsTheIndex) {
  TempDir dir;
  saveBmp(solidSurface(4, 4, 0xFF0000), dir / "red.bmp");
  saveBmp(solidSurface(6, 6, 0x00FF00), dir / "green.bmp");
  writeFile(dir / "a.mim", "H H\n"
                           "LAMP " + (dir / "red.bmp") + " SIMPLEPART\n"
                           "LAMP " + (dir / "green.bmp") + " SIMPLEPART\n"
                           "T " + (dir / "green.bmp") + " SHEET 2 2 1 2 0 0\n"
                           "T_1 " + (dir / "red.bmp") + " SIMPLEPART\n"
                           "NEXT " + (dir / "red.bmp") + " SHEET 2 2 1 2 0 0\n"
                           "END\n"
                           "LATE " + (dir / "red.bmp") + " SIMPLEPART\n");
  Store s;
  s.store.loadArchive((dir / "a.mim").c_str());
  EXPECT_EQ(s.store.count, 5);  // LAMP, T_0, T_1, NEXT_0, NEXT_1
  EXPECT_EQ(pixelAt(s.store.surfaceOf("LAMP"), 0, 0), 0xFF0000u);
  EXPECT_EQ(pixelAt(s.store.surfaceOf("T_1"), 0, 0), 0x00FF00u);
  EXPECT_EQ(s.store.indexOf("LATE"), -1);

  const int index = s.store.indexOf("T_0");
  SDL_Surface* bigger = solidSurface(9, 7, 0x0000FF);
  EXPECT_EQ(s.store.put("T_0", bigger, 9, 7), 1);
  EXPECT_EQ(s.store.indexOf("T_0"), index);
  EXPECT_EQ(s.store.count, 5);
  EXPECT_EQ(s.store.surfaceOf("T_0"), bigger);
  EXPECT_EQ(s.store.entries[index].width, 9);

  // A known name is not loaded again (the path is not even opened).
  EXPECT_EQ(s.store.loadFile("/nonexistent/file.png", "LAMP"), 5);
  EXPECT_EQ(s.store.loadFile("/nonexistent/file.png", "NEW"), 0);
  EXPECT_EQ(s.store.putSurface(nullptr, "NEW"), 0);
  EXPECT_EQ(s.store.indexOf(nullptr), -1);
}

TEST(ImageStore, ArchiveEndings) {
  TempDir dir;
  saveBmp(solidSurface(4, 4, 0xFF0000), dir / "red.bmp");
  struct Case {
    std::string text;
    int count;
  } cases[] = {
      {"H H\nEND " + (dir / "red.bmp") + " SIMPLEPART\n", 0},
      {"H H\nA " + (dir / "red.bmp") + " SIMPLEPART\nB #comment SIMPLEPART\nC " + (dir / "red.bmp") + " SIMPLEPART\n", 1},
      {"H H\nA " + (dir / "red.bmp") + " SIMPLEPART\n", 1},  // no END: stops at the end of the file
      {"H H\nA " + (dir / "missing.bmp") + " SHEET 2 2 1 1 0 0\nB " + (dir / "red.bmp") + " SIMPLEPART\nEND\n", 1},
      {"", 0},
  };
  for (const Case& c : cases) {
    writeFile(dir / "a.mim", c.text);
    Store s;
    s.store.loadArchive((dir / "a.mim").c_str());
    EXPECT_EQ(s.store.count, c.count) << c.text;
  }
}

TEST(ImageStoreDeathTest, MissingArchiveOrImageEndsTheProgram) {
  TempDir dir;
  EXPECT_EXIT(IMAGE_STORE((dir / "none.mim").c_str()), testing::ExitedWithCode(255), "");
  writeFile(dir / "a.mim", "H H\nA " + (dir / "none.png") + " SIMPLEPART\nEND\n");
  EXPECT_EXIT(IMAGE_STORE((dir / "a.mim").c_str()), testing::ExitedWithCode(255), "");
}

TEST(ImageStore, AFullStoreRefusesNewNames) {
  Store s;
  for (int i = 0; i < IMAGE_STORE::kCapacity; ++i) {
    const std::string name = "I" + std::to_string(i);
    ASSERT_EQ(s.store.put(name.c_str(), solidSurface(1, 1, 0), 1, 1), 1);
  }
  SDL_Surface* extra = solidSurface(1, 1, 0);
  testing::internal::CaptureStdout();
  EXPECT_EQ(s.store.put("ONE_MORE", extra, 1, 1), 0);
  EXPECT_EQ(s.store.putSurface(extra, "ONE_MORE"), IMAGE_STORE::kCapacity);
  EXPECT_EQ(s.store.loadFile("/nonexistent.png", "ONE_MORE"), IMAGE_STORE::kCapacity);
  const std::string out = testing::internal::GetCapturedStdout();
  EXPECT_NE(out.find("[ONE_MORE] refused"), std::string::npos) << out;
  EXPECT_EQ(s.store.count, IMAGE_STORE::kCapacity);
  EXPECT_EQ(s.store.indexOf("ONE_MORE"), -1);
  // An existing name can still be replaced.
  EXPECT_EQ(s.store.put("I7", extra, 1, 1), 1);
  EXPECT_EQ(s.store.surfaceOf("I7"), extra);
}

TEST(ImageStore, SpritesTakeTheSizeOfTheirImage) {
  Store s;
  IMAGE_STORE* previous = imageStore;
  imageStore = &s.store;
  s.store.put("LAMP", solidSurface(20, 10, 0), 20, 10);
  SPRITE lamp("LAMP", 0, 0, 0, 0, 0, 1, 0, 0);
  lamp.update();
  EXPECT_FLOAT_EQ(lamp.w, 20);
  EXPECT_FLOAT_EQ(lamp.h, 10);
  // An unknown image leaves the size alone.
  lamp.setImage("NOTHING");
  lamp.update();
  EXPECT_FLOAT_EQ(lamp.w, 20);
  EXPECT_EQ(lamp.imageSurface(), nullptr);
  imageStore = previous;
}
