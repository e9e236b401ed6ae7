#include "cli/commandline.h"
#include "ui/main/form1.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    if (const auto handled = runCommandLine(argc, argv))
        return *handled;
    QApplication application(argc, argv);
    Form1 window;
    window.Form_Load();
    window.show();
    window.startSafetyNet();
    window.startRepeatingEntries();
    return application.exec();
}
