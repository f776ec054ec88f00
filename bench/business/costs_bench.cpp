// The cost sheets and the period export through the real library, each against raw SQLite
// on the same kind of file in the same run (journal DELETE, synchronous FULL): a save of a
// new and of a changed hospital sheet, a load by id, a list of 1,000 sheets, and the export
// of one period from a database of 12,000 sheets.
#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>

#include "ado/jetsql.h"
#include "ado/workgroup.h"
#include "com/server.h"
#include "rawdb.h"
#include "temp_folder.h"
#include "costs/amount_catalogue.h"
#include "costs/cost_statements.h"
#include "typelib/Velmora_Business.h"
#include "typelib/business/CostSheets.h"
#include "typelib/business/Export.h"

namespace {

namespace fs = std::filesystem;
using namespace Velmora_Business;
using rawdb::openRaw;
using rawdb::rawExec;

constexpr const char* User = "operator";
constexpr const char* Password = "parola1";
constexpr int Periods = 12;
constexpr int HospitalsPerPeriod = 1000;

struct Statement {
    sqlite3_stmt* s = nullptr;
    Statement(sqlite3* db, const std::string& sql) {
        if (sqlite3_prepare_v2(db, sql.c_str(), -1, &s, nullptr) != SQLITE_OK)
            throw std::runtime_error(sqlite3_errmsg(db));
    }
    ~Statement() { sqlite3_finalize(s); }
};

// Reads every column of every row, as a client of the rows would.
int64_t readRows(sqlite3_stmt* s) {
    int64_t sum = 0;
    while (sqlite3_step(s) == SQLITE_ROW)
        for (int c = 0, n = sqlite3_column_count(s); c < n; ++c)
            sum += sqlite3_column_type(s, c) == SQLITE_TEXT ? sqlite3_column_bytes(s, c) : sqlite3_column_int64(s, c);
    return sum;
}

std::string insertColumns() { return "IdPerioada, IdSpital, " + amountList("", 0, AmountCount); }

std::string insertValues(int64_t period, int64_t hospital) {
    std::string values = std::to_string(period) + ", " + std::to_string(hospital);
    for (std::size_t i = 0; i < AmountCount; ++i) values += ", " + std::to_string((i + 1) * 10000);
    return values;
}

// A data folder: the database with `periods` x `hospitals` hospital sheets and a patient a
// day, a workgroup file, a registry with the business library, and the library's shared
// connection open on it for as long as the folder lives.
class Folder {
public:
    Folder(int periods, int hospitals) {
        data = folder_.path() / "Velmora.mdb";
        workgroup = folder_.path() / "Velmora.mdw";
        {
            rawdb::RawDb db = rawdb::createDatabase(data, fs::path(VELMORA_DATA_DIR) / "schema.sql");
            rawExec(db.get(), "BEGIN");
            for (int p = 1; p <= 24; ++p)
                rawExec(db.get(), "INSERT INTO Nom_Perioade VALUES (" + std::to_string(p) + ", 'Perioada " +
                                      std::to_string(p) + "', date('2024-01-01', '+" + std::to_string(p - 1) +
                                      " months') || ' 00:00:00', date('2024-01-01', '+" + std::to_string(p) +
                                      " months', '-1 day') || ' 00:00:00')");
            for (int h = 1; h <= hospitals; ++h)
                rawExec(db.get(), "INSERT INTO Nom_Spitale (IdSpital, CodSpital, DenSpital, IdJudet) VALUES (" +
                                      std::to_string(h) + ", 'H" + std::to_string(h) + "', 'Spital', 1)");
            for (int p = 1; p <= periods; ++p)
                for (int h = 1; h <= hospitals; ++h)
                    rawExec(db.get(),
                            "INSERT INTO Velmora_Spital (" + insertColumns() + ") VALUES (" + insertValues(p, h) + ")");
            rawExec(db.get(),
                    "WITH RECURSIVE d(n) AS (SELECT 0 UNION ALL SELECT n + 1 FROM d WHERE n < 364) "
                    "INSERT INTO Velmora_Pacient (DataExternare) SELECT date('2024-01-01', '+' || n || "
                    "' days') || ' 00:00:00' FROM d");
            rawExec(db.get(), "COMMIT");
        }
        ado::workgroup::create(workgroup);
        ado::workgroup::setAccount(workgroup, User, Password);
        const fs::path registry = folder_.path() / "registry";
        setenv("VELMORA_REGISTRY", registry.c_str(), 1);
        com::registerLibrary(VELMORA_BUSINESS_LIBRARY);
        conection_ = com::createInstance<_Conection>(CLSID_Conection);
        conection_->Connect(data.string(), workgroup.string(), User, Password, folder_.path().string(), 2);
    }
    ~Folder() { conection_->Disconnect(); }
    fs::path file(const std::string& name) const { return folder_.path() / name; }

    fs::path data, workgroup;

private:
    test::TempFolder folder_{"costs-bench"};
    com::ComPtr<_Conection> conection_;
};

com::ComPtr<_CostSpital> newSheet() { return com::createInstance<_CostSpital>(CLSID_CostSpital); }

void fillAmounts(_CostSpital& sheet, int64_t seed) {
    for (const AmountInfo& info : amountCatalogue)
        if (info.role != AmountRole::GroupTotal)
            sheet.put_Amount(std::string(info.name), com::Currency::fromUnits(seed * 7 + info.name.size()));
}

// Save of a new sheet: one insert in a transaction of its own.
void SaveNew_Library(benchmark::State& state) {
    Folder folder(0, 0);
    int32_t hospital = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto sheet = newSheet();
        sheet->put_IdPerioada(1);
        sheet->put_IdSpital(++hospital);
        fillAmounts(*sheet, hospital);
        state.ResumeTiming();
        sheet->Save(true);
    }
}

void SaveNew_RawSqlite(benchmark::State& state) {
    Folder folder(0, 0);
    rawdb::RawDb db = openRaw(folder.data);
    int64_t hospital = 0;
    for (auto _ : state) {
        ++hospital;
        rawExec(db.get(), "BEGIN");
        Statement insert(db.get(), "INSERT INTO Velmora_Spital (" + insertColumns() + ") VALUES (" +
                                       insertValues(1, hospital) + ")");
        sqlite3_step(insert.s);
        benchmark::DoNotOptimize(sqlite3_last_insert_rowid(db.get()));
        rawExec(db.get(), "COMMIT");
    }
}

// Save of a changed sheet: one update of all 87 columns in a transaction of its own.
void SaveChanged_Library(benchmark::State& state) {
    Folder folder(1, 100);
    auto sheet = newSheet();
    sheet->Load(50);
    int64_t round = 0;
    for (auto _ : state) {
        sheet->put_Amount("c72", com::Currency::fromUnits(++round));
        sheet->Save(true);
    }
}

void SaveChanged_RawSqlite(benchmark::State& state) {
    Folder folder(1, 100);
    rawdb::RawDb db = openRaw(folder.data);
    std::string set = "IdPerioada=1, IdSpital=50";
    for (std::size_t i = 0; i < AmountCount; ++i) set += ", " + std::string(amountCatalogue[i].name) + "=?";
    int64_t round = 0;
    for (auto _ : state) {
        rawExec(db.get(), "BEGIN");
        Statement update(db.get(), "UPDATE Velmora_Spital SET " + set + " WHERE IdCost=50");
        ++round;
        for (int i = 1; i <= static_cast<int>(AmountCount); ++i) sqlite3_bind_int64(update.s, i, round + i);
        sqlite3_step(update.s);
        rawExec(db.get(), "COMMIT");
    }
}

void LoadById_Library(benchmark::State& state) {
    Folder folder(1, 1000);
    auto sheet = newSheet();
    int32_t id = 0;
    for (auto _ : state) benchmark::DoNotOptimize(sheet->Load(id++ % 1000 + 1));
}

void LoadById_RawSqlite(benchmark::State& state) {
    Folder folder(1, 1000);
    rawdb::RawDb db = openRaw(folder.data);
    const std::string& select = saveStatement(SheetKind::Hospital);
    int32_t id = 0;
    for (auto _ : state) {
        Statement s(db.get(), withId(select, id++ % 1000 + 1));
        benchmark::DoNotOptimize(readRows(s.s));
    }
}

void LoadList1000_Library(benchmark::State& state) {
    Folder folder(2, 1000);
    auto sheet = newSheet();
    for (auto _ : state) benchmark::DoNotOptimize(sheet->LoadList(" WHERE a.IdPerioada=2")->get_Count());
}

void LoadList1000_RawSqlite(benchmark::State& state) {
    Folder folder(2, 1000);
    rawdb::RawDb db = openRaw(folder.data);
    const std::string select = ado::translateJetSql(listStatement(SheetKind::Hospital, " WHERE a.IdPerioada=2"));
    for (auto _ : state) {
        Statement s(db.get(), select);
        benchmark::DoNotOptimize(readRows(s.s));
    }
}

// The export of period 6 of 12 (1,000 of 12,000 sheets) into a compacted file.
void ExportPeriod_Library(benchmark::State& state) {
    Folder folder(Periods, HospitalsPerPeriod);
    auto exporter = com::createInstance<_Export>(CLSID_Export);
    exporter->put_Sursa(folder.data.string());
    exporter->put_Destinatie(folder.file("Export.mdb").string());
    exporter->put_IdPerioada(6);
    for (auto _ : state)
        benchmark::DoNotOptimize(exporter->Export(folder.workgroup.string(), User, Password, folder.file("").string()));
}

// The bare work: VACUUM INTO the export file, then the three deletes on it.
void ExportPeriod_RawSqlite(benchmark::State& state) {
    Folder folder(Periods, HospitalsPerPeriod);
    rawdb::RawDb live = openRaw(folder.data);
    const fs::path target = folder.file("Export.mdb");
    for (auto _ : state) {
        fs::remove(target);
        rawExec(live.get(), "VACUUM INTO '" + target.string() + "'");
        rawdb::RawDb copy = openRaw(target);
        rawExec(copy.get(),
                "DELETE FROM Velmora_Pacient WHERE DataExternare Not between (Select DataStart From Nom_Perioade b "
                "Where b.IdPerioada=6) And (Select DataEnd From Nom_Perioade b Where b.IdPerioada=6);"
                "DELETE FROM Velmora_Sectie WHERE IdPerioada<>6; DELETE FROM Velmora_Spital WHERE IdPerioada<>6");
    }
}

BENCHMARK(SaveNew_Library)->Unit(benchmark::kMicrosecond);
BENCHMARK(SaveNew_RawSqlite)->Unit(benchmark::kMicrosecond);
BENCHMARK(SaveChanged_Library)->Unit(benchmark::kMicrosecond);
BENCHMARK(SaveChanged_RawSqlite)->Unit(benchmark::kMicrosecond);
BENCHMARK(LoadById_Library)->Unit(benchmark::kMicrosecond);
BENCHMARK(LoadById_RawSqlite)->Unit(benchmark::kMicrosecond);
BENCHMARK(LoadList1000_Library)->Unit(benchmark::kMillisecond);
BENCHMARK(LoadList1000_RawSqlite)->Unit(benchmark::kMillisecond);
BENCHMARK(ExportPeriod_Library)->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(ExportPeriod_RawSqlite)->Unit(benchmark::kMillisecond)->Iterations(10);

}  // namespace

BENCHMARK_MAIN();
