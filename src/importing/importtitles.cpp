#include "importing/importtitles.h"

#include <QStringList>
#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

struct Title
{
    QStringView name; // lower case, without accents, words apart by one space
    ImportField field;
};

using enum ImportField;

constexpr Title titles[] = {
    {u"date", Date},
    {u"datum", Date},
    {u"buchungstag", Date},
    {u"buchungsdatum", Date},
    {u"booking date", Date},
    {u"transaction date", Date},
    {u"posting date", Date},
    {u"valuta", Date},
    {u"value date", Date},
    {u"wertstellung", Date},
    {u"amount", Amount},
    {u"betrag", Amount},
    {u"umsatz", Amount},
    {u"value", Amount},
    {u"sum", Amount},
    {u"in", In},
    {u"credit", In},
    {u"haben", In},
    {u"gutschrift", In},
    {u"paid in", In},
    {u"money in", In},
    {u"deposit", In},
    {u"deposits", In},
    {u"eingang", In},
    {u"out", Out},
    {u"debit", Out},
    {u"soll", Out},
    {u"lastschrift", Out},
    {u"paid out", Out},
    {u"money out", Out},
    {u"withdrawal", Out},
    {u"withdrawals", Out},
    {u"ausgang", Out},
    {u"reason", Reason},
    {u"description", Reason},
    {u"verwendungszweck", Reason},
    {u"purpose", Reason},
    {u"memo", Reason},
    {u"text", Reason},
    {u"buchungstext", Reason},
    {u"details", Reason},
    {u"reference", Reason},
    {u"from", From},
    {u"payer", From},
    {u"auftraggeber", From},
    {u"zahlungspflichtiger", From},
    {u"to", To},
    {u"payee", To},
    {u"recipient", To},
    {u"empfanger", To},
    {u"empfaenger", To},
    {u"begunstigter", To},
    {u"beguenstigter", To},
    {u"method", Method},
    {u"payment method", Method},
    {u"type", Method},
    {u"zahlungsart", Method},
    {u"notes", Notes},
    {u"note", Notes},
    {u"comment", Notes},
    {u"comments", Notes},
    {u"bemerkung", Notes},
    {u"counterparty", Counterparty},
    {u"name", Counterparty},
    {u"zahlungsbeteiligter", Counterparty},
    {u"in/out", Direction},
    {u"direction", Direction},
    {u"soll/haben", Direction},
    {u"s/h", Direction},
    {u"dr/cr", Direction},
    {u"cr/dr", Direction},
    // Numbers that are no amount of the entry: never guessed as one from the contents.
    {u"balance", Ignore},
    {u"saldo", Ignore},
    {u"kontostand", Ignore},
    {u"id", Ignore},
    {u"currency", Ignore},
    {u"wahrung", Ignore},
};

} // namespace

QString plainTitle(QStringView title)
{
    const QString decomposed = title.toString().normalized(QString::NormalizationForm_D);
    QString plain;
    plain.reserve(decomposed.size());
    bool gap = false;
    for (const QChar c : decomposed) {
        if (c.category() == QChar::Mark_NonSpacing)
            continue;
        if (!c.isLetterOrNumber() && c != u'/') {
            gap = true;
            continue;
        }
        if (gap && !plain.isEmpty() && plain.back() != u'/' && c != u'/')
            plain += u' ';
        gap = false;
        plain += c == u'ß' ? u"ss"_s : QString(c.toLower());
    }
    return plain;
}

namespace {

QStringList wordsOf(QStringView plain)
{
    return plain.toString().replace(u'/', u' ').simplified().split(u' ');
}

// How well a title matches a known one: 3 the same, 2 it starts with its words ("betrag eur"), 1
// it ends with it ("buchungsdatum"), 0 not at all.
int matchOf(const QString& plain, const QStringList& words, const Title& known)
{
    if (plain == known.name)
        return 3;
    const QStringList knownWords = wordsOf(known.name);
    if (words.size() > knownWords.size() && std::equal(knownWords.begin(), knownWords.end(), words.begin()))
        return 2;
    // Short names would end too many other words ("to" ends "konto").
    if (known.name.size() >= 4 && plain.endsWith(known.name))
        return 1;
    return 0;
}

std::optional<ImportField> fieldOfPlainTitle(const QString& plain)
{
    const QStringList words = wordsOf(plain);
    std::optional<ImportField> field;
    std::pair bestMatch{0, qsizetype(0)};
    for (const Title& known : titles) {
        const std::pair match{matchOf(plain, words, known), known.name.size()};
        if (match.first > 0 && match > bestMatch) {
            bestMatch = match;
            field = known.field;
        }
    }
    return field;
}

// A title that names a payer and a payee at once, as "Auftraggeber/Empfänger" does.
bool namesBothSides(const QString& plain)
{
    bool from = false, to = false;
    for (const QString& side : plain.split(u'/')) {
        const auto field = fieldOfPlainTitle(side);
        from = from || field == From;
        to = to || field == To;
    }
    return from && to;
}

} // namespace

std::optional<ImportField> fieldOfTitle(QStringView title)
{
    const QString plain = plainTitle(title);
    return namesBothSides(plain) ? Counterparty : fieldOfPlainTitle(plain);
}
