#include "ledgergenerator.h"

#include <QCoreApplication>
#include <QDate>
#include <QFile>
#include <random>
#include <sqlite3.h>
#include <stdexcept>
#include <sys/resource.h>

namespace {

const char* const reasonStems[] = {
    "Rent", "Electric",  "Water Bill", "Gig",           "Guitar Lesson",     "Guitar Teaching", "Job",    "Groceries",
    "Fuel", "Insurance", "Repairs",    "Café supplies", "O'Brien's invoice", "Taxes",           "Travel", "Software"};
const char* const nameStems[] = {"Marrowfen",     "Tobren",     "O'Neil",        "Müller GmbH",
                                 "Åsa Lindqvist", "Zoë Carter", "Nguyễn Văn An", "Smith & Sons",
                                 "D'Arcy Ltd",    "Jönsson AB", "Kowalski",      "Martín Pérez"};
const char* const methods[] = {"Cash", "Cheque", "Transfer", "Card"};
const char* const noteWords[] = {"paid",     "late",     "invoice", "#42",   "per",     "agreement", "with",    "the",
                                 "client's", "approval", "🎸",       "naïve", "deposit", "refund",    "“quoted”"};

void check(int rc, sqlite3* db)
{
    if (rc != SQLITE_OK && rc != SQLITE_DONE && rc != SQLITE_ROW)
        throw std::runtime_error(sqlite3_errmsg(db));
}

} // namespace

QString benchTemplateLedger()
{
    return QCoreApplication::applicationDirPath() + QStringLiteral("/dbBlank.mdb");
}

double peakMemoryMiB()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_maxrss) / 1024.0;
}

void generateLedger(const QString& path, int count, unsigned seed)
{
    QFile::remove(path);
    if (!QFile::copy(benchTemplateLedger(), path))
        throw std::runtime_error("cannot copy the template ledger");
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);

    sqlite3* db = nullptr;
    check(sqlite3_open(path.toUtf8().constData(), &db), db);
    check(sqlite3_exec(db, "PRAGMA synchronous=OFF; BEGIN", nullptr, nullptr, nullptr), db);
    sqlite3_stmt* insert = nullptr;
    check(sqlite3_prepare_v2(db,
                             "insert into tblData (datercvd,reason,fromcompany,tocompany,amount,paymentmethod,notes,"
                             "paymenttype) values (?,?,?,?,?,?,?,?)",
                             -1, &insert, nullptr),
          db);

    std::mt19937 random(seed);
    auto pick = [&](int n) { return int(random() % unsigned(n)); };
    const QDate first(2000, 1, 1);
    for (int i = 0; i < count; ++i) {
        const QByteArray date = first.addDays(pick(9000)).toString(Qt::ISODate).toLatin1();
        const QByteArray reason = QByteArray(reasonStems[pick(16)]) + ' ' + QByteArray::number(pick(20));
        const QByteArray from = QByteArray(nameStems[pick(12)]) + ' ' + QByteArray::number(pick(25));
        const QByteArray to = QByteArray(nameStems[pick(12)]) + ' ' + QByteArray::number(pick(25));
        QByteArray notes;
        for (int w = pick(12); w > 0; --w)
            notes += QByteArray(noteWords[pick(15)]) + ' ';
        const double amount = double(pick(5000000)) / 100.0;
        sqlite3_bind_text(insert, 1, date.constData(), int(date.size()), SQLITE_TRANSIENT);
        sqlite3_bind_text(insert, 2, reason.constData(), int(reason.size()), SQLITE_TRANSIENT);
        sqlite3_bind_text(insert, 3, from.constData(), int(from.size()), SQLITE_TRANSIENT);
        sqlite3_bind_text(insert, 4, to.constData(), int(to.size()), SQLITE_TRANSIENT);
        sqlite3_bind_double(insert, 5, amount);
        sqlite3_bind_text(insert, 6, methods[pick(4)], -1, SQLITE_STATIC);
        sqlite3_bind_text(insert, 7, notes.constData(), int(notes.size()), SQLITE_TRANSIENT);
        sqlite3_bind_int(insert, 8, pick(10) < 6 ? 1 : 2);
        check(sqlite3_step(insert), db);
        sqlite3_reset(insert);
    }
    sqlite3_finalize(insert);
    check(sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr), db);
    sqlite3_close(db);
}
