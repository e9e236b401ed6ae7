#pragma once

#include <QString>
#include <QStringList>

// A LibreOffice stand-in named `localc` in `binFolder`: it copies the workbook it is given to
// `outFolder`/document.xlsx and then writes its arguments to `outFolder`/arguments.
void installFakeSpreadsheet(const QString& binFolder, const QString& outFolder);

// The arguments the fake program was started with, once it has finished (empty after 10 s).
QStringList fakeSpreadsheetArguments(const QString& outFolder);
