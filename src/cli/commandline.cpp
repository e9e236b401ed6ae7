#include "cli/commandline.h"

#include "base/clock.h"
#include "base/paths.h"
#include "store/backups.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <cstdio>

using namespace Qt::StringLiterals;

namespace {

void say(FILE* to, const QString& text)
{
    std::fputs(text.toLocal8Bit().constData(), to);
    std::fputc('\n', to);
}

int restoreFrom(const QString& file)
{
    const QString ledger = databaseFile();
    if (!QFileInfo(ledger).isFile()) {
        say(stderr, u"There is no ledger at '%1' to restore into; start Quorvane once first."_s.arg(
                        QDir::toNativeSeparators(ledger)));
        return 1;
    }
    LedgerBackups backups(ledger, backupsFolderOf(ledger));
    try {
        const auto previous = backups.restore(file, now());
        const LedgerSummary restored = summarizeLedger(ledger);
        say(stdout, u"Restored %1 entries from '%2'."_s.arg(restored.entries).arg(QDir::toNativeSeparators(file)));
        if (previous)
            say(stdout, u"The ledger as it was is backed up in '%1'."_s.arg(QDir::toNativeSeparators(previous->path)));
        else
            say(stdout, u"The ledger as it was is the newest backup in '%1'."_s.arg(
                            QDir::toNativeSeparators(backups.folder())));
        return 0;
    } catch (const std::exception& error) {
        say(stderr, u"Nothing was restored: %1"_s.arg(QString::fromUtf8(error.what())));
        return 1;
    }
}

} // namespace

std::optional<int> runCommandLine(int argc, char* argv[])
{
    if (argc < 2)
        return std::nullopt;
    QCoreApplication application(argc, argv);
    QCoreApplication::setApplicationName(u"quorvane"_s);
    QCoreApplication::setApplicationVersion(QStringLiteral(QUORVANE_VERSION));
    QCommandLineParser parser;
    parser.setApplicationDescription(
        u"Quorvane, a ledger of money received and paid out.\n"
        "Without options it opens its window on the ledger in '%1'."_s.arg(QDir::toNativeSeparators(databaseFile())));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption restore(
        u"restore"_s, u"Backs up the ledger, then replaces it with the ledger in <file> (a backup)."_s, u"file"_s);
    parser.addOption(restore);
    // Qt's own options (-platform, -style ...) belong to the window; they pass through untouched.
    if (!parser.parse(application.arguments())) {
        if (parser.errorText().contains(u"Unknown option"_s))
            return std::nullopt;
        say(stderr, parser.errorText());
        return 2;
    }
    if (parser.isSet(u"help"_s)) {
        say(stdout, parser.helpText());
        return 0;
    }
    if (parser.isSet(u"version"_s)) {
        say(stdout, u"quorvane "_s + QCoreApplication::applicationVersion());
        return 0;
    }
    if (parser.isSet(restore))
        return restoreFrom(parser.value(restore));
    if (!parser.positionalArguments().isEmpty()) {
        say(stderr, u"Unexpected argument '%1'; see quorvane --help."_s.arg(parser.positionalArguments().first()));
        return 2;
    }
    return std::nullopt;
}
