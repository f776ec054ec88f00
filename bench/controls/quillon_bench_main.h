#pragma once
// The main of the control library's benchmarks: the library registered in a registry of
// their own, in a temporary folder, and the benchmarks run offscreen.
#include <benchmark/benchmark.h>

#include <cstdlib>

#include <QApplication>

#include "com/server.h"
#include "temp_folder.h"

namespace bench {

inline int runQuillonBenchmarks(int argc, char** argv, const char* name) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    const test::TempFolder folder(name);
    ::setenv("VELMORA_REGISTRY", (folder / "registry").c_str(), 1);
    com::registerLibrary(QUILLON_LIBRARY);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

}  // namespace bench
