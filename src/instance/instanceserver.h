#pragma once

#include <QObject>
#include <QString>

class QLocalServer;

// Takes the files that later starts of the program hand to this window (handoff.h), under the
// ledger's instance name, open to this user only.
class InstanceServer : public QObject
{
    Q_OBJECT

public:
    explicit InstanceServer(QObject* parent = nullptr);
    ~InstanceServer() override;

    // Starts taking files for the ledger of `ledgerKey` (instancename.h), unless another program on
    // the ledger answers already (a second window): that one keeps them. A name left by a program that was killed is
    // taken over. False when this program does not listen; the window works as well without.
    bool listen(const QString& ledgerKey);
    // Stops taking files. Hand-offs under way end unacknowledged, so their senders open windows of
    // their own.
    void close();
    bool isListening() const;

Q_SIGNALS:
    // A file handed over, by its absolute path.
    void fileHanded(const QString& path);

private:
    void takeConnections();

    QLocalServer* server_;
};
