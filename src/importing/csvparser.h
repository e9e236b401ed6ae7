#pragma once

#include <QChar>
#include <QStringList>
#include <QStringView>

// Splits decoded text into records of fields, one record per call. Lines are counted from 1, a line
// break inside quotes included, so messages can point into the file as an editor shows it.
class CsvParser
{
public:
    CsvParser(QStringView text, QChar delimiter);

    // The next record that is not blank; false at the end of the text. Throws Failure when a record
    // is wider than importColumnLimit or the text ends inside quotes.
    bool next(QStringList& fields);
    // The line on which the record that next() gave last starts.
    int recordLine() const { return recordLine_; }
    // How many characters of the text are read.
    qsizetype position() const { return pos_ - begin_; }

private:
    bool isFieldEnd(char16_t c) const;
    QString readField();
    QString readQuoted(const char16_t* from);
    void skipLineBreak();

    const char16_t* const begin_;
    const char16_t* pos_;
    const char16_t* const end_;
    const char16_t delimiter_;
    int line_ = 1;
    int recordLine_ = 1;
    qsizetype width_ = 0; // of the last record: room for the next one's fields
};
