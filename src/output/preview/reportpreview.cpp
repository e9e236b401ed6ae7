#include "output/preview/reportpreview.h"

#include "output/preview/reportpainter.h"

#include <QPrintPreviewDialog>
#include <QPrinter>
#include <exception>

using namespace Qt::StringLiterals;

void showReportPreview(const ReportDesign& design, const ReportData& data, QWidget* owner)
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setFullPage(true);
    // Laid out once before the window opens, so a report that cannot be shown fails here and
    // not inside the window's paint request; every other paper gets its own layout.
    ReportPages pages = layoutReport(design, data, pageSizeTwips(printer));

    QPrintPreviewDialog dialog(&printer, owner);
    dialog.setWindowTitle(u"DataReport1"_s);
    std::exception_ptr failure;
    QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog, [&](QPrinter* target) {
        // Nothing may be thrown through the window's event handling: the failure is kept and
        // raised once the window has closed.
        try {
            const QSize paper = pageSizeTwips(*target);
            if (paper != pages.pageSize)
                pages = layoutReport(design, data, paper);
            printReport(*target, pages);
        } catch (...) {
            if (!failure)
                failure = std::current_exception();
        }
    });
    dialog.exec();
    if (failure)
        std::rethrow_exception(failure);
}
