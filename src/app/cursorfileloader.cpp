#include "app/cursorfileloader.h"

#include "base/failure.h"

#include <QBuffer>
#include <QCursor>
#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QPixmap>
#include <QtEndian>

using namespace Qt::StringLiterals;

namespace {

// The file opens with a 6-byte header (reserved 0, type 2 for cursors, entry count), followed by 16-byte
// directory entries; bytes 4..7 of an entry hold its hotspot, x then y, little-endian.
constexpr qsizetype headerSize = 6;
constexpr qsizetype entrySize = 16;
constexpr quint16 cursorType = 2;

quint16 word(const QByteArray& data, qsizetype offset)
{
    return qFromLittleEndian<quint16>(data.constData() + offset);
}

} // namespace

QCursor loadCursorFile(const QString& path)
{
    const QString name = QDir::toNativeSeparators(path);
    QFile file(path);
    ensure(file.open(QIODevice::ReadOnly),
           u"The cursor file '%1' could not be opened: %2"_s.arg(name, file.errorString()));
    QByteArray data = file.readAll();
    ensure(data.size() >= headerSize + entrySize && word(data, 0) == 0 && word(data, 2) == cursorType &&
               word(data, 4) >= 1,
           u"The file '%1' is not a cursor file."_s.arg(name));
    const int hotX = word(data, headerSize + 4);
    const int hotY = word(data, headerSize + 6);

    QBuffer buffer(&data);
    QImageReader reader(&buffer, "cur");
    const QImage image = reader.read();
    ensure(!image.isNull(), u"The cursor file '%1' could not be read: %2"_s.arg(name, reader.errorString()));
    ensure(hotX < image.width() && hotY < image.height(),
           u"The hotspot of the cursor file '%1' lies outside its picture."_s.arg(name));
    return QCursor(QPixmap::fromImage(image), hotX, hotY);
}
