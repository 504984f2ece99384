// backend_webgl.cpp -- the layer's shaders, buffers, textures and draws on WebGL 1.
//
// The vertex shader does GL 1.x's per-vertex lighting (as Mesa's fixed-function program does:
// unnormalised eye-space normals, colours clamped per vertex), for the back face too in the
// two-sided program; the fragment shader picks the face, modulates by the texture, applies fog, the
// coverage of a smooth line and the alpha test. Smooth lines are quads expanded in window space, as
// Mesa draws them: one pixel to each side of the line and half a pixel past each end, split across
// the same diagonal, the coverage falling linearly with the distances interpolated from the
// corners.
#include <webgl/webgl1.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <set>
#include <string>
#include <tuple>

#include "backend.h"

namespace fixedgl::backend {

namespace {

constexpr const char* kVertexShader = R"(
precision highp float;
attribute vec3 aPosition;
attribute vec3 aNormal;
attribute vec4 aColour;
attribute vec2 aTexCoord;
#ifdef SMOOTH_LINES
attribute vec3 aOther;
attribute vec2 aCorner;
uniform vec4 uViewport;
varying vec4 vLine;
#endif
uniform mat4 uModelView;
uniform mat4 uModelViewProjection;
uniform mat3 uNormals;
uniform vec4 uModelAmbient;
uniform vec4 uLightAmbient;
uniform vec4 uLightDiffuse;
uniform vec4 uLightSpecular;
uniform vec4 uLightPosition;
uniform vec3 uSpotDirection;
uniform float uSpotCosCutoff;
uniform float uSpotExponent;
uniform vec3 uAttenuation;
uniform vec4 uFrontAmbient, uFrontDiffuse, uFrontSpecular, uFrontEmission, uFrontTracks;
uniform float uFrontShininess;
uniform vec4 uBackAmbient, uBackDiffuse, uBackSpecular, uBackEmission, uBackTracks;
uniform float uBackShininess;
varying vec4 vFront;
#ifdef TWO_SIDED
varying vec4 vBack;
#endif
varying vec2 vTexCoord;
varying float vFogDepth;

float specularPower(float base, float exponent) {
    if (exponent == 0.0) return 1.0;
    return base > 0.0 ? pow(base, exponent) : 0.0;
}

#ifdef LIGHTING
vec4 shade(vec3 n, vec3 eye, vec4 ambient, vec4 diffuse, vec4 specular, vec4 emission,
           float shininess) {
    vec3 colour = emission.rgb + uModelAmbient.rgb * ambient.rgb;
#ifdef LIGHT0
    float factor = 1.0;
#ifdef POSITIONAL
    vec3 offset = uLightPosition.xyz / uLightPosition.w - eye;
    float distance = length(offset);
    vec3 toLight = offset / distance;
    factor = 1.0 / (uAttenuation.x + uAttenuation.y * distance +
                    uAttenuation.z * distance * distance);
#ifdef SPOT
    float spot = dot(-toLight, normalize(uSpotDirection));
    factor *= spot >= uSpotCosCutoff ? specularPower(spot, uSpotExponent) : 0.0;
#endif
#else
    vec3 toLight = normalize(uLightPosition.xyz);
#endif
    float diffuseDot = dot(n, toLight);
    vec3 lit = uLightAmbient.rgb * ambient.rgb;
    if (diffuseDot > 0.0) {
#ifdef LOCAL_VIEWER
        vec3 toEye = -normalize(eye);
#else
        vec3 toEye = vec3(0.0, 0.0, 1.0);
#endif
        float halfDot = max(dot(n, normalize(toLight + toEye)), 0.0);
        lit += uLightDiffuse.rgb * diffuse.rgb * diffuseDot +
               uLightSpecular.rgb * specular.rgb * specularPower(halfDot, shininess);
    }
    colour += factor * lit;
#endif
    return clamp(vec4(colour, diffuse.a), 0.0, 1.0);
}
#endif

void light(vec3 position) {
#ifndef LIGHTING
    vec4 colour = clamp(aColour, 0.0, 1.0);
    vFront = colour;
#ifdef TWO_SIDED
    vBack = colour;
#endif
#else
    vec3 eye = (uModelView * vec4(position, 1.0)).xyz;
    vec3 n = uNormals * aNormal;
    vFront = shade(n, eye, mix(uFrontAmbient, aColour, uFrontTracks.x),
                   mix(uFrontDiffuse, aColour, uFrontTracks.y),
                   mix(uFrontSpecular, aColour, uFrontTracks.z),
                   mix(uFrontEmission, aColour, uFrontTracks.w), uFrontShininess);
#ifdef TWO_SIDED
    vBack = shade(-n, eye, mix(uBackAmbient, aColour, uBackTracks.x),
                  mix(uBackDiffuse, aColour, uBackTracks.y),
                  mix(uBackSpecular, aColour, uBackTracks.z),
                  mix(uBackEmission, aColour, uBackTracks.w), uBackShininess);
#endif
#endif
}

#ifdef SMOOTH_LINES
vec2 toWindow(vec4 clip) {
    return (clip.xy / clip.w * 0.5 + 0.5) * uViewport.zw + uViewport.xy;
}

void main() {
    light(aPosition);
    vTexCoord = aTexCoord;
#ifdef FOG_MODE
    vFogDepth = abs((uModelView * vec4(aPosition, 1.0)).z);
#endif
    bool first = aCorner.x < 0.5;
    vec4 self = uModelViewProjection * vec4(aPosition, 1.0);
    vec4 other = uModelViewProjection * vec4(aOther, 1.0);
    // Clipped to the view volume first, as Mesa clips a line before it widens it; both ends
    // clip the same segment, from its first end to its second.
    vec4 start = first ? self : other;
    vec4 delta = (first ? other : self) - start;
    float enter = 0.0;
    float leave = 1.0;
    for (int i = 0; i < 6; ++i) {
        float sign = mod(float(i), 2.0) < 0.5 ? 1.0 : -1.0;
        int axis = i / 2;
        float startIn = start.w + sign * (axis == 0 ? start.x : axis == 1 ? start.y : start.z);
        float deltaIn = delta.w + sign * (axis == 0 ? delta.x : axis == 1 ? delta.y : delta.z);
        if (deltaIn == 0.0) {
            if (startIn < 0.0) leave = -1.0;
        } else if (deltaIn > 0.0) {
            enter = max(enter, -startIn / deltaIn);
        } else {
            leave = min(leave, -startIn / deltaIn);
        }
    }
    if (enter > leave) {
        vLine = vec4(0.0);
        gl_Position = vec4(0.0, 0.0, 2.0, 1.0);
        return;
    }
    self = start + delta * (first ? enter : leave);
    other = start + delta * (first ? leave : enter);
    vec2 selfWindow = toWindow(self);
    vec2 otherWindow = toWindow(other);
    vec2 along = first ? otherWindow - selfWindow : selfWindow - otherWindow;
    float span = length(along);
    vec2 direction = span > 0.0 ? along / span : vec2(1.0, 0.0);
    vec2 across = vec2(-direction.y, direction.x);
    const float halfWidth = 1.0;  // half the width of 1, plus half a pixel
    float halfLength = 0.5 * span + 0.5;
    vec2 window = selfWindow + direction * (first ? -0.5 : 0.5) + across * aCorner.y * halfWidth;
    // Distances from the axis and from the middle, interpolated across the quad as Mesa
    // interpolates them (with the ends' depths), and compared with the half sizes.
    vLine = vec4(aCorner.y * halfWidth, halfWidth, (first ? -1.0 : 1.0) * halfLength, halfLength);
    vec2 ndc = (window - uViewport.xy) / uViewport.zw * 2.0 - 1.0;
    gl_Position = vec4(ndc * self.w, self.z, self.w);
}
#else
void main() {
    light(aPosition);
    vTexCoord = aTexCoord;
#ifdef FOG_MODE
    vFogDepth = abs((uModelView * vec4(aPosition, 1.0)).z);
#endif
    gl_Position = uModelViewProjection * vec4(aPosition, 1.0);
}
#endif
)";

constexpr const char* kFragmentShader = R"(
precision highp float;
uniform sampler2D uTexture;
uniform vec4 uFogParameters;
uniform vec4 uFogColour;
uniform int uAlphaFunction;
uniform float uAlphaReference;
varying vec4 vFront;
#ifdef TWO_SIDED
varying vec4 vBack;
#endif
varying vec2 vTexCoord;
varying float vFogDepth;
#ifdef SMOOTH_LINES
varying vec4 vLine;
#endif

bool passes(float alpha) {
    if (uAlphaFunction == 0) return false;
    if (uAlphaFunction == 1) return alpha < uAlphaReference;
    if (uAlphaFunction == 2) return alpha == uAlphaReference;
    if (uAlphaFunction == 3) return alpha <= uAlphaReference;
    if (uAlphaFunction == 4) return alpha > uAlphaReference;
    if (uAlphaFunction == 5) return alpha != uAlphaReference;
    if (uAlphaFunction == 6) return alpha >= uAlphaReference;
    return true;
}

void main() {
#ifdef TWO_SIDED
    vec4 colour = gl_FrontFacing ? vFront : vBack;
#else
    vec4 colour = vFront;
#endif
#ifdef TEXTURING
    colour *= texture2D(uTexture, vTexCoord);
#endif
#ifdef FOG_MODE
    float density = uFogParameters.x;
    float z = vFogDepth;
#if FOG_MODE == 0
    float f = (uFogParameters.z - z) / (uFogParameters.z - uFogParameters.y);
#elif FOG_MODE == 1
    float f = exp(-density * z);
#else
    float f = exp(-(density * z) * (density * z));
#endif
    colour.rgb = mix(uFogColour.rgb, colour.rgb, clamp(f, 0.0, 1.0));
#endif
#ifdef SMOOTH_LINES
    colour.a *= clamp(vLine.y - abs(vLine.x), 0.0, 1.0) * clamp(vLine.w - abs(vLine.z), 0.0, 1.0);
#endif
#ifdef ALPHA_TEST
    if (!passes(colour.a)) {
        discard;
    }
#endif
    gl_FragColor = colour;
}
)";

// The constant of an attribute that always comes from an array, never used.
constexpr std::array<float, 4> kArrayOnly{0, 0, 0, 1};

enum Attribute : GLuint { kPosition, kNormal, kColour, kTexCoord, kOther, kCorner };

struct Locations {
    GLint modelView, modelViewProjection, normals, viewport;
    GLint modelAmbient;
    GLint lightAmbient, lightDiffuse, lightSpecular, lightPosition, spotDirection;
    GLint spotCosCutoff, spotExponent, attenuation;
    GLint frontAmbient, frontDiffuse, frontSpecular, frontEmission, frontTracks, frontShininess;
    GLint backAmbient, backDiffuse, backSpecular, backEmission, backTracks, backShininess;
    GLint texture, fogParameters, fogColour;
    GLint alphaFunction, alphaReference;
};

struct Program {
    GLuint program = 0;
    Locations at{};
    DrawState sent{};
    bool sentAny = false;
};

// The attribute arrays as the previous draw left them; set again only when they change.
struct Layout {
    GLuint buffer = 0;
    bool smooth = false, hasNormal = false, hasColour = false, hasTexCoord = false;
    bool operator==(const Layout& o) const {
        return buffer == o.buffer && smooth == o.smooth && hasNormal == o.hasNormal &&
               hasColour == o.hasColour && hasTexCoord == o.hasTexCoord;
    }
};

void setConstant(GLuint index, int size, const float* constant) {
    const float value[4] = {constant[0], size > 1 ? constant[1] : 0.0f,
                            size > 2 ? constant[2] : 0.0f, size > 3 ? constant[3] : 1.0f};
    emscripten_glVertexAttrib4fv(index, value);
}

// The parts of the shaders that a draw's state switches on. Each combination is a program of
// its own, linked when a draw first needs it: SwiftShader runs both sides of a branch on a
// uniform for every vertex and pixel, so a part that is off must not be in the program at all.
enum Feature : unsigned {
    kSmoothLines = 1u << 0,
    kTwoSided = 1u << 1,  // the back faces lit on their own (else both take the front's colour)
    kLighting = 1u << 2,
    kLight0 = 1u << 3,
    kPositional = 1u << 4,
    kSpot = 1u << 5,
    kLocalViewer = 1u << 6,
    kTexturing = 1u << 7,
    kAlphaTest = 1u << 8,
    kFogLinear = 1u << 9,
    kFogExp = 1u << 10,
    kFogExp2 = 1u << 11,
};

struct Objects {
    bool ready = false;
    std::map<unsigned, Program> programs;  // by their features
    std::set<GLuint> translucentTextures;  // with a level that has a texel's alpha below 1
    bool blending = false;                 // GL_BLEND as WebGL has it
    GLuint stream = 0;
    GLuint streamIndices = 0;
    GLuint program = 0;      // in use
    GLuint arrayBuffer = 0;  // bound
    GLuint texture = 0;      // bound to unit 0
    Layout layout{};
    bool layoutSet = false;
    FixedState applied{};
};

Objects objects;

GLuint compile(GLenum type, const std::string& source) {
    const GLuint shader = emscripten_glCreateShader(type);
    const char* text = source.c_str();
    emscripten_glShaderSource(shader, 1, &text, nullptr);
    emscripten_glCompileShader(shader);
    GLint ok = 0;
    emscripten_glGetShaderiv(shader, GL_COMPILE_STATUS, &ok);
    if (ok == 0) {
        char log[1024] = {};
        emscripten_glGetShaderInfoLog(shader, sizeof log, nullptr, log);
        std::fprintf(stderr, "fixedgl: shader does not compile: %s\n", log);
        emscripten_glDeleteShader(shader);
        return 0;
    }
    return shader;
}

Locations locate(GLuint p) {
    auto u = [p](const char* name) { return emscripten_glGetUniformLocation(p, name); };
    return {u("uModelView"),      u("uModelViewProjection"),
            u("uNormals"),        u("uViewport"),
            u("uModelAmbient"),   u("uLightAmbient"),
            u("uLightDiffuse"),   u("uLightSpecular"),
            u("uLightPosition"),  u("uSpotDirection"),
            u("uSpotCosCutoff"),  u("uSpotExponent"),
            u("uAttenuation"),    u("uFrontAmbient"),
            u("uFrontDiffuse"),   u("uFrontSpecular"),
            u("uFrontEmission"),  u("uFrontTracks"),
            u("uFrontShininess"), u("uBackAmbient"),
            u("uBackDiffuse"),    u("uBackSpecular"),
            u("uBackEmission"),   u("uBackTracks"),
            u("uBackShininess"),  u("uTexture"),
            u("uFogParameters"),  u("uFogColour"),
            u("uAlphaFunction"),  u("uAlphaReference")};
}

std::string definesFor(unsigned features) {
    constexpr std::array<std::pair<Feature, const char*>, 12> kDefines{{
        {kSmoothLines, "#define SMOOTH_LINES 1\n"},
        {kTwoSided, "#define TWO_SIDED 1\n"},
        {kLighting, "#define LIGHTING 1\n"},
        {kLight0, "#define LIGHT0 1\n"},
        {kPositional, "#define POSITIONAL 1\n"},
        {kSpot, "#define SPOT 1\n"},
        {kLocalViewer, "#define LOCAL_VIEWER 1\n"},
        {kTexturing, "#define TEXTURING 1\n"},
        {kAlphaTest, "#define ALPHA_TEST 1\n"},
        {kFogLinear, "#define FOG_MODE 0\n"},
        {kFogExp, "#define FOG_MODE 1\n"},
        {kFogExp2, "#define FOG_MODE 2\n"},
    }};
    std::string defines;
    for (const auto& [feature, define] : kDefines) {
        if ((features & feature) != 0) {
            defines += define;
        }
    }
    return defines;
}

// Fog by GL_EXP or GL_EXP2 at density 0 has the factor exp(0) = 1 at every depth: the
// fragment keeps its colour exactly, as with no fog.
unsigned fogFeature(const FragmentUniforms& f) {
    if (!f.fog) {
        return 0;
    }
    const float density = f.fogParameters[0];
    switch (f.fogMode) {
        case 0:
            return kFogLinear;
        case 1:
            return density == 0.0f ? 0 : kFogExp;
        default:
            return density == 0.0f ? 0 : kFogExp2;
    }
}

unsigned lightingFeatures(const LightingUniforms& l) {
    if (!l.lighting) {
        return 0;
    }
    unsigned features = kLighting;
    if (l.localViewer) {
        features |= kLocalViewer;
    }
    if (l.light0) {
        features |= kLight0;
        if (l.lightPosition[3] != 0.0f) {
            features |= kPositional;
            if (l.spotCosCutoff > -1.0f) {
                features |= kSpot;
            }
        }
    }
    return features;
}

unsigned featuresOf(Primitive primitive, const DrawState& s) {
    unsigned features = lightingFeatures(s.light) | fogFeature(s.fragment);
    if (primitive == Primitive::SmoothLines) {
        features |= kSmoothLines;
    } else if (s.light.lighting && s.light.twoSide) {
        features |= kTwoSided;
    }
    if (s.fragment.texturing) {
        features |= kTexturing;
    }
    if (s.fragment.alphaTest) {
        features |= kAlphaTest;
    }
    return features;
}

bool link(Program& program, unsigned features) {
    const std::string prefix = definesFor(features);
    const GLuint vertex = compile(GL_VERTEX_SHADER, prefix + kVertexShader);
    const GLuint fragment = compile(GL_FRAGMENT_SHADER, prefix + kFragmentShader);
    if (vertex == 0 || fragment == 0) {
        return false;
    }
    const GLuint p = emscripten_glCreateProgram();
    emscripten_glAttachShader(p, vertex);
    emscripten_glAttachShader(p, fragment);
    emscripten_glBindAttribLocation(p, kPosition, "aPosition");
    emscripten_glBindAttribLocation(p, kNormal, "aNormal");
    emscripten_glBindAttribLocation(p, kColour, "aColour");
    emscripten_glBindAttribLocation(p, kTexCoord, "aTexCoord");
    emscripten_glBindAttribLocation(p, kOther, "aOther");
    emscripten_glBindAttribLocation(p, kCorner, "aCorner");
    emscripten_glLinkProgram(p);
    emscripten_glDeleteShader(vertex);
    emscripten_glDeleteShader(fragment);
    GLint ok = 0;
    emscripten_glGetProgramiv(p, GL_LINK_STATUS, &ok);
    if (ok == 0) {
        char log[1024] = {};
        emscripten_glGetProgramInfoLog(p, sizeof log, nullptr, log);
        std::fprintf(stderr, "fixedgl: shaders do not link: %s\n", log);
        emscripten_glDeleteProgram(p);
        return false;
    }
    program = Program{};
    program.program = p;
    program.at = locate(p);
    return true;
}

void bindTexture(GLuint texture) {
    if (objects.texture != texture) {
        emscripten_glBindTexture(GL_TEXTURE_2D, texture);
        objects.texture = texture;
    }
}

auto tied(const MaterialUniforms& m) {
    return std::tie(m.ambient, m.diffuse, m.specular, m.emission, m.shininess, m.tracks);
}

bool same(const LightingUniforms& a, const LightingUniforms& b) {
    auto lightOf = [](const LightingUniforms& l) {
        return std::tie(l.lighting, l.twoSide, l.localViewer, l.light0, l.modelAmbient,
                        l.lightAmbient, l.lightDiffuse, l.lightSpecular, l.lightPosition,
                        l.spotDirection, l.spotCosCutoff, l.spotExponent, l.attenuation);
    };
    return lightOf(a) == lightOf(b) && tied(a.front) == tied(b.front) &&
           tied(a.back) == tied(b.back);
}

bool same(const FragmentUniforms& a, const FragmentUniforms& b) {
    auto fragmentOf = [](const FragmentUniforms& f) {
        return std::tie(f.texturing, f.texture, f.fog, f.fogMode, f.fogParameters, f.fogColour,
                        f.alphaTest, f.alphaFunction, f.alphaReference);
    };
    return fragmentOf(a) == fragmentOf(b);
}

void sendMaterial(const Locations& at, bool front, const MaterialUniforms& m) {
    emscripten_glUniform4fv(front ? at.frontAmbient : at.backAmbient, 1, m.ambient.data());
    emscripten_glUniform4fv(front ? at.frontDiffuse : at.backDiffuse, 1, m.diffuse.data());
    emscripten_glUniform4fv(front ? at.frontSpecular : at.backSpecular, 1, m.specular.data());
    emscripten_glUniform4fv(front ? at.frontEmission : at.backEmission, 1, m.emission.data());
    emscripten_glUniform4fv(front ? at.frontTracks : at.backTracks, 1, m.tracks.data());
    emscripten_glUniform1f(front ? at.frontShininess : at.backShininess, m.shininess);
}

void sendLight(const Locations& at, const LightingUniforms& s) {
    emscripten_glUniform4fv(at.modelAmbient, 1, s.modelAmbient.data());
    emscripten_glUniform4fv(at.lightAmbient, 1, s.lightAmbient.data());
    emscripten_glUniform4fv(at.lightDiffuse, 1, s.lightDiffuse.data());
    emscripten_glUniform4fv(at.lightSpecular, 1, s.lightSpecular.data());
    emscripten_glUniform4fv(at.lightPosition, 1, s.lightPosition.data());
    emscripten_glUniform3fv(at.spotDirection, 1, s.spotDirection.data());
    emscripten_glUniform1f(at.spotCosCutoff, s.spotCosCutoff);
    emscripten_glUniform1f(at.spotExponent, s.spotExponent);
    emscripten_glUniform3fv(at.attenuation, 1, s.attenuation.data());
    sendMaterial(at, true, s.front);
    sendMaterial(at, false, s.back);
}

void sendFragment(const Locations& at, const FragmentUniforms& s) {
    emscripten_glUniform1i(at.texture, 0);
    emscripten_glUniform4fv(at.fogParameters, 1, s.fogParameters.data());
    emscripten_glUniform4fv(at.fogColour, 1, s.fogColour.data());
    emscripten_glUniform1i(at.alphaFunction, s.alphaFunction);
    emscripten_glUniform1f(at.alphaReference, s.alphaReference);
}

// Sends what differs from the program's previous draw, and binds the draw's texture.
void sendState(Program& program, const DrawState& s) {
    const Locations& at = program.at;
    const DrawState& last = program.sent;
    const bool all = !program.sentAny;
    if (all || s.modelView != last.modelView) {
        emscripten_glUniformMatrix4fv(at.modelView, 1, GL_FALSE, s.modelView.data());
        emscripten_glUniformMatrix3fv(at.normals, 1, GL_FALSE, s.normals.data());
    }
    if (all || s.modelViewProjection != last.modelViewProjection) {
        emscripten_glUniformMatrix4fv(at.modelViewProjection, 1, GL_FALSE,
                                      s.modelViewProjection.data());
    }
    if (all || s.viewport != last.viewport) {
        emscripten_glUniform4fv(at.viewport, 1, s.viewport.data());
    }
    if (all || !same(s.light, last.light)) {
        sendLight(at, s.light);
    }
    if (all || !same(s.fragment, last.fragment)) {
        sendFragment(at, s.fragment);
    }
    bindTexture(s.fragment.texturing ? s.fragment.texture : 0);
    program.sent = s;
    program.sentAny = true;
}

void pointAt(GLuint index, bool present, int size, GLsizei stride, std::size_t offset,
             const float* constant) {
    if (present) {
        emscripten_glEnableVertexAttribArray(index);
        emscripten_glVertexAttribPointer(index, size, GL_FLOAT, GL_FALSE, stride,
                                         // NOLINTNEXTLINE(performance-no-int-to-ptr): GL's offset
                                         reinterpret_cast<const void*>(offset));
        return;
    }
    emscripten_glDisableVertexAttribArray(index);
    setConstant(index, size, constant);
}

void setEnabled(GLenum cap, bool on) {
    if (on) {
        emscripten_glEnable(cap);
    } else {
        emscripten_glDisable(cap);
    }
}

void setBlending(bool on) {
    if (objects.blending != on) {
        setEnabled(GL_BLEND, on);
        objects.blending = on;
    }
}

// Whether every fragment of the draw has an alpha of exactly 1 (the coverage of a smooth line
// is less at its edges).
bool opaqueFragments(Primitive primitive, const DrawState& s, const DrawSource& source) {
    if (primitive == Primitive::SmoothLines) {
        return false;
    }
    const bool opaqueColour = source.hasColour ? source.opaqueColours : source.colour[3] >= 1.0f;
    auto opaqueMaterial = [opaqueColour](const MaterialUniforms& m) {
        return m.tracks[1] != 0.0f ? opaqueColour : m.diffuse[3] >= 1.0f;
    };
    const LightingUniforms& l = s.light;
    const bool opaqueShade =
        !l.lighting ? opaqueColour
                    : opaqueMaterial(l.front) && (!l.twoSide || opaqueMaterial(l.back));
    return opaqueShade &&
           (!s.fragment.texturing || objects.translucentTextures.count(s.fragment.texture) == 0);
}

// Blending by the source's alpha (or by one) over one minus it changes nothing where that
// alpha is 1, and SwiftShader pays for it at every pixel: it is left off for such draws.
bool blendingChangesNothing(Primitive primitive, const DrawState& s, const DrawSource& source) {
    const FixedState& f = objects.applied;
    const bool byAlpha =
        (f.blendSource == GL_SRC_ALPHA || f.blendSource == GL_ONE) &&
        (f.blendDestination == GL_ONE_MINUS_SRC_ALPHA || f.blendDestination == GL_ZERO);
    return byAlpha && opaqueFragments(primitive, s, source);
}

void pointAttributes(bool smooth, GLuint buffer, const DrawSource& source) {
    const Layout layout{buffer, smooth, source.hasNormal, source.hasColour, source.hasTexCoord};
    if (!(objects.layoutSet && objects.layout == layout)) {
        if (smooth) {
            const GLsizei stride = sizeof(LineCorner);
            pointAt(kPosition, true, 3, stride, offsetof(LineCorner, position), kArrayOnly.data());
            pointAt(kOther, true, 3, stride, offsetof(LineCorner, other), kArrayOnly.data());
            pointAt(kNormal, source.hasNormal, 3, stride, offsetof(LineCorner, normal),
                    source.normal.data());
            pointAt(kColour, source.hasColour, 4, stride, offsetof(LineCorner, colour),
                    source.colour.data());
            pointAt(kTexCoord, source.hasTexCoord, 2, stride, offsetof(LineCorner, texCoord),
                    source.texCoord.data());
            pointAt(kCorner, true, 2, stride, offsetof(LineCorner, corner), kArrayOnly.data());
        } else {
            const GLsizei stride = sizeof(Vertex);
            pointAt(kPosition, true, 3, stride, offsetof(Vertex, position), kArrayOnly.data());
            pointAt(kNormal, source.hasNormal, 3, stride, offsetof(Vertex, normal),
                    source.normal.data());
            pointAt(kColour, source.hasColour, 4, stride, offsetof(Vertex, colour),
                    source.colour.data());
            pointAt(kTexCoord, source.hasTexCoord, 2, stride, offsetof(Vertex, texCoord),
                    source.texCoord.data());
            emscripten_glDisableVertexAttribArray(kOther);
            emscripten_glDisableVertexAttribArray(kCorner);
        }
        objects.layout = layout;
        objects.layoutSet = true;
        return;
    }
    // The same arrays: only the constants that stand in for missing attributes may differ.
    if (!source.hasNormal) {
        setConstant(kNormal, 3, source.normal.data());
    }
    if (!source.hasColour) {
        setConstant(kColour, 4, source.colour.data());
    }
    if (!source.hasTexCoord) {
        setConstant(kTexCoord, 2, source.texCoord.data());
    }
}

// The program with these features, linked on first use; none if it does not link (said once).
Program* programFor(unsigned features) {
    auto found = objects.programs.find(features);
    if (found == objects.programs.end()) {
        found = objects.programs.emplace(features, Program{}).first;
        link(found->second, features);
    }
    return found->second.program != 0 ? &found->second : nullptr;
}

}  // namespace

bool create() {
    objects = Objects{};
    // Every part of the shaders compiles here once, so that a fault in them shows at the start.
    constexpr unsigned kEveryFeature = kTwoSided | kLighting | kLight0 | kPositional | kSpot |
                                       kLocalViewer | kTexturing | kAlphaTest | kFogExp2;
    constexpr unsigned kEveryLineFeature = kSmoothLines | kFogLinear;
    if (!link(objects.programs[kEveryFeature], kEveryFeature) ||
        !link(objects.programs[kEveryLineFeature], kEveryLineFeature)) {
        return false;
    }
    emscripten_glGenBuffers(1, &objects.stream);
    emscripten_glGenBuffers(1, &objects.streamIndices);
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

void deleteTexture(unsigned texture) {
    if (objects.ready && texture != 0) {
        if (objects.texture == texture) {
            objects.texture = 0;
        }
        objects.translucentTextures.erase(texture);
        emscripten_glDeleteTextures(1, &texture);
    }
}

unsigned makeBuffer(const void* data, std::size_t bytes) {
    if (!objects.ready || bytes == 0) {
        return 0;
    }
    GLuint buffer = 0;
    emscripten_glGenBuffers(1, &buffer);
    emscripten_glBindBuffer(GL_ARRAY_BUFFER, buffer);
    objects.arrayBuffer = buffer;
    emscripten_glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(bytes), data, GL_STATIC_DRAW);
    return buffer;
}

unsigned makeIndexBuffer(const void* data, std::size_t bytes) {
    if (!objects.ready || bytes == 0) {
        return 0;
    }
    GLuint buffer = 0;
    emscripten_glGenBuffers(1, &buffer);
    emscripten_glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, buffer);
    emscripten_glBufferData(GL_ELEMENT_ARRAY_BUFFER, static_cast<GLsizeiptr>(bytes), data,
                            GL_STATIC_DRAW);
    return buffer;
}

void deleteBuffer(unsigned buffer) {
    if (objects.ready && buffer != 0) {
        if (objects.layout.buffer == buffer) {
            objects.layoutSet = false;
        }
        if (objects.arrayBuffer == buffer) {
            objects.arrayBuffer = 0;
        }
        emscripten_glDeleteBuffers(1, &buffer);
    }
}

void draw(Primitive primitive, const DrawState& state, const DrawSource& source) {
    if (!objects.ready || source.count <= 0) {
        return;
    }
    const bool smooth = primitive == Primitive::SmoothLines;
    Program* found = programFor(featuresOf(primitive, state));
    if (found == nullptr) {
        return;
    }
    Program& program = *found;
    if (objects.program != program.program) {
        emscripten_glUseProgram(program.program);
        objects.program = program.program;
    }
    sendState(program, state);
    const GLuint buffer = source.buffer != 0 ? source.buffer : objects.stream;
    if (objects.arrayBuffer != buffer) {
        emscripten_glBindBuffer(GL_ARRAY_BUFFER, buffer);
        objects.arrayBuffer = buffer;
    }
    if (source.buffer == 0) {
        emscripten_glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(source.bytes), source.data,
                                GL_STREAM_DRAW);
    }
    pointAttributes(smooth, buffer, source);
    setBlending(objects.applied.blend && !blendingChangesNothing(primitive, state, source));
    // GL never culls lines; the quads of a smooth line are triangles that WebGL would.
    const bool uncull = smooth && objects.applied.cullFace;
    if (uncull) {
        emscripten_glDisable(GL_CULL_FACE);
    }
    if (source.indexData != nullptr) {
        emscripten_glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, objects.streamIndices);
        emscripten_glBufferData(GL_ELEMENT_ARRAY_BUFFER, static_cast<GLsizeiptr>(source.indexBytes),
                                source.indexData, GL_STREAM_DRAW);
        emscripten_glDrawElements(GL_TRIANGLES, source.count, GL_UNSIGNED_SHORT, nullptr);
    } else if (source.indexBuffer != 0) {
        emscripten_glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, source.indexBuffer);
        emscripten_glDrawElements(GL_TRIANGLES, source.count, GL_UNSIGNED_SHORT,
                                  // NOLINTNEXTLINE(performance-no-int-to-ptr): GL's offset
                                  reinterpret_cast<const void*>(source.first * sizeof(GLushort)));
    } else {
        emscripten_glDrawArrays(primitive == Primitive::Lines ? GL_LINES : GL_TRIANGLES,
                                source.first, source.count);
    }
    if (uncull) {
        emscripten_glEnable(GL_CULL_FACE);
    }
}

void applyFixedState(const FixedState& s) {
    if (!objects.ready) {
        return;
    }
    setEnabled(GL_DEPTH_TEST, s.depthTest);
    setEnabled(GL_CULL_FACE, s.cullFace);
    setEnabled(GL_BLEND, s.blend);
    objects.blending = s.blend;
    emscripten_glCullFace(static_cast<GLenum>(s.cullMode));
    emscripten_glFrontFace(static_cast<GLenum>(s.frontFace));
    emscripten_glBlendFunc(static_cast<GLenum>(s.blendSource),
                           static_cast<GLenum>(s.blendDestination));
    emscripten_glDepthFunc(static_cast<GLenum>(s.depthFunction));
    emscripten_glDepthMask(s.depthMask ? GL_TRUE : GL_FALSE);
    emscripten_glClearColor(s.clearColour[0], s.clearColour[1], s.clearColour[2], s.clearColour[3]);
    emscripten_glClearDepthf(s.clearDepth);
    emscripten_glViewport(s.viewport[0], s.viewport[1], s.viewport[2], s.viewport[3]);
    objects.applied = s;
}

void clear(bool colour, bool depth) {
    if (!objects.ready) {
        return;
    }
    emscripten_glClear((colour ? GL_COLOR_BUFFER_BIT : 0u) | (depth ? GL_DEPTH_BUFFER_BIT : 0u));
}

void readPixels(int x, int y, int width, int height, void* rgba) {
    if (!objects.ready) {
        return;
    }
    emscripten_glReadPixels(x, y, width, height, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
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
