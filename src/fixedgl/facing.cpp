// facing.cpp -- planes of a list's triangles, and the ones a camera can see.
#include "facing.h"

#include <cmath>
#include <cstddef>

namespace fixedgl {

namespace {

// How far behind its plane the eye must be, relative to the sizes involved, before a face is
// left out: near edge-on faces go to the GPU, whose arithmetic has the last word.
constexpr float kMargin = 1e-3f;

using Vec3 = std::array<float, 3>;

Vec3 minus(const Vec3& a, const Vec3& b) {
    return {a[0] - b[0], a[1] - b[1], a[2] - b[2]};
}

Vec3 cross(const Vec3& a, const Vec3& b) {
    return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}

float dot(const Vec3& a, const Vec3& b) {
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
}

}  // namespace

FacePlanes facePlanes(const std::vector<Vertex>& vertices,
                      const std::vector<std::uint16_t>& indices) {
    FacePlanes faces;
    for (const Vertex& v : vertices) {
        faces.radius = std::fmax(faces.radius, std::sqrt(dot(v.position, v.position)));
    }
    for (std::size_t i = 0; i + 2 < indices.size(); i += 3) {
        const Vec3& a = vertices[indices[i]].position;
        const Vec3 n = cross(minus(vertices[indices[i + 1]].position, a),
                             minus(vertices[indices[i + 2]].position, a));
        faces.planes.push_back({n[0], n[1], n[2], dot(n, a), std::sqrt(dot(n, n))});
    }
    return faces;
}

CullView cullView(const Matrix& m, const Matrix& p, bool frontIsCounterClockwise, bool cullBack) {
    CullView view;
    const bool affine = m[3] == 0 && m[7] == 0 && m[11] == 0 && m[15] == 1;
    // gluPerspective or glFrustum with a positive width and height, or such an orthographic one.
    const bool isPerspective = p[11] == -1 && p[15] == 0;
    const bool isOrthographic = p[3] == 0 && p[7] == 0 && p[11] == 0 && p[15] == 1;
    const bool upright = p[0] > 0 && p[5] > 0 && p[1] == 0 && p[4] == 0;
    if (!affine || !upright || !(isPerspective || isOrthographic)) {
        return view;
    }
    const Normals n = normalMatrix(m);  // the inverse's transpose
    const float determinant = m[0] * (m[5] * m[10] - m[9] * m[6]) -
                              m[4] * (m[1] * m[10] - m[9] * m[2]) +
                              m[8] * (m[1] * m[6] - m[5] * m[2]);
    if (determinant == 0) {
        return view;
    }
    // The inverse's upper 3 x 3 is the transpose of n; column-major n[column * 3 + row].
    auto inverseTimes = [&n](const Vec3& v) {
        return Vec3{n[0] * v[0] + n[1] * v[1] + n[2] * v[2],
                    n[3] * v[0] + n[4] * v[1] + n[5] * v[2],
                    n[6] * v[0] + n[7] * v[1] + n[8] * v[2]};
    };
    if (isPerspective) {
        const Vec3 eye = inverseTimes({-m[12], -m[13], -m[14]});
        view.eye = {eye[0], eye[1], eye[2], 1};
    } else {
        const Vec3 towardsViewer = inverseTimes({0, 0, 1});
        view.eye = {towardsViewer[0], towardsViewer[1], towardsViewer[2], 0};
    }
    // A mirroring model-view turns the windings round; so do clockwise front faces and
    // culling the front ones.
    float sign = determinant > 0 ? 1.0f : -1.0f;
    sign *= frontIsCounterClockwise ? 1.0f : -1.0f;
    sign *= cullBack ? 1.0f : -1.0f;
    view.keepSign = sign;
    view.usable = true;
    return view;
}

void keptTriangles(const FacePlanes& faces, const std::vector<std::uint16_t>& indices, int first,
                   int count, const CullView& view, std::vector<std::uint16_t>& kept) {
    kept.clear();
    const Vec3 eye{view.eye[0], view.eye[1], view.eye[2]};
    const float reach = std::sqrt(dot(eye, eye)) + faces.radius;
    const float scale = view.eye[3] != 0 ? reach : 1.0f;
    for (int t = first / 3; t < (first + count) / 3; ++t) {
        const auto& plane = faces.planes[static_cast<std::size_t>(t)];
        const Vec3 normal{plane[0], plane[1], plane[2]};
        const float side = dot(normal, eye) - plane[3] * view.eye[3];
        if (view.keepSign * side > -kMargin * plane[4] * scale) {
            const auto at = static_cast<std::size_t>(t) * 3;
            kept.insert(kept.end(), indices.begin() + static_cast<std::ptrdiff_t>(at),
                        indices.begin() + static_cast<std::ptrdiff_t>(at + 3));
        }
    }
}

}  // namespace fixedgl
