// font_atlas.cpp -- glyphs rasterised with FreeType, thresholded so no edge is a dark fringe.
#include "font_atlas.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>

namespace textures_gen {

namespace {

constexpr int kFirstCode = 32;
constexpr int kLastCode = 126;
constexpr int kSecondFaceRow = 8;
constexpr int kPixelSize = 14;
constexpr int kBaseline = 12;  // texel rows from the cell's top to the baseline
// The top and bottom texel rows of a cell stay black: filtering would bleed them into the
// glyph above or below.
constexpr int kFirstInkRow = 1;
constexpr int kLastInkRow = 14;
// Coverage below this is background (pure black, see-through); above it the glyph is light,
// from kDimmest to full white, so an antialiased edge never shows as a near-black rim.
constexpr float kCoverageCut = 0.3F;
constexpr float kDimmest = 0.55F;

void drawGlyph(FT_Face face, int code, int cellX, int cellY, Canvas& atlas) {
    if (FT_Load_Char(face, static_cast<FT_ULong>(code), FT_LOAD_RENDER | FT_LOAD_TARGET_LIGHT) !=
        0) {
        return;
    }
    const FT_GlyphSlot slot = face->glyph;
    const FT_Bitmap& bitmap = slot->bitmap;
    // Centre the ink in the advance, keeping it inside the readable columns.
    const int inkWidth = static_cast<int>(bitmap.width);
    const int left = std::clamp((kGlyphColumns - inkWidth) / 2, 0, kGlyphColumns - 1);
    const int top = kBaseline - slot->bitmap_top;
    for (int row = 0; row < static_cast<int>(bitmap.rows); ++row) {
        for (int column = 0; column < inkWidth; ++column) {
            const int x = left + column;
            const int y = top + row;
            if (x < 0 || x >= kGlyphColumns || y < kFirstInkRow || y > kLastInkRow) {
                continue;
            }
            const float coverage = bitmap.buffer[row * bitmap.pitch + column] / 255.0F;
            if (coverage < kCoverageCut) {
                continue;
            }
            const float level =
                kDimmest + (1 - kDimmest) * smoothstep(kCoverageCut, 0.8F, coverage);
            at(atlas, cellX + x, cellY + y) = {level, level, level};
        }
    }
}

bool drawFace(FT_Library library, const std::string& path, int firstRow, Canvas& atlas,
              std::string& error) {
    FT_Face face = nullptr;
    if (FT_New_Face(library, path.c_str(), 0, &face) != 0) {
        error = "cannot open font " + path;
        return false;
    }
    FT_Set_Pixel_Sizes(face, 0, kPixelSize);
    for (int code = kFirstCode; code <= kLastCode; ++code) {
        const int cell = code - kFirstCode;
        drawGlyph(face, code, (cell % 16) * kCellSide, (firstRow + cell / 16) * kCellSide, atlas);
    }
    FT_Done_Face(face);
    return true;
}

}  // namespace

bool paintFontAtlas(const std::string& mainFont, const std::string& secondFont, Canvas& atlas,
                    std::string& error) {
    atlas = makeCanvas(kAtlasSide, kAtlasSide, {});
    FT_Library library = nullptr;
    if (FT_Init_FreeType(&library) != 0) {
        error = "cannot start FreeType";
        return false;
    }
    const bool ok = drawFace(library, mainFont, 0, atlas, error) &&
                    drawFace(library, secondFont, kSecondFaceRow, atlas, error);
    FT_Done_FreeType(library);
    return ok;
}

}  // namespace textures_gen
