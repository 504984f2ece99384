// shaders.h -- the shader variants: which parts of the shaders a draw's state switches on.
//
// Each combination of parts is a program of its own: SwiftShader runs both sides of a branch on
// a uniform for every vertex and pixel, so a part that is off must not be in the program at all.
#pragma once

#include <string>

#include "fixedgl/backend.h"

namespace fixedgl::webgl {

enum Feature : unsigned {
    kSmoothLines = 1u << 0,
    kTwoSided = 1u << 1,  // the back faces lit on their own (else both take the front's colour)
    kLighting = 1u << 2,
    kLight0 = 1u << 3,
    kPositional = 1u << 4,
    kSpot = 1u << 5,
    kLocalViewer = 1u << 6,
    kTexturing = 1u << 7,
    kAlphaTest = 1u << 8,
    kFogLinear = 1u << 9,
    kFogExp = 1u << 10,
    kFogExp2 = 1u << 11,
    kInstanced = 1u << 12,  // the model-view from per-instance attributes
};

// The attributes' locations, the same in every program: smooth lines' and instances' share.
enum Attribute : unsigned {
    kPosition,
    kNormal,
    kColour,
    kTexCoord,
    kOther = 4,
    kCorner = 5,
    kRow0 = 4,
    kRow1 = 5,
    kRow2 = 6,
    kAttributeCount = 7
};

unsigned featuresOf(backend::Primitive primitive, const backend::DrawState& state, bool instanced);

std::string vertexShader(unsigned features);
std::string fragmentShader(unsigned features);

}  // namespace fixedgl::webgl
