// Start-up after an accepted login (configuration read, compaction and connection, county
// and hospital, list cache, main window shown) on the sample data and on a database of
// 12,000 cost sheets, against raw SQLite doing the same work on the same files.
#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <QApplication>

#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>

#include "bench_install.h"
#include "com/server.h"
#include "shell/frmmain.h"
#include "shell/globalui.h"

namespace {

namespace fs = std::filesystem;

using Database = std::unique_ptr<sqlite3, decltype(&sqlite3_close)>;

Database open(const fs::path& file) {
    sqlite3* raw = nullptr;
    if (sqlite3_open_v2(file.c_str(), &raw, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
        sqlite3_close(raw);
        throw std::runtime_error("cannot open " + file.string());
    }
    return Database(raw, &sqlite3_close);
}

void exec(sqlite3* db, const std::string& sql) {
    char* error = nullptr;
    if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error) != SQLITE_OK) {
        const std::string message = error ? error : "?";
        sqlite3_free(error);
        throw std::runtime_error(message);
    }
}

// Reads every row of a statement, as a lookup list is read.
size_t readAll(sqlite3* db, const char* sql) {
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(db, sql, -1, &statement, nullptr) != SQLITE_OK) throw std::runtime_error(sqlite3_errmsg(db));
    size_t bytes = 0;
    while (sqlite3_step(statement) == SQLITE_ROW)
        for (int c = 0; c < sqlite3_column_count(statement); ++c)
            bytes += static_cast<size_t>(sqlite3_column_bytes(statement, c));
    sqlite3_finalize(statement);
    return bytes;
}

// A program folder with its Init.xml and a data folder made by mkdata.
struct Installation {
    test::TempFolder root{"velmora-app-bench"};
    fs::path program, data;

    explicit Installation(bool manySheets) {
        const bench::SampleFolders folders = bench::makeSampleData(root.path());
        program = folders.program;
        data = folders.data;
        if (manySheets) addSheets();
        bench::writeInit({program, data});
    }

    // 250 hospitals of another county with a sheet for each of the 48 periods: 12,000 sheets.
    // Their ids start above the sample's own hospitals.
    void addSheets() {
        const Database db = open(data / "Velmora.mdb");
        exec(db.get(),
             "BEGIN;"
             "WITH RECURSIVE n(i) AS (SELECT 1000 UNION ALL SELECT i + 1 FROM n WHERE i < 1249) "
             "INSERT INTO Nom_Spitale (IdSpital, CodSpital, DenSpital, IdJudet) "
             "SELECT i, 'SP' || i, 'Spitalul ' || i, 12 FROM n;"
             "INSERT INTO Velmora_Spital (IdPerioada, IdSpital, TCP, c02_1, c24, c24_01) "
             "SELECT p.IdPerioada, s.IdSpital, 100000000, 100000000, 5000000, 5000000 "
             "FROM Nom_Perioade p CROSS JOIN Nom_Spitale s WHERE s.IdSpital >= 1000;"
             "COMMIT;");
    }
};

void startUp(benchmark::State& state, bool manySheets) {
    Installation installation(manySheets);
    GlobalUI::setProgramFolder(installation.program);
    for (auto _ : state) {
        state.PauseTiming();
        GlobalUI::resetSession();
        GlobalUI::session().account().gUser = "operator";
        GlobalUI::session().account().gPassword = "velmora";
        state.ResumeTiming();

        GlobalUI::OpenSession();
        QCoreApplication::processEvents();  // the main window is painted

        state.PauseTiming();
        if (!GlobalUI::gfrmMain() || !GlobalUI::gfrmMain()->isVisible())
            state.SkipWithError("the main window did not open");
        GlobalUI::resetSession();
        state.ResumeTiming();
    }
    GlobalUI::setProgramFolder({});
}

// The same work with SQLite alone: compaction by VACUUM INTO and rename, opening, and the
// county, hospital, lookup-list and catalogue queries.
void rawStartUp(benchmark::State& state, bool manySheets) {
    Installation installation(manySheets);
    const fs::path file = installation.data / "Velmora.mdb";
    const fs::path temporary = installation.data / "Temp.mdb";
    size_t bytes = 0;
    for (auto _ : state) {
        {
            const Database db = open(file);
            exec(db.get(), "VACUUM INTO '" + temporary.string() + "'");
        }
        fs::rename(temporary, file);
        const Database db = open(file);
        exec(db.get(), "PRAGMA journal_mode=DELETE; PRAGMA synchronous=FULL");
        bytes += readAll(db.get(), "SELECT DenJudet FROM Nom_Judete WHERE IdJudet=13");
        bytes += readAll(db.get(), "SELECT CodSpital FROM Nom_Spitale WHERE IdSpital=1");
        bytes += readAll(db.get(), "SELECT * FROM Nom_Judete ORDER BY DenJudet");
        bytes += readAll(db.get(), "SELECT IdJudet, DenJudet FROM Nom_Judete");
        bytes += readAll(
            db.get(),
            "SELECT IdSpital, CodSpital || '---' || DenSpital FROM Nom_Spitale WHERE IdJudet=13 ORDER BY CodSpital");
        bytes +=
            readAll(db.get(), "SELECT IdSectie, CodSectie || '---' || SectieNume FROM Lista_Sectii ORDER BY CodSectie");
        bytes += readAll(db.get(), "SELECT IdPerioada, DenPerioada FROM Nom_Perioade");
        bytes += readAll(db.get(), "SELECT * FROM Rapoarte ORDER BY IdRaport");
    }
    benchmark::DoNotOptimize(bytes);
}

void BM_StartUp_Sample(benchmark::State& state) { startUp(state, false); }
void BM_StartUp_12000Sheets(benchmark::State& state) { startUp(state, true); }
void BM_RawSQLite_Sample(benchmark::State& state) { rawStartUp(state, false); }
void BM_RawSQLite_12000Sheets(benchmark::State& state) { rawStartUp(state, true); }

BENCHMARK(BM_StartUp_Sample)->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK(BM_RawSQLite_Sample)->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK(BM_StartUp_12000Sheets)->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(BM_RawSQLite_12000Sheets)->Unit(benchmark::kMillisecond)->Iterations(10);

}  // namespace

int main(int argc, char** argv) { return bench::runBenchmarks(argc, argv); }
