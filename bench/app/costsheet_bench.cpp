// The cost-sheet forms on the sample data: opening the hospital form from its menu item
// and loading a stored sheet, and "Salveaza" of a full sheet (the rules, the save, the
// controls filled again) against the business library's Save of the same sheet alone.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QMdiArea>
#include <QMdiSubWindow>

#include <filesystem>
#include <stdexcept>
#include <string>

#include "../../tests/support/rawdb.h"
#include "bench_install.h"
#include "com/server.h"
#include "forms/business.h"
#include "forms/hostedcontrol.h"
#include "errors/messages.h"
#include "screens/costsheetscreen.h"
#include "shell/frmmain.h"
#include "shell/globalui.h"
#include "typelib/ModelLinie.h"

namespace {

namespace fs = std::filesystem;

// A program folder with its Init.xml and the sample data made by mkdata, with a session
// open on it and every message box answered at once.
struct Session {
    test::TempFolder root{"velmora-costsheet-bench"};
    fs::path program, data;

    Session() {
        const bench::SampleFolders folders = bench::makeSampleData(root.path());
        program = folders.program;
        data = folders.data;
        bench::writeInit({program, data});
        velmora::setMessageHandler([](const velmora::MessageRequest&) { return velmora::MsgAnswer::Ok; });
        GlobalUI::setProgramFolder(program);
        GlobalUI::resetSession();
        GlobalUI::session().account().gUser = "operator";
        GlobalUI::session().account().gPassword = "velmora";
        GlobalUI::OpenSession();
    }
    ~Session() {
        if (velmora::frmMain* window = GlobalUI::gfrmMain()) window->mdiArea()->closeAllSubWindows();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        GlobalUI::resetSession();
        GlobalUI::setProgramFolder({});
        velmora::setMessageHandler({});
    }
    int32_t idCost(int32_t period) const {
        return static_cast<int32_t>(
            rawdb::rawInt(data / "Velmora.mdb",
                          "SELECT IdCost FROM Velmora_Spital WHERE IdPerioada=" + std::to_string(period)));
    }
    velmora::CostSheetScreen* openForm() const {
        velmora::frmMain* window = GlobalUI::gfrmMain();
        window->menuItem(QStringLiteral("mnuCostSpital"))->trigger();
        QMdiSubWindow* child = window->mdiArea()->activeSubWindow();
        return child ? qobject_cast<velmora::CostSheetScreen*>(child->widget()) : nullptr;
    }
};

void BM_OpenCostSpitalAndLoadSheet(benchmark::State& state) {
    Session session;
    const int32_t idCost = session.idCost(1);
    for (auto _ : state) {
        velmora::CostSheetScreen* form = session.openForm();
        if (!form) {
            state.SkipWithError("the form did not open");
            break;
        }
        form->ItemSelectat(idCost, "");
        QCoreApplication::processEvents();  // shown and painted

        state.PauseTiming();
        GlobalUI::gfrmMain()->mdiArea()->closeAllSubWindows();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        state.ResumeTiming();
    }
}

// Every figure of a sheet changed, so that the save writes a whole dirty row.
void changeEveryFigure(com::IDispatch& sheet, int round) {
    const auto model = com::ComPtr<com::IDispatch>(&sheet).query<Gravlin::ModelLinie>();
    for (int32_t i = 3; i <= 87; ++i)
        model->SetDataByName(model->GetFieldName(i).substr(3), com::Variant(int32_t{100000 + round * 100 + i}), true);
    model->SetDataByName("TCP", com::Variant(int32_t{900000000}), true);
    for (int k = 1; k <= 6; ++k)
        model->SetDataByName("c02_" + std::to_string(k), com::Variant(int32_t{100000000}), true);
}

// Every figure of the form typed anew, as the user leaves each field.
void typeEveryFigure(velmora::CostSheetScreen& form, int round) {
    for (velmora::HostedControl* field : form.layout().fields) {
        const std::string& tag = field->tag();
        int32_t value = 100000 + round * 100 + static_cast<int32_t>(tag.size());
        if (tag == "TCP") value = 900000000;
        else if (tag.rfind("c02_", 0) == 0) value = 100000000;
        if (!field->get("Enabled").toBool()) continue;  // the totals the sheet computes
        field->put("Valoare", com::Variant(value));
        form.pushField(*field);
    }
}

void BM_SalveazaFullSheet(benchmark::State& state) {
    Session session;
    velmora::CostSheetScreen* form = session.openForm();
    form->ItemSelectat(session.idCost(2), "");
    int round = 0;
    for (auto _ : state) {
        state.PauseTiming();
        typeEveryFigure(*form, ++round);
        state.ResumeTiming();
        form->cmdButton_Click(0);
    }
    if (com::getProperty(*form->object(), "IsDirty").toBool()) state.SkipWithError("the sheet was not saved");
}

void BM_LibrarySaveFullSheet(benchmark::State& state) {
    Session session;
    const com::ComPtr<com::IDispatch> sheet = velmora::newObject<Velmora_Business::_CostSpital>();
    com::callMethod(*sheet, "Load", {com::Variant(session.idCost(3))});
    int round = 0;
    for (auto _ : state) {
        state.PauseTiming();
        changeEveryFigure(*sheet, ++round);
        state.ResumeTiming();
        com::callMethod(*sheet, "Save", {com::Variant(true)});
    }
}

BENCHMARK(BM_OpenCostSpitalAndLoadSheet)->Unit(benchmark::kMillisecond)->Iterations(30);
BENCHMARK(BM_SalveazaFullSheet)->Unit(benchmark::kMillisecond)->Iterations(100);
BENCHMARK(BM_LibrarySaveFullSheet)->Unit(benchmark::kMillisecond)->Iterations(100);

}  // namespace

int main(int argc, char** argv) { return bench::runBenchmarks(argc, argv); }
