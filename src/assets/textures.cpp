// textures.cpp -- turns the eight BMP files into mipmapped GL textures.
#include "assets/textures.h"

#include <GL/glu.h>

#include <array>
#include <cstdint>
#include <cstdio>

#include "assets/bmp.h"
#include "assets/file.h"

namespace assets {

TextureSet textures;

namespace {

std::string root;

// Internal format 4: the four-component RGBA of GL 1.0.
constexpr GLint kComponents = 4;

// Messages name the file as the system writes its paths, with one separator throughout.
std::string resolve(const char* path) {
    if (root.empty() || path[0] == '/') {
        return nativePath(path);
    }
    const std::string folder = nativePath(root);
    const char separator = nativePath("/").front();
    return folder.back() == separator ? folder + nativePath(path)
                                      : folder + separator + nativePath(path);
}

void setParameters() {
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_NEAREST);
}

void upload(GLsizei width, GLsizei height, const std::uint8_t* rgba) {
    glTexImage2D(GL_TEXTURE_2D, 0, kComponents, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
    gluBuild2DMipmaps(GL_TEXTURE_2D, kComponents, width, height, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
}

// A failed file still gets a texture that draws: opaque white leaves the fragment colour as
// it is, so the scene stays readable while the message on stderr says what went wrong.
void uploadPlaceholder() {
    constexpr std::array<std::uint8_t, 4> kWhite = {255, 255, 255, 255};
    upload(1, 1, kWhite.data());
}

}  // namespace

void setAssetRoot(const std::string& newRoot) {
    root = newRoot;
}

void createTexture(const char* path, GLuint* name) {
    glGenTextures(1, name);
    glBindTexture(GL_TEXTURE_2D, *name);
    const std::string tried = path != nullptr ? resolve(path) : "(null)";
    const Bitmap bitmap = path != nullptr ? loadBitmapRgba(tried) : Bitmap{{}, {}, "no path"};
    setParameters();
    if (!bitmap.error.empty()) {
        std::fprintf(stderr, "Vantorix: cannot load %s: %s\n", tried.c_str(), bitmap.error.c_str());
        uploadPlaceholder();
        return;
    }
    upload(bitmap.info.width, bitmap.info.height, bitmap.pixels.data());
}

void loadTextures() {
    for (const TextureFile& file : kTextureFiles) {
        createTexture(file.path, &(textures.*file.member));
    }
}

}  // namespace assets
