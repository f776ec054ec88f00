#pragma once
// The ward cost sheet: one period's costs of one ward of a hospital, a row of
// Velmora_Sectie. The ward is chosen by its IdSectieFiltrat; the sheet copies the ward's
// hospital, ward type and number, which are what the table stores.
#include <array>
#include <tuple>

#include "costs/cost_sheet.h"

namespace Velmora_Business {

class CostSectie final : public CostSheet<CostSectie, _CostSectie> {
public:
    static constexpr SheetKind Kind = SheetKind::Ward;
    static constexpr std::string_view ClassName = classNameOf<_CostSectie>();
    static constexpr std::array<std::string_view, 2> Rules{PeriodRule, "Sectia trebuie specificata."};
    static constexpr std::string_view SecondProperty = "IdSectieFiltrat";
    static constexpr std::string_view SecondControl = "cmbSectieFiltrat";
    static constexpr std::string_view DuplicateLine1 =
        "Sume aferente perioadei si sectiei specificate in antet au fost inserate deja.";
    static constexpr com::Guid EventsIid = __CostSectie::iid;
    static constexpr com::DispId OwnHeaderMembers = 5;
    using List = EntityList<_CostSectie_S, &_CostSectie::get_IdCost>;

    CostSectie() { Clear(); }

    // Looks the ward up on every write, whatever the flag says.
    void put_IdSectieFiltrat(int32_t value, bool bNotMakeDirty = false) override { putSecondId(value, bNotMakeDirty); }
    int32_t get_IdSectieFiltrat() override { return secondId(); }
    void put_IdSpital(int32_t value) override { idSpital_ = value; }
    int32_t get_IdSpital() override { return idSpital_; }
    void put_IdSectie(int32_t value) override { idSectie_ = value; }
    int32_t get_IdSectie() override { return idSectie_; }
    void put_CodSectie(const std::string& value) override { codSectie_ = value; }
    std::string get_CodSectie() override { return codSectie_; }
    void put_NrSectie(int32_t value) override { nrSectie_ = value; }
    int32_t get_NrSectie() override { return nrSectie_; }
    com::ComPtr<_CostSectie_S> LoadList(const std::string& SQLWhereClause = "") override {
        return loadList(SQLWhereClause);
    }
    com::ComPtr<_CostSectie> CopyMe() override { return copyEntity(); }

    static auto headerMembers() {
        using namespace binding;
        using S = CostSectie;
        return std::tuple{property<S, &S::get_IdSectieFiltrat, &S::put_IdSectieFiltrat>("IdSectieFiltrat", 9, 1),
                          property<S, &S::get_IdSpital, &S::put_IdSpital>("IdSpital", 10),
                          property<S, &S::get_IdSectie, &S::put_IdSectie>("IdSectie", 11),
                          property<S, &S::get_CodSectie, &S::put_CodSectie>("CodSectie", 12),
                          property<S, &S::get_NrSectie, &S::put_NrSectie>("NrSectie", 13)};
    }

private:
    friend class CostSheet<CostSectie, _CostSectie>;
    void clearHeader();
    void afterSecondIdStored();
    void writeHeader(ado::Recordset& rs) const;
    void readLoadedHeader(const ado::Recordset& rs);
    void readListHeader(const ado::Recordset& rs);
    void copyHeaderTo(CostSectie& twin) const;

    int32_t idSpital_ = 0;
    int32_t idSectie_ = 0;
    std::string codSectie_;
    int32_t nrSectie_ = 0;
};

using CostSectie_S = CostSectie::List;

}  // namespace Velmora_Business
