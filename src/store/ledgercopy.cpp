#include "store/ledgercopy.h"

#include "store/connection.h"
#include "store/engine.h"
#include "store/ledgerschema.h"
#include "store/sqlitefile.h"
#include "store/storeddate.h"
#include "store/storeerror.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <QTemporaryFile>
#include <cstdio>

using namespace Qt::StringLiterals;

namespace {

struct CopiedTable
{
    const char* name;
    const char* columns;
    const char* order;
};

// The entries come first: their tally is read from the first columns of their rows.
constexpr CopiedTable copiedTables[] = {
    {"tblData", "id, datercvd, reason, fromcompany, tocompany, amount, paymentmethod, notes, paymenttype", "id"},
    {"tblRepeat",
     "id, reason, fromcompany, tocompany, amount, paymentmethod, notes, paymenttype, unit, every, monthday, "
     "startdate, endkind, enddate, endcount, paused",
     "id"},
    {"tblRepeatPosted", "ruleid, occurred, entryid", "ruleid, occurred"},
};
constexpr int amountColumn = 5, directionColumn = 8;
constexpr int namedBadDates = 10;

QByteArray selectAll(const CopiedTable& table)
{
    return "select "_ba + table.columns + " from " + table.name + " order by " + table.order;
}

QByteArray insertAll(const CopiedTable& table)
{
    const qsizetype columns = QByteArray(table.columns).count(',') + 1;
    QByteArray marks = "?";
    for (qsizetype i = 1; i < columns; ++i)
        marks += ",?";
    return "insert into "_ba + table.name + " (" + table.columns + ") values (" + marks + ")";
}

void countEntry(LedgerSummary& summary, const EngineStatement& row)
{
    ++summary.entries;
    const double amount = row.kind(amountColumn) == ColumnKind::Null ? 0 : row.doubleValue(amountColumn);
    const qint64 direction = row.kind(directionColumn) == ColumnKind::Null ? 0 : row.intValue(directionColumn);
    if (direction == 1)
        summary.received += amount;
    else if (direction == 2)
        summary.paid += amount;
}

// Binds the current row of `from` to `into`; a date that is no date is named in `badDates` instead.
void bindRow(const EngineStatement& from, EngineStatement& into, QStringList& badDates)
{
    for (int c = 0; c < from.columnCount(); ++c) {
        switch (from.kind(c)) {
        case ColumnKind::Null:
            break;
        case ColumnKind::Integer:
            into.bindInt(c + 1, from.intValue(c));
            break;
        case ColumnKind::Real:
            into.bindDouble(c + 1, from.doubleValue(c));
            break;
        case ColumnKind::Text:
            if (from.dateColumn(c)) {
                const QDate date = readDateText(from.utf8(c));
                if (!date.isValid())
                    badDates << u"%1 ('%2')"_s.arg(from.intValue(0)).arg(QString::fromUtf8(from.utf8(c)));
                into.bindDate(c + 1, date);
            } else {
                into.bindText(c + 1, QString::fromUtf8(from.utf8(c)));
            }
            break;
        }
    }
}

QString differs(const LedgerSummary& read, const LedgerSummary& written)
{
    return u"The copied ledger does not match the one read: %1 entries, Received %2, Paid %3 were read; "
           u"%4 entries, Received %5, Paid %6 were written. Nothing was copied."_s.arg(read.entries)
               .arg(read.received, 0, 'g', 17)
               .arg(read.paid, 0, 'g', 17)
               .arg(written.entries)
               .arg(written.received, 0, 'g', 17)
               .arg(written.paid, 0, 'g', 17);
}

// Throws when what was written does not tally with what was read.
void checkTally(const LedgerSummary& read, const LedgerSummary& written)
{
    if (written.entries != read.entries || written.received != read.received || written.paid != read.paid)
        throw StoreError(differs(read, written));
}

bool holdsAnything(Connection& ledger)
{
    for (const CopiedTable& table : copiedTables) {
        const auto any = ledger.engine().prepare("select 1 from "_ba + table.name + " limit 1");
        if (any->next())
            return true;
    }
    return false;
}

LedgerSummary copyRows(Connection& from, Connection& to, const ProgressCheck& progress)
{
    LedgerSummary read;
    QStringList badDates;
    for (const CopiedTable& table : copiedTables) {
        const auto rows = from.engine().prepare(selectAll(table));
        const auto insert = to.engine().prepare(insertAll(table));
        const bool entries = &table == &copiedTables[0];
        while (rows->next()) {
            if (entries) {
                countEntry(read, *rows);
                checkProgress(progress, read.entries);
            }
            bindRow(*rows, *insert, badDates);
            if (badDates.isEmpty())
                insert->run();
            else
                insert->reset();
        }
    }
    if (!badDates.isEmpty())
        throw StoreError(u"These entries have dates that are no dates, which a server ledger cannot hold: %1. "
                         u"Correct them first; nothing was copied."_s.arg(badDates.mid(0, namedBadDates).join(u", ")));
    return read;
}

LedgerSummary tally(Connection& ledger, const ProgressCheck& progress, qint64 doneBefore)
{
    LedgerSummary summary;
    const auto rows = ledger.engine().prepare(selectAll(copiedTables[0]));
    while (rows->next()) {
        countEntry(summary, *rows);
        checkProgress(progress, doneBefore + summary.entries);
    }
    return summary;
}

// A new, empty ledger file at `path`, private before anything is written into it.
void makeEmptyLedgerFile(const QString& path)
{
    removeDatabaseFile(path);
    const Db db = openDb(path, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
    exec(db.get(), ledgerSchemaSql);
}

// A name of its own beside `path` for the file to be written, so nothing at `path` is touched yet.
QString nameBeside(const QString& path)
{
    QTemporaryFile beside(path + u".copying-XXXXXX"_s);
    beside.setAutoRemove(false);
    if (!beside.open())
        throw StoreError(u"Could not write a file in '%1': %2"_s.arg(
            QDir::toNativeSeparators(QFileInfo(path).absolutePath()), beside.errorString()));
    return beside.fileName();
}

} // namespace

LedgerSummary tallyLedger(Connection& ledger)
{
    return tally(ledger, {}, 0);
}

LedgerSummary copyLedgerContents(Connection& from, Connection& to, CopyInto into, const ProgressCheck& progress)
{
    LedgerSummary read;
    from.engine().beginReading();
    try {
        inOneBatch(to, [&] {
            if (into == CopyInto::ReplacingItsContents) {
                for (const CopiedTable& table : copiedTables)
                    to.engine().prepare("delete from "_ba + table.name)->run();
            } else if (holdsAnything(to)) {
                throw StoreError(u"The ledger to copy into is not empty; nothing was copied."_s);
            }
            read = copyRows(from, to, progress);
            to.engine().moveIdsPastStoredRows();
            checkTally(read, tally(to, progress, read.entries));
        });
    } catch (...) {
        from.engine().rollback();
        throw;
    }
    from.engine().commit();
    return read;
}

LedgerSummary writeLedgerFile(Connection& from, const QString& path, const ProgressCheck& progress)
{
    try {
        makeEmptyLedgerFile(path);
        Connection copy;
        copy.open(fileConnectionString(path));
        return copyLedgerContents(from, copy, CopyInto::EmptyLedger, progress);
    } catch (...) {
        removeDatabaseFile(path);
        throw;
    }
}

LedgerSummary copyLedgerToFile(Connection& from, const QString& path, const ProgressCheck& progress)
{
    const QString beside = nameBeside(path);
    try {
        const LedgerSummary copied = writeLedgerFile(from, beside, progress);
        // Read back over a connection of its own, once the copy's is closed, and added up alike.
        Connection written;
        written.open(fileConnectionString(beside), Connection::Access::ReadOnly);
        checkTally(copied, tallyLedger(written));
        written.close();
        syncToDisk(beside);
        if (std::rename(QFile::encodeName(beside).constData(), QFile::encodeName(path).constData()) != 0)
            throw StoreError(u"Could not name the copy '%1'."_s.arg(QDir::toNativeSeparators(path)));
        syncToDisk(QFileInfo(path).absolutePath());
        return copied;
    } catch (...) {
        removeDatabaseFile(beside);
        throw;
    }
}
