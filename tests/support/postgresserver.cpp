#include "support/postgresserver.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <QUrl>
#include <pwd.h>
#include <stdexcept>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

const QString binaries = u"/usr/lib/postgresql/15/bin/"_s;
const QString superuser = u"postgres"_s;
const QString database = u"ledger"_s;
// The socket lies in the server's own folder, so every port number is free there; one far from 5432
// keeps a connection string that lost its folder from reaching a server of the machine.
constexpr int port = 54315;
constexpr int toolTimeoutMs = 120'000;

[[noreturn]] void fail(const QString& reason)
{
    throw std::runtime_error(reason.toStdString());
}

void require(const QString& failure)
{
    if (!failure.isEmpty())
        fail(failure);
}

bool runningAsRoot()
{
    return ::geteuid() == 0;
}

void requireTools()
{
    for (const QString& tool : {u"initdb"_s, u"pg_ctl"_s, u"psql"_s}) {
        if (!QFileInfo(binaries + tool).isExecutable())
            fail(binaries + tool + u" is missing: install postgresql-15 (scripts/install-deps.sh test)"_s);
    }
}

// PostgreSQL refuses to run as root; root runs it as the postgres system user, who must own the folder.
void handToServerUser(const QString& folder)
{
    if (!runningAsRoot())
        return;
    const passwd* user = ::getpwnam("postgres");
    if (user == nullptr)
        fail(u"running as root needs the postgres system user, which postgresql-15 makes"_s);
    if (::chown(QFile::encodeName(folder).constData(), user->pw_uid, user->pw_gid) != 0)
        fail(u"cannot hand "_s + folder + u" to the postgres user"_s);
}

// The caller's PG* variables (PGHOST, PGOPTIONS, PGDATA...) must not add to what the tools are told.
QProcessEnvironment toolEnvironment()
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const QString& name : environment.keys()) {
        if (name.startsWith(u"PG"_s))
            environment.remove(name);
    }
    return environment;
}

// Runs one of PostgreSQL's programs in folder; returns what went wrong, or nothing.
QString failureOf(const QString& folder, const QString& tool, const QStringList& arguments)
{
    QProcess process;
    process.setWorkingDirectory(folder);
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.setProcessEnvironment(toolEnvironment());
    if (runningAsRoot())
        process.start(u"runuser"_s, QStringList{u"-u"_s, u"postgres"_s, u"--"_s, binaries + tool} + arguments);
    else
        process.start(binaries + tool, arguments);
    const bool finished = process.waitForFinished(toolTimeoutMs);
    if (finished && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0)
        return {};
    return tool + u' ' + arguments.join(u' ') + u": "_s +
           (finished ? QString::fromLocal8Bit(process.readAll()).trimmed() : process.errorString());
}

// A quoted value as both libpq's connection strings and postgresql.conf read it.
QString quoted(QString value)
{
    value.replace(u'\\', u"\\\\"_s).replace(u'\'', u"\\'"_s);
    return u'\'' + value + u'\'';
}

QString connectionString(const QString& folder, const QString& dbname, const QString& user)
{
    return u"host=%1 port=%2 dbname=%3 user=%4"_s.arg(quoted(folder)).arg(port).arg(dbname, user);
}

QString roleName(PostgresServer::Role role)
{
    return role == PostgresServer::Role::Writer ? u"quorvane_writer"_s : u"quorvane_reader"_s;
}

// Runs psql's commands in turn as the superuser, stopping at the first that fails.
void runAsSuperuser(const QString& folder, const QStringList& commands)
{
    QStringList arguments{u"--no-psqlrc"_s, u"--quiet"_s, u"--set=ON_ERROR_STOP=1"_s,
                          u"--dbname="_s + connectionString(folder, u"postgres"_s, superuser)};
    for (const QString& command : commands)
        arguments << u"--command="_s + command;
    require(failureOf(folder, u"psql"_s, arguments));
}

// Set in the configuration rather than on pg_ctl's command line, which goes through a shell. No TCP:
// only the socket in the server's folder. Without fsync the tests run quicker; nothing they write has
// to outlive the machine.
void configure(const QString& dataFolder, const QString& socketFolder)
{
    QFile settings(dataFolder + u"/postgresql.conf"_s);
    if (!settings.open(QIODevice::Append | QIODevice::Text))
        fail(u"cannot configure the server: "_s + settings.errorString());
    const QString lines = u"listen_addresses = ''\nunix_socket_directories = %1\nport = %2\nfsync = off\n"_s;
    settings.write(lines.arg(quoted(socketFolder)).arg(port).toUtf8());
    if (!settings.flush())
        fail(u"cannot configure the server: "_s + settings.errorString());
}

// Runs a program other than PostgreSQL's; returns what went wrong, or nothing.
QString failureOfProgram(const QString& folder, const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.setWorkingDirectory(folder);
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    const bool finished = process.waitForFinished(toolTimeoutMs);
    if (finished && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0)
        return {};
    return program + u": "_s + (finished ? QString::fromLocal8Bit(process.readAll()).trimmed() : process.errorString());
}

// A certificate authority of the server's own, and the server's key and certificate for localhost
// signed by it; the key is the server's alone, as PostgreSQL demands.
void makeCertificates(const QString& folder)
{
    QFile names(folder + u"/names.ext"_s);
    if (!names.open(QIODevice::WriteOnly) || names.write("subjectAltName=DNS:localhost\n") < 0)
        fail(u"cannot write the certificate's names"_s);
    names.close();
    const QString openssl = u"openssl"_s;
    const QStringList steps[] = {
        {u"req"_s, u"-x509"_s, u"-newkey"_s, u"rsa:2048"_s, u"-nodes"_s, u"-keyout"_s, u"ca.key"_s, u"-out"_s,
         u"ca.crt"_s, u"-days"_s, u"2"_s, u"-subj"_s, u"/CN=Quorvane test authority"_s},
        {u"req"_s, u"-newkey"_s, u"rsa:2048"_s, u"-nodes"_s, u"-keyout"_s, u"server.key"_s, u"-out"_s, u"server.csr"_s,
         u"-subj"_s, u"/CN=localhost"_s},
        {u"x509"_s, u"-req"_s, u"-in"_s, u"server.csr"_s, u"-CA"_s, u"ca.crt"_s, u"-CAkey"_s, u"ca.key"_s,
         u"-CAcreateserial"_s, u"-out"_s, u"server.crt"_s, u"-days"_s, u"2"_s, u"-extfile"_s, u"names.ext"_s},
    };
    for (const QStringList& step : steps)
        require(failureOfProgram(folder, openssl, step));
    for (const QString& file : {u"server.key"_s, u"server.crt"_s}) {
        handToServerUser(folder + u'/' + file);
        QFile::setPermissions(folder + u'/' + file, QFile::ReadOwner | QFile::WriteOwner);
    }
}

// TLS on the loopback address only, every TCP connection made with it and trusted once it is.
void configureTls(const QString& dataFolder)
{
    QFile settings(dataFolder + u"/postgresql.conf"_s);
    QFile access(dataFolder + u"/pg_hba.conf"_s);
    if (!settings.open(QIODevice::Append | QIODevice::Text) || !access.open(QIODevice::WriteOnly | QIODevice::Text))
        fail(u"cannot configure the server's TLS"_s);
    settings.write("listen_addresses = '127.0.0.1'\nssl = on\nssl_cert_file = '../server.crt'\n"
                   "ssl_key_file = '../server.key'\n");
    access.write("local all all trust\nhostssl all all 127.0.0.1/32 trust\n");
}

} // namespace

PostgresServer::PostgresServer(Listen listen) : folder_(QDir::tempPath() + u"/quorvane-postgres-XXXXXX"_s)
{
    requireTools();
    if (!folder_.isValid())
        fail(u"cannot make the server's folder: "_s + folder_.errorString());
    handToServerUser(folder());
    require(failureOf(folder(), u"initdb"_s,
                      {u"--pgdata="_s + dataFolder(), u"--username="_s + superuser, u"--auth-local=trust"_s,
                       u"--auth-host=reject"_s, u"--encoding=UTF8"_s, u"--locale=C"_s, u"--no-sync"_s,
                       u"--no-instructions"_s}));
    configure(dataFolder(), folder());
    if (listen == Listen::TlsOnLoopback) {
        // TCP takes the socket's port, which only one such server of the tests listens on at a time.
        tlsPort_ = port;
        makeCertificates(folder());
        configureTls(dataFolder());
    }
    try {
        start();
        createRoles();
    } catch (...) {
        stop();
        throw;
    }
}

PostgresServer::~PostgresServer()
{
    stop();
}

QString PostgresServer::connectionString(Role role) const
{
    return connectionString(role, database);
}

QString PostgresServer::connectionString(Role role, const QString& name) const
{
    return ::connectionString(folder(), name, roleName(role));
}

QString PostgresServer::uri(Role role, const QString& name) const
{
    // One call of arg: the encoded folder holds '%' signs that a later call would take for its own.
    return u"postgresql:///%1?host=%2&port=%3&user=%4"_s.arg(
        name, QString::fromLatin1(QUrl::toPercentEncoding(folder())), QString::number(port), roleName(role));
}

QString PostgresServer::certificateAuthority() const
{
    return folder() + u"/ca.crt"_s;
}

QString PostgresServer::folder() const
{
    return folder_.path();
}

QString PostgresServer::dataFolder() const
{
    return folder() + u"/data"_s;
}

// pg_ctl waits until the server takes connections.
void PostgresServer::start() const
{
    const QString log = folder() + u"/server.log"_s;
    const QString failure = failureOf(
        folder(), u"pg_ctl"_s,
        {u"start"_s, u"--wait"_s, u"--timeout=60"_s, u"--silent"_s, u"--pgdata="_s + dataFolder(), u"--log="_s + log});
    if (failure.isEmpty())
        return;
    QFile serverLog(log);
    fail(failure + u"\nserver log:\n"_s +
         (serverLog.open(QIODevice::ReadOnly) ? QString::fromLocal8Bit(serverLog.readAll()) : serverLog.errorString()));
}

void PostgresServer::createRoles() const
{
    runAsSuperuser(folder(), {u"CREATE ROLE "_s + roleName(Role::Writer) + u" LOGIN"_s,
                              u"CREATE ROLE "_s + roleName(Role::Reader) + u" LOGIN"_s});
    createDatabase(database);
}

// The reader gets SELECT on every table the writer makes in the database.
void PostgresServer::createDatabase(const QString& name, const QString& encoding) const
{
    const QString writer = roleName(Role::Writer);
    runAsSuperuser(
        folder(),
        {u"CREATE DATABASE "_s + name + u" OWNER "_s + writer + u" ENCODING "_s + encoding + u" TEMPLATE template0"_s,
         u"\\connect "_s + name,
         u"ALTER DEFAULT PRIVILEGES FOR ROLE "_s + writer + u" GRANT SELECT ON TABLES TO "_s + roleName(Role::Reader)});
}

// A fast stop ends the sessions a test left open; should it fail, an immediate one still ends the
// server before its folder goes.
void PostgresServer::stop() const
{
    for (const QString& mode : {u"fast"_s, u"immediate"_s}) {
        if (failureOf(folder(), u"pg_ctl"_s,
                      {u"stop"_s, u"--wait"_s, u"--silent"_s, u"--mode="_s + mode, u"--pgdata="_s + dataFolder()})
                .isEmpty())
            return;
    }
}
