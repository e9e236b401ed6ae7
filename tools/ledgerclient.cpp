#include "ledgerclient.h"

#include "ledgerwriter.h"
#include "store/connection.h"
#include "store/ledgerentries.h"

#include <QDate>
#include <QList>
#include <cstdio>
#include <random>

using namespace Qt::StringLiterals;

namespace {

constexpr int refreshEvery = 50;

Entry entryFor(const QString& reason, int n)
{
    return {0,
            QDate(2026, 1, 1).addDays(n % 365),
            reason,
            u"Marrowfen"_s,
            u"O'Neil"_s,
            QString::number(n % 97 + 1),
            u"Cash"_s,
            {},
            n % 2 ? Direction::PaidOut : Direction::Received};
}

qint64 newestId(Connection& connection)
{
    const auto newest = connection.engine().prepare("select max(id) from tblData");
    return newest->next() && newest->kind(0) != ColumnKind::Null ? newest->intValue(0) : 0;
}

// The id of the entry just added with `reason`: above every id there was before it, so the index finds it.
qint64 idOf(Connection& connection, const QString& reason, qint64 before)
{
    const auto read = connection.engine().prepare("select id from tblData where id > ? and reason = ?");
    read->bindInt(1, before);
    read->bindText(2, reason);
    return read->next() ? read->intValue(0) : 0;
}

// Some of the ledger's ids, from a random place on: enough to pick from, however long the ledger.
QList<qint64> someIds(Connection& connection, std::mt19937& random)
{
    const qint64 last = newestId(connection);
    const auto read = connection.engine().prepare("select id from tblData where id >= ? order by id limit 500");
    read->bindInt(1, last > 500 ? qint64(random() % quint64(last - 500)) : 0);
    QList<qint64> ids;
    while (read->next())
        ids.append(read->intValue(0));
    return ids;
}

class Client
{
public:
    Client(Connection& connection, QString name) : connection_(connection), entries_(connection), name_(std::move(name))
    {
    }

    void add(int n)
    {
        const QString reason = reasonFor(n);
        const qint64 before = newestId(connection_);
        entries_.add(entryFor(reason, n));
        const qint64 id = idOf(connection_, reason, before);
        known_.append(id);
        say(u"add %1 %2"_s.arg(id).arg(reason));
    }

    void edit(qint64 id, int n)
    {
        EntryRows rows;
        entries_.readOne(rows, QString::number(id));
        if (rows.atEnd()) {
            say(u"refused edit %1"_s.arg(id));
            return;
        }
        const EntryImage loaded = rows.image();
        const QString old = rows.text(EntryField::Reason);
        rows.close();
        try {
            entries_.updateUnchanged(entryFor(reasonFor(n), n), QString::number(id), loaded);
            say(u"edit %1 %2 %3"_s.arg(id).arg(old, reasonFor(n)));
        } catch (const EntryChanged&) {
            say(u"refused edit %1"_s.arg(id));
        } catch (const EntryGone&) {
            say(u"refused edit %1"_s.arg(id));
        }
    }

    void remove(qint64 id)
    {
        try {
            entries_.remove(QString::number(id));
            say(u"delete %1"_s.arg(id));
        } catch (const EntryGone&) {
            say(u"refused delete %1"_s.arg(id));
        }
    }

    void refresh(std::mt19937& random) { known_ = someIds(connection_, random); }
    const QList<qint64>& known() const { return known_; }

private:
    QString reasonFor(int n) const { return name_ + u'-' + QString::number(n); }

    Connection& connection_;
    LedgerEntries entries_;
    QString name_;
    QList<qint64> known_;
};

} // namespace

int runLedgerClient(const QString& ledger, const QString& name, unsigned seed, int count)
{
    try {
        Connection connection;
        connection.open(ledger);
        Client client(connection, name);
        std::mt19937 random(seed);
        for (int n = 0; n < count; ++n) {
            if (n % refreshEvery == 0)
                client.refresh(random);
            const unsigned roll = random() % 10;
            if (roll < 4 || client.known().isEmpty()) {
                client.add(n);
                continue;
            }
            const qint64 id = client.known()[qsizetype(random() % unsigned(client.known().size()))];
            if (roll < 8)
                client.edit(id, n);
            else
                client.remove(id);
        }
        return 0;
    } catch (const std::exception& error) {
        fprintf(stderr, "%s\n", error.what());
        return 2;
    }
}
