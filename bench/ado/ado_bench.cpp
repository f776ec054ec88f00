// The data layer against raw SQLite on the same files, in the same journal mode
// (DELETE, synchronous FULL): a cost-sheet save with its key read back, reading 10,000
// sheets, and compacting a database of 12,000 sheets (against the bare copy, and against
// the copy with the same check of it that the layer makes).
#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "ado/ado.h"
#include "rawdb.h"
#include "temp_folder.h"

namespace {

namespace fs = std::filesystem;

std::vector<std::string> amountNames() {
    std::vector<std::string> names{"TCP"};
    for (int k = 1; k <= 6; ++k) names.push_back("c02_" + std::to_string(k));
    for (int k = 1; k <= 6; ++k) names.push_back("Angajati_" + std::to_string(k));
    for (int k = 1; k <= 6; ++k)
        for (int n = 10; n <= 16; ++n)
            names.push_back(std::string("c").append(std::to_string(n)).append("_").append(std::to_string(k)));
    for (const char* c :
         {"c22",    "c23",    "c23_01", "c23_02", "c23_03", "c23_04", "c24",    "c24_01", "c24_02", "c24_03",
          "c24_04", "c24_05", "c24_06", "c24_07", "c25",    "c25_01", "c25_02", "c25_03", "c25_04", "c25_05",
          "c25_06", "c25_07", "c25_08", "c25_09", "c26",    "c27",    "c28",    "c29",    "c30",    "c72"})
        names.push_back(c);
    return names;
}

const std::vector<std::string>& amounts() {
    static const auto names = amountNames();
    return names;
}

std::string selectSheet(const std::string& where) {
    std::string sql = "Select a.IdCost, a.IdPerioada, a.IdSpital";
    for (const auto& n : amounts()) sql += ", a." + n;
    return sql + " FROM Velmora_Spital a " + where;
}

struct Files {
    test::TempFolder temp{"ado-bench"};
    fs::path folder = temp.path(), data = folder / "Velmora.mdb", workgroup = folder / "Velmora.mdw";
    // An account of the run's own, with a password made up for it.
    std::string user = "bench", password = std::to_string(std::random_device{}());
    explicit Files(int sheets) {
        ado::workgroup::create(workgroup);
        ado::workgroup::setAccount(workgroup, user, password);
        const rawdb::RawDb raw = rawdb::createDatabase(data, fs::path(VELMORA_DATA_DIR) / "schema.sql");
        sqlite3* db = raw.get();
        rawdb::rawExec(db, "BEGIN");
        std::string insert = "INSERT INTO Velmora_Spital (IdPerioada, IdSpital";
        std::string marks = "?, ?";
        for (const auto& n : amounts()) {
            insert += ", " + n;
            marks += ", ?";
        }
        insert += ") VALUES (" + marks + ")";
        sqlite3_stmt* s = nullptr;
        sqlite3_prepare_v2(db, insert.c_str(), -1, &s, nullptr);
        for (int i = 0; i < sheets; ++i) {
            sqlite3_bind_int(s, 1, 1 + i % 48);
            sqlite3_bind_int(s, 2, 1000 + i);
            for (int c = 0; c < 85; ++c) sqlite3_bind_int64(s, 3 + c, (i + 1) * 12345 + c * 100);
            sqlite3_step(s);
            sqlite3_reset(s);
        }
        sqlite3_finalize(s);
        rawdb::rawExec(db, "COMMIT");
    }
    com::ComPtr<ado::Connection> connect() const {
        auto c = ado::Connection::create();
        c->Open(ado::buildConnectionString(user, password, data.string(), workgroup.string()));
        return c;
    }
};

sqlite3* rawOpen(const fs::path& file) {
    sqlite3* db = nullptr;
    sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr);
    sqlite3_exec(db, "PRAGMA journal_mode=DELETE; PRAGMA synchronous=FULL", nullptr, nullptr, nullptr);
    return db;
}

// --- one cost-sheet save with its key read back -------------------------------------------

void SaveSheet_Raw(benchmark::State& state) {
    Files files(0);
    sqlite3* db = rawOpen(files.data);
    std::string insert = "INSERT INTO Velmora_Spital (IdPerioada, IdSpital", marks = "?, ?";
    for (const auto& n : amounts()) {
        insert += ", " + n;
        marks += ", ?";
    }
    insert += ") VALUES (" + marks + ")";
    const std::string select = selectSheet("WHERE a.IdCost=?");
    sqlite3_stmt *ins = nullptr, *sel = nullptr;
    sqlite3_prepare_v2(db, insert.c_str(), -1, &ins, nullptr);
    sqlite3_prepare_v2(db, select.c_str(), -1, &sel, nullptr);
    int hospital = 0;
    for (auto _ : state) {
        sqlite3_bind_int(ins, 1, 1);
        sqlite3_bind_int(ins, 2, ++hospital);
        for (int c = 0; c < 85; ++c) sqlite3_bind_int64(ins, 3 + c, 10000 * c + hospital);
        sqlite3_step(ins);
        sqlite3_reset(ins);
        sqlite3_bind_int64(sel, 1, sqlite3_last_insert_rowid(db));
        sqlite3_step(sel);
        int64_t sum = 0;
        for (int c = 0; c < 88; ++c) sum += sqlite3_column_int64(sel, c);
        sqlite3_reset(sel);
        benchmark::DoNotOptimize(sum);
    }
    sqlite3_finalize(ins);
    sqlite3_finalize(sel);
    sqlite3_close(db);
}

void SaveSheet_Recordset(benchmark::State& state) {
    Files files(0);
    auto conn = files.connect();
    const std::string sql = selectSheet("WHERE a.IdCost=0");
    int hospital = 0;
    for (auto _ : state) {
        ado::Recordset rs;
        rs.Open(sql, conn, ado::CursorType::Keyset, ado::LockType::Optimistic, -1);
        rs.AddNew();
        rs.Collect("IdPerioada", int32_t{1});
        rs.Collect("IdSpital", int32_t{++hospital});
        int c = 0;
        for (const auto& n : amounts()) rs.Collect(n, com::Currency::fromUnits(10000 * c++ + hospital));
        rs.Update();
        benchmark::DoNotOptimize(rs.Fields("IdCost").Value.toLong());
        rs.Close();
    }
}

// --- reading 10,000 sheets ------------------------------------------------------------------

void Read10000_Raw(benchmark::State& state) {
    Files files(10000);
    sqlite3* db = rawOpen(files.data);
    const std::string sql = selectSheet("Order By a.IdCost");
    for (auto _ : state) {
        sqlite3_stmt* s = nullptr;
        sqlite3_prepare_v2(db, sql.c_str(), -1, &s, nullptr);
        int64_t sum = 0;
        while (sqlite3_step(s) == SQLITE_ROW)
            for (int c = 0; c < 88; ++c) sum += sqlite3_column_int64(s, c);
        sqlite3_finalize(s);
        benchmark::DoNotOptimize(sum);
    }
    sqlite3_close(db);
}

void Read10000_Recordset(benchmark::State& state) {
    Files files(10000);
    auto conn = files.connect();
    const std::string sql = selectSheet("Order By a.IdCost");
    std::vector<std::string> names{"IdCost", "IdPerioada", "IdSpital"};
    names.insert(names.end(), amounts().begin(), amounts().end());
    for (auto _ : state) {
        ado::Recordset rs;
        rs.Open(sql, conn, ado::CursorType::ForwardOnly, ado::LockType::ReadOnly, -1);
        int64_t sum = 0;
        while (!rs.Eof()) {
            for (size_t c = 0; c < 3; ++c) sum += rs.field(names[c]).toLong();
            for (size_t c = 3; c < names.size(); ++c) sum += rs.field(names[c]).get<com::Currency>()->units();
            rs.MoveNext();
        }
        rs.Close();
        benchmark::DoNotOptimize(sum);
    }
}

// --- compaction of 12,000 sheets -------------------------------------------------------------

// Raw SQLite's compaction: the copy alone, or (`check`) the copy and then SQLite's
// structural check of it, the same work as the data layer's compaction; the ratio of the
// layer to the latter measures only the layer's own overhead (flushes, locks, rename).
void rawCompaction(benchmark::State& state, bool check) {
    Files files(12000);
    const fs::path temp = files.folder / "Temp.mdb";
    for (auto _ : state) {
        sqlite3* db = nullptr;
        sqlite3_open_v2(files.data.c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
        sqlite3_exec(db, ("VACUUM INTO '" + temp.string() + "'").c_str(), nullptr, nullptr, nullptr);
        sqlite3_close(db);
        if (check) {
            sqlite3* copy = nullptr;
            sqlite3_open_v2(temp.c_str(), &copy, SQLITE_OPEN_READONLY, nullptr);
            sqlite3_exec(copy, "PRAGMA quick_check", nullptr, nullptr, nullptr);
            sqlite3_close(copy);
        }
        state.PauseTiming();
        fs::remove(temp);
        state.ResumeTiming();
    }
}

void Compact12000_VacuumInto(benchmark::State& state) { rawCompaction(state, false); }
void Compact12000_VacuumIntoAndCheck(benchmark::State& state) { rawCompaction(state, true); }

void Compact12000_CompactDataFile(benchmark::State& state) {
    Files files(12000);
    const fs::path temp = files.folder / "Temp.mdb";
    for (auto _ : state) {
        if (!ado::compactDataFile(files.data, temp)) state.SkipWithError("compaction failed");
    }
}

}  // namespace

BENCHMARK(SaveSheet_Raw)->Unit(benchmark::kMicrosecond);
BENCHMARK(SaveSheet_Recordset)->Unit(benchmark::kMicrosecond);
BENCHMARK(Read10000_Raw)->Unit(benchmark::kMillisecond);
BENCHMARK(Read10000_Recordset)->Unit(benchmark::kMillisecond);
BENCHMARK(Compact12000_VacuumInto)->Unit(benchmark::kMillisecond);
BENCHMARK(Compact12000_VacuumIntoAndCheck)->Unit(benchmark::kMillisecond);
BENCHMARK(Compact12000_CompactDataFile)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
