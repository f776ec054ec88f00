#include "costs/amount_catalogue.h"

#include <algorithm>
#include <cctype>

namespace Velmora_Business {

namespace {

constexpr std::size_t FirstBudgetLine = AmountsBeforeNrSectie;  // c10_1
constexpr std::size_t FirstMaterialLine = 55;                   // c22
constexpr std::size_t LateSubLine = 60;                         // c23_04, bound after the methods

static_assert(amountCatalogue[FirstBudgetLine].name == "c10_1");
static_assert(amountCatalogue[FirstMaterialLine].name == "c22");
static_assert(amountCatalogue[LateSubLine].name == "c23_04");
static_assert(amountCatalogue[AmountCount - 1].name == "c72");

bool sameIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

template <class Match>
std::optional<std::size_t> findAmount(Match match) {
    for (std::size_t i = 0; i < AmountCount; ++i)
        if (match(amountCatalogue[i].name)) return i;
    return std::nullopt;
}

}  // namespace

namespace {

constexpr GroupRange findGroup(AmountGroup group) {
    GroupRange range{AmountCount, AmountCount, 0};
    for (std::size_t i = 0; i < AmountCount; ++i) {
        const AmountInfo& info = amountCatalogue[i];
        if (info.group != group) continue;
        if (info.role == AmountRole::GroupTotal) range.total = i;
        else if (range.partCount++ == 0) range.firstPart = i;
    }
    return range;
}

constexpr std::array<GroupRange, 4> groups{findGroup(AmountGroup::None), findGroup(AmountGroup::C23),
                                           findGroup(AmountGroup::C24), findGroup(AmountGroup::C25)};
static_assert(groups[1].partCount == 4 && groups[2].partCount == 7 && groups[3].partCount == 9);

}  // namespace

GroupRange groupRange(AmountGroup group) { return groups[static_cast<std::size_t>(group)]; }

std::optional<std::size_t> amountIndex(std::string_view name) {
    return findAmount([name](std::string_view n) { return n == name; });
}

std::optional<std::size_t> amountIndexIgnoreCase(std::string_view name) {
    return findAmount([name](std::string_view n) { return sameIgnoringCase(n, name); });
}

std::size_t hospitalColumnPosition(std::size_t index) { return 4 + index; }

std::size_t wardColumnPosition(std::size_t index) { return index < AmountsBeforeNrSectie ? 5 + index : 6 + index; }

std::size_t interfaceSlot(std::size_t index) {
    if (index == LateSubLine) return AmountCount - 1;
    if (index < FirstBudgetLine) return AmountsBeforeMethods + index;
    return index - FirstBudgetLine - (index > LateSubLine ? 1 : 0);
}

std::size_t amountAtInterfaceSlot(std::size_t slot) {
    for (std::size_t i = 0; i < AmountCount; ++i)
        if (interfaceSlot(i) == slot) return i;
    return AmountCount;
}

std::string amountList(std::string_view prefix, std::size_t first, std::size_t last) {
    std::string text;
    for (std::size_t i = first; i < last; ++i) {
        if (i != first) text += ", ";
        text += prefix;
        text += amountCatalogue[i].name;
    }
    return text;
}

}  // namespace Velmora_Business
