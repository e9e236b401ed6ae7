#include "store/newertables.h"

#include "store/ledgerschema.h"

#include <QRegularExpression>
#include <algorithm>
#include <stdexcept>
#include <string_view>

using namespace Qt::StringLiterals;

// The schema from its mark of the newer tables on: a suffix, so it ends where the schema's text does.
// Worked out at run time: the sanitizer build does not take the schema's address as a constant.
const char* newerTablesSql()
{
    const std::string_view schema(ledgerSchemaSql, sizeof ledgerSchemaSql - 1);
    const size_t mark = schema.find("-- Tables added after the first release.");
    if (mark == std::string_view::npos)
        throw std::logic_error("The ledger's schema does not mark where its newer tables begin.");
    return ledgerSchemaSql + mark;
}

const std::vector<QByteArray>& newerTables()
{
    // The schema's own rule for that part: every table is made only when missing.
    static const std::vector<QByteArray> names = [] {
        static const QRegularExpression made(u"^CREATE TABLE IF NOT EXISTS (\\w+)"_s,
                                             QRegularExpression::MultilineOption);
        std::vector<QByteArray> found;
        for (const QRegularExpressionMatch& m : made.globalMatch(QString::fromUtf8(newerTablesSql())))
            found.push_back(m.captured(1).toUtf8());
        std::sort(found.begin(), found.end());
        return found;
    }();
    return names;
}
