#include "store/newertables.h"

#include "store/ledgerschema.h"
#include "store/sqlitefile.h"

#include <stdexcept>
#include <string_view>

using namespace Qt::StringLiterals;

namespace {

// The schema from its mark of the newer tables on: a suffix, so it ends where the schema's text does.
// Worked out at run time: the sanitizer build does not take the schema's address as a constant.
const char* newerPart()
{
    const std::string_view schema(ledgerSchemaSql, sizeof ledgerSchemaSql - 1);
    const size_t mark = schema.find("-- Tables added after the first release.");
    if (mark == std::string_view::npos)
        throw std::logic_error("The ledger's schema does not mark where its newer tables begin.");
    return ledgerSchemaSql + mark;
}

} // namespace

const std::vector<QByteArray>& newerTables()
{
    static const std::vector<QByteArray> names = [] {
        const Db db = openDb(u":memory:"_s, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
        exec(db.get(), newerPart());
        std::vector<QByteArray> found;
        query(db.get(), "SELECT name FROM sqlite_master WHERE type = 'table' AND name NOT LIKE 'sqlite%' ORDER BY name",
              [&](sqlite3_stmt* stmt) { found.push_back(columnText(stmt, 0).toUtf8()); });
        return found;
    }();
    return names;
}

void addNewerTables(sqlite3* db)
{
    // A file that is no ledger is left as it is, for its fault to be reported as it always was.
    if (typeOf(db, "tblData") != u"table")
        return;
    bool complete = true;
    for (const QByteArray& name : newerTables())
        complete = complete && !typeOf(db, name.constData()).isEmpty();
    if (complete)
        return;
    exec(db, "BEGIN IMMEDIATE");
    try {
        // Another process may have added them meanwhile: the schema makes them only when missing.
        exec(db, newerPart());
        exec(db, "COMMIT");
    } catch (...) {
        sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
        throw;
    }
}
