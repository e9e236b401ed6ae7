#include "base/apptitle.h"

namespace {
QString& storedTitle()
{
    static QString title;
    return title;
}
} // namespace

QString appTitleFrom(const QString& name)
{
    QString title = name;
    for (;;) {
        const qsizetype blank = title.lastIndexOf(u' ');
        if (blank < 0)
            break;
        title.truncate(blank);
        if (title.size() <= 40)
            break;
    }
    return title;
}

void SetAppTitle()
{
    storedTitle() = appTitleFrom(QString::fromUtf16(displayName));
}

QString appTitle()
{
    if (storedTitle().isEmpty())
        SetAppTitle();
    return storedTitle();
}
