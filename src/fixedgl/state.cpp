// state.cpp -- the kept state, what a draw's shaders receive, and the context's life.
#include "state.h"

#include <cmath>
#include <cstdio>

namespace fixedgl {

namespace {

constexpr float kDegreesToRadians = 3.14159265358979323846f / 180.0f;
constexpr float kNoSpot = 180.0f;
// GL's default scene ambient, which the layer's calls do not change.
constexpr Vec4 kModelAmbient{0.2f, 0.2f, 0.2f, 1};

// A component that follows the vertex colour is not read by the shaders: it is left at 0, so
// that draws in different colours keep equal states.
backend::MaterialUniforms materialUniforms(const Material& m, bool tracked, GLenum mode) {
    backend::MaterialUniforms u;
    u.ambient = m.ambient;
    u.diffuse = m.diffuse;
    u.specular = m.specular;
    u.emission = m.emission;
    u.shininess = m.shininess;
    if (tracked) {
        const bool ambient = mode == GL_AMBIENT || mode == GL_AMBIENT_AND_DIFFUSE;
        const bool diffuse = mode == GL_DIFFUSE || mode == GL_AMBIENT_AND_DIFFUSE;
        u.tracks = {ambient ? 1.0f : 0.0f, diffuse ? 1.0f : 0.0f, mode == GL_SPECULAR ? 1.0f : 0.0f,
                    mode == GL_EMISSION ? 1.0f : 0.0f};
        Vec4* values[] = {&u.ambient, &u.diffuse, &u.specular, &u.emission};
        for (std::size_t i = 0; i < 4; ++i) {
            if (u.tracks[i] != 0.0f) {
                *values[i] = {};
            }
        }
    }
    return u;
}

bool isMipmapFilter(GLenum filter) {
    return filter != GL_NEAREST && filter != GL_LINEAR;
}

// Whether GL would sample the texture at all; an incomplete one leaves texturing off.
bool complete(const Texture& t) {
    if (t.levels.empty() || t.levels[0].width <= 0 || t.levels[0].height <= 0) {
        return false;
    }
    if (!isMipmapFilter(t.minFilter)) {
        return true;
    }
    int width = t.levels[0].width;
    int height = t.levels[0].height;
    for (std::size_t level = 1; width > 1 || height > 1; ++level) {
        width = width > 1 ? width / 2 : 1;
        height = height > 1 ? height / 2 : 1;
        if (level >= t.levels.size() || t.levels[level].width != width ||
            t.levels[level].height != height) {
            return false;
        }
    }
    return true;
}

backend::LightingUniforms lightingUniforms(const State& s) {
    backend::LightingUniforms l;
    l.lighting = true;
    // Back faces culled never show their colour; it is not worked out for them.
    const bool backsCulled = s.fixed.cullFace && s.fixed.cullMode == GL_BACK;
    l.twoSide = s.twoSide && !backsCulled;
    l.localViewer = s.localViewer;
    l.light0 = s.light.enabled;
    l.modelAmbient = kModelAmbient;
    l.lightAmbient = s.light.ambient;
    l.lightDiffuse = s.light.diffuse;
    l.lightSpecular = s.light.specular;
    l.lightPosition = s.light.position;
    l.spotDirection = s.light.spotDirection;
    l.spotCosCutoff =
        s.light.spotCutoff == kNoSpot ? -1.0f : std::cos(s.light.spotCutoff * kDegreesToRadians);
    l.spotExponent = s.light.spotExponent;
    l.attenuation = s.light.attenuation;
    const bool tracking = s.enables.colourMaterial;
    const GLenum face = s.colourMaterialFace;
    l.front = materialUniforms(s.front, tracking && face != GL_BACK, s.colourMaterialMode);
    l.back = materialUniforms(s.back, tracking && face != GL_FRONT, s.colourMaterialMode);
    return l;
}

backend::FragmentUniforms fragmentUniforms(State& s) {
    backend::FragmentUniforms f;
    if (s.enables.texture2D) {
        auto found = s.textures.find(s.boundTexture);
        if (found != s.textures.end() && complete(found->second)) {
            ensureTexture(found->second);
            f.texturing = found->second.handle != 0;
            f.texture = found->second.handle;
        }
    }
    f.fog = s.enables.fog;
    if (f.fog) {
        f.fogMode = s.fogMode == GL_LINEAR ? 0 : s.fogMode == GL_EXP ? 1 : 2;
        f.fogParameters = {s.fogDensity, s.fogStart, s.fogEnd, 0};
        f.fogColour = s.fogColour;
    }
    f.alphaTest = s.enables.alphaTest;
    if (f.alphaTest) {
        f.alphaFunction = static_cast<int>(s.alphaFunction - GL_NEVER);
        f.alphaReference = s.alphaReference;
    }
    return f;
}

void forgetObjects() {
    for (auto& [name, texture] : state().textures) {
        texture.handle = 0;
        texture.uploaded = false;
    }
    for (auto& [name, list] : state().lists.byName) {
        list.triangleBuffer = list.indexBuffer = 0;
        list.uploaded = false;
    }
}

}  // namespace

// WebGL has no GL_CLAMP (which blends in a border); the layer's textures have no border, so
// the edge texels are what GL_CLAMP comes nearest to.
int webglWrap(GLenum wrap) {
    return wrap == GL_REPEAT ? GL_REPEAT : GL_CLAMP_TO_EDGE;
}

State& state() {
    static State s;
    return s;
}

void setError(GLenum error) {
    if (state().error == GL_NO_ERROR) {
        state().error = error;
    }
}

backend::DrawState drawState() {
    State& s = state();
    backend::DrawState d;
    d.projection = s.projection.back();
    d.fixed = s.fixed;
    if (s.enables.lighting) {
        d.light = lightingUniforms(s);
    }
    d.fragment = fragmentUniforms(s);
    return d;
}

void flushPending() {
    flush(state().batch);
}

void trackColour(const Vec4& colour) {
    State& s = state();
    if (!s.enables.colourMaterial || recording()) {
        return;
    }
    auto apply = [&](Material& m) {
        switch (s.colourMaterialMode) {
            case GL_AMBIENT:
                m.ambient = colour;
                break;
            case GL_DIFFUSE:
                m.diffuse = colour;
                break;
            case GL_SPECULAR:
                m.specular = colour;
                break;
            case GL_EMISSION:
                m.emission = colour;
                break;
            default:
                m.ambient = m.diffuse = colour;
                break;
        }
    };
    if (s.colourMaterialFace != GL_BACK) {
        apply(s.front);
    }
    if (s.colourMaterialFace != GL_FRONT) {
        apply(s.back);
    }
}

void ensureTexture(Texture& t) {
    if (!backend::ready()) {
        return;
    }
    if (t.handle == 0) {
        t.handle = backend::makeTexture();
        t.uploaded = false;
    }
    if (!t.uploaded && t.handle != 0) {
        for (std::size_t level = 0; level < t.levels.size(); ++level) {
            const ImageLevel& image = t.levels[level];
            if (image.width > 0 && image.height > 0) {
                backend::textureLevel(t.handle, static_cast<int>(level), image.width, image.height,
                                      image.rgba.data());
            }
        }
        backend::textureParameters(t.handle, static_cast<int>(t.minFilter),
                                   static_cast<int>(t.magFilter), webglWrap(t.wrapS),
                                   webglWrap(t.wrapT));
        t.uploaded = true;
    }
}

void ensureList(DisplayList& list) {
    if (!backend::ready() || list.uploaded) {
        return;
    }
    list.triangleBuffer =
        backend::makeBuffer(list.triangles.data(), list.triangles.size() * sizeof(Vertex), false);
    list.indexBuffer = backend::makeBuffer(
        list.triangleIndices.data(), list.triangleIndices.size() * sizeof(std::uint16_t), true);
    list.uploaded = true;
}

bool initialise(bool instancing) {
    discard(state().batch);
    forgetObjects();
    if (!backend::create(instancing)) {
        std::fprintf(stderr, "fixedgl: cannot build the shaders on this WebGL context\n");
        return false;
    }
    return true;
}

void contextLost() {
    discard(state().batch);
    backend::forget();
    forgetObjects();
}

bool contextRestored(bool instancing) {
    return initialise(instancing);
}

}  // namespace fixedgl
