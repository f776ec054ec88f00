#pragma once
// What the hospital and the ward cost sheet share, on top of the edited-entity pattern:
// the marks with their flags, the period, the 85 amounts with their linked groups, the
// sheet's second id with its rule (the hospital, or the ward), Clear, Load, Save with the
// duplicate-period message and the refusal of a row changed elsewhere, CopyMe, and the
// row model and dispatch table built from the amount catalogue. Each sheet (CostSpital, CostSectie) supplies:
//   Kind, ClassName, Rules (period rule, second rule), SecondProperty, SecondControl,
//   DuplicateLine1, EventsIid, List, and the hooks
//   clearHeader(), afterSecondIdStored(), writeHeader(rs), readLoadedHeader(rs),
//   readListHeader(rs), copyHeaderTo(twin), headerMembers() (its own dispatch members).
#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "costs/cost_amounts.h"
#include "costs/cost_statements.h"
#include "framework/EditedEntity.h"
#include "framework/EntityList.h"
#include "typelib/business/CostSheets.h"

namespace Velmora_Business {

inline constexpr std::string_view PeriodRule = "Perioada de raportare trebuie specificata.";

// A list statement's column by its position; a Null fails with the conversion error.
inline int32_t longAt(const ado::Recordset& rs, int32_t column) { return rs.field(column).toLong(); }
inline std::string textAt(const ado::Recordset& rs, int32_t column) { return rs.field(column).toString(); }

template <class Derived, class Interface>
class CostSheet : public EditedEntity<Derived, Interface> {
public:
    using SheetBase = CostSheet;

    // The table walks of the shared pattern (Entity.h).
    static constexpr std::string_view IdColumn = "IdCost";
    static inline const std::string SaveSql = saveStatement(Derived::Kind);
    static inline const std::string ListSql = listHead(Derived::Kind);
    static constexpr std::string_view ListOrder = ListOrderClause;
    static constexpr std::string_view ChangedElsewhereText =
        "Fisa a fost modificata de alt utilizator dupa ce a fost incarcata. Incarcati-o din nou cu Cauta... si "
        "refaceti modificarile.";

    CostSheet() : amounts_(Derived::Kind == SheetKind::Hospital) {}

    bool get_IsNew() override { return this->isNew_; }
    void put_IsDirty(bool value, bool bNotRaiseEvent = false) override;
    bool get_IsDirty() override { return this->isDirty_; }
    bool get_IsDeleted() override { return this->isDeleted_; }
    int32_t get_IdCost() override { return this->id_; }
    void put_IdPerioada(int32_t value, bool bNotMakeDirty = false) override;
    int32_t get_IdPerioada() override { return idPerioada_; }
    void put_Perioada(const std::string& value) override { perioada_ = value; }
    std::string get_Perioada() override { return perioada_; }
    void put_Amount(const std::string& name, com::Currency value, bool bNotMakeDirty = false) override;
    com::Currency get_Amount(const std::string& name) override;
    void Clear() override;
    bool Save(bool bolStartTran = true) override;
    void Delete() override { setIsDeleted(true); }
    void UnDelete() override { setIsDeleted(false); }
    bool Load(int32_t vlngIdCost) override;

    // Library-internal.
    void setIsDeleted(bool value, bool bNotMakeDirty = false);
    com::Currency amount(std::size_t index) const { return amounts_.get(index); }
    void assignAmount(std::size_t index, com::Currency value, bool bNotMakeDirty);
    // The let of the sheet's second id (IdSpital, or IdSectieFiltrat with its ward lookup).
    void putSecondId(int32_t value, bool bNotMakeDirty);

    // The pattern's hooks (Entity.h).
    void writeRow(ado::Recordset& rs);
    void assignRow(const ado::Recordset& rs);
    void copyFieldsTo(Derived& twin) const;

    // The row model: the period, the second id, then each amount in catalogue order.
    static std::span<const RowField<Derived>> rowFields();
    static const com::DispatchTable<Derived>& dispatchTable();

protected:
    int32_t secondId() const { return secondId_; }
    void storeSecondId(int32_t value) { secondId_ = value; }

private:
    Derived& derived() { return static_cast<Derived&>(*this); }
    const Derived& derived() const { return static_cast<const Derived&>(*this); }
    void readLoadedRow(const ado::Recordset& rs);

    int32_t idPerioada_ = -1;
    std::string perioada_;
    int32_t secondId_ = -1;  // IdSpital of the hospital sheet, IdSectieFiltrat of the ward sheet
    CostAmounts amounts_;
};

}  // namespace Velmora_Business
