// font_atlas.cpp -- glyphs rasterised with FreeType, drawn for the mip levels the HUD shows.
//
// A glyph's square is 20 pixels wide at 800 x 600 and 40 at twice that size. The game samples
// the atlas from the nearest mip level, so its 32-texel cells show at level 1 (16 texels, each
// the mean of 2 x 2 texels of level 0, as gluBuild2DMipmaps makes it) in the small window, and
// at level 0 in the large one. Each glyph is therefore a 16 x 16 bitmap drawn with 2 x 2
// texels: level 1 is then that bitmap exactly, with no texel half ink, and level 0 shows it
// twice as large without the blur of magnifying a small atlas. The bitmap has three tones:
// white ink, a dark outline that keeps the text legible over the pale crates, and see-through
// black around it.
#include "font_atlas.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H

#include <algorithm>
#include <vector>

namespace textures_gen {

namespace {

constexpr int kFirstCode = 32;
constexpr int kLastCode = 126;
constexpr int kSecondFaceRow = 8;
constexpr int kTexelsPerDot = 2;  // a bitmap dot is 2 x 2 atlas texels
constexpr int kDots = kCellSide / kTexelsPerDot;
constexpr int kAdvanceDots = kGlyphColumns / kTexelsPerDot;
constexpr int kPixelSize = 13;  // the hinted size, in dots
constexpr int kBaseline = 11;   // dots from the cell's top to the baseline
constexpr int kOutline = 1;     // dots of outline around the ink
// The top and bottom dot rows of a cell stay black, so that no level bleeds a glyph into the
// cell above or below; ink and outline stay left of the advance.
constexpr int kFirstRow = 1;
constexpr int kLastRow = kDots - 2;
constexpr int kLastColumn = kAdvanceDots - 1;
constexpr Colour kInk{1.0F, 1.0F, 1.0F};
constexpr Colour kOutlineTone{0.06F, 0.06F, 0.06F};  // dark, but not the see-through black

enum class Dot { clear, outline, ink };
using Bitmap = std::vector<Dot>;

bool usable(int x, int y, int margin) {
    return x >= margin && x <= kLastColumn - margin && y >= kFirstRow + margin &&
           y <= kLastRow - margin;
}

Dot& dotAt(Bitmap& bitmap, int x, int y) {
    return bitmap[static_cast<std::size_t>(y) * kDots + x];
}

// The outline hinted at the bitmap's size, where the hinter puts stems and bars on whole dots,
// then rendered at twice that size: each dot is ink when at least two of its four samples are.
Bitmap inkOf(FT_Face face, int code) {
    Bitmap dots(static_cast<std::size_t>(kDots) * kDots, Dot::clear);
    if (FT_Load_Char(face, static_cast<FT_ULong>(code), FT_LOAD_NO_BITMAP | FT_LOAD_TARGET_MONO) !=
            0 ||
        face->glyph->format != FT_GLYPH_FORMAT_OUTLINE) {
        return dots;
    }
    FT_Matrix twice{kTexelsPerDot << 16, 0, 0, kTexelsPerDot << 16};
    FT_Outline_Transform(&face->glyph->outline, &twice);
    if (FT_Render_Glyph(face->glyph, FT_RENDER_MODE_NORMAL) != 0) {
        return dots;
    }
    const FT_GlyphSlot slot = face->glyph;
    const FT_Bitmap& samples = slot->bitmap;
    const int widthDots = (static_cast<int>(samples.width) + 1) / kTexelsPerDot;
    const int left = std::max(kOutline, (kAdvanceDots - widthDots) / 2);
    // Whole dots from the origin, so that the hinted edges stay on the dot grid.
    const int firstSampleRow = kBaseline * kTexelsPerDot - slot->bitmap_top;
    const int firstSampleColumn = slot->bitmap_left & 1;
    for (int y = 0; y < kDots; ++y) {
        for (int x = 0; x < kDots; ++x) {
            int covered = 0;
            for (int s = 0; s < kTexelsPerDot * kTexelsPerDot; ++s) {
                const int row = y * kTexelsPerDot + s / kTexelsPerDot - firstSampleRow;
                const int column =
                    (x - left) * kTexelsPerDot + s % kTexelsPerDot - firstSampleColumn;
                if (row >= 0 && row < static_cast<int>(samples.rows) && column >= 0 &&
                    column < static_cast<int>(samples.width) &&
                    samples.buffer[row * samples.pitch + column] >= 128) {
                    ++covered;
                }
            }
            if (covered >= 2 && usable(x, y, kOutline)) {
                dotAt(dots, x, y) = Dot::ink;
            }
        }
    }
    return dots;
}

// Every clear dot within kOutline of the ink (a square around each) joins the outline.
void addOutline(Bitmap& dots) {
    const Bitmap ink = dots;
    for (int y = 0; y < kDots; ++y) {
        for (int x = 0; x < kDots; ++x) {
            if (ink[static_cast<std::size_t>(y) * kDots + x] != Dot::ink) {
                continue;
            }
            for (int dy = -kOutline; dy <= kOutline; ++dy) {
                for (int dx = -kOutline; dx <= kOutline; ++dx) {
                    if (usable(x + dx, y + dy, 0) && dotAt(dots, x + dx, y + dy) == Dot::clear) {
                        dotAt(dots, x + dx, y + dy) = Dot::outline;
                    }
                }
            }
        }
    }
}

void drawGlyph(FT_Face face, int code, int cellX, int cellY, Canvas& atlas) {
    Bitmap dots = inkOf(face, code);
    addOutline(dots);
    for (int y = 0; y < kCellSide; ++y) {
        for (int x = 0; x < kCellSide; ++x) {
            const Dot dot = dotAt(dots, x / kTexelsPerDot, y / kTexelsPerDot);
            if (dot != Dot::clear) {
                at(atlas, cellX + x, cellY + y) = dot == Dot::ink ? kInk : kOutlineTone;
            }
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
