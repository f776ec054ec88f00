// The wards' cost-sheet report (CostSectii) on 300 and on 10,000 ward sheets of one period:
// to its first page in the viewer, and to a PDF; against the same query run with SQLite and
// its values formatted as text, alone, in the same run.
#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <sys/resource.h>

#include <QApplication>
#include <QLocale>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>

#include "mkdata.h"
#include "rawdb.h"
#include "temp_folder.h"
#include "reports/report.h"
#include "reports/viewer.h"

namespace {

namespace fs = std::filesystem;

constexpr int SmallPeriod = 47, LargePeriod = 48;  // periods without sample sheets

// The sample data with extra hospitals whose wards give `small` sheets in one period and
// `large` in another (25 wards a hospital).
struct Data {
    test::TempFolder folder{"velmora-reports-bench"};
    fs::path database = folder.path() / "Velmora.mdb";

    Data(int small, int large) {
        const fs::path data = fs::path(VELMORA_SOURCE_DIR) / "data";
        test::MkdataRun run{.database = database, .workgroup = folder / "Velmora.mdw", .schema = data / "schema.sql"};
        for (const char* file : {"judete.sql", "sectii.sql", "perioade.sql", "informatii.sql", "sample.sql"})
            run.data.push_back(data / file);
        test::runMkdata(VELMORA_MKDATA, run);
        auto db = rawdb::openRaw(database, SQLITE_OPEN_READWRITE);
        rawdb::rawExec(db.get(), "BEGIN");
        for (const auto& [period, rows] : {std::pair{SmallPeriod, small}, std::pair{LargePeriod, large}}) {
            const std::string p = std::to_string(period);
            rawdb::rawExec(
                db.get(),
                "WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM n WHERE i < " + std::to_string(rows - 1) +
                    ") INSERT INTO Velmora_Sectie (IdPerioada, IdSpital, IdSectie, NrSectie, TCP, c02_1, c02_2, c02_3, "
                    "c02_4, "
                    "c02_5, c02_6, c22, c23, c24, c25, c26, c27, c28, c29, c30, c72) "
                    "SELECT " +
                    p + ", 1000 * " + p +
                    " + i / 25, 1 + i % 8, 1 + i % 25, "
                    "1000000000 + i * 1234567, 100000000 + i * 3571, 110000000 + i * 17, 120000000 + i, 130000000, "
                    "140000000 + i * 7, 150000000, 5000000 + i, 6000000, 7000000 + i * 13, 8000000, 900000, 800000, "
                    "700000, 600000, 500000 + i, 40000000 + i * 101 FROM n");
            rawdb::rawExec(db.get(),
                           "INSERT OR IGNORE INTO Nom_Spitale (IdSpital, CodSpital, DenSpital, IdJudet) "
                           "SELECT DISTINCT IdSpital, 'S' || IdSpital, 'Spitalul de proba ' || IdSpital, 13 "
                           "FROM Velmora_Sectie WHERE IdPerioada = " +
                               p);
        }
        rawdb::rawExec(db.get(), "COMMIT");
    }
};

Data& data() {
    static Data d(300, 10000);
    return d;
}

std::shared_ptr<reports::Report> openReport(int period) {
    reports::Application application;
    auto report = application.OpenReport(fs::path(VELMORA_SOURCE_DIR) / "data" / "reports" / "CostSectii.vrpt", 1);
    report->Database().Tables(1).SetLogOnInfo("Velmora.mdb", data().database.string(), "operator", "velmora");
    auto& fields = report->ParameterFields();
    fields.Item(1).ClearCurrentValueAndRange();
    fields.Item(1).AddCurrentValue(int32_t{period});
    return report;
}

long maxResidentKb() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

// The report's query with SQLite, each value formatted as the report writes it.
void QueryAndFormat(benchmark::State& state) {
    const int period = static_cast<int>(state.range(0));
    const QLocale locale(QLocale::Romanian, QLocale::Romania);
    const std::string sql =
        "SELECT p.IdPerioada, p.DenPerioada, h.IdSpital, h.CodSpital, h.DenSpital, s.CodSectie || ' --- ' || "
        "s.SectieNume || "
        "' --- ' || w.NrSectie AS Sectia, w.TCP, w.c02_1, w.c02_2, w.c02_3, w.c02_4, w.c02_5, w.c02_6, w.c22, w.c23, "
        "w.c24, w.c25, "
        "w.c26, w.c27, w.c28, w.c29, w.c30, w.c72 FROM ((Velmora_Sectie w INNER JOIN Nom_Spitale h ON h.IdSpital = "
        "w.IdSpital) "
        "INNER JOIN Nom_Perioade p ON p.IdPerioada = w.IdPerioada) LEFT JOIN Lista_Sectii s ON s.IdSectie = w.IdSectie "
        "WHERE (?1 = -1 OR w.IdPerioada = ?1) ORDER BY p.DataStart, p.IdPerioada, h.CodSpital, h.IdSpital, "
        "s.CodSectie, "
        "w.NrSectie, w.IdCost";
    size_t rows = 0;
    for (auto _ : state) {
        auto db = rawdb::openRaw(data().database, SQLITE_OPEN_READONLY);
        sqlite3_stmt* raw = nullptr;
        sqlite3_prepare_v2(db.get(), sql.c_str(), -1, &raw, nullptr);
        sqlite3_bind_int(raw, 1, period);
        rows = 0;
        size_t chars = 0;
        while (sqlite3_step(raw) == SQLITE_ROW) {
            ++rows;
            for (int c = 0; c < 6; ++c)
                chars += std::strlen(reinterpret_cast<const char*>(sqlite3_column_text(raw, c)));
            for (int c = 6; c < 23; ++c)
                chars += locale.toString(sqlite3_column_int64(raw, c) / 10000.0, 'f', 2).size();
        }
        sqlite3_finalize(raw);
        benchmark::DoNotOptimize(chars);
    }
    state.counters["rows"] = static_cast<double>(rows);
}

// Run and laid out: the report's own work before any painting.
void RunAndLayout(benchmark::State& state) {
    const int period = static_cast<int>(state.range(0));
    int pages = 0;
    for (auto _ : state) {
        auto report = openReport(period);
        report->Run();
        pages = report->PageCount();
    }
    state.counters["pages"] = pages;
}

// Run, laid out, and shown in the viewer (its preview paints the pages).
void FirstPreviewPage(benchmark::State& state) {
    const int period = static_cast<int>(state.range(0));
    int pages = 0;
    const long before = maxResidentKb();
    for (auto _ : state) {
        auto report = openReport(period);
        reports::ReportViewer viewer;
        viewer.resize(1000, 700);
        viewer.setReportSource(report);
        viewer.ViewReport();
        pages = viewer.pageCount();
        benchmark::DoNotOptimize(viewer.grab());
    }
    state.counters["pages"] = pages;
    state.counters["maxRssGrowthKb"] = static_cast<double>(maxResidentKb() - before);
}

void ToPdf(benchmark::State& state) {
    const int period = static_cast<int>(state.range(0));
    const fs::path pdf = data().folder.path() / "bench.pdf";
    int pages = 0;
    const long before = maxResidentKb();
    for (auto _ : state) {
        auto report = openReport(period);
        report->Run();
        report->exportPdf(pdf);
        pages = report->PageCount();
    }
    state.counters["pages"] = pages;
    state.counters["maxRssGrowthKb"] = static_cast<double>(maxResidentKb() - before);
    state.counters["pdfKb"] = static_cast<double>(fs::file_size(pdf) / 1024);
}

BENCHMARK(QueryAndFormat)->Arg(SmallPeriod)->Arg(LargePeriod)->Unit(benchmark::kMillisecond);
BENCHMARK(RunAndLayout)->Arg(SmallPeriod)->Arg(LargePeriod)->Unit(benchmark::kMillisecond);
BENCHMARK(FirstPreviewPage)->Arg(SmallPeriod)->Arg(LargePeriod)->Unit(benchmark::kMillisecond);
BENCHMARK(ToPdf)->Arg(SmallPeriod)->Arg(LargePeriod)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    QLocale::setDefault(QLocale(QLocale::Romanian, QLocale::Romania));
    benchmark::Initialize(&argc, argv);
    data();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
