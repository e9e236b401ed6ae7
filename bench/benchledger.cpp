#include "benchledger.h"

#include "base/paths.h"
#include "ledgergenerator.h"
#include "store/programconnection.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QStandardPaths>

using namespace Qt::StringLiterals;

QString generatedLedger(int count)
{
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::TempLocation) + u"/quorvane-bench"_s;
    QDir().mkpath(folder);
    const QString path = folder + u"/ledger-"_s + QString::number(count) + u".mdb"_s;
    if (!QFile::exists(path)) {
        generateLedger(path + u".part"_s, count);
        QFile::rename(path + u".part"_s, path);
    }
    return path;
}

BenchHome::BenchHome(int count)
{
    const QString source = generatedLedger(count);
    const QString root = home_.path();
    qputenv("HOME", root.toUtf8());
    qputenv("XDG_DATA_HOME", (root + u"/data"_s).toUtf8());
    qputenv("XDG_CONFIG_HOME", (root + u"/config"_s).toUtf8());
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, root + u"/config"_s);
    QDir().mkpath(dataFolder());
    QFile::copy(source, databaseFile());
    QFile::setPermissions(databaseFile(), QFile::ReadOwner | QFile::WriteOwner);
}

QString BenchHome::ledgerPath() const
{
    return databaseFile();
}

void openUserLedger()
{
    ConnSlot() = std::make_unique<Connection>();
    Conn().open(connectionString(SpecialFolderPath(35)));
}
