// assemble.h -- primitives split into triangles and line segments, as Mesa splits them.
#pragma once

#include <vector>

#include "backend.h"
#include "fixedgl.h"

namespace fixedgl {

// Quads and polygons become fans from their first vertex, quad strips are split across the same
// diagonal, line strips and loops become segments; points are not drawn. Appends to `triangles`
// (three vertices each) and `lines` (two each).
void assemble(GLenum mode, const std::vector<Vertex>& vertices, std::vector<Vertex>& triangles,
              std::vector<Vertex>& lines);

}  // namespace fixedgl
