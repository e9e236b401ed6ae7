#pragma once

#include "importing/xlsxarchive.h"
#include "importing/xlsxtextlimits.h"

#include <QStringList>

// The texts of xl/sharedStrings.xml, which cells of type "s" count from 0, each added to `count`.
// Throws Failure for XML errors and texts longer than a cell or the sheet holds.
QStringList readSharedStrings(XlsxMember file, SheetTextCount& count);
