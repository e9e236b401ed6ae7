#include "support/pdftext.h"

#include <QProcess>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

QStringList pdfPages(const QString& path)
{
    QProcess pdftotext;
    pdftotext.start(u"pdftotext"_s, {u"-layout"_s, path, u"-"_s});
    if (!pdftotext.waitForStarted()) {
        ADD_FAILURE() << "pdftotext could not be run: install poppler-utils (scripts/install-deps.sh)";
        return {};
    }
    pdftotext.waitForFinished();
    EXPECT_EQ(pdftotext.exitCode(), 0) << pdftotext.readAllStandardError().toStdString();
    QStringList pages = QString::fromUtf8(pdftotext.readAllStandardOutput()).split(u'\f');
    pages.removeLast(); // after the last page's form feed
    return pages;
}
