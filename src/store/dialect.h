#pragma once

#include <QString>

// Rewrites the ledger dialect's date literals #MM/DD/YYYY# that stand outside quoted text into
// ISO date text ('YYYY-MM-DD'). Quoted texts, quoted names and comments are copied untouched.
// Throws StoreError for a literal that names no real date.
QString translateDialect(QStringView sql);
