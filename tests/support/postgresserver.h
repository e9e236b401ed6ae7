#pragma once

#include <QString>
#include <QTemporaryDir>

// A PostgreSQL 15 server of the test's own, in a fresh temporary folder and reachable only through a
// Unix socket there: the tests assume no server of the machine, and the destructor stops this one and
// removes its folder. Local connections are trusted, so a test connects as either role without a
// password. The writer owns the database `ledger`; the reader may read the tables the writer makes
// there, and nothing more. A server that cannot be set up throws std::runtime_error with the reason:
// a test without PostgreSQL fails, it never skips.
class PostgresServer
{
public:
    enum class Role { Writer, Reader };
    // With TlsOnLoopback the server also listens on 127.0.0.1 (the socket's port), with TLS only, its
    // certificate for the name localhost signed by a certificate authority made for it.
    enum class Listen { SocketOnly, TlsOnLoopback };

    explicit PostgresServer(Listen listen = Listen::SocketOnly);
    ~PostgresServer();
    PostgresServer(const PostgresServer&) = delete;
    PostgresServer& operator=(const PostgresServer&) = delete;

    // libpq's keyword form ("host=... port=... dbname=ledger user=..."), for PQconnectdb.
    QString connectionString(Role role) const;
    // The same as a postgresql:// URI.
    QString uri(Role role, const QString& database) const;
    // The same for another database of this server.
    QString connectionString(Role role, const QString& database) const;
    // Makes an empty database `name` as `ledger` is made: the writer owns it, the reader may read
    // the tables the writer makes there. Its texts are kept in `encoding` (UTF8 for `ledger`).
    void createDatabase(const QString& name, const QString& encoding = QStringLiteral("UTF8")) const;
    // With TlsOnLoopback: the TCP port, and the authority's certificate a client checks the server's with.
    int tlsPort() const { return tlsPort_; }
    QString certificateAuthority() const;
    // The folder the destructor removes: the socket, the server's log and the data folder.
    QString folder() const;
    // The cluster; postmaster.pid lies there while the server runs.
    QString dataFolder() const;

private:
    void start() const;
    void createRoles() const;
    void stop() const;

    QTemporaryDir folder_;
    int tlsPort_ = 0;
};
