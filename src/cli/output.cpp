#include "cli/output.h"

#include "base/failure.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryFile>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <exception>

using namespace Qt::StringLiterals;

void say(FILE* to, const QString& text)
{
    std::fputs(text.toLocal8Bit().constData(), to);
    std::fputc('\n', to);
}

QByteArray plainMoney(double amount)
{
    const double cents = std::round(amount * 100);
    char text[400]; // room for the largest double written out in full
    const auto end =
        std::to_chars(text, text + sizeof text, cents == 0 ? 0.0 : cents / 100, std::chars_format::fixed, 2).ptr;
    return QByteArray(text, end - text);
}

int reportingFailures(const std::function<int()>& command)
{
    try {
        return command();
    } catch (const std::exception& error) {
        say(stderr, QString::fromUtf8(error.what()));
        return 1;
    }
}

void writeWhole(const QString& file, const std::function<void(const QString& temporaryPath)>& write)
{
    const QString shown = QDir::toNativeSeparators(file);
    if (QFileInfo(file).isDir())
        throw Failure(u"'%1' is a folder; name the file to write."_s.arg(shown));
    // Beside the target, so that the rename never crosses file systems.
    QTemporaryFile temporary(QFileInfo(file).absolutePath() + u"/.quorvane-XXXXXX"_s);
    if (!temporary.open())
        throw Failure(u"Could not write '%1': %2"_s.arg(shown, temporary.errorString()));
    temporary.close();
    write(temporary.fileName());
    QFile::setPermissions(temporary.fileName(), QFile::ReadOwner | QFile::WriteOwner);
    // rename(2) replaces an existing file in one step. The file stays private (0600), as the
    // ledger it comes from is.
    if (std::rename(QFile::encodeName(temporary.fileName()).constData(), QFile::encodeName(file).constData()) != 0)
        throw Failure(u"Could not write '%1': %2"_s.arg(shown, QString::fromLocal8Bit(std::strerror(errno))));
    temporary.setAutoRemove(false);
}
