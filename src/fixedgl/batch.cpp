// batch.cpp -- gathering draws under one state into one backend draw.
#include "batch.h"

#include <algorithm>
#include <tuple>

#include "matrix.h"

namespace fixedgl {

namespace {

using backend::Primitive;

// Whether a model-view keeps w = 1: only such ones are instanced or carried to eye space.
bool isAffine(const Matrix& m) {
    return m[3] == 0 && m[7] == 0 && m[11] == 0 && m[15] == 1;
}

void start(Batch& batch, Batch::Kind kind, const backend::DrawState& state,
           const Matrix& modelView) {
    flush(batch);
    batch.kind = kind;
    batch.state = state;
    batch.modelView = modelView;
    batch.eyeSpace = false;
}

Vertex toEye(const Matrix& m, const Normals& n, const Vertex& v) {
    Vertex out = v;
    const auto& p = v.position;
    for (int row = 0; row < 3; ++row) {
        out.position[row] = m[row] * p[0] + m[4 + row] * p[1] + m[8 + row] * p[2] + m[12 + row];
        // Normals go by the inverse's transpose and keep their length, as GL_NORMALIZE off
        // leaves them.
        out.normal[row] =
            n[row] * v.normal[0] + n[3 + row] * v.normal[1] + n[6 + row] * v.normal[2];
    }
    return out;
}

void appendInEyeSpace(std::vector<Vertex>& into, const Matrix& m,
                      std::vector<Vertex>::const_iterator first,
                      std::vector<Vertex>::const_iterator last) {
    const Normals n = normalMatrix(m);
    std::transform(first, last, std::back_inserter(into),
                   [&m, &n](const Vertex& v) { return toEye(m, n, v); });
}

void carryToEyeSpace(Batch& batch) {
    std::vector<Vertex> eye;
    eye.reserve(batch.vertices.size());
    appendInEyeSpace(eye, batch.modelView, batch.vertices.begin(), batch.vertices.end());
    batch.vertices.swap(eye);
    batch.eyeSpace = true;
}

bool opaque(const Vec4& colour) {
    return colour[3] >= 1.0f;
}

// The same mesh, and the same constants for what it lacks besides the colour.
bool sameMesh(const backend::DrawSource& a, const backend::DrawSource& b) {
    return a.buffer == b.buffer && a.indexBuffer == b.indexBuffer && a.first == b.first &&
           a.count == b.count && a.hasNormal == b.hasNormal && a.hasColour == b.hasColour &&
           a.hasTexCoord == b.hasTexCoord && (a.hasNormal || a.normal == b.normal) &&
           (a.hasTexCoord || a.texCoord == b.texCoord);
}

Instance instanceOf(const Matrix& m, const Vec4& colour) {
    Instance instance;
    for (int row = 0; row < 3; ++row) {
        instance.rows[row] = {m[row], m[4 + row], m[8 + row], m[12 + row]};
    }
    instance.colour = colour;
    return instance;
}

void drawVertices(Batch& batch) {
    backend::Draw draw;
    draw.primitive = batch.primitive;
    draw.state = batch.state;
    draw.modelView = batch.eyeSpace ? identityMatrix() : batch.modelView;
    backend::DrawSource& source = draw.source;
    source.opaqueColours = std::all_of(batch.vertices.begin(), batch.vertices.end(),
                                       [](const Vertex& v) { return opaque(v.colour); });
    if (batch.primitive == Primitive::SmoothLines) {
        batch.corners = lineCorners(batch.vertices);
        source.data = batch.corners.data();
        source.bytes = batch.corners.size() * sizeof(LineCorner);
        source.count = static_cast<int>(batch.corners.size());
    } else {
        source.data = batch.vertices.data();
        source.bytes = batch.vertices.size() * sizeof(Vertex);
        source.count = static_cast<int>(batch.vertices.size());
    }
    backend::draw(draw);
}

void drawInstances(Batch& batch) {
    backend::Draw draw;
    draw.primitive = Primitive::Triangles;
    draw.state = batch.state;
    draw.source = batch.mesh;
    if (!batch.mesh.hasColour) {
        draw.source.opaqueColours = std::all_of(batch.instances.begin(), batch.instances.end(),
                                                [](const Instance& i) { return opaque(i.colour); });
    }
    if (batch.instances.size() == 1) {
        // One drawing keeps its own model-view, as an unbatched GL draws it.
        draw.modelView = batch.modelView;
        draw.source.colour = batch.instances.front().colour;
    } else {
        draw.modelView = identityMatrix();
        draw.instances = batch.instances.data();
        draw.instanceCount = static_cast<int>(batch.instances.size());
    }
    backend::draw(draw);
}

LineCorner cornerOf(const Vertex& self, const Vertex& other, float end, float side) {
    LineCorner c;
    c.position = self.position;
    c.other = other.position;
    c.normal = self.normal;
    c.colour = self.colour;
    c.texCoord = self.texCoord;
    c.corner = {end, side};
    return c;
}

}  // namespace

void addVertices(Batch& batch, Primitive primitive, const backend::DrawState& state,
                 const Matrix& modelView, const std::vector<Vertex>& vertices) {
    if (vertices.empty()) {
        return;
    }
    const bool joins =
        batch.kind == Batch::Kind::Vertices && batch.primitive == primitive &&
        batch.state == state &&
        (batch.modelView == modelView || (isAffine(batch.modelView) && isAffine(modelView)));
    if (!joins) {
        start(batch, Batch::Kind::Vertices, state, modelView);
        batch.primitive = primitive;
    } else if (!batch.eyeSpace && batch.modelView != modelView) {
        carryToEyeSpace(batch);
    }
    if (batch.eyeSpace) {
        appendInEyeSpace(batch.vertices, modelView, vertices.begin(), vertices.end());
    } else {
        batch.vertices.insert(batch.vertices.end(), vertices.begin(), vertices.end());
    }
}

void addInstance(Batch& batch, const backend::DrawState& state, const Matrix& modelView,
                 const backend::DrawSource& mesh, const Vec4& colour) {
    const bool joins = batch.kind == Batch::Kind::Instances && batch.state == state &&
                       sameMesh(batch.mesh, mesh) && isAffine(modelView) &&
                       isAffine(batch.modelView);
    if (!joins) {
        start(batch, Batch::Kind::Instances, state, modelView);
        batch.mesh = mesh;
    }
    batch.instances.push_back(instanceOf(modelView, colour));
}

void flush(Batch& batch) {
    if (batch.kind == Batch::Kind::Vertices) {
        drawVertices(batch);
    } else if (batch.kind == Batch::Kind::Instances) {
        drawInstances(batch);
    }
    discard(batch);
}

void discard(Batch& batch) {
    batch.kind = Batch::Kind::Empty;
    batch.vertices.clear();
    batch.instances.clear();
}

std::vector<LineCorner> lineCorners(const std::vector<Vertex>& lines) {
    std::vector<LineCorner> corners;
    corners.reserve(lines.size() * 3);
    for (std::size_t i = 0; i + 1 < lines.size(); i += 2) {
        const Vertex& a = lines[i];
        const Vertex& b = lines[i + 1];
        // Two triangles across the diagonal from the first end's right to the second end's
        // left, as Mesa splits the quad.
        corners.push_back(cornerOf(b, a, 1, -1));
        corners.push_back(cornerOf(a, b, 0, 1));
        corners.push_back(cornerOf(a, b, 0, -1));
        corners.push_back(cornerOf(b, a, 1, 1));
        corners.push_back(cornerOf(a, b, 0, 1));
        corners.push_back(cornerOf(b, a, 1, -1));
    }
    return corners;
}

}  // namespace fixedgl

namespace fixedgl::backend {

namespace {

auto tied(const MaterialUniforms& m) {
    return std::tie(m.ambient, m.diffuse, m.specular, m.emission, m.shininess, m.tracks);
}

}  // namespace

bool operator==(const MaterialUniforms& a, const MaterialUniforms& b) {
    return tied(a) == tied(b);
}

bool operator==(const LightingUniforms& a, const LightingUniforms& b) {
    auto lightOf = [](const LightingUniforms& l) {
        return std::tie(l.lighting, l.twoSide, l.localViewer, l.light0, l.modelAmbient,
                        l.lightAmbient, l.lightDiffuse, l.lightSpecular, l.lightPosition,
                        l.spotDirection, l.spotCosCutoff, l.spotExponent, l.attenuation, l.front,
                        l.back);
    };
    return lightOf(a) == lightOf(b);
}

bool operator==(const FragmentUniforms& a, const FragmentUniforms& b) {
    auto fragmentOf = [](const FragmentUniforms& f) {
        return std::tie(f.texturing, f.texture, f.fog, f.fogMode, f.fogParameters, f.fogColour,
                        f.alphaTest, f.alphaFunction, f.alphaReference);
    };
    return fragmentOf(a) == fragmentOf(b);
}

bool operator==(const FixedState& a, const FixedState& b) {
    auto fixedOf = [](const FixedState& f) {
        return std::tie(f.depthTest, f.cullFace, f.blend, f.cullMode, f.frontFace, f.blendSource,
                        f.blendDestination, f.clearColour, f.viewport);
    };
    return fixedOf(a) == fixedOf(b);
}

bool operator==(const DrawState& a, const DrawState& b) {
    return a.projection == b.projection && a.fixed == b.fixed && a.light == b.light &&
           a.fragment == b.fragment;
}

}  // namespace fixedgl::backend
