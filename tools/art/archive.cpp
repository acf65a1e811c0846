#include "archive.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <stdexcept>

namespace art {

Archive::Archive(std::string binDir) : bin_(std::move(binDir)) {
    std::filesystem::create_directories(bin_ + "/grfx");
}

std::string Archive::file(const std::string& name) const {
    std::string f = name;
    std::transform(f.begin(), f.end(), f.begin(), [](unsigned char c) { return std::tolower(c); });
    return "grfx/" + f + ".png";
}

void Archive::add(const std::string& name) {
    if (name.size() > 79) throw std::runtime_error("image name too long: " + name);
    if (std::find(names_.begin(), names_.end(), name) != names_.end())
        throw std::runtime_error("image defined twice: " + name);
    names_.push_back(name);
}

void Archive::image(const std::string& name, const Layer& l) {
    add(name);
    writeImagePng(l, bin_ + "/" + file(name));
    lines_.push_back(name + "\t" + file(name) + "\tSIMPLEPART");
}

void Archive::masked(const std::string& name, const std::string& maskName, const Layer& l) {
    image(name, l);
    add(maskName);
    writeMaskPng(l, bin_ + "/" + file(maskName));
    lines_.push_back(maskName + "\t" + file(maskName) + "\tSIMPLEPART");
}

static Layer unionShape(const std::vector<const Layer*>& shapes) {
    Layer u(shapes.at(0)->w(), shapes.at(0)->h());
    uint32_t* d = u.pixels();
    for (const Layer* s : shapes) {
        if (s->w() != u.w() || s->h() != u.h()) throw std::runtime_error("shapes differ in size");
        cairo_surface_flush(s->surface());
        const auto* p = reinterpret_cast<const uint32_t*>(cairo_image_surface_get_data(s->surface()));
        for (int y = 0; y < u.h(); ++y)
            for (int x = 0; x < u.w(); ++x) {
                const uint32_t a = p[y * s->stride() + x] >> 24;
                uint32_t& o = d[y * u.stride() + x];
                if (a > (o >> 24)) o = a << 24;
            }
    }
    u.markDirty();
    return u;
}

void Archive::maskOf(const std::string& maskName, const std::vector<const Layer*>& shapes) {
    add(maskName);
    writeMaskPng(unionShape(shapes), bin_ + "/" + file(maskName));
    lines_.push_back(maskName + "\t" + file(maskName) + "\tSIMPLEPART");
}

void Archive::family(const std::string& prefix,
                     const std::vector<std::pair<std::string, const Layer*>>& states) {
    std::vector<const Layer*> shapes;
    for (const auto& [state, layer] : states) {
        image(prefix + "_" + state, *layer);
        shapes.push_back(layer);
    }
    maskOf(prefix + "_MASK", shapes);
}

void Archive::sheet(const std::string& name, const std::vector<const Layer*>& tiles, int gap) {
    const int tw = tiles.at(0)->w(), th = tiles.at(0)->h();
    const int n = int(tiles.size());
    Layer s(n * tw + (n - 1) * gap, th);
    setColor(s.cr(), hex(0xFF00FF));
    cairo_paint(s.cr());
    for (int i = 0; i < n; ++i) {
        if (tiles[i]->w() != tw || tiles[i]->h() != th) throw std::runtime_error("tiles differ in size");
        cairo_save(s.cr());
        cairo_rectangle(s.cr(), i * (tw + gap), 0, tw, th);
        cairo_clip(s.cr());
        setColor(s.cr(), hex(0x000000));
        cairo_paint(s.cr());
        cairo_restore(s.cr());
        s.paint(*tiles[i], i * (tw + gap), 0);
    }
    for (int i = 0; i < n; ++i) add(name + "_" + std::to_string(i));
    writeImagePng(s, bin_ + "/" + file(name));
    char buf[256];
    std::snprintf(buf, sizeof buf, "%s\t%s\tTILES\t%d %d %d %d %d %d", name.c_str(), file(name).c_str(), tw,
                  th, 1, n, gap, 0);
    lines_.push_back(buf);
}

void Archive::writeIndex() const {
    const std::string path = bin_ + "/grfx/opengl.mim";
    const std::string tmp = path + ".tmp";
    std::FILE* f = std::fopen(tmp.c_str(), "w");
    if (!f) throw std::runtime_error("cannot write " + path);
    // Two header words (ignored by the reader), the entries, END.
    std::fprintf(f, "MORVEL_GRAPHICS %zu\n", lines_.size());
    for (const auto& l : lines_) std::fprintf(f, "%s\n", l.c_str());
    std::fprintf(f, "END\n");
    if (std::fclose(f) != 0) throw std::runtime_error("cannot write " + path);
    std::filesystem::rename(tmp, path);
}

}  // namespace art
