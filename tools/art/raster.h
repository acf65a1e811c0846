// Drawing helpers shared by the art generator: cairo layers, colours,
// deterministic noise, the pixel font and the files the engine reads.
#pragma once

#include <cairo.h>

#include <cstdint>
#include <string>

namespace art {

struct Rgb {
    double r, g, b;
};

Rgb hex(uint32_t rgb);
Rgb mix(Rgb a, Rgb b, double t);
Rgb scale(Rgb c, double k);

// A drawing layer: an ARGB32 cairo surface, transparent where nothing was
// drawn. Cairo keeps it premultiplied, which is exactly what the engine's
// mask-then-add drawing needs: the image is the premultiplied colour on
// black, the mask is one minus the coverage.
class Layer {
public:
    Layer(int w, int h);
    ~Layer();
    Layer(const Layer&) = delete;
    Layer& operator=(const Layer&) = delete;
    Layer(Layer&& o) noexcept;

    int w() const { return w_; }
    int h() const { return h_; }
    cairo_t* cr() const { return cr_; }
    cairo_surface_t* surface() const { return surf_; }

    // Raw premultiplied pixels (0xAARRGGBB), row stride in pixels.
    uint32_t* pixels();
    int stride() const;
    void markDirty();

    // Paints another layer over this one at (x, y).
    void paint(const Layer& src, double x, double y, double alpha = 1.0);

private:
    int w_, h_;
    cairo_surface_t* surf_;
    cairo_t* cr_;
};

void setColor(cairo_t* cr, Rgb c, double a = 1.0);
void roundedRect(cairo_t* cr, double x, double y, double w, double h, double r);
void circle(cairo_t* cr, double cx, double cy, double r);

// Fixed-seed generator so that every build produces the same pictures.
class Noise {
public:
    explicit Noise(uint32_t seed) : s_(seed ? seed : 1u) {}
    uint32_t next();
    double uniform();            // 0 .. 1
    double centred() { return uniform() * 2.0 - 1.0; }

private:
    uint32_t s_;
};

// Fills a rectangle with a dark anodised colour and a fine horizontal
// brushing: per-row streaks plus short horizontal grain.
void brushed(Layer& l, int x, int y, int w, int h, Rgb base, double strength, uint32_t seed);

// Soft blur of the whole layer (box blur, three passes ~ gaussian).
void blur(Layer& l, int radius);

// Pixel font text (the same TrueType file the engine uses for labels).
// Size is in pixels (8 = the label size, 16 = titles); drawn without
// antialiasing so that it stays on the pixel grid.
void setFontFile(const std::string& path);
double textWidth(cairo_t* cr, const std::string& text, double px);
void text(cairo_t* cr, const std::string& text, double x, double baseline, double px, Rgb c,
          double alpha = 1.0);
void textCentred(cairo_t* cr, const std::string& text, double cx, double baseline, double px, Rgb c,
                 double alpha = 1.0);

// Output files.
// 24-bit PNG of the layer on black. For a picture drawn without a mask the
// layer must be painted everywhere; for one drawn with a mask this is the
// premultiplied colour that the engine adds after the mask.
void writeImagePng(const Layer& l, const std::string& path);
// The mask of a layer: white outside the shape, black inside, grey on
// antialiased edges and soft shadows (one minus the coverage).
void writeMaskPng(const Layer& l, const std::string& path);
// 24-bit bottom-up BMP (the splash screen).
void writeBmp(const Layer& l, const std::string& path);

}  // namespace art
