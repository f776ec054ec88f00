// The business library (created through the registry, called through its interfaces)
// against raw SQLite on the same file: listing 2,000 hospitals into objects, their
// lookup-list string, and a hospital's save in a transaction of its own.
#include <benchmark/benchmark.h>
#include <sqlite3.h>
#include <stdlib.h>

#include <filesystem>
#include <string>
#include <vector>

#include "ado/workgroup.h"
#include "com/server.h"
#include "rawdb.h"
#include "temp_folder.h"
#include "typelib/Velmora_Business.h"

namespace {

namespace fs = std::filesystem;
namespace vb = Velmora_Business;
constexpr int Hospitals = 2000;

struct Files {
    test::TempFolder temp{"business-bench"};
    fs::path folder = temp.path(), data = folder / "Velmora.mdb", workgroup = folder / "Velmora.mdw";
    Files() {
        ::setenv("VELMORA_REGISTRY", (folder / "registry").c_str(), 1);
        com::registerLibrary(VELMORA_BUSINESS_LIBRARY);
        ado::workgroup::create(workgroup);
        ado::workgroup::setAccount(workgroup, "bench", "bench");
        const rawdb::RawDb db = rawdb::createDatabase(data, fs::path(VELMORA_DATA_DIR) / "schema.sql");
        rawdb::rawExec(db.get(), "BEGIN");
        for (int i = 1; i <= Hospitals; ++i)
            rawdb::rawExec(db.get(), "INSERT INTO Nom_Spitale (CodSpital, DenSpital, IdJudet) VALUES ('H" +
                                         std::to_string(100000 + i) + "', 'Spitalul " + std::to_string(i) + "', 1)");
        rawdb::rawExec(db.get(), "COMMIT");
    }
};

const Files& files() {
    static const Files f;
    return f;
}

// The library connected to the bench database for the duration of one benchmark.
struct Connected {
    com::ComPtr<vb::_Conection> conection = com::CreateObject(vb::ProgId::Conection).query<vb::_Conection>();
    Connected() {
        conection->Connect(files().data.string(), files().workgroup.string(), "bench", "bench",
                           files().folder.string());
    }
    ~Connected() { conection->Disconnect(); }
};

struct Raw {
    sqlite3* db = nullptr;
    Raw() {
        sqlite3_open_v2(files().data.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr);
        sqlite3_exec(db, "PRAGMA synchronous=FULL", nullptr, nullptr, nullptr);
    }
    ~Raw() { sqlite3_close(db); }
};

struct Hospital {
    int id;
    std::string cod, den;
    int judet;
};

void BM_Library_LoadList(benchmark::State& state) {
    Connected c;
    auto spital = com::CreateObject(vb::ProgId::Spital).query<vb::_Spital>();
    for (auto _ : state) {
        auto list = spital->LoadList();
        benchmark::DoNotOptimize(list->get_Count());
    }
}
BENCHMARK(BM_Library_LoadList)->Unit(benchmark::kMillisecond);

void BM_RawSqlite_LoadList(benchmark::State& state) {
    Raw raw;
    for (auto _ : state) {
        std::vector<Hospital> list;
        sqlite3_stmt* st = nullptr;
        sqlite3_prepare_v2(raw.db, "SELECT IdSpital, CodSpital, DenSpital, IdJudet FROM Nom_Spitale ORDER BY CodSpital",
                           -1, &st, nullptr);
        while (sqlite3_step(st) == SQLITE_ROW)
            list.push_back({sqlite3_column_int(st, 0), reinterpret_cast<const char*>(sqlite3_column_text(st, 1)),
                            reinterpret_cast<const char*>(sqlite3_column_text(st, 2)), sqlite3_column_int(st, 3)});
        sqlite3_finalize(st);
        benchmark::DoNotOptimize(list.size());
    }
}
BENCHMARK(BM_RawSqlite_LoadList)->Unit(benchmark::kMillisecond);

void BM_Library_LookupList(benchmark::State& state) {
    Connected c;
    auto spital = com::CreateObject(vb::ProgId::Spital).query<vb::_Spital>();
    for (auto _ : state) benchmark::DoNotOptimize(spital->GetListaComboSpitale(1).size());
}
BENCHMARK(BM_Library_LookupList)->Unit(benchmark::kMillisecond);

void BM_RawSqlite_LookupList(benchmark::State& state) {
    Raw raw;
    for (auto _ : state) {
        std::string text;
        sqlite3_stmt* st = nullptr;
        sqlite3_prepare_v2(raw.db,
                           "SELECT IdSpital, CodSpital || '---' || DenSpital FROM Nom_Spitale WHERE IdJudet=1 "
                           "ORDER BY CodSpital",
                           -1, &st, nullptr);
        while (sqlite3_step(st) == SQLITE_ROW) {
            text += std::to_string(sqlite3_column_int(st, 0)) + "&";
            if (const auto* t = sqlite3_column_text(st, 1)) text += reinterpret_cast<const char*>(t);
            text += "|";
        }
        sqlite3_finalize(st);
        benchmark::DoNotOptimize(text.size());
    }
}
BENCHMARK(BM_RawSqlite_LookupList)->Unit(benchmark::kMillisecond);

void BM_Library_Save(benchmark::State& state) {
    Connected c;
    auto spital = com::CreateObject(vb::ProgId::Spital).query<vb::_Spital>();
    spital->Load(1);
    int n = 0;
    for (auto _ : state) {
        spital->put_DenSpital("Spitalul " + std::to_string(++n));
        benchmark::DoNotOptimize(spital->Save(true));
    }
}
BENCHMARK(BM_Library_Save)->Unit(benchmark::kMillisecond);

void BM_RawSqlite_Save(benchmark::State& state) {
    Raw raw;
    int n = 0;
    for (auto _ : state) {
        sqlite3_exec(raw.db, "BEGIN", nullptr, nullptr, nullptr);
        sqlite3_stmt* st = nullptr;
        sqlite3_prepare_v2(raw.db, "UPDATE Nom_Spitale SET CodSpital=?, DenSpital=?, IdJudet=? WHERE IdSpital=1", -1,
                           &st, nullptr);
        const std::string den = "Spitalul " + std::to_string(++n);
        sqlite3_bind_text(st, 1, "H100001", -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(st, 2, den.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_int(st, 3, 1);
        sqlite3_step(st);
        sqlite3_finalize(st);
        sqlite3_exec(raw.db, "COMMIT", nullptr, nullptr, nullptr);
    }
}
BENCHMARK(BM_RawSqlite_Save)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
