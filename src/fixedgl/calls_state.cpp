// calls_state.cpp -- enables, lights, materials, fog, tests and the framebuffer's own state.
//
// A value GL rejects sets the error and changes nothing, as GL does; the game relies on that
// for its spot cutoff of 190, which leaves light 0 a plain light.
#include <cmath>
#include <cstring>

#include "state.h"

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
        case GL_POLYGON_SMOOTH:
            return &e.polygonSmooth;
        case GL_POINT_SMOOTH:
            return &e.pointSmooth;
        case GL_NORMALIZE:
            return &e.normalize;
        case GL_DITHER:
            return &e.dither;
        case GL_DEPTH_TEST:
            return &s.fixed.depthTest;
        case GL_CULL_FACE:
            return &s.fixed.cullFace;
        case GL_BLEND:
            return &s.fixed.blend;
        default:
            break;
    }
    if (cap >= GL_LIGHT0 && cap < GL_LIGHT0 + fixedgl::kLightCount) {
        return &s.lights[cap - GL_LIGHT0].enabled;
    }
    return nullptr;
}

bool isFixedCap(GLenum cap) {
    return cap == GL_DEPTH_TEST || cap == GL_CULL_FACE || cap == GL_BLEND;
}

void setCapability(GLenum cap, bool on) {
    bool* flag = flagOf(cap);
    if (flag == nullptr) {
        setError(GL_INVALID_ENUM);
        return;
    }
    if (*flag == on) {
        return;
    }
    fixedgl::flushPending();
    *flag = on;
    if (isFixedCap(cap)) {
        fixedgl::applyFixed();
    }
    if (cap == GL_COLOR_MATERIAL && on) {
        fixedgl::trackColour(state().current.colour);
    }
}

fixedgl::Light* lightOf(GLenum light) {
    if (light < GL_LIGHT0 || light >= GL_LIGHT0 + fixedgl::kLightCount) {
        setError(GL_INVALID_ENUM);
        return nullptr;
    }
    return &state().lights[light - GL_LIGHT0];
}

fixedgl::Vec4 four(const GLfloat* v) {
    return {v[0], v[1], v[2], v[3]};
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

int materialValueCount(GLenum name) {
    switch (name) {
        case GL_AMBIENT:
        case GL_DIFFUSE:
        case GL_SPECULAR:
        case GL_EMISSION:
        case GL_AMBIENT_AND_DIFFUSE:
            return 4;
        case GL_SHININESS:
            return 1;
        default:
            return 0;
    }
}

void setLight(GLenum light, GLenum name, const GLfloat* v) {
    fixedgl::Light* l = lightOf(light);
    if (l == nullptr) {
        return;
    }
    const auto& modelView = state().modelView.back();
    switch (name) {
        case GL_AMBIENT:
            l->ambient = four(v);
            break;
        case GL_DIFFUSE:
            l->diffuse = four(v);
            break;
        case GL_SPECULAR:
            l->specular = four(v);
            break;
        case GL_POSITION:
            l->position = fixedgl::transform(modelView, four(v));
            break;
        case GL_SPOT_DIRECTION:
            l->spotDirection = fixedgl::transformDirection(modelView, {v[0], v[1], v[2]});
            break;
        case GL_SPOT_EXPONENT:
            if (v[0] < 0.0f || v[0] > kMaxExponent) {
                setError(GL_INVALID_VALUE);
                return;
            }
            l->spotExponent = v[0];
            break;
        case GL_SPOT_CUTOFF:
            if ((v[0] < 0.0f || v[0] > 90.0f) && v[0] != 180.0f) {
                setError(GL_INVALID_VALUE);
                return;
            }
            l->spotCutoff = v[0];
            break;
        case GL_CONSTANT_ATTENUATION:
        case GL_LINEAR_ATTENUATION:
        case GL_QUADRATIC_ATTENUATION:
            if (v[0] < 0.0f) {
                setError(GL_INVALID_VALUE);
                return;
            }
            l->attenuation[name - GL_CONSTANT_ATTENUATION] = v[0];
            break;
        default:
            setError(GL_INVALID_ENUM);
            return;
    }
}

void setMaterial(fixedgl::Material& m, GLenum name, const GLfloat* v) {
    switch (name) {
        case GL_AMBIENT:
            m.ambient = four(v);
            break;
        case GL_DIFFUSE:
            m.diffuse = four(v);
            break;
        case GL_AMBIENT_AND_DIFFUSE:
            m.ambient = m.diffuse = four(v);
            break;
        case GL_SPECULAR:
            m.specular = four(v);
            break;
        case GL_EMISSION:
            m.emission = four(v);
            break;
        case GL_SHININESS:
            m.shininess = v[0];
            break;
        default:
            break;
    }
}

void setMaterialValues(GLenum face, GLenum name, const GLfloat* v) {
    if (face != GL_FRONT && face != GL_BACK && face != GL_FRONT_AND_BACK) {
        setError(GL_INVALID_ENUM);
        return;
    }
    if (materialValueCount(name) == 0) {
        setError(GL_INVALID_ENUM);
        return;
    }
    if (name == GL_SHININESS && (v[0] < 0.0f || v[0] > kMaxExponent)) {
        setError(GL_INVALID_VALUE);
        return;
    }
    fixedgl::flushPending();
    if (face != GL_BACK) {
        setMaterial(state().front, name, v);
    }
    if (face != GL_FRONT) {
        setMaterial(state().back, name, v);
    }
}

void setLightModel(GLenum name, const GLfloat* v) {
    auto& s = state();
    switch (name) {
        case GL_LIGHT_MODEL_AMBIENT:
            s.modelAmbient = four(v);
            break;
        case GL_LIGHT_MODEL_LOCAL_VIEWER:
            s.localViewer = v[0] != 0.0f;
            break;
        case GL_LIGHT_MODEL_TWO_SIDE:
            s.twoSide = v[0] != 0.0f;
            break;
        default:
            setError(GL_INVALID_ENUM);
            return;
    }
}

void setFog(GLenum name, const GLfloat* v) {
    auto& s = state();
    switch (name) {
        case GL_FOG_MODE: {
            const auto mode = static_cast<GLenum>(v[0]);
            if (mode != GL_LINEAR && mode != GL_EXP && mode != GL_EXP2) {
                setError(GL_INVALID_ENUM);
                return;
            }
            s.fogMode = mode;
            break;
        }
        case GL_FOG_DENSITY:
            if (v[0] < 0.0f) {
                setError(GL_INVALID_VALUE);
                return;
            }
            s.fogDensity = v[0];
            break;
        case GL_FOG_START:
            s.fogStart = v[0];
            break;
        case GL_FOG_END:
            s.fogEnd = v[0];
            break;
        case GL_FOG_COLOR:
            s.fogColour = {clampUnit(v[0]), clampUnit(v[1]), clampUnit(v[2]), clampUnit(v[3])};
            break;
        default:
            setError(GL_INVALID_ENUM);
            return;
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

}  // namespace

extern "C" {

void glEnable(GLenum cap) {
    if (fixedgl::recordInList([cap] { glEnable(cap); })) {
        return;
    }
    setCapability(cap, true);
}

void glDisable(GLenum cap) {
    if (fixedgl::recordInList([cap] { glDisable(cap); })) {
        return;
    }
    setCapability(cap, false);
}

GLboolean glIsEnabled(GLenum cap) {
    const bool* flag = flagOf(cap);
    if (flag == nullptr) {
        setError(GL_INVALID_ENUM);
        return GL_FALSE;
    }
    return *flag ? GL_TRUE : GL_FALSE;
}

GLenum glGetError(void) {
    const GLenum error = state().error;
    state().error = GL_NO_ERROR;
    return error;
}

void glGetFloatv(GLenum name, GLfloat* values) {
    const auto& s = state();
    const fixedgl::Matrix* m = nullptr;
    switch (name) {
        case GL_MODELVIEW_MATRIX:
            m = &s.modelView.back();
            break;
        case GL_PROJECTION_MATRIX:
            m = &s.projection.back();
            break;
        case GL_CURRENT_COLOR:
            std::memcpy(values, s.current.colour.data(), 4 * sizeof(float));
            return;
        case GL_CURRENT_NORMAL:
            std::memcpy(values, s.current.normal.data(), 3 * sizeof(float));
            return;
        case GL_CURRENT_TEXTURE_COORDS:
            values[0] = s.current.texCoord[0];
            values[1] = s.current.texCoord[1];
            values[2] = 0;
            values[3] = 1;
            return;
        default:
            setError(GL_INVALID_ENUM);
            return;
    }
    std::memcpy(values, m->data(), 16 * sizeof(float));
}

void glGetIntegerv(GLenum name, GLint* values) {
    const auto& s = state();
    switch (name) {
        case GL_VIEWPORT:
            for (int i = 0; i < 4; ++i) {
                values[i] = s.fixed.viewport[i];
            }
            return;
        case GL_MATRIX_MODE:
            values[0] = static_cast<GLint>(s.matrixMode);
            return;
        case GL_LIST_BASE:
            values[0] = static_cast<GLint>(s.listBase);
            return;
        case GL_TEXTURE_BINDING_2D:
            values[0] = static_cast<GLint>(s.boundTexture);
            return;
        default:
            setError(GL_INVALID_ENUM);
            return;
    }
}

void glHint(GLenum target, GLenum mode) {
    // Hints may be ignored; only the values are checked.
    (void)target;
    if (mode != GL_DONT_CARE && mode != GL_FASTEST && mode != GL_NICEST) {
        setError(GL_INVALID_ENUM);
    }
}

void glShadeModel(GLenum mode) {
    if (fixedgl::recordInList([mode] { glShadeModel(mode); })) {
        return;
    }
    if (mode != GL_SMOOTH && mode != GL_FLAT) {
        setError(GL_INVALID_ENUM);
        return;
    }
    state().shadeModel = mode;
}

void glFrontFace(GLenum mode) {
    if (fixedgl::recordInList([mode] { glFrontFace(mode); })) {
        return;
    }
    if (mode != GL_CW && mode != GL_CCW) {
        setError(GL_INVALID_ENUM);
        return;
    }
    fixedgl::flushPending();
    state().fixed.frontFace = static_cast<int>(mode);
    fixedgl::applyFixed();
}

void glCullFace(GLenum mode) {
    if (fixedgl::recordInList([mode] { glCullFace(mode); })) {
        return;
    }
    if (mode != GL_FRONT && mode != GL_BACK && mode != GL_FRONT_AND_BACK) {
        setError(GL_INVALID_ENUM);
        return;
    }
    fixedgl::flushPending();
    state().fixed.cullMode = static_cast<int>(mode);
    fixedgl::applyFixed();
}

void glBlendFunc(GLenum source, GLenum destination) {
    if (fixedgl::recordInList([=] { glBlendFunc(source, destination); })) {
        return;
    }
    if (!isBlendFactor(source, true) || !isBlendFactor(destination, false)) {
        setError(GL_INVALID_ENUM);
        return;
    }
    auto& fixed = state().fixed;
    if (fixed.blendSource == static_cast<int>(source) &&
        fixed.blendDestination == static_cast<int>(destination)) {
        return;
    }
    fixedgl::flushPending();
    fixed.blendSource = static_cast<int>(source);
    fixed.blendDestination = static_cast<int>(destination);
    fixedgl::applyFixed();
}

void glAlphaFunc(GLenum func, GLclampf ref) {
    if (fixedgl::recordInList([=] { glAlphaFunc(func, ref); })) {
        return;
    }
    if (!isComparison(func)) {
        setError(GL_INVALID_ENUM);
        return;
    }
    fixedgl::flushPending();
    state().alphaFunction = func;
    state().alphaReference = clampUnit(ref);
}

void glDepthFunc(GLenum func) {
    if (fixedgl::recordInList([func] { glDepthFunc(func); })) {
        return;
    }
    if (!isComparison(func)) {
        setError(GL_INVALID_ENUM);
        return;
    }
    fixedgl::flushPending();
    state().fixed.depthFunction = static_cast<int>(func);
    fixedgl::applyFixed();
}

void glDepthMask(GLboolean flag) {
    if (fixedgl::recordInList([flag] { glDepthMask(flag); })) {
        return;
    }
    fixedgl::flushPending();
    state().fixed.depthMask = flag != GL_FALSE;
    fixedgl::applyFixed();
}

void glViewport(GLint x, GLint y, GLsizei width, GLsizei height) {
    if (fixedgl::recordInList([=] { glViewport(x, y, width, height); })) {
        return;
    }
    if (width < 0 || height < 0) {
        setError(GL_INVALID_VALUE);
        return;
    }
    fixedgl::flushPending();
    state().fixed.viewport = {x, y, width, height};
    fixedgl::applyFixed();
}

void glClearColor(GLclampf red, GLclampf green, GLclampf blue, GLclampf alpha) {
    if (fixedgl::recordInList([=] { glClearColor(red, green, blue, alpha); })) {
        return;
    }
    state().fixed.clearColour = {clampUnit(red), clampUnit(green), clampUnit(blue),
                                 clampUnit(alpha)};
    fixedgl::applyFixed();
}

void glClearDepth(GLclampd depth) {
    if (fixedgl::recordInList([depth] { glClearDepth(depth); })) {
        return;
    }
    state().fixed.clearDepth = clampUnit(static_cast<float>(depth));
    fixedgl::applyFixed();
}

void glClear(GLbitfield mask) {
    if (fixedgl::recordInList([mask] { glClear(mask); })) {
        return;
    }
    fixedgl::flushPending();
    fixedgl::backend::clear((mask & GL_COLOR_BUFFER_BIT) != 0, (mask & GL_DEPTH_BUFFER_BIT) != 0);
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
    if (count == 0) {
        setError(GL_INVALID_ENUM);
        return;
    }
    fixedgl::Vec4 copy{};
    std::memcpy(copy.data(), values, static_cast<std::size_t>(count) * sizeof(GLfloat));
    if (fixedgl::recordInList([=] { glLightfv(light, name, copy.data()); })) {
        return;
    }
    fixedgl::flushPending();
    setLight(light, name, copy.data());
}

void glLightf(GLenum light, GLenum name, GLfloat value) {
    if (lightValueCount(name) != 1) {
        setError(GL_INVALID_ENUM);
        return;
    }
    glLightfv(light, name, &value);
}

void glLighti(GLenum light, GLenum name, GLint value) {
    glLightf(light, name, static_cast<GLfloat>(value));
}

void glGetLightfv(GLenum light, GLenum name, GLfloat* values) {
    const fixedgl::Light* l = lightOf(light);
    if (l == nullptr) {
        return;
    }
    switch (name) {
        case GL_AMBIENT:
            std::memcpy(values, l->ambient.data(), 16);
            break;
        case GL_DIFFUSE:
            std::memcpy(values, l->diffuse.data(), 16);
            break;
        case GL_SPECULAR:
            std::memcpy(values, l->specular.data(), 16);
            break;
        case GL_POSITION:
            std::memcpy(values, l->position.data(), 16);
            break;
        case GL_SPOT_DIRECTION:
            std::memcpy(values, l->spotDirection.data(), 12);
            break;
        case GL_SPOT_EXPONENT:
            values[0] = l->spotExponent;
            break;
        case GL_SPOT_CUTOFF:
            values[0] = l->spotCutoff;
            break;
        case GL_CONSTANT_ATTENUATION:
        case GL_LINEAR_ATTENUATION:
        case GL_QUADRATIC_ATTENUATION:
            values[0] = l->attenuation[name - GL_CONSTANT_ATTENUATION];
            break;
        default:
            setError(GL_INVALID_ENUM);
            break;
    }
}

void glLightModelfv(GLenum name, const GLfloat* values) {
    const int count = name == GL_LIGHT_MODEL_AMBIENT ? 4 : 1;
    fixedgl::Vec4 copy{};
    std::memcpy(copy.data(), values, static_cast<std::size_t>(count) * sizeof(GLfloat));
    if (fixedgl::recordInList([=] { glLightModelfv(name, copy.data()); })) {
        return;
    }
    fixedgl::flushPending();
    setLightModel(name, copy.data());
}

void glLightModelf(GLenum name, GLfloat value) {
    if (name == GL_LIGHT_MODEL_AMBIENT) {
        setError(GL_INVALID_ENUM);
        return;
    }
    glLightModelfv(name, &value);
}

void glLightModeli(GLenum name, GLint value) {
    glLightModelf(name, static_cast<GLfloat>(value));
}

void glMaterialfv(GLenum face, GLenum name, const GLfloat* values) {
    const int count = materialValueCount(name);
    if (count == 0) {
        setError(GL_INVALID_ENUM);
        return;
    }
    fixedgl::Vec4 copy{};
    std::memcpy(copy.data(), values, static_cast<std::size_t>(count) * sizeof(GLfloat));
    if (fixedgl::recordInList([=] { glMaterialfv(face, name, copy.data()); })) {
        return;
    }
    setMaterialValues(face, name, copy.data());
}

void glMaterialf(GLenum face, GLenum name, GLfloat value) {
    if (name != GL_SHININESS) {
        setError(GL_INVALID_ENUM);
        return;
    }
    glMaterialfv(face, name, &value);
}

void glGetMaterialfv(GLenum face, GLenum name, GLfloat* values) {
    if (face != GL_FRONT && face != GL_BACK) {
        setError(GL_INVALID_ENUM);
        return;
    }
    const fixedgl::Material& m = face == GL_FRONT ? state().front : state().back;
    switch (name) {
        case GL_AMBIENT:
            std::memcpy(values, m.ambient.data(), 16);
            break;
        case GL_DIFFUSE:
            std::memcpy(values, m.diffuse.data(), 16);
            break;
        case GL_SPECULAR:
            std::memcpy(values, m.specular.data(), 16);
            break;
        case GL_EMISSION:
            std::memcpy(values, m.emission.data(), 16);
            break;
        case GL_SHININESS:
            values[0] = m.shininess;
            break;
        default:
            setError(GL_INVALID_ENUM);
            break;
    }
}

void glColorMaterial(GLenum face, GLenum mode) {
    if (fixedgl::recordInList([=] { glColorMaterial(face, mode); })) {
        return;
    }
    const bool faceOk = face == GL_FRONT || face == GL_BACK || face == GL_FRONT_AND_BACK;
    const bool modeOk = mode == GL_AMBIENT || mode == GL_DIFFUSE || mode == GL_SPECULAR ||
                        mode == GL_EMISSION || mode == GL_AMBIENT_AND_DIFFUSE;
    if (!faceOk || !modeOk) {
        setError(GL_INVALID_ENUM);
        return;
    }
    fixedgl::flushPending();
    state().colourMaterialFace = face;
    state().colourMaterialMode = mode;
    fixedgl::trackColour(state().current.colour);
}

void glFogfv(GLenum name, const GLfloat* values) {
    const int count = name == GL_FOG_COLOR ? 4 : 1;
    fixedgl::Vec4 copy{};
    std::memcpy(copy.data(), values, static_cast<std::size_t>(count) * sizeof(GLfloat));
    if (fixedgl::recordInList([=] { glFogfv(name, copy.data()); })) {
        return;
    }
    fixedgl::flushPending();
    setFog(name, copy.data());
}

void glFogf(GLenum name, GLfloat value) {
    if (name == GL_FOG_COLOR) {
        setError(GL_INVALID_ENUM);
        return;
    }
    glFogfv(name, &value);
}

void glFogi(GLenum name, GLint value) {
    glFogf(name, static_cast<GLfloat>(value));
}

void glEdgeFlag(GLboolean flag) {
    // Edges matter only to polygons drawn as outlines or points, which the layer does not
    // draw; the flag is kept as state.
    state().edgeFlag = flag != GL_FALSE;
}

}  // extern "C"
