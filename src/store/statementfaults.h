#pragma once

#include <QString>
#include <QStringView>

// The words for a statement text the ledger cannot take: the same whichever engine reads it.

QString nulInTextMessage();
QString trailingStatementMessage();
QString noStatementMessage();
// A value CDate or CDbl cannot read: mismatchMessage(u"CDbl", u"abc") names CDbl('abc').
QString mismatchMessage(QStringView function, QStringView text);
