// recording_backend.cpp -- the recording backend: every call kept, nothing drawn.
#include "recording_backend.h"

#include "fixedgl/state.h"

namespace recording {

namespace {

Record kept;
unsigned nextName = 1;

}  // namespace

Record& record() {
    return kept;
}

void start() {
    fixedgl::state() = fixedgl::State{};
    kept = Record{};
    fixedgl::initialise(true);
}

}  // namespace recording

namespace fixedgl::backend {

bool create(bool) {
    return true;
}

void forget() {}

bool ready() {
    return true;
}

unsigned makeTexture() {
    return recording::nextName++;
}

void textureLevel(unsigned, int, int, int, const std::uint8_t*) {}

void textureParameters(unsigned, int, int, int, int) {}

unsigned makeBuffer(const void*, std::size_t bytes, bool) {
    if (bytes == 0) {
        return 0;
    }
    ++recording::kept.buffersMade;
    return recording::nextName++;
}

void deleteBuffer(unsigned) {}

void draw(const Draw& d) {
    recording::DrawRecord r;
    r.draw = d;
    r.draw.source.data = nullptr;
    r.draw.instances = nullptr;
    if (d.source.buffer == 0 && d.primitive != Primitive::SmoothLines) {
        const auto* vertices = static_cast<const Vertex*>(d.source.data);
        r.vertices.assign(vertices, vertices + d.source.count);
    }
    r.instances.assign(d.instances, d.instances + d.instanceCount);
    recording::kept.streamedBytes +=
        d.source.bytes + static_cast<std::size_t>(d.instanceCount) * sizeof(Instance);
    recording::kept.draws.push_back(r);
}

void clear(const FixedState&, bool, bool) {
    ++recording::kept.clears;
}

void readPixels(int, int, int, int, void*) {}

void finish() {}

void flush() {}

}  // namespace fixedgl::backend
