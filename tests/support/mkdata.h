#pragma once
// A database made by the mkdata tool for a test or a benchmark: the tables of a schema
// script, the rows of data scripts, and a workgroup file holding one account.
#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

namespace test {

struct MkdataRun {
    std::filesystem::path database;
    std::filesystem::path workgroup;
    std::filesystem::path schema;
    std::vector<std::filesystem::path> data = {};  // run in this order
    std::string account = "operator";
    std::string password = "velmora";
};

// Runs the tool at `mkdata`; raises when it fails.
inline void runMkdata(const std::filesystem::path& mkdata, const MkdataRun& run) {
    std::string command = "printf '%s\\n' '" + run.password + "' | '" + mkdata.string() + "' --database '" +
                          run.database.string() + "' --schema '" + run.schema.string() + "'";
    for (const auto& script : run.data) command += " --data '" + script.string() + "'";
    command += " --workgroup '" + run.workgroup.string() + "' --account " + run.account + " >/dev/null";
    if (std::system(command.c_str()) != 0) throw std::runtime_error("mkdata failed: " + command);
}

}  // namespace test
