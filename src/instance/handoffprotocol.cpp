#include "instance/handoffprotocol.h"

#include <QDir>
#include <QStringDecoder>
#include <QtEndian>
#include <algorithm>

namespace handoff {

QByteArray request(const QString& path)
{
    const QByteArray bytes = path.toUtf8();
    if (bytes.isEmpty() || bytes.size() > qsizetype(maxPathBytes))
        return {};
    QByteArray message = magic.toByteArray();
    message.resize(headerSize);
    qToBigEndian(quint32(bytes.size()), message.data() + magic.size());
    return message + bytes;
}

RequestRead readRequest(QByteArrayView bytes)
{
    const qsizetype known = std::min(bytes.size(), magic.size());
    if (bytes.first(known) != magic.first(known))
        return {RequestRead::Refused, {}};
    if (bytes.size() < headerSize)
        return {};
    const quint32 length = qFromBigEndian<quint32>(bytes.data() + magic.size());
    if (length == 0 || length > maxPathBytes)
        return {RequestRead::Refused, {}};
    const qsizetype whole = headerSize + qsizetype(length);
    if (bytes.size() < whole)
        return {};
    // One request per connection, and nothing before the acknowledgement.
    if (bytes.size() > whole)
        return {RequestRead::Refused, {}};
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString path = utf8(bytes.sliced(headerSize));
    if (utf8.hasError() || path.contains(QChar(0)) || !QDir::isAbsolutePath(path))
        return {RequestRead::Refused, {}};
    return {RequestRead::Complete, path};
}

} // namespace handoff
