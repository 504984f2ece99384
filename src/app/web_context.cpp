// web_context.cpp -- the WebGL context on the canvas, and the fixed-function layer on it.
#include "app/web_context.h"

#include <emscripten/html5.h>

#include "fixedgl/fixedgl.h"

namespace app {
namespace {

// The layer draws a run of one list as one instanced draw where the context offers it; an
// extension's calls exist only once it is enabled, and again after each restore.
bool enableInstancing() {
    return emscripten_webgl_enable_extension(emscripten_webgl_get_current_context(),
                                             "ANGLE_instanced_arrays") == EM_TRUE;
}

}  // namespace

bool createWebGLContext(const char* canvas) {
    EmscriptenWebGLContextAttributes attributes;
    emscripten_webgl_init_context_attributes(&attributes);
    attributes.alpha = EM_FALSE;
    attributes.depth = EM_TRUE;
    attributes.stencil = EM_FALSE;
    attributes.antialias = EM_FALSE;
    attributes.majorVersion = 1;
    attributes.minorVersion = 0;
    const EMSCRIPTEN_WEBGL_CONTEXT_HANDLE context =
        emscripten_webgl_create_context(canvas, &attributes);
    if (context <= 0 ||
        emscripten_webgl_make_context_current(context) != EMSCRIPTEN_RESULT_SUCCESS) {
        return false;
    }
    return fixedgl::initialise(enableInstancing());
}

bool restoreWebGLLayer() {
    return fixedgl::contextRestored(enableInstancing());
}

}  // namespace app
