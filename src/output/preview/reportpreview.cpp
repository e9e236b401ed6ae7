#include "output/preview/reportpreview.h"

#include "output/preview/reportviewer.h"

void showReportPreview(const ReportDesign& design, const ReportData& data, QWidget* owner)
{
    ReportViewer viewer(design, data, owner);
    viewer.exec();
}
