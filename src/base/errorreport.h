#pragma once

#include <QString>

// "in Quorvane2021/08/31.<window>.<procedure> " — the trailing blank belongs to it.
QString errorLocation(QStringView window, QStringView procedure);

// The report's text: description, CR LF, location, "at line ", step, CR CR, the support request.
QString errorReportText(const QString& description, const QString& location, int step);
