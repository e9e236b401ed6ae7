#pragma once

#include <QProcess>
#include <QStringList>

// This program started again as a ledger writer (see ledgerwriter.h), never through a shell.
void startWriter(QProcess& process, const QString& dataRoot, const QString& prefix, int count);

// The markers a finished writer reported on stdout, in order ("ready" left out).
QStringList reportedMarkers(QProcess& process);
