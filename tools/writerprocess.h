#pragma once

#include <QProcess>
#include <QStringList>

// This program started again as a ledger writer (see ledgerwriter.h), never through a shell.
void startWriter(QProcess& process, const QString& dataRoot, const QString& prefix, int count);

// What a finished writer reported on stdout: its markers in order ("ready" left out) and its longest
// single save in milliseconds (-1 when it did not say).
struct WriterReport
{
    QStringList markers;
    qint64 longestSaveMs = -1;
};
WriterReport readWriterReport(QProcess& process);
