#include "importing/csvparser.h"

#include "base/failure.h"
#include "importing/importtable.h"

using namespace Qt::StringLiterals;

CsvParser::CsvParser(QStringView text, QChar delimiter)
    : begin_(text.utf16()), pos_(text.utf16()), end_(text.utf16() + text.size()), delimiter_(delimiter.unicode())
{
}

bool CsvParser::next(QStringList& fields)
{
    for (;;) {
        fields.clear();
        fields.reserve(width_);
        while (pos_ < end_ && (*pos_ == u'\r' || *pos_ == u'\n'))
            skipLineBreak();
        if (pos_ == end_)
            return false;
        recordLine_ = line_;
        for (;;) {
            if (fields.size() == importColumnLimit)
                throw Failure(u"Line %1 has more than %2 columns."_s.arg(recordLine_).arg(importColumnLimit));
            fields.append(readField());
            if (pos_ == end_ || *pos_ != delimiter_)
                break;
            ++pos_;
        }
        if (pos_ < end_)
            skipLineBreak();
        // A line of blanks only is as blank as an empty one.
        if (fields.size() > 1 || !fields.front().isEmpty()) {
            width_ = fields.size();
            return true;
        }
    }
}

bool CsvParser::isFieldEnd(char16_t c) const
{
    return c == delimiter_ || c == u'\n' || c == u'\r';
}

QString CsvParser::readField()
{
    const char16_t* p = pos_;
    while (p < end_ && (*p == u' ' || *p == u'\t') && *p != delimiter_)
        ++p;
    if (p < end_ && *p == u'"')
        return readQuoted(p + 1);
    const char16_t* const start = pos_;
    while (p < end_ && !isFieldEnd(*p))
        ++p;
    pos_ = p;
    return QStringView(start, p).trimmed().toString();
}

QString CsvParser::readQuoted(const char16_t* p)
{
    const int startLine = line_;
    QString value;
    for (;;) {
        const char16_t* const chunk = p;
        while (p < end_ && *p != u'"') {
            if (*p == u'\n' || (*p == u'\r' && (p + 1 == end_ || p[1] != u'\n')))
                ++line_;
            ++p;
        }
        value.append(QStringView(chunk, p));
        if (p == end_)
            throw Failure(u"The file ends inside a quoted field that starts on line %1."_s.arg(startLine));
        ++p;
        if (p == end_ || *p != u'"')
            break;
        value.append(u'"');
        ++p;
    }
    // Text after the closing quote breaks the rules, but is the writer's text all the same: keep it.
    const char16_t* const rest = p;
    while (p < end_ && !isFieldEnd(*p))
        ++p;
    value.append(QStringView(rest, p).trimmed());
    pos_ = p;
    return value;
}

void CsvParser::skipLineBreak()
{
    if (*pos_ == u'\r' && pos_ + 1 < end_ && pos_[1] == u'\n')
        ++pos_;
    ++pos_;
    ++line_;
}
