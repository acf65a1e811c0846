// listFiles: the matching paths of a directory tree, each once, in the
// listing's order (each directory's matches, directories first, then by
// name; then its subdirectories), returned front-inserted (reversed).

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "gui/fixtures.h"
#include "gui/gui.h"

TEST(Listing, WalksTheTreeInListingOrder) {
  TempDir dir;
  const std::string root = dir / "Sounds";
  for (const char* f : {"b.wav", "c.wav", "A.WAV", ".hidden.wav", "x.txt", "kick.wav.txt",
                        "sub/d.wav", "sub/deep/e.wav", "Sub2/f.wav", "sub.wav/e.txt", "sub.wav/g.wav"}) {
    writeFile(root + "/" + f, "x");
  }
  testing::internal::CaptureStdout();
  const std::vector<std::string> list = listFiles(root.c_str(), "wav");
  const std::string out = testing::internal::GetCapturedStdout();

  // A.WAV matches the pattern but not the case-sensitive ".wav"; the
  // directory sub.wav is listed (first, being a directory); sub.wav/e.txt has
  // ".wav" in its path but its name does not match "*.wav".
  const std::vector<std::string> walked = {
      root + "/sub.wav", root + "/.hidden.wav", root + "/b.wav", root + "/c.wav",
      root + "/sub/d.wav", root + "/sub/deep/e.wav", root + "/sub.wav/g.wav", root + "/Sub2/f.wav"};
  std::string printed;
  for (const std::string& p : walked) printed += "[" + p + "]\n";
  EXPECT_EQ(out, printed);
  EXPECT_EQ(list, std::vector<std::string>(walked.rbegin(), walked.rend()));

  // A relative directory gives absolute paths.
  const auto cwd = std::filesystem::current_path();
  std::filesystem::current_path(dir.path());
  testing::internal::CaptureStdout();
  const std::vector<std::string> relative = listFiles("Sounds", "txt");
  testing::internal::GetCapturedStdout();
  std::filesystem::current_path(cwd);
  EXPECT_EQ(relative, (std::vector<std::string>{root + "/sub.wav/e.txt", root + "/x.txt", root + "/kick.wav.txt"}));

  EXPECT_TRUE(listFiles((dir / "none").c_str(), "wav").empty());
}
