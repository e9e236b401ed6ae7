#include "store/serverrecording.h"

#include "store/serverchanges.h"
#include "store/serverlink.h"
#include "store/serverschema.h"
#include "store/storeerror.h"

#include <QByteArrayList>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

// Rows go in as to_json writes them: a float8 as its shortest exact text (the session's
// extra_float_digits is 1), -0 and NaN included, which jsonb's numeric would lose; dates as ISO
// texts. An update that moves a row to another key is that row gone and another made, as undo finds
// rows by their key. The trigger's condition spares every session that is not recording even the call.
constexpr char recordingSchema[] = R"sql(
DO $do$
BEGIN
    IF to_regprocedure('quorvane_record()') IS NULL THEN
        CREATE FUNCTION quorvane_record() RETURNS trigger LANGUAGE plpgsql AS $fn$
        DECLARE
            old_row json;
            new_row json;
            old_key text;
            new_key text;
        BEGIN
            IF TG_OP <> 'INSERT' THEN
                old_row := to_json(OLD);
                old_key := (SELECT string_agg(old_row ->> k, ' ' ORDER BY n)
                            FROM unnest(TG_ARGV) WITH ORDINALITY AS c(k, n));
            END IF;
            IF TG_OP <> 'DELETE' THEN
                new_row := to_json(NEW);
                new_key := (SELECT string_agg(new_row ->> k, ' ' ORDER BY n)
                            FROM unnest(TG_ARGV) WITH ORDINALITY AS c(k, n));
            END IF;
            IF old_key <> new_key THEN
                INSERT INTO pg_temp.quorvane_steps (tbl, key, old_row, new_row)
                VALUES (TG_TABLE_NAME, old_key, old_row, NULL), (TG_TABLE_NAME, new_key, NULL, new_row);
            ELSE
                INSERT INTO pg_temp.quorvane_steps (tbl, key, old_row, new_row)
                VALUES (TG_TABLE_NAME, coalesce(old_key, new_key), old_row, new_row);
            END IF;
            RETURN NULL;
        END $fn$;
    END IF;
    IF NOT EXISTS (SELECT FROM pg_trigger WHERE tgname = 'quorvane_record' AND tgrelid = 'tbldata'::regclass) THEN
        CREATE TRIGGER quorvane_record AFTER INSERT OR UPDATE OR DELETE ON tbldata FOR EACH ROW
            WHEN (current_setting('quorvane.recording', true) = 'on') EXECUTE FUNCTION quorvane_record('id');
    END IF;
    IF NOT EXISTS (SELECT FROM pg_trigger WHERE tgname = 'quorvane_record' AND tgrelid = 'tblrepeatposted'::regclass) THEN
        CREATE TRIGGER quorvane_record AFTER INSERT OR UPDATE OR DELETE ON tblrepeatposted FOR EACH ROW
            WHEN (current_setting('quorvane.recording', true) = 'on')
            EXECUTE FUNCTION quorvane_record('ruleid', 'occurred');
    END IF;
END $do$;
)sql";

// Whether the ledger has its trigger, and whether this user may add it.
constexpr char recordingState[] =
    "SELECT (SELECT count(*) FROM pg_trigger WHERE tgname = 'quorvane_record' "
    "AND tgrelid IN (to_regclass('tbldata'), to_regclass('tblrepeatposted'))) = 2, "
    "has_table_privilege('tbldata', 'TRIGGER') AND has_table_privilege('tblrepeatposted', 'TRIGGER') "
    "AND has_schema_privilege(current_schema(), 'CREATE')";

constexpr char stepsTable[] = "CREATE TEMP TABLE quorvane_steps (seq bigint GENERATED ALWAYS AS IDENTITY, "
                              "tbl text NOT NULL, key text NOT NULL, old_row json, new_row json)";

// A row changed several times counts once: as it stood before its first change and as it stands
// now; a row that came and went, or came back to what it was, not at all.
constexpr char netChanges[] = R"sql(
SELECT tbl, before, after FROM (
    SELECT tbl, min(seq) AS first, (array_agg(old_row ORDER BY seq))[1]::text AS before,
           (array_agg(new_row ORDER BY seq DESC))[1]::text AS after
    FROM pg_temp.quorvane_steps GROUP BY tbl, key) net
WHERE before IS DISTINCT FROM after ORDER BY first
)sql";

struct Table
{
    RecordedTable table;
    const char* name;
    // Finds the table's row `t` by the key of the recorded row `o`.
    const char* sameKey;
};

constexpr Table recordedTables[] = {
    {RecordedTable::Entries, "tbldata", "t.id = o.id"},
    {RecordedTable::RepeatPosted, "tblrepeatposted", "t.ruleid = o.ruleid AND t.occurred = o.occurred"},
};

RecordedTable recordedTable(const char* name)
{
    for (const Table& table : recordedTables) {
        if (qstrcmp(table.name, name) == 0)
            return table.table;
    }
    throw StoreError(QStringLiteral("A change of an unknown table was recorded: ") + QString::fromUtf8(name));
}

QByteArray nullable(const PGresult* result, int row, int column)
{
    if (PQgetisnull(result, row, column))
        return {};
    return QByteArray(PQgetvalue(result, row, column), PQgetlength(result, row, column));
}

// Runs one statement, with `rows` as its parameter where given, once the link is free.
ServerResult run(PGconn* link, const QByteArray& sql, ExecStatusType expected, const QByteArray* rows = nullptr)
{
    settleLink(link);
    const char* values[] = {rows ? rows->constData() : nullptr};
    ServerResult result(PQexecParams(link, sql.constData(), rows ? 1 : 0, nullptr, values, nullptr, nullptr, 0));
    if (PQresultStatus(result.get()) != expected)
        throw StoreError(serverMessage(link, result.get()));
    return result;
}

// The rows a statement taking the JSON array `rows` changed.
qint64 changedRows(PGconn* link, const QByteArray& sql, const QByteArray& rows)
{
    return QByteArray(PQcmdTuples(run(link, sql, PGRES_COMMAND_OK, &rows).get())).toLongLong();
}

// Every row is found as recorded, or the ledger changed since and nothing may apply.
void applyAll(PGconn* link, const QByteArray& sql, const QByteArrayList& rows)
{
    if (!rows.isEmpty() && changedRows(link, sql, '[' + rows.join(',') + ']') != rows.size())
        throw StaleChange();
}

// `pattern` for each column of a recorded row, %1 standing for its quoted name.
QByteArray eachColumn(const QByteArray& row, const char* pattern, const char* separator)
{
    QByteArrayList parts;
    for (const QString& name : QJsonDocument::fromJson(row).object().keys())
        parts << QByteArray(pattern).replace("%1", '"' + name.toUtf8().replace('"', "\"\"") + '"');
    return parts.join(separator);
}

// As on a ledger file: a row to delete must be as recorded in every column; a row to update only in
// the columns the change touches, and it keeps what another program wrote to the others since.
void applyTo(PGconn* link, const Table& table, const QList<RowChange>& changes)
{
    QByteArrayList deleted, updated, inserted;
    QByteArray updatedRow;
    for (const RowChange& change : changes) {
        if (change.table != table.table)
            continue;
        if (change.after.isNull()) {
            deleted << change.before;
        } else if (change.before.isNull()) {
            inserted << change.after;
        } else {
            updated << '[' + change.before + ',' + change.after + ']';
            updatedRow = change.after;
        }
    }
    const QByteArray name = table.name, sameKey = table.sameKey;
    applyAll(link,
             "DELETE FROM " + name + " t USING json_populate_recordset(NULL::" + name + ", $1::json) o WHERE " +
                 sameKey + " AND t = o",
             deleted);
    applyAll(link,
             "UPDATE " + name + " t SET (" + eachColumn(updatedRow, "%1", ", ") + ") = ROW(" +
                 eachColumn(updatedRow, "CASE WHEN o.%1 IS NOT DISTINCT FROM n.%1 THEN t.%1 ELSE n.%1 END", ", ") +
                 ") FROM json_array_elements($1::json) p, json_populate_record(NULL::" + name +
                 ", p->0) o, json_populate_record(NULL::" + name + ", p->1) n WHERE " + sameKey + " AND " +
                 eachColumn(updatedRow, "(o.%1 IS NOT DISTINCT FROM n.%1 OR t.%1 IS NOT DISTINCT FROM o.%1)", " AND "),
             updated);
    // An id or a posting taken since inserts nothing, and so is found stale.
    applyAll(link,
             "INSERT INTO " + name + " SELECT * FROM json_populate_recordset(NULL::" + name +
                 ", $1::json) ON CONFLICT DO NOTHING",
             inserted);
}

} // namespace

bool prepareChangeRecording(PGconn* link)
{
    const ServerResult state = run(link, recordingState, PGRES_TUPLES_OK);
    const bool present = PQgetvalue(state.get(), 0, 0)[0] == 't';
    if (!present && PQgetvalue(state.get(), 0, 1)[0] != 't')
        return false;
    // A ledger made before undo was possible on a server gets its trigger from the first who may.
    if (!present)
        runUnderSchemaLock(link, recordingSchema);
    runCommands(link, stepsTable);
    return true;
}

ServerRecording::ServerRecording(PGconn* link) : link_(link)
{
    runCommands(link, "DELETE FROM pg_temp.quorvane_steps; SELECT set_config('quorvane.recording', 'on', false)");
}

ServerRecording::~ServerRecording()
{
    try {
        run(link_, "SELECT set_config('quorvane.recording', 'off', false)", PGRES_TUPLES_OK);
    } catch (...) {
        // A link that fails here fails the next statement too, which reports it.
    }
}

QByteArray ServerRecording::changes()
{
    const ServerResult result = run(link_, netChanges, PGRES_TUPLES_OK);
    QList<RowChange> rows;
    for (int row = 0; row < PQntuples(result.get()); ++row)
        rows.append({recordedTable(PQgetvalue(result.get(), row, 0)), nullable(result.get(), row, 1),
                     nullable(result.get(), row, 2)});
    return serverChanges(rows);
}

void applyServerChanges(PGconn* link, const QByteArray& changes)
{
    const QList<RowChange> rows = rowChanges(changes);
    for (const Table& table : recordedTables)
        applyTo(link, table, rows);
}
