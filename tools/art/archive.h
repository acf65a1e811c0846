// Collects the generated pictures, writes them under grfx/ and lists them in
// the graphics archive grfx/opengl.mim that the image store reads.
#pragma once

#include "raster.h"

#include <string>
#include <vector>

namespace art {

class Archive {
public:
    explicit Archive(std::string binDir);

    // A picture drawn as it is (no mask): the layer must be fully painted.
    void image(const std::string& name, const Layer& l);
    // A picture and its mask, for sprites and buttons drawn with a mask.
    void masked(const std::string& name, const std::string& maskName, const Layer& l);
    // Several states of one widget sharing one mask ("<prefix>_MASK", the
    // name a button derives from its on-image). Every state is stored as
    // "<prefix>_<state>"; the mask covers the union of the states' shapes.
    void family(const std::string& prefix, const std::vector<std::pair<std::string, const Layer*>>& states);
    // A tile sheet: the tiles side by side with a magenta gap, cut by the
    // store into "<name>_0" ... "<name>_<n-1>".
    void sheet(const std::string& name, const std::vector<const Layer*>& tiles, int gap = 1);
    // The mask only, from the union of the given shapes.
    void maskOf(const std::string& maskName, const std::vector<const Layer*>& shapes);

    // Writes grfx/opengl.mim.
    void writeIndex() const;
    // Every image name the store will hold, tiles expanded.
    const std::vector<std::string>& names() const { return names_; }
    const std::string& binDir() const { return bin_; }

private:
    std::string file(const std::string& name) const;
    void add(const std::string& name);

    std::string bin_;
    std::vector<std::string> lines_;
    std::vector<std::string> names_;
};

}  // namespace art
