#pragma once

#include <QByteArrayView>
#include <QString>

enum class TextEncoding { Utf8, Utf16LE, Utf16BE, Windows1252, Latin1 };

// The name shown to the user: "UTF-8", "UTF-16 LE", "UTF-16 BE", "Windows-1252", "Latin-1 (ISO 8859-1)".
QString encodingName(TextEncoding encoding);

// By a byte order mark first (UTF-8, UTF-16 LE or BE); then UTF-16 when nearly every second byte
// of the start is zero, at even places for BE, at odd ones for LE, and almost none of the others;
// then UTF-8 when the bytes are valid UTF-8; otherwise Windows-1252 when any byte lies in 0x80-0x9F
// (control codes in Latin-1, printable in Windows-1252), else Latin-1.
TextEncoding detectEncoding(QByteArrayView bytes);

// The bytes as text. A byte order mark of the encoding is dropped. Invalid UTF-8, a UTF-16 surrogate
// without its pair, a last odd byte of UTF-16 and the five bytes that Windows-1252 leaves undefined
// become U+FFFD.
QString decodeText(QByteArrayView bytes, TextEncoding encoding);
