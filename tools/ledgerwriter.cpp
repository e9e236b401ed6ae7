#include "ledgerwriter.h"

#include "money/numberparser.h"
#include "store/connection.h"
#include "store/statements.h"

#include <QDate>
#include <QElapsedTimer>
#include <algorithm>
#include <cstdio>
#include <unistd.h>

using namespace Qt::StringLiterals;

void say(const QString& line)
{
    const QByteArray bytes = (line + u'\n').toUtf8();
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(STDOUT_FILENO, bytes.constData() + done, size_t(bytes.size() - done));
        if (n <= 0)
            return;
        done += n;
    }
}

namespace {

Entry entry(const QString& marker, int n)
{
    Entry e;
    e.date = QDate(2021, 1, 1).addDays(n % 365);
    e.reason = u"Crash test 'saved'"_s;
    e.fromCompany = u"Marrowfen"_s;
    e.toCompany = u"Tobren"_s;
    e.amountText = amountText(n * 1.25 + 0.01);
    e.paymentMethod = u"Cash"_s;
    e.notes = marker;
    e.direction = n % 2 ? Direction::PaidOut : Direction::Received;
    return e;
}

} // namespace

QString entryMarker(const QString& prefix, int n)
{
    return prefix + u'-' + QString::number(n);
}

int runLedgerWriter(const QString& dataRoot, const QString& prefix, int count, int pauseMs)
{
    try {
        Connection conn;
        conn.open(connectionString(dataRoot));
        say(u"ready"_s);
        QElapsedTimer save;
        qint64 longestMs = 0;
        for (int n = 0; n < count; ++n) {
            const QString marker = entryMarker(prefix, n);
            save.start();
            conn.execute(insertEntry(entry(marker, n)));
            longestMs = std::max(longestMs, save.elapsed());
            say(marker);
            if (pauseMs > 0)
                ::usleep(useconds_t(pauseMs) * 1000);
        }
        say(QString::fromLatin1(longestSaveTag) + QString::number(longestMs));
        return 0;
    } catch (const std::exception& e) {
        fprintf(stderr, "writer %s: %s\n", qPrintable(prefix), e.what());
        return 2;
    }
}
