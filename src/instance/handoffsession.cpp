#include "instance/handoffsession.h"

#include "instance/handoffprotocol.h"

#include <QLocalSocket>
#include <QTimer>

namespace {

// Longer than a sender waits, so that only a sender that stopped talking is cut off.
constexpr int silenceMs = 10000;

} // namespace

HandoffSession::HandoffSession(QLocalSocket* socket, std::function<void(const QString&)> deliver, QObject* parent)
    : QObject(parent), socket_(socket), deliver_(std::move(deliver))
{
    socket_->setParent(this);
    // Qt reads no more than this from the system: a sender cannot fill the window's memory.
    socket_->setReadBufferSize(handoff::maxRequestSize + 1);
    connect(socket_, &QLocalSocket::readyRead, this, &HandoffSession::read);
    connect(socket_, &QLocalSocket::disconnected, this, &HandoffSession::end);
    QTimer::singleShot(silenceMs, this, &HandoffSession::end);
    read();
}

void HandoffSession::read()
{
    if (!path_.isEmpty()) {
        if (socket_->readAll() == QByteArrayView(&handoff::confirmed, 1))
            deliver_(path_);
        end();
        return;
    }
    request_ += socket_->read(handoff::maxRequestSize + 1 - request_.size());
    const handoff::RequestRead request = handoff::readRequest(request_);
    if (request.status == handoff::RequestRead::Refused)
        end();
    if (request.status != handoff::RequestRead::Complete)
        return;
    path_ = request.path;
    socket_->write(&handoff::acknowledged, 1);
}

void HandoffSession::end()
{
    socket_->disconnect(this);
    socket_->abort();
    deleteLater();
}
