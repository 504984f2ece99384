// font_atlas.h -- the 512 x 512 glyph atlas, rasterised from a font file with FreeType.
#pragma once

#include <string>

#include "canvas.h"

namespace textures_gen {

constexpr int kAtlasSide = 512;
constexpr int kCellSide = 32;
constexpr int kGlyphColumns = 20;  // the text advance; a glyph stays left of it

// Draws printable ASCII 32..126 from `mainFont` into rows 0..5 (code order from the top-left
// cell) and the same characters from `secondFont` into rows 8..13. Everything else is pure
// black. Returns false, with `error` set, when a font cannot be opened.
bool paintFontAtlas(const std::string& mainFont, const std::string& secondFont, Canvas& atlas,
                    std::string& error);

}  // namespace textures_gen
