#include "ledgercheck.h"

#include "store/connection.h"
#include "store/recordset.h"
#include "store/storeerror.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

using namespace Qt::StringLiterals;

LedgerCheck checkLedger(const QString& dataRoot)
{
    LedgerCheck check;
    try {
        Connection conn;
        conn.open(connectionString(dataRoot));
        Recordset integrity;
        integrity.open(u"PRAGMA integrity_check"_s, conn);
        QStringList verdict;
        for (; !integrity.eof(); integrity.moveNext())
            verdict << integrity.textValue(0);
        check.intact = verdict == QStringList{u"ok"_s};
        check.problem = verdict.join(u"; "_s);

        Recordset rows;
        rows.open(u"select notes from tblData order by id"_s, conn);
        const int notes = rows.fieldIndex(u"notes");
        for (; !rows.eof(); rows.moveNext()) {
            check.notes << rows.textValue(notes);
            ++check.rowCount;
        }
    } catch (const std::exception& e) {
        check.intact = false;
        check.problem = QString::fromStdString(e.what());
    }
    return check;
}

void makeLedger(const QString& dataRoot)
{
    const QString folder = dataRoot + u"/Marrowfen/Quorvane"_s;
    const QString ledger = folder + u"/dbData.mdb"_s;
    const QString blank = QCoreApplication::applicationDirPath() + u"/dbBlank.mdb"_s;
    if (!QDir().mkpath(folder) || !QFile::copy(blank, ledger) ||
        !QFile::setPermissions(ledger, QFile::ReadOwner | QFile::WriteOwner))
        throw StoreError(u"Could not make a ledger from "_s + blank);
}
