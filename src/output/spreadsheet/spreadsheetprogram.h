#pragma once

#include <QString>
#include <QStringList>
#include <optional>

// A spreadsheet program and how to hand it a workbook so that it opens as a new, unsaved document.
struct SpreadsheetProgram
{
    QString executable;    // absolute path
    QStringList arguments; // "%f" stands for the workbook file

    QStringList argumentsFor(const QString& workbook) const;
};

// LibreOffice Calc or Gnumeric when one is on PATH, else the desktop's default program for .xlsx
// files; nothing when none can be started.
std::optional<SpreadsheetProgram> findSpreadsheetProgram();

// As findSpreadsheetProgram, but throws when there is none.
SpreadsheetProgram spreadsheetProgram();

// The program a desktop entry's Exec line starts, or nothing when the line needs a shell to be
// understood (quotes, escapes, variables) or names no program that can be found.
std::optional<SpreadsheetProgram> programFromDesktopExec(const QString& exec);

// Starts the program on the workbook, detached from us; throws when it cannot be started.
void openInSpreadsheetProgram(const SpreadsheetProgram& program, const QString& workbook);
