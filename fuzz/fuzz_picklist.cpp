// The stored pick-list text: joining the split items drops only the empty pieces, and a list whose
// items hold no "|" and are not empty comes back from its text item for item.
#include "fuzzinput.h"
#include "ui/entry/picklist.h"

namespace {

// The text with its empty pieces gone: runs of "|" made one, none at either end.
QString withoutEmptyPieces(QStringView text)
{
    QString out;
    bool pendingBar = false;
    for (QChar c : text) {
        if (c == u'|') {
            pendingBar = !out.isEmpty();
            continue;
        }
        if (pendingBar)
            out += u'|';
        pendingBar = false;
        out += c;
    }
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzedDataProvider input(data, size);
    QStringList items;
    for (int n = input.ConsumeIntegralInRange(0, 64); n > 0; --n) {
        QString item = takeText(input, 64);
        if (!item.isEmpty() && !item.contains(u'|'))
            items << item;
    }
    fuzzCheck(pickListItems(pickListText(items)) == items, "a list did not come back from its text", items.join(u'\n'));

    const QString text = input.ConsumeBool() ? takeRawText(input) : takeText(input);
    fuzzCheck(pickListText(pickListItems(text)) == withoutEmptyPieces(text),
              "joining the split text changed more than its empty pieces", text);
    return 0;
}
