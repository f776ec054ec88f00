// The grid created by ProgID and bound to 10,000 items of 10 columns (four amounts
// summed in the totals row, three texts, two dates and a list), then moved to the last
// line; against reading the same 100,000 values from the source alone. And one amount
// typed into a cell and committed, with its total updated.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include <QApplication>
#include <QKeyEvent>
#include <QTableView>
#include <QVBoxLayout>

#include "com/events.h"
#include "com/server.h"
#include "quillon_bench_main.h"
#include "grid_collection.h"
#include "typelib/control_host.h"
#include "typelib/my_grid.h"

namespace {

using quillon::Enumeratori;
constexpr int Items = 10000;

// Column kinds: four amounts, three texts, two dates, one list.
enum class Kind { Money, Text, Date, List };
constexpr Kind Kinds[10] = {Kind::Money, Kind::Text,  Kind::Date, Kind::Money, Kind::List,
                            Kind::Text,  Kind::Money, Kind::Date, Kind::Text,  Kind::Money};

com::ComPtr<quillon::test::GridCollection> makeSource() {
    std::vector<std::string> names;
    for (int k = 0; k < 10; ++k) names.push_back("Camp " + std::to_string(k + 1));
    std::vector<std::vector<com::Variant>> rows;
    rows.reserve(Items);
    for (int i = 0; i < Items; ++i) {
        std::vector<com::Variant> row;
        for (int k = 0; k < 10; ++k) {
            switch (Kinds[k]) {
            case Kind::Money: row.emplace_back(com::Currency::fromUnits(1234567 + 10000LL * i + 37 * k)); break;
            case Kind::Text: row.emplace_back("Sectia de chirurgie " + std::to_string(i)); break;
            case Kind::Date: row.emplace_back(com::Date::fromYmd(2000 + i % 20, 1 + i % 12, 1 + i % 28)); break;
            case Kind::List:
                row.emplace_back(std::to_string(1 + i % 40) + "|Judetul " + std::to_string(1 + i % 40));
                break;
            }
        }
        rows.push_back(std::move(row));
    }
    return com::make<quillon::test::GridCollection>(std::move(names), std::move(rows));
}

std::string countyList() {
    std::string list;
    for (int id = 1; id <= 40; ++id) list += std::to_string(id) + "&Judetul " + std::to_string(id) + "|";
    return list;
}

// A shown window holding the grid, whose host answers the column definitions.
struct Host {
    Host() {
        grid = com::CreateObject(quillon::my_grid::ProgId);
        auto* layout = new QVBoxLayout(&window);
        widget = grid.query<quillon::IControlHost>()->widget();
        widget->setParent(&window);
        layout->addWidget(widget);
        window.resize(900, 500);
        window.show();
        QApplication::processEvents();
        com::putProperty(*grid, "AreTotal", true);
        sink = com::make<com::EventSink>();
        sink->on(quillon::my_grid::event::SetareSursa, [this](com::Args a) {
            const Kind kind = Kinds[column++ % 10];
            a[1] = com::Variant(static_cast<int32_t>(kind == Kind::List ? Enumeratori::ControlTIP::eComboBx
                                                                        : Enumeratori::ControlTIP::eControlPersonal));
            a[2] = com::Variant(static_cast<int32_t>(kind == Kind::Money  ? Enumeratori::ControlPersonalTIP::eNumar
                                                     : kind == Kind::Date ? Enumeratori::ControlPersonalTIP::eData
                                                                          : Enumeratori::ControlPersonalTIP::eText));
            a[3] = com::Variant(int16_t{2});
            a[6] = com::Variant(true);
            a[7] = com::Variant(int16_t{1300});
            a[11] = com::Variant(static_cast<int32_t>(kind == Kind::Money ? Enumeratori::AgregareTIP::aSuma
                                                                          : Enumeratori::AgregareTIP::aNimic));
            a[13] = com::Variant(kind == Kind::List ? countyList() : std::string());
        });
        connection = com::EventConnection(*grid, quillon::my_grid::EventsId, com::ComPtr<com::IDispatch>(sink.get()));
        view = widget->findChild<QTableView*>("fg");
    }
    ~Host() {
        connection.disconnect();
        widget->setParent(nullptr);
    }
    void bind(const com::ComPtr<quillon::test::GridCollection>& source) {
        column = 0;
        std::vector<com::Variant> args{com::Variant(source)};
        grid->Invoke(quillon::my_grid::dispid::SursaDate, com::InvokeKind::PropertyPutRef, args);
    }
    void key(QWidget* target, int code, const QString& text = {}, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QKeyEvent press(QEvent::KeyPress, code, modifiers, text);
        QApplication::sendEvent(target, &press);
        QKeyEvent release(QEvent::KeyRelease, code, modifiers, text);
        QApplication::sendEvent(target, &release);
    }

    QWidget window;
    com::ComPtr<com::IDispatch> grid;
    QWidget* widget = nullptr;
    QTableView* view = nullptr;
    com::ComPtr<com::EventSink> sink;
    com::EventConnection connection;
    int column = 0;
};

void ReadSourceAlone(benchmark::State& state) {
    const auto source = makeSource();
    Gravlin::ModelColectie& model = *source;
    for (auto _ : state) {
        const int fields = model.GetFieldCount(), count = model.Count();
        for (int i = 1; i <= count; ++i)
            for (int k = 1; k <= fields; ++k) {
                com::Variant value = model.GetData(k, i);
                benchmark::DoNotOptimize(value);
            }
    }
    state.counters["values"] = 10.0 * Items;
}
BENCHMARK(ReadSourceAlone)->Unit(benchmark::kMillisecond);

// The binding and the move; `painted` lets the window paint the lines it shows.
void bindAndGoToLastLine(benchmark::State& state, bool painted) {
    const auto source = makeSource();
    Host host;
    for (auto _ : state) {
        host.bind(source);
        host.view->setFocus();
        host.key(host.view, Qt::Key_End, {}, Qt::ControlModifier);
        if (painted) QApplication::processEvents();
    }
    if (com::getProperty(*host.grid, "InregistrareaCurenta").toLong() != Items)
        state.SkipWithError("not on the last line");
}
void BindAndGoToLastLine(benchmark::State& state) { bindAndGoToLastLine(state, false); }
void BindGoToLastLineAndPaint(benchmark::State& state) { bindAndGoToLastLine(state, true); }
BENCHMARK(BindAndGoToLastLine)->Unit(benchmark::kMillisecond);
BENCHMARK(BindGoToLastLineAndPaint)->Unit(benchmark::kMillisecond);

// An amount typed on line 5000: the editor opens with the key, Enter commits it and
// moves on; the source receives the value and the totals row follows.
void editOneAmount(benchmark::State& state, bool painted) {
    const auto source = makeSource();
    Host host;
    host.bind(source);
    host.view->setFocus();
    QApplication::processEvents();
    host.window.setUpdatesEnabled(painted);
    int digit = 0;
    for (auto _ : state) {
        host.view->setCurrentIndex(host.view->model()->index(4999, 0));
        const QString typed = QString::number(1 + digit++ % 9);
        host.key(host.view, Qt::Key_0 + typed.toInt(), typed);
        QApplication::processEvents();
        host.key(QApplication::focusWidget(), Qt::Key_Return);
        QApplication::processEvents();
    }
    host.window.setUpdatesEnabled(true);
    if (source->writes.size() < static_cast<size_t>(state.iterations())) state.SkipWithError("an edit was not written");
}
void EditOneAmountWithTotals(benchmark::State& state) { editOneAmount(state, false); }
void EditOneAmountWithTotalsAndPaint(benchmark::State& state) { editOneAmount(state, true); }
BENCHMARK(EditOneAmountWithTotals)->Unit(benchmark::kMicrosecond);
BENCHMARK(EditOneAmountWithTotalsAndPaint)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) { return bench::runQuillonBenchmarks(argc, argv, "grid-bench"); }
