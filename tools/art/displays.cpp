// Small screens: the oscillator's waveform display, the filter's response
// display, the sampler's play modes and its waveform screen.
#include "art.h"
#include "palette.h"

#include <cmath>
#include <complex>
#include <functional>
#include <string>
#include <vector>

namespace art {

namespace {

// A dark glass screen in a bezel, filling the whole picture (displays are
// drawn without a mask).
void screen(Layer& l, int grid) {
    cairo_t* cr = l.cr();
    const int w = l.w(), h = l.h();
    setColor(cr, hex(0x050506));
    cairo_paint(cr);
    // Bezel: lighter at the bottom edge, as a recess catches light.
    setColor(cr, hex(0x3E4248));
    cairo_rectangle(cr, 0, h - 1, w, 1);
    cairo_rectangle(cr, w - 1, 0, 1, h);
    cairo_fill(cr);
    cairo_pattern_t* p = cairo_pattern_create_linear(0, 1, 0, h - 1);
    cairo_pattern_add_color_stop_rgb(p, 0, 0.03, 0.07, 0.06);
    cairo_pattern_add_color_stop_rgb(p, 0.5, pal::screenGlass.r, pal::screenGlass.g, pal::screenGlass.b);
    cairo_pattern_add_color_stop_rgb(p, 1, 0.02, 0.05, 0.04);
    cairo_set_source(cr, p);
    cairo_rectangle(cr, 1, 1, w - 2, h - 2);
    cairo_fill(cr);
    cairo_pattern_destroy(p);
    if (grid > 0) {
        setColor(cr, pal::screenGrid, 0.55);
        for (int x = grid; x < w - 1; x += grid) cairo_rectangle(cr, x, 1, 1, h - 2);
        for (int y = grid; y < h - 1; y += grid) cairo_rectangle(cr, 1, y, w - 2, 1);
        cairo_fill(cr);
    }
}

// Glass reflection in the upper part of a screen.
void sheen(Layer& l) {
    cairo_t* cr = l.cr();
    cairo_pattern_t* p = cairo_pattern_create_linear(0, 1, 0, l.h() * 0.5);
    cairo_pattern_add_color_stop_rgba(p, 0, 1, 1, 1, 0.10);
    cairo_pattern_add_color_stop_rgba(p, 1, 1, 1, 1, 0.0);
    cairo_set_source(cr, p);
    cairo_rectangle(cr, 1, 1, l.w() - 2, l.h() * 0.5);
    cairo_fill(cr);
    cairo_pattern_destroy(p);
}

// Draws a phosphor trace through the points, with its glow.
void trace(Layer& l, const std::vector<std::pair<double, double>>& pts, double width, bool fill = false,
           double baseY = 0) {
    Layer g(l.w(), l.h());
    auto path = [&](cairo_t* cr) {
        cairo_new_path(cr);
        for (size_t i = 0; i < pts.size(); ++i)
            (i ? cairo_line_to : cairo_move_to)(cr, pts[i].first, pts[i].second);
    };
    cairo_set_line_join(g.cr(), CAIRO_LINE_JOIN_ROUND);
    path(g.cr());
    setColor(g.cr(), pal::screenTrace, 0.6);
    cairo_set_line_width(g.cr(), width * 2.5);
    cairo_stroke(g.cr());
    blur(g, 1);
    cairo_t* cr = l.cr();
    if (fill) {
        path(cr);
        cairo_line_to(cr, pts.back().first, baseY);
        cairo_line_to(cr, pts.front().first, baseY);
        cairo_close_path(cr);
        setColor(cr, pal::screenTrace, 0.16);
        cairo_fill(cr);
    }
    l.paint(g, 0, 0);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    path(cr);
    setColor(cr, mix(pal::screenTrace, hex(0xFFFFFF), 0.35));
    cairo_set_line_width(cr, width);
    cairo_stroke(cr);
}

void caption(Layer& l, const std::string& s) { text(l.cr(), s, 3, 8, 8, pal::screenTrace, 0.75); }

// ---- waveforms ----

Layer waveDisplay(const std::string& label, const std::function<double(double)>& f, bool stepped) {
    Layer l(64, 32);
    screen(l, 8);
    const double x0 = 4, x1 = 60, yc = 19.5, amp = 8.0;
    std::vector<std::pair<double, double>> pts;
    const int n = stepped ? 56 : 224;
    for (int i = 0; i <= n; ++i) {
        const double t = double(i) / n;  // two cycles across the screen
        pts.push_back({x0 + (x1 - x0) * t, yc - amp * f(std::fmod(t * 2.0, 1.0))});
    }
    trace(l, pts, 1.0);
    caption(l, label);
    sheen(l);
    return l;
}

// ---- filter responses ----

// Magnitude in dB of the usual second-order audio filters at frequency f,
// cut-off f0, quality q and shelf/peak gain g (dB), at 44100 Hz.
double responseDb(int type, double f, double f0, double q, double gDb) {
    const double fs = 44100.0, w0 = 2 * M_PI * f0 / fs, cw = std::cos(w0), sw = std::sin(w0);
    const double alpha = sw / (2 * q), A = std::pow(10.0, gDb / 40.0);
    double b0, b1, b2, a0, a1, a2;
    switch (type) {
    case 0: b0 = (1 - cw) / 2; b1 = 1 - cw; b2 = b0; a0 = 1 + alpha; a1 = -2 * cw; a2 = 1 - alpha; break;
    case 1: b0 = (1 + cw) / 2; b1 = -(1 + cw); b2 = b0; a0 = 1 + alpha; a1 = -2 * cw; a2 = 1 - alpha; break;
    case 2: b0 = alpha; b1 = 0; b2 = -alpha; a0 = 1 + alpha; a1 = -2 * cw; a2 = 1 - alpha; break;
    case 3: b0 = 1; b1 = -2 * cw; b2 = 1; a0 = 1 + alpha; a1 = -2 * cw; a2 = 1 - alpha; break;
    case 4: {
        const double s = 2 * std::sqrt(A) * alpha;
        b0 = A * ((A + 1) - (A - 1) * cw + s); b1 = 2 * A * ((A - 1) - (A + 1) * cw);
        b2 = A * ((A + 1) - (A - 1) * cw - s); a0 = (A + 1) + (A - 1) * cw + s;
        a1 = -2 * ((A - 1) + (A + 1) * cw); a2 = (A + 1) + (A - 1) * cw - s;
        break;
    }
    case 5: {
        const double s = 2 * std::sqrt(A) * alpha;
        b0 = A * ((A + 1) + (A - 1) * cw + s); b1 = -2 * A * ((A - 1) + (A + 1) * cw);
        b2 = A * ((A + 1) + (A - 1) * cw - s); a0 = (A + 1) - (A - 1) * cw + s;
        a1 = 2 * ((A - 1) - (A + 1) * cw); a2 = (A + 1) - (A - 1) * cw - s;
        break;
    }
    default:
        b0 = 1 + alpha * A; b1 = -2 * cw; b2 = 1 - alpha * A; a0 = 1 + alpha / A; a1 = -2 * cw; a2 = 1 - alpha / A;
        break;
    }
    const std::complex<double> z = std::polar(1.0, -2 * M_PI * f / fs);
    const std::complex<double> h = (b0 + b1 * z + b2 * z * z) / (a0 + a1 * z + a2 * z * z);
    return type < 0 ? 0.0 : 20 * std::log10(std::max(std::abs(h), 1e-6));
}

Layer filterDisplay(int type, const std::string& label) {
    Layer l(64, 32);
    screen(l, 0);
    cairo_t* cr = l.cr();
    // Decade lines at 100 Hz, 1 kHz, 10 kHz and the 0 dB line.
    const double x0 = 2, x1 = 62, top = 10, bottom = 30;
    const double dbTop = 12, dbBottom = -30;
    auto xOf = [&](double f) { return x0 + (x1 - x0) * (std::log10(f) - std::log10(20.0)) / 3.0; };
    auto yOf = [&](double db) {
        db = std::clamp(db, dbBottom, dbTop);
        return top + (bottom - top) * (dbTop - db) / (dbTop - dbBottom);
    };
    setColor(cr, pal::screenGrid, 0.8);
    for (double f : {100.0, 1000.0, 10000.0}) cairo_rectangle(cr, std::round(xOf(f)), 9, 1, 21);
    cairo_rectangle(cr, 1, std::round(yOf(0)), 62, 1);
    cairo_fill(cr);
    std::vector<std::pair<double, double>> pts;
    const double q = (type == 2 || type == 3 || type == 6) ? 1.4 : 0.9;
    const double g = type == 4 ? 9 : type == 5 ? 9 : type == 6 ? 10 : 0;
    for (int i = 0; i <= 120; ++i) {
        const double f = 20.0 * std::pow(1000.0, i / 120.0);
        pts.push_back({xOf(f), yOf(responseDb(type, f, 1000.0, q, g))});
    }
    trace(l, pts, 1.0, true, bottom);
    caption(l, label);
    sheen(l);
    return l;
}

// ---- sampler play modes ----

Layer playMode(bool reverse, bool loop, const std::string& label) {
    Layer l(32, 16);
    screen(l, 0);
    cairo_t* cr = l.cr();
    Layer g(32, 16);
    auto symbol = [&](cairo_t* c, Rgb col, double a) {
        setColor(c, col, a);
        const double cx = 7.5, cy = 8;
        if (loop) {
            cairo_set_line_width(c, 1.2);
            cairo_arc(c, cx, cy, 3.6, reverse ? M_PI * 0.35 : M_PI * 1.35, reverse ? M_PI * 2.05 : M_PI * 3.05);
            cairo_stroke(c);
        }
        cairo_new_path(c);
        const double s = loop ? 2.4 : 3.6, tx = loop ? (reverse ? cx - 3.6 : cx + 3.6) : cx, ty = loop ? cy - 1 : cy;
        if (reverse) { cairo_move_to(c, tx - s, ty); cairo_line_to(c, tx + s * 0.8, ty - s); cairo_line_to(c, tx + s * 0.8, ty + s); }
        else { cairo_move_to(c, tx + s, ty); cairo_line_to(c, tx - s * 0.8, ty - s); cairo_line_to(c, tx - s * 0.8, ty + s); }
        cairo_close_path(c);
        cairo_fill(c);
    };
    symbol(g.cr(), pal::screenTrace, 0.7);
    blur(g, 1);
    l.paint(g, 0, 0);
    symbol(cr, mix(pal::screenTrace, hex(0xFFFFFF), 0.3), 1.0);
    text(cr, label, 14, 11, 8, pal::screenTrace);
    sheen(l);
    return l;
}

}  // namespace

void makeDisplays(Archive& a) {
    Noise noise(0x5EED);
    std::vector<double> rnd(64);
    for (auto& v : rnd) v = noise.centred();
    const struct {
        const char* name;
        const char* label;
        std::function<double(double)> f;
        bool stepped;
    } waves[] = {
        {"DISP_SIN", "SINE", [](double t) { return std::sin(2 * M_PI * t); }, false},
        {"DISP_TRI", "TRI", [](double t) { return t < 0.5 ? 4 * t - 1 : 3 - 4 * t; }, false},
        {"DISP_SAW", "SAW", [](double t) { return 1 - 2 * t; }, false},
        {"DISP_SQR", "SQUARE", [](double t) { return t < 0.5 ? 1.0 : -1.0; }, false},
        {"DISP_NOISE", "NOISE", [&](double t) { return rnd[size_t(t * 28) % rnd.size()] * 0.95; }, true},
        {"DISP_PULSE", "PULSE", [](double t) { return t < 0.2 ? 1.0 : -1.0; }, false},
    };
    for (const auto& w : waves) a.image(w.name, waveDisplay(w.label, w.f, w.stepped));

    const char* filters[][2] = {{"DISP_FILTRE_LOWPASS", "LP"},   {"DISP_FILTRE_HIGHPASS", "HP"},
                                {"DISP_FILTRE_BANDPASS", "BP"},  {"DISP_FILTRE_NOTCH", "NOTCH"},
                                {"DISP_FILTRE_LOWSHELF", "LSH"}, {"DISP_FILTRE_HIGHSHELF", "HSH"},
                                {"DISP_FILTRE_PEAKING", "PEAK"}};
    for (int t = 0; t < 7; ++t) a.image(filters[t][0], filterDisplay(t, filters[t][1]));
    // The filter's type 0 passes its input through: a flat line.
    a.image("DISP_FILTRE_PASS", filterDisplay(-1, "PASS"));

    a.image("SMP_PLAY_AV", playMode(false, false, "FWD"));
    a.image("SMP_PLAY_AR", playMode(true, false, "REV"));
    a.image("SMP_PLAY_LOOPAV", playMode(false, true, "FWD"));
    a.image("SMP_PLAY_LOOPAR", playMode(true, true, "REV"));

    // The sampler draws its waveform over this screen: 300 pixels wide from
    // its left edge, about its middle line.
    Layer w(304, 64);
    screen(w, 0);
    setColor(w.cr(), pal::screenGrid, 0.9);
    cairo_rectangle(w.cr(), 2, 32, 300, 1);
    cairo_fill(w.cr());
    sheen(w);
    a.image("DISP_WAVE_SCREEN", w);
}

}  // namespace art
