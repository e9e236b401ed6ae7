#include "cli/commandline.h"
#include "ui/main/runwindow.h"

#include <QApplication>

using namespace Qt::StringLiterals;

int main(int argc, char* argv[])
{
    const auto start = runCommandLine(argc, argv);
    if (const int* exitCode = std::get_if<int>(&start))
        return *exitCode;
    QApplication application(argc, argv);
    // The desktop entry's id, by which desktops match the window to it.
    QGuiApplication::setDesktopFileName(u"com.marrowfen.Quorvane"_s);
    return runWindow(std::get<WindowStart>(start).importFile);
}
