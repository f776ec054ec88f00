#pragma once
// A temporary data folder for the cost-sheet tests: a database built from data/schema.sql
// with a few periods, hospitals and wards, a workgroup file with one account, a registry
// holding the business library, and the library's shared connection open on it.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "com/events.h"
#include "com/server.h"
#include "typelib/Velmora_Business.h"
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

// Runs raw SQL on a database file, outside the library.
void rawExec(const std::filesystem::path& file, const std::string& sql);
int64_t rawInt(const std::filesystem::path& file, const std::string& sql);

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
