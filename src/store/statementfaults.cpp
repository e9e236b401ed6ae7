#include "store/statementfaults.h"

using namespace Qt::StringLiterals;

QString nulInTextMessage()
{
    return u"Texts may not contain the NUL character (U+0000)."_s;
}

QString trailingStatementMessage()
{
    return u"Characters found after end of SQL statement."_s;
}

QString noStatementMessage()
{
    return u"The command text holds no statement."_s;
}

QString mismatchMessage(QStringView function, QStringView text)
{
    return u"Data type mismatch in criteria expression: "_s + function.toString() + u"('"_s + text.toString() + u"')"_s;
}
