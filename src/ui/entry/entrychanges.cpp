#include "ui/entry/entrychanges.h"

#include "base/direction.h"
#include "money/dateformat.h"
#include "money/moneyformat.h"

#include <QCoreApplication>
#include <QDate>
#include <QLocale>
#include <array>
#include <optional>

using namespace Qt::StringLiterals;

namespace {

QString translated(const char* text)
{
    return QCoreApplication::translate("Form2", text);
}

// The window's caption of each EntryField, in its order; the id never changes, so it has none.
constexpr std::array<const char*, 9> fieldCaptions = {
    nullptr,
    QT_TRANSLATE_NOOP("Form2", "Date"),
    QT_TRANSLATE_NOOP("Form2", "Amount"),
    QT_TRANSLATE_NOOP("Form2", "Reason"),
    QT_TRANSLATE_NOOP("Form2", "From (Payor)"),
    QT_TRANSLATE_NOOP("Form2", "To (Payee)"),
    QT_TRANSLATE_NOOP("Form2", "Payment Method"),
    QT_TRANSLATE_NOOP("Form2", "Notes"),
    QT_TRANSLATE_NOOP("Form2", "Direction"),
};

QString shown(EntryField field, const QVariant& value)
{
    if (!value.isValid())
        return translated(QT_TRANSLATE_NOOP("Form2", "(nothing)"));
    if (field == EntryField::Date && value.typeId() == QMetaType::QDate)
        return QLocale().toString(value.toDate(), shortDateFormatWithFullYear());
    if (field == EntryField::Amount && value.typeId() == QMetaType::Double)
        return FormatMoney(value.toDouble());
    if (field == EntryField::Direction && value.typeId() == QMetaType::LongLong) {
        if (const std::optional<Direction> direction = directionFromStored(value.toLongLong()))
            return translated(*direction == Direction::Received ? QT_TRANSLATE_NOOP("Form2", "Received")
                                                                : QT_TRANSLATE_NOOP("Form2", "Paid Out"));
    }
    const QString text = value.toString();
    if (text.isEmpty())
        return translated(QT_TRANSLATE_NOOP("Form2", "(empty)"));
    // One line a field: the notes' line breaks are shown, not made.
    return QString(text).replace(u"\r\n"_s, u"\u21b5"_s).replace(u'\n', u'\u21b5');
}

} // namespace

QString changedFieldsText(const EntryChanged& change)
{
    QStringList lines;
    for (const EntryField field : change.fields) {
        if (const char* caption = fieldCaptions[size_t(field)])
            lines.append(translated(caption) + u": "_s + shown(field, change.before[field]) + u" \u2192 "_s +
                         shown(field, change.now[field]));
    }
    return lines.join(u'\n');
}
