// cases_page.cpp -- the browser side of the case table: the layer on a WebGL 1 canvas.
//
// The page's script calls fixedglDrawCase(i) and reads the pixels it returns; it can lose and
// restore the context through WEBGL_lose_context, and the layer is told as the game's page
// tells it.
#include <GL/gl.h>
#include <emscripten/emscripten.h>
#include <emscripten/html5.h>

#include <cstdio>
#include <vector>

#include "assets/textures.h"
#include "cases.h"

namespace {

// As the game's page does: the layer draws runs of one list instanced where it may.
bool enableInstancing() {
    return emscripten_webgl_enable_extension(emscripten_webgl_get_current_context(),
                                             "ANGLE_instanced_arrays") == EM_TRUE;
}

std::vector<unsigned char> pixels(static_cast<std::size_t>(cases::kWidth) * cases::kHeight * 4);
int losses = 0;
int restores = 0;

EM_BOOL onLost(int, const void*, void*) {
    fixedgl::contextLost();
    ++losses;
    return EM_TRUE;  // asks the browser for a new context
}

EM_BOOL onRestored(int, const void*, void*) {
    if (fixedgl::contextRestored(enableInstancing())) {
        ++restores;
    }
    return EM_TRUE;
}

}  // namespace

extern "C" {

EMSCRIPTEN_KEEPALIVE int fixedglCaseCount() {
    return cases::count();
}

EMSCRIPTEN_KEEPALIVE const char* fixedglCaseName(int index) {
    return cases::at(index).name;
}

EMSCRIPTEN_KEEPALIVE unsigned char* fixedglDrawCase(int index) {
    cases::draw(index);
    glReadPixels(0, 0, cases::kWidth, cases::kHeight, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    return pixels.data();
}

EMSCRIPTEN_KEEPALIVE int fixedglLosses() {
    return losses;
}

EMSCRIPTEN_KEEPALIVE int fixedglRestores() {
    return restores;
}

}  // extern "C"

int main() {
    emscripten_set_canvas_element_size("#canvas", cases::kWidth, cases::kHeight);
    EmscriptenWebGLContextAttributes attributes;
    emscripten_webgl_init_context_attributes(&attributes);
    attributes.majorVersion = 1;
    attributes.alpha = EM_FALSE;
    attributes.depth = EM_TRUE;
    attributes.antialias = EM_FALSE;
    attributes.preserveDrawingBuffer = EM_TRUE;
    const auto context = emscripten_webgl_create_context("#canvas", &attributes);
    if (context <= 0 ||
        emscripten_webgl_make_context_current(context) != EMSCRIPTEN_RESULT_SUCCESS) {
        std::fprintf(stderr, "fixedgl cases: no WebGL context\n");
        emscripten_run_script("window.fixedglFailed = 'no WebGL 1 context';");
        return 1;
    }
    emscripten_set_webglcontextlost_callback("#canvas", nullptr, EM_FALSE, onLost);
    emscripten_set_webglcontextrestored_callback("#canvas", nullptr, EM_FALSE, onRestored);
    if (!fixedgl::initialise(enableInstancing())) {
        emscripten_run_script("window.fixedglFailed = 'the layer cannot build its shaders';");
        return 1;
    }
    cases::prepare();
    emscripten_run_script("window.fixedglReady = true;");
    return 0;
}
