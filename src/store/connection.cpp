#include "store/connection.h"

#include "store/dialect.h"
#include "store/newertables.h"
#include "store/prepare.h"
#include "store/sqlfunctions.h"
#include "store/sqlitefile.h"
#include "store/statementcache.h"
#include "store/storeerror.h"

#include <QDir>
#include <QFileInfo>
#include <sqlite3.h>

using namespace Qt::StringLiterals;

namespace {

constexpr auto passwordPart = u";JET OLEDB:Database Password=";

void runPragma(sqlite3* db, const char* sql)
{
    char* error = nullptr;
    if (sqlite3_exec(db, sql, nullptr, nullptr, &error) != SQLITE_OK) {
        const QString message = QString::fromUtf8(error ? error : sqlite3_errmsg(db));
        sqlite3_free(error);
        throw StoreError(message);
    }
}

// Runs a compiled statement with its texts bound, and leaves it ready for the next use.
void runCompiled(sqlite3* db, sqlite3_stmt* stmt, const QStringList& texts)
{
    for (int i = 0; i < texts.size(); ++i)
        bindText(stmt, i + 1, texts[i]);
    runBound(db, stmt);
}

} // namespace

QString connectionString(const QString& appDataFolder)
{
    return u"provider=microsoft.jet.oledb.4.0;data source="_s + appDataFolder + u"/Marrowfen/"_s + u"Quorvane"_s +
           u"/dbData.mdb;JET OLEDB:Database Password="_s;
}

QString dataSourcePath(const QString& connectionString)
{
    static const QString key = QStringLiteral("data source=");
    const qsizetype start = connectionString.indexOf(key, 0, Qt::CaseInsensitive);
    if (start < 0)
        throw StoreError(QStringLiteral("The connection string names no data source."));
    const qsizetype from = start + key.size();
    // The password part closes the path, so a ';' inside the folder name does not cut it short.
    qsizetype to = connectionString.indexOf(passwordPart, from, Qt::CaseInsensitive);
    if (to < 0)
        to = connectionString.indexOf(u';', from);
    return connectionString.mid(from, to < 0 ? -1 : to - from);
}

Connection::Connection() = default;

Connection::~Connection()
{
    close();
}

void Connection::open(const QString& connectionString, Access access)
{
    if (db_)
        throw StoreError(QStringLiteral("Operation is not allowed when the object is open."));
    const QString path = dataSourcePath(connectionString);
    if (!QFileInfo(path).isFile())
        throw StoreError(u"Could not find file '"_s + QDir::toNativeSeparators(path) + u"'."_s);

    sqlite3* db = nullptr;
    const int flags = access == Access::ReadOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE;
    const int rc = sqlite3_open_v2(path.toUtf8().constData(), &db, flags | SQLITE_OPEN_NOMUTEX, nullptr);
    try {
        if (rc != SQLITE_OK)
            throw StoreError(db ? engineMessage(db) : QStringLiteral("out of memory"));
        sqlite3_extended_result_codes(db, 1);
        pollWhileBusy(db);
        // Reading the schema here makes a file that is no ledger fail at open, not later.
        runPragma(db, "PRAGMA synchronous=FULL; SELECT count(*) FROM sqlite_master;");
        registerDialectFunctions(db);
        try {
            if (access == Access::ReadWrite)
                addNewerTables(db);
        } catch (const StoreError&) {
            // A ledger that cannot be written now (read-only, busy) still shows its entries; what
            // needs the newer tables fails with the engine's own words when it is used.
        }
    } catch (...) {
        sqlite3_close(db);
        throw;
    }
    db_ = db;
}

void Connection::execute(const QString& statement)
{
    sqlite3* db = handle();
    if (!statement.contains(QChar(0))) {
        const LiftedStatement lifted = liftTexts(translateDialect(statement));
        if (!lifted.texts.isEmpty()) {
            if (!cache_)
                cache_ = std::make_unique<StatementCache>();
            if (sqlite3_stmt* stmt = cache_->compiled(db, lifted.shape)) {
                runCompiled(db, stmt, lifted.texts);
                return;
            }
        }
    }
    sqlite3_stmt* stmt = prepareSingle(db, statement);
    int rc;
    while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
    }
    sqlite3_finalize(stmt);
    if (rc != SQLITE_DONE)
        throw StoreError(engineMessage(db_));
}

void Connection::close()
{
    cache_.reset();
    if (db_) {
        sqlite3_close_v2(db_);
        db_ = nullptr;
    }
}

void Connection::beginBatch()
{
    runPragma(handle(), "BEGIN IMMEDIATE");
}

void Connection::commitBatch()
{
    runPragma(handle(), "COMMIT");
}

void Connection::rollbackBatch()
{
    runPragma(handle(), "ROLLBACK");
}

sqlite3* Connection::handle() const
{
    if (!db_)
        throw StoreError(QStringLiteral("Operation is not allowed when the object is closed."));
    return db_;
}

void inOneBatch(Connection& connection, const std::function<void()>& writes)
{
    connection.beginBatch();
    try {
        writes();
        connection.commitBatch();
    } catch (...) {
        try {
            connection.rollbackBatch();
        } catch (const StoreError&) {
            // Already ended by the engine: none of the writes stayed either way.
        }
        throw;
    }
}
