// state.cpp -- the kept state, what a draw's shaders receive, and the context's life.
#include "state.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace fixedgl {

namespace {

constexpr float kDegreesToRadians = 3.14159265358979323846f / 180.0f;
constexpr float kNoSpot = 180.0f;

State& makeState() {
    static State s;
    static bool primed = false;
    if (!primed) {
        // Light 0 alone is white by default.
        s.lights[0].diffuse = {1, 1, 1, 1};
        s.lights[0].specular = {1, 1, 1, 1};
        primed = true;
    }
    return s;
}

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

}  // namespace

// WebGL has no GL_CLAMP (which blends in a border); the layer's textures have no border, so
// the edge texels are what GL_CLAMP comes nearest to.
int webglWrap(GLenum wrap) {
    return wrap == GL_REPEAT ? GL_REPEAT : GL_CLAMP_TO_EDGE;
}

State& state() {
    static State& s = makeState();
    return s;
}

void setError(GLenum error) {
    if (state().error == GL_NO_ERROR) {
        state().error = error;
    }
}

bool recordInList(std::function<void()> command) {
    const State& s = state();
    if (!s.compiling || s.callDepth > 0) {
        return false;
    }
    Compiling& c = *s.compiling;
    // Attributes set in the list so far become current before anything else it does.
    if (!c.attributesSynced) {
        const Attributes values = c.attributes;
        const bool colour = c.setColour, normal = c.setNormal, texCoord = c.setTexCoord;
        ListOp sync;
        sync.command = [values, colour, normal, texCoord] {
            Attributes& current = state().current;
            if (colour) {
                current.colour = values.colour;
                trackColour(values.colour);
            }
            if (normal) {
                current.normal = values.normal;
            }
            if (texCoord) {
                current.texCoord = values.texCoord;
            }
        };
        c.list->ops.push_back(std::move(sync));
        c.attributesSynced = true;
    }
    if (command) {
        ListOp op;
        op.command = std::move(command);
        c.list->ops.push_back(std::move(op));
    }
    return true;
}

backend::DrawState drawState() {
    const State& s = state();
    backend::DrawState d;
    const Matrix& modelView = s.modelView.back();
    d.modelView = modelView;
    d.modelViewProjection = multiply(s.projection.back(), modelView);
    d.normals = normalMatrix(modelView);
    d.viewport = {static_cast<float>(s.fixed.viewport[0]), static_cast<float>(s.fixed.viewport[1]),
                  static_cast<float>(s.fixed.viewport[2]), static_cast<float>(s.fixed.viewport[3])};

    d.light.lighting = s.enables.lighting;
    if (d.light.lighting) {
        const Light& light = s.lights[0];
        // Back faces culled never show their colour; it is not worked out for them.
        const bool backsCulled = s.fixed.cullFace && s.fixed.cullMode == GL_BACK;
        d.light.twoSide = s.twoSide && !backsCulled;
        d.light.localViewer = s.localViewer;
        d.light.light0 = light.enabled;
        d.light.modelAmbient = s.modelAmbient;
        d.light.lightAmbient = light.ambient;
        d.light.lightDiffuse = light.diffuse;
        d.light.lightSpecular = light.specular;
        d.light.lightPosition = light.position;
        d.light.spotDirection = light.spotDirection;
        d.light.spotCosCutoff =
            light.spotCutoff == kNoSpot ? -1.0f : std::cos(light.spotCutoff * kDegreesToRadians);
        d.light.spotExponent = light.spotExponent;
        d.light.attenuation = light.attenuation;
        const bool tracking = s.enables.colourMaterial;
        const GLenum face = s.colourMaterialFace;
        d.light.front =
            materialUniforms(s.front, tracking && face != GL_BACK, s.colourMaterialMode);
        d.light.back = materialUniforms(s.back, tracking && face != GL_FRONT, s.colourMaterialMode);
    }

    if (s.enables.texture2D) {
        auto found = state().textures.find(s.boundTexture);
        if (found != state().textures.end() && complete(found->second)) {
            ensureTexture(found->second);
            d.fragment.texturing = found->second.handle != 0;
            d.fragment.texture = found->second.handle;
        }
    }
    d.fragment.fog = s.enables.fog;
    if (d.fragment.fog) {
        d.fragment.fogMode = s.fogMode == GL_LINEAR ? 0 : s.fogMode == GL_EXP ? 1 : 2;
        d.fragment.fogParameters = {s.fogDensity, s.fogStart, s.fogEnd, 0};
        d.fragment.fogColour = s.fogColour;
    }
    d.fragment.alphaTest = s.enables.alphaTest;
    d.fragment.alphaFunction = static_cast<int>(s.alphaFunction - GL_NEVER);
    d.fragment.alphaReference = s.alphaReference;
    return d;
}

void applyFixed() {
    backend::applyFixedState(state().fixed);
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

bool opaqueColours(const std::vector<Vertex>& vertices) {
    return std::all_of(vertices.begin(), vertices.end(),
                       [](const Vertex& v) { return v.colour[3] >= 1.0f; });
}

void ensureList(DisplayList& list) {
    if (!backend::ready() || list.uploaded) {
        return;
    }
    list.opaqueTriangles = opaqueColours(list.triangles);
    list.triangleBuffer =
        backend::makeBuffer(list.triangles.data(), list.triangles.size() * sizeof(Vertex));
    list.indexBuffer = backend::makeIndexBuffer(
        list.triangleIndices.data(), list.triangleIndices.size() * sizeof(std::uint16_t));
    list.lineBuffer = backend::makeBuffer(list.lines.data(), list.lines.size() * sizeof(Vertex));
    list.cornerBuffer =
        backend::makeBuffer(list.lineCorners.data(), list.lineCorners.size() * sizeof(LineCorner));
    list.uploaded = true;
}

void forgetObjects() {
    for (auto& [name, texture] : state().textures) {
        texture.handle = 0;
        texture.uploaded = false;
    }
    for (auto& [name, list] : state().lists) {
        list.triangleBuffer = list.indexBuffer = list.lineBuffer = list.cornerBuffer = 0;
        list.uploaded = false;
    }
}

bool initialise() {
    forgetObjects();
    if (!backend::create()) {
        std::fprintf(stderr, "fixedgl: cannot build the shaders on this WebGL context\n");
        return false;
    }
    applyFixed();
    return true;
}

void contextLost() {
    State& s = state();
    s.pendingTriangles.clear();
    s.pendingLines.clear();
    backend::forget();
    forgetObjects();
}

bool contextRestored() {
    return initialise();
}

}  // namespace fixedgl
