#include "ui/statistics/statisticswindow.h"

#include "app/prompter.h"
#include "base/clock.h"
#include "ledgerlist/ledgermodel.h"
#include "ledgerlist/ledgerview.h"
#include "money/moneyformat.h"
#include "ui/statistics/figuretable.h"
#include "ui/statistics/statisticschart.h"
#include "ui/statistics/statisticsperiod.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDateEdit>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QPainter>
#include <QPdfWriter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QSplitter>
#include <QStandardPaths>
#include <QTabWidget>
#include <QVBoxLayout>
#include <numeric>

using namespace Qt::StringLiterals;

namespace {

const char* const pageNames[] = {QT_TRANSLATE_NOOP("Statistics", "Over time"),
                                 QT_TRANSLATE_NOOP("Statistics", "By Reason"),
                                 QT_TRANSLATE_NOOP("Statistics", "By From"), QT_TRANSLATE_NOOP("Statistics", "By To"),
                                 QT_TRANSLATE_NOOP("Statistics", "By Method")};

QString tr(const char* text)
{
    return QCoreApplication::translate("Statistics", text);
}

RankedField fieldOf(StatisticsWindow::Page page)
{
    return RankedField(int(page) - int(StatisticsWindow::ByReason));
}

QString shareText(double share)
{
    return QLocale().toString(share * 100, 'f', 1) + u" %"_s;
}

FigureTable::Cell money(double value)
{
    return {FormatMoney(value), value};
}

QString rankedName(const RankedFigure& figure)
{
    if (figure.isRest)
        return tr("Everything else");
    return figure.name.isEmpty() ? tr("(none)") : figure.name;
}

} // namespace

StatisticsWindow::StatisticsWindow(const LedgerModel& model, const LedgerView& view,
                                   std::function<void(const LedgerFilter&)> drillDown, QWidget* parent)
    : QWidget(parent, Qt::Window), model_(model), view_(view), drillDown_(std::move(drillDown))
{
    setObjectName(u"Statistics"_s);
    setWindowTitle(tr("Statistics - Quorvane"));
    setAttribute(Qt::WA_DeleteOnClose);
    buildControls();
    connect(&view_, &LedgerView::shownChanged, this, [this] {
        onlyShown_->setEnabled(!view_.filter().isEmpty());
        refresh();
    });
    onlyShown_->setEnabled(!view_.filter().isEmpty());
    refresh();
    resize(960, 680);
}

void StatisticsWindow::buildControls()
{
    period_ = new QComboBox(this);
    period_->setObjectName(u"StatisticsPeriod"_s);
    period_->addItems(periodChoiceNames());
    period_->setCurrentIndex(int(PeriodChoice::Last12Months));
    period_->setAccessibleName(tr("Period"));
    from_ = new QDateEdit(today().addYears(-1), this);
    to_ = new QDateEdit(today(), this);
    for (QDateEdit* date : {from_, to_}) {
        date->setCalendarPopup(true);
        date->setEnabled(false);
    }
    from_->setObjectName(u"StatisticsFrom"_s);
    to_->setObjectName(u"StatisticsTo"_s);
    from_->setAccessibleName(tr("From"));
    to_->setAccessibleName(tr("To"));
    step_ = new QComboBox(this);
    step_->setObjectName(u"StatisticsStep"_s);
    step_->addItems({tr("By month"), tr("By quarter"), tr("By year")});
    step_->setAccessibleName(tr("Step"));
    direction_ = new QComboBox(this);
    direction_->setObjectName(u"StatisticsDirection"_s);
    direction_->addItems({tr("Paid Out"), tr("Received")});
    direction_->setAccessibleName(tr("Ranked by"));
    onlyShown_ = new QCheckBox(tr("Only the entries shown in the list"), this);
    onlyShown_->setObjectName(u"StatisticsOnlyShown"_s);
    unusable_ = new QLabel(this);
    unusable_->setObjectName(u"StatisticsUnusable"_s);

    // The choices keep their whole texts however narrow the window is made.
    for (QComboBox* combo : {period_, step_, direction_})
        combo->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    auto* choices = new QHBoxLayout;
    const auto labelled = [&](const QString& text, QWidget* field) {
        auto* label = new QLabel(text, this);
        label->setBuddy(field);
        choices->addWidget(label);
        choices->addWidget(field);
    };
    labelled(tr("&Period:"), period_);
    labelled(tr("F&rom:"), from_);
    labelled(tr("&To:"), to_);
    choices->addWidget(step_);
    labelled(tr("&Ranked:"), direction_);
    choices->addStretch();

    pages_ = new QTabWidget(this);
    for (int page = 0; page < pageCount; ++page)
        pages_->addTab(buildPage(Page(page)), tr(pageNames[page]));
    connect(pages_, &QTabWidget::currentChanged, this, [this](int page) { showPage(Page(page)); });

    auto* print = new QPushButton(tr("&Print…"), this);
    auto* pdf = new QPushButton(tr("Save as P&DF…"), this);
    auto* png = new QPushButton(tr("Save as P&NG…"), this);
    print->setObjectName(u"StatisticsPrint"_s);
    pdf->setObjectName(u"StatisticsPdf"_s);
    png->setObjectName(u"StatisticsPng"_s);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(onlyShown_);
    bottom->addWidget(unusable_);
    bottom->addStretch();
    bottom->addWidget(print);
    bottom->addWidget(pdf);
    bottom->addWidget(png);

    auto* layout = new QVBoxLayout(this);
    // The window cannot be made narrower than its choices.
    layout->setSizeConstraint(QLayout::SetMinimumSize);
    layout->addLayout(choices);
    layout->addWidget(pages_, 1);
    layout->addLayout(bottom);

    connect(period_, &QComboBox::currentIndexChanged, this, [this](int choice) {
        const bool dates = choice == int(PeriodChoice::Dates);
        from_->setEnabled(dates);
        to_->setEnabled(dates);
        refresh();
    });
    for (QDateEdit* date : {from_, to_})
        connect(date, &QDateEdit::dateChanged, this, &StatisticsWindow::refresh);
    for (QComboBox* combo : {step_, direction_})
        connect(combo, &QComboBox::currentIndexChanged, this, &StatisticsWindow::refresh);
    connect(onlyShown_, &QCheckBox::toggled, this, &StatisticsWindow::refresh);
    connect(print, &QPushButton::clicked, this, &StatisticsWindow::print);
    connect(pdf, &QPushButton::clicked, this, &StatisticsWindow::saveAsPdf);
    connect(png, &QPushButton::clicked, this, &StatisticsWindow::saveAsPng);
}

QWidget* StatisticsWindow::buildPage(Page page)
{
    auto* splitter = new QSplitter(Qt::Vertical, this);
    charts_[page] = new StatisticsChart(splitter);
    const QStringList titles =
        page == OverTime ? QStringList{tr("Step"), tr("Received"), tr("Paid Out"), tr("Balance")}
                         : QStringList{rankedFieldName(fieldOf(page)), tr("Amount"), tr("Share"), tr("Entries")};
    tables_[page] = new FigureTable(titles, splitter);
    tables_[page]->setAccessibleName(tr(pageNames[page]));
    splitter->addWidget(charts_[page]);
    splitter->addWidget(tables_[page]);
    // The chart gets the room its bars and their names need.
    splitter->setStretchFactor(0, 2);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({420, 210});
    if (page == OverTime) {
        connect(charts_[page], &StatisticsChart::barActivated, this,
                [this](int step, Direction direction) { drillToStep(step, direction); });
        connect(tables_[page], &FigureTable::rowActivated, this, [this](int step) { drillToStep(step, std::nullopt); });
    } else {
        connect(charts_[page], &StatisticsChart::barActivated, this,
                [this, page](int line, Direction) { drillToRanked(page, line); });
        connect(tables_[page], &FigureTable::rowActivated, this, [this, page](int line) { drillToRanked(page, line); });
    }
    return splitter;
}

Direction StatisticsWindow::rankedDirection() const
{
    // The switch lists Paid Out first: where the money went is the usual question.
    return direction_->currentIndex() == 0 ? Direction::PaidOut : Direction::Received;
}

StatisticsScope StatisticsWindow::scope() const
{
    return periodScope(PeriodChoice(period_->currentIndex()), today(), from_->date(), to_->date(),
                       StatisticsStep(step_->currentIndex()));
}

std::vector<int> StatisticsWindow::rowsCounted() const
{
    std::vector<int> rows;
    if (onlyShown_->isEnabled() && onlyShown_->isChecked()) {
        rows.reserve(size_t(view_.rowCount()));
        for (int row = 0; row < view_.rowCount(); ++row)
            rows.push_back(view_.sourceRow(row));
    } else {
        rows.resize(size_t(model_.rowCount()));
        std::iota(rows.begin(), rows.end(), 0);
    }
    return rows;
}

void StatisticsWindow::refresh()
{
    shownScope_ = scope();
    const Direction ranked = rankedDirection();
    figures_ = computeStatistics(model_, rowsCounted(), shownScope_, ranked);
    stale_.fill(true);
    showPage(Page(pages_->currentIndex()));
    unusable_->setText(figures_.unusable == 0
                           ? QString()
                           : tr("%n entries without a usable date or amount", nullptr, int(figures_.unusable)));
}

FigureTable* StatisticsWindow::table(Page page)
{
    showPage(page);
    return tables_[page];
}

StatisticsChart* StatisticsWindow::chart(Page page)
{
    showPage(page);
    return charts_[page];
}

void StatisticsWindow::showPage(Page page)
{
    if (!stale_[page])
        return;
    stale_[page] = false;
    if (page == OverTime)
        showOverTime();
    else
        showRanked(page);
}

void StatisticsWindow::showOverTime()
{
    QStringList steps;
    QList<double> received, paid, balance;
    QList<QList<FigureTable::Cell>> rows;
    for (const StepFigures& step : figures_.steps) {
        steps.append(stepName(step, shownScope_.step));
        received.append(step.received);
        paid.append(step.paid);
        balance.append(step.balance);
        rows.append({{steps.last(), step.first}, money(step.received), money(step.paid), money(step.balance)});
    }
    charts_[OverTime]->showOverTime(steps, received, paid, balance);
    tables_[OverTime]->setRows(rows);
}

void StatisticsWindow::showRanked(Page page)
{
    const std::vector<RankedFigure>& ranked = figures_.ranked[size_t(fieldOf(page))];
    QStringList names;
    QList<double> amounts;
    QList<QList<FigureTable::Cell>> rows;
    for (const RankedFigure& figure : ranked) {
        names.append(rankedName(figure));
        amounts.append(figure.amount);
        rows.append({{names.last(), {}},
                     money(figure.amount),
                     {shareText(figure.share), figure.share},
                     {QLocale().toString(figure.entries), figure.entries}});
    }
    charts_[page]->showRanked(names, amounts, rankedDirection());
    tables_[page]->setRows(rows);
}

void StatisticsWindow::drillToStep(int step, std::optional<Direction> direction)
{
    if (step < 0 || size_t(step) >= figures_.steps.size())
        return;
    const StepFigures& figures = figures_.steps[size_t(step)];
    LedgerFilter filter = figureEntries(figures.first, figures.last, direction.value_or(Direction::Received));
    // A row of the table stands for both bars of its step.
    filter.direction = direction;
    drillDown_(filter);
}

void StatisticsWindow::drillToRanked(Page page, int line)
{
    const std::vector<RankedFigure>& ranked = figures_.ranked[size_t(fieldOf(page))];
    // The rest is many texts: no one filter shows exactly its entries.
    if (line < 0 || size_t(line) >= ranked.size() || ranked[size_t(line)].isRest || figures_.steps.empty())
        return;
    drillDown_(figureEntries(figures_.steps.front().first, figures_.steps.back().last, rankedDirection(),
                             std::pair(fieldOf(page), ranked[size_t(line)].name)));
}

void StatisticsWindow::paintPages(QPagedPaintDevice& device)
{
    for (int p = 0; p < pageCount; ++p)
        showPage(Page(p));
    QPainter painter(&device);
    const QRectF page = painter.viewport();
    const QFontMetricsF metrics(painter.font(), &device);
    const qreal line = metrics.height() * 1.3;
    for (int p = 0; p < pageCount; ++p) {
        if (p > 0)
            device.newPage();
        qreal y = 0;
        painter.drawText(QPointF(0, y + metrics.ascent()),
                         tr(pageNames[p]) + u" — "_s + period_->currentText() + u", "_s + step_->currentText());
        y += 2 * line;
        const QRectF chartArea(0, y, page.width(), page.height() * 0.5);
        charts_[p]->paint(painter, chartArea);
        y = chartArea.bottom() + line;
        // The figures as text, so that they can be read, searched and copied from the file.
        const qreal column = page.width() / 4;
        const auto drawRow = [&](const QStringList& cells) {
            if (y + line > page.height()) {
                device.newPage();
                y = 0;
            }
            for (int c = 0; c < cells.size(); ++c) {
                const QRectF cell(c * column, y, column - 6, line);
                painter.drawText(cell, (c == 0 ? Qt::AlignLeft : Qt::AlignRight) | Qt::AlignVCenter,
                                 metrics.elidedText(cells[c], Qt::ElideRight, cell.width()));
            }
            y += line;
        };
        QStringList titles;
        for (int c = 0; c < tables_[p]->model()->columnCount(); ++c)
            titles.append(tables_[p]->model()->headerData(c, Qt::Horizontal).toString());
        drawRow(titles);
        for (const QStringList& row : tables_[p]->shownTexts())
            drawRow(row);
    }
}

void StatisticsWindow::print()
{
    QPrinter printer;
    QPrintDialog dialog(&printer, this);
    if (dialog.exec() == QDialog::Accepted)
        paintPages(printer);
}

void StatisticsWindow::saveAs(const QString& title, const QString& fileName, const QString& filter,
                              const std::function<bool(const QString&)>& write)
{
    const QString path = QFileDialog::getSaveFileName(
        this, title, QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation) + u'/' + fileName, filter);
    if (!path.isEmpty() && !write(path))
        MsgBox(tr("The statistics could not be saved as \"%1\".").arg(path));
}

void StatisticsWindow::saveAsPdf()
{
    saveAs(tr("Save as PDF"), u"Statistics.pdf"_s, tr("PDF files (*.pdf)"), [this](const QString& path) {
        {
            QPdfWriter writer(path);
            writer.setTitle(windowTitle());
            paintPages(writer);
        }
        return QFileInfo(path).isFile() && QFileInfo(path).size() > 0;
    });
}

void StatisticsWindow::saveAsPng()
{
    saveAs(tr("Save as PNG"), u"Statistics.png"_s, tr("PNG images (*.png)"),
           [this](const QString& path) { return pages_->currentWidget()->grab().save(path, "PNG"); });
}
