// House rules that the compiler cannot check.
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

const QString sourceRoot = QStringLiteral(QUORVANE_SOURCE_DIR "/src");

QStringList sourceFilesUnder(const QString& dir)
{
    QStringList files;
    QDirIterator it(dir, {u"*.cpp"_s, u"*.h"_s}, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext())
        files.append(it.next());
    return files;
}

QStringList sourceFiles(const QString& folder = {})
{
    return sourceFilesUnder(sourceRoot + u'/' + folder);
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

// The project headers a file includes, relative to the source root ("store/recordset.h").
QStringList projectIncludes(const QString& text)
{
    static const QRegularExpression include(u"^\\s*#\\s*include\\s*\"([^\"]+)\""_s,
                                            QRegularExpression::MultilineOption);
    QStringList found;
    for (auto it = include.globalMatch(text); it.hasNext();)
        found.append(it.next().captured(1));
    return found;
}

// The sources under root by their folder relative to it ("store", "ui/main"). Files directly in root
// belong to the program itself, which links every library, so they are left out.
QMap<QString, QStringList> sourcesByFolder(const QString& root)
{
    const QDir dir(root);
    QMap<QString, QStringList> folders;
    for (const QString& file : sourceFilesUnder(root)) {
        const QString relative = dir.relativeFilePath(file);
        const QString folder = QFileInfo(relative).path();
        if (folder != u".")
            folders[folder].append(relative);
    }
    for (QStringList& files : folders)
        files.sort();
    return folders;
}

// Each quorvane_library(target folder links...) call of root's CMakeLists.txt: the libraries each
// folder's library links directly, as folders; links to anything else (Qt, system libraries) are dropped.
QMap<QString, QStringList> libraryLinks(const QString& root)
{
    static const QRegularExpression call(u"^\\s*quorvane_library\\(([^)]*)\\)"_s, QRegularExpression::MultilineOption);
    QMap<QString, QString> folderOfTarget;
    QMap<QString, QStringList> linkedTargets;
    const QString text = contents(root + u"/CMakeLists.txt"_s);
    for (auto it = call.globalMatch(text); it.hasNext();) {
        QStringList words = it.next().captured(1).simplified().split(u' ');
        if (words.size() < 2)
            continue;
        const QString target = words.takeFirst();
        const QString folder = words.takeFirst();
        folderOfTarget.insert(target, folder);
        linkedTargets.insert(folder, words);
    }
    QMap<QString, QStringList> links;
    for (auto it = linkedTargets.cbegin(); it != linkedTargets.cend(); ++it) {
        QStringList& folders = links[it.key()];
        for (const QString& target : it.value()) {
            if (folderOfTarget.contains(target))
                folders.append(folderOfTarget.value(target));
        }
    }
    return links;
}

// The folders a library reaches through its links, directly or through other libraries.
QSet<QString> reachable(const QMap<QString, QStringList>& links, const QString& folder)
{
    QSet<QString> reached;
    QStringList pending = links.value(folder);
    while (!pending.isEmpty()) {
        const QString next = pending.takeLast();
        if (!reached.contains(next)) {
            reached.insert(next);
            pending.append(links.value(next));
        }
    }
    return reached;
}

// Every include of one folder's header by another folder whose library does not link it, and every folder
// of sources that is no library: a lower layer must build without the layers above it.
QStringList includesAgainstTheLinks(const QString& root)
{
    const QMap<QString, QStringList> links = libraryLinks(root);
    const QMap<QString, QStringList> sources = sourcesByFolder(root);
    QStringList faults;
    for (const QString& folder : links.keys()) {
        if (!sources.contains(folder))
            faults.append(u"library folder "_s + folder + u" holds no sources"_s);
    }
    for (auto it = sources.cbegin(); it != sources.cend(); ++it) {
        const QString& folder = it.key();
        if (!links.contains(folder)) {
            faults.append(u"folder "_s + folder + u" is no quorvane_library"_s);
            continue;
        }
        const QSet<QString> linked = reachable(links, folder);
        for (const QString& file : it.value()) {
            for (const QString& include : projectIncludes(contents(root + u'/' + file))) {
                const QString included = QFileInfo(include).path();
                if (included == folder || linked.contains(included))
                    continue;
                faults.append(
                    file + u" includes "_s + include + u", but "_s + folder +
                    (links.contains(included) ? u" does not link "_s + included : u" links no library there"_s));
            }
        }
    }
    return faults;
}

// Writes text to root/path, making its folders.
void plant(const QString& root, const QString& path, const QByteArray& text)
{
    QDir(root).mkpath(QFileInfo(path).path());
    QFile file(root + u'/' + path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
    file.write(text);
}

// Each folder's files as a graph over their base names: x.cpp and x.h lead to y when either includes y.h.
using FileGraph = QMap<QString, QSet<QString>>;

FileGraph includeGraph(const QString& root, const QString& folder, const QStringList& files)
{
    FileGraph graph;
    for (const QString& file : files) {
        const QString from = QFileInfo(file).completeBaseName();
        QSet<QString>& targets = graph[from];
        for (const QString& include : projectIncludes(contents(root + u'/' + file))) {
            const QFileInfo header(include);
            if (header.path() == folder && header.suffix() == u"h" && header.completeBaseName() != from)
                targets.insert(header.completeBaseName());
        }
    }
    return graph;
}

// Every simple cycle through the first file of path whose other files sort after it, so each cycle is found once,
// written from its first file in sort order.
void cyclesFrom(const FileGraph& graph, QStringList& path, QStringList& cycles)
{
    QStringList next = graph.value(path.last()).values();
    next.sort();
    for (const QString& file : next) {
        if (file == path.first())
            cycles.append((path + QStringList{file}).join(u" -> "_s));
        else if (file > path.first() && !path.contains(file)) {
            path.append(file);
            cyclesFrom(graph, path, cycles);
            path.removeLast();
        }
    }
}

// Every cycle of includes between the files of one folder, as "folder: a -> b -> a".
QStringList fileCycles(const QString& root)
{
    QStringList found;
    const QMap<QString, QStringList> sources = sourcesByFolder(root);
    for (auto it = sources.cbegin(); it != sources.cend(); ++it) {
        const FileGraph graph = includeGraph(root, it.key(), it.value());
        QStringList cycles;
        for (const QString& start : graph.keys()) {
            QStringList path{start};
            cyclesFrom(graph, path, cycles);
        }
        for (const QString& cycle : cycles)
            found.append(it.key() + u": "_s + cycle);
    }
    return found;
}

} // namespace

TEST(Sources, TheLayersBelowTheWindowsIncludeQtCoreOnly)
{
    // cli is not among them: it paints the printed report, which needs Qt's painting.
    for (const QString& folder :
         {u"base"_s, u"settings"_s, u"money"_s, u"store"_s, u"output/report"_s, u"output/spreadsheet"_s,
          u"output/listsheet"_s, u"importing"_s, u"ledgerlist"_s, u"repeating"_s}) {
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

TEST(Sources, WindowsReachTheLedgerOnlyThroughTheDoorTheyAreGiven)
{
    // Statement texts stay in the store; the program-wide connection is opened and closed by the
    // main window's start-up and shutdown only.
    const QRegularExpression statements(u"#include \"store/(statements|sqlitefile)\\.h\"|\\bsqlite3_"_s);
    const QRegularExpression global(u"\\bConn(Slot)?\\(\\)|\\bprogramLedger\\(\\)"_s);
    const QStringList windows = sourceFiles(u"ui"_s);
    ASSERT_GT(windows.size(), 20);
    for (const QString& file : windows) {
        const QString text = contents(file);
        EXPECT_FALSE(statements.match(text).hasMatch()) << file.toStdString();
        if (!file.endsWith(u"/ui/main/form1.cpp")) {
            EXPECT_FALSE(global.match(text).hasMatch()) << file.toStdString();
        }
    }
}

namespace {

// Only the files `allowed` matches use what `library` matches, and some of them do.
void expectOnlyTheseSpeak(const QRegularExpression& library, const QRegularExpression& allowed)
{
    int speaking = 0;
    for (const QString& file : sourceFiles()) {
        const bool speaks = library.match(contents(file)).hasMatch();
        if (allowed.match(file).hasMatch())
            speaking += speaks ? 1 : 0;
        else
            EXPECT_FALSE(speaks) << file.toStdString();
    }
    EXPECT_GT(speaking, 3) << "the check finds the engine's own calls";
}

} // namespace

TEST(Sources, OnlyTheSqliteEngineAndTheLedgerFilesHelpersSpeakToSqlite)
{
    // Everything else goes through the engine's seam, so another engine can sit under the store.
    expectOnlyTheseSpeak(QRegularExpression(u"\\bsqlite3(_\\w+)?\\b"_s),
                         QRegularExpression(u"/store/(sqlite\\w*|ledgerfile|ledgerrestore|backups)\\.(cpp|h)$"_s));
}

TEST(Sources, OnlyTheServerEngineSpeaksToLibpq)
{
    // The rest of the program reaches a server ledger through the engine's seam.
    expectOnlyTheseSpeak(QRegularExpression(u"\\bPQ[a-z]\\w*\\(|libpq-fe\\.h"_s),
                         QRegularExpression(u"/store/server\\w*\\.(cpp|h)$"_s));
}

TEST(Sources, ExternalProgramsAreNeverStartedThroughAShell)
{
    const QRegularExpression shell(u"\\b(system|popen)\\s*\\(|\"/bin/sh\"|\"sh\"|\"-c\""_s);
    for (const QString& file : sourceFiles())
        EXPECT_FALSE(shell.match(contents(file)).hasMatch()) << file.toStdString();
}

TEST(Sources, EachFolderIncludesOnlyTheHeadersOfLibrariesItLinks)
{
    ASSERT_GE(libraryLinks(sourceRoot).size(), 10);
    for (const QString& fault : includesAgainstTheLinks(sourceRoot))
        ADD_FAILURE() << fault.toStdString();
}

TEST(Sources, NoFilesOfAFolderIncludeEachOtherInACycle)
{
    for (const QString& cycle : fileCycles(sourceRoot))
        ADD_FAILURE() << "cycle " << cycle.toStdString();
}

TEST(Sources, TheLinkCheckCatchesAnIncludeAgainstTheLinks)
{
    const QTemporaryDir root;
    ASSERT_TRUE(root.isValid());
    const QString path = root.path();
    plant(path, u"CMakeLists.txt"_s,
          "quorvane_library(low_lib low Qt6::Core)\n"
          "quorvane_library(mid_lib mid Qt6::Core low_lib)\n"
          "quorvane_library(top_lib out/top Qt6::Widgets\n"
          "                 mid_lib)\n");
    plant(path, u"low/a.h"_s, "#pragma once\n#include \"mid/b.h\"\n");
    plant(path, u"low/a.cpp"_s, "#include \"low/a.h\"\n#include <QString>\n");
    plant(path, u"mid/b.h"_s, "#pragma once\n#include \"low/a.h\"\n");
    plant(path, u"out/top/c.cpp"_s, "#include \"low/a.h\"\n#include \"mid/b.h\"\n");
    plant(path, u"main.cpp"_s, "#include \"out/top/c.h\"\n");
    EXPECT_EQ(includesAgainstTheLinks(path), QStringList{u"low/a.h includes mid/b.h, but low does not link mid"_s});

    plant(path, u"CMakeLists.txt"_s,
          "quorvane_library(low_lib low Qt6::Core)\n"
          "quorvane_library(mid_lib mid Qt6::Core low_lib)\n"
          "quorvane_library(top_lib out/top Qt6::Widgets mid_lib)\n"
          "quorvane_library(gone_lib gone Qt6::Core)\n");
    plant(path, u"stray/d.cpp"_s, "#include \"low/a.h\"\n");
    plant(path, u"mid/e.cpp"_s, "#include \"stray/d.h\"\n");
    EXPECT_EQ(includesAgainstTheLinks(path),
              (QStringList{u"library folder gone holds no sources"_s,
                           u"low/a.h includes mid/b.h, but low does not link mid"_s,
                           u"mid/e.cpp includes stray/d.h, but mid links no library there"_s,
                           u"folder stray is no quorvane_library"_s}));
}

TEST(Sources, TheCycleCheckCatchesFilesIncludingEachOther)
{
    const QTemporaryDir root;
    ASSERT_TRUE(root.isValid());
    const QString path = root.path();
    plant(path, u"low/x.h"_s, "#pragma once\n#include \"low/y.h\"\n");
    plant(path, u"low/x.cpp"_s, "#include \"low/x.h\"\n");
    plant(path, u"low/y.cpp"_s, "#include \"low/y.h\"\n#include \"low/x.h\"\n");
    plant(path, u"low/y.h"_s, "#pragma once\n");
    plant(path, u"low/z.cpp"_s, "#include \"low/x.h\"\n");
    plant(path, u"mid/x.h"_s, "#pragma once\n#include \"low/y.h\"\n");
    EXPECT_EQ(fileCycles(path), QStringList{u"low: x -> y -> x"_s});

    plant(path, u"out/top/p.h"_s, "#pragma once\n#include \"out/top/q.h\"\n#include \"out/top/r.h\"\n");
    plant(path, u"out/top/q.cpp"_s, "#include \"out/top/r.h\"\n");
    plant(path, u"out/top/r.cpp"_s, "#include \"out/top/p.h\"\n");
    EXPECT_EQ(fileCycles(path),
              (QStringList{u"low: x -> y -> x"_s, u"out/top: p -> q -> r -> p"_s, u"out/top: p -> r -> p"_s}));
}
