#include "gui/rc_file.h"

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
      auto* b = new BUTTON(r.item, r.image, r.imageTouch, r.imageOff, nullptr);
      applyOptions(*b, r);
      child = b;
    } else if (std::strcmp(keyword, "SLIDER") == 0) {
      FieldReader in{f};
      in.text(r.item).text(r.image);
      in.number(r.x).number(r.y).number(r.colorKeyOn).number(r.colorKey).number(r.blend);
      in.real(r.zoom).number(r.angle);
      if (r.zoom > 100) r.zoom = 1.0f;
      auto* s = new SLIDER(r.item, r.image);
      applyOptions(*s, r);
      child = s;
    } else if (std::strcmp(keyword, "LABEL") == 0) {
      r.labelNumber = r.fontSize = r.color = 0;
      FieldReader in{f};
      in.text(r.item).text(r.text);
      in.number(r.x).number(r.y).number(r.labelNumber).number(r.fontSize).number(r.color);
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

void writeRecord(std::FILE* f, const SPRITE* c, std::size_t prefix) {
  const std::size_t n = std::strlen(c->name);
  const char* item = c->name + (prefix < n ? prefix : n);
  const int x = static_cast<int>(c->x), y = static_cast<int>(c->y);
  if (auto* l = dynamic_cast<const LABEL*>(c)) {
    std::fprintf(f, "LABEL\t%s\t%s\t%d\t%d\t%d\t%d\t%d\t\r\n", item, l->text, x, y, l->labelNumber,
                 l->fontSize, l->color);
  } else if (dynamic_cast<const SLIDER*>(c)) {
    std::fprintf(f, "SLIDER\t%s\t%s\t%d\t%d\t%d\t%d\t%d\t%f\t%d\r\n", item, c->image, x, y,
                 c->colorKeyOn, c->colorKey, c->blend, static_cast<double>(c->zoom), c->angle);
  } else if (auto* b = dynamic_cast<const BUTTON*>(c)) {
    std::fprintf(f, "BUTTON\t%s\t%s\t%s\t%s\t%d\t%d\t%d\t%d\t%d\t%f\t%d\r\n", item, b->imageOn,
                 b->imageTouch, b->imageOff, x, y, c->colorKeyOn, c->colorKey, c->blend,
                 static_cast<double>(c->zoom), c->angle);
  } else {
    std::fprintf(f, "SPRITE\t%s\t%s\t%s\t%d\t%d\t%d\t%d\t%d\t%f\t%d\t%d\r\n", item, c->image,
                 c->mask[0] ? c->mask : "0", x, y, c->colorKeyOn, c->colorKey, c->blend,
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
