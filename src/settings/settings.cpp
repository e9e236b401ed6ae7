#include "settings/settings.h"

#include <QSettings>
#include <stdexcept>

namespace {

QSettings openStore()
{
    return QSettings(QStringLiteral("Marrowfen"), QStringLiteral("Quorvane"));
}

void check(const QSettings& store, const char* action)
{
    if (store.status() == QSettings::AccessError)
        throw std::runtime_error(std::string("Could not ") + action + " the settings file " +
                                 store.fileName().toStdString());
}

QString keyPath(const QString& key)
{
    return QStringLiteral("Quorvane/") + key;
}

} // namespace

QString GetSetting(const QString& key, const QString& defaultValue)
{
    QSettings store = openStore();
    check(store, "read");
    const QVariant value = store.value(keyPath(key));
    if (!value.isValid())
        return defaultValue;
    // A list written by hand (a, b) comes back as several texts: join it back as written.
    if (value.typeId() == QMetaType::QStringList)
        return value.toStringList().join(QStringLiteral(", "));
    return value.toString();
}

void SaveSetting(const QString& key, const QString& value)
{
    QSettings store = openStore();
    store.setValue(keyPath(key), value);
    store.sync();
    check(store, "write");
}
