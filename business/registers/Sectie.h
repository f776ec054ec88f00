#pragma once
// Sectie: one ward of a hospital, a row of Lista_Sectii___Filtrat.
#include <array>
#include <string>
#include <string_view>

#include "framework/EditedEntity.h"
#include "framework/EntityList.h"
#include "typelib/business/Sectie.h"

namespace Velmora_Business {

class Sectie final : public StandardMarks<EditedEntity<Sectie, _Sectie>> {
public:
    using List = EntityList<_Sectii, &_Sectie::get_IdSectieFiltrat>;

    static constexpr std::string_view ClassName = classNameOf<_Sectie>();
    static constexpr std::string_view IdColumn = "IdSectieFiltrat";
    static const std::array<Column<Sectie>, 4> Columns;
    static inline const std::string LoadSql =
        "Select " + columnList<Sectie>(false) + " From Lista_Sectii___Filtrat a Where a.IdSectieFiltrat=";
    static inline const std::string ListSql =
        "Select " + columnList<Sectie>(true) +
        " From Lista_Sectii___Filtrat a Inner Join Lista_Sectii b On a.IdSectie=b.IdSectie ";
    static constexpr std::string_view ListOrder = " Order By b.CodSectie";
    static inline const std::string SaveSql =
        "Select " + columnList<Sectie>(false) + " FROM Lista_Sectii___Filtrat a WHERE a.IdSectieFiltrat=";
    static constexpr com::Guid EventsIid = __Sectie::iid;
    static constexpr std::string_view RuleSectie = "Sectia de lucru trebuie specificata.";
    static constexpr std::string_view RuleNr = "Numarul sectiei de lucru trebuie specificat.";
    static constexpr std::array<std::string_view, 2> Rules{RuleSectie, RuleNr};

    // The refusals of Save, numbered after the export's refusal in the range of the
    // numbers that objects define for themselves. The cost sheets hang on a ward's
    // hospital, type and number, so these may neither be taken twice nor moved away from
    // the sheets that hold them.
    static constexpr int32_t DuplicateWard = -2147221502;
    static constexpr int32_t ChangeOfWardWithSheets = -2147221501;
    static constexpr int32_t DeleteOfWardWithSheets = -2147221500;
    static constexpr std::string_view DuplicateWardText =
        "Exista deja o sectie de acest tip cu acest numar la spitalul specificat.";
    static constexpr std::string_view ChangedElsewhereText =
        "Sectia a fost modificata de alt utilizator dupa ce a fost incarcata. Incarcati-o din nou cu Cauta... si "
        "refaceti modificarile.";

    Sectie() { Clear(); }

    int32_t get_IdSectieFiltrat() override { return id_; }
    void put_IdSpital(int32_t value, bool bNotMakeDirty = false) override {
        setMarking(idSpital_, value, !bNotMakeDirty);
    }
    int32_t get_IdSpital() override { return idSpital_; }
    void put_IdSectie(int32_t value, bool bNotMakeDirty = false) override {
        setValidated(idSectie_, value, RuleSectie, value == -1, !bNotMakeDirty);
    }
    int32_t get_IdSectie() override { return idSectie_; }
    // The ward type's name, shown in lists; never saved.
    void put_CodSectie(const std::string& value) override { codSectie_ = value; }
    std::string get_CodSectie() override { return codSectie_; }
    void put_NrSectie(int32_t value, bool bNotMakeDirty = false) override {
        setValidated(nrSectie_, value, RuleNr, value == 0, !bNotMakeDirty);
    }
    int32_t get_NrSectie() override { return nrSectie_; }

    void Clear() override;
    bool Save(bool bolStartTran = true) override { return saveRow(bolStartTran); }
    bool Load(int32_t vIdSectieFiltrat) override { return loadRow(vIdSectieFiltrat); }
    com::ComPtr<_Sectii> LoadList(const std::string& SQLWhereClause = "") override { return loadList(SQLWhereClause); }
    com::ComPtr<_Sectie> CopyMe() override { return copyEntity(); }
    std::string GetListaComboSectii(const std::string& = "&", const std::string& = "|") override;
    std::string GetListaComboSectiiFiltrat(int32_t vIdSpital, const std::string& = "&",
                                           const std::string& = "|") override;
    void GetInfoSectieFiltrat(int32_t vIdSectieFiltrat, int32_t& vIdSpital, int32_t& vIdSectie,
                              int32_t& vNrSectie) override;

    void checkBeforeSave();

    static const com::DispatchTable<Sectie>& dispatchTable();

private:
    int32_t idSpital_ = -1;
    int32_t idSectie_ = -1;
    std::string codSectie_;
    int32_t nrSectie_ = 0;
};

// The ward type's name comes from the list statement's join only.
inline constexpr std::array<Column<Sectie>, 4> Sectie::Columns{{
    column<Sectie, &Sectie::idSpital_, &Sectie::get_IdSpital, &Sectie::put_IdSpital>(
        "IdSpital", {.control = "cmbSpital", .rowPosition = 1, .blank = -1}),
    column<Sectie, &Sectie::idSectie_, &Sectie::get_IdSectie, &Sectie::put_IdSectie>(
        "IdSectie", {.control = "cmbSectie", .rowPosition = 2, .blank = -1}),
    column<Sectie, &Sectie::codSectie_, &Sectie::get_CodSectie, &Sectie::put_CodSectie>(
        "CodSectie", {.listSource = "b.SectieNume As CodSectie", .use = ColumnUse::ListOnly}),
    column<Sectie, &Sectie::nrSectie_, &Sectie::get_NrSectie, &Sectie::put_NrSectie>("NrSectie",
                                                                                     {.control = "ctlNrSectie",
                                                                                      .rowPosition = 3}),
}};

}  // namespace Velmora_Business
