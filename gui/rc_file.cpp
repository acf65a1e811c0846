#include "gui/rc_file.h"

#include <cctype>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "gui/file_tokens.h"
#include "util/safe_file.h"

namespace {

// The values a record starts from: the previous record's, or these for the
// first record of a file.
struct RecordFields {
  char item[kNameSize] = "";
  char image[kNameSize] = "";
  char mask[kNameSize] = "0";
  char imageTouch[kNameSize] = "0";
  char imageOff[kNameSize] = "";
  char text[kNameSize] = "";
  int x = 0, y = 0;
  int colorKeyOn = 0, colorKey = 0, blend = 0;
  float zoom = 1.0f;
  int angle = 0, alpha = 255;
  int labelNumber = 0, fontSize = 0, color = 0;
};

// Reads fields in order, stopping at the first that cannot be read, as one
// scanf call would.
struct FieldReader {
  std::FILE* file;
  bool ok = true;
  FieldReader& text(char (&field)[kNameSize]) {
    ok = ok && readToken(file, field);
    return *this;
  }
  FieldReader& number(int& v) {
    ok = ok && readInt(file, v);
    return *this;
  }
  FieldReader& real(float& v) {
    ok = ok && readFloat(file, v);
    return *this;
  }
};

// Numbers a file can hold are kept where later arithmetic stays defined:
// positions within a million pixels either way, the other whole numbers
// within 24 bits (every 0xRRGGBB colour, and exact in a float), alpha within
// 0..255, a zoom finite and within 100 either way.
constexpr int kPositionLimit = 1000000;
constexpr int kNumberLimit = 0xFFFFFF;
constexpr float kZoomLimit = 100.0f;

int held(int v, int lo, int hi) { return v < lo ? lo : (v > hi ? hi : v); }

void holdToRange(RecordFields& r) {
  r.x = held(r.x, -kPositionLimit, kPositionLimit);
  r.y = held(r.y, -kPositionLimit, kPositionLimit);
  for (int* v : {&r.colorKeyOn, &r.colorKey, &r.blend, &r.angle, &r.labelNumber, &r.fontSize, &r.color})
    *v = held(*v, -kNumberLimit, kNumberLimit);
  r.alpha = held(r.alpha, 0, 255);
  if (!std::isfinite(r.zoom)) r.zoom = 1.0f;
  r.zoom = r.zoom < -kZoomLimit ? -kZoomLimit : (r.zoom > kZoomLimit ? kZoomLimit : r.zoom);
}

// BUTTON and SLIDER records carry the same drawing options and a position
// stored as read (not offset by the panel).
void applyOptions(SPRITE& w, const RecordFields& r) {
  w.colorKeyOn = r.colorKeyOn;
  w.colorKey = r.colorKey;
  w.blend = r.blend;
  w.zoom = r.zoom;
  w.angle = r.angle;
  w.setPosition(static_cast<float>(r.x), static_cast<float>(r.y), 0);
}

}  // namespace

int OBJET::load(const char* path) {
  copyField(rcPath, path);
  std::FILE* f = path ? std::fopen(path, "r") : nullptr;
  if (!f) {
    std::printf("Failing to Load RC[%s] (cause Fopen())\n", path ? path : "");
    return -1;
  }
  RecordFields r;
  char keyword[kNameSize];
  while (readToken(f, keyword)) {
    SPRITE* child = nullptr;
    if (std::strcmp(keyword, "SPRITE") == 0) {
      r.alpha = 255;
      FieldReader in{f};
      in.text(r.item).text(r.image).text(r.mask);
      in.ok = true;
      in.number(r.x).number(r.y).number(r.colorKeyOn).number(r.colorKey).number(r.blend);
      in.ok = true;
      in.real(r.zoom).number(r.angle).number(r.alpha);
      holdToRange(r);
      auto* s = new SPRITE(r.image, static_cast<int>(static_cast<float>(r.x) + x),
                           static_cast<int>(static_cast<float>(r.y) + y), r.colorKeyOn, r.colorKey,
                           r.blend, r.zoom, r.angle, 0);
      if (r.mask[0] != '0') copyField(s->mask, r.mask);
      s->alpha = r.alpha;
      child = s;
    } else if (std::strcmp(keyword, "BUTTON") == 0) {
      FieldReader in{f};
      in.text(r.item).text(r.image).text(r.imageTouch).text(r.imageOff);
      in.number(r.x).number(r.y).number(r.colorKeyOn).number(r.colorKey).number(r.blend);
      in.real(r.zoom).number(r.angle);
      holdToRange(r);
      auto* b = new BUTTON(r.item, r.image, r.imageTouch, r.imageOff, nullptr);
      applyOptions(*b, r);
      child = b;
    } else if (std::strcmp(keyword, "SLIDER") == 0) {
      FieldReader in{f};
      in.text(r.item).text(r.image);
      in.number(r.x).number(r.y).number(r.colorKeyOn).number(r.colorKey).number(r.blend);
      in.real(r.zoom).number(r.angle);
      if (r.zoom > 100) r.zoom = 1.0f;
      holdToRange(r);
      auto* s = new SLIDER(r.item, r.image);
      applyOptions(*s, r);
      child = s;
    } else if (std::strcmp(keyword, "LABEL") == 0) {
      r.labelNumber = r.fontSize = r.color = 0;
      FieldReader in{f};
      in.text(r.item).text(r.text);
      in.number(r.x).number(r.y).number(r.labelNumber).number(r.fontSize).number(r.color);
      holdToRange(r);
      auto* l = new LABEL(r.text, r.x, r.y, 50, 50, r.labelNumber, r.fontSize, r.color);
      l->setPosition(static_cast<float>(r.x), static_cast<float>(r.y), 0);
      child = l;
    }
    if (child) {
      char childName[kLongTextSize + kNameSize + 2];
      std::snprintf(childName, sizeof childName, kChildNameFormat, objName, r.item);
      child->setName(childName);
      children->insert(children->begin(), child);
    }
  }
  std::fclose(f);
  computeSize();
  return 1;
}

namespace {

// A text field as one token: an empty one would be skipped by the reader
// and every field after it would shift, so it is written "0" (no image, no
// mask); a blank inside would split it, so it becomes '_'.
std::string token(const char* text) {
  std::string t = text[0] ? text : "0";
  for (char& ch : t)
    if (std::isspace(static_cast<unsigned char>(ch))) ch = '_';
  return t;
}

// The integer part of a position, defined whatever the float holds.
int pixel(float v) {
  if (!(v > -2147483648.0f)) return std::isnan(v) ? 0 : INT_MIN;
  if (!(v < 2147483647.0f)) return INT_MAX;
  return static_cast<int>(v);
}

void writeRecord(std::FILE* f, const SPRITE* c, std::size_t prefix) {
  const std::size_t n = std::strlen(c->name);
  const std::string item = token(c->name + (prefix < n ? prefix : n));
  const int x = pixel(c->x), y = pixel(c->y);
  if (auto* l = dynamic_cast<const LABEL*>(c)) {
    std::fprintf(f, "LABEL\t%s\t%s\t%d\t%d\t%d\t%d\t%d\t\r\n", item.c_str(), token(l->text).c_str(), x, y,
                 l->labelNumber, l->fontSize, l->color);
  } else if (dynamic_cast<const SLIDER*>(c)) {
    std::fprintf(f, "SLIDER\t%s\t%s\t%d\t%d\t%d\t%d\t%d\t%f\t%d\r\n", item.c_str(), token(c->image).c_str(), x,
                 y, c->colorKeyOn, c->colorKey, c->blend, static_cast<double>(c->zoom), c->angle);
  } else if (auto* b = dynamic_cast<const BUTTON*>(c)) {
    std::fprintf(f, "BUTTON\t%s\t%s\t%s\t%s\t%d\t%d\t%d\t%d\t%d\t%f\t%d\r\n", item.c_str(),
                 token(b->imageOn).c_str(), token(b->imageTouch).c_str(), token(b->imageOff).c_str(), x, y,
                 c->colorKeyOn, c->colorKey, c->blend, static_cast<double>(c->zoom), c->angle);
  } else {
    std::fprintf(f, "SPRITE\t%s\t%s\t%s\t%d\t%d\t%d\t%d\t%d\t%f\t%d\t%d\r\n", item.c_str(),
                 token(c->image).c_str(), token(c->mask).c_str(), x, y, c->colorKeyOn, c->colorKey, c->blend,
                 static_cast<double>(c->zoom), c->angle, c->alpha);
  }
}

void saveFailed(const char* path) { std::printf("Failing to Save RC[%s] (cause Fopen())\n", path); }

}  // namespace

int OBJET::save(const char* path) {
  // Every child's item name loses the prefix found in the first child's
  // name: up to and including an underscore among its first four
  // characters.
  std::size_t prefix = 0;
  if (!children->empty()) {
    const char* first = children->front()->name;
    const char* underscore = nullptr;
    for (int i = 0; i < 4 && first[i]; ++i) {
      if (first[i] == '_') {
        underscore = first + i;
        break;
      }
    }
    if (!underscore) {
      std::printf("ARF stf wrong during save element [%s]\n", first);
      std::fflush(stdout);
      std::exit(1);
    }
    prefix = static_cast<std::size_t>(underscore - first) + 1;
  }

  if (!path || !path[0]) {
    saveFailed(path ? path : "");
    return -1;
  }
  const bool saved = writeFileSafely(path, [&](std::FILE* f) {
    for (auto it = children->rbegin(); it != children->rend(); ++it) writeRecord(f, *it, prefix);
    return true;
  });
  if (!saved) {
    saveFailed(path);
    return -1;
  }
  return 1;
}
