#include "importing/importvalues.h"

#include <QLocale>
#include <algorithm>
#include <array>
#include <vector>

namespace {

constexpr std::array orders{DateOrder::DMY, DateOrder::MDY, DateOrder::YMD};

// One sample read in each order of `orders`.
struct Sample
{
    std::array<std::optional<QDate>, orders.size()> readings;
    bool yearFirst = false;
    QChar separator; // after the first number: '.' in "01.12.2026"
};

constexpr size_t indexOf(DateOrder order)
{
    return size_t(std::find(orders.begin(), orders.end(), order) - orders.begin());
}

Sample sampleOf(QStringView text)
{
    Sample sample;
    for (size_t i = 0; i < orders.size(); ++i)
        sample.readings[i] = parseImportDate(text, orders[i]);
    text = text.trimmed();
    qsizetype digits = 0;
    while (digits < text.size() && text[digits].isDigit())
        ++digits;
    sample.yearFirst = sample.readings[indexOf(DateOrder::YMD)] && digits == 4;
    sample.separator = digits < text.size() ? text[digits] : QChar();
    return sample;
}

// Whether a sample shows the order by itself: a year first, or a day above 12 that only this order reads.
bool shows(const Sample& sample, DateOrder order)
{
    if (order == DateOrder::YMD)
        return sample.yearFirst;
    const DateOrder other = order == DateOrder::DMY ? DateOrder::MDY : DateOrder::DMY;
    return sample.readings[indexOf(order)] && !sample.readings[indexOf(other)];
}

DateOrder localeDateOrder()
{
    const QString format = QLocale().dateFormat(QLocale::ShortFormat);
    const qsizetype day = format.indexOf(u'd'), month = format.indexOf(u'M'), year = format.indexOf(u'y');
    const auto before = [](qsizetype a, qsizetype b) { return a >= 0 && (b < 0 || a < b); };
    if (before(year, day) && before(year, month))
        return DateOrder::YMD;
    if (before(month, day))
        return DateOrder::MDY;
    return DateOrder::DMY;
}

// The orders under which most samples read as dates and, between equals, most show themselves.
QList<DateOrder> bestReadOrders(const std::vector<Sample>& samples)
{
    using Tally = std::pair<int, int>; // read, shown
    std::array<Tally, orders.size()> tallies{};
    for (const Sample& sample : samples) {
        for (size_t i = 0; i < orders.size(); ++i) {
            tallies[i].first += sample.readings[i].has_value();
            tallies[i].second += shows(sample, orders[i]);
        }
    }
    const Tally best = *std::max_element(tallies.begin(), tallies.end());
    QList<DateOrder> candidates;
    for (size_t i = 0; i < orders.size(); ++i) {
        if (tallies[i] == best)
            candidates.append(orders[i]);
    }
    return candidates;
}

bool readAlike(const Sample& sample, const QList<DateOrder>& candidates)
{
    return std::all_of(candidates.begin(), candidates.end(), [&](DateOrder order) {
        return sample.readings[indexOf(order)] == sample.readings[indexOf(candidates.front())];
    });
}

// Statements are sorted by date, newest first or last; a misread order scatters them.
bool runsInOrder(const std::vector<Sample>& samples, DateOrder order)
{
    std::vector<QDate> dates;
    for (const Sample& sample : samples) {
        if (const auto date = sample.readings[indexOf(order)])
            dates.push_back(*date);
    }
    return std::is_sorted(dates.begin(), dates.end()) || std::is_sorted(dates.rbegin(), dates.rend());
}

} // namespace

Guess<DateOrder> guessDateOrder(const QList<QString>& texts, const DateClues& clues)
{
    std::vector<Sample> samples;
    samples.reserve(size_t(texts.size()));
    for (const QString& text : texts)
        samples.push_back(sampleOf(text));

    QList<DateOrder> candidates = bestReadOrders(samples);
    if (candidates.size() == 1)
        return {candidates.front(), GuessBasis::Evidence};
    const auto regional = [&] {
        const DateOrder own = localeDateOrder();
        return candidates.contains(own) ? own : candidates.front();
    };
    std::vector<const Sample*> ambiguous;
    for (const Sample& sample : samples) {
        if (!readAlike(sample, candidates))
            ambiguous.push_back(&sample);
    }
    if (ambiguous.empty())
        return {regional(), GuessBasis::Indifferent};

    // Dots, a decimal comma and titles in a day-first language: no month-first statement has them.
    const auto dotted = std::count_if(ambiguous.begin(), ambiguous.end(),
                                      [](const Sample* sample) { return sample->separator == u'.'; });
    if (2 * size_t(dotted) > ambiguous.size() || clues.decimalMark == DecimalMark::Comma || clues.dayFirstTitles)
        candidates.removeAll(DateOrder::MDY);
    if (candidates.size() > 1) {
        QList<DateOrder> inOrder;
        for (DateOrder order : candidates) {
            if (runsInOrder(samples, order))
                inOrder.append(order);
        }
        if (inOrder.size() == 1)
            candidates = inOrder;
    }
    if (candidates.size() == 1)
        return {candidates.front(), GuessBasis::Evidence};
    return {regional(), GuessBasis::Open};
}
