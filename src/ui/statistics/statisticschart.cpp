#include "ui/statistics/statisticschart.h"

#include "money/moneyformat.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QCategoryAxis>
#include <QChart>
#include <QChartView>
#include <QCursor>
#include <QEvent>
#include <QFontMetrics>
#include <QHorizontalBarSeries>
#include <QLineSeries>
#include <QToolTip>
#include <QVBoxLayout>
#include <cmath>

namespace {

// Blue and orange stay apart for every common colour-vision deficiency; Paid Out is also hatched,
// so the two differ by more than their colour.
const QColor receivedColour(0x1f, 0x6f, 0xb4);
const QColor paidColour(0xd9, 0x5f, 0x02);
const QColor balanceColour(0x55, 0x55, 0x55);

QBrush brushOf(Direction direction)
{
    return direction == Direction::Received ? QBrush(receivedColour) : QBrush(paidColour, Qt::BDiagPattern);
}

QBarSet* barSet(const QString& name, Direction direction, const QList<double>& values)
{
    auto* set = new QBarSet(name);
    set->append(values);
    set->setBrush(brushOf(direction));
    set->setPen(QPen(direction == Direction::Received ? receivedColour : paidColour, 1.5));
    return set;
}

// A value axis from the figures' range, its labels in the program's money format.
QCategoryAxis* moneyAxis(double low, double high)
{
    low = std::min(low, 0.0);
    high = std::max(high, 0.0);
    if (high - low <= 0)
        high = low + 1;
    // Steps of 1, 2 or 5 times a power of ten, about five of them.
    const double rough = (high - low) / 5;
    const double power = std::pow(10.0, std::floor(std::log10(rough)));
    const double step = rough / power <= 1   ? power
                        : rough / power <= 2 ? 2 * power
                        : rough / power <= 5 ? 5 * power
                                             : 10 * power;
    auto* axis = new QCategoryAxis;
    axis->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
    const double first = std::floor(low / step) * step;
    const double last = std::ceil(high / step) * step;
    axis->setRange(first, last);
    axis->setStartValue(first);
    for (double value = first; value <= last + step / 2; value += step)
        axis->append(FormatMoney(value), value);
    return axis;
}

// Long names would push the bars out of sight: the axis shows them shortened, the table whole.
QStringList elided(const QStringList& names, const QFont& font)
{
    QFontMetrics metrics(font);
    QStringList shown;
    for (const QString& name : names)
        shown.append(metrics.elidedText(name, Qt::ElideRight, metrics.averageCharWidth() * 28));
    return shown;
}

void tellValueOnHover(QBarSet* set)
{
    QObject::connect(set, &QBarSet::hovered, set, [set](bool status, int index) {
        if (status)
            QToolTip::showText(QCursor::pos(), set->label() + QStringLiteral(": ") + FormatMoney(set->at(index)));
        else
            QToolTip::hideText();
    });
}

} // namespace

// The view is made with its chart: one made without would make a chart of its own, which setChart
// would let go without deleting.
StatisticsChart::StatisticsChart(QWidget* parent)
    : QWidget(parent), chart_(new QChart), view_(new QChartView(chart_, this))
{
    view_->setRenderHint(QPainter::Antialiasing);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(view_);
    chart_->legend()->setAlignment(Qt::AlignBottom);
    followPalette();
}

void StatisticsChart::followPalette()
{
    // The chart draws its own background: take the window's, so a dark desktop stays dark.
    const QPalette colours = palette();
    chart_->setBackgroundBrush(colours.base());
    chart_->setTitleBrush(colours.text());
    chart_->legend()->setLabelColor(colours.color(QPalette::Text));
    for (QAbstractAxis* axis : chart_->axes()) {
        axis->setLabelsColor(colours.color(QPalette::Text));
        axis->setGridLineColor(colours.color(QPalette::Mid));
    }
}

void StatisticsChart::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    // The desktop switched between light and dark while the window was open.
    if (event->type() == QEvent::PaletteChange)
        followPalette();
}

void StatisticsChart::reset()
{
    chart_->removeAllSeries();
    for (QAbstractAxis* axis : chart_->axes()) {
        chart_->removeAxis(axis);
        delete axis;
    }
}

void StatisticsChart::showOverTime(const QStringList& steps, const QList<double>& received, const QList<double>& paid,
                                   const QList<double>& balance)
{
    reset();
    auto* bars = new QBarSeries;
    QBarSet* in = barSet(tr("Received"), Direction::Received, received);
    QBarSet* out = barSet(tr("Paid Out"), Direction::PaidOut, paid);
    bars->append(in);
    bars->append(out);
    for (auto [set, direction] : {std::pair(in, Direction::Received), std::pair(out, Direction::PaidOut)}) {
        tellValueOnHover(set);
        connect(set, &QBarSet::doubleClicked, this,
                [this, direction](int index) { Q_EMIT barActivated(index, direction); });
    }
    auto* line = new QLineSeries;
    line->setName(tr("Balance"));
    line->setPen(QPen(balanceColour, 2, Qt::DashLine));
    line->setPointsVisible(true);
    for (int i = 0; i < balance.size(); ++i)
        line->append(i, balance[i]);
    chart_->addSeries(bars);
    chart_->addSeries(line);

    // A label for every step while they fit, then for every k-th: years of months stay legible,
    // and laying out hundreds of labels would make every change of period slow.
    auto* categories = new QCategoryAxis;
    categories->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
    categories->setRange(-0.5, double(steps.size()) - 0.5);
    categories->setGridLineVisible(false);
    const qsizetype every = std::max<qsizetype>(1, (steps.size() + 15) / 16);
    for (qsizetype i = 0; i < steps.size(); i += every)
        categories->append(steps[i], double(i));
    chart_->addAxis(categories, Qt::AlignBottom);
    double low = 0, high = 0;
    for (const QList<double>* values : {&received, &paid})
        for (double value : *values) {
            low = std::min(low, value);
            high = std::max(high, value);
        }
    // The balance carried in can dwarf a month's bars: it has its own scale on the right.
    QCategoryAxis* money = moneyAxis(low, high);
    chart_->addAxis(money, Qt::AlignLeft);
    double lowBalance = 0, highBalance = 0;
    for (double value : balance) {
        lowBalance = std::min(lowBalance, value);
        highBalance = std::max(highBalance, value);
    }
    QCategoryAxis* balanceAxis = moneyAxis(lowBalance, highBalance);
    balanceAxis->setLinePen(QPen(balanceColour, 1, Qt::DashLine));
    balanceAxis->setGridLineVisible(false);
    chart_->addAxis(balanceAxis, Qt::AlignRight);
    bars->attachAxis(categories);
    bars->attachAxis(money);
    // The line's points stand at the categories' centres.
    line->attachAxis(categories);
    line->attachAxis(balanceAxis);
    chart_->legend()->setVisible(true);
    followPalette();
}

void StatisticsChart::showRanked(const QStringList& names, const QList<double>& amounts, Direction direction)
{
    reset();
    // The axis lists from the bottom up: reversed, the largest stands at the top.
    QStringList shownNames = elided(names, font());
    QList<double> values = amounts;
    std::reverse(shownNames.begin(), shownNames.end());
    std::reverse(values.begin(), values.end());
    auto* bars = new QHorizontalBarSeries;
    QBarSet* set = barSet(direction == Direction::Received ? tr("Received") : tr("Paid Out"), direction, values);
    bars->append(set);
    tellValueOnHover(set);
    const qsizetype count = values.size();
    connect(set, &QBarSet::doubleClicked, this,
            [this, count, direction](int index) { Q_EMIT barActivated(int(count - 1 - index), direction); });
    chart_->addSeries(bars);
    auto* categories = new QBarCategoryAxis;
    categories->append(shownNames);
    chart_->addAxis(categories, Qt::AlignLeft);
    double high = 0;
    for (double value : values)
        high = std::max(high, value);
    QCategoryAxis* money = moneyAxis(0, high);
    chart_->addAxis(money, Qt::AlignBottom);
    bars->attachAxis(categories);
    bars->attachAxis(money);
    chart_->legend()->setVisible(false);
    followPalette();
}

QMap<QString, QList<double>> StatisticsChart::seriesValues() const
{
    QMap<QString, QList<double>> values;
    for (QAbstractSeries* series : chart_->series()) {
        if (auto* bars = qobject_cast<QAbstractBarSeries*>(series)) {
            for (QBarSet* set : bars->barSets()) {
                QList<double>& list = values[set->label()];
                for (int i = 0; i < set->count(); ++i)
                    list.append(set->at(i));
                // Ranked bars are held bottom up: give them back in the table's order.
                if (qobject_cast<QHorizontalBarSeries*>(series))
                    std::reverse(list.begin(), list.end());
            }
        } else if (auto* line = qobject_cast<QLineSeries*>(series)) {
            QList<double>& list = values[line->name()];
            for (const QPointF& point : line->points())
                list.append(point.y());
        }
    }
    return values;
}

void StatisticsChart::paint(QPainter& painter, const QRectF& target)
{
    // Laid out at a screen size and scaled to the target, so a hidden tab prints as it would show,
    // and the texts keep their size against the bars on any page.
    const QSizeF shown = chart_->size();
    const QSizeF laidOut(900, 900 * target.height() / target.width());
    chart_->resize(laidOut);
    chart_->scene()->render(&painter, target, QRectF(chart_->pos(), laidOut));
    chart_->resize(shown);
}
