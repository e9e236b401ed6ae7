#pragma once

#include <QStringList>

// The text of each page of a PDF file, as pdftotext (poppler-utils) lays it out.
QStringList pdfPages(const QString& path);
