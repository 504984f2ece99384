// sdl_main.cpp -- the SDL2 platform: the window, its GL context, and the routines of the loop.
#define SDL_MAIN_HANDLED
#include <SDL.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

#include "app/command_line.h"
#include "app/dispatch.h"
#include "app/loop.h"
#include "app/sdl_display.h"
#include "app/sdl_events.h"
#include "app/session.h"
#include "render/frame.h"

namespace app {
namespace {

constexpr const char* kTitle = "Vantorix";
constexpr int kOuterWidth = 800;
constexpr int kOuterHeight = 600;
constexpr int kExitFailure = 1;

struct Shell {
    SDL_Window* window = nullptr;
    SDL_GLContext context = nullptr;  // null once the window has been asked to close
    SdlInput input;
    bool frameFitted = false;  // the outer frame has been made 800x600 at the corner
};

Shell shell;

// One line on stderr: the step that failed and SDL's reason.
bool reportFailure(const char* what) {
    std::fprintf(stderr, "Vantorix: %s: %s\n", what, SDL_GetError());
    return false;
}

// 8 bits per colour channel, no alpha, a 16-bit depth buffer, nothing else; a compatibility
// profile, since every frame is drawn with the fixed-function pipeline.
void requestSurfaceFormat() {
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_ALPHA_SIZE, 0);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 16);
    SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 0);
    SDL_GL_SetAttribute(SDL_GL_ACCUM_RED_SIZE, 0);
    SDL_GL_SetAttribute(SDL_GL_ACCUM_GREEN_SIZE, 0);
    SDL_GL_SetAttribute(SDL_GL_ACCUM_BLUE_SIZE, 0);
    SDL_GL_SetAttribute(SDL_GL_ACCUM_ALPHA_SIZE, 0);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
}

// SDL sizes and places the client area; the window is meant to be 800x600 with its frame,
// at the screen's corner. A window manager makes its frame known only some time after the
// window is mapped, so this is tried again whenever the window is shown or moved, until it
// has been done once. Without a window manager there is no frame and nothing to do.
void fitOuterFrame() {
    if (shell.frameFitted) {
        return;
    }
    int top = 0;
    int left = 0;
    int bottom = 0;
    int right = 0;
    if (SDL_GetWindowBordersSize(shell.window, &top, &left, &bottom, &right) != 0) {
        return;
    }
    if (top == 0 && left == 0 && bottom == 0 && right == 0) {
        return;
    }
    shell.frameFitted = true;
    SDL_SetWindowSize(shell.window, std::max(1, kOuterWidth - left - right),
                      std::max(1, kOuterHeight - top - bottom));
    SDL_SetWindowPosition(shell.window, left, top);
}

// The viewport follows the drawable size in pixels, which differs from the window size on
// high-density screens.
void resizeToDrawable() {
    if (shell.context == nullptr) {
        return;
    }
    int width = 0;
    int height = 0;
    SDL_GL_GetDrawableSize(shell.window, &width, &height);
    render::resizeViewport(width, height);
}

// With no display to reach, SDL falls back to a headless driver on which the game would run
// unseen. Only a driver asked for by name in SDL_VIDEODRIVER may be headless.
bool onUnseenDriver() {
    const char* driver = SDL_GetCurrentVideoDriver();
    const char* wanted = SDL_getenv("SDL_VIDEODRIVER");
    const bool headless = driver != nullptr && (std::strcmp(driver, "offscreen") == 0 ||
                                                std::strcmp(driver, "dummy") == 0);
    return headless && (wanted == nullptr || std::strcmp(wanted, driver) != 0);
}

// Each step that can fail says which it was, with SDL's reason.
bool createWindow() {
    requestSurfaceFormat();
    const Uint32 flags =
        SDL_WINDOW_OPENGL | SDL_WINDOW_SHOWN | SDL_WINDOW_RESIZABLE | SDL_WINDOW_ALLOW_HIGHDPI;
    shell.window = SDL_CreateWindow(kTitle, 0, 0, kOuterWidth, kOuterHeight, flags);
    if (shell.window == nullptr) {
        return reportFailure("cannot create the window");
    }
    fitOuterFrame();
    shell.context = SDL_GL_CreateContext(shell.window);
    if (shell.context == nullptr) {
        return reportFailure("cannot create an OpenGL compatibility context");
    }
    if (SDL_GL_MakeCurrent(shell.window, shell.context) != 0) {
        return reportFailure("cannot make the OpenGL context current");
    }
    // Vsync only against tearing: the loop paces itself. Adaptive first, then plain; a driver
    // that offers neither is fine.
    if (SDL_GL_SetSwapInterval(-1) != 0) {
        SDL_GL_SetSwapInterval(1);
    }
    return true;
}

// A close request gives up the context at once and asks the loop to end with status 0.
// The window stays up until the process ends.
void closeWindow() {
    if (shell.context == nullptr) {
        return;
    }
    SDL_GL_MakeCurrent(shell.window, nullptr);
    SDL_GL_DeleteContext(shell.context);
    shell.context = nullptr;
    SDL_Event quit{};
    quit.type = SDL_QUIT;
    SDL_PushEvent(&quit);
}

void resizeForMessage(const Message&) {
    resizeToDrawable();
}

constexpr WindowHandlers kWindowHandlers{resizeForMessage, closeWindow, fitOuterFrame};

void dispatch(const Message& message) {
    dispatchMessage(message, kWindowHandlers);
}

std::string executableFolder() {
    char* base = SDL_GetBasePath();
    if (base == nullptr) {
        return "";
    }
    std::string folder(base);
    SDL_free(base);
    while (folder.size() > 1 && folder.back() == '/') {
        folder.pop_back();
    }
    return folder;
}

// A lost display also arrives as the quit message; it ends the game as a failure.
bool displayLost() {
    const std::string reason = lostDisplayReason(shell.window);
    if (reason.empty()) {
        return false;
    }
    std::fprintf(stderr, "Vantorix: lost the connection to the display: %s\n", reason.c_str());
    return true;
}

bool pollPass(Message* message) {
    if (!pollMessage(shell.input, message)) {
        return false;
    }
    if (message->kind == MessageKind::Quit && displayLost()) {
        message->code = kExitFailure;
    }
    return true;
}

// The loop calls this only while the window has its context; after a close request it ticks
// the game itself and draws nothing.
void drawFrame() {
    render::renderFrame();
    SDL_GL_SwapWindow(shell.window);
    frameShown();
}

bool hasContext() {
    return shell.context != nullptr;
}

constexpr LoopPlatform kPlatform{pollPass, drawFrame, dispatch, waitForNextPass, hasContext};

int run() {
    SDL_SetMainReady();
    configureEventQueue();
    // Closing the window is handled here: it gives up the context before the loop ends.
    // SIGINT and SIGTERM keep SDL's own handling: they arrive as the quit message (status 0).
    SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
    if (SDL_Init(SDL_INIT_VIDEO) != 0) {
        reportFailure("cannot start the video system");
        return kExitFailure;
    }
    if (onUnseenDriver()) {
        SDL_SetError(
            "no display found (DISPLAY or WAYLAND_DISPLAY names none that can be reached)");
        reportFailure("cannot start the video system");
        return kExitFailure;
    }
    if (!createWindow()) {
        return kExitFailure;
    }
    // Pads are one more way to play, not a need: without SDL's controllers there are none. The
    // ones already plugged in arrive as added devices, like those plugged in later.
    SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER);
    resizeToDrawable();
    startSession(executableFolder());
    SDL_StartTextInput();

    const int status = runLoop(kPlatform);
    endSession();
    // The window, the context and the GL driver live as long as the process, like every other
    // resource of the game; the system reclaims them at exit.
    return status;
}

}  // namespace
}  // namespace app

int main(int argc, char** argv) {
    if (const auto answered = app::answerCommandLine(argc, argv)) {
        return *answered;
    }
    return app::run();
}
