#pragma once

#include <QByteArray>
#include <QString>
#include <cstdio>
#include <functional>

// One line to a terminal stream, in the terminal's encoding.
void say(FILE* to, const QString& text);

// An amount as scripts read it: two decimals after a point, never "-0.00".
QByteArray plainMoney(double amount);

// Runs a command and returns its exit code; a failure it throws is said on standard error, with
// exit code 1.
int reportingFailures(const std::function<int()>& command);

// Writes `file` whole or not at all: `write` is given a temporary path beside it, which replaces
// `file` only when writing succeeded. Throws Failure naming `file` when it cannot be written.
void writeWhole(const QString& file, const std::function<void(const QString& temporaryPath)>& write);
