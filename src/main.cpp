#include "ui/main/form1.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    Form1 window;
    window.Form_Load();
    window.show();
    return application.exec();
}
