#pragma once
// Raport: one node of the report catalogue Rapoarte (read only).
#include <string>
#include <string_view>

#include "framework/Entity.h"
#include "framework/EntityList.h"
#include "typelib/business/Raport.h"

namespace Velmora_Business {

class Raport final : public StandardMarks<EntityBase<Raport, _Raport>> {
public:
    using List = EntityList<_Rapoarte, &_Raport::get_IdRaport>;

    static constexpr std::string_view ClassName = "Raport";
    static constexpr std::string_view IdColumn = "IdRaport";
    static constexpr std::string_view LoadSql =
        "Select a.IdRaport, a.DenRaport, a.IdParinte, a.TipRaport, a.Parametrii, a.Locatie From Rapoarte a "
        "Where a.IdRaport=";
    static constexpr std::string_view ListSql =
        "Select a.IdRaport, a.DenRaport, a.IdParinte, a.TipRaport, a.Parametrii, a.Locatie From Rapoarte a ";
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
    com::ComPtr<_Rapoarte> LoadList(const std::string& SQLWhereClause = "") override { return loadList(SQLWhereClause); }
    com::ComPtr<_Raport> CopyMe() override { return copyEntity(); }

    // Library-internal.
    void setIdParinte(int32_t value) { idParinte_ = value; }

    void readRow(const ado::Recordset& rs);
    void assignRow(const ado::Recordset& rs);
    void copyFieldsTo(Raport& copy);

    static const com::DispatchTable<Raport>& dispatchTable();

private:
    std::string den_;
    int32_t idParinte_ = 0;
    std::string tip_;
    std::string parametrii_;
    std::string locatie_;
};

}  // namespace Velmora_Business
