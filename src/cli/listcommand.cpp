#include "base/failure.h"
#include "cli/cliledger.h"
#include "cli/commands.h"
#include "cli/output.h"

#include <QUtf8StringView>
#include <algorithm>
#include <array>
#include <charconv>
#include <cstdio>

namespace {

struct Column
{
    const char* name;
    EntryField field;
};

constexpr std::array<Column, 9> columns = {{{"id", EntryField::Id},
                                            {"date", EntryField::Date},
                                            {"direction", EntryField::Direction},
                                            {"amount", EntryField::Amount},
                                            {"reason", EntryField::Reason},
                                            {"from", EntryField::FromCompany},
                                            {"to", EntryField::ToCompany},
                                            {"method", EntryField::PaymentMethod},
                                            {"notes", EntryField::Notes}}};

// A stored text is written as valid UTF-8 whatever the file holds: bytes that are not become U+FFFD.
template <typename Use> void withValidUtf8(QByteArrayView text, Use&& use)
{
    if (QUtf8StringView(text).isValidUtf8())
        use(text);
    else
        use(QByteArrayView(QString::fromUtf8(text).toUtf8()));
}

void appendTextField(QByteArray& out, QByteArrayView text)
{
    for (const char c : text) {
        switch (c) {
        case '\t':
            out += "\\t";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\\':
            out += "\\\\";
            break;
        default:
            out += c;
        }
    }
}

void appendCsvField(QByteArray& out, QByteArrayView text)
{
    if (std::none_of(text.begin(), text.end(), [](char c) { return c == ',' || c == '"' || c == '\n' || c == '\r'; })) {
        out += text;
        return;
    }
    out += '"';
    for (const char c : text) {
        if (c == '"')
            out += '"';
        out += c;
    }
    out += '"';
}

void appendJsonString(QByteArray& out, QByteArrayView text)
{
    out += '"';
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\t') {
            out += "\\t";
        } else if (c == '\r') {
            out += "\\r";
        } else if (byte < 0x20) {
            out += "\\u00";
            out += "0123456789abcdef"[byte >> 4];
            out += "0123456789abcdef"[byte & 15];
        } else {
            out += c;
        }
    }
    out += '"';
}

// Gives `append` a field's value as its column shows it, valid UTF-8; returns false, giving nothing,
// for a missing id, date or amount, or no direction. Numbers are written without the user's locale.
template <typename Append> bool appendValue(const EntryRows& entry, EntryField field, Append&& append)
{
    if (entry.isNull(field))
        return false;
    char buffer[32];
    switch (field) {
    case EntryField::Id: {
        const auto end = std::to_chars(buffer, buffer + sizeof buffer, entry.id()).ptr;
        append(QByteArrayView(buffer, end - buffer));
        return true;
    }
    case EntryField::Date: {
        const QDate date = entry.date();
        if (!date.isValid())
            return false;
        const int length =
            std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d", date.year(), date.month(), date.day());
        append(QByteArrayView(buffer, length));
        return true;
    }
    case EntryField::Amount:
        append(plainMoney(entry.amount()));
        return true;
    case EntryField::Direction: {
        const auto direction = entry.direction();
        if (!direction)
            return false;
        append(*direction == Direction::Received ? QByteArrayView("Received") : QByteArrayView("Paid Out"));
        return true;
    }
    default:
        withValidUtf8(entry.utf8(field), append);
        return true;
    }
}

class ListWriter
{
public:
    explicit ListWriter(OutputForm form) : form_(form) { out_.reserve(flushAt + 4096); }

    void header()
    {
        if (form_ == OutputForm::Json) {
            out_ += '[';
            return;
        }
        for (size_t i = 0; i < columns.size(); ++i) {
            if (i > 0)
                out_ += separator();
            out_ += columns[i].name;
        }
        out_ += '\n';
    }

    void entry(const EntryRows& entry)
    {
        if (form_ == OutputForm::Json)
            jsonEntry(entry);
        else
            separatedEntry(entry);
        if (out_.size() >= flushAt)
            flush();
    }

    void footer()
    {
        if (form_ == OutputForm::Json)
            out_ += entries_ == 0 ? "]\n" : "\n]\n";
    }

private:
    static constexpr qsizetype flushAt = 1 << 20;

    char separator() const { return form_ == OutputForm::Csv ? ',' : '\t'; }

    void separatedEntry(const EntryRows& entry)
    {
        for (size_t i = 0; i < columns.size(); ++i) {
            if (i > 0)
                out_ += separator();
            appendValue(entry, columns[i].field, [&](QByteArrayView value) {
                form_ == OutputForm::Csv ? appendCsvField(out_, value) : appendTextField(out_, value);
            });
        }
        out_ += '\n';
        ++entries_;
    }

    void jsonEntry(const EntryRows& entry)
    {
        out_ += entries_++ == 0 ? "\n  {" : ",\n  {";
        for (size_t i = 0; i < columns.size(); ++i) {
            out_ += i == 0 ? "\"" : ", \"";
            out_ += columns[i].name;
            out_ += "\": ";
            const bool isNumber = columns[i].field == EntryField::Id || columns[i].field == EntryField::Amount;
            if (!appendValue(entry, columns[i].field, [&](QByteArrayView value) {
                    isNumber ? void(out_ += value) : appendJsonString(out_, value);
                }))
                out_ += "null";
        }
        out_ += '}';
    }

public:
    // Throws Failure when standard output could not take everything (a full disk, say).
    void flush()
    {
        std::fwrite(out_.constData(), 1, size_t(out_.size()), stdout);
        out_.clear();
        if (std::fflush(stdout) != 0 || std::ferror(stdout))
            throw Failure(QStringLiteral("The list could not be written to standard output."));
    }

private:
    OutputForm form_;
    QByteArray out_;
    qint64 entries_ = 0;
};

} // namespace

int runList(const DateRange& range, OutputForm form)
{
    return reportingFailures([&] {
        const auto ledger = openLedgerToRead();
        ListWriter writer(form);
        writer.header();
        scanEntries(*ledger, range, [&](const EntryRows& entry) { writer.entry(entry); });
        writer.footer();
        writer.flush();
        return 0;
    });
}
