#pragma once

#include "store/storeerror.h"

#include <QList>
#include <QVariant>
#include <array>

// The ledger's fields of an entry.
enum class EntryField { Id, Date, Amount, Reason, FromCompany, ToCompany, PaymentMethod, Notes, Direction };

// An entry's row exactly as the ledger stores it, NULLs kept (invalid), one value per EntryField:
// integers as qlonglong, reals as double, readable dates as QDate, anything else as its text. A
// column the ledger lacks stays invalid.
struct EntryImage
{
    std::array<QVariant, 9> stored;

    const QVariant& operator[](EntryField field) const { return stored[size_t(field)]; }
    QVariant& operator[](EntryField field) { return stored[size_t(field)]; }

    // The fields whose stored value differs from `other`'s, in EntryField order. Values of another
    // type differ even when they read alike: the stored row is what counts.
    QList<EntryField> differences(const EntryImage& other) const;
    bool operator==(const EntryImage& other) const { return differences(other).isEmpty(); }
};

// The entry is no longer in the ledger: another program deleted it. Nothing was written.
class EntryGone : public StoreError
{
public:
    explicit EntryGone(const QString& id);
    QString id;
};

// The entry is not as it was read: another program changed it since. Nothing was written.
class EntryChanged : public StoreError
{
public:
    EntryChanged(const QString& id, EntryImage before, EntryImage now);
    QString id;
    EntryImage before;
    EntryImage now;
    QList<EntryField> fields; // those that differ, in EntryField order
};
