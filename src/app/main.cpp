// main.cpp -- the entry point: the window, its GL context, and the platform of the paced loop.
#define SDL_MAIN_HANDLED
#include <SDL.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

#include "app/asset_root.h"
#include "app/events.h"
#include "app/input.h"
#include "app/loop.h"
#include "app/pacing.h"
#include "assets/textures.h"
#include "game/state.h"
#include "render/frame.h"
#include "render/scene.h"

#ifndef VANTORIX_DATADIR
#define VANTORIX_DATADIR ""
#endif

namespace app {
namespace {

constexpr const char* kTitle = "Vantorix";
constexpr int kOuterWidth = 800;
constexpr int kOuterHeight = 600;
constexpr int kExitFailure = 1;
constexpr const char* kStatsVariable = "VANTORIX_STATS";

struct Shell {
    SDL_Window* window = nullptr;
    SDL_GLContext context = nullptr;  // null once the window has been asked to close
    TextQueue pendingText;
    Clock::time_point deadline;  // when the current pass was due
    long frames = 0;
    Clock::time_point firstPresented;  // when the first frame reached the screen
    bool frameFitted = false;          // the outer frame has been made 800x600 at the corner
};

Shell shell;

int reportFailure(const char* what) {
    std::fprintf(stderr, "Vantorix: %s: %s\n", what, SDL_GetError());
    return kExitFailure;
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

bool createWindow() {
    requestSurfaceFormat();
    const Uint32 flags =
        SDL_WINDOW_OPENGL | SDL_WINDOW_SHOWN | SDL_WINDOW_RESIZABLE | SDL_WINDOW_ALLOW_HIGHDPI;
    shell.window = SDL_CreateWindow(kTitle, 0, 0, kOuterWidth, kOuterHeight, flags);
    if (shell.window == nullptr) {
        return false;
    }
    fitOuterFrame();
    shell.context = SDL_GL_CreateContext(shell.window);
    if (shell.context == nullptr) {
        return false;
    }
    if (SDL_GL_MakeCurrent(shell.window, shell.context) != 0) {
        return false;
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

void dispatch(const Message& message) {
    switch (message.kind) {
        case MessageKind::KeyDown:
            onKeyDown(message.code);
            break;
        case MessageKind::Char:
            onChar(message.code);
            break;
        case MessageKind::MouseMove:
            onMouseMove(message.x, message.y);
            break;
        case MessageKind::Resize:
            resizeToDrawable();
            break;
        case MessageKind::Close:
            closeWindow();
            break;
        case MessageKind::Placed:
            fitOuterFrame();
            break;
        case MessageKind::Quit:
        case MessageKind::None:
            break;
    }
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

void chooseAssetRoot() {
    assets::setAssetRoot(findAssetRoot(assetRootCandidates(executableFolder(), VANTORIX_DATADIR)));
}

bool pollPass(Message* message) {
    return pollMessage(shell.pendingText, message);
}

// The loop calls this only while the window has its context; after a close request it ticks
// the game itself and draws nothing.
void drawFrame() {
    render::renderFrame();
    SDL_GL_SwapWindow(shell.window);
    if (shell.frames == 0) {
        shell.firstPresented = Clock::now();
    }
    ++shell.frames;
}

// Passes keep to the schedule of pacing.h, so the game runs at 60 ticks a second.
void waitForNextPass() {
    shell.deadline = nextDeadline(shell.deadline, Clock::now(), kPassPeriod);
    std::this_thread::sleep_until(shell.deadline);
}

constexpr LoopPlatform kPlatform{pollPass, drawFrame, dispatch, waitForNextPass};

// The rate the loop keeps: the first frame, slowed by the GL driver's warm-up, only starts the
// clock, and the frames after it are counted.
void reportStats() {
    const long frames = std::max(0L, shell.frames - 1);
    const double seconds =
        frames > 0 ? std::chrono::duration<double>(Clock::now() - shell.firstPresented).count()
                   : 0.0;
    std::fprintf(stderr, "%s\n", statsLine(frames, seconds).c_str());
}

bool statsWanted() {
    const char* value = std::getenv(kStatsVariable);
    return value != nullptr && std::strcmp(value, "1") == 0;
}

int run() {
    SDL_SetMainReady();
    // Closing the window is handled here: it gives up the context before the loop ends.
    // SIGINT and SIGTERM keep SDL's own handling: they arrive as the quit message (status 0).
    SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
    if (SDL_Init(SDL_INIT_VIDEO) != 0) {
        return reportFailure("cannot start the video system");
    }
    if (onUnseenDriver()) {
        SDL_SetError(
            "no display found (DISPLAY or WAYLAND_DISPLAY names none that can be reached)");
        return reportFailure("cannot start the video system");
    }
    if (!createWindow()) {
        return reportFailure("cannot create the window");
    }
    resizeToDrawable();
    game::state.quitRequested = false;
    chooseAssetRoot();
    render::initScene();
    SDL_StartTextInput();

    shell.deadline = Clock::now();
    const int status = runLoop(kPlatform);
    if (statsWanted()) {
        reportStats();
    }
    // The window, the context and the GL driver live as long as the process, like every other
    // resource of the game; the system reclaims them at exit.
    return status;
}

}  // namespace
}  // namespace app

int main() {
    return app::run();
}
