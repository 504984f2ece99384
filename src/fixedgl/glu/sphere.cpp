// sphere.cpp -- libGLU's filled sphere: the same caches, float roundings and strip order.
#include "sphere.h"

#include <cmath>

namespace fixedgl {

namespace {

// libGLU clamps slices and stacks to its cache size.
constexpr int kCacheSize = 240;
constexpr double kPi = 3.14159265358979323846;

struct Caches {
    std::array<float, kCacheSize> sinA{}, cosA{};  // around the axis, per slice
    std::array<float, kCacheSize> sinB{}, cosB{};  // radius times sin/cos down the axis
    std::array<float, kCacheSize> normalSinB{}, normalCosB{};
};

Caches buildCaches(double radius, int slices, int stacks, bool outside) {
    Caches c;
    for (int i = 0; i < slices; ++i) {
        const float angle = static_cast<float>(2 * kPi * i / slices);
        c.sinA[i] = static_cast<float>(std::sin(static_cast<double>(angle)));
        c.cosA[i] = static_cast<float>(std::cos(static_cast<double>(angle)));
    }
    for (int j = 0; j <= stacks; ++j) {
        const float angle = static_cast<float>(kPi * j / stacks);
        const float s = static_cast<float>(std::sin(static_cast<double>(angle)));
        const float co = static_cast<float>(std::cos(static_cast<double>(angle)));
        c.normalSinB[j] = outside ? s : -s;
        c.normalCosB[j] = outside ? co : -co;
        c.sinB[j] = static_cast<float>(radius * std::sin(static_cast<double>(angle)));
        c.cosB[j] = static_cast<float>(radius * std::cos(static_cast<double>(angle)));
    }
    // The poles come to a point.
    c.sinB[0] = 0;
    c.sinB[stacks] = 0;
    c.sinA[slices] = c.sinA[0];
    c.cosA[slices] = c.cosA[0];
    return c;
}

SphereVertex ringVertex(const Caches& c, const SphereStyle& style, int i, float ringSin,
                        float ringZ, float normalSin, float normalCos) {
    SphereVertex v;
    if (style.smoothNormals) {
        v.hasNormal = true;
        v.normal = {c.sinA[i] * normalSin, c.cosA[i] * normalSin, normalCos};
    }
    v.position = {ringSin * c.sinA[i], ringSin * c.cosA[i], ringZ};
    return v;
}

// The strip between stack rings j and j + 1, as libGLU's quad strips: high ring first when
// the normals point outwards, low ring first when they point in.
SpherePrimitive bandStrip(const Caches& c, const SphereStyle& style, int j, int slices,
                          int stacks) {
    SpherePrimitive strip;
    strip.kind = SphereStrip::QuadStrip;
    for (int i = 0; i <= slices; ++i) {
        SphereVertex high = ringVertex(c, style, i, c.sinB[j + 1], c.cosB[j + 1],
                                       c.normalSinB[j + 1], c.normalCosB[j + 1]);
        SphereVertex low =
            ringVertex(c, style, i, c.sinB[j], c.cosB[j], c.normalSinB[j], c.normalCosB[j]);
        if (style.textureCoords) {
            const float s = 1 - static_cast<float>(i) / slices;
            high.hasTexCoord = low.hasTexCoord = true;
            high.texCoord = {s, 1 - static_cast<float>(j + 1) / stacks};
            low.texCoord = {s, 1 - static_cast<float>(j) / stacks};
        }
        if (style.outside) {
            strip.vertices.push_back(high);
            strip.vertices.push_back(low);
        } else {
            strip.vertices.push_back(low);
            strip.vertices.push_back(high);
        }
    }
    return strip;
}

// Untextured spheres close their poles with fans: apex first, then the ring next to it.
SpherePrimitive poleFan(const Caches& c, const SphereStyle& style, double radius, int slices,
                        int stacks, bool top) {
    SpherePrimitive fan;
    fan.kind = SphereStrip::TriangleFan;
    const int apexIndex = top ? 0 : stacks;
    const int ring = top ? 1 : stacks - 1;
    if (style.smoothNormals) {
        fan.hasLeadingNormal = true;
        // libGLU indexes the slice cache with the stack index here.
        const int cacheIndex = top ? 0 : stacks;
        const float s = c.normalSinB[apexIndex];
        fan.leadingNormal = {c.sinA[cacheIndex] * s, c.cosA[cacheIndex] * s,
                             c.normalCosB[apexIndex]};
    }
    SphereVertex apex;
    apex.position = {0.0f, 0.0f, static_cast<float>(top ? radius : -radius)};
    fan.vertices.push_back(apex);
    const bool descending = top == style.outside;
    for (int k = 0; k <= slices; ++k) {
        const int i = descending ? slices - k : k;
        fan.vertices.push_back(ringVertex(c, style, i, c.sinB[ring], c.cosB[ring],
                                          c.normalSinB[ring], c.normalCosB[ring]));
    }
    return fan;
}

}  // namespace

std::vector<SpherePrimitive> sphereStream(double radius, int slices, int stacks,
                                          const SphereStyle& style) {
    if (slices >= kCacheSize) {
        slices = kCacheSize - 1;
    }
    if (stacks >= kCacheSize) {
        stacks = kCacheSize - 1;
    }
    std::vector<SpherePrimitive> primitives;
    if (slices < 2 || stacks < 1 || radius < 0.0) {
        return primitives;
    }
    const Caches c = buildCaches(radius, slices, stacks, style.outside);
    int start = 0;
    int finish = stacks;
    if (!style.textureCoords) {
        start = 1;
        finish = stacks - 1;
        primitives.push_back(poleFan(c, style, radius, slices, stacks, true));
        primitives.push_back(poleFan(c, style, radius, slices, stacks, false));
    }
    for (int j = start; j < finish; ++j) {
        primitives.push_back(bandStrip(c, style, j, slices, stacks));
    }
    return primitives;
}

}  // namespace fixedgl
