#include "writerprocess.h"

#include "ledgerwriter.h"

#include <QCoreApplication>

using namespace Qt::StringLiterals;

void startWriter(QProcess& process, const QString& dataRoot, const QString& prefix, int count)
{
    process.setProgram(QCoreApplication::applicationFilePath());
    process.setArguments({u"write"_s, dataRoot, prefix, QString::number(count)});
    process.setProcessChannelMode(QProcess::SeparateChannels);
    process.start();
}

WriterReport readWriterReport(QProcess& process)
{
    WriterReport report;
    const QString tag = QString::fromLatin1(longestSaveTag);
    for (const QString& line : QString::fromUtf8(process.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts)) {
        if (line.startsWith(tag))
            report.longestSaveMs = line.mid(tag.size()).toLongLong();
        else if (line != u"ready")
            report.markers.append(line);
    }
    return report;
}
