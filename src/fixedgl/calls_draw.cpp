// calls_draw.cpp -- immediate mode and display lists.
//
// Immediate-mode primitives are split into triangles or line segments as Mesa splits them
// (quads and polygons as fans from their first vertex, quad strips across the same diagonal)
// and gathered until the state changes, so that a run of glBegin/glEnd under one state is one
// WebGL draw. A display list keeps its vertices in buffers of its own and its other commands as
// calls to replay; a run of primitives in a list is one draw.
#include <cstdint>
#include <cstring>
#include <string>
#include <unordered_map>

#include "state.h"

using fixedgl::LineCorner;
using fixedgl::setError;
using fixedgl::state;
using fixedgl::Vertex;
using fixedgl::backend::Primitive;

namespace fixedgl {

namespace {

bool isLineMode(GLenum mode) {
    return mode == GL_LINES || mode == GL_LINE_STRIP || mode == GL_LINE_LOOP;
}

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

backend::DrawSource streamed(const std::vector<Vertex>& vertices) {
    backend::DrawSource source;
    source.data = vertices.data();
    source.bytes = vertices.size() * sizeof(Vertex);
    source.count = static_cast<int>(vertices.size());
    source.opaqueColours = opaqueColours(vertices);
    return source;
}

void drawLines(const std::vector<Vertex>& lines) {
    const backend::DrawState draw = drawState();
    if (!state().enables.lineSmooth) {
        backend::draw(Primitive::Lines, draw, streamed(lines));
        return;
    }
    const std::vector<LineCorner> corners = lineCorners(lines);
    backend::DrawSource source;
    source.data = corners.data();
    source.bytes = corners.size() * sizeof(LineCorner);
    source.count = static_cast<int>(corners.size());
    backend::draw(Primitive::SmoothLines, draw, source);
}

LineCorner cornerOf(const Vertex& self, const Vertex& other, float end, float side) {
    LineCorner c;
    c.position = self.position;
    c.other = other.position;
    c.normal = self.normal;
    c.colour = self.colour;
    c.texCoord = self.texCoord;
    c.corner = {end, side};
    return c;
}

// The attributes a vertex takes: the list's own while compiling, else the current ones.
const Attributes& vertexAttributes() {
    const State& s = state();
    return s.compiling && s.callDepth == 0 ? s.compiling->attributes : s.current;
}

Attributes& writableAttributes() {
    // cppcheck-suppress constVariable ; s.current is handed out for writing
    State& s = state();
    return s.compiling && s.callDepth == 0 ? s.compiling->attributes : s.current;
}

void noteSet(bool Compiling::*flag) {
    const State& s = state();
    if (s.compiling && s.callDepth == 0) {
        (*s.compiling).*flag = true;
        s.compiling->attributesSynced = false;
    }
}

}  // namespace

// Colour material makes the current colour the tracked material's value too.
void trackColour(const Vec4& colour) {
    State& s = state();
    if (!s.enables.colourMaterial || (s.compiling && s.callDepth == 0)) {
        return;
    }
    auto apply = [&](Material& m) {
        switch (s.colourMaterialMode) {
            case GL_AMBIENT:
                m.ambient = colour;
                break;
            case GL_DIFFUSE:
                m.diffuse = colour;
                break;
            case GL_SPECULAR:
                m.specular = colour;
                break;
            case GL_EMISSION:
                m.emission = colour;
                break;
            default:
                m.ambient = m.diffuse = colour;
                break;
        }
    };
    if (s.colourMaterialFace != GL_BACK) {
        apply(s.front);
    }
    if (s.colourMaterialFace != GL_FRONT) {
        apply(s.back);
    }
}

namespace {

void setColour(const Vec4& colour) {
    writableAttributes().colour = colour;
    noteSet(&Compiling::setColour);
    trackColour(colour);
}

void addVertex(float x, float y, float z) {
    State& s = state();
    if (!s.inBegin) {
        return;  // a vertex outside glBegin/glEnd has no effect
    }
    const Attributes& a = vertexAttributes();
    Vertex v;
    v.position = {x, y, z};
    v.normal = a.normal;
    v.colour = a.colour;
    v.texCoord = a.texCoord;
    s.primitiveVertices.push_back(v);
}

// The primitive just ended goes into the list being compiled, extending its last draw when
// nothing came between them.
void compilePrimitive(Compiling& c, const std::vector<Vertex>& triangles,
                      const std::vector<Vertex>& lines) {
    DisplayList& list = *c.list;
    auto append = [&](Primitive primitive, const std::vector<Vertex>& vertices,
                      std::vector<Vertex>& into) {
        if (vertices.empty()) {
            return;
        }
        ListOp* last = list.ops.empty() ? nullptr : &list.ops.back();
        const bool extends = last != nullptr && last->isDraw && last->draw.primitive == primitive &&
                             last->draw.hasColour == c.setColour &&
                             last->draw.hasNormal == c.setNormal &&
                             last->draw.hasTexCoord == c.setTexCoord &&
                             last->draw.first + last->draw.count == static_cast<int>(into.size());
        if (extends) {
            last->draw.count += static_cast<int>(vertices.size());
        } else {
            ListOp op;
            op.isDraw = true;
            op.draw.primitive = primitive;
            op.draw.first = static_cast<int>(into.size());
            op.draw.count = static_cast<int>(vertices.size());
            op.draw.hasColour = c.setColour;
            op.draw.hasNormal = c.setNormal;
            op.draw.hasTexCoord = c.setTexCoord;
            list.ops.push_back(std::move(op));
        }
        into.insert(into.end(), vertices.begin(), vertices.end());
    };
    append(Primitive::Triangles, triangles, list.triangles);
    append(Primitive::Lines, lines, list.lines);
    if (!lines.empty()) {
        const std::vector<LineCorner> corners = lineCorners(lines);
        list.lineCorners.insert(list.lineCorners.end(), corners.begin(), corners.end());
    }
}

// With face culling on, only the triangles that may face the right way go to WebGL. False
// when none does.
bool cullOnTheWay(const DisplayList& list, const ListDraw& d, backend::DrawSource& source) {
    State& s = state();
    const auto mode = static_cast<GLenum>(s.fixed.cullMode);
    if (!s.fixed.cullFace || list.indexBuffer == 0 || mode == GL_FRONT_AND_BACK) {
        return true;
    }
    const CullView view = cullView(s.modelView.back(), s.projection.back(),
                                   s.fixed.frontFace == GL_CCW, mode == GL_BACK);
    if (!view.usable) {
        return true;
    }
    keptTriangles(list.faces, list.triangleIndices, d.first, d.count, view, s.keptIndices);
    source.indexData = s.keptIndices.data();
    source.indexBytes = s.keptIndices.size() * sizeof(std::uint16_t);
    source.first = 0;
    source.count = static_cast<int>(s.keptIndices.size());
    return source.count > 0;
}

void drawListOp(DisplayList& list, const ListDraw& d) {
    ensureList(list);
    const Attributes& current = state().current;
    backend::DrawSource source;
    source.hasColour = d.hasColour;
    source.hasNormal = d.hasNormal;
    source.hasTexCoord = d.hasTexCoord;
    source.colour = current.colour;
    source.normal = current.normal;
    source.texCoord = current.texCoord;
    Primitive primitive = d.primitive;
    if (primitive == Primitive::Triangles) {
        source.buffer = list.triangleBuffer;
        source.indexBuffer = list.indexBuffer;
        source.first = d.first;
        source.count = d.count;
        source.opaqueColours = list.opaqueTriangles;
        if (!cullOnTheWay(list, d, source)) {
            return;  // every triangle faces away
        }
    } else if (state().enables.lineSmooth) {
        primitive = Primitive::SmoothLines;
        source.buffer = list.cornerBuffer;
        source.first = d.first / 2 * 6;
        source.count = d.count / 2 * 6;
    } else {
        source.buffer = list.lineBuffer;
        source.first = d.first;
        source.count = d.count;
    }
    if (source.buffer != 0) {
        backend::draw(primitive, drawState(), source);
    }
}

void deleteListObjects(const DisplayList& list) {
    backend::deleteBuffer(list.triangleBuffer);
    backend::deleteBuffer(list.indexBuffer);
    backend::deleteBuffer(list.lineBuffer);
    backend::deleteBuffer(list.cornerBuffer);
}

void callListValues(GLsizei count, GLenum type, const GLvoid* lists) {
    const GLuint base = state().listBase;
    for (GLsizei i = 0; i < count; ++i) {
        GLuint offset = 0;
        switch (type) {
            case GL_UNSIGNED_BYTE:
                offset = static_cast<const GLubyte*>(lists)[i];
                break;
            case GL_BYTE:
                offset =
                    static_cast<GLuint>(static_cast<GLint>(static_cast<const GLbyte*>(lists)[i]));
                break;
            case GL_UNSIGNED_SHORT:
                offset = static_cast<const GLushort*>(lists)[i];
                break;
            case GL_SHORT:
                offset = static_cast<GLuint>(static_cast<const GLshort*>(lists)[i]);
                break;
            case GL_UNSIGNED_INT:
                offset = static_cast<const GLuint*>(lists)[i];
                break;
            case GL_INT:
                offset = static_cast<GLuint>(static_cast<const GLint*>(lists)[i]);
                break;
            case GL_FLOAT:
                offset = static_cast<GLuint>(static_cast<const GLfloat*>(lists)[i]);
                break;
            default:
                setError(GL_INVALID_ENUM);
                return;
        }
        executeList(base + offset);
    }
}

}  // namespace

void assemble(GLenum mode, const std::vector<Vertex>& v, std::vector<Vertex>& triangles,
              std::vector<Vertex>& lines) {
    const std::size_t n = v.size();
    switch (mode) {
        case GL_LINES:
            for (std::size_t i = 0; i + 1 < n; i += 2) {
                addLine(v, i, i + 1, lines);
            }
            break;
        case GL_LINE_STRIP:
        case GL_LINE_LOOP:
            for (std::size_t i = 1; i < n; ++i) {
                addLine(v, i - 1, i, lines);
            }
            if (mode == GL_LINE_LOOP && n > 2) {
                addLine(v, n - 1, 0, lines);
            }
            break;
        case GL_TRIANGLES:
            for (std::size_t i = 0; i + 2 < n; i += 3) {
                addTriangle(v, i, i + 1, i + 2, triangles);
            }
            break;
        case GL_TRIANGLE_STRIP:
            for (std::size_t i = 2; i < n; ++i) {
                if (i % 2 == 0) {
                    addTriangle(v, i - 2, i - 1, i, triangles);
                } else {
                    addTriangle(v, i - 1, i - 2, i, triangles);
                }
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

std::vector<LineCorner> lineCorners(const std::vector<Vertex>& lines) {
    std::vector<LineCorner> corners;
    corners.reserve(lines.size() * 3);
    for (std::size_t i = 0; i + 1 < lines.size(); i += 2) {
        const Vertex& a = lines[i];
        const Vertex& b = lines[i + 1];
        // Two triangles across the diagonal from the first end's right to the second end's
        // left, as Mesa splits the quad.
        corners.push_back(cornerOf(b, a, 1, -1));
        corners.push_back(cornerOf(a, b, 0, 1));
        corners.push_back(cornerOf(a, b, 0, -1));
        corners.push_back(cornerOf(b, a, 1, 1));
        corners.push_back(cornerOf(a, b, 0, 1));
        corners.push_back(cornerOf(b, a, 1, -1));
    }
    return corners;
}

void flushPending() {
    State& s = state();
    if (s.inBegin) {
        return;
    }
    if (!s.pendingTriangles.empty()) {
        backend::draw(Primitive::Triangles, drawState(), streamed(s.pendingTriangles));
        s.pendingTriangles.clear();
    }
    if (!s.pendingLines.empty()) {
        drawLines(s.pendingLines);
        s.pendingLines.clear();
    }
}

void indexTriangles(DisplayList& list) {
    constexpr std::size_t kMaxIndexed = 65536;
    std::unordered_map<std::string, std::uint16_t> seen;
    std::vector<Vertex> unique;
    std::vector<std::uint16_t> indices;
    indices.reserve(list.triangles.size());
    for (const Vertex& v : list.triangles) {
        const std::string key(reinterpret_cast<const char*>(&v), sizeof v);
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
    list.faces = facePlanes(list.triangles, list.triangleIndices);
}

void executeList(GLuint name) {
    State& s = state();
    auto found = s.lists.find(name);
    if (found == s.lists.end() || s.callDepth >= kMaxListNesting) {
        return;
    }
    DisplayList& list = found->second;
    ++s.callDepth;
    for (const ListOp& op : list.ops) {
        if (op.isDraw) {
            drawListOp(list, op.draw);
        } else {
            op.command();
        }
    }
    --s.callDepth;
}

}  // namespace fixedgl

extern "C" {

void glBegin(GLenum mode) {
    auto& s = state();
    if (s.inBegin) {
        setError(GL_INVALID_OPERATION);
        return;
    }
    if (mode > GL_POLYGON) {
        setError(GL_INVALID_ENUM);
        return;
    }
    if (!(s.compiling && s.callDepth == 0)) {
        // Gathered primitives of the other kind are drawn first, keeping the order.
        const bool lines = fixedgl::isLineMode(mode);
        if ((lines && !s.pendingTriangles.empty()) || (!lines && !s.pendingLines.empty())) {
            fixedgl::flushPending();
        }
    }
    s.inBegin = true;
    s.beginMode = mode;
    s.primitiveVertices.clear();
}

void glEnd(void) {
    auto& s = state();
    if (!s.inBegin) {
        setError(GL_INVALID_OPERATION);
        return;
    }
    s.inBegin = false;
    if (s.compiling && s.callDepth == 0) {
        std::vector<Vertex> triangles;
        std::vector<Vertex> lines;
        fixedgl::assemble(s.beginMode, s.primitiveVertices, triangles, lines);
        fixedgl::compilePrimitive(*s.compiling, triangles, lines);
        return;
    }
    fixedgl::assemble(s.beginMode, s.primitiveVertices, s.pendingTriangles, s.pendingLines);
}

void glVertex2i(GLint x, GLint y) {
    fixedgl::addVertex(static_cast<float>(x), static_cast<float>(y), 0.0f);
}
void glVertex2f(GLfloat x, GLfloat y) {
    fixedgl::addVertex(x, y, 0.0f);
}
void glVertex2d(GLdouble x, GLdouble y) {
    fixedgl::addVertex(static_cast<float>(x), static_cast<float>(y), 0.0f);
}
void glVertex3i(GLint x, GLint y, GLint z) {
    fixedgl::addVertex(static_cast<float>(x), static_cast<float>(y), static_cast<float>(z));
}
void glVertex3f(GLfloat x, GLfloat y, GLfloat z) {
    fixedgl::addVertex(x, y, z);
}
void glVertex3d(GLdouble x, GLdouble y, GLdouble z) {
    fixedgl::addVertex(static_cast<float>(x), static_cast<float>(y), static_cast<float>(z));
}
void glVertex3fv(const GLfloat* v) {
    fixedgl::addVertex(v[0], v[1], v[2]);
}

void glNormal3f(GLfloat x, GLfloat y, GLfloat z) {
    fixedgl::writableAttributes().normal = {x, y, z};
    fixedgl::noteSet(&fixedgl::Compiling::setNormal);
}
void glNormal3d(GLdouble x, GLdouble y, GLdouble z) {
    glNormal3f(static_cast<float>(x), static_cast<float>(y), static_cast<float>(z));
}
void glNormal3fv(const GLfloat* v) {
    glNormal3f(v[0], v[1], v[2]);
}

void glColor4f(GLfloat red, GLfloat green, GLfloat blue, GLfloat alpha) {
    fixedgl::setColour({red, green, blue, alpha});
}
void glColor3f(GLfloat red, GLfloat green, GLfloat blue) {
    glColor4f(red, green, blue, 1.0f);
}
void glColor3d(GLdouble red, GLdouble green, GLdouble blue) {
    glColor4f(static_cast<float>(red), static_cast<float>(green), static_cast<float>(blue), 1.0f);
}
void glColor3fv(const GLfloat* v) {
    glColor4f(v[0], v[1], v[2], 1.0f);
}
void glColor4fv(const GLfloat* v) {
    glColor4f(v[0], v[1], v[2], v[3]);
}
void glColor3ub(GLubyte red, GLubyte green, GLubyte blue) {
    constexpr float kByte = 255.0f;
    glColor4f(red / kByte, green / kByte, blue / kByte, 1.0f);
}

void glTexCoord2f(GLfloat s, GLfloat t) {
    fixedgl::writableAttributes().texCoord = {s, t};
    fixedgl::noteSet(&fixedgl::Compiling::setTexCoord);
}
void glTexCoord2d(GLdouble s, GLdouble t) {
    glTexCoord2f(static_cast<float>(s), static_cast<float>(t));
}

GLuint glGenLists(GLsizei range) {
    auto& s = state();
    if (range < 0) {
        setError(GL_INVALID_VALUE);
        return 0;
    }
    if (range == 0) {
        return 0;
    }
    const GLuint first = s.nextListName;
    s.nextListName += static_cast<GLuint>(range);
    return first;
}

void glDeleteLists(GLuint list, GLsizei range) {
    if (range < 0) {
        setError(GL_INVALID_VALUE);
        return;
    }
    auto& lists = state().lists;
    for (GLsizei i = 0; i < range; ++i) {
        auto found = lists.find(list + static_cast<GLuint>(i));
        if (found != lists.end()) {
            fixedgl::deleteListObjects(found->second);
            lists.erase(found);
        }
    }
}

GLboolean glIsList(GLuint list) {
    return state().lists.count(list) != 0 ? GL_TRUE : GL_FALSE;
}

void glNewList(GLuint list, GLenum mode) {
    auto& s = state();
    if (list == 0) {
        setError(GL_INVALID_VALUE);
        return;
    }
    if (mode != GL_COMPILE && mode != GL_COMPILE_AND_EXECUTE) {
        setError(GL_INVALID_ENUM);
        return;
    }
    if (s.compiling || s.inBegin) {
        setError(GL_INVALID_OPERATION);
        return;
    }
    fixedgl::flushPending();
    s.compiling = std::make_unique<fixedgl::Compiling>();
    s.compiling->name = list;
    s.compiling->mode = mode;
    s.compiling->list = std::make_unique<fixedgl::DisplayList>();
    s.compiling->attributes = s.current;
}

// A list compiled with GL_COMPILE_AND_EXECUTE runs once it is complete.
void glEndList(void) {
    auto& s = state();
    if (!s.compiling || s.inBegin) {
        setError(GL_INVALID_OPERATION);
        return;
    }
    fixedgl::recordInList(nullptr);
    const GLuint name = s.compiling->name;
    const GLenum mode = s.compiling->mode;
    auto found = s.lists.find(name);
    if (found != s.lists.end()) {
        fixedgl::deleteListObjects(found->second);
    }
    fixedgl::indexTriangles(*s.compiling->list);
    s.lists[name] = std::move(*s.compiling->list);
    s.compiling.reset();
    if (mode == GL_COMPILE_AND_EXECUTE) {
        glCallList(name);
    }
}

void glCallList(GLuint list) {
    if (fixedgl::recordInList([list] { glCallList(list); })) {
        return;
    }
    fixedgl::flushPending();
    fixedgl::executeList(list);
}

void glCallLists(GLsizei count, GLenum type, const GLvoid* lists) {
    if (count < 0) {
        setError(GL_INVALID_VALUE);
        return;
    }
    if (state().compiling && state().callDepth == 0) {
        // The names are kept as given; the base applies when the list runs.
        std::size_t size = 4;
        if (type == GL_UNSIGNED_BYTE || type == GL_BYTE) {
            size = 1;
        } else if (type == GL_UNSIGNED_SHORT || type == GL_SHORT) {
            size = 2;
        }
        std::vector<std::uint8_t> copy(static_cast<std::size_t>(count) * size);
        if (!copy.empty()) {
            std::memcpy(copy.data(), lists, copy.size());
        }
        fixedgl::recordInList(
            [count, type, copy] { fixedgl::callListValues(count, type, copy.data()); });
        return;
    }
    fixedgl::flushPending();
    fixedgl::callListValues(count, type, lists);
}

void glListBase(GLuint base) {
    if (fixedgl::recordInList([base] { glListBase(base); })) {
        return;
    }
    state().listBase = base;
}

}  // extern "C"
