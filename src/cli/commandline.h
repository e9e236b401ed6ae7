#pragma once

#include <optional>

// What the program does when started from a terminal with options: --help, --version and
// --restore FILE. Returns the exit code when the options were handled (the window is then not
// opened), nothing when the program should start as usual.
std::optional<int> runCommandLine(int argc, char* argv[]);
