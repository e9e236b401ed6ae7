#pragma once

#include <QString>

// The regional short date, but always with a four-digit year: a ledger spans decades. The list's
// dates and every message that names a stored date use it.
QString shortDateFormatWithFullYear();
