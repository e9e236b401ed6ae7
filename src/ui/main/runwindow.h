#pragma once

#include <QString>

// The program once the command line has left it to the window (the QApplication made): a file to
// import goes to the window already open on the ledger when there is one, and the program ends.
// Otherwise the window opens, takes the files of later starts, and imports `importFile` (when
// given) once its start-up is done. Returns the exit code.
int runWindow(const QString& importFile);
