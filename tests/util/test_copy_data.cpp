// The build's copy of the run-time data beside the programs: a layout edited
// in the build tree is never lost to the next build.

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "support/files.h"

namespace {

// One run of the build's copy step from `dir`/data to `dir`/bin.
void copyData(const TempDir& dir) {
  const std::string command = std::string("'") + MORVEL_CMAKE + "' -DSRC=" + (dir / "data") + " -DDEST=" +
                              (dir / "bin") + " -DSTAMPS=" + (dir / "stamps") + " -P '" + MORVEL_COPY_SCRIPT +
                              "' > " + (dir / "log") + " 2>&1";
  ASSERT_EQ(std::system(command.c_str()), 0) << readFile(dir / "log");
}

TEST(DataCopy, RefreshesUntouchedCopiesAndKeepsEditedOnes) {
  TempDir dir;
  writeFile(dir / "data/RC/A.RC", "a1");
  writeFile(dir / "data/RC/B.RC", "b1");
  copyData(dir);
  EXPECT_EQ(readFile(dir / "bin/RC/A.RC"), "a1");

  // The source changes: untouched copies follow it.
  writeFile(dir / "data/RC/A.RC", "a2");
  copyData(dir);
  EXPECT_EQ(readFile(dir / "bin/RC/A.RC"), "a2");

  // A copy saved in the build tree survives every later build, changed
  // source or not, and the build says so.
  writeFile(dir / "bin/RC/B.RC", "b edited");
  for (const char* source : {"b1", "b2"}) {
    writeFile(dir / "data/RC/B.RC", source);
    copyData(dir);
    EXPECT_EQ(readFile(dir / "bin/RC/B.RC"), "b edited");
    EXPECT_NE(readFile(dir / "log").find("bin/RC/B.RC was changed after the build copied it: kept"),
              std::string::npos);
  }
  // Deleted, it is taken from the source again.
  std::remove((dir / "bin/RC/B.RC").c_str());
  copyData(dir);
  EXPECT_EQ(readFile(dir / "bin/RC/B.RC"), "b2");

  // A differing copy the build has no record of (an older build tree) is
  // moved aside, not overwritten.
  writeFile(dir / "bin/RC/C.RC", "c old");
  writeFile(dir / "data/RC/C.RC", "c new");
  copyData(dir);
  EXPECT_EQ(readFile(dir / "bin/RC/C.RC"), "c new");
  EXPECT_EQ(readFile(dir / "bin/RC/C.RC.kept"), "c old");
}

}  // namespace
