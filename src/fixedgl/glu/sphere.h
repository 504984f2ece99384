// sphere.h -- GLU's sphere as the vertex stream the desktop's libGLU sends to GL.
//
// No GL here: the stream is plain data, so that it can be compared exactly with what libGLU
// sends (tests/fixedgl) and then drawn by the layer.
#pragma once

#include <array>
#include <vector>

namespace fixedgl {

struct SphereVertex {
    bool hasNormal = false;
    std::array<float, 3> normal{};
    bool hasTexCoord = false;
    std::array<float, 2> texCoord{};
    std::array<float, 3> position{};
};

enum class SphereStrip { QuadStrip, TriangleFan };

struct SpherePrimitive {
    SphereStrip kind = SphereStrip::QuadStrip;
    // A normal set before the first glBegin of a fan, outside any strip.
    bool hasLeadingNormal = false;
    std::array<float, 3> leadingNormal{};
    std::vector<SphereVertex> vertices;
};

struct SphereStyle {
    bool smoothNormals = true;  // GLU_SMOOTH; false is GLU_NONE
    bool textureCoords = false;
    bool outside = true;  // GLU_OUTSIDE; false is GLU_INSIDE
};

// The filled sphere's primitives in libGLU's order, with its float arithmetic. Empty when
// libGLU would refuse the arguments (fewer than 2 slices, no stack, a negative radius).
std::vector<SpherePrimitive> sphereStream(double radius, int slices, int stacks,
                                          const SphereStyle& style);

}  // namespace fixedgl
