#pragma once

#include "base/direction.h"

#include <QAbstractTableModel>
#include <QDate>
#include <QHash>
#include <QStringList>
#include <deque>
#include <memory>
#include <optional>
#include <vector>

// One ledger row as ListData reads it; a field left unset shows as an empty cell.
// The texts are views into the reader's current row: appendRow copies them.
struct LedgerRowValues
{
    qint64 id = 0;
    bool hasId = false;
    QDate date;
    QByteArrayView dateText; // shown as stored when the stored value is no valid date
    double amount = 0;
    bool hasAmount = false;
    QByteArrayView reason, fromCompany, toCompany, paymentMethod, notes; // UTF-8 as stored
    std::optional<Direction> direction;                                  // none shows empty
};

// The ledger list's model. Rows are kept compactly (numbers and UTF-8 texts in one arena) and
// the shown texts are made on demand, so a million rows refill fast and cost little memory.
// Column 1 carries a tick box that the user sets; the spreadsheet export reads it.
class LedgerModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    // The list's columns, as start-up adds them.
    static constexpr int idColumn = 0, dateColumn = 1, amountColumn = 2, firstTextColumn = 3, directionColumn = 8;

    using QAbstractTableModel::QAbstractTableModel;

    void addColumn(const QString& title);
    QString columnTitle(int column) const;

    // A refill: clear (unless appending), append rows, then end. Views see one reset.
    void beginRefill(bool keepRows);
    void appendRow(const LedgerRowValues& row);
    void endRefill();

    // The text the list shows in a cell (column 0 is the id).
    QString text(int row, int column) const;
    bool isTicked(int row) const;
    // The row that lists the entry with this id; -1 when none does.
    int rowOfId(qint64 id) const;
    void setTicked(int row, bool ticked);
    // The ids of the ticked rows; tickIds ticks the rows listing these ids, so ticks can outlive a
    // refill that reads the ledger afresh.
    QList<qint64> tickedIds() const;
    void tickIds(const QList<qint64>& ids);

    // A row's stored values, read without making the shown texts, for the list's view to filter,
    // sort and add up by. The row must be below rowCount(); texts are 0 (the date as stored when
    // it is no valid date), then 1 to 5: reason, from, to, method and notes, in UTF-8.
    bool hasId(int row) const { return at(row).flags & HasId; }
    qint64 id(int row) const { return at(row).id; }
    bool hasDate(int row) const { return at(row).flags & HasDate; }
    qint64 julianDay(int row) const { return at(row).julianDay; }
    bool hasAmount(int row) const { return at(row).flags & HasAmount; }
    double amount(int row) const { return at(row).amount; }
    std::optional<Direction> direction(int row) const
    {
        return at(row).direction ? std::optional(Direction(at(row).direction)) : std::nullopt;
    }
    QByteArrayView storedText(int row, int text) const { return storedText(at(row), text); }
    // Works out which texts hold ASCII only, for the rows added since it last did: a refill never
    // pays for it, a search does once. Runs on every core and is done when it returns.
    void workOutAsciiTexts();
    // Whether text 1 to 5 holds ASCII only (the search then needs no case folding); known for the
    // rows workOutAsciiTexts has seen.
    bool isAsciiText(int row, int text) const { return at(row).asciiTexts & (1u << text); }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;

private:
    struct Row
    {
        qint64 id;
        qint64 julianDay;
        double amount;
        quint32 chunk;
        quint32 offset;
        quint32 lengths[6]; // date text, reason, from, to, method, notes
        quint16 format;
        quint8 direction; // the stored value, 0 for none
        quint8 flags;
        quint8 asciiTexts; // bit n: text n (reason .. notes, 1 to 5) holds ASCII only
    };
    enum Flag : quint8 { HasId = 1, HasDate = 2, HasAmount = 4, Ticked = 8 };

    const Row& at(int row) const { return rows_[size_t(row)]; }
    QByteArrayView storedText(const Row& row, int field) const;
    QString shownDate(qint64 julianDay) const;
    char* reserveText(qsizetype size, quint32& chunk, quint32& offset);

    QStringList titles_;
    size_t asciiWorkedOut_ = 0; // the rows whose asciiTexts are known
    std::deque<Row> rows_;
    std::vector<std::unique_ptr<char[]>> chunks_;
    qsizetype chunkUsed_ = 0;
    qsizetype chunkSize_ = 0;
    // The money format and date format of each refill, so rows keep the texts they were filled with.
    QStringList moneyFormats_;
    QString dateFormat_;
    // Dates written once per day: a long ledger has many entries on each, and writing a date in
    // the user's format is slow enough to show in an export of a million rows.
    mutable QHash<qint64, QString> shownDates_;
    static constexpr qsizetype shownDatesBound = 100'000;
};
