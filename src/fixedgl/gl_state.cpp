// gl_state.cpp -- enables, light 0, materials, fog, tests and the framebuffer's own state.
//
// A value GL rejects sets the error and changes nothing, as GL does; the game relies on that
// for its spot cutoff of 190, which leaves light 0 a plain light. A mode the layer does not draw
// (another light, normalised normals, flat shading) is refused with GL_INVALID_ENUM too.
#include <cstring>

#include "state.h"

using fixedgl::recordOrRun;
using fixedgl::setError;
using fixedgl::state;

namespace {

constexpr float kMaxExponent = 128.0f;

bool* flagOf(GLenum cap) {
    auto& s = state();
    auto& e = s.enables;
    switch (cap) {
        case GL_LIGHTING:
            return &e.lighting;
        case GL_COLOR_MATERIAL:
            return &e.colourMaterial;
        case GL_TEXTURE_2D:
            return &e.texture2D;
        case GL_FOG:
            return &e.fog;
        case GL_ALPHA_TEST:
            return &e.alphaTest;
        case GL_LINE_SMOOTH:
            return &e.lineSmooth;
        case GL_DEPTH_TEST:
            return &s.fixed.depthTest;
        case GL_CULL_FACE:
            return &s.fixed.cullFace;
        case GL_BLEND:
            return &s.fixed.blend;
        case GL_LIGHT0:
            return &s.light.enabled;
        default:
            return nullptr;
    }
}

// Switches that change nothing the layer draws: it draws no points, and Mesa neither smooths
// polygons nor dithers at eight bits a channel.
bool changesNothing(GLenum cap) {
    return cap == GL_POLYGON_SMOOTH || cap == GL_POINT_SMOOTH || cap == GL_DITHER;
}

// Switches whose off state is the only one the layer draws.
bool onlyOff(GLenum cap) {
    return cap == GL_NORMALIZE || (cap > GL_LIGHT0 && cap <= GL_LIGHT7);
}

void setCapability(GLenum cap, bool on) {
    if (changesNothing(cap) || (onlyOff(cap) && !on)) {
        return;
    }
    if (flagOf(cap) == nullptr) {
        setError(GL_INVALID_ENUM);
        return;
    }
    recordOrRun([cap, on] {
        *flagOf(cap) = on;
        if (cap == GL_COLOR_MATERIAL && on) {
            fixedgl::trackColour(state().current.colour);
        }
    });
}

bool isComparison(GLenum func) {
    return func >= GL_NEVER && func <= GL_ALWAYS;
}

float clampUnit(float value) {
    return value < 0.0f ? 0.0f : (value > 1.0f ? 1.0f : value);
}

// How many values a light parameter takes, 0 when GL does not know the name.
int lightValueCount(GLenum name) {
    switch (name) {
        case GL_AMBIENT:
        case GL_DIFFUSE:
        case GL_SPECULAR:
        case GL_POSITION:
            return 4;
        case GL_SPOT_DIRECTION:
            return 3;
        case GL_SPOT_EXPONENT:
        case GL_SPOT_CUTOFF:
        case GL_CONSTANT_ATTENUATION:
        case GL_LINEAR_ATTENUATION:
        case GL_QUADRATIC_ATTENUATION:
            return 1;
        default:
            return 0;
    }
}

bool validLightValue(GLenum name, float v) {
    switch (name) {
        case GL_SPOT_EXPONENT:
            return v >= 0.0f && v <= kMaxExponent;
        case GL_SPOT_CUTOFF:
            return (v >= 0.0f && v <= 90.0f) || v == 180.0f;
        case GL_CONSTANT_ATTENUATION:
        case GL_LINEAR_ATTENUATION:
        case GL_QUADRATIC_ATTENUATION:
            return v >= 0.0f;
        default:
            return true;
    }
}

// Positions and directions are kept in eye space, by the model-view when they are set.
void setLight(GLenum name, const fixedgl::Vec4& v) {
    fixedgl::Light& l = state().light;
    const auto& modelView = state().modelView.back();
    switch (name) {
        case GL_AMBIENT:
            l.ambient = v;
            break;
        case GL_DIFFUSE:
            l.diffuse = v;
            break;
        case GL_SPECULAR:
            l.specular = v;
            break;
        case GL_POSITION:
            l.position = fixedgl::transform(modelView, v);
            break;
        case GL_SPOT_DIRECTION:
            l.spotDirection = fixedgl::transformDirection(modelView, {v[0], v[1], v[2]});
            break;
        case GL_SPOT_EXPONENT:
            l.spotExponent = v[0];
            break;
        case GL_SPOT_CUTOFF:
            l.spotCutoff = v[0];
            break;
        default:
            l.attenuation[name - GL_CONSTANT_ATTENUATION] = v[0];
            break;
    }
}

bool isMaterialName(GLenum name) {
    return name == GL_AMBIENT || name == GL_DIFFUSE || name == GL_SPECULAR || name == GL_EMISSION ||
           name == GL_AMBIENT_AND_DIFFUSE || name == GL_SHININESS;
}

bool isFace(GLenum face) {
    return face == GL_FRONT || face == GL_BACK || face == GL_FRONT_AND_BACK;
}

void setMaterial(fixedgl::Material& m, GLenum name, const fixedgl::Vec4& v) {
    switch (name) {
        case GL_AMBIENT:
            m.ambient = v;
            break;
        case GL_DIFFUSE:
            m.diffuse = v;
            break;
        case GL_AMBIENT_AND_DIFFUSE:
            m.ambient = m.diffuse = v;
            break;
        case GL_SPECULAR:
            m.specular = v;
            break;
        case GL_EMISSION:
            m.emission = v;
            break;
        default:
            m.shininess = v[0];
            break;
    }
}

// Each material, front and back, as `face` names them.
template <typename Change>
void forFaces(GLenum face, Change change) {
    if (face != GL_BACK) {
        change(state().front);
    }
    if (face != GL_FRONT) {
        change(state().back);
    }
}

bool isBlendFactor(GLenum f, bool source) {
    switch (f) {
        case GL_ZERO:
        case GL_ONE:
        case GL_SRC_ALPHA:
        case GL_ONE_MINUS_SRC_ALPHA:
        case GL_DST_ALPHA:
        case GL_ONE_MINUS_DST_ALPHA:
            return true;
        case GL_DST_COLOR:
        case GL_ONE_MINUS_DST_COLOR:
        case GL_SRC_ALPHA_SATURATE:
            return source;
        case GL_SRC_COLOR:
        case GL_ONE_MINUS_SRC_COLOR:
            return !source;
        default:
            return false;
    }
}

void setFog(GLenum name, const fixedgl::Vec4& v) {
    auto& s = state();
    switch (name) {
        case GL_FOG_MODE:
            s.fogMode = static_cast<GLenum>(v[0]);
            break;
        case GL_FOG_DENSITY:
            s.fogDensity = v[0];
            break;
        case GL_FOG_START:
            s.fogStart = v[0];
            break;
        case GL_FOG_END:
            s.fogEnd = v[0];
            break;
        default:
            s.fogColour = {clampUnit(v[0]), clampUnit(v[1]), clampUnit(v[2]), clampUnit(v[3])};
            break;
    }
}

bool validFog(GLenum name, float value) {
    switch (name) {
        case GL_FOG_MODE: {
            const auto mode = static_cast<GLenum>(value);
            return mode == GL_LINEAR || mode == GL_EXP || mode == GL_EXP2;
        }
        case GL_FOG_DENSITY:
            return value >= 0.0f;
        default:
            return true;
    }
}

}  // namespace

extern "C" {

void glEnable(GLenum cap) {
    setCapability(cap, true);
}

void glDisable(GLenum cap) {
    setCapability(cap, false);
}

GLenum glGetError(void) {
    const GLenum error = state().error;
    state().error = GL_NO_ERROR;
    return error;
}

// Smooth shading is the only kind the layer draws.
void glShadeModel(GLenum mode) {
    if (mode != GL_SMOOTH) {
        setError(GL_INVALID_ENUM);
    }
}

void glFrontFace(GLenum mode) {
    if (mode != GL_CW && mode != GL_CCW) {
        setError(GL_INVALID_ENUM);
        return;
    }
    recordOrRun([mode] { state().fixed.frontFace = static_cast<int>(mode); });
}

void glCullFace(GLenum mode) {
    if (!isFace(mode)) {
        setError(GL_INVALID_ENUM);
        return;
    }
    recordOrRun([mode] { state().fixed.cullMode = static_cast<int>(mode); });
}

void glBlendFunc(GLenum source, GLenum destination) {
    if (!isBlendFactor(source, true) || !isBlendFactor(destination, false)) {
        setError(GL_INVALID_ENUM);
        return;
    }
    recordOrRun([source, destination] {
        state().fixed.blendSource = static_cast<int>(source);
        state().fixed.blendDestination = static_cast<int>(destination);
    });
}

void glAlphaFunc(GLenum func, GLclampf ref) {
    if (!isComparison(func)) {
        setError(GL_INVALID_ENUM);
        return;
    }
    recordOrRun([func, ref] {
        state().alphaFunction = func;
        state().alphaReference = clampUnit(ref);
    });
}

void glViewport(GLint x, GLint y, GLsizei width, GLsizei height) {
    if (width < 0 || height < 0) {
        setError(GL_INVALID_VALUE);
        return;
    }
    recordOrRun([=] { state().fixed.viewport = {x, y, width, height}; });
}

void glClearColor(GLclampf red, GLclampf green, GLclampf blue, GLclampf alpha) {
    recordOrRun([=] {
        state().fixed.clearColour = {clampUnit(red), clampUnit(green), clampUnit(blue),
                                     clampUnit(alpha)};
    });
}

void glClear(GLbitfield mask) {
    recordOrRun([mask] {
        fixedgl::flushPending();
        fixedgl::backend::clear(state().fixed, (mask & GL_COLOR_BUFFER_BIT) != 0,
                                (mask & GL_DEPTH_BUFFER_BIT) != 0);
    });
}

void glReadPixels(GLint x, GLint y, GLsizei width, GLsizei height, GLenum format, GLenum type,
                  GLvoid* pixels) {
    if (format != GL_RGBA || type != GL_UNSIGNED_BYTE) {
        setError(GL_INVALID_ENUM);
        return;
    }
    fixedgl::flushPending();
    fixedgl::backend::readPixels(x, y, width, height, pixels);
}

void glFinish(void) {
    fixedgl::flushPending();
    fixedgl::backend::finish();
}

void glFlush(void) {
    fixedgl::flushPending();
    fixedgl::backend::flush();
}

void glLightfv(GLenum light, GLenum name, const GLfloat* values) {
    const int count = lightValueCount(name);
    if (light != GL_LIGHT0 || count == 0) {
        setError(GL_INVALID_ENUM);
        return;
    }
    if (!validLightValue(name, values[0])) {
        setError(GL_INVALID_VALUE);
        return;
    }
    fixedgl::Vec4 copy{};
    std::memcpy(copy.data(), values, static_cast<std::size_t>(count) * sizeof(GLfloat));
    recordOrRun([name, copy] { setLight(name, copy); });
}

void glLightf(GLenum light, GLenum name, GLfloat value) {
    if (lightValueCount(name) != 1) {
        setError(GL_INVALID_ENUM);
        return;
    }
    glLightfv(light, name, &value);
}

void glLightModeli(GLenum name, GLint value) {
    if (name != GL_LIGHT_MODEL_LOCAL_VIEWER && name != GL_LIGHT_MODEL_TWO_SIDE) {
        setError(GL_INVALID_ENUM);
        return;
    }
    recordOrRun([name, value] {
        (name == GL_LIGHT_MODEL_LOCAL_VIEWER ? state().localViewer : state().twoSide) = value != 0;
    });
}

void glMaterialfv(GLenum face, GLenum name, const GLfloat* values) {
    if (!isFace(face) || !isMaterialName(name)) {
        setError(GL_INVALID_ENUM);
        return;
    }
    if (name == GL_SHININESS && (values[0] < 0.0f || values[0] > kMaxExponent)) {
        setError(GL_INVALID_VALUE);
        return;
    }
    fixedgl::Vec4 copy{};
    std::memcpy(copy.data(), values, (name == GL_SHININESS ? 1 : 4) * sizeof(GLfloat));
    recordOrRun([face, name, copy] {
        forFaces(face, [name, &copy](fixedgl::Material& m) { setMaterial(m, name, copy); });
    });
}

void glMaterialf(GLenum face, GLenum name, GLfloat value) {
    if (name != GL_SHININESS) {
        setError(GL_INVALID_ENUM);
        return;
    }
    glMaterialfv(face, name, &value);
}

void glColorMaterial(GLenum face, GLenum mode) {
    const bool modeOk = mode == GL_AMBIENT || mode == GL_DIFFUSE || mode == GL_SPECULAR ||
                        mode == GL_EMISSION || mode == GL_AMBIENT_AND_DIFFUSE;
    if (!isFace(face) || !modeOk) {
        setError(GL_INVALID_ENUM);
        return;
    }
    recordOrRun([face, mode] {
        state().colourMaterialFace = face;
        state().colourMaterialMode = mode;
        fixedgl::trackColour(state().current.colour);
    });
}

void glFogfv(GLenum name, const GLfloat* values) {
    const bool known = name == GL_FOG_MODE || name == GL_FOG_DENSITY || name == GL_FOG_START ||
                       name == GL_FOG_END || name == GL_FOG_COLOR;
    if (!known || (name == GL_FOG_MODE && !validFog(name, values[0]))) {
        setError(GL_INVALID_ENUM);
        return;
    }
    if (!validFog(name, values[0])) {
        setError(GL_INVALID_VALUE);
        return;
    }
    fixedgl::Vec4 copy{};
    std::memcpy(copy.data(), values, (name == GL_FOG_COLOR ? 4 : 1) * sizeof(GLfloat));
    recordOrRun([name, copy] { setFog(name, copy); });
}

void glFogf(GLenum name, GLfloat value) {
    if (name == GL_FOG_COLOR) {
        setError(GL_INVALID_ENUM);
        return;
    }
    glFogfv(name, &value);
}

// Edges matter only to polygons drawn as outlines or points, which the layer does not draw: the
// flag changes nothing.
void glEdgeFlag(GLboolean flag) {
    (void)flag;
}

}  // extern "C"
