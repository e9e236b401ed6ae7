#pragma once

#include <QObject>
#include <QTimer>

// Tells the program when another program changed the ledger it has open: a server ledger's
// notifications, a ledger file's commits by another connection. It asks the program's connection,
// whichever is open at the time, a few times a second; so changes that arrive close together give
// one changed(), and a connection replaced or closed meanwhile is simply asked no more.
class LedgerWatcher : public QObject
{
    Q_OBJECT

public:
    static constexpr int intervalMs = 250;

    explicit LedgerWatcher(QObject* parent = nullptr);

Q_SIGNALS:
    void changed();

private:
    void ask();

    QTimer timer_;
};
