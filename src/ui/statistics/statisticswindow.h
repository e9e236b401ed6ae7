#pragma once

#include "ledgerlist/ledgerfilter.h"
#include "ledgerlist/ledgerstatistics.h"

#include <QWidget>
#include <array>
#include <functional>

class FigureTable;
class LedgerModel;
class LedgerView;
class QCheckBox;
class QComboBox;
class QDateEdit;
class QLabel;
class QPagedPaintDevice;
class QTabWidget;
class StatisticsChart;

// "Statistics - Quorvane": where the money came from and went. For a period (This month ... All
// entries, or From/To dates) by month, quarter or year: Received and Paid Out per step with the
// running balance, and the Paid Out (or Received) by Reason, From, To and Method, each chart over a
// table of the same figures. It follows the list: every refill, and the find bar's filter when
// "Only the entries shown in the list" is ticked. A double-click on a bar or a row shows its
// entries in the list. Modeless: the list stays usable beside it.
class StatisticsWindow : public QWidget
{
    Q_OBJECT

public:
    // The pages, in the order of the tabs.
    enum Page { OverTime, ByReason, ByFrom, ByTo, ByMethod, pageCount };

    // `drillDown` shows the list filtered to exactly the entries a bar adds up.
    StatisticsWindow(const LedgerModel& model, const LedgerView& view,
                     std::function<void(const LedgerFilter&)> drillDown, QWidget* parent);

    // A page's table and chart, brought up to date first.
    FigureTable* table(Page page);
    StatisticsChart* chart(Page page);
    const LedgerStatistics& figures() const { return figures_; }

    // Draws every page, chart over table, one page each (printing and PDF).
    void paintPages(QPagedPaintDevice& device);

    // Works the figures out afresh and shows them.
    void refresh();

private:
    void buildControls();
    QWidget* buildPage(Page page);
    StatisticsScope scope() const;
    Direction rankedDirection() const;
    std::vector<int> rowsCounted() const;
    // Charts are drawn for the page in sight; the others when they come into sight.
    void showPage(Page page);
    void showOverTime();
    void showRanked(Page page);
    // The entries of step `step` (one direction, or both), or of ranked line `line` of `page`.
    void drillToStep(int step, std::optional<Direction> direction);
    void drillToRanked(Page page, int line);
    void print();
    // Asks where to save, then `write`s there; says so when it fails.
    void saveAs(const QString& title, const QString& fileName, const QString& filter,
                const std::function<bool(const QString&)>& write);
    void saveAsPdf();
    void saveAsPng();

    const LedgerModel& model_;
    const LedgerView& view_;
    std::function<void(const LedgerFilter&)> drillDown_;
    LedgerStatistics figures_;
    StatisticsScope shownScope_;

    QComboBox* period_ = nullptr;
    QDateEdit* from_ = nullptr;
    QDateEdit* to_ = nullptr;
    QComboBox* step_ = nullptr;
    QComboBox* direction_ = nullptr;
    QCheckBox* onlyShown_ = nullptr;
    QLabel* unusable_ = nullptr;
    QTabWidget* pages_ = nullptr;
    std::array<StatisticsChart*, pageCount> charts_{};
    std::array<FigureTable*, pageCount> tables_{};
    std::array<bool, pageCount> stale_{};
};
