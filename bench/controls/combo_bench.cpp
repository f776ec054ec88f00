// MyCombo created by ProgID and filled late-bound as the program fills its lists (Clear,
// then AddItem once per row), against the same 10,000 rows put into a bare QComboBox.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include <QApplication>
#include <QComboBox>

#include "com/server.h"
#include "quillon_bench_main.h"
#include "typelib/control_host.h"
#include "typelib/quillon.h"

namespace {

constexpr int Rows = 10000;

struct Row {
    std::string text;
    int32_t id;
};

const std::vector<Row>& rows() {
    static const std::vector<Row> all = [] {
        std::vector<Row> list;
        list.reserve(Rows);
        for (int i = 0; i < Rows; ++i) list.push_back({"Spitalul judetean " + std::to_string(i), 1000 + 7 * i});
        return list;
    }();
    return all;
}

// The host holds each row's arguments as the late-bound call takes them.
void FillMyCombo(benchmark::State& state) {
    com::ComPtr<com::IDispatch> combo = com::CreateObject(quillon::my_combo::ProgId);
    std::vector<std::vector<com::Variant>> calls;
    calls.reserve(Rows);
    for (const Row& row : rows()) calls.push_back({com::Variant(row.text), com::Variant(row.id)});
    for (auto _ : state) {
        std::vector<com::Variant> none;
        combo->Invoke(quillon::my_combo::dispid::Clear, com::InvokeKind::Method, none);
        for (auto& args : calls) combo->Invoke(quillon::my_combo::dispid::AddItem, com::InvokeKind::Method, args);
    }
    std::vector<com::Variant> none;
    if (combo->Invoke(quillon::my_combo::dispid::ListCount, com::InvokeKind::PropertyGet, none).toLong() != Rows)
        state.SkipWithError("the list does not hold every row");
    state.counters["rows"] = Rows;
}
BENCHMARK(FillMyCombo)->Unit(benchmark::kMillisecond);

void FillBareComboBox(benchmark::State& state) {
    QComboBox combo;
    for (auto _ : state) {
        combo.clear();
        for (const Row& row : rows()) combo.addItem(QString::fromStdString(row.text), QVariant(row.id));
    }
    state.counters["rows"] = Rows;
}
BENCHMARK(FillBareComboBox)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) { return bench::runQuillonBenchmarks(argc, argv, "controls-bench"); }
