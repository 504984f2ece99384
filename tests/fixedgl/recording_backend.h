// recording_backend.h -- a backend for the layer's core that draws nothing and keeps what it is
// asked to do, so that the core's batching is tested natively.
#pragma once

#include <cstddef>
#include <vector>

#include "fixedgl/backend.h"

namespace recording {

struct DrawRecord {
    fixedgl::backend::Draw draw;            // its data and instance pointers are cleared
    std::vector<fixedgl::Vertex> vertices;  // streamed triangles or plain lines
    std::vector<fixedgl::Instance> instances;
};

struct Record {
    std::vector<DrawRecord> draws;
    int clears = 0;
    int buffersMade = 0;
    std::size_t streamedBytes = 0;  // vertices and instances handed over with draws
};

Record& record();

// A fresh layer (its kept state as at start-up) on a fresh recording context.
void start();

}  // namespace recording
