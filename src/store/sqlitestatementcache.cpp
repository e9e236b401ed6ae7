#include "store/sqlitestatementcache.h"

#include "store/sqliteprepare.h"
#include "store/storeerror.h"

#include <sqlite3.h>

namespace {

// Few shapes are ever in use at once; a bounded cache cannot grow with odd statements.
constexpr qsizetype maxShapes = 32;

} // namespace

StatementCache::~StatementCache()
{
    clear();
}

void StatementCache::clear()
{
    for (sqlite3_stmt* stmt : std::as_const(statements_))
        sqlite3_finalize(stmt);
    statements_.clear();
}

sqlite3_stmt* StatementCache::compiled(sqlite3* db, const QString& shape)
{
    if (const auto found = statements_.constFind(shape); found != statements_.cend())
        return *found;
    sqlite3_stmt* stmt = nullptr;
    try {
        stmt = prepareOne(db, shape.toUtf8());
    } catch (const StoreError&) {
        return nullptr;
    }
    if (statements_.size() >= maxShapes)
        clear();
    statements_.insert(shape, stmt);
    return stmt;
}
