#include "cli/commandline.h"

#include "base/clock.h"
#include "base/failure.h"
#include "base/paths.h"
#include "cli/commands.h"
#include "cli/importcommand.h"
#include "cli/output.h"
#include "store/backups.h"
#include "store/connection.h"
#include "store/ledgercopy.h"
#include "store/ledgerlocation.h"
#include "store/storeerror.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QRegularExpression>
#include <cstdio>
#include <memory>
#include <optional>

using namespace Qt::StringLiterals;

namespace {

// What the ledger holds after a restore, read back from the ledger itself.
LedgerSummary restoredLedger(const LedgerLocation& location)
{
    if (!location.onServer())
        return summarizeLedger(databaseFile());
    Connection ledger;
    ledger.open(location.connectionText(), Connection::Access::ReadOnly);
    return tallyLedger(ledger);
}

int restoreFrom(const QString& file)
{
    const LedgerLocation location = LedgerLocation::chosen();
    if (!location.onServer() && !QFileInfo(databaseFile()).isFile()) {
        say(stderr, u"There is no ledger at '%1' to restore into; start Quorvane once first."_s.arg(
                        QDir::toNativeSeparators(databaseFile())));
        return 1;
    }
    LedgerBackups backups(location.toBackUp(), location.backupsFolder());
    try {
        const BackupFile previous = backups.restore(file, now());
        const LedgerSummary restored = restoredLedger(location);
        say(stdout, u"Restored %1 entries from '%2'%3."_s.arg(restored.entries)
                        .arg(QDir::toNativeSeparators(file),
                             location.onServer() ? u" into the ledger on "_s + location.describe() : QString()));
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

// The options of `options` that were given, in the order of `options`.
QList<const QCommandLineOption*> setAmong(const QCommandLineParser& parser,
                                          const QList<const QCommandLineOption*>& options)
{
    QList<const QCommandLineOption*> given;
    for (const QCommandLineOption* option : options)
        if (parser.isSet(*option))
            given.append(option);
    return given;
}

// "--totals or --list"
QString optionNames(const QList<const QCommandLineOption*>& options)
{
    QStringList names;
    for (const QCommandLineOption* option : options)
        names.append(u"--"_s + option->names().front());
    return names.join(u" or "_s);
}

// A date as scripts write it, 2026-12-31; invalid for anything else.
QDate isoDate(const QString& text)
{
    static const QRegularExpression shape(u"^\\d{4}-\\d{2}-\\d{2}$"_s);
    return shape.match(text).hasMatch() ? QDate::fromString(text, Qt::ISODate) : QDate();
}

// The report is painted, and painting needs fonts, which come with a GUI application: it gets one on
// a screen of its own, so that no display is needed. Every other command reads and writes data only.
std::unique_ptr<QCoreApplication> commandLineApplication(int& argc, char* argv[])
{
    for (int i = 1; i < argc; ++i) {
        const QByteArrayView argument(argv[i]);
        if (argument == "--report" || argument == "-report" || argument.startsWith("--report=")) {
            qputenv("QT_QPA_PLATFORM", "offscreen");
            return std::make_unique<QGuiApplication>(argc, argv);
        }
    }
    return std::make_unique<QCoreApplication>(argc, argv);
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
    const auto application = commandLineApplication(argc, argv);
    QCoreApplication::setApplicationName(u"quorvane"_s);
    QCoreApplication::setApplicationVersion(QStringLiteral(QUORVANE_VERSION));
    QCommandLineParser parser;
    parser.setApplicationDescription(
        u"Quorvane, a ledger of money received and paid out.\n"
        "Without options it opens its window on the ledger (now '%1'); with a FILE it opens the import of that "
        "file.\nDates are written YYYY-MM-DD. Exit codes: 0 done, 1 refused or failed, 2 usage."_s.arg(
            LedgerLocation::chosen().describe()));
    parser.addPositionalArgument(u"FILE"_s, u"A bank statement or workbook to import in the window."_s, u"[FILE]"_s);
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption restore(
        u"restore"_s, u"Backs up the ledger, then replaces it with the entries of the ledger in <file> (a backup)."_s,
        u"file"_s);
    const QCommandLineOption totals(u"totals"_s, u"Prints Received, Paid, Balance and the number of entries."_s);
    const QCommandLineOption list(u"list"_s, u"Prints the entries, tab-separated under a header line."_s);
    const QCommandLineOption exportTo(
        u"export"_s, u"Writes every entry to the workbook <file> (.xlsx) as Save Database To Excel does."_s, u"file"_s);
    const QCommandLineOption report(u"report"_s, u"Writes the printed report to <file> as PDF."_s, u"file"_s);
    const QCommandLineOption from(u"from"_s, u"With --totals or --list: only entries dated <date> or later."_s,
                                  u"date"_s);
    const QCommandLineOption to(u"to"_s, u"With --totals or --list: only entries dated <date> or earlier."_s,
                                u"date"_s);
    const QCommandLineOption json(u"json"_s, u"With --totals or --list: prints JSON."_s);
    const QCommandLineOption csv(u"csv"_s, u"With --list: prints comma-separated values."_s);
    const QCommandLineOption ledger(
        u"ledger"_s,
        u"The ledger to use: a PostgreSQL connection string (postgresql://host/database or host=... dbname=...; "
        "passwords go in ~/.pgpass or a service file), or \"\" for the private file. With a command it holds for "
        "that run only; otherwise the window opens on it and it is remembered."_s,
        u"text"_s);
    QCommandLineOption ticked(u"ticked"_s);
    ticked.setFlags(QCommandLineOption::HiddenFromHelp);
    parser.addOptions({restore, totals, list, exportTo, report, from, to, json, csv, ledger, ticked});
    const ImportOptions import(parser);
    // Qt's options are written with one dash (-platform offscreen).
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    acceptQtOptions(parser);
    if (!parser.parse(QCoreApplication::arguments()))
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

    const QList<const QCommandLineOption*> commands = {&restore, &totals, &list, &exportTo, &report};
    const QList<const QCommandLineOption*> given = setAmong(parser, commands);
    if (given.size() > 1)
        return refuse(parser, u"--%1 and --%2 cannot be given together: give one command at a time."_s.arg(
                                  given[0]->names().front(), given[1]->names().front()));
    const QCommandLineOption* command = given.isEmpty() ? nullptr : given.front();
    if (parser.isSet(ticked))
        return refuse(parser, u"--ticked cannot be honoured: the tick boxes live only in the open window. "
                              "--export writes every entry."_s);
    const QStringList files = parser.positionalArguments();
    if (command && !files.isEmpty())
        return refuse(parser, u"Unexpected argument '%1'."_s.arg(files.front()));
    if (files.size() > 1)
        return refuse(parser, u"Unexpected argument '%1'."_s.arg(files[1]));
    for (const auto& [modifier, owners] :
         {std::pair(&from, QList{&totals, &list}), std::pair(&to, QList{&totals, &list}),
          std::pair(&json, QList{&totals, &list}), std::pair(&csv, QList{&list})})
        if (parser.isSet(*modifier) && !owners.contains(command))
            return refuse(parser, u"--%1 goes with %2."_s.arg(modifier->names().front(), optionNames(owners)));
    if (parser.isSet(json) && parser.isSet(csv))
        return refuse(parser, u"--json and --csv cannot be given together."_s);
    std::optional<LedgerLocation> location;
    if (parser.isSet(ledger)) {
        try {
            location = LedgerLocation::fromText(parser.value(ledger));
        } catch (const StoreError& error) {
            return refuse(parser, QString::fromUtf8(error.what()));
        }
        // A command leaves the user's choice as it was; the window remembers it.
        if (command || import.given(parser))
            useLedgerLocationForThisRun(*location);
    }
    if (import.given(parser)) {
        if (command)
            return refuse(parser, u"--import and --%1 cannot be given together: give one command at a time."_s.arg(
                                      command->names().front()));
        if (!files.isEmpty())
            return refuse(parser, u"Unexpected argument '%1'."_s.arg(files.front()));
        const auto request = import.request(parser);
        const auto* misuse = std::get_if<QString>(&request);
        return misuse ? refuse(parser, *misuse) : runImport(std::get<ImportRequest>(request));
    }

    if (command == &restore)
        return restoreFrom(parser.value(restore));
    if (command == &exportTo)
        return runExport(parser.value(exportTo));
    if (command == &report)
        return runReport(parser.value(report));
    if (command == &totals || command == &list) {
        DateRange range;
        for (const auto& [option, date] : {std::pair(&from, &range.from), std::pair(&to, &range.to)})
            if (parser.isSet(*option) && !(*date = isoDate(parser.value(*option))).isValid())
                return refuse(parser, u"--%1 %2 is no date: write it as YYYY-MM-DD, for example 2026-12-31."_s.arg(
                                          option->names().front(), parser.value(*option)));
        if (range.from.isValid() && range.to.isValid() && range.from > range.to)
            return refuse(parser, u"--from %1 comes after --to %2."_s.arg(parser.value(from), parser.value(to)));
        const OutputForm form = parser.isSet(json)  ? OutputForm::Json
                                : parser.isSet(csv) ? OutputForm::Csv
                                                    : OutputForm::Text;
        return command == &totals ? runTotals(range, form) : runList(range, form);
    }
    if (location) {
        try {
            rememberLedgerLocation(*location);
        } catch (const Failure& error) {
            say(stderr, error.description());
            return 1;
        }
    }
    return WindowStart{files.isEmpty() ? QString() : QFileInfo(files.front()).absoluteFilePath()};
}
