#include "importing/xlsxtextlimits.h"

using namespace Qt::StringLiterals;

Failure cellTextTooLong(const QString& what)
{
    return Failure(
        u"A text in the workbook's %1 is longer than 32,767 characters, more than a cell can hold."_s.arg(what));
}

void SheetTextCount::add(qsizetype characters)
{
    count_ += characters;
    if (count_ > sheetTextLimit)
        throw Failure(u"The workbook's sheet holds more than 256,000,000 characters of text, more than can be "
                      "imported."_s);
}
