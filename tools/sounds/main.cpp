// morvel_soundgen DIR
// Renders the sample sounds into DIR as 16-bit stereo 44100 Hz WAV files
// with the canonical 44-byte header (the sampler reads the data right after
// it). "phaser.wav" is the one every new sampler loads.
#include "voices.h"

#include <sndfile.h>

#include <cstdio>
#include <filesystem>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s DIR\n", argv[0]);
        return 2;
    }
    const std::string dir = argv[1];
    std::filesystem::create_directories(dir);
    for (const auto& s : snd::allSounds()) {
        const std::string path = dir + "/" + s.file, tmp = path + ".tmp";
        SF_INFO info{};
        info.samplerate = int(snd::kRate);
        info.channels = 2;
        info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
        SNDFILE* f = sf_open(tmp.c_str(), SFM_WRITE, &info);
        if (!f) {
            std::fprintf(stderr, "morvel_soundgen: cannot write %s: %s\n", tmp.c_str(), sf_strerror(nullptr));
            return 1;
        }
        // No peak chunk or other metadata: the header must stay 44 bytes.
        sf_command(f, SFC_SET_ADD_PEAK_CHUNK, nullptr, SF_FALSE);
        const sf_count_t n = sf_count_t(s.frames.size() / 2);
        const bool ok = sf_writef_float(f, s.frames.data(), n) == n;
        sf_close(f);
        if (!ok) {
            std::fprintf(stderr, "morvel_soundgen: short write on %s\n", tmp.c_str());
            return 1;
        }
        std::filesystem::rename(tmp, path);
    }
    std::printf("morvel_soundgen: samples written to %s\n", dir.c_str());
    return 0;
}
