// main() of the program's benchmarks: offscreen, a registry of their own with the two class
// libraries, then every benchmark of the executable.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QTemporaryDir>

#include <cstdlib>

#include "com/server.h"
#include "shell/globalui.h"

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QTemporaryDir runtime;
    setenv("VELMORA_REGISTRY", (runtime.path() + "/registry").toLocal8Bit().constData(), 1);
    QApplication application(argc, argv);
    for (const char* library : {VELMORA_BUSINESS_LIB, VELMORA_QUILLON_LIB}) com::registerLibrary(library);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    GlobalUI::resetSession();
    return 0;
}
