// lists.h -- display lists: recording calls into the list being compiled, or running them now.
//
// Every gl* call that a list can hold goes through recordOrRun, the one place that decides
// between keeping the call for later and carrying it out. A list keeps its primitives' vertices
// (sent to the backend once, in buffers of its own) and its other calls as commands to replay.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <vector>

#include "backend.h"
#include "fixedgl.h"

namespace fixedgl {

constexpr int kMaxListNesting = 64;

// The attributes as they stand: current ones, or those of a list being compiled.
struct Attributes {
    Vec4 colour{1, 1, 1, 1};
    Vec3 normal{0, 0, 1};
    std::array<float, 2> texCoord{0, 0};
};

// A stretch of a list's vertices drawn in one go. An attribute that the list had not set before
// these vertices takes the current value when the list is called.
struct ListDraw {
    bool lines = false;  // line segments (two vertices each), else triangles
    int first = 0;       // into the list's triangle indices, or its line vertices
    int count = 0;
    bool hasNormal = false, hasColour = false, hasTexCoord = false;
};

struct ListOp {
    bool isDraw = false;
    ListDraw draw;
    std::function<void()> command;
};

struct DisplayList {
    std::vector<ListOp> ops;
    // Each distinct triangle vertex once, and the triangles as indices into them.
    std::vector<Vertex> triangles;
    std::vector<std::uint16_t> triangleIndices;
    std::vector<Vertex> lines;  // two per segment
    unsigned triangleBuffer = 0, indexBuffer = 0;
    bool opaqueTriangles = false;  // every colour in `triangles` has an alpha of at least 1
    bool uploaded = false;
};

struct Compiling {
    GLuint name = 0;
    GLenum mode = 0;
    DisplayList list;
    Attributes attributes;
    bool setColour = false, setNormal = false, setTexCoord = false;
    bool attributesSynced = true;  // no attribute set since the last op that needs them
};

struct Lists {
    std::map<GLuint, DisplayList> byName;
    GLuint nextName = 1;
    GLuint base = 0;
    std::unique_ptr<Compiling> compiling;
    int callDepth = 0;
};

// A list is being compiled, and the calls come from the program, not from a list being run.
bool recording();

// Keeps `command` in the list being compiled, or runs it now. Attributes set in the list before
// it become current first when the list runs. (A list compiled with GL_COMPILE_AND_EXECUTE runs
// once it is complete.)
void recordOrRun(std::function<void()> command);

// Keeps, when the list has set attributes since its last command, one that makes them current
// (before the next command, and at the list's end).
void syncAttributes(Compiling& c);

// The attributes a vertex takes, and those that glColor, glNormal and glTexCoord set.
const Attributes& vertexAttributes();
void setAttribute(bool Compiling::*wasSet, const std::function<void(Attributes&)>& change);

// The primitive just ended goes into the list being compiled, extending its last draw when
// nothing came between them.
void compilePrimitive(Compiling& c, const std::vector<Vertex>& triangles,
                      const std::vector<Vertex>& lines);

// The list is complete: its triangles' repeated vertices are shared through indices.
void finishList(DisplayList& list);

void executeList(GLuint name);

}  // namespace fixedgl
