// gl_texture.cpp -- texture objects kept as data, and GLU's mipmap builder.
//
// Every level stays in memory beside the backend's copy, so that a new context gets the same
// pictures under the same names.
#include <cstdint>

#include "state.h"

using fixedgl::ImageLevel;
using fixedgl::recordOrRun;
using fixedgl::setError;
using fixedgl::state;
using fixedgl::Texture;

namespace {

constexpr int kMaxLevels = 16;
constexpr int kUnpackAlignment = 4;  // GL's default, which the layer does not let change

Texture& boundTexture() {
    return state().textures[state().boundTexture];
}

bool isRgba(GLint internalFormat) {
    return internalFormat == 4 || internalFormat == GL_RGBA || internalFormat == GL_RGBA8;
}

bool isRgb(GLint internalFormat) {
    return internalFormat == 3 || internalFormat == GL_RGB || internalFormat == GL_RGB8;
}

// The pixels as RGBA bytes, rows from the bottom; an RGB internal format keeps alpha at 255.
ImageLevel unpack(GLsizei width, GLsizei height, GLenum format, const std::uint8_t* pixels,
                  bool keepAlpha) {
    ImageLevel image;
    image.width = width;
    image.height = height;
    image.rgba.assign(static_cast<std::size_t>(width) * height * 4, 255);
    if (pixels == nullptr) {
        return image;  // storage without contents
    }
    const int channels = format == GL_RGBA ? 4 : 3;
    std::size_t row = static_cast<std::size_t>(width) * channels;
    row = (row + kUnpackAlignment - 1) / kUnpackAlignment * kUnpackAlignment;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const std::uint8_t* from = pixels + y * row + static_cast<std::size_t>(x) * channels;
            std::uint8_t* to = &image.rgba[(static_cast<std::size_t>(y) * width + x) * 4];
            to[0] = from[0];
            to[1] = from[1];
            to[2] = from[2];
            to[3] = channels == 4 && keepAlpha ? from[3] : 255;
        }
    }
    return image;
}

// Draws gathered under the texture's old contents are drawn before it changes.
void storeLevel(Texture& texture, int level, ImageLevel image) {
    fixedgl::flushPending();
    if (texture.levels.size() <= static_cast<std::size_t>(level)) {
        texture.levels.resize(static_cast<std::size_t>(level) + 1);
    }
    texture.levels[static_cast<std::size_t>(level)] = std::move(image);
    if (texture.handle != 0 && texture.uploaded) {
        const ImageLevel& stored = texture.levels[static_cast<std::size_t>(level)];
        fixedgl::backend::textureLevel(texture.handle, level, stored.width, stored.height,
                                       stored.rgba.data());
    }
}

void setParameter(Texture& t, GLenum name, GLenum value) {
    fixedgl::flushPending();
    (name == GL_TEXTURE_MIN_FILTER   ? t.minFilter
     : name == GL_TEXTURE_MAG_FILTER ? t.magFilter
     : name == GL_TEXTURE_WRAP_S     ? t.wrapS
                                     : t.wrapT) = value;
    if (t.uploaded) {
        fixedgl::backend::textureParameters(
            t.handle, static_cast<int>(t.minFilter), static_cast<int>(t.magFilter),
            fixedgl::webglWrap(t.wrapS), fixedgl::webglWrap(t.wrapT));
    }
}

bool validParameter(GLenum name, GLint value) {
    const auto v = static_cast<GLenum>(value);
    switch (name) {
        case GL_TEXTURE_MIN_FILTER:
            return v == GL_NEAREST || v == GL_LINEAR || v == GL_NEAREST_MIPMAP_NEAREST ||
                   v == GL_LINEAR_MIPMAP_NEAREST || v == GL_NEAREST_MIPMAP_LINEAR ||
                   v == GL_LINEAR_MIPMAP_LINEAR;
        case GL_TEXTURE_MAG_FILTER:
            return v == GL_NEAREST || v == GL_LINEAR;
        case GL_TEXTURE_WRAP_S:
        case GL_TEXTURE_WRAP_T:
            return v == GL_REPEAT || v == GL_CLAMP || v == GL_CLAMP_TO_EDGE;
        default:
            return false;
    }
}

}  // namespace

extern "C" {

void glGenTextures(GLsizei count, GLuint* names) {
    if (count < 0) {
        setError(GL_INVALID_VALUE);
        return;
    }
    auto& s = state();
    for (GLsizei i = 0; i < count; ++i) {
        while (s.textures.count(s.nextTextureName) != 0) {
            ++s.nextTextureName;
        }
        names[i] = s.nextTextureName;
        s.textures[s.nextTextureName];
        ++s.nextTextureName;
    }
}

void glBindTexture(GLenum target, GLuint name) {
    if (target != GL_TEXTURE_2D) {
        setError(GL_INVALID_ENUM);
        return;
    }
    recordOrRun([name] {
        state().boundTexture = name;
        state().textures[name];  // binding a new name creates its texture
    });
}

void glTexParameteri(GLenum target, GLenum name, GLint value) {
    if (target != GL_TEXTURE_2D || !validParameter(name, value)) {
        setError(GL_INVALID_ENUM);
        return;
    }
    recordOrRun([name, value] { setParameter(boundTexture(), name, static_cast<GLenum>(value)); });
}

void glTexImage2D(GLenum target, GLint level, GLint internalFormat, GLsizei width, GLsizei height,
                  GLint border, GLenum format, GLenum type, const GLvoid* pixels) {
    if (target != GL_TEXTURE_2D || (format != GL_RGBA && format != GL_RGB) ||
        type != GL_UNSIGNED_BYTE || (!isRgba(internalFormat) && !isRgb(internalFormat))) {
        setError(GL_INVALID_ENUM);
        return;
    }
    if (level < 0 || level >= kMaxLevels || width < 0 || height < 0 || border != 0) {
        setError(GL_INVALID_VALUE);
        return;
    }
    ImageLevel image = unpack(width, height, format, static_cast<const std::uint8_t*>(pixels),
                              isRgba(internalFormat));
    recordOrRun([level, image] { storeLevel(boundTexture(), level, image); });
}

// The desktop's libGLU: levels 0 to 1 x 1, each halved from the one before, level 0 scaled to
// the nearest powers of two first when a side is not one.
GLint gluBuild2DMipmaps(GLenum target, GLint components, GLint width, GLint height, GLenum format,
                        GLenum type, const void* data) {
    if (width < 1 || height < 1) {
        return GLU_INVALID_VALUE;
    }
    if (target != GL_TEXTURE_2D || type != GL_UNSIGNED_BYTE ||
        (format != GL_RGBA && format != GL_RGB) || (!isRgba(components) && !isRgb(components))) {
        return GLU_INVALID_ENUM;
    }
    const ImageLevel base =
        unpack(width, height, format, static_cast<const std::uint8_t*>(data), format == GL_RGBA);
    const auto levels = fixedgl::buildMipmapLevels(base);
    for (std::size_t level = 0; level < levels.size(); ++level) {
        glTexImage2D(GL_TEXTURE_2D, static_cast<GLint>(level), components, levels[level].width,
                     levels[level].height, 0, GL_RGBA, GL_UNSIGNED_BYTE, levels[level].rgba.data());
    }
    return 0;
}

}  // extern "C"
