#include "output/report/reportdata.h"

#include "base/failure.h"

using namespace Qt::StringLiterals;

int ReportData::column(QStringView name) const
{
    for (qsizetype i = 0; i < columns_.size(); ++i)
        if (columns_[i].compare(name, Qt::CaseInsensitive) == 0)
            return int(i);
    throw Failure(u"The data field '"_s + name.toString() + u"' is not in the report's data source."_s);
}

void ReportData::appendRow(std::initializer_list<QVariant> values)
{
    ensure(values.size() == size_t(columns_.size()), u"A report row needs one value per column."_s);
    cells_.insert(cells_.end(), values);
}
