#include "gui/font.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_GLYPH_H

#include <GL/glu.h>

#include <cstdarg>
#include <cstdio>
#include <stdexcept>
#include <vector>

FONT smallFont;
FONT bigFont;
SURFACE_TEXT* textWriter = nullptr;

namespace {

constexpr int kGlyphCount = 128;
constexpr std::size_t kPrintBufferSize = 256;

int nextPowerOfTwo(int a) {
  int p = 1;
  while (p < a) p <<= 1;
  return p;
}

// Releases the FreeType objects however loadFont leaves.
struct FreeTypeSession {
  FT_Library library = nullptr;
  FT_Face face = nullptr;
  ~FreeTypeSession() {
    if (face) FT_Done_Face(face);
    if (library) FT_Done_FreeType(library);
  }
};

void buildGlyph(FT_Face face, int c, GLuint listBase, const GLuint* textures) {
  if (FT_Load_Glyph(face, FT_Get_Char_Index(face, static_cast<FT_ULong>(c)), FT_LOAD_DEFAULT)) {
    throw std::runtime_error("FT_Load_Glyph failed");
  }
  FT_Glyph glyph;
  if (FT_Get_Glyph(face->glyph, &glyph)) throw std::runtime_error("FT_Get_Glyph failed");
  FT_Glyph_To_Bitmap(&glyph, FT_RENDER_MODE_NORMAL, nullptr, 1);
  auto* bitmapGlyph = reinterpret_cast<FT_BitmapGlyph>(glyph);
  const FT_Bitmap& bitmap = bitmapGlyph->bitmap;
  const int bw = static_cast<int>(bitmap.width), rows = static_cast<int>(bitmap.rows);

  const int tw = nextPowerOfTwo(bw), th = nextPowerOfTwo(rows);
  std::vector<GLubyte> texels(static_cast<std::size_t>(2) * tw * th, 0);
  for (int j = 0; j < rows; ++j) {
    for (int i = 0; i < bw; ++i) {
      const GLubyte grey = bitmap.buffer[i + bitmap.pitch * j];
      texels[2 * (i + j * tw)] = grey;
      texels[2 * (i + j * tw) + 1] = grey;
    }
  }
  glBindTexture(GL_TEXTURE_2D, textures[c]);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, tw, th, 0, GL_LUMINANCE_ALPHA, GL_UNSIGNED_BYTE, texels.data());

  const float tx = static_cast<float>(bw) / static_cast<float>(tw);
  const float ty = static_cast<float>(rows) / static_cast<float>(th);
  glNewList(listBase + static_cast<GLuint>(c), GL_COMPILE);
  glBindTexture(GL_TEXTURE_2D, textures[c]);
  glPushMatrix();
  glTranslatef(static_cast<float>(bitmapGlyph->left), 0, 0);
  glTranslatef(0, static_cast<float>(bitmapGlyph->top - rows), 0);
  glBegin(GL_QUADS);
  glTexCoord2f(0, 0);
  glVertex2f(0, static_cast<float>(rows));
  glTexCoord2f(0, ty);
  glVertex2f(0, 0);
  glTexCoord2f(tx, ty);
  glVertex2f(static_cast<float>(bw), 0);
  glTexCoord2f(tx, 0);
  glVertex2f(static_cast<float>(bw), static_cast<float>(rows));
  glEnd();
  glPopMatrix();
  glTranslatef(static_cast<float>(face->glyph->advance.x >> 6), 0, 0);
  glEndList();

  FT_Done_Glyph(glyph);
}

}  // namespace

void FONT::loadFont(const char* path, unsigned int size) {
  textures = new GLuint[kGlyphCount];
  height = static_cast<float>(size);

  FreeTypeSession ft;
  if (FT_Init_FreeType(&ft.library)) throw std::runtime_error("FT_Init_FreeType failed");
  if (FT_New_Face(ft.library, path, 0, &ft.face)) {
    throw std::runtime_error("FT_New_Face failed (there is probably a problem with your font file)");
  }
  FT_Set_Char_Size(ft.face, static_cast<FT_F26Dot6>(size) << 6, static_cast<FT_F26Dot6>(size) << 6, 96, 96);

  listBase = glGenLists(kGlyphCount);
  glGenTextures(kGlyphCount, textures);
  GLint previous = 0;
  glGetIntegerv(GL_TEXTURE_BINDING_2D, &previous);
  // The glyph rows are packed tightly (a one-pixel-wide glyph has rows of
  // two bytes), not padded to OpenGL's default of four; the caller's
  // alignment is put back afterwards.
  GLint alignment = 4;
  glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  struct RestoreState {
    GLint alignment, texture;
    ~RestoreState() {
      glPixelStorei(GL_UNPACK_ALIGNMENT, alignment);
      glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(texture));
    }
  } restore{alignment, previous};
  for (int c = 0; c < kGlyphCount; ++c) buildGlyph(ft.face, c, listBase, textures);
}

void FONT::freeFont() {
  if (!textures) return;
  glDeleteLists(listBase, kGlyphCount);
  glDeleteTextures(kGlyphCount, textures);
  delete[] textures;
  textures = nullptr;
}

void printText(const FONT& font, float x, float y, const char* format, ...) {
  if (!font.loaded()) return;

  char text[kPrintBufferSize];
  va_list args;
  va_start(args, format);
  std::vsnprintf(text, sizeof text, format, args);
  va_end(args);

  GLint callerMode = GL_MODELVIEW;
  glGetIntegerv(GL_MATRIX_MODE, &callerMode);
  glPushAttrib(GL_TRANSFORM_BIT);
  GLint viewport[4];
  glGetIntegerv(GL_VIEWPORT, viewport);
  glMatrixMode(GL_PROJECTION);
  glPushMatrix();
  glLoadIdentity();
  gluOrtho2D(viewport[0], viewport[2], viewport[1], viewport[3]);
  glPopAttrib();

  const float lineStep = font.height / 0.63f;

  glPushAttrib(GL_LIST_BIT | GL_CURRENT_BIT | GL_ENABLE_BIT | GL_TRANSFORM_BIT | GL_COLOR_BUFFER_BIT |
               GL_TEXTURE_BIT);
  glMatrixMode(GL_MODELVIEW);
  glDisable(GL_LIGHTING);
  glEnable(GL_TEXTURE_2D);
  glDisable(GL_DEPTH_TEST);
  glEnable(GL_BLEND);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  glListBase(font.listBase);
  GLfloat modelview[16];
  glGetFloatv(GL_MODELVIEW_MATRIX, modelview);

  // Only codes 0 to 127 have lists: other bytes are left out rather than
  // calling lists that belong to someone else.
  GLubyte line[kPrintBufferSize];
  int lineIndex = 0;
  const char* p = text;
  for (;;) {
    int n = 0;
    while (*p && *p != '\n') {
      const auto c = static_cast<unsigned char>(*p++);
      if (c < kGlyphCount) line[n++] = c;
    }
    glPushMatrix();
    glLoadIdentity();
    glTranslatef(x, y - static_cast<float>(lineIndex) * lineStep, 0);
    glMultMatrixf(modelview);
    glCallLists(n, GL_UNSIGNED_BYTE, line);
    glPopMatrix();
    if (*p != '\n') break;
    ++p;
    ++lineIndex;
  }

  glPopAttrib();
  glMatrixMode(GL_PROJECTION);
  glPopMatrix();
  glMatrixMode(static_cast<GLenum>(callerMode));
}

int SURFACE_TEXT::writeText(SDL_Surface*, const char*, int size, int, int, Uint32, Uint32, int, int) {
  if (size > 63) {
    std::printf("Size to big for font\n");
    return 0;
  }
  return 0;
}
