// shaders.cpp -- the layer's shader text, and the defines that make each variant of it.
//
// The vertex shader does GL 1.x's per-vertex lighting (as Mesa's fixed-function program does:
// unnormalised eye-space normals, colours clamped per vertex), for the back face too in the
// two-sided variant; the fragment shader picks the face, modulates by the texture, applies fog,
// the coverage of a smooth line and the alpha test. Smooth lines are quads expanded in window
// space, as Mesa draws them: one pixel to each side of the line and half a pixel past each end,
// split across the same diagonal, the coverage falling linearly with the distances interpolated
// from the corners. An instanced draw takes its model-view from per-instance attributes.
#include "shaders.h"

#include <array>
#include <utility>

namespace fixedgl::webgl {

namespace {

// What the vertex shader hands the fragment shader, written once for both.
const char* const kVaryings = R"(
precision highp float;
varying vec4 vFront;
#ifdef TWO_SIDED
varying vec4 vBack;
#endif
varying vec2 vTexCoord;
varying float vFogDepth;
#ifdef SMOOTH_LINES
varying vec4 vLine;
#endif
)";

const char* const kVertexShader = R"(
attribute vec3 aPosition;
attribute vec3 aNormal;
attribute vec4 aColour;
attribute vec2 aTexCoord;
#ifdef SMOOTH_LINES
attribute vec3 aOther;
attribute vec2 aCorner;
uniform vec4 uViewport;
#endif
uniform mat4 uModelViewProjection;
#ifdef INSTANCED
// The instance's model-view, its first three rows; the uniform model-view is the identity.
attribute vec4 aRow0;
attribute vec4 aRow1;
attribute vec4 aRow2;
#else
uniform mat4 uModelView;
uniform mat3 uNormals;
#endif
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

#ifdef INSTANCED
vec3 toEye(vec3 p) {
    vec4 q = vec4(p, 1.0);
    return vec3(dot(aRow0, q), dot(aRow1, q), dot(aRow2, q));
}

// The inverse's transpose, which GL_NORMALIZE off leaves unnormalised: its columns are the
// inverse's rows, the cross products of the matrix's columns over its determinant.
vec3 normalToEye(vec3 n) {
    vec3 c0 = vec3(aRow0.x, aRow1.x, aRow2.x);
    vec3 c1 = vec3(aRow0.y, aRow1.y, aRow2.y);
    vec3 c2 = vec3(aRow0.z, aRow1.z, aRow2.z);
    vec3 r0 = cross(c1, c2);
    return (n.x * r0 + n.y * cross(c2, c0) + n.z * cross(c0, c1)) / dot(c0, r0);
}

vec4 toClip(vec3 p) {
    return uModelViewProjection * vec4(toEye(p), 1.0);
}
#else
vec3 toEye(vec3 p) {
    return (uModelView * vec4(p, 1.0)).xyz;
}

vec3 normalToEye(vec3 n) {
    return uNormals * n;
}

vec4 toClip(vec3 p) {
    return uModelViewProjection * vec4(p, 1.0);
}
#endif

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
    vec3 eye = toEye(position);
    vec3 n = normalToEye(aNormal);
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

// What every vertex hands on besides its place: its colours, texture coordinate and fog depth.
void shadeVertex() {
    light(aPosition);
    vTexCoord = aTexCoord;
#ifdef FOG_MODE
    vFogDepth = abs(toEye(aPosition).z);
#endif
}

#ifdef SMOOTH_LINES
vec2 toWindow(vec4 clip) {
    return (clip.xy / clip.w * 0.5 + 0.5) * uViewport.zw + uViewport.xy;
}

void main() {
    shadeVertex();
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
    shadeVertex();
    gl_Position = toClip(aPosition);
}
#endif
)";

const char* const kFragmentShader = R"(
uniform sampler2D uTexture;
uniform vec4 uFogParameters;
uniform vec4 uFogColour;
uniform int uAlphaFunction;
uniform float uAlphaReference;

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

constexpr std::array<std::pair<Feature, const char*>, 13> kDefines{{
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
    {kInstanced, "#define INSTANCED 1\n"},
}};

std::string definesFor(unsigned features) {
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
unsigned fogFeature(const backend::FragmentUniforms& f) {
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

unsigned lightingFeatures(const backend::LightingUniforms& l) {
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

}  // namespace

unsigned featuresOf(backend::Primitive primitive, const backend::DrawState& s, bool instanced) {
    unsigned features = lightingFeatures(s.light) | fogFeature(s.fragment);
    if (primitive == backend::Primitive::SmoothLines) {
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
    if (instanced) {
        features |= kInstanced;
    }
    return features;
}

std::string vertexShader(unsigned features) {
    return definesFor(features) + kVaryings + kVertexShader;
}

std::string fragmentShader(unsigned features) {
    return definesFor(features) + kVaryings + kFragmentShader;
}

}  // namespace fixedgl::webgl
