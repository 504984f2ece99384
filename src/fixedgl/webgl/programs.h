// programs.h -- the linked programs, one per set of features, and their uniforms.
//
// Each program keeps the uniform values it was last sent; a draw sends only what differs, and
// only the uniforms its program has.
#pragma once

#include <array>
#include <map>

#include "fixedgl/backend.h"

namespace fixedgl::webgl {

enum Uniform : unsigned {
    kModelView,
    kModelViewProjection,
    kNormals,
    kViewport,
    kModelAmbient,
    kLightAmbient,
    kLightDiffuse,
    kLightSpecular,
    kLightPosition,
    kSpotDirection,
    kSpotCosCutoff,
    kSpotExponent,
    kAttenuation,
    kFrontAmbient,
    kFrontDiffuse,
    kFrontSpecular,
    kFrontEmission,
    kFrontTracks,
    kFrontShininess,
    kBackAmbient,
    kBackDiffuse,
    kBackSpecular,
    kBackEmission,
    kBackTracks,
    kBackShininess,
    kFogParameters,
    kFogColour,
    kAlphaFunction,
    kAlphaReference,
    kUniformCount
};

using UniformValue = std::array<float, 16>;
using UniformValues = std::array<UniformValue, kUniformCount>;

struct Program {
    unsigned id = 0;  // 0: the program did not link
    std::array<int, kUniformCount> at{};
    UniformValues sent{};
    std::array<bool, kUniformCount> known{};
};

// Every uniform's value for a draw under `state` with `modelView`.
void uniformValues(const backend::DrawState& state, const Matrix& modelView, UniformValues& out);

// The program with these features, linked when first asked for; nullptr when it does not link
// (said once on stderr).
Program* programFor(std::map<unsigned, Program>& programs, unsigned features);

// Makes `program` current (`current` is the one in use) and sends the uniforms that differ
// from what it was last sent.
void useProgram(Program& program, unsigned& current, const UniformValues& values);

}  // namespace fixedgl::webgl
