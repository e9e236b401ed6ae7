#pragma once

#include <QLocale>
#include <QString>
#include <QVariant>

// A field value as a report control shows it: dates with the date pattern of `format` (the
// regional short date when it is empty), numbers with the number pattern of `format` (the
// general form when it is empty), texts unchanged, NULL as the empty text.
QString formatReportValue(const QVariant& value, const QString& format, const QLocale& locale = QLocale());
