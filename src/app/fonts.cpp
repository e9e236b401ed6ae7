#include "app/fonts.h"

#include <QStringList>

using namespace Qt::StringLiterals;

QFont designFont(qreal pointSize, bool bold)
{
    QFont font;
    font.setFamilies({u"Arial"_s, u"Liberation Sans"_s, u"Arimo"_s, u"Nimbus Sans"_s});
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(pointSize);
    font.setBold(bold);
    return font;
}
