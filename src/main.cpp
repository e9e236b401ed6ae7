#include "cli/commandline.h"
#include "ui/main/form1.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    const auto start = runCommandLine(argc, argv);
    if (const int* exitCode = std::get_if<int>(&start))
        return *exitCode;
    QApplication application(argc, argv);
    Form1 window;
    window.Form_Load();
    window.show();
    window.startSafetyNet();
    window.startRepeatingEntries();
    return application.exec();
}
