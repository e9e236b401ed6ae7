#include "output/preview/reportpreview.h"

#include "app/longtask.h"
#include "output/preview/reportviewer.h"

void showReportPreview(const ReportDesign& design, const ReportData& data, QWidget* owner, LongTask& task,
                       qint64 doneBefore)
{
    ReportViewer viewer(design, data, owner, [&](qint64 rows) { return task.keepGoing(doneBefore + rows); });
    task.finish();
    viewer.exec();
}
