#include "importing/textencoding.h"

#include <array>

using namespace Qt::StringLiterals;

namespace {

constexpr QByteArrayView utf8Mark("\xEF\xBB\xBF");

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

} // namespace

QString encodingName(TextEncoding encoding)
{
    switch (encoding) {
    case TextEncoding::Utf8:
        return u"UTF-8"_s;
    case TextEncoding::Windows1252:
        return u"Windows-1252"_s;
    case TextEncoding::Latin1:
        return u"Latin-1 (ISO 8859-1)"_s;
    }
    return {};
}

TextEncoding detectEncoding(QByteArrayView bytes)
{
    // Qt's check is strict: no overlong forms, no surrogates, nothing beyond U+10FFFF.
    if (bytes.startsWith(utf8Mark) || bytes.isValidUtf8())
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
    case TextEncoding::Windows1252:
        return decodeWindows1252(bytes);
    case TextEncoding::Latin1:
        return QString::fromLatin1(bytes);
    }
    return {};
}
