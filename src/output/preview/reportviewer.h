#pragma once

#include "output/report/reportdata.h"
#include "output/report/reportlayout.h"

#include <QDialog>

class PageArea;
class QComboBox;
class QLabel;
class QPrinter;
class QSpinBox;

// The report's preview window, captioned "DataReport1": the report is laid out once and only the
// pages in view are painted, so the first page shows at once however long the ledger. It pages
// (First, Previous, Next, Last, a page number; PageUp, PageDown, Home, End), zooms (fit width, fit
// page, 50 to 400 %; Ctrl+plus, Ctrl+minus), prints every page (Print…, Ctrl+P) and saves the
// report as PDF (Save as PDF…, Ctrl+S). Escape closes it.
class ReportViewer : public QDialog
{
    Q_OBJECT

public:
    // Throws Failure when the report cannot be laid out, Cancelled when `progress` (asked with the
    // rows laid out) says stop.
    ReportViewer(const ReportDesign& design, const ReportData& data, QWidget* owner,
                 const ProgressCheck& progress = {});
    ~ReportViewer() override;

    int pageCount() const;
    // 1 for the first page: the page at the top of the view.
    int currentPage() const;
    void goToPage(int number);
    // 1.0 shows the paper at its real size.
    void setZoom(double factor);
    double zoom() const;

    // Prints every page on `printer`, laid out again for its paper when that differs. Throws
    // Failure when the printer fails.
    void print(QPrinter& printer);
    // Writes the report to a PDF file. Throws Failure when it cannot.
    void saveAsPdf(const QString& path);

    // How many pages were painted on the screen so far.
    int paintedPages() const;

private:
    void buildControls();
    void showPosition();
    void choosePrinter();
    void choosePdfFile();
    void zoomBy(int steps);
    void applyZoomChoice(int index);

    ReportDesign design_;
    const ReportData& data_;
    ReportPages pages_;
    PageArea* area_ = nullptr;
    QSpinBox* pageNumber_ = nullptr;
    QLabel* pageTotal_ = nullptr;
    QComboBox* zoomChoice_ = nullptr;
};
