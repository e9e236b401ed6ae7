#pragma once

#include <QLocale>
#include <QString>
#include <cstdint>
#include <fuzzer/FuzzedDataProvider.h>
#include <string>

// Stops the run with a message libFuzzer shows beside the input that broke a property.
[[noreturn]] void fuzzFailure(const char* what, const QString& detail = {});

inline void fuzzCheck(bool ok, const char* what, const QString& detail = {})
{
    if (!ok)
        fuzzFailure(what, detail);
}

// A text from up to `maxBytes` of the input read as UTF-8, so every text is valid Unicode.
inline QString takeText(FuzzedDataProvider& input, size_t maxBytes = 4096)
{
    return QString::fromStdString(input.ConsumeRandomLengthString(maxBytes));
}

// The rest of the input as UTF-16 code units: every QChar, lone surrogates included.
inline QString takeRawText(FuzzedDataProvider& input)
{
    const std::string bytes = input.ConsumeRemainingBytesAsString();
    return QString(reinterpret_cast<const QChar*>(bytes.data()), qsizetype(bytes.size() / sizeof(QChar)));
}

// One of a few locales whose separators, signs and digits differ from each other.
QLocale takeLocale(FuzzedDataProvider& input);

// A template for QTemporaryDir on a memory file system where there is one, so that the disk syncs
// of settings and ledger writes cost little.
QString scratchFolderTemplate();
