// Crash-safe saves: the target is either the old file or the whole new one,
// whatever happens between the first byte and the rename.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "support/files.h"
#include "util/safe_file.h"

TEST(SafeFile, ReplacesTheTargetWholeAndKeepsItsPermissions) {
  TempDir dir;
  const std::string target = dir / "patch.mvl";
  writeFile(target, "old");
  ASSERT_EQ(::chmod(target.c_str(), 0600), 0);
  ASSERT_TRUE(writeFileSafely(target, [](std::FILE* f) { return std::fputs("new text", f) >= 0; }));
  EXPECT_EQ(readFile(target), "new text");
  struct stat st;
  ASSERT_EQ(::stat(target.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);
  EXPECT_EQ(directoryEntries(dir.path()), std::vector<std::string>{"patch.mvl"});
}

TEST(SafeFile, AFailureLeavesTheOldFileAndNoTemporary) {
  TempDir dir;
  const std::string target = dir / "patch.mvl";
  writeFile(target, "old");
  // The writer gives up half way.
  EXPECT_FALSE(writeFileSafely(target, [](std::FILE* f) {
    std::fputs("half", f);
    return false;
  }));
  // The target's directory does not exist.
  EXPECT_FALSE(writeFileSafely(dir / "missing/patch.mvl", [](std::FILE*) { return true; }));
  // An empty name.
  EXPECT_FALSE(writeFileSafely("", [](std::FILE*) { return true; }));
  EXPECT_EQ(readFile(target), "old");
  EXPECT_EQ(directoryEntries(dir.path()), std::vector<std::string>{"patch.mvl"});
}

TEST(SafeFile, AProcessKilledBeforeTheRenameLeavesTheOldFileWhole) {
  TempDir dir;
  const std::string target = dir / "patch.mvl";
  writeFile(target, "old");
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    SafeFile file(target);
    std::fputs("written but never renamed", file.stream());
    std::fflush(file.stream());
    ::_exit(0);  // dies between the write and the rename
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  EXPECT_EQ(readFile(target), "old");
}

TEST(SafeFile, NeverFollowsALinkPlantedBesideTheTarget) {
  TempDir dir;
  const std::string target = dir / "out.wav";
  const std::string victim = dir / "victim";
  writeFile(victim, "precious");
  // A link at every name an older writer would have used.
  ASSERT_EQ(::symlink(victim.c_str(), (target + ".tmp").c_str()), 0);
  ASSERT_EQ(::symlink(victim.c_str(), (target + ".part").c_str()), 0);
  SafeFile file(target);
  ASSERT_TRUE(file.ok());
  EXPECT_EQ(file.temporaryPath().rfind(target + ".", 0), 0u);
  std::fputs("data", file.stream());
  ASSERT_TRUE(file.commit());
  EXPECT_EQ(readFile(target), "data");
  EXPECT_EQ(readFile(victim), "precious");
}
