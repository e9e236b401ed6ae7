#include "support/fakespreadsheet.h"

#include <QFile>
#include <QTest>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

void installFakeSpreadsheet(const QString& binFolder, const QString& outFolder)
{
    QFile file(binFolder + u"/localc"_s);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(u"#!/bin/sh\n"
               "for last; do :; done\n"
               "/bin/cp \"$last\" '%1/document.xlsx'\n"
               "printf '%s\\n' \"$@\" > '%1/arguments.part'\n"
               "/bin/mv '%1/arguments.part' '%1/arguments'\n"_s.arg(outFolder)
                   .toUtf8());
    file.close();
    ASSERT_TRUE(file.setPermissions(file.permissions() | QFile::ExeOwner));
}

QStringList fakeSpreadsheetArguments(const QString& outFolder)
{
    const QString file = outFolder + u"/arguments"_s;
    if (!QTest::qWaitFor([&] { return QFile::exists(file); }, 10000))
        return {};
    QFile arguments(file);
    EXPECT_TRUE(arguments.open(QIODevice::ReadOnly));
    return QString::fromUtf8(arguments.readAll()).split(u'\n', Qt::SkipEmptyParts);
}
