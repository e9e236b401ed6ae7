#include "store/entryimage.h"

#include <cmath>

using namespace Qt::StringLiterals;

namespace {

bool sameStored(const QVariant& a, const QVariant& b)
{
    if (a.typeId() != b.typeId())
        return false;
    if (a.typeId() == QMetaType::Double) {
        // Exactly the same number; a stored NaN is the same as itself.
        const double x = a.toDouble();
        const double y = b.toDouble();
        return x == y || (std::isnan(x) && std::isnan(y));
    }
    return a == b;
}

} // namespace

QList<EntryField> EntryImage::differences(const EntryImage& other) const
{
    QList<EntryField> fields;
    for (size_t i = 0; i < stored.size(); ++i)
        if (!sameStored(stored[i], other.stored[i]))
            fields.append(EntryField(i));
    return fields;
}

EntryGone::EntryGone(const QString& id)
    : StoreError(u"Entry %1 is no longer in the ledger: another program deleted it."_s.arg(id)), id(id)
{
}

EntryChanged::EntryChanged(const QString& id, EntryImage before, EntryImage now)
    : StoreError(u"Entry %1 was changed by another program since it was read."_s.arg(id)), id(id),
      before(std::move(before)), now(std::move(now)), fields(this->before.differences(this->now))
{
}
