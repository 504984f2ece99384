// web_main.cpp -- the browser platform: the page's canvas and its WebGL context, the page's
// events and controls, and one pass of the shared loop per animation frame.
#include <emscripten/emscripten.h>
#include <emscripten/html5.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "app/command_line.h"
#include "app/dispatch.h"
#include "app/loop.h"
#include "app/session.h"
#include "app/web_context.h"
#include "app/web_events.h"
#include "fixedgl/fixedgl.h"
#include "render/frame.h"

namespace app {
namespace {

constexpr int kExitFailure = 1;

// The touch surfaces: the picture, and the rest of the screen below a picture that keeps its
// shape in a narrow window (web/index.html). A swipe or a tap means the same on both.
constexpr const char* kPadSelector = "#pad";
constexpr const char* kOrbitPadSelector = "#orbit";

struct Page {
    WebQueue queue;
    Touch touch;
    OrbitPad orbitPad;
    WebPads pads;
    bool padsReadable = false;
    bool padSeenShown = false;
    bool padUseShown = false;
    LoopState loop;
    int width = 0;  // the canvas's size in device pixels
    int height = 0;
    bool contextLost = false;
    bool firstFrameShown = false;
    bool gameOverShown = false;
};

Page page;

// The page's side (web/page.js): what it shows around the canvas.
EM_JS(void, pageShowsFirstFrame, (), { Module.vantorixFirstFrame(); });
EM_JS(void, pageShowsEnd, (int status), { Module.vantorixEnded(status); });
EM_JS(void, pageShowsGameOver, (), { Module.vantorixGameOver(); });
EM_JS(void, pageShowsNoWebGL, (), { Module.vantorixNoWebGL(); });
EM_JS(void, pageShowsPad, (), { Module.vantorixPadSeen(); });
EM_JS(void, pageShowsPadUsed, (), { Module.vantorixPadUsed(); });

// Whether the page may look at its pads at all. Where a page's embedder forbids gamepads (its
// permissions policy), navigator.getGamepads() throws, and it would throw inside every pass.
EM_JS(int, padsAllowed, (), {
    try {
        return navigator.getGamepads && navigator.getGamepads() ? 1 : 0;
    } catch (error) {
        return 0;
    }
});

// The canvas fills the window; its drawing buffer has a pixel for each device pixel.
void canvasSizeWanted(int* width, int* height) {
    double cssWidth = 0.0;
    double cssHeight = 0.0;
    emscripten_get_element_css_size(kCanvasSelector, &cssWidth, &cssHeight);
    const double ratio = emscripten_get_device_pixel_ratio();
    *width = static_cast<int>(std::lround(cssWidth * ratio));
    *height = static_cast<int>(std::lround(cssHeight * ratio));
}

// The drawing buffer takes the new size only when the message is handled, together with the
// viewport, so that no frame is drawn at one size into a buffer of another.
void resizeCanvas(int width, int height) {
    page.width = width;
    page.height = height;
    emscripten_set_canvas_element_size(kCanvasSelector, width, height);
    render::resizeViewport(width, height);
}

void resizeForMessage(const Message& message) {
    resizeCanvas(message.x, message.y);
}

constexpr WindowHandlers kWindowHandlers{resizeForMessage, nullptr, nullptr};

// The Gamepad API's view of every pad at this moment, by index.
std::vector<WebGamepad> lookAtPads() {
    std::vector<WebGamepad> sampled;
    if (emscripten_sample_gamepad_data() != EMSCRIPTEN_RESULT_SUCCESS) {
        return sampled;
    }
    sampled.resize(static_cast<std::size_t>(std::max(0, emscripten_get_num_gamepads())));
    for (std::size_t i = 0; i < sampled.size(); ++i) {
        EmscriptenGamepadEvent status{};
        if (emscripten_get_gamepad_status(static_cast<int>(i), &status) !=
            EMSCRIPTEN_RESULT_SUCCESS) {
            continue;  // an index whose pad was pulled out: none
        }
        WebGamepad& pad = sampled[i];
        pad.connected = status.connected != 0;
        pad.mapping = status.mapping;
        const auto buttons = std::min<std::size_t>(status.numButtons, pad.pressed.size());
        for (std::size_t b = 0; b < buttons; ++b) {
            pad.pressed[b] = status.digitalButton[b] != 0;
        }
        const auto axes = std::min<std::size_t>(status.numAxes, pad.axes.size());
        for (std::size_t a = 0; a < axes; ++a) {
            pad.axes[a] = status.axis[a];
        }
    }
    return sampled;
}

// The page hears of the pads once: when the first is seen, and at its first press.
void tellPageOfPads() {
    if (page.pads.seen && !page.padSeenShown) {
        page.padSeenShown = true;
        pageShowsPad();
    }
    if (page.pads.used && !page.padUseShown) {
        page.padUseShown = true;
        pageShowsPadUsed();
    }
}

// The pads are looked at once a pass, before its message is taken: their presses join the
// page's events in the one queue, and a pass with no message is the right sticks'.
bool pollPass(Message* message) {
    const PadContext context = currentPadContext();
    if (page.padsReadable) {
        padsSampled(page.pads, lookAtPads(), context, page.queue);
    }
    const bool taken = takePassMessage(page.queue, page.pads, context, message);
    tellPageOfPads();
    return taken;
}

void drawFrame() {
    render::renderFrame();
    // The layer gathers immediate-mode drawing until the state changes: the frame ends here,
    // where the desktop swaps its buffers. The browser shows it when the callback returns.
    glFlush();
    frameShown();
    if (!page.firstFrameShown) {
        page.firstFrameShown = true;
        pageShowsFirstFrame();
    }
}

void dispatch(const Message& message) {
    dispatchMessage(message, kWindowHandlers);
}

// The page waits for the display, not for a clock: the pass is paced in onAnimationFrame.
void noWait() {}

// Passes stop while the context is lost (see onAnimationFrame), so there is always one.
bool canDraw() {
    return true;
}

constexpr LoopPlatform kPlatform{pollPass, drawFrame, dispatch, noWait, canDraw};

void endGame() {
    emscripten_cancel_main_loop();
    emscripten_html5_remove_all_event_listeners();
    endSession();
    pageShowsEnd(loopExitStatus(page.loop));
}

// Called at each of the display's frames. A pass runs when one is due: 60 a second whatever
// the display's rate, and no burst of passes after the page was hidden (the browser calls no
// animation frame then). While the context is lost the game waits where it is.
void onAnimationFrame() {
    if (page.contextLost || !passDueAtThisFrame()) {
        return;
    }
    if (!runPass(kPlatform, page.loop)) {
        endGame();
        return;
    }
    // The game stays over, as on the desktop; the page offers a new one.
    if (gameIsOver() && !page.gameOverShown) {
        page.gameOverShown = true;
        pageShowsGameOver();
    }
}

EM_BOOL onKeyDown(int, const EmscriptenKeyboardEvent* event, void*) {
    const bool command = event->ctrlKey || event->altKey || event->metaKey;
    const Message message = translateKey(WebKey{event->key, command});
    queueMessage(page.queue, message);
    return browserKeepsKey(message) ? EM_FALSE : EM_TRUE;
}

EM_BOOL onMouseMove(int, const EmscriptenMouseEvent* event, void*) {
    queueMessage(page.queue, pointerMessage(event->targetX, event->targetY));
    return EM_FALSE;
}

// Touches on the canvas are the game's: none scrolls or zooms the page.
// Hands each touch point that changed in the event to `handle`.
template <typename Handle>
void forEachChangedTouch(const EmscriptenTouchEvent& event, Handle handle) {
    for (int i = 0; i < event.numTouches; ++i) {
        if (event.touches[i].isChanged) {
            handle(event.touches[i]);
        }
    }
}

EM_BOOL onTouch(int type, const EmscriptenTouchEvent* event, void*) {
    forEachChangedTouch(*event, [type](const EmscriptenTouchPoint& point) {
        const double x = point.targetX;
        const double y = point.targetY;
        switch (type) {
            case EMSCRIPTEN_EVENT_TOUCHSTART:
                touchStarted(page.touch, point.identifier, x, y);
                break;
            case EMSCRIPTEN_EVENT_TOUCHMOVE:
                queueMessage(page.queue, touchMoved(page.touch, point.identifier, x, y));
                break;
            case EMSCRIPTEN_EVENT_TOUCHEND:
                queueMessage(page.queue, touchEnded(page.touch, point.identifier, x, y));
                break;
            default:
                touchCancelled(page.touch);
                break;
        }
    });
    return EM_TRUE;
}

// A press on one of the page's buttons that stand for a key.
EM_BOOL onControl(int, const EmscriptenMouseEvent*, void* control) {
    queueMessage(page.queue, controlMessage(*static_cast<const PageControl*>(control)));
    return EM_TRUE;
}

EM_BOOL onOrbitPad(int type, const EmscriptenTouchEvent* event, void*) {
    double width = 0.0;
    double height = 0.0;
    emscripten_get_element_css_size(kOrbitPadSelector, &width, &height);
    forEachChangedTouch(*event, [type, height](const EmscriptenTouchPoint& point) {
        const double x = point.targetX;
        const double y = point.targetY;
        switch (type) {
            case EMSCRIPTEN_EVENT_TOUCHSTART:
                queueMessage(page.queue, orbitPadStarted(page.orbitPad, point.identifier));
                queueMessage(page.queue,
                             orbitPadMoved(page.orbitPad, point.identifier, x, y, height));
                break;
            case EMSCRIPTEN_EVENT_TOUCHMOVE:
                queueMessage(page.queue,
                             orbitPadMoved(page.orbitPad, point.identifier, x, y, height));
                break;
            default:
                orbitPadEnded(page.orbitPad, point.identifier);
                break;
        }
    });
    return EM_TRUE;
}

EM_BOOL onResize(int, const EmscriptenUiEvent*, void*) {
    int width = 0;
    int height = 0;
    canvasSizeWanted(&width, &height);
    queueMessage(page.queue, resizeMessage(width, height));
    return EM_FALSE;
}

// Taking the event's default lets the browser restore the context later (a GPU reset). The
// game keeps its state; only the GL objects are gone.
EM_BOOL onContextLost(int, const void*, void*) {
    page.contextLost = true;
    fixedgl::contextLost();
    return EM_TRUE;
}

EM_BOOL onContextRestored(int, const void*, void*) {
    if (!restoreWebGLLayer()) {
        return EM_TRUE;  // still lost: the browser may restore it again
    }
    render::resizeViewport(page.width, page.height);
    page.contextLost = false;
    return EM_TRUE;
}

void listenToTouches(const char* target, em_touch_callback_func callback) {
    emscripten_set_touchstart_callback(target, nullptr, EM_FALSE, callback);
    emscripten_set_touchmove_callback(target, nullptr, EM_FALSE, callback);
    emscripten_set_touchend_callback(target, nullptr, EM_FALSE, callback);
    emscripten_set_touchcancel_callback(target, nullptr, EM_FALSE, callback);
}

void listen() {
    const char* window = EMSCRIPTEN_EVENT_TARGET_WINDOW;
    emscripten_set_keydown_callback(window, nullptr, EM_FALSE, onKeyDown);
    emscripten_set_mousemove_callback(kCanvasSelector, nullptr, EM_FALSE, onMouseMove);
    listenToTouches(kCanvasSelector, onTouch);
    listenToTouches(kPadSelector, onTouch);
    listenToTouches(kOrbitPadSelector, onOrbitPad);
    for (const PageControl& control : kPageControls) {
        // The html5 API hands the pointer back untouched; the table is constant.
        void* data = const_cast<PageControl*>(&control);
        emscripten_set_click_callback(control.selector, data, EM_FALSE, onControl);
    }
    emscripten_set_resize_callback(window, nullptr, EM_FALSE, onResize);
    emscripten_set_webglcontextlost_callback(kCanvasSelector, nullptr, EM_FALSE, onContextLost);
    emscripten_set_webglcontextrestored_callback(kCanvasSelector, nullptr, EM_FALSE,
                                                 onContextRestored);
}

int run() {
    if (!createWebGLContext(kCanvasSelector)) {
        pageShowsNoWebGL();
        return kExitFailure;
    }
    int width = 0;
    int height = 0;
    canvasSizeWanted(&width, &height);
    resizeCanvas(width, height);
    // The textures were put in the virtual file system's working directory, "/".
    startSession("");
    listen();
    page.padsReadable = padsAllowed() != 0;
    // One call per animation frame; main returns and the page keeps the game running.
    emscripten_set_main_loop(onAnimationFrame, 0, EM_FALSE);
    return 0;
}

}  // namespace
}  // namespace app

int main(int argc, char** argv) {
    if (const auto answered = app::answerCommandLine(argc, argv)) {
        return *answered;
    }
    return app::run();
}
