#pragma once

#include "importing/importfield.h"

#include <QString>
#include <QStringView>
#include <optional>

// The field that a column title names, in English or German, whatever its case and accents:
// Ignore for titles known to hold nothing for the ledger (a balance, a currency, an id), nothing
// for titles not known at all.
std::optional<ImportField> fieldOfTitle(QStringView title);

// A title in lower case without accents ("ß" as "ss"); runs of anything but letters, digits and "/"
// become one space, and none is kept beside a "/".
QString plainTitle(QStringView title);
