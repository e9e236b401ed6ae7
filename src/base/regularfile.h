#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

// Files that the program reads beside the ledger (its state, backups and their summaries) may have
// been replaced by anything. These helpers never block on a pipe or a device: they open without
// waiting and go on only with a regular file.

// True when `path` is (or links to) a regular file.
bool isRegularFile(const QString& path);

// The file's first `limit` bytes, or nothing when it is missing, unreadable or not a regular file.
std::optional<QByteArray> readRegularFile(const QString& path, qint64 limit);

// Why `path` cannot be read as a file, in words for the user that follow its name ("there is no
// such file"), or the empty text when it can.
QString whyNotARegularFile(const QString& path);
