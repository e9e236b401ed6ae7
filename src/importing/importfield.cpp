#include "importing/importfield.h"

using namespace Qt::StringLiterals;

QString importFieldName(ImportField field)
{
    switch (field) {
    case ImportField::Ignore:
        return u"(ignore)"_s;
    case ImportField::Date:
        return u"Date"_s;
    case ImportField::Amount:
        return u"Amount (signed)"_s;
    case ImportField::In:
        return u"In"_s;
    case ImportField::Out:
        return u"Out"_s;
    case ImportField::Reason:
        return u"Reason"_s;
    case ImportField::From:
        return u"From"_s;
    case ImportField::To:
        return u"To"_s;
    case ImportField::Method:
        return u"Method"_s;
    case ImportField::Notes:
        return u"Notes"_s;
    case ImportField::Direction:
        return u"In/Out"_s;
    case ImportField::Counterparty:
        return u"From or To"_s;
    }
    return {};
}
