#pragma once
// Helpers for the patch tests: a scratch working directory holding the
// samples a new sampler loads, patch files written from text, and loads
// whose console output is captured.

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sndfile.h>
#include <unistd.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "support/files.h"
#include "engine/engine.h"

// Writes a 16-bit stereo 44100 Hz WAV of `frames` frames of a 440 Hz sine.
// Every test runs in a fresh directory of its own holding Sounds/phaser.wav
// (loaded by every new sampler) and Sounds/kick.wav.
class PatchTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fillNoteTable();
    previous_ = std::filesystem::current_path();
    char pattern[] = "/tmp/morvel-patch-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    dir_ = pattern;
    std::filesystem::create_directory(dir_ / "Sounds");
    ASSERT_TRUE(writeTestWav((dir_ / "Sounds/phaser.wav").string(), 4410));
    ASSERT_TRUE(writeTestWav((dir_ / "Sounds/kick.wav").string(), 2205));
    std::filesystem::current_path(dir_);
  }
  void TearDown() override {
    std::filesystem::current_path(previous_);
    std::error_code ec;
    std::filesystem::remove_all(dir_, ec);
  }

  // Writes `text` to a file of the scratch directory; returns its path.
  std::string writePatch(const std::string& text, const std::string& name = "test.mvl") {
    const std::string path = (dir_ / name).string();
    std::ofstream(path, std::ios::binary) << text;
    return path;
  }

  // Builds a synthesizer from `text`; `console` receives what it printed.
  std::unique_ptr<GENERATOR> load(const std::string& text, std::string* console = nullptr) {
    const std::string path = writePatch(text);
    ::testing::internal::CaptureStdout();
    auto synth = std::make_unique<GENERATOR>(path.c_str());
    const std::string out = ::testing::internal::GetCapturedStdout();
    if (console != nullptr) *console = out;
    return synth;
  }

  // The objects section as writeObjects writes it.
  static std::string written(GENERATOR& synth) {
    FILE* f = std::tmpfile();
    EXPECT_EQ(synth.writeObjects(f), 1);
    std::string text;
    std::rewind(f);
    for (int c; (c = std::fgetc(f)) != EOF;) text.push_back(static_cast<char>(c));
    std::fclose(f);
    return text;
  }

  std::filesystem::path dir_;
  std::filesystem::path previous_;
};
