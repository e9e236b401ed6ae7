#include "store/serverdialect.h"

#include "money/numberparser.h"
#include "store/dialect.h"
#include "store/statementfaults.h"
#include "store/storeddate.h"
#include "store/storeerror.h"

#include <algorithm>
#include <optional>

using namespace Qt::StringLiterals;

namespace {

// Whole statements the server is given otherwise. Its rows come in no set order, where the ledger
// file's engine hands them out in the order they were added.
struct Rewrite
{
    QStringView ledger;
    QStringView server;
};
constexpr Rewrite rewrites[] = {
    {u"select * from tblData", u"select * from tblData order by id"},
    // The staging table keeps its rows' order in a counter of its own, which the report never sees.
    {u"select * from tblReport", u"select \"date\",valuein,valueout,payer,payee from tblreport order by seq"},
};

bool isWordCharacter(QChar c)
{
    return c.isLetterOrNumber() || c == u'_';
}

// The server folds unquoted names to lower case (ASCII letters only), so [Date] must name what
// date names, as both do on the ledger file.
QString serverName(QStringView name)
{
    QString quoted = u"\""_s;
    for (const QChar c : name) {
        if (c == u'"')
            quoted += u"\"\""_s;
        else if (c >= u'A' && c <= u'Z')
            quoted += QChar(c.unicode() - u'A' + u'a');
        else
            quoted += c;
    }
    return quoted + u'"';
}

class Translator
{
public:
    explicit Translator(QStringView sql) : sql_(sql) {}

    ServerStatement translate()
    {
        if (sql_.contains(QChar(0)))
            throw StoreError(nulInTextMessage());
        bool ended = false;     // after the statement's ';'
        bool statement = false; // anything but blanks and comments seen
        qsizetype pos = 0;
        while (pos < sql_.size()) {
            const DialectRun run = runAt(sql_, pos);
            const QChar c = sql_[pos];
            const bool blank = run.kind == DialectRun::Comment || c.isSpace();
            if (ended && !blank && c != u';')
                throw StoreError(trailingStatementMessage());
            statement = statement || (!blank && c != u';');
            pos = ended ? run.end : take(pos, run);
            ended = ended || c == u';';
        }
        if (!statement)
            throw StoreError(noStatementMessage());
        const QString plain = out_.text.simplified();
        for (const Rewrite& rewrite : rewrites) {
            if (plain.compare(rewrite.ledger, Qt::CaseInsensitive) == 0)
                out_.text = rewrite.server.toString();
        }
        return out_;
    }

private:
    // Writes what `run` at sql_[pos] stands for; returns where the next run starts.
    qsizetype take(qsizetype pos, const DialectRun& run)
    {
        switch (run.kind) {
        case DialectRun::Text:
            if (!run.closed)
                throw StoreError(u"unrecognized token: \""_s + sql_.mid(pos).toString() + u'"');
            if (textIsPrefixed(sql_, pos))
                throw StoreError(u"On a server ledger, a quoted text takes no prefix: "_s +
                                 sql_.mid(pos - 1, run.end - pos + 1).toString());
            return placeholder(textOfRun(sql_, pos, run), u"", pos, run.end);
        case DialectRun::Name:
            if (!run.closed)
                throw StoreError(u"unrecognized token: \""_s + sql_.mid(pos).toString() + u'"');
            out_.text += serverName(textOfRun(sql_, pos, run));
            return run.end;
        case DialectRun::Comment:
            // Dropped: the server nests /* */, the ledger file's engine does not.
            out_.text += u' ';
            return run.end;
        case DialectRun::Other:
            break;
        }
        const QChar c = sql_[pos];
        if (c == u';')
            return run.end;
        // '$' would also open the server's own kind of quoted text.
        if (c == u'?' || c == u'$')
            throw StoreError(u"On a server ledger, a statement takes no parameters of its own: "_s + c);
        QDate date;
        if (const qsizetype length = dateLiteralAt(sql_, pos, date))
            return placeholder(date, u"::date", pos, pos + length);
        if ((c.isLetter() || c == u'_') && (pos == 0 || !isWordCharacter(sql_[pos - 1])))
            return word(pos);
        out_.text += c;
        return run.end;
    }

    // A word, or a call of CDate or CDbl, which the server has not: their literal is read here.
    qsizetype word(qsizetype pos)
    {
        qsizetype end = pos;
        while (end < sql_.size() && isWordCharacter(sql_[end]))
            ++end;
        const QStringView name = sql_.mid(pos, end - pos);
        const bool isDate = name.compare(u"CDate", Qt::CaseInsensitive) == 0;
        const bool isDouble = name.compare(u"CDbl", Qt::CaseInsensitive) == 0;
        const qsizetype open = blanksEnd(end);
        if ((!isDate && !isDouble) || open == sql_.size() || sql_[open] != u'(') {
            out_.text += name;
            return end;
        }
        // The call's form is checked before its literal is read, so a call of another form is refused as such.
        const qsizetype argument = blanksEnd(open + 1);
        qsizetype argumentEnd = argument;
        std::optional<QString> text;
        QDate date;
        if (argument < sql_.size()) {
            const DialectRun run = runAt(sql_, argument);
            if (run.kind == DialectRun::Text && run.closed && !textIsPrefixed(sql_, argument)) {
                text = textOfRun(sql_, argument, run);
                argumentEnd = run.end;
            } else if (isDate) {
                argumentEnd += dateLiteralAt(sql_, argument, date);
            }
        }
        const qsizetype close = blanksEnd(argumentEnd);
        if (argumentEnd == argument || close == sql_.size() || sql_[close] != u')')
            throw StoreError(isDate ? u"On a server ledger, CDate takes only a quoted text or a #date#."_s
                                    : u"On a server ledger, CDbl takes only a quoted text."_s);
        if (!isDate)
            return placeholder(readDouble(*text), u"::float8", pos, close + 1);
        return placeholder(text ? readDate(*text) : date, u"::date", pos, close + 1);
    }

    static QDate readDate(const QString& text)
    {
        const QDate date = readDateText(text.toUtf8());
        if (!date.isValid())
            throw StoreError(mismatchMessage(u"CDate", text));
        return date;
    }

    static double readDouble(const QString& text)
    {
        const std::optional<double> number = parseNumber(text);
        if (!number)
            throw StoreError(mismatchMessage(u"CDbl", text));
        return *number;
    }

    // Writes $n in place of sql_[from, to), its value kept apart; returns `to`.
    qsizetype placeholder(ServerValue value, QStringView cast, qsizetype from, qsizetype to)
    {
        // Apart from a word before or after, which would otherwise run into it.
        if (from > 0 && isWordCharacter(sql_[from - 1]))
            out_.text += u' ';
        out_.values.append(std::move(value));
        out_.text += u'$' + QString::number(out_.values.size());
        out_.text += cast;
        if (to < sql_.size() && isWordCharacter(sql_[to]))
            out_.text += u' ';
        return to;
    }

    qsizetype blanksEnd(qsizetype pos) const
    {
        while (pos < sql_.size() && sql_[pos].isSpace())
            ++pos;
        return pos;
    }

    QStringView sql_;
    ServerStatement out_;
};

} // namespace

ServerStatement serverStatement(QStringView ledgerStatement)
{
    return Translator(ledgerStatement).translate();
}

ServerStoreSql serverStoreSql(QByteArrayView storeSql)
{
    const QString sql = QString::fromUtf8(storeSql);
    QString out;
    int count = 0;
    bool ended = false; // after a ';'
    qsizetype pos = 0;
    while (pos < sql.size()) {
        const DialectRun run = runAt(sql, pos);
        if (ended && run.kind != DialectRun::Comment && !sql[pos].isSpace() && sql[pos] != u';')
            throw StoreError(trailingStatementMessage());
        ended = ended || (run.kind == DialectRun::Other && sql[pos] == u';');
        if (run.kind == DialectRun::Name && run.closed && sql[pos] == u'[') {
            out += serverName(textOfRun(sql, pos, run));
        } else if (run.kind == DialectRun::Other && sql[pos] == u'?') {
            qsizetype end = pos + 1;
            while (end < sql.size() && sql[end].isDigit())
                ++end;
            // ?N names its parameter; a bare ? takes the one after the highest named so far.
            const int number = end > pos + 1 ? sql.mid(pos + 1, end - pos - 1).toInt() : count + 1;
            count = std::max(count, number);
            out += u'$' + QString::number(number);
            pos = end;
            continue;
        } else {
            out += sql.mid(pos, run.end - pos);
        }
        pos = run.end;
    }
    return {out.toUtf8(), count};
}
