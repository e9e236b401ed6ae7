#pragma once

#include "base/failure.h"

#include <QString>

// The most characters a spreadsheet program lets one cell hold.
inline constexpr qsizetype cellTextLimit = 32'767;
// The most characters of text a sheet may hold, shared texts included: far more than any statement.
inline constexpr qsizetype sheetTextLimit = 256'000'000;

// The refusal of a text longer than cellTextLimit in the workbook's file that messages name `what`.
Failure cellTextTooLong(const QString& what);

// Counts the characters of a sheet's texts as they are read, so that a workbook that repeats long
// texts, as shared texts let it do cheaply, is refused before it takes all the memory and time.
class SheetTextCount
{
public:
    // Throws Failure once the texts counted hold more than sheetTextLimit characters.
    void add(qsizetype characters);

private:
    qsizetype count_ = 0;
};
