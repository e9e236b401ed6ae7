#include "fuzzinput.h"

#include <QDir>
#include <QFileInfo>
#include <array>
#include <cstdio>
#include <cstdlib>

QLocale takeLocale(FuzzedDataProvider& input)
{
    // en_US "1,234.5"; de_DE "1.234,5"; fr_FR narrow no-break space groups; de_CH apostrophe groups;
    // ar_EG and fa_IR their own digits and signs; hi_IN groups of two.
    static const std::array<QLocale, 7> locales{
        QLocale(QLocale::English, QLocale::UnitedStates), QLocale(QLocale::German, QLocale::Germany),
        QLocale(QLocale::French, QLocale::France),        QLocale(QLocale::German, QLocale::Switzerland),
        QLocale(QLocale::Arabic, QLocale::Egypt),         QLocale(QLocale::Persian, QLocale::Iran),
        QLocale(QLocale::Hindi, QLocale::India),
    };
    return locales[input.ConsumeIntegralInRange<size_t>(0, locales.size() - 1)];
}

void fuzzFailure(const char* what, const QString& detail)
{
    // NUL shown as \0 so that a text holding one prints whole.
    fprintf(stderr, "property broken: %s\n%s\n", what,
            qUtf8Printable(QString(detail).replace(QChar(0), QStringLiteral("\\0"))));
    abort();
}

QString scratchFolderTemplate()
{
    const QString shm = QStringLiteral("/dev/shm");
    return (QFileInfo(shm).isDir() ? shm : QDir::tempPath()) + QStringLiteral("/quorvane-fuzz-XXXXXX");
}
