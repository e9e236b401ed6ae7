#pragma once

#include "support/scopedenv.h"

#include <QString>
#include <QStringList>

// The test's HOME made ready for a spreadsheet export: PATH holds only HOME/bin, so no real
// spreadsheet program is ever started, and TMPDIR is HOME/tmp; both are put back afterwards.
// The stand-in program is installed on request, so an export can also find none.
class FakeSpreadsheetHome
{
public:
    FakeSpreadsheetHome();

    // A LibreOffice stand-in named `localc` in bin: it copies the workbook it is given to
    // out/document.xlsx and then writes its arguments to out/arguments.
    void installProgram() const;
    // The arguments the stand-in was started with, once it has finished (empty after 10 s).
    QStringList launchArguments() const;
    // Forgets the last start, so the next export's can be waited for.
    void forgetLaunch() const;
    // The stand-in's copy of the workbook it was given.
    QString openedWorkbook() const { return out + QStringLiteral("/document.xlsx"); }
    // What is left in TMPDIR.
    QStringList leftInTemp() const;

    const QString bin, out, temp;

private:
    ScopedEnv path_;
    ScopedEnv tempDir_;
};
