#include "settings/settings.h"

#include "base/failure.h"

#include <QFile>
#include <QSettings>
#include <QStringDecoder>

using namespace Qt::StringLiterals;

namespace {

QSettings openStore()
{
    return QSettings(QStringLiteral("Marrowfen"), QStringLiteral("Quorvane"));
}

// A settings file that cannot be read or is damaged is reported, and never written over:
// the user may still want what is in it.
bool looksDamaged(const QString& fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray bytes = file.readAll();
    // We only ever write UTF-8 text; binary bytes mean someone else's file or a broken disk.
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString text = utf8(bytes);
    return utf8.hasError() || bytes.contains('\0');
}

void check(const QSettings& store, const QString& action)
{
    const QString damaged = u"The settings file "_s + store.fileName() + u" is damaged; it was left as it is."_s;
    switch (store.status()) {
    case QSettings::AccessError:
        throw Failure(u"Could not "_s + action + u" the settings file "_s + store.fileName() + u"."_s);
    case QSettings::FormatError:
        throw Failure(damaged);
    case QSettings::NoError:
        ensure(!looksDamaged(store.fileName()), damaged);
        break;
    }
}

QString keyPath(const QString& key)
{
    return QStringLiteral("Quorvane/") + key;
}

} // namespace

QString GetSetting(const QString& key, const QString& defaultValue)
{
    QSettings store = openStore();
    check(store, u"read"_s);
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
    check(store, u"read"_s);
    store.setValue(keyPath(key), value);
    store.sync();
    check(store, u"write"_s);
}
