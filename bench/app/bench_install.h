#pragma once
// What the application benchmarks share: a program folder with its Init.xml beside a data
// folder made by mkdata from the sample data, and a run of the benchmarks with the two
// class libraries registered in a registry of the run's own.
#include <benchmark/benchmark.h>

#include <QApplication>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>

#include "../../tests/support/mkdata.h"
#include "../../tests/support/temp_folder.h"
#include "com/server.h"
#include "shell/globalui.h"

namespace bench {

// <root>/program and <root>/data, the data folder holding the sample database and
// workgroup file (account "operator").
struct SampleFolders {
    std::filesystem::path program, data;
};

inline SampleFolders makeSampleData(const std::filesystem::path& root) {
    const SampleFolders folders{root / "program", root / "data"};
    std::filesystem::create_directories(folders.program);
    std::filesystem::create_directories(folders.data);
    const std::filesystem::path source = std::filesystem::path(VELMORA_SOURCE_DIR) / "data";
    test::MkdataRun run{.database = folders.data / "Velmora.mdb",
                        .workgroup = folders.data / "Velmora.mdw",
                        .schema = source / "schema.sql"};
    for (const char* file : {"judete.sql", "sectii.sql", "perioade.sql", "informatii.sql", "sample.sql"})
        run.data.push_back(source / file);
    test::runMkdata(VELMORA_MKDATA, run);
    return folders;
}

// The program's Init.xml naming the data folder, the sample county and hospital.
inline void writeInit(const SampleFolders& folders) {
    const std::string data = folders.data.string();
    std::ofstream init(folders.program / "Init.xml");
    init << "<Initializare><MyPath>" << data << "</MyPath><MyDataBase>Velmora.mdb</MyDataBase>"
         << "<MyFiserAcces>Velmora.mdw</MyFiserAcces><MyFiserDSN>Velmora.mdb</MyFiserDSN>"
         << "<MyExport>" << data << "</MyExport><MyBackup>" << data << "</MyBackup>"
         << "<MyJudet>13</MyJudet><MySpital>1</MySpital></Initializare>";
}

// The body of a benchmark program's main.
inline int runBenchmarks(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    const test::TempFolder runtime("velmora-bench-runtime");
    setenv("VELMORA_REGISTRY", (runtime / "registry").c_str(), 1);
    QApplication application(argc, argv);
    for (const char* library : {VELMORA_BUSINESS_LIB, VELMORA_QUILLON_LIB}) com::registerLibrary(library);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    GlobalUI::resetSession();
    return 0;
}

}  // namespace bench
