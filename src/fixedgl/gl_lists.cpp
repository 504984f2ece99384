// gl_lists.cpp -- display lists: names, compiling, calling.
#include <cstring>

#include "state.h"

using fixedgl::setError;
using fixedgl::state;

namespace {

// The list names `lists` holds, as GL reads each type; false for a type GL does not know.
bool listNames(GLsizei count, GLenum type, const GLvoid* lists, std::vector<GLuint>& names) {
    names.clear();
    for (GLsizei i = 0; i < count; ++i) {
        switch (type) {
            case GL_UNSIGNED_BYTE:
                names.push_back(static_cast<const GLubyte*>(lists)[i]);
                break;
            case GL_BYTE:
                names.push_back(static_cast<GLuint>(static_cast<const GLbyte*>(lists)[i]));
                break;
            case GL_UNSIGNED_SHORT:
                names.push_back(static_cast<const GLushort*>(lists)[i]);
                break;
            case GL_SHORT:
                names.push_back(static_cast<GLuint>(static_cast<const GLshort*>(lists)[i]));
                break;
            case GL_UNSIGNED_INT:
                names.push_back(static_cast<const GLuint*>(lists)[i]);
                break;
            case GL_INT:
                names.push_back(static_cast<GLuint>(static_cast<const GLint*>(lists)[i]));
                break;
            case GL_FLOAT:
                names.push_back(static_cast<GLuint>(static_cast<const GLfloat*>(lists)[i]));
                break;
            default:
                return false;
        }
    }
    return true;
}

void deleteObjects(const fixedgl::DisplayList& list) {
    fixedgl::backend::deleteBuffer(list.triangleBuffer);
    fixedgl::backend::deleteBuffer(list.indexBuffer);
}

}  // namespace

extern "C" {

GLuint glGenLists(GLsizei range) {
    auto& lists = state().lists;
    if (range < 0) {
        setError(GL_INVALID_VALUE);
        return 0;
    }
    if (range == 0) {
        return 0;
    }
    const GLuint first = lists.nextName;
    lists.nextName += static_cast<GLuint>(range);
    return first;
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
    if (s.lists.compiling || s.inBegin) {
        setError(GL_INVALID_OPERATION);
        return;
    }
    s.lists.compiling = std::make_unique<fixedgl::Compiling>();
    s.lists.compiling->name = list;
    s.lists.compiling->mode = mode;
    s.lists.compiling->attributes = s.current;
}

// A list compiled with GL_COMPILE_AND_EXECUTE runs once it is complete. A list that replaces
// another is drawn from new buffers: what was gathered from the old one is drawn first.
void glEndList(void) {
    auto& s = state();
    if (!s.lists.compiling || s.inBegin) {
        setError(GL_INVALID_OPERATION);
        return;
    }
    fixedgl::syncAttributes(*s.lists.compiling);
    const GLuint name = s.lists.compiling->name;
    const GLenum mode = s.lists.compiling->mode;
    auto found = s.lists.byName.find(name);
    if (found != s.lists.byName.end()) {
        fixedgl::flushPending();
        deleteObjects(found->second);
    }
    fixedgl::finishList(s.lists.compiling->list);
    s.lists.byName[name] = std::move(s.lists.compiling->list);
    s.lists.compiling.reset();
    if (mode == GL_COMPILE_AND_EXECUTE) {
        glCallList(name);
    }
}

void glCallList(GLuint list) {
    fixedgl::recordOrRun([list] { fixedgl::executeList(list); });
}

// The names are kept as given; the base applies when the lists run.
void glCallLists(GLsizei count, GLenum type, const GLvoid* lists) {
    if (count < 0) {
        setError(GL_INVALID_VALUE);
        return;
    }
    std::vector<GLuint> names;
    if (!listNames(count, type, lists, names)) {
        setError(GL_INVALID_ENUM);
        return;
    }
    fixedgl::recordOrRun([names] {
        const GLuint base = state().lists.base;
        for (GLuint name : names) {
            fixedgl::executeList(base + name);
        }
    });
}

void glListBase(GLuint base) {
    fixedgl::recordOrRun([base] { state().lists.base = base; });
}

}  // extern "C"
