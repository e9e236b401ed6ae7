#pragma once

#include <QStringList>

// The language of a statement's column titles, as far as it tells the order of the dates.
enum class TitleLanguage {
    Unknown,
    English,  // whose statements write the day or the month first
    DayFirst, // German, French, Dutch, Spanish, Italian, Portuguese, Polish or Scandinavian
};

// By the words that only one side uses ("Amount" and "Balance", "Betrag" and "Montant"); Unknown
// when neither has more, as for "Date" and "Description", which French shares.
TitleLanguage titleLanguage(const QStringList& titles);
