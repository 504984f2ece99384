// batch.h -- turns the draws of a frame into few backend draws.
//
// Draws arrive one primitive, or one list's stretch, at a time, each under the state and the
// model-view it was given in. Consecutive ones under one state join: vertices into one buffer
// (carried to eye space on the CPU once two model-views meet in it, so that no uniform changes
// between them), and the same list's mesh under many model-views into one instanced draw. The
// order of the draws is kept; a draw that cannot join sends what was gathered first.
#pragma once

#include <vector>

#include "backend.h"

namespace fixedgl {

struct Batch {
    enum class Kind { Empty, Vertices, Instances };
    Kind kind = Kind::Empty;
    backend::DrawState state;
    backend::Primitive primitive = backend::Primitive::Triangles;
    Matrix modelView{};     // of the first draw
    bool eyeSpace = false;  // the vertices are in eye space, the model-view the identity
    std::vector<Vertex> vertices;
    backend::DrawSource mesh;  // the list's mesh, for instances
    std::vector<Instance> instances;
    std::vector<LineCorner> corners;  // scratch for smooth lines
};

// Triangles (three vertices each) or line segments (two each) in object space.
void addVertices(Batch& batch, backend::Primitive primitive, const backend::DrawState& state,
                 const Matrix& modelView, const std::vector<Vertex>& vertices);

// A list's mesh (in buffers of its own, triangles) drawn under `modelView`; `colour` stands in
// for the colour attribute when the mesh has none.
void addInstance(Batch& batch, const backend::DrawState& state, const Matrix& modelView,
                 const backend::DrawSource& mesh, const Vec4& colour);

// Hands what was gathered to the backend; the batch is empty after.
void flush(Batch& batch);

// Forgets what was gathered (its buffers went with a lost context).
void discard(Batch& batch);

std::vector<LineCorner> lineCorners(const std::vector<Vertex>& lines);

}  // namespace fixedgl
