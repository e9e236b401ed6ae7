// Finding the user's spreadsheet program: on PATH, else through the desktop's default for .xlsx.
#include "output/spreadsheet/spreadsheetprogram.h"
#include "support/ledgerfixture.h"
#include "support/printers.h"
#include "support/scopedenv.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

const QString workbook = u"/tmp/x/Ledger.xlsx"_s;

class SpreadsheetProgramSearch : public testing::Test
{
protected:
    void SetUp() override { QDir().mkpath(applications_); }

    // A file in our PATH folder; only executable ones count as programs.
    QString install(const QString& name, const QByteArray& script = "#!/bin/sh\n", bool executable = true)
    {
        const QString path = bin_ + u'/' + name;
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(script);
        file.close();
        if (executable)
            file.setPermissions(file.permissions() | QFile::ExeOwner);
        return path;
    }

    // An xdg-mime that names `entry` as the default for .xlsx files, and that entry's file.
    void setDesktopDefault(const QString& entry, const QByteArray& desktopFile)
    {
        install(u"xdg-mime"_s, "#!/bin/sh\n"
                               "[ \"$*\" = 'query default "
                               "application/vnd.openxmlformats-officedocument.spreadsheetml.sheet' ] && echo " +
                                   entry.toUtf8() + "\n");
        QFile file(applications_ + u'/' + entry);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(desktopFile);
    }

    const QString bin_ = homeFolder(u"bin"_s);
    const QString applications_ = qEnvironmentVariable("XDG_DATA_HOME") + u"/applications"_s;

private:
    // Only our folder on PATH: what is found is what the test installed.
    const ScopedEnv path_{"PATH", QFile::encodeName(bin_)};
};

TEST_F(SpreadsheetProgramSearch, PrefersLibreOfficeAndOpensTheWorkbookAsANewDocument)
{
    install(u"gnumeric"_s);
    const QString soffice = install(u"soffice"_s);
    install(u"localc"_s, "not a program", false);
    const std::optional<SpreadsheetProgram> program = findSpreadsheetProgram();
    ASSERT_TRUE(program.has_value());
    EXPECT_EQ(program->executable, soffice);
    EXPECT_EQ(program->argumentsFor(workbook), (QStringList{u"--calc"_s, u"-n"_s, workbook}));
}

TEST_F(SpreadsheetProgramSearch, GnumericTakesTheWorkbookAlone)
{
    const QString gnumeric = install(u"gnumeric"_s);
    const SpreadsheetProgram program = spreadsheetProgram();
    EXPECT_EQ(program.executable, gnumeric);
    EXPECT_EQ(program.argumentsFor(workbook), QStringList{workbook});
}

TEST_F(SpreadsheetProgramSearch, FallsBackToTheDesktopDefault)
{
    const QString fakecalc = install(u"fakecalc"_s);
    setDesktopDefault(u"fakecalc.desktop"_s, "[Desktop Action New]\n"
                                             "Exec=other %f\n"
                                             "[Desktop Entry]\n"
                                             "Name=Fake Calc\n"
                                             "Exec = fakecalc --sheet %U\n");
    const std::optional<SpreadsheetProgram> program = findSpreadsheetProgram();
    ASSERT_TRUE(program.has_value());
    EXPECT_EQ(program->executable, fakecalc);
    EXPECT_EQ(program->argumentsFor(workbook), (QStringList{u"--sheet"_s, workbook}));
}

TEST_F(SpreadsheetProgramSearch, NothingFound)
{
    EXPECT_FALSE(findSpreadsheetProgram().has_value()) << "no xdg-mime";
    EXPECT_THROW(spreadsheetProgram(), std::exception);

    install(u"xdg-mime"_s, "#!/bin/sh\nexit 0\n");
    EXPECT_FALSE(findSpreadsheetProgram().has_value()) << "xdg-mime answering nothing";

    setDesktopDefault(u"missing.desktop"_s, "[Desktop Entry]\nExec=missingcalc %f\n");
    EXPECT_FALSE(findSpreadsheetProgram().has_value()) << "a default whose program is not installed";
}

TEST_F(SpreadsheetProgramSearch, DesktopExecLines)
{
    const QString fakecalc = install(u"fakecalc"_s);
    const QString libreoffice = install(u"libreoffice"_s);
    struct Case
    {
        const char* exec;
        QString executable; // empty: refused
        QStringList arguments;
    };
    const Case cases[] = {
        {"fakecalc", fakecalc, {workbook}},
        {"fakecalc --new %i %F %c", fakecalc, {u"--new"_s, workbook}},
        {"  fakecalc   %u  ", fakecalc, {workbook}},
        {"libreoffice --calc %U", libreoffice, {u"--calc"_s, u"-n"_s, workbook}},
        {"fakecalc --file=%f", {}, {}},
        {"fakecalc %%", {}, {}},
        {"fakecalc %x", {}, {}},
        {"sh -c 'fakecalc %f'", {}, {}},
        {"fakecalc \"%f\"", {}, {}},
        {"fakecalc $HOME/%f", {}, {}},
        {"bin/fakecalc %f", {}, {}},
        {"missingcalc %f", {}, {}},
        {"", {}, {}},
    };
    for (const Case& c : cases) {
        const std::optional<SpreadsheetProgram> program = programFromDesktopExec(QString::fromUtf8(c.exec));
        EXPECT_EQ(program.has_value(), !c.executable.isEmpty()) << c.exec;
        if (program) {
            EXPECT_EQ(program->executable, c.executable) << c.exec;
            EXPECT_EQ(program->argumentsFor(workbook), c.arguments) << c.exec;
        }
    }
    const std::optional<SpreadsheetProgram> absolute = programFromDesktopExec(fakecalc + u" %f"_s);
    ASSERT_TRUE(absolute.has_value());
    EXPECT_EQ(absolute->executable, fakecalc);
}

TEST_F(SpreadsheetProgramSearch, ProgramThatCannotStartThrows)
{
    const SpreadsheetProgram missing{bin_ + u"/missingcalc"_s, {u"%f"_s}};
    EXPECT_THROW(openInSpreadsheetProgram(missing, workbook), std::exception);
}

} // namespace
