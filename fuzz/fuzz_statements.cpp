// The statement builders with fuzzed texts, run on a real ledger through Connection: every built
// statement runs as exactly one statement, and every text and amount reads back unchanged. A text
// holding NUL cannot pass through the statement text; such a statement must be refused with a
// StoreError, never half run.
#include "fuzzinput.h"
#include "money/numberparser.h"
#include "store/connection.h"
#include "store/recordset.h"
#include "store/statements.h"
#include "store/storeerror.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cmath>
#include <memory>

using namespace Qt::StringLiterals;

namespace {

Connection& ledger()
{
    static Connection conn;
    return conn;
}

qint64 count(const QString& table)
{
    Recordset rows;
    rows.open(u"select count(*) from "_s + table, ledger());
    return rows.intValue(0);
}

qint64 lastId()
{
    Recordset rows;
    rows.open(u"select max(id) from tblData"_s, ledger());
    return rows.intValue(0);
}

bool hasNul(const Entry& e)
{
    for (const QString* text : {&e.reason, &e.fromCompany, &e.toCompany, &e.paymentMethod, &e.notes})
        if (text->contains(QChar(0)))
            return true;
    return false;
}

// Runs a statement that must either succeed or, for a text with NUL, be refused.
bool run(const QString& statement, bool mayBeRefused)
{
    try {
        ledger().execute(statement);
        return true;
    } catch (const StoreError& e) {
        fuzzCheck(mayBeRefused, "a built statement failed", QString::fromUtf8(e.what()) + u'\n' + statement);
        return false;
    }
}

Entry takeEntry(FuzzedDataProvider& input, double amount)
{
    Entry e;
    e.date = QDate(1000, 1, 1).addDays(input.ConsumeIntegralInRange<qint64>(0, 3287181)); // to 9999-12-31
    e.reason = takeText(input, 512);
    e.fromCompany = takeText(input, 512);
    e.toCompany = takeText(input, 512);
    e.amountText = amountText(amount);
    e.paymentMethod = takeText(input, 512);
    e.notes = takeText(input, 8192);
    e.direction = input.ConsumeBool() ? Direction::PaidOut : Direction::Received;
    return e;
}

void checkEntry(const Entry& e, double amount, qint64 id, const QString& statement)
{
    Recordset row;
    row.open(selectEntry(QString::number(id)), ledger());
    fuzzCheck(!row.eof(), "the saved entry is missing", statement);
    const bool same =
        row.field(u"datercvd").toDate() == e.date && row.field(u"reason").toString() == e.reason &&
        row.field(u"fromcompany").toString() == e.fromCompany && row.field(u"tocompany").toString() == e.toCompany &&
        row.field(u"amount").toDouble() == amount && row.field(u"paymentmethod").toString() == e.paymentMethod &&
        row.field(u"notes").toString() == e.notes && row.field(u"paymenttype").toLongLong() == storedValue(e.direction);
    fuzzCheck(same, "the entry did not read back unchanged", statement);
}

// S3 or S4, then S5 with the second entry's values, then S6: one row at a time in tblData.
void checkEntryStatements(const Entry& first, const Entry& second, double amount, bool copy)
{
    const bool refusable = hasNul(first) || hasNul(second);
    const QString insert = copy ? insertCopy(first) : insertEntry(first);
    if (!run(insert, hasNul(first))) {
        fuzzCheck(count(u"tblData"_s) == 0, "a refused insert left a row", insert);
        return;
    }
    fuzzCheck(count(u"tblData"_s) == 1, "an insert did not add exactly one row", insert);
    const qint64 id = lastId();
    checkEntry(first, amount, id, insert);

    const QString update = updateEntry(second, QString::number(id));
    if (run(update, refusable) && !hasNul(second))
        checkEntry(second, amount, id, update);
    else
        checkEntry(first, amount, id, update);

    run(deleteEntry(QString::number(id)), false);
    fuzzCheck(count(u"tblData"_s) == 0, "delete left the row", deleteEntry(QString::number(id)));
}

void checkReportStatement(const Entry& e, double amount, bool received)
{
    run(clearReport(), false);
    const QString insert = received ? insertReportReceived(e.date, e.amountText, e.fromCompany, e.toCompany)
                                    : insertReportPaid(e.date, e.amountText, e.fromCompany, e.toCompany);
    const bool saved = run(insert, e.fromCompany.contains(QChar(0)) || e.toCompany.contains(QChar(0)));
    fuzzCheck(count(u"tblReport"_s) == (saved ? 1 : 0), "a report insert did not add exactly one row", insert);
    if (!saved)
        return;
    Recordset row;
    row.open(selectReport(), ledger());
    const bool same = row.field(u"Date").toDate() == e.date &&
                      row.field(u"ValueIn").toDouble() == (received ? amount : 0.0) &&
                      row.field(u"ValueOut").toDouble() == (received ? 0.0 : amount) &&
                      row.field(u"Payer").toString() == e.fromCompany && row.field(u"Payee").toString() == e.toCompany;
    fuzzCheck(same, "the report row did not read back unchanged", insert);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    // A ledger of its own, in a scratch folder.
    static QTemporaryDir root(scratchFolderTemplate());
    const QString folder = root.path() + u"/Marrowfen/Quorvane"_s;
    QDir().mkpath(folder);
    if (!QFile::copy(QStringLiteral(QUORVANE_TEMPLATE_LEDGER), folder + u"/dbData.mdb"_s))
        fuzzFailure("cannot copy the template ledger", QStringLiteral(QUORVANE_TEMPLATE_LEDGER));
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    ledger().open(connectionString(root.path()));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzedDataProvider input(data, size);
    const double amount = input.ConsumeFloatingPoint<double>();
    if (!std::isfinite(amount))
        return 0;
    const int which = input.ConsumeIntegralInRange(0, 3);
    const Entry first = takeEntry(input, amount);
    if (which < 2) {
        Entry second = takeEntry(input, amount);
        checkEntryStatements(first, second, amount, which == 1);
    } else {
        checkReportStatement(first, amount, which == 2);
    }
    return 0;
}
