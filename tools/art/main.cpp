// morvel_artgen BIN_DIR FONT_FILE
// Draws the run-time pictures into BIN_DIR: grfx/*.png, the archive
// grfx/opengl.mim and the splash Zod_Engine/SnapShot.bmp. FONT_FILE is the
// pixel font the labels use; the lettering of the pictures is drawn with it.
#include "art.h"

#include <cstdio>
#include <exception>
#include <filesystem>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s BIN_DIR FONT_FILE\n", argv[0]);
        return 2;
    }
    try {
        const std::string bin = argv[1];
        art::setFontFile(argv[2]);
        art::Archive a(bin);
        art::makeBackground(a);
        art::makeWidgets(a);
        art::makeDisplays(a);
        art::makePlates(a);
        a.writeIndex();
        std::filesystem::create_directories(bin + "/Zod_Engine");
        art::makeSplash(bin + "/Zod_Engine/SnapShot.bmp");
        std::printf("morvel_artgen: %zu images\n", a.names().size());
    } catch (const std::exception& e) {
        std::fprintf(stderr, "morvel_artgen: %s\n", e.what());
        return 1;
    }
    return 0;
}
