// House rules that the compiler cannot check.
#include <QDirIterator>
#include <QFile>
#include <QRegularExpression>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

QStringList sourceFiles(const QString& folder = {})
{
    QStringList files;
    QDirIterator it(QStringLiteral(QUORVANE_SOURCE_DIR "/src/") + folder, {u"*.cpp"_s, u"*.h"_s}, QDir::Files,
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

// The Qt headers a file includes, as written between the angle brackets.
QStringList qtIncludes(const QString& text)
{
    static const QRegularExpression include(u"^\\s*#\\s*include\\s*<(Qt\\w*/)?(Q\\w+)(\\.h)?>"_s,
                                            QRegularExpression::MultilineOption);
    QStringList found;
    for (auto it = include.globalMatch(text); it.hasNext();) {
        const auto match = it.next();
        found.append(match.captured(1) + match.captured(2) + match.captured(3));
    }
    return found;
}

// A header of Qt Core: it lies in Qt Core's include folder (under its module prefix, if any).
bool isQtCoreHeader(const QString& include)
{
    const qsizetype slash = include.indexOf(u'/');
    if (slash >= 0 && include.left(slash) != u"QtCore")
        return false;
    return QFile::exists(QStringLiteral(QT_CORE_INCLUDE_DIR "/") + include.mid(slash + 1));
}

} // namespace

TEST(Sources, TheLayersBelowTheWindowsIncludeQtCoreOnly)
{
    for (const QString& folder : {u"base"_s, u"cli"_s, u"settings"_s, u"money"_s, u"store"_s, u"output/report"_s,
                                  u"output/spreadsheet"_s, u"importing"_s}) {
        const QStringList files = sourceFiles(folder);
        EXPECT_FALSE(files.isEmpty()) << folder.toStdString();
        for (const QString& file : files) {
            for (const QString& include : qtIncludes(contents(file)))
                EXPECT_TRUE(isQtCoreHeader(include)) << file.toStdString() << " includes <" << include.toStdString()
                                                     << ">, which is not a Qt Core header";
        }
    }
}

TEST(Sources, TheQtCoreCheckTellsCoreFromWidgetHeaders)
{
    const QStringList includes = qtIncludes(u"#include <QString>\n#  include <QtWidgets/QWidget>\n"
                                            "#include <QPainter>\n#include <gtest/gtest.h>\n"_s);
    ASSERT_EQ(includes, (QStringList{u"QString"_s, u"QtWidgets/QWidget"_s, u"QPainter"_s}));
    EXPECT_TRUE(isQtCoreHeader(includes[0]));
    EXPECT_FALSE(isQtCoreHeader(includes[1]));
    EXPECT_FALSE(isQtCoreHeader(includes[2]));
    EXPECT_TRUE(isQtCoreHeader(u"QtCore/QDate"_s));
}

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
        if (file.endsWith(u"/base/clock.cpp"))
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
