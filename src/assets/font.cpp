// font.cpp -- one display list per atlas cell, and strings drawn through them.
#include "assets/font.h"

#include <cstring>

#include "assets/textures.h"

namespace assets {

GLuint fontListBase = 0;

namespace {

constexpr int kGlyphCount = 256;
// 256 glyphs, and 256 names after them that the second set's codes 160..255 reach and that
// stay empty.
constexpr GLsizei kReservedLists = 512;
constexpr int kAtlasCells = 16;
constexpr double kCell = 1.0 / kAtlasCells;
constexpr GLint kGlyphSize = 16;
constexpr double kAdvance = 10.0;
constexpr double kTextWidth = 640.0;
constexpr double kTextHeight = 480.0;
constexpr int kSetStride = 128;
constexpr int kFirstCode = 32;

int glyphCounter = 0;

void compileGlyph(int k) {
    const int column = k % kAtlasCells;
    const int row = k / kAtlasCells;  // counted from the atlas' top edge
    const double cx = column * kCell;
    const double cy = 1.0 - row * kCell;
    glNewList(fontListBase + static_cast<GLuint>(k), GL_COMPILE);
    glBegin(GL_QUADS);
    glTexCoord2d(cx, cy - kCell);
    glVertex2i(0, 0);
    glTexCoord2d(cx + kCell, cy - kCell);
    glVertex2i(kGlyphSize, 0);
    glTexCoord2d(cx + kCell, cy);
    glVertex2i(kGlyphSize, kGlyphSize);
    glTexCoord2d(cx, cy);
    glVertex2i(0, kGlyphSize);
    glEnd();
    glTranslated(kAdvance, 0, 0);
    glEndList();
}

}  // namespace

void buildFont() {
    fontListBase = glGenLists(kReservedLists);
    for (glyphCounter = 0; glyphCounter < kGlyphCount; ++glyphCounter) {
        compileGlyph(glyphCounter);
    }
}

void drawText(int x, int y, const char* text, int set) {
    glBindTexture(GL_TEXTURE_2D, textures.texFont);
    glDisable(GL_DEPTH_TEST);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(0, kTextWidth, 0, kTextHeight, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glTranslated(x, y, 0);
    // Only sets 0 and 1 map into the reserved names; any other would call foreign lists.
    if (text != nullptr && (set == 0 || set == 1)) {
        glListBase(fontListBase - kFirstCode + static_cast<GLuint>(set * kSetStride));
        glCallLists(static_cast<GLsizei>(std::strlen(text)), GL_UNSIGNED_BYTE, text);
    }
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
    glEnable(GL_DEPTH_TEST);
}

}  // namespace assets
