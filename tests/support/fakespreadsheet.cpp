#include "support/fakespreadsheet.h"

#include "support/ledgerfixture.h"

#include <QDir>
#include <QFile>
#include <QTest>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

FakeSpreadsheetHome::FakeSpreadsheetHome()
    : bin(homeFolder(u"bin"_s)), out(homeFolder(u"out"_s)), temp(homeFolder(u"tmp"_s)),
      path_("PATH", QFile::encodeName(bin)), tempDir_("TMPDIR", QFile::encodeName(temp))
{
}

void FakeSpreadsheetHome::installProgram() const
{
    QFile file(bin + u"/localc"_s);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(u"#!/bin/sh\n"
               "for last; do :; done\n"
               "/bin/cp \"$last\" '%1/document.xlsx'\n"
               "printf '%s\\n' \"$@\" > '%1/arguments.part'\n"
               "/bin/mv '%1/arguments.part' '%1/arguments'\n"_s.arg(out)
                   .toUtf8());
    file.close();
    ASSERT_TRUE(file.setPermissions(file.permissions() | QFile::ExeOwner));
}

QStringList FakeSpreadsheetHome::launchArguments() const
{
    const QString file = out + u"/arguments"_s;
    if (!QTest::qWaitFor([&] { return QFile::exists(file); }, 10000))
        return {};
    QFile arguments(file);
    EXPECT_TRUE(arguments.open(QIODevice::ReadOnly));
    return QString::fromUtf8(arguments.readAll()).split(u'\n', Qt::SkipEmptyParts);
}

void FakeSpreadsheetHome::forgetLaunch() const
{
    QFile::remove(out + u"/arguments"_s);
}

QStringList FakeSpreadsheetHome::leftInTemp() const
{
    return QDir(temp).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
}
