#include "writerprocess.h"

#include <QCoreApplication>

using namespace Qt::StringLiterals;

void startWriter(QProcess& process, const QString& dataRoot, const QString& prefix, int count)
{
    process.setProgram(QCoreApplication::applicationFilePath());
    process.setArguments({u"write"_s, dataRoot, prefix, QString::number(count)});
    process.setProcessChannelMode(QProcess::SeparateChannels);
    process.start();
}

QStringList reportedMarkers(QProcess& process)
{
    QStringList lines = QString::fromUtf8(process.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
    lines.removeAll(u"ready"_s);
    return lines;
}
