// House rules that the compiler cannot check.
#include <QDirIterator>
#include <QFile>
#include <QRegularExpression>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

QStringList sourceFiles()
{
    QStringList files;
    QDirIterator it(QStringLiteral(QUORVANE_SOURCE_DIR "/src"), {u"*.cpp"_s, u"*.h"_s}, QDir::Files,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        files.append(it.next());
    return files;
}

QString contents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

} // namespace

TEST(Sources, OnlyThePrompterOpensMessageAndInputBoxes)
{
    const QRegularExpression boxes(u"\\bQ(MessageBox|InputDialog)\\b"_s);
    const QStringList files = sourceFiles();
    ASSERT_GT(files.size(), 20);
    for (const QString& file : files) {
        if (file.endsWith(u"/app/prompter.cpp"))
            continue;
        EXPECT_FALSE(boxes.match(contents(file)).hasMatch()) << file.toStdString();
    }
}

TEST(Sources, TodayComesFromTheClock)
{
    for (const QString& file : sourceFiles()) {
        if (file.endsWith(u"/app/clock.cpp"))
            continue;
        EXPECT_FALSE(contents(file).contains(u"QDate::currentDate")) << file.toStdString();
    }
}

TEST(Sources, ExternalProgramsAreNeverStartedThroughAShell)
{
    const QRegularExpression shell(u"\\b(system|popen)\\s*\\(|\"/bin/sh\"|\"sh\"|\"-c\""_s);
    for (const QString& file : sourceFiles())
        EXPECT_FALSE(shell.match(contents(file)).hasMatch()) << file.toStdString();
}
