#include "store/ledgerlocation.h"

#include "base/failure.h"
#include "base/paths.h"
#include "settings/settings.h"
#include "store/backups.h"
#include "store/connection.h"
#include "store/serveraddress.h"
#include "store/serverbackup.h"
#include "store/storeerror.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <optional>

using namespace Qt::StringLiterals;

namespace {

const QString settingKey = u"LedgerLocation"_s;

std::optional<LedgerLocation>& givenForThisRun()
{
    static std::optional<LedgerLocation> location;
    return location;
}

} // namespace

LedgerLocation LedgerLocation::fromText(const QString& text)
{
    LedgerLocation location;
    if (text.isEmpty())
        return location;
    if (!namesServerLedger(text))
        throw StoreError(u"The ledger location names no server: write a connection string such as "
                         "postgresql://host/database or host=… dbname=…, or leave it empty for the private file."_s);
    serverAddress(text);
    location.text_ = text;
    return location;
}

LedgerLocation LedgerLocation::chosen()
{
    if (givenForThisRun())
        return *givenForThisRun();
    QString text;
    try {
        text = GetSetting(settingKey, QString());
    } catch (const Failure&) {
        // Settings that cannot be read name no server: the file, as before there was a choice. The
        // damage is reported where the other settings are read.
        return {};
    }
    try {
        return fromText(text);
    } catch (const StoreError& error) {
        LedgerLocation faulty;
        faulty.text_ = text;
        faulty.fault_ = QString::fromUtf8(error.what());
        return faulty;
    }
}

QString LedgerLocation::connectionText() const
{
    if (!fault_.isEmpty())
        throw StoreError(fault_);
    return onServer() ? text_ : connectionString(SpecialFolderPath(35));
}

QString LedgerLocation::describe() const
{
    if (!onServer())
        return QDir::toNativeSeparators(databaseFile());
    return fault_.isEmpty() ? describeServer(serverAddress(text_)) : u"a server"_s;
}

QString LedgerLocation::key() const
{
    if (!onServer())
        return QDir::cleanPath(QFileInfo(databaseFile()).absoluteFilePath());
    // Never the text itself, which may hold what it must not.
    if (!fault_.isEmpty())
        return u"server?"_s;
    const ServerAddress address = serverAddress(text_);
    return QStringList{u"server"_s,    address.host, address.hostaddr, address.port,
                       address.dbname, address.user, address.service,  address.options}
        .join(u'\n');
}

QString LedgerLocation::backupsFolder() const
{
    if (!onServer())
        return backupsFolderOf(databaseFile());
    const QByteArray hash = QCryptographicHash::hash(key().toUtf8(), QCryptographicHash::Sha256).toHex().left(16);
    return backupsFolderOf(databaseFile()) + u"/server-"_s + QString::fromLatin1(hash);
}

std::shared_ptr<const BackedUpLedger> LedgerLocation::toBackUp() const
{
    if (!onServer())
        return ledgerFileToBackUp(databaseFile());
    // A kept text that names no server backs up nothing: the open has said why already.
    return serverLedgerToBackUp(fault_.isEmpty() ? connectionText() : QString(), backupsFolder());
}

void rememberLedgerLocation(const LedgerLocation& location)
{
    SaveSetting(settingKey, location.text());
}

void useLedgerLocationForThisRun(const LedgerLocation& location)
{
    givenForThisRun() = location;
}
