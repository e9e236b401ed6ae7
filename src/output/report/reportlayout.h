#pragma once

#include "base/progress.h"
#include "output/report/reportdesign.h"

#include <QLine>
#include <QSize>
#include <memory>
#include <vector>

class ReportData;

// One text of a laid-out page; `box` is in twips from the paper's top left corner.
struct PlacedText
{
    QRect box;
    QString text;
    const ReportControl* control; // the control that shows it (name, font), kept by the page
};

struct PlacedLine
{
    QLine line; // twips from the paper's top left corner
    const ReportControl* control;
};

struct ReportPage
{
    std::shared_ptr<const ReportDesign> design; // owns the controls the placed items point to
    std::vector<PlacedText> texts;
    std::vector<PlacedLine> lines;
};

// A report laid out on paper, ready to paint.
struct ReportPages
{
    QSize pageSize; // the paper, in twips
    std::vector<ReportPage> pages;
};

// Lays `data` out on pages of `pageSize` (twips) inside the design's margins: the page header
// on every page, as many detail lines per page as fit above the page footer, and the report
// footer once after the last line, on a page of its own when it does not fit below it.
// Throws Failure when a control's data field is not in `data`, Cancelled when `progress` (asked
// with the rows laid out) says stop.
ReportPages layoutReport(const ReportDesign& design, const ReportData& data, QSize pageSize,
                         const ProgressCheck& progress = {});
