#include "cli/commandline.h"

#include "base/clock.h"
#include "base/paths.h"
#include "cli/importcommand.h"
#include "cli/output.h"
#include "store/backups.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <cstdio>

using namespace Qt::StringLiterals;

namespace {

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
        const BackupFile previous = backups.restore(file, now());
        const LedgerSummary restored = summarizeLedger(ledger);
        say(stdout, u"Restored %1 entries from '%2'."_s.arg(restored.entries).arg(QDir::toNativeSeparators(file)));
        say(stdout, backedUpIn(previous));
        return 0;
    } catch (const RestoreFailed& error) {
        const QString why = QString::fromUtf8(error.what());
        say(stderr, error.ledgerUnchanged ? u"Nothing was restored: "_s + why
                                          : u"The restore failed midway and the ledger may have changed: "_s + why);
        if (error.previous)
            say(stderr, backedUpIn(*error.previous));
        return 1;
    } catch (const std::exception& error) {
        // The restore ended; only reading back what it holds failed.
        say(stderr, u"The ledger was restored, but could not be read back: "_s + QString::fromUtf8(error.what()));
        return 1;
    }
}

// The options every Qt program takes (Qt reads them when the window opens): accepted and passed on.
void acceptQtOptions(QCommandLineParser& parser)
{
    for (const char* name :
         {"platform", "platformpluginpath", "platformtheme", "plugin", "qwindowgeometry", "qwindowicon", "qwindowtitle",
          "display", "geometry", "style", "stylesheet", "session", "title"}) {
        QCommandLineOption option(QString::fromLatin1(name), QString(), u"value"_s);
        option.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(option);
    }
    for (const char* name : {"reverse", "widgetcount", "nograb", "dograb", "sync"}) {
        QCommandLineOption option(QString::fromLatin1(name));
        option.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(option);
    }
}

int refuse(const QCommandLineParser& parser, const QString& why)
{
    say(stderr, why);
    say(stderr, parser.helpText());
    return 2;
}

} // namespace

std::variant<int, WindowStart> runCommandLine(int argc, char* argv[])
{
    if (argc < 2)
        return WindowStart{};
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
        u"restore"_s, u"Backs up the ledger, then replaces it with the entries of the ledger in <file> (a backup)."_s,
        u"file"_s);
    parser.addOption(restore);
    const ImportOptions import(parser);
    // Qt's options are written with one dash (-platform offscreen).
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    acceptQtOptions(parser);
    if (!parser.parse(application.arguments()))
        return refuse(parser, parser.errorText());
    if (parser.isSet(u"help"_s)) {
        say(stdout, parser.helpText());
        return 0;
    }
    if (parser.isSet(u"version"_s)) {
        say(stdout, u"quorvane "_s + QCoreApplication::applicationVersion());
        say(stdout, u"License GPL-3.0-or-later: GNU GPL version 3 or later <https://gnu.org/licenses/gpl.html>.\n"
                    "This is free software: you are free to change and redistribute it. "
                    "There is NO WARRANTY, to the extent permitted by law."_s);
        return 0;
    }
    if (parser.isSet(restore))
        return restoreFrom(parser.value(restore));
    if (import.given(parser)) {
        const auto request = import.request(parser);
        const auto* misuse = std::get_if<QString>(&request);
        return misuse ? refuse(parser, *misuse) : runImport(std::get<ImportRequest>(request));
    }
    const QStringList files = parser.positionalArguments();
    if (files.size() > 1)
        return refuse(parser, u"Unexpected argument '%1'."_s.arg(files[1]));
    return WindowStart{files.isEmpty() ? QString() : QFileInfo(files.front()).absoluteFilePath()};
}
