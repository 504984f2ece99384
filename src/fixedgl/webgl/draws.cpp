// draws.cpp -- the WebGL backend: textures, buffers, WebGL's own state and the draws.
//
// WebGL's state is set lazily: what the previous draw left (program, buffers, attribute arrays,
// constants, divisors, texture, enables) is kept here and only what differs is set again, so
// that a draw costs few calls. Streamed data goes into buffers reused frame after frame in the
// same order, and is uploaded only when it differs from what the buffer already holds.
#include <webgl/webgl1.h>
#include <webgl/webgl1_ext.h>

#include <cstring>
#include <set>
#include <vector>

#include "fixedgl/backend.h"
#include "fixedgl/matrix.h"
#include "programs.h"
#include "shaders.h"

namespace fixedgl::backend {

namespace {

using webgl::Attribute;

// What an attribute index is set to: an array in a buffer, or a constant.
struct AttributeState {
    bool array = false;
    GLuint buffer = 0;
    int size = 0;
    GLsizei stride = 0;
    std::size_t offset = 0;
    GLuint divisor = 0;
    Vec4 constant{0, 0, 0, 1};
};

// A buffer for streamed data, and a copy of what it holds.
struct Stream {
    GLuint buffer = 0;
    std::vector<std::uint8_t> held;
};

constexpr std::size_t kMaxStreams = 64;

struct Applied {
    bool depthTest = false, cullFace = false, blend = false;
    int cullMode = GL_BACK, frontFace = GL_CCW;
    int blendSource = GL_ONE, blendDestination = GL_ZERO;
    std::array<int, 4> viewport{-1, -1, -1, -1};
    Vec4 clearColour{};
};

struct Objects {
    bool ready = false;
    bool instancing = false;  // ANGLE_instanced_arrays
    std::map<unsigned, webgl::Program> programs;
    std::set<GLuint> translucentTextures;  // with a level that has a texel's alpha below 1
    std::vector<Stream> streams;
    std::size_t nextStream = 0;
    unsigned program = 0;
    GLuint arrayBuffer = 0;
    GLuint elementBuffer = 0;
    GLuint texture = 0;
    std::array<AttributeState, webgl::kAttributeCount> attributes{};
    Applied applied;
};

Objects objects;

void bindArrayBuffer(GLuint buffer) {
    if (objects.arrayBuffer != buffer) {
        emscripten_glBindBuffer(GL_ARRAY_BUFFER, buffer);
        objects.arrayBuffer = buffer;
    }
}

void bindElementBuffer(GLuint buffer) {
    if (objects.elementBuffer != buffer) {
        emscripten_glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, buffer);
        objects.elementBuffer = buffer;
    }
}

void bindTexture(GLuint texture) {
    if (objects.texture != texture) {
        emscripten_glBindTexture(GL_TEXTURE_2D, texture);
        objects.texture = texture;
    }
}

void setEnabled(GLenum cap, bool on, bool& applied) {
    if (applied != on) {
        if (on) {
            emscripten_glEnable(cap);
        } else {
            emscripten_glDisable(cap);
        }
        applied = on;
    }
}

// The next stream buffer of this frame, holding `bytes` of `data`.
GLuint stream(const void* data, std::size_t bytes) {
    if (objects.nextStream == objects.streams.size()) {
        if (objects.streams.size() == kMaxStreams) {
            objects.nextStream = 0;  // a frame without a clear: the buffers go round again
        } else {
            Stream fresh;
            emscripten_glGenBuffers(1, &fresh.buffer);
            objects.streams.push_back(fresh);
        }
    }
    Stream& s = objects.streams[objects.nextStream++];
    bindArrayBuffer(s.buffer);
    const auto* bytesIn = static_cast<const std::uint8_t*>(data);
    if (s.held.size() != bytes || std::memcmp(s.held.data(), bytesIn, bytes) != 0) {
        emscripten_glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(bytes), data,
                                GL_DYNAMIC_DRAW);
        s.held.assign(bytesIn, bytesIn + bytes);
    }
    return s.buffer;
}

void arrayAttribute(Attribute index, GLuint buffer, int size, GLsizei stride, std::size_t offset,
                    GLuint divisor = 0) {
    AttributeState& a = objects.attributes[index];
    if (!a.array) {
        emscripten_glEnableVertexAttribArray(index);
        a.array = true;
    }
    if (a.buffer != buffer || a.size != size || a.stride != stride || a.offset != offset) {
        bindArrayBuffer(buffer);
        emscripten_glVertexAttribPointer(index, size, GL_FLOAT, GL_FALSE, stride,
                                         // NOLINTNEXTLINE(performance-no-int-to-ptr): GL's offset
                                         reinterpret_cast<const void*>(offset));
        a.buffer = buffer;
        a.size = size;
        a.stride = stride;
        a.offset = offset;
    }
    if (a.divisor != divisor) {
        emscripten_glVertexAttribDivisorANGLE(index, divisor);
        a.divisor = divisor;
    }
}

void constantAttribute(Attribute index, int size, const float* value) {
    AttributeState& a = objects.attributes[index];
    if (a.array) {
        emscripten_glDisableVertexAttribArray(index);
        a.array = false;
    }
    const Vec4 constant{value[0], size > 1 ? value[1] : 0.0f, size > 2 ? value[2] : 0.0f,
                        size > 3 ? value[3] : 1.0f};
    if (a.constant != constant) {
        emscripten_glVertexAttrib4fv(index, constant.data());
        a.constant = constant;
    }
}

// An index the draw's program does not read is left without an array, which WebGL would
// otherwise check against the draw.
void unusedAttribute(Attribute index) {
    AttributeState& a = objects.attributes[index];
    if (a.array) {
        emscripten_glDisableVertexAttribArray(index);
        a.array = false;
    }
}

template <typename V>
void vertexAttributes(GLuint buffer, const DrawSource& source) {
    constexpr auto stride = static_cast<GLsizei>(sizeof(V));
    arrayAttribute(webgl::kPosition, buffer, 3, stride, offsetof(V, position));
    if (source.hasNormal) {
        arrayAttribute(webgl::kNormal, buffer, 3, stride, offsetof(V, normal));
    } else {
        constantAttribute(webgl::kNormal, 3, source.normal.data());
    }
    if (source.hasColour) {
        arrayAttribute(webgl::kColour, buffer, 4, stride, offsetof(V, colour));
    } else {
        constantAttribute(webgl::kColour, 4, source.colour.data());
    }
    if (source.hasTexCoord) {
        arrayAttribute(webgl::kTexCoord, buffer, 2, stride, offsetof(V, texCoord));
    } else {
        constantAttribute(webgl::kTexCoord, 2, source.texCoord.data());
    }
}

void pointAttributes(const Draw& d, GLuint buffer) {
    if (d.primitive == Primitive::SmoothLines) {
        vertexAttributes<LineCorner>(buffer, d.source);
        constexpr auto stride = static_cast<GLsizei>(sizeof(LineCorner));
        arrayAttribute(webgl::kOther, buffer, 3, stride, offsetof(LineCorner, other));
        arrayAttribute(webgl::kCorner, buffer, 2, stride, offsetof(LineCorner, corner));
        unusedAttribute(webgl::kRow2);
        return;
    }
    vertexAttributes<Vertex>(buffer, d.source);
    if (d.instanceCount < 2) {
        unusedAttribute(webgl::kRow0);
        unusedAttribute(webgl::kRow1);
        unusedAttribute(webgl::kRow2);
        return;
    }
    const GLuint instances =
        stream(d.instances, static_cast<std::size_t>(d.instanceCount) * sizeof(Instance));
    constexpr auto stride = static_cast<GLsizei>(sizeof(Instance));
    for (int row = 0; row < 3; ++row) {
        arrayAttribute(static_cast<Attribute>(webgl::kRow0 + row), instances, 4, stride,
                       offsetof(Instance, rows) + static_cast<std::size_t>(row) * sizeof(Vec4), 1);
    }
    if (!d.source.hasColour) {
        arrayAttribute(webgl::kColour, instances, 4, stride, offsetof(Instance, colour), 1);
    }
}

// Whether every fragment of the draw has an alpha of exactly 1 (the coverage of a smooth line
// is less at its edges).
bool opaqueFragments(const Draw& d) {
    if (d.primitive == Primitive::SmoothLines) {
        return false;
    }
    const bool opaqueColour = d.source.opaqueColours;
    auto opaqueMaterial = [opaqueColour](const MaterialUniforms& m) {
        return m.tracks[1] != 0.0f ? opaqueColour : m.diffuse[3] >= 1.0f;
    };
    const LightingUniforms& l = d.state.light;
    const bool opaqueShade =
        !l.lighting ? opaqueColour
                    : opaqueMaterial(l.front) && (!l.twoSide || opaqueMaterial(l.back));
    const FragmentUniforms& f = d.state.fragment;
    return opaqueShade && (!f.texturing || objects.translucentTextures.count(f.texture) == 0);
}

// Blending by the source's alpha (or by one) over one minus it changes nothing where that
// alpha is 1, and SwiftShader pays for it at every pixel: it is left off for such draws. GL
// never culls lines; the quads of a smooth line are triangles that WebGL would.
void applyFixed(const Draw& d) {
    const FixedState& f = d.state.fixed;
    Applied& a = objects.applied;
    const bool byAlpha =
        (f.blendSource == GL_SRC_ALPHA || f.blendSource == GL_ONE) &&
        (f.blendDestination == GL_ONE_MINUS_SRC_ALPHA || f.blendDestination == GL_ZERO);
    setEnabled(GL_BLEND, f.blend && !(byAlpha && opaqueFragments(d)), a.blend);
    setEnabled(GL_DEPTH_TEST, f.depthTest, a.depthTest);
    setEnabled(GL_CULL_FACE, f.cullFace && d.primitive != Primitive::SmoothLines, a.cullFace);
    if (a.cullMode != f.cullMode) {
        emscripten_glCullFace(static_cast<GLenum>(f.cullMode));
        a.cullMode = f.cullMode;
    }
    if (a.frontFace != f.frontFace) {
        emscripten_glFrontFace(static_cast<GLenum>(f.frontFace));
        a.frontFace = f.frontFace;
    }
    if (a.blendSource != f.blendSource || a.blendDestination != f.blendDestination) {
        emscripten_glBlendFunc(static_cast<GLenum>(f.blendSource),
                               static_cast<GLenum>(f.blendDestination));
        a.blendSource = f.blendSource;
        a.blendDestination = f.blendDestination;
    }
    if (a.viewport != f.viewport) {
        emscripten_glViewport(f.viewport[0], f.viewport[1], f.viewport[2], f.viewport[3]);
        a.viewport = f.viewport;
    }
}

// Without instancing, each instance is a draw of its own under its own model-view.
void drawEachInstance(const Draw& d) {
    Draw one = d;
    one.instances = nullptr;
    one.instanceCount = 0;
    for (int i = 0; i < d.instanceCount; ++i) {
        const Instance& instance = d.instances[i];
        Matrix& m = one.modelView;
        for (int row = 0; row < 3; ++row) {
            for (int column = 0; column < 4; ++column) {
                m[column * 4 + row] = instance.rows[row][column];
            }
        }
        m[3] = m[7] = m[11] = 0;
        m[15] = 1;
        one.source.colour = instance.colour;
        draw(one);
    }
}

void issue(const Draw& d) {
    const GLenum mode = d.primitive == Primitive::Lines ? GL_LINES : GL_TRIANGLES;
    const bool instanced = d.instanceCount > 1;
    if (d.source.indexBuffer != 0) {
        bindElementBuffer(d.source.indexBuffer);
        const auto offset = static_cast<GLintptr>(d.source.first * sizeof(GLushort));
        if (instanced) {
            emscripten_glDrawElementsInstancedANGLE(mode, d.source.count, GL_UNSIGNED_SHORT, offset,
                                                    d.instanceCount);
        } else {
            emscripten_glDrawElements(mode, d.source.count, GL_UNSIGNED_SHORT,
                                      // NOLINTNEXTLINE(performance-no-int-to-ptr): GL's offset
                                      reinterpret_cast<const void*>(offset));
        }
    } else if (instanced) {
        emscripten_glDrawArraysInstancedANGLE(mode, d.source.first, d.source.count,
                                              d.instanceCount);
    } else {
        emscripten_glDrawArrays(mode, d.source.first, d.source.count);
    }
}

}  // namespace

bool create(bool instancing) {
    objects = Objects{};
    objects.instancing = instancing;
    // The parts of the shaders compile here once, so that a fault in them shows at the start.
    constexpr unsigned kEveryFeature = webgl::kTwoSided | webgl::kLighting | webgl::kLight0 |
                                       webgl::kPositional | webgl::kSpot | webgl::kLocalViewer |
                                       webgl::kTexturing | webgl::kAlphaTest | webgl::kFogExp2;
    constexpr unsigned kEveryLineFeature = webgl::kSmoothLines | webgl::kFogLinear;
    if (webgl::programFor(objects.programs, kEveryFeature) == nullptr ||
        webgl::programFor(objects.programs, kEveryLineFeature) == nullptr ||
        (objects.instancing &&
         webgl::programFor(objects.programs, kEveryFeature | webgl::kInstanced) == nullptr)) {
        return false;
    }
    emscripten_glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    emscripten_glPixelStorei(GL_PACK_ALIGNMENT, 1);
    objects.ready = true;
    return true;
}

void forget() {
    objects = Objects{};
}

bool ready() {
    return objects.ready;
}

unsigned makeTexture() {
    if (!objects.ready) {
        return 0;
    }
    GLuint texture = 0;
    emscripten_glGenTextures(1, &texture);
    return texture;
}

void textureLevel(unsigned texture, int level, int width, int height, const std::uint8_t* rgba) {
    if (!objects.ready || texture == 0) {
        return;
    }
    bindTexture(texture);
    const std::size_t texels = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
    // A texture once given a translucent level stays counted as translucent: blending stays on.
    bool opaque = rgba != nullptr;
    for (std::size_t i = 0; i < texels && opaque; ++i) {
        opaque = rgba[i * 4 + 3] == 255;
    }
    if (!opaque) {
        objects.translucentTextures.insert(texture);
    }
    emscripten_glTexImage2D(GL_TEXTURE_2D, level, GL_RGBA, width, height, 0, GL_RGBA,
                            GL_UNSIGNED_BYTE, rgba);
}

void textureParameters(unsigned texture, int minFilter, int magFilter, int wrapS, int wrapT) {
    if (!objects.ready || texture == 0) {
        return;
    }
    bindTexture(texture);
    emscripten_glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, minFilter);
    emscripten_glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, magFilter);
    emscripten_glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, wrapS);
    emscripten_glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, wrapT);
}

unsigned makeBuffer(const void* data, std::size_t bytes, bool indices) {
    if (!objects.ready || bytes == 0) {
        return 0;
    }
    GLuint buffer = 0;
    emscripten_glGenBuffers(1, &buffer);
    if (indices) {
        bindElementBuffer(buffer);
    } else {
        bindArrayBuffer(buffer);
    }
    emscripten_glBufferData(indices ? GL_ELEMENT_ARRAY_BUFFER : GL_ARRAY_BUFFER,
                            static_cast<GLsizeiptr>(bytes), data, GL_STATIC_DRAW);
    return buffer;
}

void deleteBuffer(unsigned buffer) {
    if (!objects.ready || buffer == 0) {
        return;
    }
    for (AttributeState& a : objects.attributes) {
        if (a.buffer == buffer) {
            a.buffer = 0;
            a.size = 0;
        }
    }
    if (objects.arrayBuffer == buffer) {
        objects.arrayBuffer = 0;
    }
    if (objects.elementBuffer == buffer) {
        objects.elementBuffer = 0;
    }
    emscripten_glDeleteBuffers(1, &buffer);
}

void draw(const Draw& d) {
    if (!objects.ready || d.source.count <= 0) {
        return;
    }
    if (d.instanceCount > 1 && !objects.instancing) {
        drawEachInstance(d);
        return;
    }
    const bool instanced = d.instanceCount > 1;
    webgl::Program* program =
        webgl::programFor(objects.programs, webgl::featuresOf(d.primitive, d.state, instanced));
    if (program == nullptr) {
        return;
    }
    webgl::UniformValues values{};
    webgl::uniformValues(d.state, d.modelView, values);
    webgl::useProgram(*program, objects.program, values);
    applyFixed(d);
    if (d.state.fragment.texturing) {
        bindTexture(d.state.fragment.texture);
    }
    const GLuint buffer =
        d.source.buffer != 0 ? d.source.buffer : stream(d.source.data, d.source.bytes);
    pointAttributes(d, buffer);
    issue(d);
}

void clear(const FixedState& s, bool colour, bool depth) {
    if (!objects.ready) {
        return;
    }
    Applied& a = objects.applied;
    if (a.viewport != s.viewport) {
        emscripten_glViewport(s.viewport[0], s.viewport[1], s.viewport[2], s.viewport[3]);
        a.viewport = s.viewport;
    }
    if (colour && a.clearColour != s.clearColour) {
        emscripten_glClearColor(s.clearColour[0], s.clearColour[1], s.clearColour[2],
                                s.clearColour[3]);
        a.clearColour = s.clearColour;
    }
    emscripten_glClear((colour ? GL_COLOR_BUFFER_BIT : 0u) | (depth ? GL_DEPTH_BUFFER_BIT : 0u));
    objects.nextStream = 0;
}

void readPixels(int x, int y, int width, int height, void* rgba) {
    if (objects.ready) {
        emscripten_glReadPixels(x, y, width, height, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
    }
}

void finish() {
    if (objects.ready) {
        emscripten_glFinish();
    }
}

void flush() {
    if (objects.ready) {
        emscripten_glFlush();
    }
}

}  // namespace fixedgl::backend
