#pragma once

#include "base/direction.h"

#include <QList>
#include <QMap>
#include <QWidget>

class QChart;
class QChartView;
class QPainter;

// One chart of the statistics window. This file and its .cpp are the only ones that know the
// chart module, so that moving to another one changes them alone.
class StatisticsChart : public QWidget
{
    Q_OBJECT

public:
    explicit StatisticsChart(QWidget* parent);

    // Received and Paid Out side by side for each step, the running balance as a line across them.
    void showOverTime(const QStringList& steps, const QList<double>& received, const QList<double>& paid,
                      const QList<double>& balance);
    // Ranked bars of one direction, the largest at the top.
    void showRanked(const QStringList& names, const QList<double>& amounts, Direction direction);

    // The values of each series by its name, as the chart holds them.
    QMap<QString, QList<double>> seriesValues() const;
    // Draws the chart into `target` (printing, saving as an image).
    void paint(QPainter& painter, const QRectF& target);

Q_SIGNALS:
    // A double-click on bar `index` (a step, or a ranked line) of one direction.
    void barActivated(int index, Direction direction);

protected:
    void changeEvent(QEvent* event) override;

private:
    void reset();
    void followPalette();

    QChart* chart_;
    QChartView* view_;
};
