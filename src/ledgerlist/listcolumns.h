#pragma once

#include <array>

// The ledger list's column titles, in the order LedgerModel's column numbers give them; the
// spreadsheet export writes them over its columns.
inline constexpr std::array<const char16_t*, 9> listColumnTitles = {u"ID", u"Date",   u"Amount", u"Reason", u"From",
                                                                    u"To", u"Method", u"Notes",  u"In/Out"};
