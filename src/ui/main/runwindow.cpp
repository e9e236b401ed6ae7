#include "ui/main/runwindow.h"

#include "instance/handoff.h"
#include "store/ledgerlocation.h"
#include "ui/main/form1.h"

#include <QApplication>

int runWindow(const QString& importFile)
{
    if (!importFile.isEmpty() && handToRunningProgram(importFile, LedgerLocation::chosen().key()))
        return 0;
    Form1 window;
    window.Form_Load();
    window.show();
    window.startSafetyNet();
    window.startRepeatingEntries();
    window.listenForHandedFiles();
    if (!importFile.isEmpty())
        window.importHandedFile(importFile);
    return QApplication::exec();
}
