#pragma once

#include <QtGlobal>

class LongTask;
class QWidget;
class ReportData;
struct ReportDesign;

// Shows the report in a modal preview window captioned "DataReport1", owned by `owner`, from
// which the user prints it or saves it as PDF; returns when the window is closed. The report is
// laid out again for whatever paper the user chooses. Throws Failure when it cannot be laid out.
// The first layout is the last part of `task`: the task may cancel it (Cancelled, and nothing is
// shown), and it ends before the window opens.
void showReportPreview(const ReportDesign& design, const ReportData& data, QWidget* owner, LongTask& task,
                       qint64 doneBefore);
