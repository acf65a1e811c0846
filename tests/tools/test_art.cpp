// The generated run-time art, read as the engine reads it: the archive's
// entries, the images through SDL_image, masks by the names widgets derive,
// the splash, the label font and the demo layout.
#include <SDL.h>
#include <SDL_image.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_GLYPH_H
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <map>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct Entry {
    std::string name, path, kind;
    int tw = 0, th = 0, rows = 0, cols = 0, gx = 0, gy = 0;
};

std::vector<Entry> readArchive() {
    std::ifstream in("grfx/opengl.mim");
    std::vector<Entry> out;
    std::string skip;
    in >> skip >> skip;
    Entry e;
    while (in >> e.name && e.name != "END") {
        in >> e.path;
        if (e.path[0] == '#') break;
        in >> e.kind;
        if (e.kind != "SIMPLEPART") in >> e.tw >> e.th >> e.rows >> e.cols >> e.gx >> e.gy;
        out.push_back(e);
    }
    return out;
}

struct SurfaceFree {
    void operator()(SDL_Surface* s) const { SDL_FreeSurface(s); }
};
using Surface = std::unique_ptr<SDL_Surface, SurfaceFree>;

// RGB of one pixel, whatever the surface's format.
struct Px {
    int r, g, b;
};
Px pixel(SDL_Surface* s, int x, int y) {
    SDL_LockSurface(s);
    const Uint8* p = static_cast<Uint8*>(s->pixels) + y * s->pitch + x * s->format->BytesPerPixel;
    Uint32 v = 0;
    for (int i = 0; i < s->format->BytesPerPixel; ++i) v |= Uint32(p[i]) << (8 * i);
    SDL_UnlockSurface(s);
    Uint8 r, g, b;
    SDL_GetRGB(v, s->format, &r, &g, &b);
    return {r, g, b};
}

// The store's view of the archive: every image name with its picture (tiles
// cut out of their sheets the way the store cuts them).
class Store {
public:
    Store() {
        for (const auto& e : readArchive()) {
            Surface sheet(IMG_Load(e.path.c_str()));
            if (!sheet) {
                failed.push_back(e.path);
                continue;
            }
            entries.push_back(e);
            if (e.kind == "SIMPLEPART") {
                add(e.name, std::move(sheet));
                continue;
            }
            int k = 0;
            for (int i = 0; i < e.rows; ++i)
                for (int j = 0; j < e.cols; ++j) {
                    Surface t(SDL_CreateRGBSurface(SDL_SWSURFACE, e.tw, e.th, 24, 0x0000FF, 0x00FF00, 0xFF0000, 0));
                    SDL_Rect src{Sint16(j * (e.tw + e.gx)), Sint16(i * (e.th + e.gy)), Uint16(e.tw), Uint16(e.th)};
                    SDL_BlitSurface(sheet.get(), &src, t.get(), nullptr);
                    add(e.name + "_" + std::to_string(k++), std::move(t));
                }
            sheets[e.name] = {sheet->w, sheet->h};
        }
    }
    SDL_Surface* get(const std::string& n) const {
        auto it = images.find(n);
        return it == images.end() ? nullptr : it->second.get();
    }
    bool has(const std::string& n) const { return images.count(n) != 0; }

    std::vector<Entry> entries;
    std::map<std::string, Surface> images;
    std::vector<std::string> order, duplicates, failed;
    std::map<std::string, std::pair<int, int>> sheets;

private:
    void add(const std::string& n, Surface s) {
        if (images.count(n)) duplicates.push_back(n);
        order.push_back(n);
        images[n] = std::move(s);
    }
};

const Store& store() {
    static Store s;
    return s;
}

// The mask a BUTTON derives from its on-image: up to and including the last
// underscore (at position 1 or later), then "MASK".
std::string buttonMask(const std::string& on) {
    const auto u = on.rfind('_');
    if (u == std::string::npos || u < 1) return "";
    return on.substr(0, u + 1) + "MASK";
}

std::vector<std::string> requiredNames() {
    std::vector<std::string> n = {
        "FOND_GLOBAL", "FICHE_PLUG", "FICHE_PLUG_MASK", "FICHE_UNPLUG", "FICHE_UNPLUG_MASK",
        "DISP_SIN", "DISP_TRI", "DISP_SAW", "DISP_SQR", "DISP_NOISE", "DISP_PULSE",
        "DISP_FILTRE_LOWPASS", "DISP_FILTRE_HIGHPASS", "DISP_FILTRE_BANDPASS", "DISP_FILTRE_NOTCH",
        "DISP_FILTRE_LOWSHELF", "DISP_FILTRE_HIGHSHELF", "DISP_FILTRE_PEAKING",
        "SMP_PLAY_AV", "SMP_PLAY_AR", "SMP_PLAY_LOOPAV", "SMP_PLAY_LOOPAR",
        "CHK_4_ON", "CHK_4_OFF", "SLD", "SLD_MASK",
        "LAMP_LED_1_0", "LAMP_LED_1_1", "LAMP_LED_2_0", "LAMP_LED_2_1",
        "BUTTONSTYLEA_0", "BUTTONSTYLEB_0",
        // Masks the widgets derive from the names above.
        "CHK_4_MASK", "LAMP_LED_2_MASK", "BUTTONSTYLEA_MASK", "BUTTONSTYLEB_MASK"};
    for (int c = 1; c <= 2; ++c)
        for (int i = 0; i <= 10; ++i) n.push_back("LED_NUMERIC_" + std::to_string(c) + "_" + std::to_string(i));
    return n;
}

TEST(GraphicsArchive, DefinesEveryNameThePanelsUseAndNothingThatShadowsAWidget) {
    const Store& s = store();
    EXPECT_TRUE(s.failed.empty()) << "unreadable: " << s.failed.front();
    EXPECT_TRUE(s.duplicates.empty()) << "defined twice: " << s.duplicates.front();
    for (const auto& n : requiredNames()) EXPECT_TRUE(s.has(n)) << n;
    // A sprite takes the size of the image named by its `image` field: an
    // image named like a panel's title or the widgets' default image would
    // resize panels and labels.
    auto isTitle = [](const std::string& n) {
        for (const char* kind : {"VCO_", "SAMPLER_", "VCA_", "VCF_", "MIXER_", "KEY_", "SEQUEN_"}) {
            const std::string k = kind;
            if (n.size() > k.size() && n.compare(0, k.size(), k) == 0 &&
                n.find_first_not_of("0123456789", k.size()) == std::string::npos)
                return true;
        }
        return false;
    };
    for (const auto& n : s.order) {
        EXPECT_LE(n.size(), 79u) << n;
        EXPECT_FALSE(isTitle(n)) << n;
        EXPECT_NE(n, "IMG_001");
        EXPECT_NE(n, "SNAPSHOT");
    }
    EXPECT_LE(s.order.size() + 1, 300u) << "leave room in the 400-entry store for later panels";
}

TEST(GraphicsArchive, TileSheetsHoldEveryTileTheyDeclare) {
    for (const auto& e : store().entries) {
        if (e.kind == "SIMPLEPART") continue;
        const auto [w, h] = store().sheets.at(e.name);
        EXPECT_GE(w, e.cols * e.tw + (e.cols - 1) * e.gx) << e.name;
        EXPECT_GE(h, e.rows * e.th + (e.rows - 1) * e.gy) << e.name;
    }
}

// Masked drawing multiplies the background by the mask, then adds the image:
// the image must add no light where the mask keeps the background (it must
// be premultiplied), and the mask must both keep and cut somewhere.
TEST(GraphicsArchive, ImagesAndTheirMasksAgree) {
    const Store& s = store();
    int pairs = 0;
    for (const auto& n : s.order) {
        if (n.find("MASK") != std::string::npos) continue;
        std::string m = n + "_MASK";
        if (!s.has(m)) m = buttonMask(n);
        if (n == "FOND_DEMO") m = "FOND_MASK_DEMO";
        if (m.empty() || !s.has(m)) continue;
        ++pairs;
        SDL_Surface* img = s.get(n);
        SDL_Surface* mask = s.get(m);
        ASSERT_EQ(img->w, mask->w) << n;
        ASSERT_EQ(img->h, mask->h) << n;
        int keep = 0, cut = 0, leaks = 0;
        for (int y = 0; y < img->h; ++y)
            for (int x = 0; x < img->w; ++x) {
                const Px p = pixel(img, x, y), q = pixel(mask, x, y);
                ASSERT_TRUE(q.r == q.g && q.g == q.b) << m << " is not grey at " << x << "," << y;
                if (q.r > 250) ++keep;
                if (q.r < 5) ++cut;
                const int room = 255 - q.r + 3;
                if (p.r > room || p.g > room || p.b > room) ++leaks;
            }
        EXPECT_GT(keep + cut, 0) << n;
        EXPECT_GT(cut, 0) << m << " cuts nothing: inverted?";
        EXPECT_EQ(leaks, 0) << n << " adds light where " << m << " keeps the background";
        // A shaped widget keeps the background in its corners.
        if (n.rfind("FOND_", 0) != 0) {
            EXPECT_GT(pixel(mask, 0, 0).r, 250) << m;
        }
    }
    EXPECT_GT(pairs, 40);
}

// The engine turns a knob clockwise by its angle from "up": the pointer of
// every knob image must point straight up.
TEST(GraphicsArchive, KnobPointersPointUp) {
    for (const char* n : {"SLD", "SLD_BLACK", "KNOB", "KNOB_BLACK"}) {
        SDL_Surface* k = store().get(n);
        ASSERT_NE(k, nullptr) << n;
        int top = 0, bottom = 0, sumX = 0;
        for (int y = 0; y < k->h; ++y)
            for (int x = 0; x < k->w; ++x) {
                const Px p = pixel(k, x, y);
                const bool orange = p.r > 200 && p.g < 140 && p.b < 80;
                const bool white = p.r > 225 && p.g > 225 && p.b > 215 && std::string(n).find("BLACK") != std::string::npos;
                if (!orange && !white) continue;
                (y < k->h / 2 ? top : bottom)++;
                sumX += x;
            }
        EXPECT_GT(top, 0) << n;
        EXPECT_EQ(bottom, 0) << n;
        if (top) {
            EXPECT_NEAR(double(sumX) / top + 0.5, k->w / 2.0, 1.0) << n;
        }
    }
}

// "LED_NUMERIC_c_i" shows digit i-1 (i = 1..10), nothing for i = 0, set 2
// dimmer than set 1.
TEST(GraphicsArchive, LedDigitsShowTheirDigitInTwoBrightnesses) {
    const int segments[10] = {6, 2, 5, 5, 4, 5, 6, 3, 7, 6};
    int maxLevel[3] = {0, 0, 0};
    for (int c = 1; c <= 2; ++c) {
        std::vector<int> lit(11);
        for (int i = 0; i <= 10; ++i) {
            SDL_Surface* d = store().get("LED_NUMERIC_" + std::to_string(c) + "_" + std::to_string(i));
            ASSERT_NE(d, nullptr);
            for (int y = 0; y < d->h; ++y)
                for (int x = 0; x < d->w; ++x) {
                    const Px p = pixel(d, x, y);
                    if (p.r > 120) ++lit[i];
                    maxLevel[c] = std::max(maxLevel[c], p.r);
                }
        }
        EXPECT_EQ(lit[0], 0) << "set " << c;
        for (int i = 1; i <= 10; ++i)
            for (int j = 1; j <= 10; ++j)
                if (segments[i - 1] > segments[j - 1]) {
                    EXPECT_GT(lit[i], lit[j]) << c << ": " << i - 1 << " vs " << j - 1;
                }
    }
    EXPECT_GT(maxLevel[1], maxLevel[2] + 40);
}

TEST(RunTimeFiles, SplashAndFontLoadAsTheEngineLoadsThem) {
    Surface splash(SDL_LoadBMP("Zod_Engine/SnapShot.bmp"));
    ASSERT_NE(splash, nullptr);
    EXPECT_EQ(splash->w, 1024);
    EXPECT_EQ(splash->h, 768);

    FT_Library lib;
    ASSERT_EQ(FT_Init_FreeType(&lib), 0);
    FT_Face face;
    ASSERT_EQ(FT_New_Face(lib, "Fonts/04b_03b_.ttf", 0, &face), 0);
    for (int size : {6, 12}) {
        ASSERT_EQ(FT_Set_Char_Size(face, size * 64, size * 64, 96, 96), 0);
        for (int c = 32; c < 127; ++c) EXPECT_NE(FT_Get_Char_Index(face, c), 0u) << c;
        ASSERT_EQ(FT_Load_Glyph(face, FT_Get_Char_Index(face, 'A'), FT_LOAD_DEFAULT), 0);
        FT_Glyph glyph;
        ASSERT_EQ(FT_Get_Glyph(face->glyph, &glyph), 0);
        ASSERT_EQ(FT_Glyph_To_Bitmap(&glyph, FT_RENDER_MODE_NORMAL, nullptr, 1), 0);
        const FT_Bitmap& b = reinterpret_cast<FT_BitmapGlyph>(glyph)->bitmap;
        EXPECT_GT(b.width * b.rows, 0u);
        // A pixel face: capitals fit the label line (8 pixels at size 6).
        EXPECT_LE(int(b.rows), size * 96 / 72) << size;
        FT_Done_Glyph(glyph);
    }
    FT_Done_Face(face);
    FT_Done_FreeType(lib);
}

// The label face at the label size: every glyph lies on whole pixels (no
// grey), and no two digits or capitals share a picture, so "0.800" never
// reads "0.300" nor "GATE" "CATE".
TEST(RunTimeFiles, TheLabelFaceIsCrispAndUnambiguous) {
    FT_Library lib;
    ASSERT_EQ(FT_Init_FreeType(&lib), 0);
    FT_Face face;
    ASSERT_EQ(FT_New_Face(lib, "Fonts/04b_03b_.ttf", 0, &face), 0);
    ASSERT_EQ(FT_Set_Char_Size(face, 6 * 64, 6 * 64, 96, 96), 0);
    std::map<std::string, char> seen;
    for (char c : std::string("0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ")) {
        ASSERT_EQ(FT_Load_Char(face, static_cast<FT_ULong>(c), FT_LOAD_RENDER), 0) << c;
        const FT_Bitmap& b = face->glyph->bitmap;
        EXPECT_EQ(face->glyph->bitmap_top, 7) << c;  // capitals 7 pixels high
        std::string picture = std::to_string(b.width) + "x" + std::to_string(b.rows) + ":";
        for (unsigned y = 0; y < b.rows; ++y)
            for (unsigned x = 0; x < b.width; ++x) {
                const unsigned char v = b.buffer[y * b.pitch + x];
                EXPECT_TRUE(v == 0 || v == 255) << c << " has grey at " << x << "," << y;
                picture += v ? '#' : '.';
            }
        const auto [it, fresh] = seen.emplace(picture, c);
        EXPECT_TRUE(fresh) << c << " looks like " << it->second;
    }
    FT_Done_Face(face);
    FT_Done_FreeType(lib);
}

// The demo layout: every record kind, every picture it names in the
// archive, and the background last in the file (drawn first, under all).
TEST(RunTimeFiles, DemoLayoutUsesEveryKindAndOnlyKnownPictures) {
    std::ifstream in("RC/DEMO.RC", std::ios::binary);
    ASSERT_TRUE(in);
    std::stringstream all;
    all << in.rdbuf();
    const std::string text = all.str();
    ASSERT_GE(text.size(), 2u);
    EXPECT_EQ(text.substr(text.size() - 2), "\r\n");
    std::istringstream tok(text);
    std::map<std::string, int> kinds;
    std::vector<std::string> items;
    std::set<std::string> itemNames;
    std::string kw;
    const Store& s = store();
    auto known = [&](const std::string& img) { EXPECT_TRUE(s.has(img)) << img; };
    while (tok >> kw) {
        std::string item, a, b, c;
        int ignore;
        ++kinds[kw];
        if (kw == "SPRITE") {
            tok >> item >> a >> b;
            known(a);
            if (b[0] != '0') known(b);
            for (int i = 0; i < 8; ++i) tok >> c;
        } else if (kw == "BUTTON") {
            tok >> item >> a >> b >> c;
            known(a);
            known(c);
            if (b[0] != '0') known(b);
            known(buttonMask(a));
            for (int i = 0; i < 7; ++i) tok >> c;
        } else if (kw == "SLIDER") {
            tok >> item >> a;
            known(a);
            known(a + "_MASK");
            for (int i = 0; i < 7; ++i) tok >> c;
        } else if (kw == "LABEL") {
            tok >> item >> a;
            for (int i = 0; i < 5; ++i) tok >> ignore;
        } else {
            ADD_FAILURE() << "unexpected token " << kw;
            continue;
        }
        EXPECT_TRUE(itemNames.insert(item).second) << "item twice: " << item;
        items.push_back(item);
    }
    for (const char* k : {"SPRITE", "BUTTON", "SLIDER", "LABEL"}) EXPECT_GT(kinds[k], 0) << k;
    ASSERT_FALSE(items.empty());
    EXPECT_EQ(items.back(), "IMAGE_FOND");
    EXPECT_TRUE(itemNames.count("FOND_MASK"));
}

}  // namespace
