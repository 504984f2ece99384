// facing.h -- which of a list's triangles can only be culled, found before they are sent.
//
// A software WebGL spends most of a late-game frame setting up the spheres' triangles, half of
// which face away and are culled. Triangles that clearly face away from the eye are left out
// of the draw; those near edge-on are kept, so that the GPU's own culling still decides every
// pixel and the picture is the same.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "backend.h"
#include "matrix.h"

namespace fixedgl {

// Each triangle's plane in object space: its unnormalised normal (counter-clockwise) and the
// normal's dot product with its first vertex, and the normal's length.
struct FacePlanes {
    std::vector<std::array<float, 5>> planes;
    float radius = 0;  // the farthest vertex from the origin
};

FacePlanes facePlanes(const std::vector<Vertex>& vertices,
                      const std::vector<std::uint16_t>& indices);

struct CullView {
    bool usable = false;         // a plain camera: an affine model-view, a plain projection
    std::array<float, 4> eye{};  // the eye in object space (w = 0: a direction, orthographic)
    float keepSign = 1;          // +1 keeps the eye's side of a face, -1 the other
};

// The view in which faces are judged, from the matrices, the winding that is front and the
// faces culled (GL_FRONT, GL_BACK; anything else gives an unusable view).
CullView cullView(const Matrix& modelView, const Matrix& projection, bool frontIsCounterClockwise,
                  bool cullBack);

// The indices of the triangles among [first, first + count) that may be seen.
void keptTriangles(const FacePlanes& faces, const std::vector<std::uint16_t>& indices, int first,
                   int count, const CullView& view, std::vector<std::uint16_t>& kept);

}  // namespace fixedgl
