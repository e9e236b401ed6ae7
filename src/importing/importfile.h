#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

// Larger files are refused before they are read.
inline constexpr qint64 importSizeLimit = 256 * 1024 * 1024;

enum class ImportFormat { Csv, Xlsx };

// By the file's suffix, in any case: .csv, .tsv and .txt are text, .xlsx a workbook.
std::optional<ImportFormat> importFormatOf(const QString& path);

// The whole file, opened without waiting. Throws Failure when it is no regular file (a folder, a pipe,
// a device), cannot be read or is larger than importSizeLimit.
QByteArray readImportBytes(const QString& path);
