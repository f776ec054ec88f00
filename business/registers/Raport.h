#pragma once
// Raport: one node of the report catalogue Rapoarte (read only).
#include <array>
#include <string>
#include <string_view>

#include "framework/Entity.h"
#include "framework/EntityList.h"
#include "typelib/business/Raport.h"

namespace Velmora_Business {

class Raport final : public StandardMarks<EntityBase<Raport, _Raport>> {
public:
    using List = EntityList<_Rapoarte, &_Raport::get_IdRaport>;

    static constexpr std::string_view ClassName = classNameOf<_Raport>();
    static constexpr std::string_view IdColumn = "IdRaport";
    static const std::array<Column<Raport>, 5> Columns;
    static inline const std::string LoadSql =
        "Select " + columnList<Raport>(false) + " From Rapoarte a Where a.IdRaport=";
    static inline const std::string ListSql = "Select " + columnList<Raport>(true) + " From Rapoarte a ";
    static constexpr std::string_view ListOrder = " Order By a.IdRaport";

    Raport() { Clear(); }

    int32_t get_IdRaport() override { return id_; }
    void put_DenRaport(const std::string& value) override { den_ = value; }
    std::string get_DenRaport() override { return den_; }
    int32_t get_IdParinte() override { return idParinte_; }
    void put_TipRaport(const std::string& value) override { tip_ = value; }
    std::string get_TipRaport() override { return tip_; }
    void put_Parametrii(const std::string& value) override { parametrii_ = value; }
    std::string get_Parametrii() override { return parametrii_; }
    void put_Locatie(const std::string& value) override { locatie_ = value; }
    std::string get_Locatie() override { return locatie_; }
    void Clear() override;
    bool Load(int32_t vIdRaport) override { return loadRow(vIdRaport); }
    com::ComPtr<_Rapoarte> LoadList(const std::string& SQLWhereClause = "") override {
        return loadList(SQLWhereClause);
    }
    com::ComPtr<_Raport> CopyMe() override { return copyEntity(); }

    // Library-internal.
    void setIdParinte(int32_t value) { idParinte_ = value; }

    static const com::DispatchTable<Raport>& dispatchTable();

private:
    std::string den_;
    int32_t idParinte_ = 0;
    std::string tip_;
    std::string parametrii_;
    std::string locatie_;
};

// A root node has no parent (Null, read as 0) by Load as by LoadList; its parent is read
// only. A Null kind, parameter text or file is read as "" by LoadList only: Load reads them
// as they are, and a Null fails it.
inline constexpr std::array<Column<Raport>, 5> Raport::Columns{{
    column<Raport, &Raport::den_, &Raport::get_DenRaport, &Raport::put_DenRaport>("DenRaport"),
    column<Raport, &Raport::idParinte_, &Raport::get_IdParinte, &Raport::setIdParinte, nullptr>(
        "IdParinte", {.loadNull = NullRead::Blank, .listNull = NullRead::Blank}),
    column<Raport, &Raport::tip_, &Raport::get_TipRaport, &Raport::put_TipRaport>("TipRaport",
                                                                                  {.listNull = NullRead::Blank}),
    column<Raport, &Raport::parametrii_, &Raport::get_Parametrii, &Raport::put_Parametrii>("Parametrii",
                                                                                           {.listNull =
                                                                                                NullRead::Blank}),
    column<Raport, &Raport::locatie_, &Raport::get_Locatie, &Raport::put_Locatie>("Locatie",
                                                                                  {.listNull = NullRead::Blank}),
}};

}  // namespace Velmora_Business
