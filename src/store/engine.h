#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QDate>
#include <QString>
#include <QStringView>
#include <memory>

// What the store asks of the database under a ledger. The store's helpers speak to this seam only,
// so another engine can sit under the same connection.

enum class LedgerAccess { ReadWrite, ReadOnly };

// What a value of the current row holds; a date column's values are texts here.
enum class ColumnKind { Null, Integer, Real, Text };

// One compiled statement with '?' parameters (numbered from 1), its rows read forward.
class EngineStatement
{
public:
    virtual ~EngineStatement() = default;

    virtual void bindInt(int index, qint64 value) = 0;
    virtual void bindDouble(int index, double value) = 0;
    virtual void bindText(int index, QStringView value) = 0;
    // The ledger stores dates as ISO text; an invalid date binds the empty text.
    virtual void bindDate(int index, QDate value) = 0;

    // Runs the statement at the first call; true while a row is current. A failure throws
    // StoreError with the engine's message and leaves the statement ready to run again.
    virtual bool next() = 0;
    // The rows the last run changed, once it ran to its end.
    virtual qint64 changes() const = 0;
    // Ready to run again, its parameters unbound.
    virtual void reset() = 0;

    virtual int columnCount() const = 0;
    virtual QString columnName(int column) const = 0;
    // Declared as a date: its texts are read back as dates.
    virtual bool dateColumn(int column) const = 0;
    virtual ColumnKind kind(int column) const = 0;
    virtual qint64 intValue(int column) const = 0;
    virtual double doubleValue(int column) const = 0;
    // Valid until the next row: the refill of a long list reads its texts without a copy.
    virtual QByteArrayView utf8(int column) const = 0;

    // Runs the statement to its end and makes it ready again; returns the rows it changed.
    qint64 run();
    // Runs an insert that returns the new row's id, and makes it ready again.
    qint64 runForId();
};

// What statements on one connection did to the ledger, recorded until it is destroyed.
class ChangeRecording
{
public:
    virtual ~ChangeRecording() = default;
    // The changes made since the recording started; empty when nothing changed.
    virtual QByteArray changes() = 0;
};

class LedgerEngine
{
public:
    virtual ~LedgerEngine() = default;

    // Statements of the ledger dialect, as statements.cpp writes them; exactly one per text.
    virtual void execute(const QString& ledgerStatement) = 0;
    virtual std::unique_ptr<EngineStatement> query(const QString& ledgerStatement) = 0;
    // A statement of the store's own, with '?' parameters; exactly one per text.
    virtual std::unique_ptr<EngineStatement> prepare(const QByteArray& storeSql) = 0;

    // A write transaction, taken at once.
    virtual void begin() = 0;
    // A read-only transaction: the reads until commit() see the ledger as it was at the first one.
    virtual void beginReading() = 0;
    // After rows were stored with ids of their own: the ids given from now on lie above all of them,
    // and never below one given before.
    virtual void moveIdsPastStoredRows() = 0;
    virtual void commit() = 0;
    virtual void rollback() = 0;
    // Keeps other programs from changing or deleting the entry `id` until the transaction ends.
    virtual void lockEntry(const QString& id) = 0;

    // Records the changes to the entries and to the record of posted repeating entries.
    virtual std::unique_ptr<ChangeRecording> record() = 0;
    // Applies recorded changes in one transaction, or none of them: StaleChange when a row is no
    // longer as they expect it.
    virtual void apply(const QByteArray& changes) = 0;

    // Whether another program changed the ledger since the last call (or since the ledger was
    // opened): what this connection writes itself never counts. Reads only what has already arrived
    // and never waits, so the list may ask it every few hundred milliseconds. Throws StoreError.
    virtual bool othersChanged() = 0;
};
