#include "importing/importlanguage.h"

#include "importing/importtitles.h"

#include <algorithm>

namespace {

// As plainTitle writes them.
constexpr QStringView englishWords[] = {
    u"account",      u"amount",   u"balance", u"booking",    u"category",   u"cheque",   u"comment",   u"comments",
    u"counterparty", u"currency", u"deposit", u"deposits",   u"fee",        u"fees",     u"from",      u"memo",
    u"merchant",     u"method",   u"money",   u"notes",      u"number",     u"out",      u"paid",      u"payee",
    u"payer",        u"payment",  u"posting", u"purpose",    u"reason",     u"received", u"recipient", u"running",
    u"sum",          u"to",       u"value",   u"withdrawal", u"withdrawals"};

constexpr QStringView dayFirstWords[] = {
    // German
    u"art", u"auftraggeber", u"ausgang", u"beguenstigter", u"begunstigter", u"bemerkung", u"betrag", u"buchungsdatum",
    u"buchungstag", u"buchungstext", u"datum", u"eingang", u"empfaenger", u"empfanger", u"glaubiger", u"gutschrift",
    u"haben", u"kategorie", u"konto", u"kontonummer", u"kontostand", u"lastschrift", u"saldo", u"soll", u"umsatz",
    u"umsatzart", u"valuta", u"verwendungszweck", u"vorgang", u"wahrung", u"wertstellung", u"zahlungsart",
    u"zahlungsbeteiligter", u"zahlungsempfanger", u"zahlungspflichtiger",
    // French
    u"beneficiaire", u"categorie", u"compte", u"de", u"devise", u"du", u"intitule", u"libelle", u"montant",
    u"mouvement", u"operation", u"solde", u"valeur",
    // Dutch
    u"af", u"bedrag", u"bij", u"boekdatum", u"mededelingen", u"munt", u"mutatiesoort", u"naam", u"omschrijving",
    u"rekening", u"rentedatum", u"tegenrekening", u"transactiedatum", u"volgnummer",
    // Spanish, Italian and Portuguese
    u"abono", u"avere", u"beneficiario", u"cargo", u"causale", u"concepto", u"credito", u"dare", u"data", u"debito",
    u"descricao", u"descripcion", u"descrizione", u"divisa", u"documento", u"entrate", u"fecha", u"historico",
    u"importe", u"importo", u"lancamento", u"moneda", u"monto", u"movimento", u"movimiento", u"operacion",
    u"operazione", u"ordenante", u"referencia", u"uscite", u"valor",
    // Polish and Scandinavian
    u"belopp", u"beskrivelse", u"beskrivning", u"bokforingsdag", u"bokforingsdatum", u"dato", u"kwota", u"nadawca",
    u"odbiorca", u"opis", u"rentedato", u"tekst", u"tytul"};

template <size_t N> bool isOneOf(QStringView word, const QStringView (&words)[N])
{
    return std::find(std::begin(words), std::end(words), word) != std::end(words);
}

} // namespace

TitleLanguage titleLanguage(const QStringList& titles)
{
    int english = 0;
    int dayFirst = 0;
    for (const QString& title : titles) {
        for (const QString& word : plainTitle(title).replace(u'/', u' ').split(u' ', Qt::SkipEmptyParts)) {
            english += isOneOf(word, englishWords);
            dayFirst += isOneOf(word, dayFirstWords);
        }
    }
    if (english == dayFirst)
        return TitleLanguage::Unknown;
    return english > dayFirst ? TitleLanguage::English : TitleLanguage::DayFirst;
}
