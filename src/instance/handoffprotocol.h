#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// How a later start of the program hands a file to the window (one file per connection):
//   sender:   "QVH1", the path's length in bytes (4 bytes, big-endian), the path in UTF-8
//   window:   acknowledged ('A'), once the path is whole and sound
//   sender:   confirmed ('C'); only then does the window import the file
// The confirmation keeps a sender that gave up waiting, and so opens a window of its own, from
// having its file opened twice. Anything else ends the connection.
namespace handoff {

inline constexpr QByteArrayView magic = "QVH1";
inline constexpr qsizetype headerSize = 8;
// Far beyond any path the system opens; a longer request is refused unread.
inline constexpr quint32 maxPathBytes = 32 * 1024;
inline constexpr qsizetype maxRequestSize = headerSize + maxPathBytes;
inline constexpr char acknowledged = 'A';
inline constexpr char confirmed = 'C';

// The request for `path`; empty when the path is too long to be sent.
QByteArray request(const QString& path);

// What the bytes received so far make of a request.
struct RequestRead
{
    enum Status { Incomplete, Refused, Complete };
    Status status = Incomplete;
    QString path; // when Complete: an absolute path, valid UTF-8, without NUL
};
RequestRead readRequest(QByteArrayView bytes);

} // namespace handoff
