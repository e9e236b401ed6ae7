#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <functional>

class QLocalSocket;

// The window's side of one hand-off (handoffprotocol.h): reads the request, acknowledges it and
// passes the path on once the sender confirms. A request that is not sound, a sender that says
// more than asked or stays silent too long, ends the session unacknowledged. The session deletes
// itself when it ends.
class HandoffSession : public QObject
{
    Q_OBJECT

public:
    // Takes the socket over.
    HandoffSession(QLocalSocket* socket, std::function<void(const QString&)> deliver, QObject* parent);

private:
    void read();
    void end();

    QLocalSocket* socket_;
    std::function<void(const QString&)> deliver_;
    QByteArray request_;
    QString path_; // once acknowledged
};
