#include "base/errorreport.h"

using namespace Qt::StringLiterals;

namespace {
constexpr auto supportAddress = u"support@marrowfen.example";
}

QString errorLocation(QStringView window, QStringView procedure)
{
    return u"in Quorvane2021/08/31."_s + window.toString() + u'.' + procedure.toString() + u' ';
}

QString errorReportText(const QString& description, const QString& location, int step)
{
    return description + u"\r\n"_s + location + u"at line "_s + QString::number(step) + u"\r\r"_s +
           u"Please email screenshot of this message to "_s + QString::fromUtf16(supportAddress);
}
