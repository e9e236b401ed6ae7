#include "store/serverengine.h"

#include "store/serverdialect.h"
#include "store/serverlink.h"
#include "store/serverquery.h"
#include "store/serverrecording.h"
#include "store/serverschema.h"
#include "store/serversignals.h"
#include "store/storeerror.h"

using namespace Qt::StringLiterals;

namespace {

// Settings the store's readings rely on: ISO dates, exact numbers, quotes as the standard has them,
// and a lock held elsewhere waited on no longer than a ledger file is.
constexpr char session[] = "SET DateStyle = ISO; SET extra_float_digits = 1; SET standard_conforming_strings = on; "
                           "SET lock_timeout = '10s'; SET application_name = 'quorvane'";

// Held by every batch until it ends, so batches of all programs on the ledger take turns as they do
// on a file, where a batch holds the file's one write lock from its start.
constexpr char batchLock[] = "SELECT pg_advisory_xact_lock(7204417052802)";

// Each identity moves to the highest id stored, never back: an id once given is never given again.
// A table that never had a row keeps its first id free.
constexpr char idCounter[] =
    "SELECT setval(s, COALESCE(g, 1), g IS NOT NULL) FROM (SELECT s, GREATEST((SELECT max(id) FROM %1), "
    "pg_sequence_last_value(s::regclass)) AS g FROM pg_get_serial_sequence('%1', 'id') AS s) AS counter";

class ServerEngine final : public LedgerEngine
{
public:
    ServerEngine(ServerLink link, bool recordable) : link_(std::move(link)), recordable_(recordable) {}

    void execute(const QString& ledgerStatement) override { ledgerQuery(ledgerStatement)->run(); }
    std::unique_ptr<EngineStatement> query(const QString& ledgerStatement) override
    {
        std::unique_ptr<ServerQuery> rows = ledgerQuery(ledgerStatement);
        // Run now, so a statement the server refuses fails before its rows are looked at.
        rows->start();
        return rows;
    }
    std::unique_ptr<EngineStatement> prepare(const QByteArray& storeSql) override
    {
        const ServerStoreSql sql = serverStoreSql(storeSql);
        return std::make_unique<ServerQuery>(link_.get(), sql.text, sql.parameters);
    }
    void begin() override;
    void beginReading() override { runCommands(link_.get(), "BEGIN ISOLATION LEVEL REPEATABLE READ READ ONLY"); }
    void moveIdsPastStoredRows() override
    {
        for (const char* table : {"tbldata", "tblrepeat"})
            runCommands(link_.get(), QByteArray(idCounter).replace("%1", table).constData());
    }
    void commit() override { runCommands(link_.get(), "COMMIT"); }
    void rollback() override { runCommands(link_.get(), "ROLLBACK"); }
    void lockEntry(const QString& id) override;
    std::unique_ptr<ChangeRecording> record() override;
    void apply(const QByteArray& changes) override;
    bool othersChanged() override { return othersNotified(link_.get()); }

private:
    std::unique_ptr<ServerQuery> ledgerQuery(const QString& ledgerStatement);

    ServerLink link_;
    bool recordable_;
};

void ServerEngine::begin()
{
    // Plain, so a ledger opened to read keeps refusing writes inside a batch too.
    runCommands(link_.get(), "BEGIN");
    try {
        runCommands(link_.get(), batchLock);
    } catch (...) {
        PQclear(PQexec(link_.get(), "ROLLBACK"));
        throw;
    }
}

void ServerEngine::lockEntry(const QString& id)
{
    // Writers outside a batch do not take the batch lock, so the row itself is locked.
    std::unique_ptr<EngineStatement> lock = prepare("SELECT 1 FROM tbldata WHERE id = ? FOR UPDATE");
    lock->bindText(1, id);
    lock->run();
}

std::unique_ptr<ChangeRecording> ServerEngine::record()
{
    if (!recordable_)
        throw StoreError(u"Undo is not possible on this server ledger until its owner opens it once."_s);
    return std::make_unique<ServerRecording>(link_.get());
}

void ServerEngine::apply(const QByteArray& changes)
{
    // The batch's lock, so the rows are checked and changed while no other program's batch runs.
    begin();
    try {
        applyServerChanges(link_.get(), changes);
    } catch (...) {
        PQclear(PQexec(link_.get(), "ROLLBACK"));
        throw;
    }
    commit();
}

std::unique_ptr<ServerQuery> ServerEngine::ledgerQuery(const QString& ledgerStatement)
{
    const ServerStatement statement = serverStatement(ledgerStatement);
    auto query = std::make_unique<ServerQuery>(link_.get(), statement.text.toUtf8(), int(statement.values.size()));
    for (int i = 0; i < statement.values.size(); ++i) {
        const ServerValue& value = statement.values[i];
        if (const auto* text = std::get_if<QString>(&value))
            query->bindText(i + 1, *text);
        else if (const auto* date = std::get_if<QDate>(&value))
            query->bindDate(i + 1, *date);
        else
            query->bindDouble(i + 1, std::get<double>(value));
    }
    return query;
}

} // namespace

std::unique_ptr<LedgerEngine> openServerLedger(const QString& connectionString, LedgerAccess access)
{
    ServerLink link = connectToServer(connectionString);
    PGconn* handle = link.get();
    if (PQsetClientEncoding(handle, "UTF8") != 0)
        throw StoreError(serverMessage(handle, nullptr));
    // Texts are read as UTF-8 whatever the server keeps; one that keeps another encoding loses what it cannot hold.
    if (qstrcmp(PQparameterStatus(handle, "server_encoding"), "UTF8") != 0)
        throw StoreError(u"The server ledger's database must keep its texts in UTF-8."_s);
    runCommands(handle, session);
    // Before the first read, so no change made after it goes unheard.
    listenForChanges(handle);
    makeServerSchema(handle, access);
    if (access == LedgerAccess::ReadWrite)
        addChangeSignals(handle);
    const bool recordable = access == LedgerAccess::ReadWrite && prepareChangeRecording(handle);
    makeStagingTable(handle);
    if (access == LedgerAccess::ReadOnly)
        runCommands(handle, "SET default_transaction_read_only = on");
    return std::make_unique<ServerEngine>(std::move(link), recordable);
}
