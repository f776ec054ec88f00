#pragma once
// The 85 amounts a cost sheet holds, and the rules that keep a linked group total and
// its sub-lines in step.
#include <array>
#include <cstddef>

#include <com/currency.h>

#include "costs/amount_catalogue.h"

namespace Velmora_Business {

class CostAmounts {
public:
    // Which groups this sheet links: the hospital sheet links 23, 24 and 25, the ward
    // sheet only 24 and 25.
    explicit CostAmounts(bool linksGroup23) : linksGroup23_(linksGroup23) {}

    com::Currency get(std::size_t index) const { return values_[index]; }
    // Stores without any side effect (loading, clearing, copying).
    void store(std::size_t index, com::Currency value) { values_[index] = value; }
    void clear() { values_.fill(com::Currency{}); }

    // The write accessor of an amount: stores the value; when it changed and
    // `notMakeDirty` is false, clears a linked total's sub-lines or re-sums a sub-line's
    // total and answers true: the sheet must then mark itself dirty. A sum that leaves
    // the currency range raises error 6 with the new value kept and the total unchanged.
    bool assign(std::size_t index, com::Currency value, bool notMakeDirty);

    bool isLinked(AmountGroup group) const;

private:
    void clearParts(AmountGroup group);
    void sumParts(AmountGroup group);

    bool linksGroup23_;
    std::array<com::Currency, AmountCount> values_{};
};

}  // namespace Velmora_Business
