#include "instance/instanceserver.h"

#include "instance/handoffsession.h"
#include "instance/instancename.h"

#include <QLocalServer>
#include <QLocalSocket>

namespace {

// Enough for a few files opened at once; more senders are turned away so that none can use up
// the window's file handles.
constexpr qsizetype maxSessions = 16;
constexpr int probeMs = 1000;

bool someoneAnswers(const QString& name)
{
    QLocalSocket probe;
    probe.connectToServer(name);
    return probe.waitForConnected(probeMs);
}

} // namespace

InstanceServer::InstanceServer(QObject* parent) : QObject(parent), server_(new QLocalServer(this))
{
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    connect(server_, &QLocalServer::newConnection, this, &InstanceServer::takeConnections);
}

InstanceServer::~InstanceServer() = default;

bool InstanceServer::listen(const QString& ledgerKey)
{
    const QString name = instanceName(ledgerKey);
    // Asked first: listening would take the name over from a program that still runs.
    if (someoneAnswers(name))
        return false;
    QLocalServer::removeServer(name);
    return server_->listen(name);
}

void InstanceServer::close()
{
    server_->close();
    qDeleteAll(findChildren<HandoffSession*>(Qt::FindDirectChildrenOnly));
}

bool InstanceServer::isListening() const
{
    return server_->isListening();
}

void InstanceServer::takeConnections()
{
    while (QLocalSocket* socket = server_->nextPendingConnection()) {
        if (findChildren<HandoffSession*>(Qt::FindDirectChildrenOnly).size() >= maxSessions) {
            socket->abort();
            socket->deleteLater();
            continue;
        }
        new HandoffSession(
            socket, [this](const QString& path) { Q_EMIT fileHanded(path); }, this);
    }
}
