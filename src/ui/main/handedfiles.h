#pragma once

#include <QObject>
#include <QStringList>
#include <QTimer>
#include <functional>

// Files handed to the window to import: named on its command line, or by a later start of the
// program on the same ledger. Each opens in turn once the program is idle (programidle.h), so its
// import never opens over another dialog; a file handed again while it waits opens once.
class HandedFiles : public QObject
{
public:
    HandedFiles(std::function<void(const QString&)> open, QObject* parent);

    void add(const QString& path);

private:
    void openNext();

    std::function<void(const QString&)> open_;
    QStringList waiting_;
    QTimer next_;
};
