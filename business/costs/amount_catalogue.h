#pragma once
// The 85 money amounts of a cost sheet, in catalogue order: the one table from which the
// sheets' fields, group totals, statements, row model and copying are all derived.
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace Velmora_Business {

// The linked groups: a total and its sub-lines, kept in step by the sheets.
enum class AmountGroup : uint8_t { None, C23, C24, C25 };
enum class AmountRole : uint8_t { Plain, GroupTotal, SubLine };

struct AmountInfo {
    std::string_view name;  // property name and column name alike
    AmountGroup group = AmountGroup::None;
    AmountRole role = AmountRole::Plain;
};

inline constexpr std::size_t AmountCount = 85;

namespace detail {
constexpr AmountInfo plain(std::string_view n) { return {n}; }
constexpr AmountInfo total(std::string_view n, AmountGroup g) { return {n, g, AmountRole::GroupTotal}; }
constexpr AmountInfo part(std::string_view n, AmountGroup g) { return {n, g, AmountRole::SubLine}; }
using enum AmountGroup;
}  // namespace detail

// Catalogue order. Personnel: total, category totals, head counts, then the seven budget
// lines of each category in turn; material: plain lines and the groups 23, 24, 25; capital.
inline constexpr std::array<AmountInfo, AmountCount> amountCatalogue = [] {
    using namespace detail;
    return std::array<AmountInfo, AmountCount>{{
        plain("TCP"),        plain("c02_1"),      plain("c02_2"),      plain("c02_3"),      plain("c02_4"),
        plain("c02_5"),      plain("c02_6"),      plain("Angajati_1"), plain("Angajati_2"), plain("Angajati_3"),
        plain("Angajati_4"), plain("Angajati_5"), plain("Angajati_6"), plain("c10_1"),      plain("c11_1"),
        plain("c12_1"),      plain("c13_1"),      plain("c14_1"),      plain("c15_1"),      plain("c16_1"),
        plain("c10_2"),      plain("c11_2"),      plain("c12_2"),      plain("c13_2"),      plain("c14_2"),
        plain("c15_2"),      plain("c16_2"),      plain("c10_3"),      plain("c11_3"),      plain("c12_3"),
        plain("c13_3"),      plain("c14_3"),      plain("c15_3"),      plain("c16_3"),      plain("c10_4"),
        plain("c11_4"),      plain("c12_4"),      plain("c13_4"),      plain("c14_4"),      plain("c15_4"),
        plain("c16_4"),      plain("c10_5"),      plain("c11_5"),      plain("c12_5"),      plain("c13_5"),
        plain("c14_5"),      plain("c15_5"),      plain("c16_5"),      plain("c10_6"),      plain("c11_6"),
        plain("c12_6"),      plain("c13_6"),      plain("c14_6"),      plain("c15_6"),      plain("c16_6"),
        plain("c22"),        total("c23", C23),   part("c23_01", C23), part("c23_02", C23), part("c23_03", C23),
        part("c23_04", C23), total("c24", C24),   part("c24_01", C24), part("c24_02", C24), part("c24_03", C24),
        part("c24_04", C24), part("c24_05", C24), part("c24_06", C24), part("c24_07", C24), total("c25", C25),
        part("c25_01", C25), part("c25_02", C25), part("c25_03", C25), part("c25_04", C25), part("c25_05", C25),
        part("c25_06", C25), part("c25_07", C25), part("c25_08", C25), part("c25_09", C25), plain("c26"),
        plain("c27"),        plain("c28"),        plain("c29"),        plain("c30"),        plain("c72"),
    }};
}();

// The personnel block that the ward table splits with its NrSectie column: TCP, the
// category totals and the head counts come before it, the budget lines after it.
inline constexpr std::size_t AmountsBeforeNrSectie = 13;

// Where a group's total and its sub-lines stand in the catalogue.
struct GroupRange {
    std::size_t total;
    std::size_t firstPart;
    std::size_t partCount;
};
GroupRange groupRange(AmountGroup group);

// Catalogue index of an amount, the name compared exactly (as the row model's writes do).
std::optional<std::size_t> amountIndex(std::string_view name);
// The same without regard to case (as dispatch finds members by name).
std::optional<std::size_t> amountIndexIgnoreCase(std::string_view name);

// 1-based column position of an amount in the hospital table (after IdCost, IdPerioada,
// IdSpital) and in the ward table (after IdCost, IdPerioada, IdSpital, IdSectie, with
// NrSectie after the head counts).
std::size_t hospitalColumnPosition(std::size_t index);
std::size_t wardColumnPosition(std::size_t index);

// 0-based place of an amount among the amounts of the sheets' default interface: the
// personnel budget lines, the material and capital lines without c23_04, then (after the
// methods) TCP, the category totals, the head counts and c23_04.
std::size_t interfaceSlot(std::size_t index);
// How many amounts the interface binds before its methods (the budget lines and the
// material and capital lines without c23_04).
inline constexpr std::size_t AmountsBeforeMethods = AmountCount - AmountsBeforeNrSectie - 1;
// The inverse: catalogue index of the amount at an interface slot.
std::size_t amountAtInterfaceSlot(std::size_t slot);

// "a.TCP, a.c02_1, ..." over the catalogue indexes [first, last), each name behind `prefix`.
std::string amountList(std::string_view prefix, std::size_t first = 0, std::size_t last = AmountCount);

}  // namespace Velmora_Business
