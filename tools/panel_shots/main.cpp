// morvel-panelshots PATCH OUT_DIR [NAME]
// Loads a patch, builds its panels on the column grid, draws them in the
// 1024 x 768 window and writes what the window shows, page by page, stitched
// into one PNG per view at one window pixel per image pixel:
//   NAME_front.png     every panel as built (sequencers and samplers mini)
//   NAME_back.png      every panel's back, with its plugs
//   NAME_seq_main.png  the first sequencer opened over the rack (if any)
//   NAME_sampler_main.png  the first sampler opened likewise (if any)
// NAME defaults to the patch's file name without its extension. Needs an X
// display (Xvfb will do); draws nothing to the sound card.
#include <GL/gl.h>
#include <cairo.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "engine/data_dir.h"
#include "engine/generator.h"
#include "gui/gui.h"
#include "synthgui/synthgui.h"

namespace {

constexpr int kWidth = 1024;
constexpr int kHeight = 768;
constexpr int kMargin = 16;

// Draws `panels` (in order) with the view scrolled to `scroll`.
void drawFrame(std::vector<OBJET*>& panels, ScreenPoint scroll) {
  glClearColor(0.07f, 0.075f, 0.085f, 1);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  push2D(0, 0, kWidth, kHeight);
  scrollOffset = scroll;
  drawPanelsInView(panels, scroll);
  pop2D();
  glFinish();
}

// The extent of the panels: the largest right and bottom edge.
ScreenPoint extent(const std::vector<OBJET*>& panels) {
  ScreenPoint e{kWidth, kHeight};
  for (const OBJET* p : panels) {
    e.x = std::max(e.x, static_cast<int>(p->x + p->w) + kMargin);
    e.y = std::max(e.y, static_cast<int>(p->y + p->h) + kMargin);
  }
  return e;
}

// One page per window-sized area of the rack, copied into one image.
bool shoot(std::vector<OBJET*>& panels, const std::string& path) {
  for (OBJET* p : panels) p->computeSize();
  const ScreenPoint size = extent(panels);
  cairo_surface_t* image = cairo_image_surface_create(CAIRO_FORMAT_RGB24, size.x, size.y);
  auto* pixels = reinterpret_cast<uint32_t*>(cairo_image_surface_get_data(image));
  const int stride = cairo_image_surface_get_stride(image) / 4;
  std::vector<unsigned char> page(static_cast<std::size_t>(kWidth) * kHeight * 3);
  for (int top = 0; top < size.y; top += kHeight) {
    for (int left = 0; left < size.x; left += kWidth) {
      drawFrame(panels, {left, top});
      glPixelStorei(GL_PACK_ALIGNMENT, 1);
      glReadPixels(0, 0, kWidth, kHeight, GL_RGB, GL_UNSIGNED_BYTE, page.data());
      for (int row = 0; row < kHeight && top + row < size.y; ++row) {
        // OpenGL's rows run bottom-up.
        const unsigned char* src = &page[static_cast<std::size_t>(kHeight - 1 - row) * kWidth * 3];
        for (int col = 0; col < kWidth && left + col < size.x; ++col) {
          const unsigned char* p = src + 3 * col;
          pixels[(top + row) * stride + left + col] = (uint32_t{p[0]} << 16) | (uint32_t{p[1]} << 8) | p[2];
        }
      }
      SDL_GL_SwapBuffers();
    }
  }
  cairo_surface_mark_dirty(image);
  const bool ok = cairo_surface_write_to_png(image, path.c_str()) == CAIRO_STATUS_SUCCESS;
  cairo_surface_destroy(image);
  std::printf("%s %s (%d x %d)\n", ok ? "wrote" : "could not write", path.c_str(), size.x, size.y);
  scrollOffset = {0, 0};
  return ok;
}

// The rack with `opened` shown in its main view, drawn over the others.
bool shootOpened(OBJET* opened, const std::string& path) {
  std::vector<OBJET*> panels;
  for (OBJET* p : objectList)
    if (p != opened) panels.push_back(p);
  panels.push_back(opened);
  opened->setDisplayMode(1);
  const bool ok = shoot(panels, path);
  opened->setDisplayMode(2);
  return ok;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: %s PATCH OUT_DIR [NAME]\n", argv[0]);
    return 2;
  }
  const std::string out = std::filesystem::absolute(argv[2]).string();
  const std::string name = argc > 3 ? argv[3] : std::filesystem::path(argv[1]).stem().string();
  const std::string patch = enterDataDirectory(argv[1]);
  std::filesystem::create_directories(out);

  currentGenerator = new GENERATOR(patch.c_str());
  if (currentGenerator->loadStatus != GENERATOR::LoadStatus::Loaded) {
    std::fprintf(stderr, "cannot load the patch %s\n", patch.c_str());
    return 1;
  }
  startVideo(kWidth, kHeight, "Morvel panels", "grfx/opengl.mim");
  smallFont.loadFont("Fonts/04b_03b_.ttf", 6);
  bigFont.loadFont("Fonts/04b_03b_.ttf", 12);
  InitGuiFromCurrent();

  bool ok = shoot(objectList, out + "/" + name + "_front.png");
  for (OBJET* p : objectList) p->setDisplayMode(4);
  ok = shoot(objectList, out + "/" + name + "_back.png") && ok;
  auto hasMiniView = [](OBJET* p) {
    const ModuleKind kind = panelInfo(p).module.kind;
    return panelInfo(p).isModule() && (kind == ModuleKind::Sequencer || kind == ModuleKind::Sampler);
  };
  for (OBJET* p : objectList) p->setDisplayMode(hasMiniView(p) ? 2 : 1);
  for (ModuleKind kind : {ModuleKind::Sequencer, ModuleKind::Sampler}) {
    for (OBJET* p : objectList) {
      if (!panelInfo(p).isModule() || panelInfo(p).module.kind != kind) continue;
      const char* view = kind == ModuleKind::Sequencer ? "_seq_main.png" : "_sampler_main.png";
      ok = shootOpened(p, out + "/" + name + view) && ok;
      break;
    }
  }
  return ok ? 0 : 1;
}
