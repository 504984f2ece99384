// command_line.h -- the few options answered before any window opens.
#pragma once

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

namespace app {

enum class Request { Play, Help, Version };

struct CommandLine {
    Request request = Request::Play;
    // Arguments that mean nothing to the game; they are named and then ignored, so that a
    // launcher that passes something still starts it.
    std::vector<std::string> ignored;
};

// `arguments` without the program's name. The first of -h, --help and --version decides;
// everything after "--" is an ordinary argument.
CommandLine parseCommandLine(const std::vector<std::string>& arguments);

// Prints the help or the version on `out` and gives the exit status (1 when `out` could not
// be written); or names each ignored argument on `err` and gives nothing: the game starts.
std::optional<int> answerCommandLine(const CommandLine& line, std::FILE* out, std::FILE* err);

// The entry point's view: parses main's arguments (the program's name first) and answers on
// stdout and stderr.
std::optional<int> answerCommandLine(int argc, const char* const* argv);

}  // namespace app
