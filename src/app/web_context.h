// web_context.h -- the WebGL context on the page's canvas, on which the fixed-function layer
// draws; shared by the game's page and the frame benchmark's page.
#pragma once

namespace app {

// The game's canvas, as the page and the html5 API name it.
constexpr const char* kCanvasSelector = "#canvas";

// Creates a WebGL 1 context on the canvas with the surface the desktop asks for (an opaque
// colour buffer, a depth buffer, no stencil, no antialiasing), makes it current and sets up
// the fixed-function layer on it. False when the browser offers no WebGL here, or the layer
// cannot run on it.
bool createWebGLContext(const char* canvas);

// The canvas's context was restored after a loss: the layer builds its objects on it again.
// False while it cannot (the browser may restore the context again).
bool restoreWebGLLayer();

}  // namespace app
