#include "support/ledgerfixture.h"

#include "base/paths.h"
#include "store/programconnection.h"
#include "store/recordset.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <stdexcept>
#include <sys/stat.h>

using namespace Qt::StringLiterals;

QString homeFolder(const QString& name)
{
    const QDir home(qEnvironmentVariable("HOME"));
    home.mkpath(name);
    return home.filePath(name);
}

QString templateLedgerPath()
{
    return QCoreApplication::applicationDirPath() + QStringLiteral("/dbBlank.mdb");
}

QString openFreshLedger()
{
    QDir().mkpath(dataFolder());
    const QString path = databaseFile();
    QFile::remove(path);
    if (!QFile::copy(templateLedgerPath(), path))
        throw std::runtime_error("cannot copy the template ledger");
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
    ConnSlot() = std::make_unique<Connection>();
    Conn().open(connectionString(SpecialFolderPath(35)));
    return path;
}

void addEntry(const Entry& entry)
{
    Conn().execute(insertEntry(entry));
}

Entry sampleEntry(const QString& reason, const QString& amount, Direction direction)
{
    Entry e;
    e.date = QDate(2021, 3, 5);
    e.reason = reason;
    e.fromCompany = QStringLiteral("Marrowfen");
    e.toCompany = QStringLiteral("Tobren");
    e.amountText = amount;
    e.paymentMethod = QStringLiteral("Cash");
    e.notes = QString();
    e.direction = direction;
    return e;
}

QString newestId()
{
    Recordset rs;
    rs.open(QStringLiteral("select max(id) as id from tblData"), Conn());
    return rs.field(u"id").toString();
}

int entryCount()
{
    Recordset rs;
    rs.open(QStringLiteral("select count(*) as n from tblData"), Conn());
    return rs.field(u"n").toInt();
}

QStringList ledgerRows()
{
    Recordset rs;
    rs.open(u"select * from tblData order by id"_s, Conn());
    QStringList rows;
    for (; !rs.eof(); rs.moveNext())
        rows << QStringList{rs.field(u"datercvd").toDate().toString(Qt::ISODate),
                            QString::number(rs.field(u"amount").toDouble(), 'f', 2),
                            rs.field(u"paymenttype").toInt() == 1 ? u"in"_s : u"out"_s,
                            rs.field(u"reason").toString(),
                            rs.field(u"fromcompany").toString(),
                            rs.field(u"tocompany").toString(),
                            rs.field(u"paymentmethod").toString(),
                            rs.field(u"notes").toString()}
                    .join(u'|');
    return rows;
}

void storeNulInText(const QString& id, const QString& column)
{
    Conn().execute(u"update tblData set %1 = coalesce(%1, '') || char(0) || 'end' where id = %2"_s.arg(column, id));
}

void storePaymentType(const QString& id, int value)
{
    Conn().execute(u"update tblData set paymenttype = "_s + QString::number(value) + u" where id = "_s + id);
}

void spoilSomeEntries()
{
    Conn().execute(u"update tblData set datercvd = null where id % 37 = 1"_s);
    Conn().execute(u"update tblData set datercvd = 'soon' where id % 41 = 2"_s);
    Conn().execute(u"update tblData set datercvd = '2022-02-30' where id % 43 = 3"_s);
    Conn().execute(u"update tblData set amount = null where id % 47 = 4"_s);
    Conn().execute(u"update tblData set paymenttype = 0 where id % 53 = 5"_s);
    Conn().execute(u"update tblData set paymenttype = 3 where id % 59 = 6"_s);
}

unsigned fileMode(const QString& path)
{
    struct stat info = {};
    if (::stat(QFile::encodeName(path).constData(), &info) != 0)
        return 0;
    return unsigned(info.st_mode) & 07777u;
}
