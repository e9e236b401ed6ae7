#pragma once

#include "store/entry.h"
#include "store/entryimage.h"
#include "store/recordset.h"

#include <QByteArrayView>
#include <array>
#include <functional>
#include <optional>

class Connection;

// Entries read from the ledger (every one, or one by id), field by field, so that a field that
// cannot be read fails on its own. A field whose column the ledger's table lacks throws
// StoreError naming it.
class EntryRows
{
public:
    bool atEnd() const { return rs_.eof(); }
    void next() { rs_.moveNext(); }
    void close() { rs_.close(); }

    bool has(EntryField field) const { return columns_[size_t(field)] >= 0; }
    // Throws StoreError "The ledger table has no column …" naming every column it lacks.
    void requireEveryColumn() const;

    // Inline: a refill reads nine fields of each of a million rows.
    bool isNull(EntryField field) const { return rs_.isNull(column(field)); }
    qint64 id() const { return rs_.intValue(column(EntryField::Id)); }
    // Invalid when the stored value is no date: text(EntryField::Date) then says what it is.
    QDate date() const { return rs_.dateValue(column(EntryField::Date)); }
    // 0 when none is stored.
    double amount() const { return rs_.doubleValue(column(EntryField::Amount)); }
    // No value reads as 0, which is no direction either.
    std::optional<Direction> direction() const
    {
        return directionFromStored(rs_.intValue(column(EntryField::Direction)));
    }
    QString text(EntryField field) const { return rs_.textValue(column(field)); }
    // The stored text as UTF-8, valid until next(): the fast path of a refill.
    QByteArrayView utf8(EntryField field) const { return rs_.utf8Value(column(field)); }
    // The whole row as a copy of it is written: the amount as the shortest text that reads back
    // as the same number. An entry with no direction throws StoreError.
    Entry entry() const;
    // The current row as stored, for a later save to check that nobody changed it meanwhile.
    EntryImage image() const;

private:
    friend class LedgerEntries;
    void open(const QString& statement, Connection& connection);
    int column(EntryField field) const
    {
        const int index = columns_[size_t(field)];
        return index >= 0 ? index : missingColumn(field);
    }
    // Throws the reader's own message for a column the ledger lacks.
    [[noreturn]] int missingColumn(EntryField field) const;

    Recordset rs_;
    std::array<int, 9> columns_{};
};

// The one way the windows and commands reach the ledger's entries. Behind each operation stands
// one statement, in the ledger's dialect.
class LedgerEntries
{
public:
    // Asks `connection` at each operation, so a ledger opened anew (after a restore) is the one used.
    explicit LedgerEntries(std::function<Connection&()> connection);
    explicit LedgerEntries(Connection& connection);

    void readAll(EntryRows& rows) const;                    // every entry, in the ledger's order
    void readOne(EntryRows& rows, const QString& id) const; // none when there is no such entry
    void add(const Entry& entry) const;
    // The same statement as add, spaced as Duplicate Selected has always sent it.
    void addCopy(const Entry& entry) const;
    void update(const Entry& entry, const QString& id) const;
    // The update of `update`, sent only while the entry still reads as `loaded`, with the entry
    // locked from that reading to the write. Otherwise writes nothing and throws EntryChanged, or
    // EntryGone when the entry is no longer there.
    void updateUnchanged(const Entry& entry, const QString& id, const EntryImage& loaded) const;
    // Throws EntryGone, writing nothing, when there is no such entry.
    void remove(const QString& id) const;
    qint64 count() const;

    // For the store's other services on the same ledger: import, undo, the report's staging.
    Connection& connection() const { return connection_(); }

private:
    // Inside a batch: locks the entry and reads it; throws EntryGone when there is none.
    EntryImage lockedImage(const QString& id) const;

    std::function<Connection&()> connection_;
};
