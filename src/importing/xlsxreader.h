#pragma once

#include "importing/importtable.h"

#include <QByteArray>
#include <QString>

// The first visible sheet of an Excel workbook (.xlsx) as texts: see readSheet for how each cell
// reads. Throws Failure, in words for the user, for files that are no workbook, encrypted or damaged
// ones, contents that unpack to more than importSizeLimit, sheets too wide or too long, and texts
// longer than a cell or a sheet holds.
ImportTable readXlsx(const QString& path);

// The same from the workbook's bytes, naming it `shownName` in messages.
ImportTable readXlsxBytes(QByteArray bytes, const QString& shownName);
