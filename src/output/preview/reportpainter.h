#pragma once

#include "output/report/reportlayout.h"

class QPainter;
class QPrinter;

// Twips become a device's pixels by its dots per inch.
constexpr qreal twipsPerInch = 1440;

// The paper of `printer`, in twips, in its current orientation.
QSize pageSizeTwips(const QPrinter& printer);

// Prints the pages (the chosen page range, when the user chose one) on `printer`, whose
// paper they were laid out for.
void printReport(QPrinter& printer, const ReportPages& pages);

// Draws one page with its top left corner at the painter's origin, at the painter's device
// resolution (twips to device pixels by the device's dots per inch).
void paintPage(QPainter& painter, const ReportPage& page);

// Writes the pages to a PDF file of their paper size.
void renderReportToPdf(const ReportPages& pages, const QString& path);
