#include "cli/importcommand.h"

#include "cli/cliledger.h"
#include "cli/output.h"
#include "importing/importlayout.h"
#include "importing/importsource.h"
#include "importing/rowsinledger.h"
#include "store/connection.h"
#include "store/entryimport.h"

#include <QCommandLineParser>
#include <QDir>
#include <algorithm>
#include <cstdio>

using namespace Qt::StringLiterals;

namespace {

// In the order of DateOrder's values.
constexpr QStringView dateOrderNames[] = {u"DMY", u"MDY", u"YMD"};

// "1 entry", "3 entries".
QString counted(qsizetype count, const QString& one, const QString& many)
{
    return QString::number(count) + u' ' + (count == 1 ? one : many);
}

// A text as one line that cannot steer a terminal: line breaks, tabs and other control and format
// characters of the file become blanks.
QString oneLine(const QString& text)
{
    QString line;
    line.reserve(text.size());
    for (const char32_t c : text.toUcs4())
        line += QChar::isPrint(c) ? QString::fromUcs4(&c, 1) : u" "_s;
    return line;
}

// Why the file cannot be imported as guessed, where a script cannot look at the guesses as a user of
// the window does; empty when nothing stands in the way.
QString whyRefused(const ImportLayout& layout, const ImportRequest& request)
{
    if (!layout.columns.contains(ImportField::Date))
        return u"no column holds dates."_s;
    if (!mapsAnAmount(layout.columns))
        return u"no column holds amounts."_s;
    if (layout.decimalMarkOpen)
        return u"its amounts read with a decimal point as well as a decimal comma, and only your region would "
               "choose the %1. Import it in the window, where the mark can be chosen."_s.arg(
                   layout.decimalMark == DecimalMark::Point ? u"point"_s : u"comma"_s);
    if (layout.dateOrderOpen && !request.dateOrder)
        return u"its dates read either way round, and only your region would choose the order %1. Pass "
               "--date-order DMY|MDY|YMD."_s.arg(dateOrderNames[size_t(layout.dateOrder)]);
    return {};
}

// The entries of the rows that the ledger does not hold already; `held` counts the rows it holds.
std::vector<NewEntry> entriesToAdd(Connection& ledger, const std::vector<ImportRow>& rows, qsizetype& held)
{
    const std::vector<bool> inLedger = RowsInLedger(LedgerEntries(ledger)).find(rows);
    std::vector<NewEntry> entries;
    for (size_t i = 0; i < rows.size(); ++i) {
        if (inLedger[i])
            ++held;
        else if (rows[i].entry)
            entries.push_back(storedEntry(*rows[i].entry));
    }
    return entries;
}

struct Outcome
{
    qsizetype added = 0; // or, on a dry run, would be
    qsizetype held = 0;
};

Outcome importRows(const std::vector<ImportRow>& rows, bool dryRun)
{
    Outcome outcome;
    if (dryRun) {
        const auto ledger = openLedgerToRead();
        outcome.added = qsizetype(entriesToAdd(*ledger, rows, outcome.held).size());
        return outcome;
    }
    const auto ledger = openLedgerToWrite();
    // Looked up within the transaction that adds them: the window cannot add one of them in between.
    inOneBatch(*ledger, [&] {
        NewEntryInsert insert(*ledger);
        for (const NewEntry& entry : entriesToAdd(*ledger, rows, outcome.held)) {
            insert.add(entry);
            ++outcome.added;
        }
    });
    return outcome;
}

void report(const Outcome& outcome, const std::vector<ImportRow>& rows, bool dryRun)
{
    say(stdout, (dryRun ? u"Would add %1."_s : u"Added %1."_s).arg(counted(outcome.added, u"entry"_s, u"entries"_s)));
    if (outcome.held > 0)
        say(stdout, (dryRun ? u"Would skip %1 the ledger holds already."_s : u"Skipped %1 the ledger holds already."_s)
                        .arg(counted(outcome.held, u"entry"_s, u"entries"_s)));
    const auto unreadable = std::count_if(rows.begin(), rows.end(), [](const ImportRow& row) { return !row.entry; });
    if (unreadable == 0)
        return;
    say(stdout, u"Could not read %1:"_s.arg(counted(unreadable, u"row"_s, u"rows"_s)));
    for (const ImportRow& row : rows) {
        if (!row.entry)
            say(stdout, u"  line %1: %2"_s.arg(QString::number(row.line), oneLine(row.problem)));
    }
}

} // namespace

int runImport(const ImportRequest& request)
{
    const auto refuse = [&](const QString& why) {
        say(stderr, oneLine(u"Nothing was imported from '%1': %2"_s.arg(QDir::toNativeSeparators(request.file), why)));
        return 1;
    };
    try {
        const ImportSource source = readImportSource(request.file);
        ImportLayout layout = guessLayout(source.table);
        if (const QString why = whyRefused(layout, request); !why.isEmpty())
            return refuse(why);
        if (request.dateOrder)
            layout.dateOrder = *request.dateOrder;
        const std::vector<ImportRow> rows = convertStatement(source.table, layout);
        report(importRows(rows, request.dryRun), rows, request.dryRun);
        return 0;
    } catch (const std::exception& error) {
        return refuse(QString::fromUtf8(error.what()));
    }
}

ImportOptions::ImportOptions(QCommandLineParser& parser)
    : file_(u"import"_s,
            u"Adds the entries of the statement or workbook in <file> (.csv, .tsv, .txt, .xlsx) that the ledger "
            "does not hold yet, reading it as the import window does."_s,
            u"file"_s),
      dateOrder_(u"date-order"_s,
                 u"With --import: the order of day, month and year in the file's dates, DMY, MDY or YMD; needed "
                 "where the file does not tell."_s,
                 u"order"_s),
      dryRun_(u"dry-run"_s, u"With --import: says what it would add, changing nothing."_s)
{
    parser.addOptions({file_, dateOrder_, dryRun_});
}

bool ImportOptions::given(const QCommandLineParser& parser) const
{
    return parser.isSet(file_) || parser.isSet(dateOrder_) || parser.isSet(dryRun_);
}

std::variant<ImportRequest, QString> ImportOptions::request(const QCommandLineParser& parser) const
{
    if (!parser.isSet(file_))
        return u"--date-order and --dry-run go with --import <file>."_s;
    for (const QCommandLineOption& option : {file_, dateOrder_}) {
        if (parser.values(option).size() > 1)
            return u"--%1 is given more than once."_s.arg(option.names().front());
    }
    if (!parser.positionalArguments().isEmpty())
        return u"Unexpected argument '%1'."_s.arg(parser.positionalArguments().front());
    ImportRequest request{parser.value(file_), std::nullopt, parser.isSet(dryRun_)};
    if (request.file.isEmpty())
        return u"--import needs a file."_s;
    if (parser.isSet(dateOrder_)) {
        const QString value = parser.value(dateOrder_);
        const auto named = std::find_if(std::begin(dateOrderNames), std::end(dateOrderNames), [&](QStringView name) {
            return value.compare(name, Qt::CaseInsensitive) == 0;
        });
        if (named == std::end(dateOrderNames))
            return u"Unknown date order '%1': use DMY, MDY or YMD."_s.arg(value);
        request.dateOrder = DateOrder(named - std::begin(dateOrderNames));
    }
    return request;
}
