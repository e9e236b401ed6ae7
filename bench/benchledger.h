#pragma once

#include <QString>
#include <QTemporaryDir>

// A benchmark's surroundings: HOME and the XDG folders in a temporary folder holding a generated
// ledger of `count` entries as the user's ledger. Generated ledgers are cached between runs.
class BenchHome
{
public:
    explicit BenchHome(int count);
    QString ledgerPath() const;

private:
    QTemporaryDir home_;
};

// A generated ledger file of `count` entries, made at the first call and cached between runs.
QString generatedLedger(int count);

// Opens the program-wide connection on the user's ledger.
void openUserLedger();
