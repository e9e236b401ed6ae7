#include "store/dialect.h"

#include "store/storeerror.h"

#include <QDate>
#include <cstdio>

using namespace Qt::StringLiterals;

namespace {

// Reads up to `maxDigits` digits at text[pos]; -1 when there is none.
int readNumber(QStringView text, qsizetype& pos, int maxDigits)
{
    int value = 0;
    int digits = 0;
    while (pos < text.size() && digits < maxDigits && text[pos].isDigit() && text[pos].unicode() < 128) {
        value = value * 10 + (text[pos].unicode() - u'0');
        ++pos;
        ++digits;
    }
    return digits == 0 ? -1 : value;
}

// 'YYYY-MM-DD', as the ledger stores dates.
QString isoDateLiteral(QDate date)
{
    char text[16];
    const int size = std::snprintf(text, sizeof text, "'%04d-%02d-%02d'", date.year(), date.month(), date.day());
    return QString::fromLatin1(text, size);
}

// Where a quoted run that opens at text[pos] ends: after its closing quote, where a doubled quote
// inside stands for itself (not for "]"); the end of the text when it never closes.
qsizetype quotedRunEnd(QStringView text, qsizetype pos, QChar close, bool& closed)
{
    for (qsizetype i = pos + 1; i < text.size(); ++i) {
        if (text[i] == close) {
            // A doubled quote inside the run stands for itself.
            if (close != u']' && i + 1 < text.size() && text[i + 1] == close) {
                ++i;
                continue;
            }
            closed = true;
            return i + 1;
        }
    }
    closed = false;
    return text.size();
}

// Where a comment that opens at text[pos] ends.
qsizetype commentEnd(QStringView text, qsizetype pos)
{
    if (text[pos + 1] == u'-') {
        const qsizetype nl = text.indexOf(u'\n', pos);
        return nl < 0 ? text.size() : nl + 1;
    }
    const qsizetype close = text.indexOf(u"*/", pos + 2);
    return close < 0 ? text.size() : close + 2;
}

} // namespace

DialectRun runAt(QStringView text, qsizetype pos)
{
    const QChar c = text[pos];
    DialectRun run{DialectRun::Other, pos + 1};
    if (c == u'\'') {
        run.kind = DialectRun::Text;
        run.end = quotedRunEnd(text, pos, c, run.closed);
    } else if (c == u'"' || c == u'`' || c == u'[') {
        run.kind = DialectRun::Name;
        run.end = quotedRunEnd(text, pos, c == u'[' ? QChar(u']') : c, run.closed);
    } else if ((c == u'-' || c == u'/') && pos + 1 < text.size() && text[pos + 1] == (c == u'-' ? u'-' : u'*')) {
        run.kind = DialectRun::Comment;
        run.end = commentEnd(text, pos);
    }
    return run;
}

QString textOfRun(QStringView text, qsizetype pos, const DialectRun& run)
{
    const QChar quote = text[pos];
    QString content = text.mid(pos + 1, run.end - pos - 2).toString();
    return quote == u'[' ? content : content.replace(QString(2, quote), QString(quote));
}

bool textIsPrefixed(QStringView text, qsizetype pos)
{
    return pos > 0 && (text[pos - 1].isLetterOrNumber() || text[pos - 1] == u'_');
}

qsizetype dateLiteralAt(QStringView text, qsizetype start, QDate& date)
{
    if (text[start] != u'#')
        return 0;
    qsizetype pos = start + 1;
    const int month = readNumber(text, pos, 2);
    if (month < 0 || pos >= text.size() || text[pos] != u'/')
        return 0;
    ++pos;
    const int day = readNumber(text, pos, 2);
    if (day < 0 || pos >= text.size() || text[pos] != u'/')
        return 0;
    ++pos;
    const int year = readNumber(text, pos, 4);
    if (year < 0 || pos >= text.size() || text[pos] != u'#')
        return 0;
    ++pos;
    date = QDate(year, month, day);
    if (!date.isValid())
        throw StoreError(u"Syntax error in date in query expression '"_s + text.mid(start, pos - start).toString() +
                         u"'."_s);
    return pos - start;
}

QString translateDialect(QStringView sql)
{
    // Most statements hold no date literal at all: hand them on as they are.
    if (!sql.contains(u'#'))
        return sql.toString();
    QString out;
    out.reserve(sql.size() + 8);
    qsizetype copied = 0; // sql[copied, pos) is still to be copied
    qsizetype pos = 0;
    while (pos < sql.size()) {
        QDate date;
        if (const qsizetype length = dateLiteralAt(sql, pos, date)) {
            out += sql.mid(copied, pos - copied);
            out += isoDateLiteral(date);
            pos += length;
            copied = pos;
        } else {
            pos = runAt(sql, pos).end;
        }
    }
    out += sql.mid(copied);
    return out;
}
