// command_line.cpp -- --help, --version, and a word about anything else.
#include "app/command_line.h"

#include <algorithm>

#ifndef VANTORIX_VERSION
#error "VANTORIX_VERSION is set by the build, from the project's version"
#endif

namespace app {
namespace {

constexpr const char* kUsage =
    "Usage: vantorix [OPTION]\n"
    "Steer a snake of spheres to the food, away from the walls, the crates and its own body.\n"
    "\n"
    "  -h, --help     show this help and exit\n"
    "      --version  show the version and exit\n"
    "\n"
    "Keys: the arrows turn, Space continues after a death, 1 to 8 choose the view,\n"
    "Escape or Q quits. In view 2 the mouse turns the camera around the field.\n";

constexpr const char* kEndOfOptions = "--";
constexpr int kAnswered = 0;
constexpr int kCannotAnswer = 1;

// A reader that went away (`vantorix --help | true`, a full disk) must not look like success.
int writeAnswer(const char* text, std::FILE* out) {
    const bool written = std::fputs(text, out) >= 0 && std::fflush(out) == 0;
    return written ? kAnswered : kCannotAnswer;
}

}  // namespace

CommandLine parseCommandLine(const std::vector<std::string>& arguments) {
    CommandLine line;
    bool options = true;
    for (const std::string& argument : arguments) {
        if (options && argument == kEndOfOptions) {
            options = false;
        } else if (options && (argument == "-h" || argument == "--help")) {
            line.request = Request::Help;
            return line;
        } else if (options && argument == "--version") {
            line.request = Request::Version;
            return line;
        } else {
            line.ignored.push_back(argument);
        }
    }
    return line;
}

std::optional<int> answerCommandLine(const CommandLine& line, std::FILE* out, std::FILE* err) {
    switch (line.request) {
        case Request::Help:
            return writeAnswer(kUsage, out);
        case Request::Version:
            return writeAnswer("vantorix " VANTORIX_VERSION "\n", out);
        case Request::Play:
            break;
    }
    for (const std::string& argument : line.ignored) {
        std::fprintf(err, "Vantorix: ignoring the argument \"%s\" (see vantorix --help)\n",
                     argument.c_str());
    }
    return std::nullopt;
}

std::optional<int> answerCommandLine(int argc, const char* const* argv) {
    const std::vector<std::string> arguments(argv + std::min(argc, 1), argv + std::max(argc, 0));
    return answerCommandLine(parseCommandLine(arguments), stdout, stderr);
}

}  // namespace app
