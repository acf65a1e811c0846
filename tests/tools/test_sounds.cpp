// The generated samples, read the way the sampler reads them: a canonical
// 44-byte header, then 16-bit interleaved stereo.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

uint32_t le32(const std::vector<unsigned char>& b, size_t at) {
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | uint32_t(b[at + 3]) << 24;
}
uint16_t le16(const std::vector<unsigned char>& b, size_t at) { return uint16_t(b[at] | b[at + 1] << 8); }

TEST(Samples, AreCanonicalSixteenBitStereoAndAudible) {
    namespace fs = std::filesystem;
    ASSERT_TRUE(fs::exists("Sounds/phaser.wav")) << "every new sampler loads it";
    int count = 0;
    for (const auto& e : fs::directory_iterator("Sounds")) {
        if (e.path().extension() != ".wav") continue;
        ++count;
        const std::string name = e.path().filename().string();
        std::ifstream in(e.path(), std::ios::binary);
        std::vector<unsigned char> b((std::istreambuf_iterator<char>(in)), {});
        ASSERT_GT(b.size(), 44u) << name;
        EXPECT_EQ(std::string(b.begin(), b.begin() + 4), "RIFF") << name;
        EXPECT_EQ(std::string(b.begin() + 8, b.begin() + 16), "WAVEfmt ") << name;
        EXPECT_EQ(le32(b, 16), 16u) << name;
        EXPECT_EQ(le16(b, 20), 1) << name << ": PCM";
        EXPECT_EQ(le16(b, 22), 2) << name << ": stereo";
        EXPECT_EQ(le32(b, 24), 44100u) << name;
        EXPECT_EQ(le16(b, 34), 16) << name;
        EXPECT_EQ(std::string(b.begin() + 36, b.begin() + 40), "data") << name;
        const uint32_t bytes = le32(b, 40);
        EXPECT_EQ(bytes, b.size() - 44) << name << ": nothing after the data";
        EXPECT_EQ(bytes % 4, 0u) << name;
        int peak = 0, first = 0, last = 0;
        const size_t n = (b.size() - 44) / 2;
        for (size_t i = 0; i < n; ++i) {
            const int v = std::abs(int(int16_t(le16(b, 44 + 2 * i))));
            peak = std::max(peak, v);
            if (i < 8) first = std::max(first, v);
            if (i + 8 >= n) last = std::max(last, v);
        }
        EXPECT_GT(peak, 20000) << name << " is too quiet";
        EXPECT_LT(peak, 32767) << name << " clips";
        EXPECT_LT(last, 2000) << name << " stops with a click";
        EXPECT_LT(first, 12000) << name;
    }
    EXPECT_GE(count, 5);
}

}  // namespace
