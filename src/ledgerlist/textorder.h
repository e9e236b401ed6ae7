#pragma once

#include <QByteArrayView>
#include <vector>

// The ranks of UTF-8 texts in the order of the user's language (as a phone book would list them,
// numbers by their value): rank[i] is text i's place, equal texts share a rank. Sort keys are kept
// in one block rather than one object each, so a million distinct notes sort in little memory.
std::vector<int> collationRanks(const std::vector<QByteArrayView>& texts);
