#pragma once
// The cost-sheet tests' fixture: the business tests' database and connection, with a few
// periods, hospitals and wards, and the cost-sheet classes created through the registry.
#include <cstdint>
#include <string>

#include "BusinessFixture.h"
#include "com/currency.h"
#include "rawdb.h"
#include "typelib/business/CostSheets.h"

namespace coststest {

using businesstest::edited;
using businesstest::errorOf;
using businesstest::EventLog;
using businesstest::Password;
using businesstest::User;
using namespace rawdb;

inline com::Currency money(int64_t whole) { return com::Currency::fromInteger(whole); }

class CostsTest : public businesstest::BusinessTest {
protected:
    void SetUp() override;

    com::ComPtr<Velmora_Business::_CostSpital> newCostSpital();
    com::ComPtr<Velmora_Business::_CostSectie> newCostSectie();
    // The first column of a statement's first row, read outside the library.
    int64_t count(const std::string& sql) const { return rawInt(data_, sql); }
};

}  // namespace coststest
