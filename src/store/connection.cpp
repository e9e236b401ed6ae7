#include "store/connection.h"

#include "store/serveraddress.h"
#include "store/serverengine.h"
#include "store/sqliteengine.h"
#include "store/storeerror.h"

#include <QDir>
#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace {

constexpr auto passwordPart = u";JET OLEDB:Database Password=";

} // namespace

QString connectionString(const QString& appDataFolder)
{
    return fileConnectionString(appDataFolder + u"/Marrowfen/"_s + u"Quorvane"_s + u"/dbData.mdb"_s);
}

QString fileConnectionString(const QString& path)
{
    return u"provider=microsoft.jet.oledb.4.0;data source="_s + path + QString::fromUtf16(passwordPart);
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
    if (engine_)
        throw StoreError(QStringLiteral("Operation is not allowed when the object is open."));
    if (namesServerLedger(connectionString)) {
        engine_ = openServerLedger(connectionString, access);
        return;
    }
    const QString path = dataSourcePath(connectionString);
    if (!QFileInfo(path).isFile())
        throw StoreError(u"Could not find file '"_s + QDir::toNativeSeparators(path) + u"'."_s);
    engine_ = openSqliteLedger(path, access);
}

void Connection::execute(const QString& statement)
{
    engine().execute(statement);
}

void Connection::close()
{
    engine_.reset();
}

void Connection::beginBatch()
{
    engine().begin();
}

void Connection::commitBatch()
{
    engine().commit();
}

void Connection::rollbackBatch()
{
    engine().rollback();
}

LedgerEngine& Connection::engine() const
{
    if (!engine_)
        throw StoreError(QStringLiteral("Operation is not allowed when the object is closed."));
    return *engine_;
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
