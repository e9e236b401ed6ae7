// The tests' own PostgreSQL server: the writer stores and reads, the reader reads but cannot write,
// and the server leaves neither its folder nor its process behind.
#include "support/postgresserver.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>
#include <QThread>
#include <gtest/gtest.h>
#include <libpq-fe.h>
#include <memory>

using namespace Qt::StringLiterals;

namespace {

using Role = PostgresServer::Role;
using Connection = std::unique_ptr<PGconn, decltype(&PQfinish)>;
using Result = std::unique_ptr<PGresult, decltype(&PQclear)>;

Connection connectAs(const PostgresServer& server, Role role)
{
    Connection connection(PQconnectdb(server.connectionString(role).toUtf8().constData()), &PQfinish);
    EXPECT_EQ(PQstatus(connection.get()), CONNECTION_OK) << PQerrorMessage(connection.get());
    return connection;
}

Result run(const Connection& connection, const char* sql)
{
    return Result(PQexec(connection.get(), sql), &PQclear);
}

testing::AssertionResult commandRuns(const Connection& connection, const char* sql)
{
    const Result result = run(connection, sql);
    if (PQresultStatus(result.get()) == PGRES_COMMAND_OK)
        return testing::AssertionSuccess();
    return testing::AssertionFailure() << sql << ": " << PQresultErrorMessage(result.get());
}

// The one value a query returns, or why there is none.
std::string onlyValue(const Connection& connection, const char* sql)
{
    const Result result = run(connection, sql);
    if (PQresultStatus(result.get()) != PGRES_TUPLES_OK)
        return PQresultErrorMessage(result.get());
    if (PQntuples(result.get()) != 1 || PQnfields(result.get()) != 1)
        return "not one value";
    return PQgetvalue(result.get(), 0, 0);
}

void storeARow(const PostgresServer& server)
{
    const Connection writer = connectAs(server, Role::Writer);
    ASSERT_TRUE(commandRuns(writer, "CREATE TABLE entries (reason text NOT NULL)"));
    ASSERT_TRUE(commandRuns(writer, "INSERT INTO entries VALUES ('Rent')"));
}

qint64 postmasterPid(const PostgresServer& server)
{
    QFile pidFile(server.dataFolder() + u"/postmaster.pid"_s);
    return pidFile.open(QIODevice::ReadOnly) ? pidFile.readLine().trimmed().toLongLong() : 0;
}

// A zombie has ended; the daemonised server is reaped by whoever adopted it, not by this test.
bool runs(qint64 pid)
{
    QFile stat(u"/proc/%1/stat"_s.arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return false;
    const QByteArray fields = stat.readAll();
    const qsizetype state = fields.lastIndexOf(')') + 2;
    return state < fields.size() && fields.at(state) != 'Z' && fields.at(state) != 'X';
}

// The server removes its pid file just before it exits, so its process may outlive pg_ctl's wait briefly.
bool endsSoon(qint64 pid)
{
    const QDeadlineTimer deadline(5000);
    while (runs(pid) && !deadline.hasExpired())
        QThread::msleep(20);
    return !runs(pid);
}

TEST(PostgresServer, TheWriterReadsBackTheRowItStored)
{
    const PostgresServer server;
    storeARow(server);
    EXPECT_EQ(onlyValue(connectAs(server, Role::Writer), "SELECT reason FROM entries"), "Rent");
}

TEST(PostgresServer, TheReaderReadsTheWritersTableButCannotInsert)
{
    const PostgresServer server;
    storeARow(server);
    const Connection reader = connectAs(server, Role::Reader);
    EXPECT_EQ(onlyValue(reader, "SELECT reason FROM entries"), "Rent");

    const Result insert = run(reader, "INSERT INTO entries VALUES ('Stolen')");
    EXPECT_EQ(PQresultStatus(insert.get()), PGRES_FATAL_ERROR);
    const char* state = PQresultErrorField(insert.get(), PG_DIAG_SQLSTATE);
    EXPECT_STREQ(state, "42501") << "not refused for want of privilege: " << PQresultErrorMessage(insert.get());
}

TEST(PostgresServer, LeavesNeitherItsFolderNorItsProcessBehind)
{
    QString folder;
    qint64 pid = 0;
    {
        const PostgresServer server;
        folder = server.folder();
        pid = postmasterPid(server);
        ASSERT_TRUE(runs(pid)) << "pid " << pid;
    }
    EXPECT_FALSE(QFileInfo::exists(folder));
    EXPECT_TRUE(endsSoon(pid)) << "pid " << pid;
}

} // namespace
