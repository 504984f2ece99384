// backend.h -- what the layer's core asks of a backend: textures, buffers, draws, clears.
//
// The core (the gl* calls, the kept state, the lists and the batch) keeps every piece of GL 1.x
// state and hands the backend finished draws: a primitive, the state its shaders take, where its
// vertices come from and, for a run of one list under many matrices, the instances. webgl/ is
// the backend of the browser build; the native tests link one that records what it is asked.
// Plain types only: this header is shared by the files that include WebGL's headers and ours.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace fixedgl {

using Matrix = std::array<float, 16>;  // column-major, as GL's
using Vec4 = std::array<float, 4>;
using Vec3 = std::array<float, 3>;

// One vertex of a triangle or of a plain line.
struct Vertex {
    Vec3 position{};
    Vec3 normal{};
    Vec4 colour{};
    std::array<float, 2> texCoord{};
};

// One corner of the quad that a smooth line is drawn as: the end it belongs to, the other end,
// and which end and side of the line it lies on.
struct LineCorner {
    Vec3 position{};
    Vec3 other{};
    Vec3 normal{};
    Vec4 colour{};
    std::array<float, 2> texCoord{};
    std::array<float, 2> corner{};  // end (0 first, 1 second), side (-1 or 1)
};

// One drawing of a list's mesh: the first three rows of its affine model-view, and the current
// colour it takes where the list sets none.
struct Instance {
    std::array<Vec4, 3> rows{};
    Vec4 colour{};
};

namespace backend {

struct MaterialUniforms {
    Vec4 ambient{}, diffuse{}, specular{}, emission{};
    float shininess = 0;
    // Colour material: 1 where the vertex colour stands for ambient, diffuse, specular,
    // emission (the value above is then 0: the shaders do not read it).
    Vec4 tracks{};
};

struct LightingUniforms {
    bool lighting = false;
    bool twoSide = false;
    bool localViewer = false;
    bool light0 = false;
    Vec4 modelAmbient{};
    Vec4 lightAmbient{}, lightDiffuse{}, lightSpecular{}, lightPosition{};
    Vec3 spotDirection{};
    float spotCosCutoff = -1;  // -1: not a spotlight
    float spotExponent = 0;
    Vec3 attenuation{};
    MaterialUniforms front, back;
};

struct FragmentUniforms {
    bool texturing = false;
    unsigned texture = 0;  // the backend's texture
    bool fog = false;
    int fogMode = 0;       // 0 linear, 1 exp, 2 exp2
    Vec4 fogParameters{};  // density, start, end
    Vec4 fogColour{};
    bool alphaTest = false;
    int alphaFunction = 7;  // GL's comparison minus GL_NEVER: 0 never ... 7 always
    float alphaReference = 0;
};

// Fixed-function state that WebGL keeps itself; the backend sets what differs from the draw
// before.
struct FixedState {
    bool depthTest = false, cullFace = false, blend = false;
    int cullMode = 0x0405, frontFace = 0x0901;  // GL_BACK, GL_CCW
    int blendSource = 1, blendDestination = 0;  // GL_ONE, GL_ZERO
    Vec4 clearColour{};
    std::array<int, 4> viewport{};
};

// Everything a draw's shaders and WebGL's fixed state take besides the model-view and the
// vertices. Draws under equal states may share one WebGL draw.
struct DrawState {
    Matrix projection{};
    FixedState fixed;
    LightingUniforms light;
    FragmentUniforms fragment;
};

bool operator==(const MaterialUniforms& a, const MaterialUniforms& b);
bool operator==(const LightingUniforms& a, const LightingUniforms& b);
bool operator==(const FragmentUniforms& a, const FragmentUniforms& b);
bool operator==(const FixedState& a, const FixedState& b);
bool operator==(const DrawState& a, const DrawState& b);
inline bool operator!=(const DrawState& a, const DrawState& b) {
    return !(a == b);
}

enum class Primitive { Triangles, Lines, SmoothLines };

// Where a draw's vertices come from. An attribute that the vertices do not carry takes the
// constant given here (a display list that sets no colour draws in the current colour, or in
// each instance's colour).
struct DrawSource {
    unsigned buffer = 0;       // a buffer made by makeBuffer; 0 streams `data`
    unsigned indexBuffer = 0;  // 16-bit indices (made by makeBuffer) into `buffer`, or 0
    const void* data = nullptr;
    std::size_t bytes = 0;
    int first = 0;  // vertex, or index when indexed
    int count = 0;
    bool hasNormal = true, hasColour = true, hasTexCoord = true;
    // Every colour the draw takes has an alpha of at least 1 (clamped, exactly 1): with an
    // opaque texture and material, blending then changes nothing and is left off.
    bool opaqueColours = false;
    Vec3 normal{};
    Vec4 colour{};
    std::array<float, 2> texCoord{};
};

struct Draw {
    Primitive primitive = Primitive::Triangles;
    DrawState state;
    Matrix modelView{};  // the identity for vertices already in eye space, and for instances
    DrawSource source;
    // Two or more: one draw of the source per instance (triangles only); their colours stand in
    // for the missing colour attribute.
    const Instance* instances = nullptr;
    int instanceCount = 0;
};

// On the current context; `instancing`: its ANGLE_instanced_arrays is enabled.
bool create(bool instancing);
void forget();
bool ready();

unsigned makeTexture();
void textureLevel(unsigned texture, int level, int width, int height, const std::uint8_t* rgba);
void textureParameters(unsigned texture, int minFilter, int magFilter, int wrapS, int wrapT);

// A buffer that keeps its data: vertices, or 16-bit indices.
unsigned makeBuffer(const void* data, std::size_t bytes, bool indices);
void deleteBuffer(unsigned buffer);

void draw(const Draw& draw);
// Clears with the state's clear colour, in its viewport; a new frame starts.
void clear(const FixedState& state, bool colour, bool depth);
void readPixels(int x, int y, int width, int height, void* rgba);
void finish();
void flush();

}  // namespace backend
}  // namespace fixedgl
