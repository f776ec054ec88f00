#pragma once
// A temporary data folder for the cost-sheet tests: a database built from data/schema.sql
// with a few periods, hospitals and wards, a workgroup file with one account, a registry
// holding the business library, and the library's shared connection open on it.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "com/currency.h"
#include "com/events.h"
#include "com/server.h"
#include "typelib/Velmora_Business.h"
#include "costs_rawdb.h"
#include "typelib/business/CostSheets.h"

namespace coststest {

inline constexpr const char* User = "operator";
inline constexpr const char* Password = "parola1";

// The events a sheet raised, in order, as "OnDirty(1)" / "Valid(0)".
struct EventLog {
    std::vector<std::string> events;
    com::ComPtr<com::EventSink> sink = com::make<com::EventSink>();
    com::EventConnection connection;

    void listen(com::IUnknown& source, const com::Guid& eventInterface);
    void clear() { events.clear(); }
};

inline com::Currency money(int64_t whole) { return com::Currency::fromInteger(whole); }

class CostsTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    com::ComPtr<Velmora_Business::_CostSpital> newCostSpital();
    com::ComPtr<Velmora_Business::_CostSectie> newCostSectie();
    void exec(const std::string& sql) const { rawExec(dataFile, sql); }
    int64_t count(const std::string& sql) const { return rawInt(dataFile, sql); }
    void connect();
    void disconnect();

    std::filesystem::path folder, dataFile, workgroupFile;
    com::ComPtr<Velmora_Business::_Conection> conection;
};

}  // namespace coststest
