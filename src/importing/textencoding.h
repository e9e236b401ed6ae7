#pragma once

#include <QByteArrayView>
#include <QString>

enum class TextEncoding { Utf8, Windows1252, Latin1 };

// The name shown to the user: "UTF-8", "Windows-1252", "Latin-1 (ISO 8859-1)".
QString encodingName(TextEncoding encoding);

// UTF-8 when the bytes start with its byte order mark or are valid UTF-8; otherwise Windows-1252
// when any byte lies in 0x80-0x9F (control codes in Latin-1, printable in Windows-1252), else Latin-1.
TextEncoding detectEncoding(QByteArrayView bytes);

// The bytes as text. A UTF-8 byte order mark is dropped and invalid UTF-8 becomes U+FFFD, as do the
// five bytes that Windows-1252 leaves undefined.
QString decodeText(QByteArrayView bytes, TextEncoding encoding);
