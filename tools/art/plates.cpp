// Faceplates ("IMAGE_FOND" pictures) of the module panels, their backs,
// the dashboards, the load dialog and the demonstration panel.
//
// Sizes follow the column grid the synthesizer lays panels out on (column
// width and row step of each kind), and stay at or just under a power of two
// where they can: textures are rescaled to powers of two, and shrinking a
// plate would lose its fine lines.
#include "art.h"
#include "palette.h"

#include <cmath>
#include <string>

namespace art {

namespace {

uint32_t seedOf(const std::string& s) {
    uint32_t h = 2166136261u;
    for (unsigned char c : s) h = (h ^ c) * 16777619u;
    return h;
}

void screw(cairo_t* cr, double cx, double cy, double r, double turn) {
    setColor(cr, hex(0), 0.5);
    circle(cr, cx + 0.5, cy + 0.7, r);
    cairo_fill(cr);
    cairo_pattern_t* p = cairo_pattern_create_radial(cx - r * 0.4, cy - r * 0.4, r * 0.1, cx, cy, r);
    cairo_pattern_add_color_stop_rgb(p, 0, pal::nickelLight.r, pal::nickelLight.g, pal::nickelLight.b);
    cairo_pattern_add_color_stop_rgb(p, 1, pal::nickelDark.r, pal::nickelDark.g, pal::nickelDark.b);
    cairo_set_source(cr, p);
    circle(cr, cx, cy, r);
    cairo_fill(cr);
    cairo_pattern_destroy(p);
    // Cross slot.
    setColor(cr, hex(0x2A2C30), 0.9);
    cairo_set_line_width(cr, r >= 3 ? 1.0 : 0.8);
    for (int i = 0; i < 2; ++i) {
        const double a = turn + i * M_PI / 2;
        cairo_move_to(cr, cx - std::cos(a) * r * 0.7, cy - std::sin(a) * r * 0.7);
        cairo_line_to(cr, cx + std::cos(a) * r * 0.7, cy + std::sin(a) * r * 0.7);
    }
    cairo_stroke(cr);
}

void edges(cairo_t* cr, int w, int h) {
    setColor(cr, hex(0xFFFFFF), 0.14);
    cairo_rectangle(cr, 1, 1, w - 2, 1);
    cairo_rectangle(cr, 1, 1, 1, h - 2);
    cairo_fill(cr);
    setColor(cr, hex(0), 0.45);
    cairo_rectangle(cr, 1, h - 2, w - 2, 1);
    cairo_rectangle(cr, w - 2, 1, 1, h - 2);
    cairo_fill(cr);
    setColor(cr, hex(0), 0.9);
    cairo_set_line_width(cr, 1);
    cairo_rectangle(cr, 0.5, 0.5, w - 1, h - 1);
    cairo_stroke(cr);
}

// Four screws, one in each corner.
void screws(cairo_t* cr, int w, int h, const std::string& name) {
    const double r = std::min(w, h) >= 90 ? 3.0 : 2.5, m = r + 2.5;
    Noise n(seedOf(name) ^ 0xABCD);
    screw(cr, m, m, r, n.uniform() * M_PI);
    screw(cr, w - m, m, r, n.uniform() * M_PI);
    screw(cr, m, h - m, r, n.uniform() * M_PI);
    screw(cr, w - m, h - m, r, n.uniform() * M_PI);
}

// A recessed area of the faceplate (a window or channel strip).
void recess(cairo_t* cr, double x, double y, double w, double h, Rgb fill, double a = 1.0) {
    setColor(cr, fill, a);
    cairo_rectangle(cr, x, y, w, h);
    cairo_fill(cr);
    setColor(cr, hex(0), 0.55);
    cairo_rectangle(cr, x, y, w, 1);
    cairo_rectangle(cr, x, y, 1, h);
    cairo_fill(cr);
    setColor(cr, hex(0xFFFFFF), 0.10);
    cairo_rectangle(cr, x, y + h - 1, w, 1);
    cairo_rectangle(cr, x + w - 1, y, 1, h);
    cairo_fill(cr);
}

// A thin 270-degree arc around a knob drawn in code, with its two ends
// and its middle marked.
void arcScale(cairo_t* cr, double cx, double cy, double r) {
    setColor(cr, pal::silk, 0.35);
    cairo_set_line_width(cr, 1.0);
    cairo_new_path(cr);
    // Knob angles turn clockwise from "up"; cairo's from the +x axis.
    auto cairoAngle = [](double knobDeg) { return (knobDeg - 90.0) * M_PI / 180.0; };
    cairo_arc(cr, cx, cy, r, cairoAngle(-135.0), cairoAngle(135.0));
    cairo_stroke(cr);
    for (double deg : {-135.0, 0.0, 135.0}) {
        const double a = deg * M_PI / 180.0;
        setColor(cr, pal::silk, 0.95);
        circle(cr, cx + std::sin(a) * r, cy - std::cos(a) * r, 0.9);
        cairo_fill(cr);
    }
}

constexpr int kBand = 13;  // height of the title band

// Front faceplate: brushed dark aluminium, a title band with the kind name
// (the panel prints its module's name after it), the accent stripe, screws
// in the corners.
Layer front(const std::string& name, int w, int h, Rgb accent, const std::string& title, bool bandAtBottom = false) {
    Layer l(w, h);
    cairo_t* cr = l.cr();
    brushed(l, 0, 0, w, h, pal::plate, 0.030, seedOf(name));
    const int by = bandAtBottom ? h - kBand - 14 : 0, bh = bandAtBottom ? kBand + 14 : kBand;
    brushed(l, 0, by, w, bh, pal::plateBand, 0.020, seedOf(name) + 7);
    const int sy = bandAtBottom ? by - 2 : kBand;
    setColor(cr, accent);
    cairo_rectangle(cr, 0, sy, w, 2);
    cairo_fill(cr);
    setColor(cr, mix(accent, hex(0xFFFFFF), 0.45));
    cairo_rectangle(cr, 0, sy, w, 1);
    cairo_fill(cr);
    const double base = bandAtBottom ? h - 8 : 10;
    text(cr, title, 10, base, 8, pal::silk);
    edges(cr, w, h);
    screws(cr, w, h, name);
    return l;
}

// Back of a panel: darker, matte, a thin dim stripe, stamped lettering,
// vent slots where there is room.
Layer rear(const std::string& name, int w, int h, Rgb accent, const std::string& title) {
    Layer l(w, h);
    cairo_t* cr = l.cr();
    brushed(l, 0, 0, w, h, pal::back, 0.010, seedOf(name));
    setColor(cr, scale(accent, 0.55));
    cairo_rectangle(cr, 0, kBand, w, 1);
    cairo_fill(cr);
    text(cr, title + " - JACKS", 10, 10, 8, pal::silkDim);
    if (w >= 200 && h >= 90) {
        // Vent slots along the lower right.
        const int n = std::min(8, (w - 40) / 14);
        for (int i = 0; i < n; ++i) {
            const double x = w - 14 - (i + 1) * 10, y = h - 22;
            setColor(cr, hex(0x050506));
            roundedRect(cr, x, y, 4, 12, 2);
            cairo_fill(cr);
            setColor(cr, hex(0xFFFFFF), 0.08);
            cairo_rectangle(cr, x + 1, y + 11, 2, 1);
            cairo_fill(cr);
        }
    }
    edges(cr, w, h);
    screws(cr, w, h, name + "back");
    return l;
}

// ---- special faceplates ----

// The sequencer's main view. Its step columns are placed by the panel in
// code (column k at x = 61 + 20k): a black strip behind the step lamps,
// LED windows behind the two-digit note and octave numbers, tick dots
// around the two knobs of each column, and the controls band at the bottom.
Layer sequencerMain() {
    const int w = 768, h = 192;
    Layer l = front("FOND_SEQUENCEUR", w, h, pal::sequencer, "STEP SEQUENCER", true);
    cairo_t* cr = l.cr();
    for (int g = 0; g < 8; ++g) {
        // Groups of four steps on alternating shades.
        if (g % 2 == 0) {
            setColor(cr, hex(0xFFFFFF), 0.035);
            cairo_rectangle(cr, 60 + 80 * g, 2, 80, 160);
            cairo_fill(cr);
        }
    }
    recess(cr, 58, 3, 20 * 32 + 4, 12, hex(0x000000));
    for (int k = 0; k < 32; ++k) {
        const int x = 61 + 20 * k;
        for (int y : {36, 73}) {
            recess(cr, x - 1, y - 1, 19, 18, pal::ledCell);
            // White under the digits: the LED sprites are multiplied onto
            // the faceplate. Kept one pixel inside each digit's cell.
            setColor(cr, hex(0xFFFFFF));
            cairo_rectangle(cr, x + 1, y + 1, 6, 14);
            cairo_rectangle(cr, x + 10, y + 1, 6, 14);
            cairo_fill(cr);
        }
        for (int yc : {114, 144}) arcScale(cr, x + 9, yc, 9.0);
        // Cream strips under the volume and length labels (black text,
        // grey past the step count).
        for (int y : {123, 153}) {
            recess(cr, x - 1, y, 19, 11, pal::cream);
        }
    }
    const std::pair<const char*, int> rows[] = {{"STEP", 12}, {"MUTE", 23}, {"OCT", 48}, {"NOTE", 85},
                                                {"VOL", 118}, {"LEN", 148}};
    for (const auto& [label, base] : rows) text(cr, label, 10, base, 8, pal::silk);
    return l;
}

// The mixer's 21 channel strips are placed in code: column s at
// x = 18 + 90s (number), 28 + 90s (mute), 50 + 90s (knob), 68 + 90s (level),
// row k at y = 65 + 18k.
Layer mixerFront() {
    const int w = 264, h = 240;
    Layer l = front("FOND_MIXER", w, h, pal::mixer, "MIXER");
    cairo_t* cr = l.cr();
    for (int s = 0; s < 3; ++s) {
        const int x = 14 + 90 * s;
        recess(cr, x, 60, 72, 130, hex(0x202226), 0.9);
        text(cr, "CH", x + 1, 57, 8, pal::silkDim);
        text(cr, "MUTE", x + 15, 57, 8, pal::silk);
        text(cr, "GAIN", x + 42, 57, 8, pal::silk);
        for (int k = 0; k < 7; ++k) {
            const double cx = 58 + 90 * s, cy = 75 + 18 * k;
            arcScale(cr, cx, cy, 7.5);
            if (k > 0) {
                setColor(cr, hex(0), 0.35);
                cairo_rectangle(cr, x + 2, 65 + 18 * k - 2, 68, 1);
                cairo_fill(cr);
            }
        }
    }
    return l;
}

// The sequencer's mini view: a strip of 32 unlit step lamps and a hint
// that VIEW opens the step editor.
Layer sequencerMini(int w, int h) {
    Layer l = front("FOND_SEQUENCEUR_MINI", w, h, pal::sequencer, "SEQUENCER");
    cairo_t* cr = l.cr();
    recess(cr, 56, 26, 20 * 16 + 6, 16, hex(0x000000));
    for (int k = 0; k < 32; ++k) {
        setColor(cr, k % 4 == 0 ? scale(pal::lampGreenOff, 1.6) : pal::lampGreenOff);
        circle(cr, 62 + 10 * k, 34, 3);
        cairo_fill(cr);
    }
    text(cr, "32 STEPS  8 PATTERNS", 56, 60, 8, pal::silkDim);
    text(cr, "VIEW OPENS THE STEP EDITOR", 56, 74, 8, pal::silkDim);
    return l;
}

// A small picture of a keyboard, two octaves.
void miniKeys(cairo_t* cr, double x, double y, double keyW, double hgt, int whites) {
    for (int i = 0; i < whites; ++i) {
        cairo_rectangle(cr, x + i * keyW + 0.5, y + 0.5, keyW - 1, hgt - 1);
        cairo_pattern_t* p = cairo_pattern_create_linear(0, y, 0, y + hgt);
        cairo_pattern_add_color_stop_rgb(p, 0, 0.85, 0.84, 0.80);
        cairo_pattern_add_color_stop_rgb(p, 1, 0.98, 0.97, 0.94);
        cairo_set_source(cr, p);
        cairo_fill(cr);
        cairo_pattern_destroy(p);
    }
    const bool hasBlack[7] = {true, true, false, true, true, true, false};
    for (int i = 0; i < whites - 1; ++i) {
        if (!hasBlack[i % 7]) continue;
        setColor(cr, hex(0x111113));
        cairo_rectangle(cr, x + (i + 1) * keyW - keyW * 0.32, y, keyW * 0.64, hgt * 0.6);
        cairo_fill(cr);
    }
}

Layer keyboardFront() {
    Layer l = front("FOND_KEYBOARD", 112, 92, pal::keyboard, "KEYBOARD");
    cairo_t* cr = l.cr();
    recess(cr, 9, 66, 94, 20, hex(0x0A0A0B));
    miniKeys(cr, 10, 67, 92.0 / 14, 18, 14);
    return l;
}

Layer loadDialog() {
    const int w = 512, h = 256;
    Layer l = front("FOND_LOAD", w, h, pal::system, "LOAD PATCH");
    cairo_t* cr = l.cr();
    // The list window: ten rows of 16 pixels from y = 48, wide enough for a
    // name right-aligned in 32 label characters from x = 100.
    recess(cr, 92, 44, 212, 168, pal::screenGlass);
    for (int i = 0; i < 10; ++i)
        if (i % 2) {
            setColor(cr, hex(0xFFFFFF), 0.04);
            cairo_rectangle(cr, 93, 46 + 16 * i, 210, 16);
            cairo_fill(cr);
        }
    text(cr, "MVL/", 96, 40, 8, pal::silkDim);
    text(cr, "CLICK A PATCH", 356, 66, 8, pal::silkDim);
    text(cr, "TO LOAD IT", 356, 78, 8, pal::silkDim);
    text(cr, "SCROLL", 356, 128, 8, pal::silkDim);
    text(cr, "ESC CLOSES", 356, 200, 8, pal::silkDim);
    return l;
}

Layer infoDash() {
    Layer l = front("FOND_DASH", 256, 96, pal::system, "INFO");
    cairo_t* cr = l.cr();
    // The three labels of the info dashboard sit at x = 80, y = 25, 45, 65.
    const std::pair<const char*, int> rows[] = {{"NAME", 25}, {"TYPE", 45}, {"VIEW", 65}};
    for (const auto& [label, y] : rows) {
        text(cr, label, 12, y + 6, 8, pal::silk);
        recess(cr, 76, y - 3, 168, 13, pal::screenGlass);
    }
    return l;
}

// The demonstration panel: rounded corners, so it has a mask.
Layer demo() {
    const int w = 512, h = 256;
    Layer plate = front("FOND_DEMO", w, h, pal::oscillator, "MORVEL DEMO PANEL");
    Layer l(w, h);
    cairo_t* cr = l.cr();
    cairo_set_source_surface(cr, plate.surface(), 0, 0);
    roundedRect(cr, 0, 0, w, h, 10);
    cairo_fill(cr);
    // Section outlines.
    recess(cr, 16, 24, 232, 104, hex(0x25282C), 0.8);
    recess(cr, 264, 24, 232, 104, hex(0x25282C), 0.8);
    recess(cr, 16, 140, 480, 100, hex(0x25282C), 0.8);
    text(cr, "OSCILLATOR", 22, 34, 8, pal::oscillator);
    text(cr, "FILTER", 270, 34, 8, pal::filter);
    text(cr, "SEQUENCE AND PATCHING", 22, 150, 8, pal::sequencer);
    return l;
}

}  // namespace

void makePlates(Archive& a) {
    struct Kind {
        const char* name;  // FOND_<name> and FOND_<name>_BACK
        int w, h;
        Rgb accent;
        const char* title;
    };
    // Column width x row step of each kind (the fronts leave a gap below them
// in their cell; the sequencer's and the sampler's main views are opened
// over their neighbours): keyboards 120 x 96,
    // sequencers 440 x 112, oscillators 210 x 142, samplers 420 x 105,
    // amplifiers 150 x 84, filters 240 x 126, mixers 300 x 249.
    const Kind kinds[] = {
        {"KEYBOARD", 112, 92, pal::keyboard, "KEYBOARD"},
        {"SEQUENCEUR", 432, 104, pal::sequencer, "SEQUENCER"},
        {"VCO", 208, 128, pal::oscillator, "OSCILLATOR"},
        {"SAMPLER", 416, 104, pal::sampler, "SAMPLER"},
        {"VCA", 144, 80, pal::amplifier, "AMPLIFIER"},
        {"VCF", 224, 120, pal::filter, "FILTER"},
        {"MIXER", 264, 240, pal::mixer, "MIXER"},
    };
    for (const auto& k : kinds) {
        const std::string n = k.name;
        if (n == "KEYBOARD") a.image("FOND_KEYBOARD", keyboardFront());
        else if (n == "MIXER") a.image("FOND_MIXER", mixerFront());
        else if (n == "SEQUENCEUR") {
            a.image("FOND_SEQUENCEUR", sequencerMain());
            a.image("FOND_SEQUENCEUR_MINI", sequencerMini(k.w, k.h));
        } else if (n == "SAMPLER") {
            a.image("FOND_SAMPLER", front("FOND_SAMPLER", k.w, 128, k.accent, k.title));
            a.image("FOND_SAMPLER_MINI", front("FOND_SAMPLER_MINI", k.w, 48, k.accent, k.title));
        } else {
            a.image("FOND_" + n, front("FOND_" + n, k.w, k.h, k.accent, k.title));
        }
        a.image("FOND_" + n + "_BACK", rear("FOND_" + n + "_BACK", k.w, k.h, k.accent, k.title));
    }
    a.image("FOND_SYSTEM_DASH", front("FOND_SYSTEM_DASH", 128, 64, pal::system, "SYSTEM"));
    a.image("FOND_MODULE_DASH", front("FOND_MODULE_DASH", 192, 64, pal::system, "NEW MODULE"));
    a.image("FOND_DASH", infoDash());
    a.image("FOND_LOAD", loadDialog());
    a.masked("FOND_DEMO", "FOND_MASK_DEMO", demo());
}

}  // namespace art
