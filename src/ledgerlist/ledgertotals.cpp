#include "ledgerlist/ledgertotals.h"

#include "money/moneyformat.h"

using namespace Qt::StringLiterals;

QString receivedCaption(double total)
{
    return u"Received: "_s + FormatMoney(total);
}

QString paidCaption(double total)
{
    return u"Paid: "_s + FormatMoney(total);
}

QString balanceCaption(double balance)
{
    return u"Balance: "_s + FormatMoney(balance);
}
