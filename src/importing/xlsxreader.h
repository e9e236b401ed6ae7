#pragma once

#include "importing/importtable.h"

#include <QString>

// The first visible sheet of an Excel workbook (.xlsx) as texts: see readSheet for how each cell
// reads. Throws Failure, in words for the user, for files that are no workbook, encrypted or damaged
// ones, contents that unpack to more than importSizeLimit, and sheets too wide or too long.
ImportTable readXlsx(const QString& path);
