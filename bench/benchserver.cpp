#include "benchserver.h"

#include "benchledger.h"
#include "store/connection.h"
#include "store/programconnection.h"
#include "support/postgresserver.h"
#include "ui/main/form1.h"

#include <QHash>
#include <libpq-fe.h>
#include <memory>
#include <sqlite3.h>
#include <stdexcept>

using namespace Qt::StringLiterals;

namespace {

PostgresServer& benchServer()
{
    static PostgresServer server;
    return server;
}

// COPY's text form: a backslash, tab or line break inside a value would end it or change it.
void appendCopyField(QByteArray& line, const char* text, int size)
{
    for (int i = 0; i < size; ++i) {
        switch (text[i]) {
        case '\\':
            line += "\\\\";
            break;
        case '\t':
            line += "\\t";
            break;
        case '\n':
            line += "\\n";
            break;
        case '\r':
            line += "\\r";
            break;
        default:
            line += text[i];
        }
    }
}

void require(bool ok, PGconn* link)
{
    if (!ok)
        throw std::runtime_error(PQerrorMessage(link));
}

void runOn(PGconn* link, const char* sql)
{
    PGresult* result = PQexec(link, sql);
    const ExecStatusType status = PQresultStatus(result);
    PQclear(result);
    require(status == PGRES_COMMAND_OK || status == PGRES_TUPLES_OK || status == PGRES_COPY_IN, link);
}

// Copies the generated file's entries into the server's ledger through COPY, in their id order.
void copyEntries(const QString& file, PGconn* link)
{
    sqlite3* db = nullptr;
    sqlite3_open_v2(file.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt* rows = nullptr;
    sqlite3_prepare_v2(db,
                       "select datercvd,reason,fromcompany,tocompany,amount,paymentmethod,notes,paymenttype "
                       "from tblData order by id",
                       -1, &rows, nullptr);
    runOn(link, "COPY tbldata (datercvd,reason,fromcompany,tocompany,amount,paymentmethod,notes,paymenttype) "
                "FROM STDIN");
    QByteArray chunk;
    while (sqlite3_step(rows) == SQLITE_ROW) {
        for (int c = 0; c < 8; ++c) {
            if (c > 0)
                chunk += '\t';
            if (sqlite3_column_type(rows, c) == SQLITE_NULL)
                chunk += "\\N";
            else
                appendCopyField(chunk, reinterpret_cast<const char*>(sqlite3_column_text(rows, c)),
                                sqlite3_column_bytes(rows, c));
        }
        chunk += '\n';
        if (chunk.size() > (1 << 20)) {
            require(PQputCopyData(link, chunk.constData(), int(chunk.size())) == 1, link);
            chunk.clear();
        }
    }
    sqlite3_finalize(rows);
    sqlite3_close(db);
    require(PQputCopyData(link, chunk.constData(), int(chunk.size())) == 1, link);
    require(PQputCopyEnd(link, nullptr) == 1, link);
    std::unique_ptr<PGresult, decltype(&PQclear)> result(PQgetResult(link), &PQclear);
    require(PQresultStatus(result.get()) == PGRES_COMMAND_OK, link);
    runOn(link, "ANALYZE tbldata");
}

} // namespace

QString serverLedger(int count)
{
    static QHash<int, QString> ledgers;
    if (const auto known = ledgers.constFind(count); known != ledgers.cend())
        return *known;
    PostgresServer& server = benchServer();
    const QString database = u"bench_"_s + QString::number(count);
    server.createDatabase(database);
    const QString ledger = server.connectionString(PostgresServer::Role::Writer, database);
    {
        // The program makes the ledger's tables, as at a first start on an empty database.
        Connection connection;
        connection.open(ledger);
    }
    std::unique_ptr<PGconn, decltype(&PQfinish)> link(PQconnectdb(ledger.toUtf8().constData()), &PQfinish);
    require(PQstatus(link.get()) == CONNECTION_OK, link.get());
    copyEntries(generatedLedger(count), link.get());
    ledgers.insert(count, ledger);
    return ledger;
}

void openServerLedgerIn(Form1& window, int count)
{
    window.Form_Load();
    Conn().close();
    Conn().open(serverLedger(count));
}
