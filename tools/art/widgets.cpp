// Knobs, scales, jacks, plugs, LED digits, lamps and buttons.
#include "art.h"
#include "palette.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

namespace art {

namespace {

double rad(double deg) { return deg * M_PI / 180.0; }

// Soft drop shadow of a disc, drawn on its own layer and blurred.
void discShadow(Layer& l, double cx, double cy, double r, double alpha) {
    Layer s(l.w(), l.h());
    setColor(s.cr(), hex(0), alpha);
    circle(s.cr(), cx, cy, r);
    cairo_fill(s.cr());
    blur(s, 1);
    l.paint(s, 0, 0);
}

void radialFill(cairo_t* cr, double cx, double cy, double r, Rgb inner, Rgb outer, double hx = -0.35,
                double hy = -0.4) {
    cairo_pattern_t* p =
        cairo_pattern_create_radial(cx + hx * r, cy + hy * r, r * 0.05, cx, cy, r);
    cairo_pattern_add_color_stop_rgb(p, 0, inner.r, inner.g, inner.b);
    cairo_pattern_add_color_stop_rgb(p, 1, outer.r, outer.g, outer.b);
    cairo_set_source(cr, p);
    circle(cr, cx, cy, r);
    cairo_fill(cr);
    cairo_pattern_destroy(p);
}

void linearFill(cairo_t* cr, double x0, double y0, double x1, double y1, Rgb a, Rgb b) {
    cairo_pattern_t* p = cairo_pattern_create_linear(x0, y0, x1, y1);
    cairo_pattern_add_color_stop_rgb(p, 0, a.r, a.g, a.b);
    cairo_pattern_add_color_stop_rgb(p, 1, b.r, b.g, b.b);
    cairo_set_source(cr, p);
    cairo_fill(cr);
    cairo_pattern_destroy(p);
}

// ---- knobs ----

// A knob whose pointer points straight up: the engine turns the sprite by
// its angle, clockwise for positive values, so angle 0 reads as "up".
Layer knob(int size, bool creamCap) {
    Layer l(size, size);
    cairo_t* cr = l.cr();
    const double c = size / 2.0, rs = size * 0.45, rc = size * 0.33;
    discShadow(l, c + size * 0.03, c + size * 0.05, rs, 0.55);
    // Skirt with a ring of ridges.
    radialFill(cr, c, c, rs, hex(0x3A3C40), hex(0x0E0F10));
    if (size >= 24) {
        cairo_set_line_width(cr, 1.0);
        for (int i = 0; i < 36; ++i) {
            const double a = rad(i * 10.0);
            setColor(cr, hex(0x55585E), 0.6);
            cairo_move_to(cr, c + std::sin(a) * rc * 1.08, c - std::cos(a) * rc * 1.08);
            cairo_line_to(cr, c + std::sin(a) * rs * 0.96, c - std::cos(a) * rs * 0.96);
            cairo_stroke(cr);
        }
    }
    // Cap.
    if (creamCap) {
        radialFill(cr, c, c, rc, hex(0xFBF6E6), pal::creamEdge);
        setColor(cr, hex(0x6E6652), 0.8);
    } else {
        radialFill(cr, c, c, rc, hex(0x4A4D52), hex(0x141517));
        setColor(cr, hex(0x000000), 0.8);
    }
    cairo_set_line_width(cr, size >= 24 ? 1.0 : 0.6);
    circle(cr, c, c, rc);
    cairo_stroke(cr);
    // Pointer: a bright line from near the centre to the skirt's edge.
    const Rgb ptr = creamCap ? pal::pointerBright : pal::pointerWhite;
    const double pw = size >= 24 ? 3.0 : 2.0;
    setColor(cr, ptr);
    cairo_rectangle(cr, c - pw / 2, c - rs + (size >= 24 ? 1.0 : 0.5), pw, rs - size * 0.12);
    cairo_fill(cr);
    return l;
}

// Tick scale for a knob, drawn under it on the faceplate: 11 ticks over
// 270 degrees, longer at both ends and in the middle.
Layer knobScale(int size, double knobRadius) {
    Layer l(size, size);
    cairo_t* cr = l.cr();
    const double c = size / 2.0;
    const double r1 = knobRadius + (size >= 48 ? 3 : 2), r2 = size / 2.0 - 1.0;
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    for (int i = 0; i <= 10; ++i) {
        const double a = rad(-135.0 + i * 27.0);
        const bool major = (i == 0 || i == 5 || i == 10);
        const double ro = major ? r2 : r1 + (r2 - r1) * 0.6;
        cairo_set_line_width(cr, size >= 48 ? (major ? 2.0 : 1.4) : (major ? 1.4 : 1.0));
        setColor(cr, pal::silk, major ? 1.0 : 0.8);
        cairo_move_to(cr, c + std::sin(a) * r1, c - std::cos(a) * r1);
        cairo_line_to(cr, c + std::sin(a) * ro, c - std::cos(a) * ro);
        cairo_stroke(cr);
    }
    return l;
}

// ---- jacks and plugs ----

Layer jack(Rgb ring) {
    Layer l(16, 16);
    cairo_t* cr = l.cr();
    const double c = 8.0;
    discShadow(l, c + 0.6, c + 0.9, 7.2, 0.6);
    setColor(cr, ring);
    circle(cr, c, c, 7.6);
    cairo_fill(cr);
    // Hexagon nut.
    cairo_new_path(cr);
    for (int i = 0; i < 6; ++i) {
        const double a = rad(30.0 + i * 60.0);
        const double x = c + std::cos(a) * 6.8, y = c + std::sin(a) * 6.8;
        if (i == 0) cairo_move_to(cr, x, y); else cairo_line_to(cr, x, y);
    }
    cairo_close_path(cr);
    linearFill(cr, 2, 2, 14, 14, pal::nickelLight, pal::nickelDark);
    // Sleeve and hole.
    radialFill(cr, c, c, 4.4, hex(0xC9CDD2), hex(0x5C6066), 0.3, 0.35);
    radialFill(cr, c, c, 2.9, hex(0x2A2C2F), hex(0x000000), 0.2, 0.3);
    return l;
}

Layer plug(bool plugged) {
    Layer l(16, 16);
    cairo_t* cr = l.cr();
    const double c = 8.0;
    const double r = plugged ? 7.4 : 6.4;
    discShadow(l, c + (plugged ? 0.6 : 1.4), c + (plugged ? 0.9 : 1.8), r, plugged ? 0.6 : 0.5);
    if (plugged) {
        // Nickel collar of the jack, seen around the seated plug.
        setColor(cr, pal::nickelDark);
        circle(cr, c, c, 7.6);
        cairo_fill(cr);
        radialFill(cr, c, c, 6.6, pal::plugBody, pal::plugBodyDark);
    } else {
        radialFill(cr, c, c, r, scale(pal::plugBody, 1.15), pal::plugBodyDark);
    }
    // Grip ridges.
    cairo_set_line_width(cr, 0.8);
    for (int i = 0; i < 12; ++i) {
        const double a = rad(i * 30.0);
        const double ro = (plugged ? 6.4 : 6.2);
        setColor(cr, hex(0x6E8CE0), 0.55);
        cairo_move_to(cr, c + std::cos(a) * ro * 0.72, c + std::sin(a) * ro * 0.72);
        cairo_line_to(cr, c + std::cos(a) * ro, c + std::sin(a) * ro);
        cairo_stroke(cr);
    }
    if (plugged) {
        // Strain relief where the cable leaves the plug.
        radialFill(cr, c, c, 2.8, hex(0x1B2F70), hex(0x07102E));
    } else {
        // The tip shows: a bright pin in a dark insulator ring.
        radialFill(cr, c, c, 3.4, hex(0x101010), hex(0x000000));
        radialFill(cr, c, c, 2.2, hex(0xFFFFFF), hex(0x9AA0A8));
    }
    return l;
}

// ---- LED digits ----

// Seven-segment layout on the 8 x 16 cell: {x, y, w, h} per segment a..g.
constexpr int kSeg[7][4] = {
    {2, 1, 4, 2},   // a
    {5, 3, 2, 4},   // b
    {5, 9, 2, 4},   // c
    {2, 13, 4, 2},  // d
    {1, 9, 2, 4},   // e
    {1, 3, 2, 4},   // f
    {2, 7, 4, 2},   // g
};
constexpr unsigned kDigitSegs[10] = {0x3F, 0x06, 0x5B, 0x4F, 0x66, 0x6D, 0x7D, 0x07, 0x7F, 0x6F};

// One LED cell. digit < 0 is the blank cell (all segments unlit).
Layer ledDigit(int digit, bool bright) {
    Layer l(8, 16);
    cairo_t* cr = l.cr();
    setColor(cr, pal::ledCell);
    cairo_paint(cr);
    const unsigned segs = digit < 0 ? 0 : kDigitSegs[digit];
    const Rgb lit = bright ? pal::ledAmber : pal::ledAmberDim;
    for (int s = 0; s < 7; ++s) {
        setColor(cr, pal::ledGhost);
        cairo_rectangle(cr, kSeg[s][0], kSeg[s][1], kSeg[s][2], kSeg[s][3]);
        cairo_fill(cr);
    }
    Layer glow(8, 16);
    for (int s = 0; s < 7; ++s)
        if (segs & (1u << s)) {
            setColor(glow.cr(), lit, bright ? 0.7 : 0.45);
            cairo_rectangle(glow.cr(), kSeg[s][0], kSeg[s][1], kSeg[s][2], kSeg[s][3]);
            cairo_fill(glow.cr());
        }
    blur(glow, 1);
    l.paint(glow, 0, 0);
    for (int s = 0; s < 7; ++s)
        if (segs & (1u << s)) {
            setColor(cr, lit);
            cairo_rectangle(cr, kSeg[s][0], kSeg[s][1], kSeg[s][2], kSeg[s][3]);
            cairo_fill(cr);
        }
    return l;
}

// ---- lamps ----

// A round lamp in a dark bezel; the same outline lit or not, so that both
// share one mask. Everything outside the bezel is black, so the lamp also
// reads correctly when drawn without its mask on a black strip.
Layer lamp(int size, Rgb on, Rgb off, bool lit) {
    Layer l(size, size);
    cairo_t* cr = l.cr();
    const double c = size / 2.0, rb = size / 2.0 - 0.1, rl = size * 0.36;
    radialFill(cr, c, c, rb, hex(0x3C3F44), hex(0x101113));
    if (lit) {
        radialFill(cr, c, c, rb * 0.95, mix(on, hex(0x000000), 0.35), mix(on, hex(0x101113), 0.85), 0, 0);
        radialFill(cr, c, c, rl, mix(on, hex(0xFFFFFF), 0.75), on, -0.2, -0.25);
    } else {
        radialFill(cr, c, c, rl, scale(off, 1.8), off, -0.3, -0.35);
    }
    // Small specular highlight on the lens.
    if (size >= 12) {
        setColor(cr, hex(0xFFFFFF), lit ? 0.7 : 0.25);
        circle(cr, c - rl * 0.35, c - rl * 0.4, rl * 0.22);
        cairo_fill(cr);
    }
    return l;
}

// ---- keys and buttons ----

enum class Face { Dark, Touch, Lit };

// A rounded key cap filling the whole cell (the shared outline of a button
// family).
void keyCap(cairo_t* cr, double w, double h, double r, Face f) {
    setColor(cr, hex(0x050506));
    roundedRect(cr, 0.5, 0.5, w - 1, h - 1, r);
    cairo_fill(cr);
    Rgb top = hex(0x44474D), bottom = hex(0x1E1F22);
    if (f == Face::Touch) { top = hex(0x60646B); bottom = hex(0x2E3034); }
    if (f == Face::Lit) { top = hex(0xFFD27A); bottom = hex(0xC27A1A); }
    roundedRect(cr, 1.5, 1.5, w - 3, h - 3, std::max(0.5, r - 1));
    linearFill(cr, 0, 1.5, 0, h - 1.5, top, bottom);
    // Light upper edge.
    setColor(cr, hex(0xFFFFFF), f == Face::Lit ? 0.5 : 0.18);
    cairo_rectangle(cr, 2.5, 1.5, w - 5, 1);
    cairo_fill(cr);
}

void triangle(cairo_t* cr, double cx, double cy, double s, int dir, Rgb c) {
    // dir: 0 up, 1 down, 2 left, 3 right
    const double a = s / 2;
    setColor(cr, c);
    cairo_new_path(cr);
    switch (dir) {
    case 0: cairo_move_to(cr, cx, cy - a); cairo_line_to(cr, cx + a, cy + a * 0.7); cairo_line_to(cr, cx - a, cy + a * 0.7); break;
    case 1: cairo_move_to(cr, cx, cy + a); cairo_line_to(cr, cx + a, cy - a * 0.7); cairo_line_to(cr, cx - a, cy - a * 0.7); break;
    case 2: cairo_move_to(cr, cx - a, cy); cairo_line_to(cr, cx + a * 0.7, cy - a); cairo_line_to(cr, cx + a * 0.7, cy + a); break;
    default: cairo_move_to(cr, cx + a, cy); cairo_line_to(cr, cx - a * 0.7, cy - a); cairo_line_to(cr, cx - a * 0.7, cy + a); break;
    }
    cairo_close_path(cr);
    cairo_fill(cr);
}

Layer arrowKey(int size, int dir, Face f, bool amberArrow) {
    Layer l(size, size);
    keyCap(l.cr(), size, size, size >= 12 ? 2.5 : 1.5, f == Face::Lit ? Face::Dark : f);
    triangle(l.cr(), size / 2.0, size / 2.0 + (dir == 0 ? 0.5 : dir == 1 ? -0.5 : 0), size * 0.48, dir,
             amberArrow ? pal::ledAmber : pal::silk);
    return l;
}

Layer labelKey(int w, int h, const std::string& label, Face f, bool indicator) {
    Layer l(w, h);
    cairo_t* cr = l.cr();
    keyCap(cr, w, h, 2.5, f == Face::Lit ? Face::Dark : f);
    // Indicator bar along the top edge.
    setColor(cr, indicator ? pal::ledAmber : hex(0x3A2A14));
    cairo_rectangle(cr, w / 2.0 - 5, 2, 10, 1);
    cairo_fill(cr);
    textCentred(cr, label, w / 2.0, h - 4, 8, pal::silk);
    return l;
}

Layer patternKey(int n, bool lit) {
    Layer l(16, 16);
    keyCap(l.cr(), 16, 16, 2.5, lit ? Face::Lit : Face::Dark);
    textCentred(l.cr(), std::to_string(n), 8, 12, 8, lit ? hex(0x2A1804) : pal::silk);
    return l;
}

enum class CheckStyle { Tick, Red, Amber, Green };

Layer check(CheckStyle s, bool on) {
    Layer l(16, 16);
    cairo_t* cr = l.cr();
    setColor(cr, hex(0x050506));
    roundedRect(cr, 0.5, 0.5, 15, 15, 2.5);
    cairo_fill(cr);
    if (s == CheckStyle::Tick) {
        roundedRect(cr, 2, 2, 12, 12, 1.5);
        linearFill(cr, 0, 2, 0, 14, hex(0xDADDE1), hex(0x8E939A));
        if (on) {
            setColor(cr, hex(0x101012));
            cairo_set_line_width(cr, 2.0);
            cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
            cairo_move_to(cr, 4.5, 8.5);
            cairo_line_to(cr, 7, 11);
            cairo_line_to(cr, 11.5, 5);
            cairo_stroke(cr);
        }
        return l;
    }
    const Rgb col = s == CheckStyle::Red ? pal::lampRed : s == CheckStyle::Amber ? pal::ledAmber : pal::lampGreen;
    const Rgb offc = s == CheckStyle::Red ? pal::lampRedOff : s == CheckStyle::Amber ? hex(0x3E2A10) : pal::lampGreenOff;
    roundedRect(cr, 1.5, 1.5, 13, 13, 1.5);
    linearFill(cr, 0, 1.5, 0, 14.5, hex(0x44474D), hex(0x1E1F22));
    // LED window in the key.
    if (on) {
        Layer g(16, 16);
        setColor(g.cr(), col, 0.8);
        roundedRect(g.cr(), 3.5, 5.5, 9, 5, 1);
        cairo_fill(g.cr());
        blur(g, 1);
        l.paint(g, 0, 0);
    }
    roundedRect(cr, 4.5, 6.5, 7, 3, 0.8);
    linearFill(cr, 0, 6.5, 0, 9.5, on ? mix(col, hex(0xFFFFFF), 0.6) : scale(offc, 1.4), on ? col : offc);
    return l;
}

Layer powerKey(bool lit) {
    Layer l(16, 16);
    cairo_t* cr = l.cr();
    const double c = 8.0;
    radialFill(cr, c, c, 7.8, pal::nickelLight, pal::nickelDark);
    radialFill(cr, c, c, 6.0, lit ? pal::lampGreen : hex(0x16331A), lit ? hex(0x1F8A2C) : hex(0x0B1A0D), 0, 0);
    radialFill(cr, c, c, 4.6, lit ? hex(0x5A5E64) : hex(0x3A3D42), hex(0x141517));
    // Power symbol.
    const Rgb sym = lit ? hex(0xC8FFCF) : hex(0x8A9098);
    setColor(cr, sym);
    cairo_set_line_width(cr, 1.1);
    cairo_arc(cr, c, c + 0.3, 2.4, rad(-60 - 90), rad(240 - 90));
    cairo_stroke(cr);
    cairo_rectangle(cr, c - 0.55, c - 3.3, 1.1, 3.0);
    cairo_fill(cr);
    return l;
}

}  // namespace

void makeWidgets(Archive& a) {
    // Knobs: "SLD" is the small knob the mixer and the sequencer place in
    // code; the others serve the panel layouts.
    {
        Layer k16c = knob(16, true), k16b = knob(16, false), k32c = knob(32, true), k32b = knob(32, false);
        a.masked("SLD", "SLD_MASK", k16c);
        a.masked("SLD_BLACK", "SLD_BLACK_MASK", k16b);
        a.masked("KNOB", "KNOB_MASK", k32c);
        a.masked("KNOB_BLACK", "KNOB_BLACK_MASK", k32b);
        Layer s32 = knobScale(32, 16 * 0.45), s64 = knobScale(64, 32 * 0.45);
        a.masked("SCALE_S", "SCALE_S_MASK", s32);
        a.masked("SCALE_L", "SCALE_L_MASK", s64);
    }
    // Jacks by port family (signal, gate, sync) and the two plug sprites.
    {
        Layer js = jack(hex(0xC8CCD2)), jg = jack(hex(0xD8342A)), jy = jack(hex(0x2F6BE0));
        a.masked("JACK", "JACK_MASK", js);
        a.masked("JACK_GATE", "JACK_GATE_MASK", jg);
        a.masked("JACK_SYNC", "JACK_SYNC_MASK", jy);
        Layer p = plug(true), u = plug(false);
        a.masked("FICHE_PLUG", "FICHE_PLUG_MASK", p);
        a.masked("FICHE_UNPLUG", "FICHE_UNPLUG_MASK", u);
    }
    // LED digits: set 1 normal, set 2 dimmed; tile 0 blank, tile i digit i-1.
    for (int set = 1; set <= 2; ++set) {
        std::vector<Layer> cells;
        cells.push_back(ledDigit(-1, set == 1));
        for (int d = 0; d <= 9; ++d) cells.push_back(ledDigit(d, set == 1));
        std::vector<const Layer*> tiles;
        for (const auto& c : cells) tiles.push_back(&c);
        a.sheet("LED_NUMERIC_" + std::to_string(set), tiles);
    }
    // Lamps: 1 small green (step lamp), 2 small red (step mute),
    // 3 large green, 4 large red. Tile 0 off, tile 1 on.
    {
        struct L { int n, size; Rgb on, off; };
        const L lamps[] = {{1, 8, pal::lampGreen, pal::lampGreenOff}, {2, 8, pal::lampRed, pal::lampRedOff},
                           {3, 16, pal::lampGreen, pal::lampGreenOff}, {4, 16, pal::lampRed, pal::lampRedOff}};
        for (const auto& d : lamps) {
            Layer off = lamp(d.size, d.on, d.off, false), on = lamp(d.size, d.on, d.off, true);
            const std::string name = "LAMP_LED_" + std::to_string(d.n);
            a.sheet(name, {&off, &on});
            a.maskOf(name + "_MASK", {&off, &on});
        }
    }
    // The sequencer's small step keys: tile 0 plain, tile 1 lit arrow.
    {
        Layer a0 = arrowKey(8, 0, Face::Dark, false), a1 = arrowKey(8, 0, Face::Dark, true);
        Layer b0 = arrowKey(8, 1, Face::Dark, false), b1 = arrowKey(8, 1, Face::Dark, true);
        a.sheet("BUTTONSTYLEA", {&a0, &a1});
        a.maskOf("BUTTONSTYLEA_MASK", {&a0, &a1});
        a.sheet("BUTTONSTYLEB", {&b0, &b1});
        a.maskOf("BUTTONSTYLEB_MASK", {&b0, &b1});
    }
    // Arrow keys.
    {
        const char* names[] = {"BTN_UP", "BTN_DOWN", "BTN_LEFT", "BTN_RIGHT"};
        for (int d = 0; d < 4; ++d) {
            Layer off = arrowKey(16, d, Face::Dark, false), on = arrowKey(16, d, Face::Dark, true),
                  touch = arrowKey(16, d, Face::Touch, false);
            a.family(names[d], {{"OFF", &off}, {"ON", &on}, {"TOUCH", &touch}});
        }
    }
    // Check buttons.
    {
        const CheckStyle styles[] = {CheckStyle::Tick, CheckStyle::Red, CheckStyle::Amber, CheckStyle::Green};
        for (int i = 0; i < 4; ++i) {
            Layer off = check(styles[i], false), on = check(styles[i], true);
            a.family("CHK_" + std::to_string(i + 1), {{"OFF", &off}, {"ON", &on}});
        }
    }
    // Illuminated power key.
    {
        Layer dark = powerKey(false), lit = powerKey(true);
        a.family("BTN_PWR", {{"DARK", &dark}, {"LIT", &lit}});
    }
    // Labelled keys for the dashboards, the dialogs and the panels.
    {
        const std::pair<const char*, const char*> keys[] = {
            {"BTN_LOAD", "LOAD"}, {"BTN_SAVE", "SAVE"}, {"BTN_JACKS", "JACKS"}, {"BTN_NEW", "NEW"},
            {"BTN_KEY", "KEYB"},  {"BTN_VCO", "VCO"},   {"BTN_VCA", "VCA"},     {"BTN_VCF", "VCF"},
            {"BTN_MIXER", "MIXER"}, {"BTN_SEQ", "SEQ"}, {"BTN_SAMPLER", "SMPL"}, {"BTN_VIEW", "VIEW"},
        };
        for (const auto& [name, label] : keys) {
            Layer off = labelKey(32, 16, label, Face::Dark, false), on = labelKey(32, 16, label, Face::Dark, true),
                  touch = labelKey(32, 16, label, Face::Touch, false);
            a.family(name, {{"OFF", &off}, {"ON", &on}, {"TOUCH", &touch}});
        }
    }
    // Pattern keys 1..8, dark and lit.
    {
        std::vector<Layer> dark, lit;
        for (int i = 0; i < 8; ++i) {
            dark.push_back(patternKey(i + 1, false));
            lit.push_back(patternKey(i + 1, true));
        }
        std::vector<const Layer*> d, l, all;
        for (auto& x : dark) { d.push_back(&x); all.push_back(&x); }
        for (auto& x : lit) { l.push_back(&x); all.push_back(&x); }
        a.sheet("PAT_DARK", d);
        a.sheet("PAT_LIT", l);
        a.maskOf("PAT_DARK_MASK", all);
        a.maskOf("PAT_LIT_MASK", all);
    }
}

}  // namespace art

namespace art {
Layer knobPicture(int size, bool cream) { return knob(size, cream); }
}  // namespace art
