#pragma once

#include <QString>

// The two currency settings as stored: "CurrencySymbol" (empty: the regional symbol) and
// "CurrencyBefore" (default "1"). Throw Failure when the settings cannot be read.
QString storedCurrencySymbol();
QString storedCurrencyBefore();

// BuildMoneyFormat from the stored settings: what start-up and the currency dialog's OK do.
void buildStoredMoneyFormat();
