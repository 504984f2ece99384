// win32_console.cpp -- the decision to borrow the parent's console.
#include "app/win32_console.h"

namespace app {

StreamTarget classifyStream(bool handleValid, unsigned fileType, bool consoleMode) {
    if (!handleValid || fileType == kFileTypeUnknown) {
        return StreamTarget::Nowhere;
    }
    // NUL is a character device too, but no console.
    return fileType == kFileTypeChar && consoleMode ? StreamTarget::Console
                                                    : StreamTarget::Redirected;
}

ConsolePlan planConsole(StreamTarget out, StreamTarget err) {
    ConsolePlan plan;
    plan.reopenOut = out == StreamTarget::Nowhere;
    plan.reopenErr = err == StreamTarget::Nowhere;
    plan.attach = plan.reopenOut || plan.reopenErr;
    return plan;
}

}  // namespace app
