#include "instance/handoff.h"

#include "instance/handoffprotocol.h"
#include "instance/instancename.h"

#include <QDeadlineTimer>
#include <QLocalSocket>
#include <algorithm>

namespace {

// A window that takes longer than this is too busy to count on: the file gets a window of its own.
constexpr int patienceMs = 5000;

int remainingMs(const QDeadlineTimer& deadline)
{
    return int(std::max<qint64>(deadline.remainingTime(), 0));
}

} // namespace

bool handToRunningProgram(const QString& path, const QString& ledgerKey)
{
    const QByteArray request = handoff::request(path);
    if (request.isEmpty())
        return false;
    const QDeadlineTimer deadline(patienceMs);
    QLocalSocket socket;
    socket.connectToServer(instanceName(ledgerKey));
    if (!socket.waitForConnected(remainingMs(deadline)))
        return false;
    socket.write(request);
    if (!socket.waitForReadyRead(remainingMs(deadline)) || socket.read(1) != QByteArrayView(&handoff::acknowledged, 1))
        return false;
    socket.write(&handoff::confirmed, 1);
    return socket.waitForBytesWritten(remainingMs(deadline));
}
