#include "ui/main/reportrows.h"

#include "store/recordset.h"

#include <vector>

ReportData readReportRows(Recordset& rows, const QStringList& fields, const ProgressCheck& progress)
{
    std::vector<int> indexes;
    for (const QString& field : fields)
        indexes.push_back(rows.fieldIndex(field));
    ReportData data(fields);
    for (qint64 row = 0; !rows.eof(); rows.moveNext(), ++row) {
        checkProgress(progress, row);
        data.appendRowOf([&](int column) { return rows.value(indexes[size_t(column)]); });
    }
    return data;
}
