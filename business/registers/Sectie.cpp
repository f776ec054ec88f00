#include "Sectie.h"

#include <optional>

#include "framework/ClassRegistry.h"

namespace Velmora_Business {
namespace {

// What a ward's cost sheets refer to it by.
struct Triple {
    int32_t idSpital;
    int32_t idSectie;
    int32_t nrSectie;
    bool operator==(const Triple&) const = default;
};

std::string whereTriple(const Triple& t) {
    return " Where a.IdSpital=" + std::to_string(t.idSpital) + " And a.IdSectie=" + std::to_string(t.idSectie) +
           " And a.NrSectie=" + std::to_string(t.nrSectie);
}

int32_t countOf(const std::string& sql) {
    ado::Recordset rs = data::openReading(sql);
    const int32_t count = data::readLong(rs, "Numar");
    rs.Close();
    return count;
}

// The ward's row as stored, none for a ward not (or no longer) stored.
std::optional<Triple> storedTriple(int32_t idSectieFiltrat) {
    ado::Recordset rs = data::openReading(
        data::withId("Select a.IdSpital, a.IdSectie, a.NrSectie From Lista_Sectii___Filtrat a Where a.IdSectieFiltrat=",
                     idSectieFiltrat));
    std::optional<Triple> stored;
    if (!rs.Eof())
        stored = Triple{data::readLong(rs, "IdSpital"), data::readLong(rs, "IdSectie"), data::readLong(rs, "NrSectie")};
    rs.Close();
    return stored;
}

// The wards other than this one that have the triple.
int32_t otherWardsWith(const Triple& t, int32_t idSectieFiltrat) {
    return countOf("Select Count(*) As Numar From Lista_Sectii___Filtrat a" + whereTriple(t) +
                   " And a.IdSectieFiltrat<>" + std::to_string(idSectieFiltrat));
}

// The ward sheets that a ward stored with this triple would leave behind, reachable through
// no ward: none while another ward has the same triple (a database may hold such pairs
// from before; either of them may then go or change).
int32_t sheetsLeftBehind(const Triple& stored, int32_t idSectieFiltrat) {
    const int32_t sheets = countOf("Select Count(*) As Numar From Velmora_Sectie a" + whereTriple(stored));
    if (sheets == 0 || otherWardsWith(stored, idSectieFiltrat) > 0) return 0;
    return sheets;
}

}  // namespace

void Sectie::Clear() {
    resetMarks();
    clearColumns(*this);
    renewRules();
}

// Runs inside Save's transaction, before the row is written or deleted.
void Sectie::checkBeforeSave() {
    const std::optional<Triple> stored = storedTriple(id_);
    if (isDeleted_) {
        if (!stored) return;  // nothing to delete
        if (const int32_t sheets = sheetsLeftBehind(*stored, id_))
            com::raise(DeleteOfWardWithSheets, "",
                       "Sectia are " + std::to_string(sheets) + " fise de cost inregistrate si nu poate fi stearsa.");
        return;
    }
    const Triple wanted{idSpital_, idSectie_, nrSectie_};
    if (stored == wanted) return;  // what the sheets refer to stays as it is
    if (stored) {
        if (const int32_t sheets = sheetsLeftBehind(*stored, id_))
            com::raise(ChangeOfWardWithSheets, "",
                       "Sectia are " + std::to_string(sheets) +
                           " fise de cost inregistrate; tipul si numarul ei nu pot fi modificate.");
    }
    if (otherWardsWith(wanted, id_) > 0) com::raise(DuplicateWard, "", std::string(DuplicateWardText));
}

std::string Sectie::GetListaComboSectii(const std::string&, const std::string&) {
    return data::lookupList(
        "Select a.IdSectie, a.CodSectie + '---' + a.SectieNume From Lista_Sectii a Order By a.CodSectie");
}

std::string Sectie::GetListaComboSectiiFiltrat(int32_t vIdSpital, const std::string&, const std::string&) {
    return data::lookupList(
        data::withId("Select a.IdSectieFiltrat, b.CodSectie + '---' + b.SectieNume + '---' + Cstr(a.NrSectie) As "
                     "CodSectieFiltrat From Lista_Sectii___Filtrat a Inner Join Lista_Sectii b On "
                     "a.IdSectie=b.IdSectie Where a.IdSpital=",
                     vIdSpital) +
        " Order By b.CodSectie, a.NrSectie");
}

void Sectie::GetInfoSectieFiltrat(int32_t vIdSectieFiltrat, int32_t& vIdSpital, int32_t& vIdSectie,
                                  int32_t& vNrSectie) {
    ado::Recordset rs = data::openReading(
        data::withId("Select a.IdSpital, a.IdSectie, a.NrSectie From Lista_Sectii___Filtrat a Where a.IdSectieFiltrat=",
                     vIdSectieFiltrat));
    if (rs.Eof()) {
        vIdSpital = vIdSectie = vNrSectie = 0;
    } else {
        vIdSpital = data::readLong(rs, "IdSpital");
        vIdSectie = data::readLong(rs, "IdSectie");
        vNrSectie = data::readLong(rs, "NrSectie");
    }
    rs.Close();
}

const com::DispatchTable<Sectie>& Sectie::dispatchTable() {
    using S = Sectie;
    using namespace binding;
    using Delimiters = Defaults<Blank{}, Blank{}>;
    static const com::DispatchTable<S> table = registerDispatch<S, &S::get_IdSectieFiltrat>(
        method<S, &S::Clear>("Clear", 9), method<S, &S::ReSetBrokenRule>("ReSetBrokenRule", 10),
        property<S, &S::get_IsValid>("IsValid", 11), property<S, &S::get_Errors>("Errors", 12),
        method<S, &S::Delete>("Delete", 13), method<S, &S::UnDelete>("UnDelete", 14),
        method<S, &S::Save, Defaults<true>>("Save", 15), method<S, &S::Load>("Load", 16),
        method<S, &S::LoadList, Defaults<Blank{}>>("LoadList", 17), method<S, &S::CopyMe>("CopyMe", 18),
        method<S, &S::GetListaComboSectii, Delimiters>("GetListaComboSectii", 19),
        method<S, &S::GetListaComboSectiiFiltrat, Delimiters>("GetListaComboSectiiFiltrat", 20),
        method<S, &S::GetInfoSectieFiltrat>("GetInfoSectieFiltrat", 21));
    return table;
}

namespace {
const ClassRegistration registration{creatable<Sectie, _Sectie>()};
}  // namespace

}  // namespace Velmora_Business
