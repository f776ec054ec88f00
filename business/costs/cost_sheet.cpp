#include "costs/cost_sheet.h"

#include <utility>

#include "costs/cost_sectie.h"
#include "costs/cost_spital.h"
#include "framework/DataAccess.h"
#include "framework/GlobalBL.h"

namespace Velmora_Business {

using com::Currency;
using com::Variant;

namespace {

constexpr std::string_view DuplicateMarker = "duplicate values";
constexpr std::string_view DuplicateLine2 = "Editati valorile inserate anterior.";

bool flagArgument(com::Args args) { return !args.empty() && args[0].toBool(); }

}  // namespace

template <class Derived, class Interface>
void CostSheet<Derived, Interface>::put_IsDirty(bool value, bool bNotRaiseEvent) {
    this->isDirty_ = value;
    if (!bNotRaiseEvent) this->dirtyWritten(value);
}

template <class Derived, class Interface>
void CostSheet<Derived, Interface>::setIsDeleted(bool value, bool bNotMakeDirty) {
    this->isDeleted_ = value;
    if (!bNotMakeDirty) put_IsDirty(true);
}

template <class Derived, class Interface>
void CostSheet<Derived, Interface>::put_IdPerioada(int32_t value, bool bNotMakeDirty) {
    this->setValidated(idPerioada_, value, PeriodRule, value == -1, !bNotMakeDirty);
}

template <class Derived, class Interface>
void CostSheet<Derived, Interface>::putSecondId(int32_t value, bool bNotMakeDirty) {
    const bool changed = value != secondId_;
    const int32_t previous = secondId_;
    secondId_ = value;
    try {
        derived().afterSecondIdStored();
    } catch (...) {
        // A key whose details cannot be read is not taken: the sheet keeps the key, and the
        // details, that it had.
        secondId_ = previous;
        throw;
    }
    this->checkRule(Derived::Rules[1], value == -1);
    if (changed && !bNotMakeDirty) put_IsDirty(true);
}

template <class Derived, class Interface>
void CostSheet<Derived, Interface>::assignAmount(std::size_t index, Currency value, bool bNotMakeDirty) {
    if (amounts_.assign(index, value, bNotMakeDirty)) put_IsDirty(true);
}

namespace {

std::size_t knownAmount(const std::string& name, std::string_view className) {
    const auto index = amountIndex(name);
    if (!index) com::raise(com::errc::NoSuchMember, std::string(className), "No amount is named " + name + ".");
    return *index;
}

}  // namespace

template <class Derived, class Interface>
void CostSheet<Derived, Interface>::put_Amount(const std::string& name, Currency value, bool bNotMakeDirty) {
    assignAmount(knownAmount(name, Derived::ClassName), value, bNotMakeDirty);
}

template <class Derived, class Interface>
Currency CostSheet<Derived, Interface>::get_Amount(const std::string& name) {
    return amounts_.get(knownAmount(name, Derived::ClassName));
}

template <class Derived, class Interface>
void CostSheet<Derived, Interface>::Clear() {
    this->resetMarks();
    idPerioada_ = -1;
    perioada_.clear();
    secondId_ = -1;
    derived().clearHeader();
    amounts_.clear();
    this->renewRules();
}

template <class Derived, class Interface>
bool CostSheet<Derived, Interface>::Save(bool bolStartTran) {
    try {
        this->saveRow(bolStartTran);
    } catch (const com::Error& error) {
        // A second sheet for the same period and hospital (ward): the user is told what to do.
        if (error.description().find(DuplicateMarker) == std::string::npos) throw;
        GlobalBL::reRaise(Derived::ClassName, "Save",
                          std::string(Derived::DuplicateLine1) + "\r\n" + std::string(DuplicateLine2));
    }
    this->isDeleted_ = false;
    return true;
}

template <class Derived, class Interface>
void CostSheet<Derived, Interface>::writeRow(ado::Recordset& rs) {
    rs.Collect("IdPerioada", Variant(idPerioada_));
    derived().writeHeader(rs);
    for (std::size_t i = 0; i < AmountCount; ++i) rs.Collect(amountCatalogue[i].name, Variant(amounts_.get(i)));
}

namespace {

// The amounts are the last columns of every statement that reads a whole sheet.
int32_t firstAmountColumn(const ado::Recordset& rs) { return rs.fieldCount() - static_cast<int32_t>(AmountCount); }

}  // namespace

template <class Derived, class Interface>
void CostSheet<Derived, Interface>::readLoadedRow(const ado::Recordset& rs) {
    this->setId(data::readLong(rs, IdColumn));
    idPerioada_ = data::readLong(rs, "IdPerioada");
    derived().readLoadedHeader(rs);
    const int32_t first = firstAmountColumn(rs);
    for (std::size_t i = 0; i < AmountCount; ++i)
        amounts_.store(i, rs.field(first + static_cast<int32_t>(i)).toCurrency());
}

// Unlike the registers' load, the sheets' load raises no OnDirty.
template <class Derived, class Interface>
bool CostSheet<Derived, Interface>::Load(int32_t vlngIdCost) {
    Clear();
    return GlobalBL::trapped(Derived::ClassName, "Load", [&] {
        ado::Recordset rs = data::openReading(withId(loadStatement(Derived::Kind), vlngIdCost));
        if (rs.Eof()) {
            rs.Close();
            return false;
        }
        readLoadedRow(rs);
        this->rememberStoredRow(rs);
        rs.Close();
        this->ReSetBrokenRule(false);
        this->setIsNew(false);
        put_IsDirty(false, true);
        return true;
    });
}

// A list item takes every value through its setters, as an edit would.
template <class Derived, class Interface>
void CostSheet<Derived, Interface>::assignRow(const ado::Recordset& rs) {
    put_IdPerioada(longAt(rs, ListColumn::IdPerioada));
    put_Perioada(textAt(rs, ListColumn::Perioada));
    derived().readListHeader(rs);
    const int32_t first = firstAmountColumn(rs);
    for (std::size_t i = 0; i < AmountCount; ++i)
        assignAmount(i, rs.field(first + static_cast<int32_t>(i)).toCurrency(), false);
}

// The copy's values are stored as they stand: no group is re-summed, nothing marked.
template <class Derived, class Interface>
void CostSheet<Derived, Interface>::copyFieldsTo(Derived& twin) const {
    twin.put_IdPerioada(idPerioada_, true);
    derived().copyHeaderTo(twin);
    for (std::size_t i = 0; i < AmountCount; ++i) twin.assignAmount(i, amounts_.get(i), true);
}

// The row model and the dispatch table, both generated from the amount catalogue.

namespace {

constexpr std::size_t HeaderFields = 2;
constexpr std::size_t FieldCount = HeaderFields + AmountCount;

// "ctl" and each amount's name, kept for the life of the library.
const std::array<std::string, AmountCount>& amountControlNames() {
    static const auto names = [] {
        std::array<std::string, AmountCount> list;
        for (std::size_t i = 0; i < AmountCount; ++i) list[i] = "ctl" + std::string(amountCatalogue[i].name);
        return list;
    }();
    return names;
}

template <class Derived, std::size_t I>
RowField<Derived> amountField() {
    return {amountControlNames()[I], amountCatalogue[I].name,
            [](Derived& s, const Variant& v) { s.assignAmount(I, v.toCurrency(), false); }};
}

template <class Derived, std::size_t... I>
std::array<RowField<Derived>, FieldCount> makeRowFields(std::index_sequence<I...>) {
    return {{
        {"cmbPerioada", "IdPerioada", [](Derived& s, const Variant& v) { s.put_IdPerioada(v.toLong(), false); }},
        {Derived::SecondControl, Derived::SecondProperty,
         [](Derived& s, const Variant& v) { s.putSecondId(v.toLong(), false); }},
        amountField<Derived, I>()...,
    }};
}

// Dispatch ids follow the default interface's member order: the shared header (1 to 8),
// the sheet's own header, the amounts bound before the methods, the eight methods, then
// the amounts bound after them.
constexpr com::DispId FirstOwnHeaderId = 9;
constexpr auto EarlyAmounts = static_cast<com::DispId>(AmountsBeforeMethods);
constexpr com::DispId MethodCount = 8;

template <class Derived>
constexpr com::DispId firstAmountId() {
    return FirstOwnHeaderId + Derived::OwnHeaderMembers;
}

template <class Derived>
constexpr com::DispId amountDispId(std::size_t index) {
    const auto slot = static_cast<com::DispId>(interfaceSlot(index));
    return firstAmountId<Derived>() + slot + (slot >= EarlyAmounts ? MethodCount : 0);
}

template <class Derived>
constexpr com::DispId methodDispId(int order) {
    return firstAmountId<Derived>() + EarlyAmounts + order;
}

template <class Derived, std::size_t I>
com::Member<Derived> amountMember() {
    return {amountCatalogue[I].name,
            amountDispId<Derived>(I),
            [](Derived& s, com::Args) { return Variant(s.amount(I)); },
            [](Derived& s, com::Args a, const Variant& v) { s.assignAmount(I, v.toCurrency(), flagArgument(a)); },
            nullptr,
            nullptr,
            0,
            1};
}

template <class Derived, std::size_t... I, class... Own>
com::DispatchTable<Derived> makeTable(std::index_sequence<I...>, Own... own) {
    using namespace binding;
    using D = Derived;
    using B = typename D::SheetBase;
    return com::DispatchTable<D>{
        property<D, &D::get_IsNew>("IsNew", 1),
        property<D, &D::get_IsDirty, &D::put_IsDirty>("IsDirty", 2, 1),
        property<D, &D::get_IsDeleted>("IsDeleted", 3, 1),
        property<D, &D::get_IsValid>("IsValid", 4),
        property<D, &D::get_Errors>("Errors", 5),
        property<D, &D::get_IdCost>("IdCost", 6),
        property<D, &D::get_IdPerioada, &D::put_IdPerioada>("IdPerioada", 7, 1),
        property<D, &D::get_Perioada, &D::put_Perioada>("Perioada", 8),
        own...,
        amountMember<D, I>()...,
        method<D, static_cast<void (B::*)()>(&B::Clear)>("Clear", methodDispId<D>(0)),
        method<D, &D::ReSetBrokenRule>("ReSetBrokenRule", methodDispId<D>(1)),
        method<D, &D::Save, Defaults<true>>("Save", methodDispId<D>(2)),
        method<D, static_cast<void (B::*)()>(&B::Delete)>("Delete", methodDispId<D>(3)),
        method<D, static_cast<void (B::*)()>(&B::UnDelete)>("UnDelete", methodDispId<D>(4)),
        method<D, &D::Load>("Load", methodDispId<D>(5)),
        method<D, &D::LoadList, Defaults<Blank{}>>("LoadList", methodDispId<D>(6)),
        method<D, &D::CopyMe>("CopyMe", methodDispId<D>(7)),
    };
}

}  // namespace

template <class Derived, class Interface>
std::span<const RowField<Derived>> CostSheet<Derived, Interface>::rowFields() {
    static const auto fields = makeRowFields<Derived>(std::make_index_sequence<AmountCount>());
    return fields;
}

template <class Derived, class Interface>
const com::DispatchTable<Derived>& CostSheet<Derived, Interface>::dispatchTable() {
    static const com::DispatchTable<Derived> table =
        std::apply([](auto... own) { return makeTable<Derived>(std::make_index_sequence<AmountCount>(), own...); },
                   Derived::headerMembers());
    return table;
}

template class CostSheet<CostSpital, _CostSpital>;
template class CostSheet<CostSectie, _CostSectie>;

}  // namespace Velmora_Business
