#include "instance/instancename.h"

#include <QCryptographicHash>
#include <QFile>
#include <QStandardPaths>
#include <sys/un.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

QString instanceName(const QString& ledgerKey)
{
    QCryptographicHash hash(QCryptographicHash::Sha256);
    hash.addData(ledgerKey.toUtf8());
    hash.addData(QByteArray::number(::getuid()));
    const QString name = u"quorvane-"_s + QString::fromLatin1(hash.result().toHex().left(32));
    // In the user's own runtime folder, where no other user can take the name first; the shared
    // temporary folder only when that path is too long for a socket.
    const QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (runtime.isEmpty())
        return name;
    const QString inRuntime = runtime + u'/' + name;
    return QFile::encodeName(inRuntime).size() < qsizetype(sizeof(sockaddr_un::sun_path)) ? inRuntime : name;
}
