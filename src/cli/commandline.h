#pragma once

#include <QString>
#include <variant>

// How the window starts when the command line leaves it to the window.
struct WindowStart
{
    QString importFile; // a file named on the command line ("Open with"), to import; empty when none
};

// What the program does when started from a terminal with options: --help, --version, --restore FILE
// and the commands for scripts. Returns the exit code when the command line was handled (the window
// is then not opened), otherwise how the window should start.
std::variant<int, WindowStart> runCommandLine(int argc, char* argv[]);
