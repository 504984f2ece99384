// state.h -- the GL 1.x state the layer keeps, and the routines its calls share.
//
// GL is one state machine per context; the layer keeps it all here, on the heap of the page,
// so that a lost WebGL context can be rebuilt from it.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <vector>

#include "backend.h"
#include "facing.h"
#include "fixedgl.h"
#include "matrix.h"
#include "mipmap.h"

namespace fixedgl {

using Vec4 = std::array<float, 4>;
using Vec3 = std::array<float, 3>;

constexpr int kModelViewDepth = 32;
constexpr int kProjectionDepth = 4;
constexpr int kLightCount = 8;
constexpr int kMaxListNesting = 64;

struct Light {
    Vec4 ambient{0, 0, 0, 1};
    Vec4 diffuse{0, 0, 0, 1};
    Vec4 specular{0, 0, 0, 1};
    Vec4 position{0, 0, 1, 0};     // eye space
    Vec3 spotDirection{0, 0, -1};  // eye space
    float spotExponent = 0;
    float spotCutoff = 180;
    Vec3 attenuation{1, 0, 0};
    bool enabled = false;
};

struct Material {
    Vec4 ambient{0.2f, 0.2f, 0.2f, 1};
    Vec4 diffuse{0.8f, 0.8f, 0.8f, 1};
    Vec4 specular{0, 0, 0, 1};
    Vec4 emission{0, 0, 0, 1};
    float shininess = 0;
};

struct Texture {
    std::vector<ImageLevel> levels;  // kept for a new context; empty levels are undefined
    GLenum minFilter = GL_NEAREST_MIPMAP_LINEAR;
    GLenum magFilter = GL_LINEAR;
    GLenum wrapS = GL_REPEAT;
    GLenum wrapT = GL_REPEAT;
    unsigned handle = 0;  // the WebGL texture; 0 until made on the current context
    bool uploaded = false;
};

// A stretch of a display list's vertices drawn with one draw call. An attribute that the list
// had not set before these vertices takes the current value when the list is called.
struct ListDraw {
    backend::Primitive primitive = backend::Primitive::Triangles;  // Triangles or Lines
    int first = 0;
    int count = 0;  // vertices (lines: two per segment)
    bool hasNormal = false, hasColour = false, hasTexCoord = false;
};

struct ListOp {
    bool isDraw = false;
    ListDraw draw;
    std::function<void()> command;
};

// Whether every vertex's colour has an alpha of at least 1.
bool opaqueColours(const std::vector<Vertex>& vertices);

struct DisplayList {
    std::vector<ListOp> ops;
    // Triangles' vertices; once the list is complete, each distinct vertex once, with
    // `triangleIndices` naming them in order (when they fit 16-bit indices).
    std::vector<Vertex> triangles;
    std::vector<std::uint16_t> triangleIndices;
    FacePlanes faces;                     // of the indexed triangles
    std::vector<Vertex> lines;            // two per segment
    std::vector<LineCorner> lineCorners;  // six per segment, for smooth lines
    unsigned triangleBuffer = 0, indexBuffer = 0, lineBuffer = 0, cornerBuffer = 0;
    bool opaqueTriangles = false;  // every colour in `triangles` has an alpha of at least 1
    bool uploaded = false;
};

// The attributes as they stand: current ones, or those of a list being compiled.
struct Attributes {
    Vec4 colour{1, 1, 1, 1};
    Vec3 normal{0, 0, 1};
    std::array<float, 2> texCoord{0, 0};
};

struct Compiling {
    GLuint name = 0;
    GLenum mode = 0;
    std::unique_ptr<DisplayList> list;
    Attributes attributes;
    bool setColour = false, setNormal = false, setTexCoord = false;
    bool attributesSynced = true;  // no attribute set since the last op that needs them
};

struct Enables {
    bool lighting = false, colourMaterial = false, texture2D = false, fog = false;
    bool alphaTest = false, lineSmooth = false, polygonSmooth = false, pointSmooth = false;
    bool normalize = false, dither = true;
};

struct State {
    GLenum error = GL_NO_ERROR;
    GLenum matrixMode = GL_MODELVIEW;
    std::vector<Matrix> modelView{identityMatrix()};
    std::vector<Matrix> projection{identityMatrix()};
    std::vector<Matrix> textureMatrix{identityMatrix()};

    Enables enables;
    backend::FixedState fixed;
    GLenum shadeModel = GL_SMOOTH;
    GLenum alphaFunction = GL_ALWAYS;
    float alphaReference = 0;
    bool edgeFlag = true;

    std::array<Light, kLightCount> lights;
    Vec4 modelAmbient{0.2f, 0.2f, 0.2f, 1};
    bool localViewer = false;
    bool twoSide = false;
    Material front, back;
    GLenum colourMaterialFace = GL_FRONT_AND_BACK;
    GLenum colourMaterialMode = GL_AMBIENT_AND_DIFFUSE;

    GLenum fogMode = GL_EXP;
    float fogDensity = 1, fogStart = 0, fogEnd = 1;
    Vec4 fogColour{0, 0, 0, 0};

    Attributes current;

    std::map<GLuint, Texture> textures;  // name 0 is the default texture
    GLuint boundTexture = 0;
    GLuint nextTextureName = 1;

    std::map<GLuint, DisplayList> lists;
    GLuint nextListName = 1;
    GLuint listBase = 0;
    std::unique_ptr<Compiling> compiling;
    int callDepth = 0;

    // Immediate mode: the primitive being specified, and what waits to be drawn in one call.
    bool inBegin = false;
    GLenum beginMode = 0;
    std::vector<Vertex> primitiveVertices;
    std::vector<Vertex> pendingTriangles;
    std::vector<Vertex> pendingLines;
    std::vector<std::uint16_t> keptIndices;  // a list draw's visible triangles
};

State& state();

// Records the first error since the last glGetError, as GL does.
void setError(GLenum error);

// Draws what immediate mode has gathered. Every call that changes what a draw looks like
// calls this first, so that the gathered vertices are drawn under the state they were given in.
void flushPending();

// While a list is being compiled, records `command` in it (and, for GL_COMPILE_AND_EXECUTE,
// runs it too); returns false when nothing is being compiled and the caller is to act now.
bool recordInList(std::function<void()> command);

// The state of a draw as the shaders take it.
backend::DrawState drawState();

// Sends the fixed state that WebGL keeps itself.
void applyFixed();

// Builds the WebGL objects of a texture or a list on the current context when they are missing.
void ensureTexture(Texture& texture);
void ensureList(DisplayList& list);
void forgetObjects();
int webglWrap(GLenum wrap);

// Turns the primitive's vertices into triangles or line segments, as Mesa splits them.
void assemble(GLenum mode, const std::vector<Vertex>& vertices, std::vector<Vertex>& triangles,
              std::vector<Vertex>& lines);
std::vector<LineCorner> lineCorners(const std::vector<Vertex>& lines);

void executeList(GLuint name);

// Shares the list's repeated triangle vertices: its spheres are drawn from a tenth of the
// vertices, which a software renderer's vertex cache then shades once.
void indexTriangles(DisplayList& list);

// With colour material on, `colour` becomes the tracked material's value, as it does when
// the current colour changes or colour material is switched on.
void trackColour(const Vec4& colour);

}  // namespace fixedgl
