// lists.cpp -- recording into display lists, and running them.
#include "lists.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <unordered_map>

#include "state.h"

namespace fixedgl {

namespace {

// A list stretch of up to this many triangle vertices (the font's glyph quads) joins the batch
// as vertices, to be drawn with its neighbours; a larger one (the sphere) stays in its buffers
// and is drawn as instances.
constexpr int kSmallStretch = 64;
constexpr std::size_t kMaxIndexed = 65536;

// The command that makes the attributes set in the list so far current.
std::function<void()> attributeSync(const Compiling& c) {
    const Attributes values = c.attributes;
    const bool colour = c.setColour, normal = c.setNormal, texCoord = c.setTexCoord;
    return [values, colour, normal, texCoord] {
        Attributes& current = state().current;
        if (colour) {
            current.colour = values.colour;
            trackColour(values.colour);
        }
        if (normal) {
            current.normal = values.normal;
        }
        if (texCoord) {
            current.texCoord = values.texCoord;
        }
    };
}

void append(DisplayList& list, bool lines, const std::vector<Vertex>& vertices,
            const Compiling& c) {
    if (vertices.empty()) {
        return;
    }
    std::vector<Vertex>& into = lines ? list.lines : list.triangles;
    ListOp* last = list.ops.empty() ? nullptr : &list.ops.back();
    const bool extends = last != nullptr && last->isDraw && last->draw.lines == lines &&
                         last->draw.hasColour == c.setColour &&
                         last->draw.hasNormal == c.setNormal &&
                         last->draw.hasTexCoord == c.setTexCoord &&
                         last->draw.first + last->draw.count == static_cast<int>(into.size());
    if (extends) {
        last->draw.count += static_cast<int>(vertices.size());
    } else {
        ListOp op;
        op.isDraw = true;
        op.draw = {lines,
                   static_cast<int>(into.size()),
                   static_cast<int>(vertices.size()),
                   c.setNormal,
                   c.setColour,
                   c.setTexCoord};
        list.ops.push_back(std::move(op));
    }
    into.insert(into.end(), vertices.begin(), vertices.end());
}

// The stretch's vertices, with the current attributes where the list set none.
void gather(const DisplayList& list, const ListDraw& d, std::vector<Vertex>& out) {
    const Attributes& current = state().current;
    out.clear();
    for (int i = d.first; i < d.first + d.count; ++i) {
        const auto at = static_cast<std::size_t>(i);
        Vertex v = d.lines                        ? list.lines[at]
                   : list.triangleIndices.empty() ? list.triangles[at]
                                                  : list.triangles[list.triangleIndices[at]];
        if (!d.hasColour) {
            v.colour = current.colour;
        }
        if (!d.hasNormal) {
            v.normal = current.normal;
        }
        if (!d.hasTexCoord) {
            v.texCoord = current.texCoord;
        }
        out.push_back(v);
    }
}

backend::DrawSource meshOf(const DisplayList& list, const ListDraw& d) {
    const Attributes& current = state().current;
    backend::DrawSource mesh;
    mesh.buffer = list.triangleBuffer;
    mesh.indexBuffer = list.indexBuffer;
    mesh.first = d.first;
    mesh.count = d.count;
    mesh.hasColour = d.hasColour;
    mesh.hasNormal = d.hasNormal;
    mesh.hasTexCoord = d.hasTexCoord;
    mesh.opaqueColours = d.hasColour ? list.opaqueTriangles : current.colour[3] >= 1.0f;
    mesh.colour = current.colour;
    mesh.normal = current.normal;
    mesh.texCoord = current.texCoord;
    return mesh;
}

void drawStretch(DisplayList& list, const ListDraw& d) {
    State& s = state();
    ensureList(list);
    if (!d.lines && d.count > kSmallStretch) {
        if (list.triangleBuffer != 0) {
            addInstance(s.batch, drawState(), s.modelView.back(), meshOf(list, d),
                        s.current.colour);
        }
        return;
    }
    static std::vector<Vertex> vertices;
    gather(list, d, vertices);
    const backend::Primitive primitive = !d.lines               ? backend::Primitive::Triangles
                                         : s.enables.lineSmooth ? backend::Primitive::SmoothLines
                                                                : backend::Primitive::Lines;
    addVertices(s.batch, primitive, drawState(), s.modelView.back(), vertices);
}

}  // namespace

bool recording() {
    const Lists& lists = state().lists;
    return lists.compiling && lists.callDepth == 0;
}

void recordOrRun(std::function<void()> command) {
    if (!recording()) {
        command();
        return;
    }
    Compiling& c = *state().lists.compiling;
    syncAttributes(c);
    ListOp op;
    op.command = std::move(command);
    c.list.ops.push_back(std::move(op));
}

void syncAttributes(Compiling& c) {
    if (!c.attributesSynced) {
        ListOp sync;
        sync.command = attributeSync(c);
        c.list.ops.push_back(std::move(sync));
        c.attributesSynced = true;
    }
}

const Attributes& vertexAttributes() {
    const State& s = state();
    return recording() ? s.lists.compiling->attributes : s.current;
}

void setAttribute(bool Compiling::*wasSet, const std::function<void(Attributes&)>& change) {
    State& s = state();
    if (!recording()) {
        change(s.current);
        return;
    }
    Compiling& c = *s.lists.compiling;
    change(c.attributes);
    c.*wasSet = true;
    c.attributesSynced = false;
}

void compilePrimitive(Compiling& c, const std::vector<Vertex>& triangles,
                      const std::vector<Vertex>& lines) {
    append(c.list, false, triangles, c);
    append(c.list, true, lines, c);
}

void finishList(DisplayList& list) {
    list.opaqueTriangles = std::all_of(list.triangles.begin(), list.triangles.end(),
                                       [](const Vertex& v) { return v.colour[3] >= 1.0f; });
    std::unordered_map<std::string, std::uint16_t> seen;
    std::vector<Vertex> unique;
    std::vector<std::uint16_t> indices;
    indices.reserve(list.triangles.size());
    for (const Vertex& v : list.triangles) {
        std::string key(sizeof v, '\0');
        std::memcpy(key.data(), &v, sizeof v);
        auto found = seen.find(key);
        if (found == seen.end()) {
            if (unique.size() == kMaxIndexed) {
                return;  // too many for 16-bit indices: the list keeps its plain triangles
            }
            found = seen.emplace(key, static_cast<std::uint16_t>(unique.size())).first;
            unique.push_back(v);
        }
        indices.push_back(found->second);
    }
    list.triangles = std::move(unique);
    list.triangleIndices = std::move(indices);
}

void executeList(GLuint name) {
    State& s = state();
    auto found = s.lists.byName.find(name);
    if (found == s.lists.byName.end() || s.lists.callDepth >= kMaxListNesting) {
        return;
    }
    DisplayList& list = found->second;
    ++s.lists.callDepth;
    for (const ListOp& op : list.ops) {
        if (op.isDraw) {
            drawStretch(list, op.draw);
        } else {
            op.command();
        }
    }
    --s.lists.callDepth;
}

}  // namespace fixedgl
