// The editor's turning background tile and the start-up screen.
#include "art.h"
#include "palette.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace art {

namespace {

double smooth(double e0, double e1, double x) {
    const double t = std::clamp((x - e0) / (e1 - e0), 0.0, 1.0);
    return t * t * (3 - 2 * t);
}

uint32_t pack(double r, double g, double b) {
    auto c = [](double v) { return uint32_t(std::lround(std::clamp(v, 0.0, 1.0) * 255.0)); };
    return 0xFF000000u | (c(r) << 16) | (c(g) << 8) | c(b);
}

}  // namespace

// The editor draws a 4 x 4 block of these 256-pixel tiles, each turned about
// its own centre by one more degree every frame. A turning square overlaps
// its neighbours up to 75 pixels from their centres and, near 45 degrees,
// leaves small gaps at the grid corners (the black clear colour). So the
// tile is a small spun-metal platter (radius 70, never covered) with a hub
// and a ring of dots that show the motion, on black like the gaps, so that it
// looks the same whichever tile ends up on top.
void makeBackground(Archive& a) {
    const int n = 256;
    Layer l(n, n);
    Noise noise(0xF0D);
    std::vector<double> rings(512);
    double acc = 0;
    for (auto& v : rings) {
        acc = acc * 0.6 + noise.centred() * 0.4;
        v = acc;
    }
    uint32_t* px = l.pixels();
    const Rgb ground = hex(0x000000), disc = hex(0x1D222A);
    const double c = n / 2.0, R = 70.0;
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x) {
            const double dx = x + 0.5 - c, dy = y + 0.5 - c;
            const double r = std::hypot(dx, dy), th = std::atan2(dy, dx);
            const double cover = std::clamp(R - r + 0.5, 0.0, 1.0);
            Rgb col = ground;
            if (cover > 0) {
                double v = 1.0 + rings[std::min<size_t>(size_t(r * 3), rings.size() - 1)] * 0.12;
                // Two soft highlights across the spun grain.
                v += 0.35 * std::pow(std::max(0.0, std::cos(2 * (th - 0.7))), 8) * smooth(14, 40, r);
                // Grooves at the hub and near the rim.
                v -= 0.45 * std::exp(-std::pow((r - 22) / 1.0, 2));
                v += 0.25 * std::exp(-std::pow((r - 23.5) / 0.8, 2));
                v -= 0.40 * std::exp(-std::pow((r - 66) / 1.1, 2));
                // Ring of dots.
                {
                    const double step = 2 * M_PI / 12;
                    const double k = std::round(th / step);
                    const double d = std::hypot(dx - std::cos(k * step) * 57, dy - std::sin(k * step) * 57);
                    const double dot = std::clamp(2.4 - d, 0.0, 1.0);
                    v = v * (1 - dot) + dot * 2.4;
                }
                Rgb p = scale(disc, v);
                if (r < 12.5) {
                    const double t = std::clamp(12.5 - r, 0.0, 1.0);
                    const double hub = 0.6 + 0.3 * std::cos(th + 2.4) * (r / 12.0);
                    p = mix(p, scale(pal::nickelLight, hub), t);
                    if (r < 2.5) p = mix(p, hex(0x202328), std::clamp(2.5 - r, 0.0, 1.0));
                }
                // Shadowed edge so the platter sits in the ground.
                p = scale(p, 1.0 - 0.5 * smooth(R - 6, R, r));
                col = mix(col, p, cover);
            } else {
                // Soft shadow around the platter.
                col = scale(col, 1.0 - 0.45 * std::exp(-(r - R) / 3.0));
            }
            px[y * l.stride() + x] = pack(col.r, col.g, col.b);
        }
    l.markDirty();
    a.image("FOND_GLOBAL", l);
}

void makeSplash(const std::string& path) {
    const int w = 1024, h = 768;
    Layer l(w, h);
    cairo_t* cr = l.cr();
    brushed(l, 0, 0, w, h, hex(0x25282D), 0.028, 0x5A1A5);
    // One stripe per module kind.
    const Rgb accents[] = {pal::keyboard, pal::sequencer, pal::oscillator, pal::sampler,
                           pal::amplifier, pal::filter, pal::mixer};
    for (int i = 0; i < 7; ++i) {
        setColor(cr, accents[i]);
        cairo_rectangle(cr, std::round(i * w / 7.0), 120, std::round((i + 1) * w / 7.0) - std::round(i * w / 7.0), 6);
        cairo_fill(cr);
    }
    setColor(cr, hex(0), 0.55);
    textCentred(cr, "MORVEL", w / 2.0 + 6, 326, 128, hex(0));
    textCentred(cr, "MORVEL", w / 2.0, 320, 128, pal::silk);
    textCentred(cr, "MODULAR SOFTWARE SYNTHESIZER", w / 2.0, 380, 16, pal::silkDim);
    // A row of knobs, turned to different settings.
    const double angles[] = {-120, -45, 0, 60, 135};
    for (int i = 0; i < 5; ++i) {
        Layer k = knobPicture(96, i % 2 == 0);
        const double cx = w / 2.0 + (i - 2) * 150, cy = 530;
        cairo_save(cr);
        cairo_translate(cr, cx, cy);
        cairo_rotate(cr, angles[i] * M_PI / 180.0);
        cairo_set_source_surface(cr, k.surface(), -48, -48);
        cairo_paint(cr);
        cairo_restore(cr);
        setColor(cr, pal::silk, 0.85);
        cairo_set_line_width(cr, 2);
        for (int t = 0; t <= 10; ++t) {
            const double a = (-135.0 + t * 27.0) * M_PI / 180.0;
            cairo_move_to(cr, cx + std::sin(a) * 56, cy - std::cos(a) * 56);
            cairo_line_to(cr, cx + std::sin(a) * (t % 5 == 0 ? 66 : 62), cy - std::cos(a) * (t % 5 == 0 ? 66 : 62));
        }
        cairo_stroke(cr);
    }
    text(cr, "ZOD ENGINE", 40, h - 36, 16, pal::silkDim);
    const double lw = textWidth(cr, "LOADING...", 16);
    text(cr, "LOADING...", w - 40 - lw, h - 36, 16, pal::ledAmber);
    writeBmp(l, path);
}

}  // namespace art
