// win32_console_test.cpp -- when the windowed game borrows its starter's console, as a table.
#include "app/win32_console.h"

#include <gtest/gtest.h>

namespace {

using app::StreamTarget;

struct Kind {
    bool handleValid;
    unsigned fileType;
    bool consoleMode;
    StreamTarget target;
};

const Kind kKinds[] = {
    // Started from Explorer, or from a prompt without redirection: no handle at all.
    {false, app::kFileTypeUnknown, false, StreamTarget::Nowhere},
    // A handle value inherited from the parent that means nothing in this process.
    {true, app::kFileTypeUnknown, false, StreamTarget::Nowhere},
    {true, app::kFileTypeChar, true, StreamTarget::Console},
    // `2> nul`: a character device that is no console; the player asked for silence.
    {true, app::kFileTypeChar, false, StreamTarget::Redirected},
    {true, app::kFileTypeDisk, false, StreamTarget::Redirected},
    {true, app::kFileTypePipe, false, StreamTarget::Redirected},
};

TEST(Win32Console, TellsWhereEachStandardHandleLeads) {
    for (const Kind& kind : kKinds) {
        SCOPED_TRACE(testing::Message() << "valid " << kind.handleValid << " type " << kind.fileType
                                        << " console " << kind.consoleMode);
        EXPECT_EQ(app::classifyStream(kind.handleValid, kind.fileType, kind.consoleMode),
                  kind.target);
    }
}

struct Plan {
    StreamTarget out, err;
    bool attach, reopenOut, reopenErr;
};

const Plan kPlans[] = {
    // `vantorix.exe --version` at a prompt: both streams go to the prompt's console.
    {StreamTarget::Nowhere, StreamTarget::Nowhere, true, true, true},
    // `vantorix.exe 2> log.txt`: the log stays the log; stdout comes to the console.
    {StreamTarget::Nowhere, StreamTarget::Redirected, true, true, false},
    {StreamTarget::Redirected, StreamTarget::Nowhere, true, false, true},
    // Both redirected, or a console already (Wine hands its console to windowed programs): the
    // parent's console is left alone.
    {StreamTarget::Redirected, StreamTarget::Redirected, false, false, false},
    {StreamTarget::Console, StreamTarget::Console, false, false, false},
    {StreamTarget::Console, StreamTarget::Nowhere, true, false, true},
};

TEST(Win32Console, AttachesOnlyForStreamsThatLeadNowhereAndReopensOnlyThose) {
    for (const Plan& row : kPlans) {
        SCOPED_TRACE(testing::Message() << "out " << static_cast<int>(row.out) << " err "
                                        << static_cast<int>(row.err));
        const app::ConsolePlan plan = app::planConsole(row.out, row.err);
        EXPECT_EQ(plan.attach, row.attach);
        EXPECT_EQ(plan.reopenOut, row.reopenOut);
        EXPECT_EQ(plan.reopenErr, row.reopenErr);
    }
}

}  // namespace
