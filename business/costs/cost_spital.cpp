#include "costs/cost_spital.h"

#include "framework/ClassRegistry.h"
#include "framework/DataAccess.h"

namespace Velmora_Business {

namespace {
const ClassRegistration sheet{creatable<CostSpital, _CostSpital>()};
const ClassRegistration list{creatable<CostSpital_S, _CostSpital_S>()};
}  // namespace

void CostSpital::writeHeader(ado::Recordset& rs) const { rs.Collect("IdSpital", com::Variant(secondId())); }

void CostSpital::readLoadedHeader(const ado::Recordset& rs) { storeSecondId(data::readLong(rs, "IdSpital")); }

void CostSpital::readListHeader(const ado::Recordset& rs) { put_IdSpital(longAt(rs, ListColumn::IdSpital)); }

void CostSpital::copyHeaderTo(CostSpital& twin) const { twin.put_IdSpital(secondId(), true); }

}  // namespace Velmora_Business
