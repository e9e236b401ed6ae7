#pragma once

#include <QString>

// Hands `path` (absolute) to the window already open on this user's ledger of `ledgerKey`
// (instancename.h), which then imports it.
// True once that window has taken it; false, within a few seconds at most and at once when no
// program listens, when none did: the caller then opens a window of its own.
bool handToRunningProgram(const QString& path, const QString& ledgerKey);
