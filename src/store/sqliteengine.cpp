#include "store/sqliteengine.h"

#include "store/dialect.h"
#include "store/liftedtexts.h"
#include "store/newertables.h"
#include "store/sqlitechanges.h"
#include "store/sqlitefile.h"
#include "store/sqlitefunctions.h"
#include "store/sqliteprepare.h"
#include "store/sqlitestatement.h"
#include "store/sqlitestatementcache.h"

#include <utility>

namespace {

void runPragma(sqlite3* db, const char* sql)
{
    char* error = nullptr;
    if (sqlite3_exec(db, sql, nullptr, nullptr, &error) != SQLITE_OK) {
        const QString message = QString::fromUtf8(error ? error : sqlite3_errmsg(db));
        sqlite3_free(error);
        throw StoreError(message);
    }
}

// Adds the newer tables a ledger lacks, in one transaction; a ledger that has them all, or a
// database without the ledger's tblData, is not written to at all.
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
        exec(db, newerTablesSql());
        exec(db, "COMMIT");
    } catch (...) {
        sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
        throw;
    }
}

class SqliteEngine final : public LedgerEngine
{
public:
    explicit SqliteEngine(Db db)
        : db_(std::move(db)), dataVersion_(prepareOne(db_.get(), "PRAGMA data_version")), seenVersion_(dataVersion())
    {
    }

    void execute(const QString& ledgerStatement) override;
    std::unique_ptr<EngineStatement> query(const QString& ledgerStatement) override
    {
        return std::make_unique<SqliteStatement>(prepareSingle(db_.get(), ledgerStatement));
    }
    std::unique_ptr<EngineStatement> prepare(const QByteArray& storeSql) override
    {
        return std::make_unique<SqliteStatement>(prepareOne(db_.get(), storeSql));
    }
    void begin() override { runPragma(db_.get(), "BEGIN IMMEDIATE"); }
    void beginReading() override { runPragma(db_.get(), "BEGIN"); }
    // The file's counter already keeps the highest id ever stored.
    void moveIdsPastStoredRows() override {}
    void commit() override { runPragma(db_.get(), "COMMIT"); }
    void rollback() override { runPragma(db_.get(), "ROLLBACK"); }
    // The write transaction holds the whole file already.
    void lockEntry(const QString&) override {}
    std::unique_ptr<ChangeRecording> record() override { return std::make_unique<SqliteRecording>(db_.get()); }
    void apply(const QByteArray& changes) override { applySqliteChanges(db_.get(), changes); }
    bool othersChanged() override
    {
        const qint64 version = dataVersion();
        return std::exchange(seenVersion_, version) != version;
    }

private:
    // Moves on whenever another connection commits to the file; never for this one's own writes.
    qint64 dataVersion()
    {
        dataVersion_.next();
        const qint64 version = dataVersion_.intValue(0);
        dataVersion_.reset();
        return version;
    }

    Db db_;
    // Declared after the handle, so their statements are finalized before the handle closes.
    StatementCache cache_;
    SqliteStatement dataVersion_;
    qint64 seenVersion_;
};

void SqliteEngine::execute(const QString& ledgerStatement)
{
    sqlite3* db = db_.get();
    if (!ledgerStatement.contains(QChar(0))) {
        const LiftedStatement lifted = liftTexts(translateDialect(ledgerStatement));
        if (!lifted.texts.isEmpty()) {
            if (sqlite3_stmt* stmt = cache_.compiled(db, lifted.shape)) {
                for (int i = 0; i < lifted.texts.size(); ++i)
                    bindText(stmt, i + 1, lifted.texts[i]);
                runBound(db, stmt);
                return;
            }
        }
    }
    SqliteStatement(prepareSingle(db, ledgerStatement)).run();
}

} // namespace

std::unique_ptr<LedgerEngine> openSqliteLedger(const QString& path, LedgerAccess access)
{
    sqlite3* handle = nullptr;
    const int flags = access == LedgerAccess::ReadOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE;
    const int rc = sqlite3_open_v2(path.toUtf8().constData(), &handle, flags | SQLITE_OPEN_NOMUTEX, nullptr);
    Db db(handle);
    if (rc != SQLITE_OK)
        throw StoreError(handle ? engineMessage(handle) : QStringLiteral("out of memory"));
    sqlite3_extended_result_codes(handle, 1);
    pollWhileBusy(handle);
    // Reading the schema here makes a file that is no ledger fail at open, not later.
    runPragma(handle, "PRAGMA synchronous=FULL; SELECT count(*) FROM sqlite_master;");
    registerDialectFunctions(handle);
    try {
        if (access == LedgerAccess::ReadWrite)
            addNewerTables(handle);
    } catch (const StoreError&) {
        // A ledger that cannot be written now (read-only, busy) still shows its entries; what
        // needs the newer tables fails with the engine's own words when it is used.
    }
    return std::make_unique<SqliteEngine>(std::move(db));
}
