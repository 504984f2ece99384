// backend.h -- what the layer asks of WebGL: programs, buffers, textures, draws, fixed state.
//
// The front end (the gl* calls) keeps every piece of GL 1.x state; this side only mirrors it
// into WebGL objects, which a lost context takes away. Plain types only: this header is shared
// by the one file that includes WebGL's headers and the files that include ours.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace fixedgl {

// One vertex of a triangle or of a plain line.
struct Vertex {
    std::array<float, 3> position{};
    std::array<float, 3> normal{};
    std::array<float, 4> colour{};
    std::array<float, 2> texCoord{};
};

// One corner of the quad that a smooth line is drawn as: the end it belongs to, the other end,
// and which end and side of the line it lies on.
struct LineCorner {
    std::array<float, 3> position{};
    std::array<float, 3> other{};
    std::array<float, 3> normal{};
    std::array<float, 4> colour{};
    std::array<float, 2> texCoord{};
    std::array<float, 2> corner{};  // end (0 first, 1 second), side (-1 or 1)
};

namespace backend {

using Vec4 = std::array<float, 4>;
using Vec3 = std::array<float, 3>;

struct MaterialUniforms {
    Vec4 ambient{}, diffuse{}, specular{}, emission{};
    float shininess = 0;
    // Colour material: 1 where the vertex colour stands for ambient, diffuse, specular,
    // emission.
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
    unsigned texture = 0;  // the WebGL texture
    bool fog = false;
    int fogMode = 0;       // 0 linear, 1 exp, 2 exp2
    Vec4 fogParameters{};  // density, start, end
    Vec4 fogColour{};
    bool alphaTest = false;
    int alphaFunction = 7;  // GL's comparison minus GL_NEVER: 0 never ... 7 always
    float alphaReference = 0;
};

// Everything a draw's shaders read besides the vertices. Only the parts that changed since
// the previous draw are sent.
struct DrawState {
    std::array<float, 16> modelView{};
    std::array<float, 16> modelViewProjection{};
    std::array<float, 9> normals{};
    Vec4 viewport{};
    LightingUniforms light;
    FragmentUniforms fragment;
};

enum class Primitive { Triangles, Lines, SmoothLines };

// Where a draw's vertices come from. An attribute that the vertices do not carry takes the
// constant given here (a display list that sets no colour draws in the current colour).
struct DrawSource {
    unsigned buffer = 0;       // a buffer made by makeBuffer; 0 streams `data`
    unsigned indexBuffer = 0;  // 16-bit indices (made by makeIndexBuffer) into `buffer`, or 0
    const void* indexData = nullptr;  // else 16-bit indices streamed with the draw
    std::size_t indexBytes = 0;
    const void* data = nullptr;
    std::size_t bytes = 0;
    int first = 0;
    int count = 0;
    bool hasNormal = true, hasColour = true, hasTexCoord = true;
    // Every colour in the array has an alpha of at least 1 (clamped, exactly 1): with an opaque
    // texture and material, the draw's blending then changes nothing and is left off.
    bool opaqueColours = false;
    Vec3 normal{};
    Vec4 colour{};
    std::array<float, 2> texCoord{};
};

bool create();
void forget();
bool ready();

unsigned makeTexture();
void textureLevel(unsigned texture, int level, int width, int height, const std::uint8_t* rgba);
void textureParameters(unsigned texture, int minFilter, int magFilter, int wrapS, int wrapT);
void deleteTexture(unsigned texture);

unsigned makeBuffer(const void* data, std::size_t bytes);
unsigned makeIndexBuffer(const void* data, std::size_t bytes);
void deleteBuffer(unsigned buffer);

void draw(Primitive primitive, const DrawState& state, const DrawSource& source);

// Fixed-function state that WebGL keeps itself.
struct FixedState {
    bool depthTest = false, cullFace = false, blend = false;
    int cullMode = 0x0405, frontFace = 0x0901;
    int blendSource = 1, blendDestination = 0;
    int depthFunction = 0x0201;
    bool depthMask = true;
    Vec4 clearColour{};
    float clearDepth = 1;
    std::array<int, 4> viewport{};
};
void applyFixedState(const FixedState& state);
void clear(bool colour, bool depth);
void readPixels(int x, int y, int width, int height, void* rgba);
void finish();
void flush();

}  // namespace backend
}  // namespace fixedgl
