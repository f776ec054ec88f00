#include "costs/cost_amounts.h"

namespace Velmora_Business {

bool CostAmounts::isLinked(AmountGroup group) const {
    return group == AmountGroup::C24 || group == AmountGroup::C25 || (group == AmountGroup::C23 && linksGroup23_);
}

bool CostAmounts::assign(std::size_t index, com::Currency value, bool notMakeDirty) {
    const com::Currency old = values_[index];
    values_[index] = value;
    if (value == old || notMakeDirty) return false;
    const AmountInfo& info = amountCatalogue[index];
    if (isLinked(info.group)) {
        if (info.role == AmountRole::GroupTotal) clearParts(info.group);
        else sumParts(info.group);
    }
    return true;
}

void CostAmounts::clearParts(AmountGroup group) {
    const GroupRange range = groupRange(group);
    for (std::size_t i = 0; i < range.partCount; ++i) values_[range.firstPart + i] = com::Currency{};
}

void CostAmounts::sumParts(AmountGroup group) {
    const GroupRange range = groupRange(group);
    com::Currency sum;
    for (std::size_t i = 0; i < range.partCount; ++i) sum += values_[range.firstPart + i];
    values_[range.total] = sum;
}

}  // namespace Velmora_Business
