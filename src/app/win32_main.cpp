// win32_main.cpp -- the Win32 platform: the window, its WGL context, and the routines of the loop.
// The build defines these for GL's headers elsewhere (see CMakeLists.txt); here windows.h does.
#undef WINGDIAPI
#undef APIENTRY
#undef CALLBACK
#define NOMINMAX
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <fcntl.h>
#include <io.h>
// After windows.h, which they need.
#include <mmsystem.h>
#include <xinput.h>

#include <cstddef>
#include <cstdio>
#include <cstring>
#include <string>

#include "app/command_line.h"
#include "app/dispatch.h"
#include "app/gamepad.h"
#include "app/input.h"
#include "app/loop.h"
#include "app/session.h"
#include "app/win32_console.h"
#include "app/win32_messages.h"
#include "render/frame.h"

// The translation names the messages by number, without windows.h; they must be the system's.
static_assert(app::kWmCreate == WM_CREATE && app::kWmSize == WM_SIZE && app::kWmClose == WM_CLOSE &&
                  app::kWmQuit == WM_QUIT && app::kWmKeyDown == WM_KEYDOWN &&
                  app::kWmChar == WM_CHAR && app::kWmMouseMove == WM_MOUSEMOVE,
              "window message numbers");
static_assert(app::kKeyEscape == VK_ESCAPE && app::kKeySpace == VK_SPACE &&
                  app::kKeyLeft == VK_LEFT && app::kKeyUp == VK_UP && app::kKeyRight == VK_RIGHT &&
                  app::kKeyDown == VK_DOWN,
              "the game's key codes are the virtual-key codes");
static_assert(sizeof(app::XInputState) == sizeof(XINPUT_STATE) &&
                  offsetof(XINPUT_STATE, Gamepad) == offsetof(app::XInputState, gamepad) &&
                  offsetof(XINPUT_GAMEPAD, wButtons) == offsetof(app::XInputGamepad, buttons) &&
                  offsetof(XINPUT_GAMEPAD, sThumbLX) == offsetof(app::XInputGamepad, thumbLX) &&
                  offsetof(XINPUT_GAMEPAD, sThumbRY) == offsetof(app::XInputGamepad, thumbRY),
              "XInput's report of a pad");
static_assert(app::kXInputDpadUp == XINPUT_GAMEPAD_DPAD_UP &&
                  app::kXInputDpadDown == XINPUT_GAMEPAD_DPAD_DOWN &&
                  app::kXInputDpadLeft == XINPUT_GAMEPAD_DPAD_LEFT &&
                  app::kXInputDpadRight == XINPUT_GAMEPAD_DPAD_RIGHT &&
                  app::kXInputStart == XINPUT_GAMEPAD_START &&
                  app::kXInputBack == XINPUT_GAMEPAD_BACK &&
                  app::kXInputLeftShoulder == XINPUT_GAMEPAD_LEFT_SHOULDER &&
                  app::kXInputRightShoulder == XINPUT_GAMEPAD_RIGHT_SHOULDER &&
                  app::kXInputA == XINPUT_GAMEPAD_A && app::kXInputSlots == XUSER_MAX_COUNT,
              "XInput's buttons and slots");
static_assert(app::kFileTypeUnknown == FILE_TYPE_UNKNOWN && app::kFileTypeDisk == FILE_TYPE_DISK &&
                  app::kFileTypeChar == FILE_TYPE_CHAR && app::kFileTypePipe == FILE_TYPE_PIPE,
              "the kinds of file a standard handle leads to");

namespace app {
namespace {

constexpr const char* kClassName = "Vantorix";
constexpr const char* kTitle = "Vantorix";
constexpr const wchar_t* kWideTitle = L"Vantorix";
constexpr int kOuterWidth = 800;
constexpr int kOuterHeight = 600;
constexpr DWORD kWindowStyle = WS_OVERLAPPEDWINDOW | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
constexpr int kExitFailure = 1;
constexpr UINT kTimerResolutionMs = 1;
// The longest path Windows has, in UTF-16 units, with the \\?\ prefix.
constexpr std::size_t kLongestPath = 32768;
// Enough for any message the game writes, so that each reaches a console in one piece.
constexpr std::size_t kConsoleBuffer = 4096;

static_assert(sizeof(PIXELFORMATDESCRIPTOR) == 40, "the descriptor's own size");

// Double-buffered RGBA, 32 colour bits, a 16-bit depth buffer, and 0 in every other field: no
// alpha, accumulation, stencil or auxiliary buffers.
PIXELFORMATDESCRIPTOR describePixelFormat() {
    PIXELFORMATDESCRIPTOR format{};
    format.nSize = sizeof format;
    format.nVersion = 1;
    format.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
    format.iPixelType = PFD_TYPE_RGBA;
    format.cColorBits = 32;
    format.cDepthBits = 16;
    format.iLayerType = PFD_MAIN_PLANE;
    return format;
}

const PIXELFORMATDESCRIPTOR kPixelFormat = describePixelFormat();

using XInputGetStateRoutine = DWORD(WINAPI*)(DWORD, XINPUT_STATE*);

// XInput's DLLs, newest first: Windows 8 and later have the first, Vista and 7 the second.
constexpr const wchar_t* kXInputLibraries[] = {L"xinput1_4.dll", L"xinput9_1_0.dll"};

struct Shell {
    HWND window = nullptr;
    HDC deviceContext = nullptr;  // held for the life of the process
    HGLRC context = nullptr;      // null once the window has been asked to close
    MSG message{};                // the message this pass took
    bool fromPad = false;         // this pass's message came from a pad, not the window
    XInputGetStateRoutine getPadState = nullptr;  // null when XInput is not there: no pads
    XInputPads pads;
    const char* failedStep = nullptr;  // what the create handler could not do, if anything
    DWORD failure = 0;                 // and the system's error code for it
};

Shell shell;

// The game's strings are UTF-8; the system's wide calls take and give UTF-16. A byte that is not
// UTF-8, or half of a UTF-16 pair, becomes U+FFFD rather than ending the text.
std::wstring toWide(const std::string& text) {
    if (text.empty()) {
        return std::wstring();
    }
    const int size = static_cast<int>(text.size());
    const int length = MultiByteToWideChar(CP_UTF8, 0, text.data(), size, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), size, wide.data(), length);
    return wide;
}

std::string toUtf8(const std::wstring& wide) {
    if (wide.empty()) {
        return std::string();
    }
    const int size = static_cast<int>(wide.size());
    const int length =
        WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, nullptr, 0, nullptr, nullptr);
    std::string text(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, text.data(), length, nullptr, nullptr);
    return text;
}

// The system's own words for an error code, in the player's language, without the line break it
// ends them with.
std::string systemMessage(DWORD error) {
    if (error == ERROR_SUCCESS) {
        return "the system gave no reason";
    }
    wchar_t text[512] = {};
    const DWORD length =
        FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error,
                       0, text, sizeof text / sizeof text[0], nullptr);
    std::string message = toUtf8(std::wstring(text, length));
    while (!message.empty() && (message.back() == '\n' || message.back() == '\r' ||
                                message.back() == ' ' || message.back() == '.')) {
        message.pop_back();
    }
    return message.empty() ? "system error " + std::to_string(error) : message;
}

// One line on stderr, and the same in a message box: started from Explorer, a player sees no
// stderr.
int reportFailure(const char* step, DWORD error) {
    const std::string line = std::string("Vantorix: ") + step + ": " + systemMessage(error);
    std::fprintf(stderr, "%s\n", line.c_str());
    std::fflush(stderr);
    MessageBoxW(nullptr, toWide(line).c_str(), kWideTitle, MB_OK | MB_ICONERROR);
    return kExitFailure;
}

void setupPixelFormat(HDC deviceContext) {
    const int format = ChoosePixelFormat(deviceContext, &kPixelFormat);
    SetPixelFormat(deviceContext, format, &kPixelFormat);
}

// Keeps the first failure: the steps after it fail only because of it.
void recordFailure(const char* step) {
    if (shell.failedStep == nullptr) {
        shell.failedStep = step;
        shell.failure = GetLastError();
    }
}

// The context is current from the window's creation on, before its first size message.
void onCreate(HWND window) {
    shell.deviceContext = GetDC(window);
    if (shell.deviceContext == nullptr) {
        recordFailure("cannot get the window's device context");
        return;
    }
    setupPixelFormat(shell.deviceContext);
    shell.context = wglCreateContext(shell.deviceContext);
    if (shell.context == nullptr) {
        recordFailure("cannot create an OpenGL context");
        return;
    }
    if (!wglMakeCurrent(shell.deviceContext, shell.context)) {
        recordFailure("cannot make the OpenGL context current");
    }
}

void resizeForMessage(const Message& message) {
    if (shell.context != nullptr) {
        render::resizeViewport(message.x, message.y);
    }
}

// A close request gives up the context at once and asks the loop to end with status 0. The
// window stays up until the process ends.
void closeWindow() {
    if (shell.context == nullptr) {
        return;
    }
    wglMakeCurrent(shell.deviceContext, nullptr);
    wglDeleteContext(shell.context);
    shell.context = nullptr;
    PostQuitMessage(kQuitStatus);
}

constexpr WindowHandlers kWindowHandlers{resizeForMessage, closeWindow, nullptr};

// The window procedure: creation, size and close are the window's; key-downs, characters and
// pointer moves go to the input handlers; everything else gets the system's default handling.
LRESULT CALLBACK windowProc(HWND window, UINT code, WPARAM wParam, LPARAM lParam) {
    switch (code) {
        case WM_CREATE:
            onCreate(window);
            return 0;
        case WM_SIZE:
        case WM_CLOSE:
        case WM_MOUSEMOVE:
            dispatchMessage(translateWindowMessage(code, wParam, lParam), kWindowHandlers);
            return 0;
        case WM_KEYDOWN:
        case WM_CHAR:
            dispatchMessage(translateWindowMessage(code, wParam, lParam), kWindowHandlers);
            return DefWindowProcA(window, code, wParam, lParam);
        default:
            return DefWindowProcA(window, code, wParam, lParam);
    }
}

bool registerWindowClass(HINSTANCE instance) {
    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = windowProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconA(nullptr, IDI_APPLICATION);
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = nullptr;  // every pixel of the client area is drawn by GL
    windowClass.lpszMenuName = nullptr;
    windowClass.lpszClassName = kClassName;
    windowClass.hIconSm = LoadIconA(nullptr, IDI_WINLOGO);
    return RegisterClassExA(&windowClass) != 0;
}

// XInput is loaded when the game starts rather than linked, so that the exe needs no DLL that
// some Windows lacks; it is taken from the system's own folder only, never from the game's or
// the working one. Without it there are no pads.
void loadXInput() {
    wchar_t folder[MAX_PATH] = {};
    const UINT length = GetSystemDirectoryW(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        return;
    }
    for (const wchar_t* name : kXInputLibraries) {
        const std::wstring path = std::wstring(folder, length) + L"\\" + name;
        HMODULE library = LoadLibraryW(path.c_str());
        if (library == nullptr) {
            continue;
        }
        // GetProcAddress gives every routine one type; through void(*)() it takes its own.
        const auto routine =
            reinterpret_cast<void (*)()>(GetProcAddress(library, "XInputGetState"));
        if (routine != nullptr) {
            shell.getPadState = reinterpret_cast<XInputGetStateRoutine>(routine);
            return;
        }
        FreeLibrary(library);
    }
}

bool readPad(unsigned slot, XInputState* state) {
    XINPUT_STATE report{};
    if (shell.getPadState == nullptr || shell.getPadState(slot, &report) != ERROR_SUCCESS) {
        return false;
    }
    std::memcpy(state, &report, sizeof report);
    return true;
}

// The pads are read once a pass, and heeded while the game's window is in front, as the
// keyboard is. Their presses come first, then one message for the window, if one is waiting,
// into the one message record; a pass with neither is the right sticks'.
bool pollPass(Message* message) {
    const PadContext context = currentPadContext();
    if (shell.getPadState != nullptr) {
        pollXInput(shell.pads, readPad, context, GetForegroundWindow() == shell.window);
    }
    shell.fromPad = takeXInputMessage(shell.pads, message);
    if (shell.fromPad) {
        return true;
    }
    if (PeekMessageA(&shell.message, shell.window, 0, 0, PM_REMOVE)) {
        *message = translateWindowMessage(shell.message.message, shell.message.wParam,
                                          shell.message.lParam);
        return true;
    }
    shell.fromPad = steerWithXInputSticks(shell.pads, context, message);
    return shell.fromPad;
}

// A window message's record, not its translation: the system makes characters from key-downs,
// and the window procedure handles what it is given. A pad's message goes straight to its
// handler.
void dispatchPass(const Message& message) {
    if (shell.fromPad) {
        dispatchMessage(message, kWindowHandlers);
        return;
    }
    TranslateMessage(&shell.message);
    DispatchMessageA(&shell.message);
}

// The loop calls this only while the window has its context; after a close request it ticks
// the game itself and draws nothing.
void drawFrame() {
    render::renderFrame();
    SwapBuffers(shell.deviceContext);
    frameShown();
}

bool hasContext() {
    return shell.context != nullptr;
}

constexpr LoopPlatform kPlatform{pollPass, drawFrame, dispatchPass, waitForNextPass, hasContext};

// The folder of the running exe, in UTF-8, whatever its name and length: the buffer grows until
// the whole path fits. A drive's root keeps its backslash, since "C:" alone names the drive's
// current folder.
std::string executableFolder() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) {
            return "";
        }
        if (length < path.size()) {
            path.resize(length);
            break;
        }
        if (path.size() >= kLongestPath) {
            return "";
        }
        path.resize(path.size() * 2);
    }
    const std::wstring::size_type slash = path.find_last_of(L"\\/");
    if (slash == std::wstring::npos) {
        return "";
    }
    std::wstring folder = path.substr(0, slash);
    if (!folder.empty() && folder.back() == L':') {
        folder += L'\\';
    }
    return toUtf8(folder);
}

int run(HINSTANCE instance) {
    if (!registerWindowClass(instance)) {
        return reportFailure("cannot register the window class", GetLastError());
    }
    shell.window = CreateWindowExA(0, kClassName, kTitle, kWindowStyle, 0, 0, kOuterWidth,
                                   kOuterHeight, nullptr, nullptr, instance, nullptr);
    if (shell.window == nullptr) {
        return reportFailure("cannot create the window", GetLastError());
    }
    if (shell.failedStep != nullptr) {
        return reportFailure(shell.failedStep, shell.failure);
    }
    ShowWindow(shell.window, SW_SHOW);
    UpdateWindow(shell.window);
    // Sleeps in steps of a millisecond rather than the system's default tick of 15.6 ms, so
    // that the passes keep their schedule.
    timeBeginPeriod(kTimerResolutionMs);
    loadXInput();
    startSession(executableFolder());
    std::fflush(stderr);

    const int status = runLoop(kPlatform);
    endSession();
    timeEndPeriod(kTimerResolutionMs);
    // The window, the device context and the GL driver live as long as the process; the system
    // reclaims them at exit.
    return status;
}

StreamTarget standardStream(DWORD which) {
    const HANDLE handle = GetStdHandle(which);
    const bool valid = handle != nullptr && handle != INVALID_HANDLE_VALUE;
    DWORD mode = 0;
    return classifyStream(valid, valid ? GetFileType(handle) : kFileTypeUnknown,
                          valid && GetConsoleMode(handle, &mode) != 0);
}

bool reopenOnConsole(std::FILE* stream) {
    return std::freopen("CONOUT$", "w", stream) != nullptr;
}

// A console shows the messages' UTF-8 only when the C runtime hands it the bytes as they are: in
// text mode the runtime translates them for the console byte by byte, from its own locale. In
// binary mode they pass untouched, and a buffer hands each message over whole, since a console
// cannot decode a character split between two writes; the game flushes once start-up has
// spoken, and at exit.
void passUtf8ToConsole(std::FILE* stream) {
    _setmode(_fileno(stream), _O_BINARY);
    std::setvbuf(stream, nullptr, _IOFBF, kConsoleBuffer);
}

// Started from a command prompt, the answers and the messages show there; what the starter
// redirected stays where it goes. The console is set to its UTF-8 code page while the game
// runs; the code page to give back, or 0.
UINT borrowParentConsole() {
    StreamTarget out = standardStream(STD_OUTPUT_HANDLE);
    StreamTarget err = standardStream(STD_ERROR_HANDLE);
    const ConsolePlan plan = planConsole(out, err);
    if (plan.attach && AttachConsole(ATTACH_PARENT_PROCESS)) {
        if (plan.reopenOut && reopenOnConsole(stdout)) {
            out = StreamTarget::Console;
        }
        if (plan.reopenErr && reopenOnConsole(stderr)) {
            err = StreamTarget::Console;
        }
    }
    if (out != StreamTarget::Console && err != StreamTarget::Console) {
        return 0;
    }
    const UINT previous = GetConsoleOutputCP();
    if (previous != CP_UTF8 && !SetConsoleOutputCP(CP_UTF8)) {
        return 0;
    }
    if (out == StreamTarget::Console) {
        passUtf8ToConsole(stdout);
    }
    if (err == StreamTarget::Console) {
        passUtf8ToConsole(stderr);
    }
    return previous == CP_UTF8 ? 0 : previous;
}

// The console is the prompt's: it gets its code page back.
void giveBackConsole(UINT codePage) {
    std::fflush(stdout);
    std::fflush(stderr);
    if (codePage != 0) {
        SetConsoleOutputCP(codePage);
    }
}

int answerOrRun(HINSTANCE instance) {
    if (const auto answered = answerCommandLine(__argc, __argv)) {
        return *answered;
    }
    std::fflush(stderr);
    return run(instance);
}

}  // namespace
}  // namespace app

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    const UINT codePage = app::borrowParentConsole();
    const int status = app::answerOrRun(instance);
    app::giveBackConsole(codePage);
    return status;
}
