#pragma once

#include "base/progress.h"
#include "output/report/reportdata.h"

#include <QStringList>

class Recordset;

// Reads `fields` of every remaining row of `rows` (the report's data source), to its end.
// Throws Cancelled when `progress` (asked with the rows read) says stop.
ReportData readReportRows(Recordset& rows, const QStringList& fields, const ProgressCheck& progress = {});
