// assemble.cpp -- triangles and line segments from GL's primitives.
#include "assemble.h"

namespace fixedgl {

namespace {

void addTriangle(const std::vector<Vertex>& v, std::size_t a, std::size_t b, std::size_t c,
                 std::vector<Vertex>& out) {
    out.push_back(v[a]);
    out.push_back(v[b]);
    out.push_back(v[c]);
}

void addLine(const std::vector<Vertex>& v, std::size_t a, std::size_t b, std::vector<Vertex>& out) {
    out.push_back(v[a]);
    out.push_back(v[b]);
}

void assembleLines(GLenum mode, const std::vector<Vertex>& v, std::vector<Vertex>& lines) {
    const std::size_t n = v.size();
    if (mode == GL_LINES) {
        for (std::size_t i = 0; i + 1 < n; i += 2) {
            addLine(v, i, i + 1, lines);
        }
        return;
    }
    for (std::size_t i = 1; i < n; ++i) {
        addLine(v, i - 1, i, lines);
    }
    if (mode == GL_LINE_LOOP && n > 2) {
        addLine(v, n - 1, 0, lines);
    }
}

}  // namespace

void assemble(GLenum mode, const std::vector<Vertex>& v, std::vector<Vertex>& triangles,
              std::vector<Vertex>& lines) {
    const std::size_t n = v.size();
    switch (mode) {
        case GL_LINES:
        case GL_LINE_STRIP:
        case GL_LINE_LOOP:
            assembleLines(mode, v, lines);
            break;
        case GL_TRIANGLES:
            for (std::size_t i = 0; i + 2 < n; i += 3) {
                addTriangle(v, i, i + 1, i + 2, triangles);
            }
            break;
        case GL_TRIANGLE_STRIP:
            for (std::size_t i = 2; i < n; ++i) {
                const bool even = i % 2 == 0;
                addTriangle(v, even ? i - 2 : i - 1, even ? i - 1 : i - 2, i, triangles);
            }
            break;
        case GL_TRIANGLE_FAN:
        case GL_POLYGON:
            for (std::size_t i = 2; i < n; ++i) {
                addTriangle(v, 0, i - 1, i, triangles);
            }
            break;
        case GL_QUADS:
            for (std::size_t i = 0; i + 3 < n; i += 4) {
                addTriangle(v, i, i + 1, i + 2, triangles);
                addTriangle(v, i, i + 2, i + 3, triangles);
            }
            break;
        case GL_QUAD_STRIP:
            // Each quad is split across the diagonal from its first to its last vertex.
            for (std::size_t i = 0; i + 3 < n; i += 2) {
                addTriangle(v, i, i + 1, i + 3, triangles);
                addTriangle(v, i, i + 3, i + 2, triangles);
            }
            break;
        default:
            break;  // points are not drawn
    }
}

}  // namespace fixedgl
