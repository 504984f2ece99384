// png_writer.h -- writes an RGBA image as a PNG file (for snapshots and test artefacts).
#pragma once

#include <cstdint>
#include <string>

namespace png {

// Writes `width` x `height` RGBA pixels. With `bottomUp`, the first row in memory is the
// picture's bottom row, as GL reads it back. Returns false if the file cannot be written.
bool writeRgba(const std::string& path, const std::uint8_t* pixels, int width, int height,
               bool bottomUp);

}  // namespace png
