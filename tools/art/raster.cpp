#include "raster.h"

#include <cairo-ft.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <stdexcept>
#include <vector>

namespace art {

Rgb hex(uint32_t rgb) {
    return {((rgb >> 16) & 0xFF) / 255.0, ((rgb >> 8) & 0xFF) / 255.0, (rgb & 0xFF) / 255.0};
}

Rgb mix(Rgb a, Rgb b, double t) {
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

Rgb scale(Rgb c, double k) {
    return {std::clamp(c.r * k, 0.0, 1.0), std::clamp(c.g * k, 0.0, 1.0),
            std::clamp(c.b * k, 0.0, 1.0)};
}

Layer::Layer(int w, int h) : w_(w), h_(h) {
    surf_ = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, h);
    cr_ = cairo_create(surf_);
}

Layer::~Layer() {
    if (cr_) cairo_destroy(cr_);
    if (surf_) cairo_surface_destroy(surf_);
}

Layer::Layer(Layer&& o) noexcept : w_(o.w_), h_(o.h_), surf_(o.surf_), cr_(o.cr_) {
    o.surf_ = nullptr;
    o.cr_ = nullptr;
}

uint32_t* Layer::pixels() {
    cairo_surface_flush(surf_);
    return reinterpret_cast<uint32_t*>(cairo_image_surface_get_data(surf_));
}

int Layer::stride() const { return cairo_image_surface_get_stride(surf_) / 4; }

void Layer::markDirty() { cairo_surface_mark_dirty(surf_); }

void Layer::paint(const Layer& src, double x, double y, double alpha) {
    cairo_save(cr_);
    cairo_set_source_surface(cr_, src.surface(), x, y);
    cairo_paint_with_alpha(cr_, alpha);
    cairo_restore(cr_);
}

void setColor(cairo_t* cr, Rgb c, double a) { cairo_set_source_rgba(cr, c.r, c.g, c.b, a); }

void roundedRect(cairo_t* cr, double x, double y, double w, double h, double r) {
    cairo_new_sub_path(cr);
    cairo_arc(cr, x + w - r, y + r, r, -M_PI / 2, 0);
    cairo_arc(cr, x + w - r, y + h - r, r, 0, M_PI / 2);
    cairo_arc(cr, x + r, y + h - r, r, M_PI / 2, M_PI);
    cairo_arc(cr, x + r, y + r, r, M_PI, 3 * M_PI / 2);
    cairo_close_path(cr);
}

void circle(cairo_t* cr, double cx, double cy, double r) {
    cairo_new_sub_path(cr);
    cairo_arc(cr, cx, cy, r, 0, 2 * M_PI);
}

uint32_t Noise::next() {
    // xorshift32
    s_ ^= s_ << 13;
    s_ ^= s_ >> 17;
    s_ ^= s_ << 5;
    return s_;
}

double Noise::uniform() { return (next() >> 8) / double(1u << 24); }

static uint32_t packOpaque(double r, double g, double b) {
    auto c = [](double v) { return uint32_t(std::lround(std::clamp(v, 0.0, 1.0) * 255.0)); };
    return 0xFF000000u | (c(r) << 16) | (c(g) << 8) | c(b);
}

void brushed(Layer& l, int x0, int y0, int w, int h, Rgb base, double strength, uint32_t seed) {
    Noise n(seed);
    uint32_t* px = l.pixels();
    const int st = l.stride();
    std::vector<double> grain(w);
    for (int y = y0; y < y0 + h; ++y) {
        if (y < 0 || y >= l.h()) continue;
        const double row = n.centred() * 0.6 + (n.uniform() < 0.08 ? n.centred() * 1.4 : 0.0);
        // Horizontal grain: noise smoothed along the row so that it reads
        // as brushing rather than speckle.
        double acc = 0.0;
        for (int i = 0; i < w; ++i) {
            acc = acc * 0.85 + n.centred() * 0.15;
            grain[i] = acc;
        }
        for (int i = 0; i < w; ++i) {
            const int x = x0 + i;
            if (x < 0 || x >= l.w()) continue;
            const double d = (row * 0.5 + grain[i] * 3.0) * strength;
            px[y * st + x] = packOpaque(base.r + d, base.g + d, base.b + d * 1.1);
        }
    }
    l.markDirty();
}

// One box-filter pass along a line of `count` values `stride` apart; values
// beyond the ends count as 0.
static void boxLine(double* line, int count, size_t stride, int radius, std::vector<double>& tmp) {
    const int n = 2 * radius + 1;
    for (int i = 0; i < count; ++i) {
        double s = 0;
        for (int d = -radius; d <= radius; ++d) {
            const int j = i + d;
            if (j >= 0 && j < count) s += line[size_t(j) * stride];
        }
        tmp[i] = s / n;
    }
    for (int i = 0; i < count; ++i) line[size_t(i) * stride] = tmp[i];
}

void blur(Layer& l, int radius) {
    if (radius <= 0) return;
    uint32_t* px = l.pixels();
    const int st = l.stride(), w = l.w(), h = l.h();
    std::vector<double> ch[4];
    for (auto& c : ch) c.resize(size_t(w) * h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const uint32_t v = px[y * st + x];
            for (int k = 0; k < 4; ++k) ch[k][size_t(y) * w + x] = (v >> (8 * k)) & 0xFF;
        }
    std::vector<double> tmp(std::max(w, h));
    for (int pass = 0; pass < 3; ++pass)
        for (auto& c : ch) {
            for (int y = 0; y < h; ++y) boxLine(c.data() + size_t(y) * w, w, 1, radius, tmp);
            for (int x = 0; x < w; ++x) boxLine(c.data() + x, h, size_t(w), radius, tmp);
        }
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            uint32_t v = 0;
            const double a = std::clamp(ch[3][size_t(y) * w + x], 0.0, 255.0);
            for (int k = 0; k < 4; ++k) {
                // Keep the premultiplied invariant (colour <= alpha).
                double c = std::clamp(ch[k][size_t(y) * w + x], 0.0, 255.0);
                if (k < 3) c = std::min(c, a);
                v |= uint32_t(std::lround(c)) << (8 * k);
            }
            px[y * st + x] = v;
        }
    l.markDirty();
}

// ---- pixel font ----

namespace {
struct Font {
    FT_Library lib = nullptr;
    FT_Face face = nullptr;
    cairo_font_face_t* cface = nullptr;
};
Font gFont;
}  // namespace

void setFontFile(const std::string& path) {
    if (FT_Init_FreeType(&gFont.lib)) throw std::runtime_error("FreeType start-up failed");
    if (FT_New_Face(gFont.lib, path.c_str(), 0, &gFont.face))
        throw std::runtime_error("cannot open font " + path);
    gFont.cface = cairo_ft_font_face_create_for_ft_face(gFont.face, 0);
}

static void selectFont(cairo_t* cr, double px) {
    if (!gFont.cface) throw std::runtime_error("font not set");
    cairo_set_font_face(cr, gFont.cface);
    cairo_set_font_size(cr, px);
    cairo_font_options_t* o = cairo_font_options_create();
    cairo_font_options_set_antialias(o, CAIRO_ANTIALIAS_NONE);
    cairo_font_options_set_hint_style(o, CAIRO_HINT_STYLE_NONE);
    cairo_font_options_set_hint_metrics(o, CAIRO_HINT_METRICS_ON);
    cairo_set_font_options(cr, o);
    cairo_font_options_destroy(o);
}

double textWidth(cairo_t* cr, const std::string& s, double px) {
    cairo_save(cr);
    selectFont(cr, px);
    cairo_text_extents_t e;
    cairo_text_extents(cr, s.c_str(), &e);
    cairo_restore(cr);
    return e.x_advance;
}

void text(cairo_t* cr, const std::string& s, double x, double baseline, double px, Rgb c, double alpha) {
    cairo_save(cr);
    selectFont(cr, px);
    setColor(cr, c, alpha);
    // The label face's pixels lie on whole pixels from the baseline up.
    cairo_move_to(cr, std::round(x), std::round(baseline));
    cairo_show_text(cr, s.c_str());
    cairo_restore(cr);
}

void textCentred(cairo_t* cr, const std::string& s, double cx, double baseline, double px, Rgb c,
                 double alpha) {
    text(cr, s, std::round(cx - textWidth(cr, s, px) / 2), baseline, px, c, alpha);
}

// ---- output ----

static cairo_surface_t* toRgb24(const Layer& l, bool mask) {
    cairo_surface_t* out = cairo_image_surface_create(CAIRO_FORMAT_RGB24, l.w(), l.h());
    cairo_surface_flush(l.surface());
    const auto* src = reinterpret_cast<const uint32_t*>(cairo_image_surface_get_data(l.surface()));
    const int sst = cairo_image_surface_get_stride(l.surface()) / 4;
    auto* dst = reinterpret_cast<uint32_t*>(cairo_image_surface_get_data(out));
    const int dst_st = cairo_image_surface_get_stride(out) / 4;
    for (int y = 0; y < l.h(); ++y)
        for (int x = 0; x < l.w(); ++x) {
            const uint32_t v = src[y * sst + x];
            uint32_t o;
            if (mask) {
                const uint32_t m = 255 - (v >> 24);
                o = (m << 16) | (m << 8) | m;
            } else {
                o = v & 0x00FFFFFFu;  // premultiplied colour = colour on black
            }
            dst[y * dst_st + x] = 0xFF000000u | o;
        }
    cairo_surface_mark_dirty(out);
    return out;
}

static void writeSurface(cairo_surface_t* s, const std::string& path) {
    if (cairo_surface_write_to_png(s, path.c_str()) != CAIRO_STATUS_SUCCESS)
        throw std::runtime_error("cannot write " + path);
    cairo_surface_destroy(s);
}

void writeImagePng(const Layer& l, const std::string& path) { writeSurface(toRgb24(l, false), path); }
void writeMaskPng(const Layer& l, const std::string& path) { writeSurface(toRgb24(l, true), path); }

void writeBmp(const Layer& l, const std::string& path) {
    const int w = l.w(), h = l.h();
    const int rowBytes = (w * 3 + 3) & ~3;
    const uint32_t dataSize = uint32_t(rowBytes) * h;
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) throw std::runtime_error("cannot write " + path);
    auto u16 = [&](uint16_t v) { std::fputc(v & 0xFF, f); std::fputc(v >> 8, f); };
    auto u32 = [&](uint32_t v) { u16(v & 0xFFFF); u16(v >> 16); };
    std::fputs("BM", f);
    u32(54 + dataSize); u32(0); u32(54);
    u32(40); u32(uint32_t(w)); u32(uint32_t(h)); u16(1); u16(24); u32(0); u32(dataSize);
    u32(3780); u32(3780); u32(0); u32(0);
    cairo_surface_flush(l.surface());
    const auto* src = reinterpret_cast<const uint32_t*>(cairo_image_surface_get_data(l.surface()));
    const int st = cairo_image_surface_get_stride(l.surface()) / 4;
    std::vector<unsigned char> row(rowBytes, 0);
    for (int y = h - 1; y >= 0; --y) {
        for (int x = 0; x < w; ++x) {
            const uint32_t v = src[y * st + x];
            row[x * 3 + 0] = v & 0xFF;
            row[x * 3 + 1] = (v >> 8) & 0xFF;
            row[x * 3 + 2] = (v >> 16) & 0xFF;
        }
        std::fwrite(row.data(), 1, row.size(), f);
    }
    if (std::fclose(f) != 0) throw std::runtime_error("cannot write " + path);
}

}  // namespace art
