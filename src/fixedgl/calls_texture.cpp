// calls_texture.cpp -- texture objects kept as data, and GLU's mipmap builder.
//
// Every level stays in memory beside its WebGL copy, so that a new context gets the same
// pictures under the same names.
#include <cstdint>

#include "state.h"

using fixedgl::ImageLevel;
using fixedgl::setError;
using fixedgl::state;
using fixedgl::Texture;

namespace {

constexpr int kMaxLevels = 16;
constexpr int kUnpackAlignment = 4;  // GL's default, which the layer does not let change

Texture* boundTexture() {
    return &state().textures[state().boundTexture];
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

void storeLevel(Texture& texture, int level, ImageLevel image) {
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

bool validFilter(GLint value, bool minifying) {
    switch (value) {
        case GL_NEAREST:
        case GL_LINEAR:
            return true;
        case GL_NEAREST_MIPMAP_NEAREST:
        case GL_LINEAR_MIPMAP_NEAREST:
        case GL_NEAREST_MIPMAP_LINEAR:
        case GL_LINEAR_MIPMAP_LINEAR:
            return minifying;
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

void glDeleteTextures(GLsizei count, const GLuint* names) {
    if (count < 0) {
        setError(GL_INVALID_VALUE);
        return;
    }
    fixedgl::flushPending();
    auto& s = state();
    for (GLsizei i = 0; i < count; ++i) {
        auto found = s.textures.find(names[i]);
        if (names[i] == 0 || found == s.textures.end()) {
            continue;
        }
        fixedgl::backend::deleteTexture(found->second.handle);
        s.textures.erase(found);
        if (s.boundTexture == names[i]) {
            s.boundTexture = 0;
        }
    }
}

GLboolean glIsTexture(GLuint name) {
    return name != 0 && state().textures.count(name) != 0 ? GL_TRUE : GL_FALSE;
}

void glBindTexture(GLenum target, GLuint name) {
    if (fixedgl::recordInList([=] { glBindTexture(target, name); })) {
        return;
    }
    if (target != GL_TEXTURE_2D) {
        setError(GL_INVALID_ENUM);
        return;
    }
    auto& s = state();
    if (s.boundTexture == name) {
        return;
    }
    fixedgl::flushPending();
    s.boundTexture = name;
    s.textures[name];  // binding a new name creates its texture
}

void glTexParameteri(GLenum target, GLenum name, GLint value) {
    if (fixedgl::recordInList([=] { glTexParameteri(target, name, value); })) {
        return;
    }
    if (target != GL_TEXTURE_2D) {
        setError(GL_INVALID_ENUM);
        return;
    }
    Texture& t = *boundTexture();
    const auto v = static_cast<GLenum>(value);
    switch (name) {
        case GL_TEXTURE_MIN_FILTER:
        case GL_TEXTURE_MAG_FILTER:
            if (!validFilter(value, name == GL_TEXTURE_MIN_FILTER)) {
                setError(GL_INVALID_ENUM);
                return;
            }
            break;
        case GL_TEXTURE_WRAP_S:
        case GL_TEXTURE_WRAP_T:
            if (v != GL_REPEAT && v != GL_CLAMP && v != GL_CLAMP_TO_EDGE) {
                setError(GL_INVALID_ENUM);
                return;
            }
            break;
        default:
            setError(GL_INVALID_ENUM);
            return;
    }
    fixedgl::flushPending();
    (name == GL_TEXTURE_MIN_FILTER   ? t.minFilter
     : name == GL_TEXTURE_MAG_FILTER ? t.magFilter
     : name == GL_TEXTURE_WRAP_S     ? t.wrapS
                                     : t.wrapT) = v;
    if (t.uploaded) {
        fixedgl::backend::textureParameters(
            t.handle, static_cast<int>(t.minFilter), static_cast<int>(t.magFilter),
            fixedgl::webglWrap(t.wrapS), fixedgl::webglWrap(t.wrapT));
    }
}

void glTexParameterf(GLenum target, GLenum name, GLfloat value) {
    glTexParameteri(target, name, static_cast<GLint>(value));
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
    if (fixedgl::recordInList([target, level, internalFormat, image] {
            glTexImage2D(target, level, internalFormat, image.width, image.height, 0, GL_RGBA,
                         GL_UNSIGNED_BYTE, image.rgba.data());
        })) {
        return;
    }
    fixedgl::flushPending();
    storeLevel(*boundTexture(), level, std::move(image));
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
