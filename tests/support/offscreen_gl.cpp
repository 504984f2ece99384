// offscreen_gl.cpp -- OSMesa context for GL tests.
#include "offscreen_gl.h"

#include <GL/osmesa.h>

#include "png_file.h"

namespace testing_gl {

namespace {

constexpr GLint kDepthBits = 16;
OSMesaContext context = nullptr;
std::vector<std::uint8_t> buffer;
int width = 0;
int height = 0;

}  // namespace

bool makeOffscreenContext(int newWidth, int newHeight) {
    destroyOffscreenContext();
    context = OSMesaCreateContextExt(OSMESA_RGBA, kDepthBits, 0, 0, nullptr);
    if (context == nullptr) {
        return false;
    }
    width = newWidth;
    height = newHeight;
    buffer.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4, 0);
    return OSMesaMakeCurrent(context, buffer.data(), GL_UNSIGNED_BYTE, width, height) == GL_TRUE;
}

void destroyOffscreenContext() {
    if (context != nullptr) {
        glFinish();  // Mesa crashes when a context is destroyed with drawing still queued
        OSMesaDestroyContext(context);
        context = nullptr;
    }
}

int contextWidth() {
    return width;
}
int contextHeight() {
    return height;
}

Rgba pixelAt(int x, int y) {
    glFinish();
    const std::size_t offset = (static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                                static_cast<std::size_t>(x)) *
                               4;
    return {buffer[offset], buffer[offset + 1], buffer[offset + 2], buffer[offset + 3]};
}

const std::vector<std::uint8_t>& colourBuffer() {
    glFinish();
    return buffer;
}

bool writePng(const std::string& path) {
    glFinish();
    return png::writeRgba(path, buffer.data(), width, height, /*bottomUp=*/true);
}

}  // namespace testing_gl
