// font.h -- the bitmap font: 256 glyph display lists over a 16x16 atlas, and text drawing.
#pragma once

#include <GL/gl.h>

namespace assets {

// First of the 512 display-list names reserved for the font.
extern GLuint fontListBase;

// Compiles one display list per atlas cell. Needs a current GL context.
void buildFont();

// Draws `text` with its first glyph's bottom-left corner at (x, y) of a 640 x 480 text space.
// `set` 0 draws codes 32..255 from the atlas' first rows; set 1 draws from its lower half.
// Leaves depth testing on.
void drawText(int x, int y, const char* text, int set);

}  // namespace assets
