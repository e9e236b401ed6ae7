#pragma once

#include "base/direction.h"
#include "base/progress.h"

#include <QDate>
#include <QHash>
#include <QList>
#include <QString>
#include <memory>
#include <vector>

class Connection;
class EngineStatement;

// An entry brought in from a file, as it is stored.
struct NewEntry
{
    QDate date;
    double amount = 0;
    Direction direction = Direction::Received;
    QString reason, fromCompany, toCompany, paymentMethod, notes;
};

// The compiled insert of new entries, for adding many within one transaction.
class NewEntryInsert
{
public:
    explicit NewEntryInsert(Connection& connection);
    ~NewEntryInsert();
    NewEntryInsert(const NewEntryInsert&) = delete;
    NewEntryInsert& operator=(const NewEntryInsert&) = delete;

    // Returns the new entry's id; throws StoreError.
    qint64 add(const NewEntry& entry);

private:
    std::unique_ptr<EngineStatement> insert_;
};

// Adds the entries in one transaction: all of them or, when one cannot be written, none (and
// StoreError says why). Returns their new ids, in order. `progress` is asked with the entries
// added; when it says stop, none stays and Cancelled is thrown.
QList<qint64> addEntries(Connection& connection, const std::vector<NewEntry>& entries,
                         const ProgressCheck& progress = {});

// The ledger's entries dated within a range, indexed to answer an import's question: does the
// ledger hold this entry already? "The same" is the same date, amount to the cent, direction,
// reason, payer and payee, texts compared without regard to case and surrounding blanks. Built
// once for an import, asked again whenever its columns are chosen anew.
class LedgerEntryIndex
{
public:
    LedgerEntryIndex(Connection& connection, QDate first, QDate last);
    ~LedgerEntryIndex();
    LedgerEntryIndex(const LedgerEntryIndex&) = delete;
    LedgerEntryIndex& operator=(const LedgerEntryIndex&) = delete;

    bool contains(const NewEntry& entry) const;

private:
    struct Key
    {
        qint64 julianDay;
        qint64 cents;
        Direction direction;
        bool operator==(const Key&) const = default;
        friend size_t qHash(const Key& key, size_t seed = 0) noexcept
        {
            return qHashMulti(seed, key.julianDay, key.cents, storedValue(key.direction));
        }
    };
    static Key keyOf(QDate date, double amount, Direction direction);

    Connection& connection_;
    QMultiHash<Key, qint64> ids_;
    mutable std::unique_ptr<EngineStatement> texts_;
};
