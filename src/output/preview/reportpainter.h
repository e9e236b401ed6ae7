#pragma once

#include "output/report/reportlayout.h"

class QPrinter;

// The paper of `printer`, in twips, in its current orientation.
QSize pageSizeTwips(const QPrinter& printer);

// Prints the pages (the chosen page range, when the user chose one) on `printer`, whose
// paper they were laid out for.
void printReport(QPrinter& printer, const ReportPages& pages);

// Writes the pages to a PDF file of their paper size.
void renderReportToPdf(const ReportPages& pages, const QString& path);
