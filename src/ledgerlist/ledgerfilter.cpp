#include "ledgerlist/ledgerfilter.h"

bool LedgerFilter::isEmpty() const
{
    return *this == LedgerFilter();
}

bool LedgerFilter::narrows(const LedgerFilter& wider) const
{
    LedgerFilter sameText = wider;
    sameText.text = text;
    // An exact text asked for anew only takes entries away.
    if (!wider.exactText)
        sameText.exactText = exactText;
    // What contains the longer text contains the shorter one too.
    return sameText == *this && text.contains(wider.text, Qt::CaseInsensitive);
}
