#include "ledgerlist/ledgerfilter.h"

bool LedgerFilter::isEmpty() const
{
    return *this == LedgerFilter();
}

bool LedgerFilter::narrows(const LedgerFilter& wider) const
{
    LedgerFilter sameText = wider;
    sameText.text = text;
    // What contains the longer text contains the shorter one too.
    return sameText == *this && text.contains(wider.text, Qt::CaseInsensitive);
}
