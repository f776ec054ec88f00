#pragma once
// What the program's benchmarks share: a program folder with its Init.xml beside the sample
// data made by mkdata, a logged-in session on it, and SQL run with SQLite alone.
// The benchmark executables take their main() from bench_main.cpp.
#include <filesystem>
#include <functional>
#include <string>

#include <QTemporaryDir>

namespace bench {

namespace fs = std::filesystem;

// Runs `sql` on the database file with SQLite alone; raises std::runtime_error on failure.
void exec(const fs::path& database, const std::string& sql);

// A program folder whose Init.xml names the sample data folder, county 13 and hospital 1.
// `prepare` may add rows to the database before the configuration is written.
struct Installation {
    QTemporaryDir root;
    fs::path program, data;

    explicit Installation(const std::function<void(const fs::path& database)>& prepare = {});
    fs::path database() const { return data / "Velmora.mdb"; }
};

// An installation with the operator logged in and the main window shown; every message box
// is answered at once. Closing it closes the open screens and the session.
class Session {
public:
    explicit Session(const std::function<void(const fs::path& database)>& prepare = {});
    ~Session();
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    const Installation& installation() const { return installation_; }

private:
    Installation installation_;
};

}  // namespace bench
