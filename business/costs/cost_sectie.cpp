#include "costs/cost_sectie.h"

#include "framework/ClassRegistry.h"
#include "framework/DataAccess.h"
#include "registers/Sectie.h"

namespace Velmora_Business {

namespace {
const ClassRegistration sheet{creatable<CostSectie, _CostSectie>()};
}  // namespace

void CostSectie::clearHeader() {
    idSpital_ = 0;
    idSectie_ = 0;
    codSectie_.clear();
    nrSectie_ = 0;
}

// The ward's hospital, type and number, from the ward register (zeros when it has no row).
void CostSectie::afterSecondIdStored() {
    com::make<Sectie, _Sectie>()->GetInfoSectieFiltrat(secondId(), idSpital_, idSectie_, nrSectie_);
}

void CostSectie::writeHeader(ado::Recordset& rs) const {
    rs.Collect("IdSpital", com::Variant(idSpital_));
    rs.Collect("IdSectie", com::Variant(idSectie_));
    rs.Collect("NrSectie", com::Variant(nrSectie_));
}

void CostSectie::readLoadedHeader(const ado::Recordset& rs) {
    storeSecondId(data::readLong(rs, "IdSectieFiltrat"));
    idSpital_ = data::readLong(rs, "IdSpital");
    idSectie_ = data::readLong(rs, "IdSectie");
    nrSectie_ = data::readLong(rs, "NrSectie");
}

void CostSectie::readListHeader(const ado::Recordset& rs) {
    put_IdSpital(longAt(rs, ListColumn::IdSpital));
    put_IdSectie(longAt(rs, ListColumn::IdSectie));
    put_CodSectie(textAt(rs, ListColumn::CodSectie));
    put_NrSectie(longAt(rs, ListColumn::NrSectie));
}

// The lookup runs on the copy; the ward fields then take the copied sheet's values.
void CostSectie::copyHeaderTo(CostSectie& twin) const {
    twin.put_IdSectieFiltrat(secondId(), true);
    twin.put_IdSpital(idSpital_);
    twin.put_IdSectie(idSectie_);
    twin.put_NrSectie(nrSectie_);
}

}  // namespace Velmora_Business
