#include "importing/textencoding.h"

#include <QtEndian>
#include <algorithm>
#include <array>
#include <optional>

using namespace Qt::StringLiterals;

namespace {

constexpr QByteArrayView utf8Mark("\xEF\xBB\xBF");
constexpr QByteArrayView utf16LeMark("\xFF\xFE");
constexpr QByteArrayView utf16BeMark("\xFE\xFF");

// Enough of the start to see the zero bytes of UTF-16 text, past a short line of titles.
constexpr qsizetype utf16Probe = 4096;

// Windows-1252 where it differs from Latin-1: bytes 0x80-0x9F.
constexpr std::array<char16_t, 32> windows1252High = {0x20AC, 0xFFFD, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                                      0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0xFFFD, 0x017D, 0xFFFD,
                                                      0xFFFD, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                                      0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0xFFFD, 0x017E, 0x0178};

QString decodeWindows1252(QByteArrayView bytes)
{
    QString text = QString::fromLatin1(bytes);
    for (QChar& c : text) {
        if (c.unicode() >= 0x80 && c.unicode() <= 0x9F)
            c = QChar(windows1252High[c.unicode() - 0x80]);
    }
    return text;
}

QString decodeUtf16(QByteArrayView bytes, TextEncoding encoding)
{
    const bool bigEndian = encoding == TextEncoding::Utf16BE;
    if (bytes.startsWith(bigEndian ? utf16BeMark : utf16LeMark))
        bytes = bytes.sliced(2);
    QString text(bytes.size() / 2, Qt::Uninitialized);
    QChar* const units = text.data();
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char* const unit = bytes.data() + 2 * i;
        units[i] = QChar(bigEndian ? qFromBigEndian<quint16>(unit) : qFromLittleEndian<quint16>(unit));
    }
    // Half a surrogate pair stored would become a "?" once written as UTF-8: it is as unreadable as
    // invalid UTF-8, and so is a last odd byte.
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (units[i].isHighSurrogate() && i + 1 < text.size() && units[i + 1].isLowSurrogate())
            ++i;
        else if (units[i].isSurrogate())
            units[i] = QChar::ReplacementCharacter;
    }
    if (bytes.size() % 2 != 0)
        text += QChar::ReplacementCharacter;
    return text;
}

// UTF-16 without a byte order mark, where its zero bytes leave no doubt: Latin letters, digits and
// punctuation have a zero high byte, so nearly every second byte is zero and almost none of the
// others. Binary files have zeros at both places.
std::optional<TextEncoding> utf16ByZeros(QByteArrayView bytes)
{
    const qsizetype units = std::min(bytes.size(), utf16Probe) / 2;
    qsizetype evenZeros = 0;
    qsizetype oddZeros = 0;
    for (qsizetype i = 0; i < units; ++i) {
        evenZeros += bytes[2 * i] == '\0';
        oddZeros += bytes[2 * i + 1] == '\0';
    }
    const auto nearlyAll = [&](qsizetype zeros) { return units > 0 && zeros * 10 >= units * 9; };
    const auto almostNone = [&](qsizetype zeros) { return zeros * 10 <= units; };
    if (nearlyAll(oddZeros) && almostNone(evenZeros))
        return TextEncoding::Utf16LE;
    if (nearlyAll(evenZeros) && almostNone(oddZeros))
        return TextEncoding::Utf16BE;
    return std::nullopt;
}

} // namespace

QString encodingName(TextEncoding encoding)
{
    switch (encoding) {
    case TextEncoding::Utf8:
        return u"UTF-8"_s;
    case TextEncoding::Utf16LE:
        return u"UTF-16 LE"_s;
    case TextEncoding::Utf16BE:
        return u"UTF-16 BE"_s;
    case TextEncoding::Windows1252:
        return u"Windows-1252"_s;
    case TextEncoding::Latin1:
        return u"Latin-1 (ISO 8859-1)"_s;
    }
    return {};
}

TextEncoding detectEncoding(QByteArrayView bytes)
{
    if (bytes.startsWith(utf8Mark))
        return TextEncoding::Utf8;
    if (bytes.startsWith(utf16LeMark))
        return TextEncoding::Utf16LE;
    if (bytes.startsWith(utf16BeMark))
        return TextEncoding::Utf16BE;
    // Before the check for UTF-8, which takes zero bytes for text.
    if (const auto utf16 = utf16ByZeros(bytes))
        return *utf16;
    // Qt's check is strict: no overlong forms, no surrogates, nothing beyond U+10FFFF.
    if (bytes.isValidUtf8())
        return TextEncoding::Utf8;
    for (const char byte : bytes) {
        if (quint8(byte) >= 0x80 && quint8(byte) <= 0x9F)
            return TextEncoding::Windows1252;
    }
    return TextEncoding::Latin1;
}

QString decodeText(QByteArrayView bytes, TextEncoding encoding)
{
    switch (encoding) {
    case TextEncoding::Utf8:
        if (bytes.startsWith(utf8Mark))
            bytes = bytes.sliced(utf8Mark.size());
        return QString::fromUtf8(bytes);
    case TextEncoding::Utf16LE:
    case TextEncoding::Utf16BE:
        return decodeUtf16(bytes, encoding);
    case TextEncoding::Windows1252:
        return decodeWindows1252(bytes);
    case TextEncoding::Latin1:
        return QString::fromLatin1(bytes);
    }
    return {};
}
