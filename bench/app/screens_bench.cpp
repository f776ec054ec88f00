// The selection dialog listing 10,000 ward cost sheets against the business library's
// LoadList alone, in the same run; and a register screen opened from its menu item.
#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <QAction>
#include <QApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTreeWidget>

#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>

#include "bench_install.h"
#include "com/server.h"
#include "forms/business.h"
#include "errors/messages.h"
#include "forms/frmselect.h"
#include "shell/frmmain.h"
#include "shell/globalui.h"

namespace {

namespace fs = std::filesystem;

constexpr int kWardSheets = 10000;

void exec(const fs::path& file, const std::string& sql) {
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
        sqlite3_close(db);
        throw std::runtime_error("cannot open " + file.string());
    }
    char* error = nullptr;
    const int rc = sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error);
    const std::string message = error ? error : "";
    sqlite3_free(error);
    sqlite3_close(db);
    if (rc != SQLITE_OK) throw std::runtime_error(message);
}

// "c=coalesce(c,0), ..." for every amount column of the ward sheets: no amount stays Null.
std::string zeroForNull(const fs::path& file) {
    sqlite3* db = nullptr;
    sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt* statement = nullptr;
    sqlite3_prepare_v2(db, "SELECT name FROM pragma_table_info('Velmora_Sectie') WHERE type='CURRENCY'", -1, &statement,
                       nullptr);
    std::string assignments;
    while (sqlite3_step(statement) == SQLITE_ROW) {
        const std::string column = reinterpret_cast<const char*>(sqlite3_column_text(statement, 0));
        if (!assignments.empty()) assignments += ", ";
        assignments += column + "=coalesce(" + column + ",0)";
    }
    sqlite3_finalize(statement);
    sqlite3_close(db);
    return assignments;
}

// The sample data with the configured hospital given 210 more wards and sheets for them,
// 10,000 ward sheets in all; the session opened on it with the main window shown.
class Session {
public:
    Session() {
        const bench::SampleFolders folders = bench::makeSampleData(root_.path());
        program_ = folders.program;
        data_ = folders.data;
        exec(data_ / "Velmora.mdb",
             "BEGIN;"
             "INSERT INTO Lista_Sectii___Filtrat (IdSpital, IdSectie, NrSectie) "
             "SELECT 1, s.IdSectie, n.Nr FROM Lista_Sectii s CROSS JOIN "
             "(WITH RECURSIVE k(Nr) AS (SELECT 3 UNION ALL SELECT Nr + 1 FROM k WHERE Nr < 9) SELECT Nr FROM k) n;"
             "INSERT INTO Velmora_Sectie (IdPerioada, IdSpital, IdSectie, NrSectie, TCP, c02_1, c24, c24_01) "
             "SELECT p.IdPerioada, 1, w.IdSectie, w.NrSectie, 100000000, 100000000, 5000000, 5000000 "
             "FROM Nom_Perioade p CROSS JOIN Lista_Sectii___Filtrat w WHERE w.NrSectie >= 3 "
             "LIMIT " +
                 std::to_string(kWardSheets) +
                 " - (SELECT count(*) FROM Velmora_Sectie);"
                 "COMMIT;");
        exec(data_ / "Velmora.mdb", "UPDATE Velmora_Sectie SET " + zeroForNull(data_ / "Velmora.mdb"));
        bench::writeInit({program_, data_});
        GlobalUI::setProgramFolder(program_);
        GlobalUI::resetSession();
        GlobalUI::session().account().gUser = "operator";
        GlobalUI::session().account().gPassword = "velmora";
        GlobalUI::OpenSession();
        velmora::setMessageHandler([](const velmora::MessageRequest&) { return velmora::MsgAnswer::Ok; });
    }
    ~Session() {
        velmora::setMessageHandler({});
        GlobalUI::resetSession();
        GlobalUI::setProgramFolder({});
    }

private:
    test::TempFolder root_{"velmora-screens-bench"};
    fs::path program_, data_;
};

// The dialog's whole search: the list cleared, LoadList, the rows listed.
void BM_SelectionDialog_WardSheets10000(benchmark::State& state) {
    Session session;
    velmora::frmSelect dialog;
    dialog.setTipSelect(velmora::SelectKind::CostSectie);
    dialog.show();
    QCoreApplication::processEvents();
    for (auto _ : state) {
        dialog.cmdCauta_Click();
        QCoreApplication::processEvents();  // the list is drawn
    }
    if (dialog.list(velmora::SelectKind::CostSectie)->topLevelItemCount() != kWardSheets)
        state.SkipWithError("not every sheet was listed");
}

// The business library's LoadList alone, with the same clause.
void BM_LoadList_WardSheets10000(benchmark::State& state) {
    Session session;
    const com::ComPtr<com::IDispatch> finder = velmora::newObject<Velmora_Business::_CostSectie>();
    int32_t count = 0;
    for (auto _ : state) {
        const com::ComPtr<com::IDispatch> list =
            com::callMethod(*finder, "LoadList", {com::Variant(" WHERE a.IdSpital=1")}).toDispatch();
        count = com::getProperty(*list, "Count").toLong();
    }
    if (count != kWardSheets) state.SkipWithError("LoadList did not list every sheet");
}

// From the menu item to the screen shown and painted.
void openRegister(benchmark::State& state, const char* menuName) {
    Session session;
    velmora::frmMain* window = GlobalUI::gfrmMain().data();
    QAction* item = window->menuItem(QString::fromLatin1(menuName));
    for (auto _ : state) {
        item->trigger();
        QCoreApplication::processEvents();
        state.PauseTiming();
        if (window->mdiArea()->subWindowList().size() != 1) state.SkipWithError("the screen did not open");
        window->mdiArea()->closeAllSubWindows();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        state.ResumeTiming();
    }
}
void BM_OpenRegister_Spitale(benchmark::State& state) { openRegister(state, "mnuSpitale"); }
void BM_OpenRegister_Sectii(benchmark::State& state) { openRegister(state, "mnuSectii"); }

BENCHMARK(BM_LoadList_WardSheets10000)->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(BM_SelectionDialog_WardSheets10000)->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(BM_OpenRegister_Spitale)->Unit(benchmark::kMillisecond)->Iterations(30);
BENCHMARK(BM_OpenRegister_Sectii)->Unit(benchmark::kMillisecond)->Iterations(30);

}  // namespace

int main(int argc, char** argv) { return bench::runBenchmarks(argc, argv); }
