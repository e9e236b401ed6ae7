#include "base/failure.h"
#include "cli/cliledger.h"
#include "cli/commands.h"
#include "cli/output.h"

#include <QUtf8StringView>
#include <array>

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
QByteArray validUtf8(QByteArrayView text)
{
    if (QUtf8StringView(text).isValidUtf8())
        return text.toByteArray();
    return QString::fromUtf8(text).toUtf8();
}

void appendTextField(QByteArray& out, QByteArrayView text)
{
    for (const char c : validUtf8(text)) {
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
    const QByteArray valid = validUtf8(text);
    if (!valid.contains(',') && !valid.contains('"') && !valid.contains('\n') && !valid.contains('\r')) {
        out += valid;
        return;
    }
    out += '"';
    for (const char c : valid) {
        if (c == '"')
            out += '"';
        out += c;
    }
    out += '"';
}

void appendJsonString(QByteArray& out, QByteArrayView text)
{
    out += '"';
    for (const char c : validUtf8(text)) {
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

// One field's value as its column shows it; none (null) for a missing id, date or amount, or no direction.
std::optional<QByteArray> valueOf(const EntryRows& entry, EntryField field)
{
    if (entry.isNull(field))
        return std::nullopt;
    switch (field) {
    case EntryField::Id:
        return QByteArray::number(entry.id());
    case EntryField::Date: {
        const QDate date = entry.date();
        return date.isValid() ? std::optional(date.toString(Qt::ISODate).toLatin1()) : std::nullopt;
    }
    case EntryField::Amount:
        return plainMoney(entry.amount());
    case EntryField::Direction: {
        const auto direction = entry.direction();
        return direction ? std::optional(directionText(*direction).toLatin1()) : std::nullopt;
    }
    default:
        return entry.utf8(field).toByteArray();
    }
}

bool isNumber(EntryField field)
{
    return field == EntryField::Id || field == EntryField::Amount;
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
            if (const auto value = valueOf(entry, columns[i].field))
                form_ == OutputForm::Csv ? appendCsvField(out_, *value) : appendTextField(out_, *value);
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
            const auto value = valueOf(entry, columns[i].field);
            if (!value)
                out_ += "null";
            else if (isNumber(columns[i].field))
                out_ += *value;
            else
                appendJsonString(out_, *value);
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
