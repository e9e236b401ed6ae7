#pragma once

#include <QString>
#include <QStringList>

// What a ledger holds after a writer ended, read through the store as the program's next start would.
struct LedgerCheck
{
    bool intact = false;    // PRAGMA integrity_check said "ok"
    QString problem;        // the check's own words, or the store's error
    QStringList notes;      // the notes of every row in tblData, by id
    qsizetype rowCount = 0; // rows in tblData
};

LedgerCheck checkLedger(const QString& dataRoot);

// Makes <dataRoot>/Marrowfen/Quorvane/dbData.mdb from the template beside this program.
void makeLedger(const QString& dataRoot);
