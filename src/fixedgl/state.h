// state.h -- the GL 1.x state the layer keeps, and the routines its calls share.
//
// GL is one state machine per context; the layer keeps it all here, as plain data, so that a
// lost WebGL context can be rebuilt from it. Only what some draw reads is kept: modes the layer
// does not draw are refused by the calls (GL_INVALID_ENUM) rather than stored.
#pragma once

#include <map>
#include <vector>

#include "backend.h"
#include "batch.h"
#include "fixedgl.h"
#include "glu/mipmap.h"
#include "lists.h"
#include "matrix.h"

namespace fixedgl {

constexpr int kModelViewDepth = 32;
constexpr int kProjectionDepth = 4;

// Light 0, the one light the layer draws.
struct Light {
    Vec4 ambient{0, 0, 0, 1};
    Vec4 diffuse{1, 1, 1, 1};
    Vec4 specular{1, 1, 1, 1};
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
    unsigned handle = 0;  // the backend's texture; 0 until made on the current context
    bool uploaded = false;
};

struct Enables {
    bool lighting = false, colourMaterial = false, texture2D = false, fog = false;
    bool alphaTest = false, lineSmooth = false;
};

struct State {
    GLenum error = GL_NO_ERROR;
    GLenum matrixMode = GL_MODELVIEW;
    std::vector<Matrix> modelView{identityMatrix()};
    std::vector<Matrix> projection{identityMatrix()};

    Enables enables;
    backend::FixedState fixed;
    GLenum alphaFunction = GL_ALWAYS;
    float alphaReference = 0;

    Light light;
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

    Lists lists;

    // Immediate mode: the primitive being specified.
    bool inBegin = false;
    GLenum beginMode = 0;
    std::vector<Vertex> primitiveVertices;

    // What waits to be drawn, gathered across calls until a draw cannot join it.
    Batch batch;
};

State& state();

// Records the first error since the last glGetError, as GL does.
void setError(GLenum error);

// The state of a draw as the shaders take it (the textures it samples made on the way).
backend::DrawState drawState();

// Draws what the batch has gathered: before anything that reads or changes what was drawn
// (clear, read-back, a texture's or a list's new contents) and at the end of a frame.
void flushPending();

// Builds the backend's objects of a texture or a list on the current context when missing.
void ensureTexture(Texture& texture);
void ensureList(DisplayList& list);
int webglWrap(GLenum wrap);

// Colour material makes the current colour the tracked material's value too, as it does when
// the current colour changes or colour material is switched on.
void trackColour(const Vec4& colour);

}  // namespace fixedgl
