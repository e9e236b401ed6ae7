#include "output/spreadsheet/spreadsheetprogram.h"

#include "base/failure.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTextStream>
#include <array>

using namespace Qt::StringLiterals;

namespace {

const QString fileCode = u"%f"_s;
const QString xlsxMimeType = u"application/vnd.openxmlformats-officedocument.spreadsheetml.sheet"_s;
constexpr int mimeQueryTimeoutMs = 5000;

// In the order we prefer them when several are installed.
constexpr std::array knownPrograms = {u"localc", u"libreoffice", u"soffice", u"gnumeric"};

// LibreOffice opens the workbook as a template, so the user gets an untitled document to keep or
// discard; Gnumeric has no such switch and opens the file itself.
std::optional<QStringList> knownArguments(QStringView name)
{
    if (name == u"gnumeric")
        return QStringList{fileCode};
    if (name == u"localc" || name == u"libreoffice" || name == u"soffice")
        return QStringList{u"--calc"_s, u"-n"_s, fileCode};
    return std::nullopt;
}

QString resolveExecutable(const QString& word)
{
    if (!QDir::isAbsolutePath(word))
        return word.contains(u'/') ? QString() : QStandardPaths::findExecutable(word);
    const QFileInfo file(word);
    return file.isFile() && file.isExecutable() ? word : QString();
}

// The Exec value of a desktop entry file's [Desktop Entry] group.
QString desktopExec(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    QTextStream in(&file);
    bool inEntry = false;
    while (!in.atEnd()) {
        const QString line = in.readLine().trimmed();
        if (line.startsWith(u'[')) {
            inEntry = line == u"[Desktop Entry]";
            continue;
        }
        const qsizetype equals = line.indexOf(u'=');
        if (inEntry && equals > 0 && QStringView(line).first(equals).trimmed() == u"Exec")
            return line.mid(equals + 1).trimmed();
    }
    return {};
}

// The desktop entry that `xdg-mime` names as the default for .xlsx files.
QString defaultDesktopEntry()
{
    const QString xdgMime = QStandardPaths::findExecutable(u"xdg-mime"_s);
    if (xdgMime.isEmpty())
        return {};
    QProcess query;
    query.setStandardErrorFile(QProcess::nullDevice());
    query.start(xdgMime, {u"query"_s, u"default"_s, xlsxMimeType});
    if (!query.waitForFinished(mimeQueryTimeoutMs)) {
        query.kill();
        query.waitForFinished();
        return {};
    }
    const QString id = QString::fromUtf8(query.readAllStandardOutput()).trimmed();
    if (query.exitCode() != 0 || !id.endsWith(u".desktop") || id.contains(u'/') || id.contains(u'\n'))
        return {};
    return QStandardPaths::locate(QStandardPaths::ApplicationsLocation, id);
}

} // namespace

QStringList SpreadsheetProgram::argumentsFor(const QString& workbook) const
{
    QStringList out = arguments;
    for (QString& argument : out)
        if (argument == fileCode)
            argument = workbook;
    return out;
}

std::optional<SpreadsheetProgram> programFromDesktopExec(const QString& exec)
{
    static const QRegularExpression shellSyntax(uR"(["'\\$`;&|<>(){}*?~#])"_s);
    if (exec.contains(shellSyntax))
        return std::nullopt;
    const QStringList words = exec.split(u' ', Qt::SkipEmptyParts);
    if (words.isEmpty())
        return std::nullopt;
    const QString executable = resolveExecutable(words.first());
    if (executable.isEmpty())
        return std::nullopt;
    if (auto known = knownArguments(QFileInfo(words.first()).fileName()))
        return SpreadsheetProgram{executable, *known};

    QStringList arguments;
    bool takesFile = false;
    for (const QString& word : words.sliced(1)) {
        if (!word.contains(u'%')) {
            arguments.append(word);
        } else if (word.size() == 2 && word.front() == u'%' && u"fFuU"_s.contains(word.back())) {
            arguments.append(fileCode);
            takesFile = true;
        } else if (word.size() != 2 || word.front() != u'%' || !u"ickdDnNvm"_s.contains(word.back())) {
            return std::nullopt; // a code inside a word, or "%%": not simple
        }
    }
    if (!takesFile)
        arguments.append(fileCode);
    return SpreadsheetProgram{executable, arguments};
}

std::optional<SpreadsheetProgram> findSpreadsheetProgram()
{
    for (const char16_t* name : knownPrograms) {
        const QString path = QStandardPaths::findExecutable(QString::fromUtf16(name));
        if (!path.isEmpty())
            return SpreadsheetProgram{path, *knownArguments(name)};
    }
    const QString entry = defaultDesktopEntry();
    return entry.isEmpty() ? std::nullopt : programFromDesktopExec(desktopExec(entry));
}

SpreadsheetProgram spreadsheetProgram()
{
    std::optional<SpreadsheetProgram> program = findSpreadsheetProgram();
    ensure(program.has_value(), u"No spreadsheet program was found."_s);
    return *program;
}

void openInSpreadsheetProgram(const SpreadsheetProgram& program, const QString& workbook)
{
    ensure(QProcess::startDetached(program.executable, program.argumentsFor(workbook)),
           u"The spreadsheet program '"_s + program.executable + u"' could not be started."_s);
}
