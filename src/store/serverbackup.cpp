#include "store/serverbackup.h"

#include "store/connection.h"
#include "store/engine.h"
#include "store/ledgercopy.h"

using namespace Qt::StringLiterals;

namespace {

// Rows counted and their texts hashed, per table: what any change to the ledger changes, read
// without holding the ledger in memory.
constexpr char contentSums[] =
    "SELECT (SELECT count(*) || ':' || coalesce(sum(hashtextextended(t::text, 0)), 0) FROM tbldata t) || '/' || "
    "(SELECT count(*) || ':' || coalesce(sum(hashtextextended(t::text, 0)), 0) FROM tblrepeat t) || '/' || "
    "(SELECT count(*) || ':' || coalesce(sum(hashtextextended(t::text, 0)), 0) FROM tblrepeatposted t)";

class ServerLedger final : public BackedUpLedger
{
public:
    ServerLedger(QString connectionString, QString folder)
        : connectionString_(std::move(connectionString)), folder_(std::move(folder))
    {
    }

    QString fingerprint() const override
    {
        Connection server;
        server.open(connectionString_, Connection::Access::ReadOnly);
        const auto sums = server.engine().prepare(contentSums);
        return sums->next() ? QString::fromUtf8(sums->utf8(0)) : QString();
    }

    qint64 copyTo(const QString& file) const override
    {
        Connection server;
        server.open(connectionString_, Connection::Access::ReadOnly);
        return writeLedgerFile(server, file).entries;
    }

    QString restoringFile() const override { return folder_ + u"/restoring.mdb"_s; }

    void replaceWith(const QString& rebuilt, bool& unchangedOnFailure) const override
    {
        // All of it is one transaction on the server: a failure leaves the ledger as it was.
        unchangedOnFailure = true;
        Connection source;
        source.open(fileConnectionString(rebuilt), Connection::Access::ReadOnly);
        Connection server;
        server.open(connectionString_);
        copyLedgerContents(source, server, CopyInto::ReplacingItsContents);
    }

private:
    QString connectionString_;
    QString folder_;
};

} // namespace

std::shared_ptr<const BackedUpLedger> serverLedgerToBackUp(QString connectionString, QString folder)
{
    return std::make_shared<ServerLedger>(std::move(connectionString), std::move(folder));
}
