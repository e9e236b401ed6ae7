#include "store/serversignals.h"

#include "store/serverlink.h"
#include "store/serverschema.h"
#include "store/storeerror.h"

namespace {

// Statement-level, so a statement changing 10 000 rows notifies once, and with a constant payload
// per table, so a transaction's notifications fold into one per table.
constexpr char changeSignals[] = R"sql(
CREATE OR REPLACE FUNCTION quorvane_signal() RETURNS trigger LANGUAGE plpgsql AS $$
BEGIN
    PERFORM pg_notify('quorvane_ledger', TG_TABLE_NAME);
    RETURN NULL;
END $$;
CREATE OR REPLACE TRIGGER quorvane_signal AFTER INSERT OR UPDATE OR DELETE OR TRUNCATE ON tbldata
    FOR EACH STATEMENT EXECUTE FUNCTION quorvane_signal();
CREATE OR REPLACE TRIGGER quorvane_signal AFTER INSERT OR UPDATE OR DELETE OR TRUNCATE ON tblrepeat
    FOR EACH STATEMENT EXECUTE FUNCTION quorvane_signal();
CREATE OR REPLACE TRIGGER quorvane_signal AFTER INSERT OR UPDATE OR DELETE OR TRUNCATE ON tblrepeatposted
    FOR EACH STATEMENT EXECUTE FUNCTION quorvane_signal();
)sql";

constexpr char hasSignals[] = "SELECT count(*) = 3 FROM pg_trigger WHERE tgname = 'quorvane_signal' AND tgrelid IN "
                              "('tbldata'::regclass, 'tblrepeat'::regclass, 'tblrepeatposted'::regclass)";

// Making them needs the trigger right on each table and, for the function, the schema's create right.
constexpr char mayAddSignals[] =
    "SELECT has_table_privilege('tbldata', 'TRIGGER') AND has_table_privilege('tblrepeat', 'TRIGGER') AND "
    "has_table_privilege('tblrepeatposted', 'TRIGGER') AND has_schema_privilege(current_schema(), 'CREATE')";

bool askServer(PGconn* link, const char* question)
{
    const ServerResult result(PQexec(link, question));
    if (PQresultStatus(result.get()) != PGRES_TUPLES_OK)
        throw StoreError(serverMessage(link, result.get()));
    return PQgetvalue(result.get(), 0, 0)[0] == 't';
}

} // namespace

void addChangeSignals(PGconn* link)
{
    // A ledger made before programs followed each other gets them from the first who may; two
    // programs adding them at once replace the same triggers in turn.
    if (!askServer(link, hasSignals) && askServer(link, mayAddSignals))
        runUnderSchemaLock(link, changeSignals);
}

void listenForChanges(PGconn* link)
{
    // The channel quorvane_signal() notifies.
    runCommands(link, "LISTEN quorvane_ledger");
}

bool othersNotified(PGconn* link)
{
    if (!PQconsumeInput(link))
        return false;
    const int self = PQbackendPID(link);
    bool others = false;
    while (PGnotify* note = PQnotifies(link)) {
        others = others || note->be_pid != self;
        PQfreemem(note);
    }
    return others;
}
