#include "ledgerlist/ledgermodel.h"

#include "ledgerlist/foldedtext.h"
#include "ledgerlist/stretches.h"
#include "money/dateformat.h"
#include "money/moneyformat.h"

#include <QLocale>
#include <QSet>
#include <cstring>

namespace {

constexpr qsizetype chunkBytes = 1 << 20;

} // namespace

void LedgerModel::addColumn(const QString& title)
{
    beginInsertColumns({}, int(titles_.size()), int(titles_.size()));
    titles_.append(title);
    endInsertColumns();
}

QString LedgerModel::columnTitle(int column) const
{
    return titles_.value(column);
}

void LedgerModel::beginRefill(bool keepRows)
{
    beginResetModel();
    if (!keepRows) {
        rows_.clear();
        chunks_.clear();
        chunkUsed_ = chunkSize_ = 0;
        asciiWorkedOut_ = 0;
        moneyFormats_.clear();
    }
    if (moneyFormats_.isEmpty() || moneyFormats_.last() != moneyFormat())
        moneyFormats_.append(moneyFormat());
    dateFormat_ = shortDateFormatWithFullYear();
    shownDates_.clear();
}

void LedgerModel::endRefill()
{
    endResetModel();
}

char* LedgerModel::reserveText(qsizetype size, quint32& chunk, quint32& offset)
{
    if (chunks_.empty() || chunkUsed_ + size > chunkSize_) {
        chunkSize_ = std::max(chunkBytes, size);
        chunks_.push_back(std::make_unique<char[]>(size_t(chunkSize_)));
        chunkUsed_ = 0;
    }
    chunk = quint32(chunks_.size() - 1);
    offset = quint32(chunkUsed_);
    chunkUsed_ += size;
    return chunks_.back().get() + offset;
}

void LedgerModel::appendRow(const LedgerRowValues& values)
{
    const QByteArrayView texts[6] = {values.date.isValid() ? QByteArrayView() : values.dateText,
                                     values.reason,
                                     values.fromCompany,
                                     values.toCompany,
                                     values.paymentMethod,
                                     values.notes};
    Row row{};
    qsizetype total = 0;
    for (int i = 0; i < 6; ++i) {
        row.lengths[i] = quint32(texts[i].size());
        total += texts[i].size();
    }
    char* out = reserveText(total, row.chunk, row.offset);
    for (const QByteArrayView& text : texts) {
        if (!text.isEmpty())
            std::memcpy(out, text.data(), size_t(text.size()));
        out += text.size();
    }

    row.id = values.id;
    row.julianDay = values.date.isValid() ? values.date.toJulianDay() : 0;
    row.amount = values.amount;
    row.format = quint16(moneyFormats_.size() - 1);
    row.direction = values.direction ? quint8(storedValue(*values.direction)) : 0;
    row.flags =
        quint8((values.hasId ? HasId : 0) | (values.date.isValid() ? HasDate : 0) | (values.hasAmount ? HasAmount : 0));
    rows_.push_back(row);
}

void LedgerModel::workOutAsciiTexts()
{
    const size_t from = asciiWorkedOut_;
    inStretches(rows_.size() - from, [&](size_t, size_t begin, size_t end) {
        for (size_t i = from + begin; i < from + end; ++i) {
            Row& row = rows_[i];
            row.asciiTexts = 0;
            for (int field = 1; field <= 5; ++field)
                row.asciiTexts |= isAscii(storedText(row, field)) ? quint8(1u << field) : 0;
        }
    });
    asciiWorkedOut_ = rows_.size();
}

QByteArrayView LedgerModel::storedText(const Row& row, int field) const
{
    qsizetype start = row.offset;
    for (int i = 0; i < field; ++i)
        start += row.lengths[i];
    return QByteArrayView(chunks_[row.chunk].get() + start, row.lengths[field]);
}

QString LedgerModel::text(int rowIndex, int column) const
{
    if (rowIndex < 0 || size_t(rowIndex) >= rows_.size())
        return {};
    const Row& row = rows_[size_t(rowIndex)];
    switch (column) {
    case idColumn:
        return row.flags & HasId ? QString::number(row.id) : QString();
    case dateColumn:
        if (row.flags & HasDate)
            return shownDate(row.julianDay);
        return QString::fromUtf8(storedText(row, 0));
    case amountColumn:
        return row.flags & HasAmount ? formatWithPattern(row.amount, moneyFormats_[row.format]) : QString();
    case directionColumn:
        return row.direction ? directionText(Direction(row.direction)) : QString();
    default:
        if (column >= firstTextColumn && column < directionColumn)
            return QString::fromUtf8(storedText(row, column - firstTextColumn + 1));
        return {};
    }
}

QString LedgerModel::shownDate(qint64 julianDay) const
{
    if (const auto it = shownDates_.constFind(julianDay); it != shownDates_.constEnd())
        return *it;
    QString text = QLocale().toString(QDate::fromJulianDay(julianDay), dateFormat_);
    if (shownDates_.size() < shownDatesBound)
        shownDates_.insert(julianDay, text);
    return text;
}

int LedgerModel::rowOfId(qint64 id) const
{
    for (size_t row = 0; row < rows_.size(); ++row) {
        if ((rows_[row].flags & HasId) && rows_[row].id == id)
            return int(row);
    }
    return -1;
}

bool LedgerModel::isTicked(int row) const
{
    return row >= 0 && size_t(row) < rows_.size() && (rows_[size_t(row)].flags & Ticked);
}

void LedgerModel::setTicked(int row, bool ticked)
{
    if (row < 0 || size_t(row) >= rows_.size())
        return;
    quint8& flags = rows_[size_t(row)].flags;
    flags = quint8(ticked ? flags | Ticked : flags & ~Ticked);
    const QModelIndex cell = index(row, idColumn);
    Q_EMIT dataChanged(cell, cell, {Qt::CheckStateRole});
}

QList<qint64> LedgerModel::tickedIds() const
{
    QList<qint64> ids;
    for (const Row& row : rows_) {
        if ((row.flags & Ticked) && (row.flags & HasId))
            ids.append(row.id);
    }
    return ids;
}

void LedgerModel::tickIds(const QList<qint64>& ids)
{
    if (ids.isEmpty())
        return;
    const QSet<qint64> wanted(ids.begin(), ids.end());
    int first = -1, last = -1;
    for (size_t i = 0; i < rows_.size(); ++i) {
        Row& row = rows_[i];
        if ((row.flags & HasId) && !(row.flags & Ticked) && wanted.contains(row.id)) {
            row.flags |= Ticked;
            first = first < 0 ? int(i) : first;
            last = int(i);
        }
    }
    // One notice for all: a hundred thousand ticks must not cost a hundred thousand repaints.
    if (first >= 0)
        Q_EMIT dataChanged(index(first, idColumn), index(last, idColumn), {Qt::CheckStateRole});
}

int LedgerModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(rows_.size());
}

int LedgerModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(titles_.size());
}

QVariant LedgerModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid())
        return {};
    if (role == Qt::DisplayRole || role == Qt::AccessibleTextRole)
        return text(index.row(), index.column());
    if (role == Qt::ToolTipRole && index.column() == firstTextColumn + 4)
        return text(index.row(), index.column());
    if (role == Qt::CheckStateRole && index.column() == idColumn)
        return isTicked(index.row()) ? Qt::Checked : Qt::Unchecked;
    return {};
}

QVariant LedgerModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < titles_.size())
        return titles_[section];
    return QAbstractTableModel::headerData(section, orientation, role);
}

Qt::ItemFlags LedgerModel::flags(const QModelIndex& index) const
{
    Qt::ItemFlags flags = QAbstractTableModel::flags(index);
    if (index.column() == idColumn)
        flags |= Qt::ItemIsUserCheckable;
    return flags;
}

bool LedgerModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (role != Qt::CheckStateRole || index.column() != idColumn)
        return false;
    setTicked(index.row(), value.value<Qt::CheckState>() == Qt::Checked);
    return true;
}
