#include "ledgerlist/textorder.h"

#include <QLocale>
#include <QString>
#include <algorithm>
#include <cstring>
#include <memory>
#include <numeric>
#include <unicode/ucol.h>

namespace {

struct CloseCollator
{
    void operator()(UCollator* collator) const { ucol_close(collator); }
};

std::unique_ptr<UCollator, CloseCollator> openCollator()
{
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<UCollator, CloseCollator> collator(ucol_open(QLocale().bcp47Name().toUtf8().constData(), &status));
    if (U_FAILURE(status) || !collator)
        collator.reset(ucol_open("", &status)); // the root order still beats byte order
    if (collator)
        ucol_setAttribute(collator.get(), UCOL_NUMERIC_COLLATION, UCOL_ON, &status);
    return collator;
}

} // namespace

std::vector<int> collationRanks(const std::vector<QByteArrayView>& texts)
{
    std::vector<int> order(texts.size());
    std::iota(order.begin(), order.end(), 0);
    std::vector<int> ranks(texts.size());
    const auto collator = openCollator();
    if (!collator) {
        std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return texts[size_t(a)] < texts[size_t(b)]; });
    } else {
        // Keys go into blocks that never move, so no copy of all keys is ever made while they grow.
        constexpr size_t blockSize = size_t(1) << 20;
        std::vector<std::unique_ptr<uint8_t[]>> blocks;
        size_t used = blockSize;
        std::vector<const char*> keys(texts.size());
        std::vector<uint8_t> scratch(256);
        QString utf16;
        for (size_t i = 0; i < texts.size(); ++i) {
            utf16 = QString::fromUtf8(texts[i]);
            const auto* chars = reinterpret_cast<const UChar*>(utf16.utf16());
            const auto length = size_t(
                ucol_getSortKey(collator.get(), chars, int32_t(utf16.size()), scratch.data(), int32_t(scratch.size())));
            if (length > scratch.size()) {
                scratch.resize(length);
                ucol_getSortKey(collator.get(), chars, int32_t(utf16.size()), scratch.data(), int32_t(length));
            }
            if (used + length > blockSize) {
                blocks.push_back(std::make_unique<uint8_t[]>(std::max(blockSize, length)));
                used = 0;
            }
            std::memcpy(blocks.back().get() + used, scratch.data(), length);
            keys[i] = reinterpret_cast<const char*>(blocks.back().get() + used);
            used += length;
        }
        // A sort key ends with a zero byte, so comparing up to it compares the whole key.
        const auto key = [&](int i) { return keys[size_t(i)]; };
        std::sort(order.begin(), order.end(), [&](int a, int b) { return std::strcmp(key(a), key(b)) < 0; });
        int rank = 0;
        for (size_t i = 0; i < order.size(); ++i) {
            if (i > 0 && std::strcmp(key(order[i - 1]), key(order[i])) != 0)
                ++rank;
            ranks[size_t(order[i])] = rank;
        }
        return ranks;
    }
    for (size_t i = 0; i < order.size(); ++i)
        ranks[size_t(order[i])] = int(i);
    return ranks;
}
