// win32_console.h -- whether a windowed program borrows the console of whoever started it. A
// windowed program gets no console of its own: started from a command prompt, its --help, its
// --version and its messages would go nowhere unless it attaches to the prompt's console. Needs
// no windows.h, so the decision builds and is tested on every platform.
#pragma once

namespace app {

// The kinds GetFileType gives, by their Win32 numbers.
constexpr unsigned kFileTypeUnknown = 0x0000;
constexpr unsigned kFileTypeDisk = 0x0001;
constexpr unsigned kFileTypeChar = 0x0002;
constexpr unsigned kFileTypePipe = 0x0003;

// Where a standard handle leads when the program starts.
enum class StreamTarget {
    Nowhere,     // no handle, or one that leads nowhere (a value left over from the parent)
    Console,     // a console already
    Redirected,  // a file, a pipe or a device such as NUL: the starter chose it, and it stays
};

// `handleValid`: the handle is neither null nor invalid; `fileType`: GetFileType's kind;
// `consoleMode`: GetConsoleMode accepted the handle, which only a console's does.
StreamTarget classifyStream(bool handleValid, unsigned fileType, bool consoleMode);

struct ConsolePlan {
    bool attach = false;     // try to attach to the parent's console
    bool reopenOut = false;  // once attached, stdout goes to it
    bool reopenErr = false;  // once attached, stderr goes to it
};

// Attach only when a stream leads nowhere, and then reopen only those streams: what the starter
// redirected stays redirected. Started from Explorer the attachment fails and nothing changes.
ConsolePlan planConsole(StreamTarget out, StreamTarget err);

}  // namespace app
