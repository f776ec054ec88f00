// mkdata: creates a database file from a schema and data files, and a workgroup file
// holding the named accounts and no other. Passwords are read from standard input, one
// line per --account in order, never from the command line.
//
//   mkdata --database Velmora.mdb --schema data/schema.sql --data data/judete.sql ...
//          --workgroup Velmora.mdw --account operator < passwords
#include <sqlite3.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "ado/workgroup.h"
#include "com/error.h"
#include "com/dispatch.h"
#include "com/save_file.h"

namespace fs = std::filesystem;

namespace {

struct Options {
    fs::path database, schema, workgroup;
    std::vector<fs::path> data;
    std::vector<std::string> accounts;
};

void usage() {
    std::cerr << "usage: mkdata [--database FILE --schema schema.sql [--data FILE]...]\n"
                 "              [--workgroup FILE [--account NAME]...]\n"
                 "The password of each --account is read from standard input, one line each.\n"
                 "The workgroup file holds the accounts named and no other (an administrator\n"
                 "account only when one is named, e.g. --account Administrator).\n"
                 "Neither file may exist already.\n";
}

std::string readFile(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + file.string());
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// Each file is made whole under a temporary beside it, and takes its name only once done.
void made(const com::SaveFile& file) {
    if (const auto& failure = file.failure())
        throw std::runtime_error("cannot create " + file.target().string() + ": " + std::strerror(failure->error));
}

void commit(com::SaveFile& file) {
    if (const auto failure = file.commit())
        throw std::runtime_error("cannot write " + file.target().string() + ": " + std::strerror(failure->error));
}

void createDatabase(const Options& o, const fs::path& into) {
    sqlite3* raw = nullptr;
    const int rc = sqlite3_open_v2(into.c_str(), &raw, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    std::unique_ptr<sqlite3, decltype(&sqlite3_close)> db(raw, &sqlite3_close);
    auto run = [&](const std::string& sql, const std::string& what) {
        char* error = nullptr;
        if (sqlite3_exec(db.get(), sql.c_str(), nullptr, nullptr, &error) != SQLITE_OK) {
            const std::string message = error ? error : "unknown error";
            sqlite3_free(error);
            throw std::runtime_error(what + ": " + message);
        }
    };
    if (rc != SQLITE_OK) throw std::runtime_error("cannot create " + o.database.string());
    run("PRAGMA journal_mode=DELETE; BEGIN", "start");
    run(readFile(o.schema), o.schema.string());
    for (const auto& file : o.data) run(readFile(file), file.string());
    run("COMMIT", "commit");
}

// Everything that can refuse the run before a file is made: neither file may exist, and
// every account needs its password.
std::vector<std::string> checkAndReadPasswords(const Options& o) {
    for (const auto& file : {o.database, o.workgroup})
        if (!file.empty() && fs::exists(file)) throw std::runtime_error(file.string() + " already exists");
    for (size_t i = 0; i < o.accounts.size(); ++i)
        for (size_t j = 0; j < i; ++j)
            if (com::equalsIgnoreCase(o.accounts[i], o.accounts[j]))
                throw std::runtime_error(o.accounts[i] + ": the account is named twice");
    std::vector<std::string> passwords;
    for (const auto& name : o.accounts) {
        std::string line;
        if (!std::getline(std::cin, line)) throw std::runtime_error("no password on standard input for " + name);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        passwords.push_back(line);
    }
    return passwords;
}

void createWorkgroup(const Options& o, const fs::path& file, const std::vector<std::string>& passwords) {
    ado::workgroup::create(file);
    for (size_t i = 0; i < o.accounts.size(); ++i) ado::workgroup::setAccount(file, o.accounts[i], passwords[i]);
}

}  // namespace

int main(int argc, char** argv) {
    Options o;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (i + 1 >= argc) {
            usage();
            return 2;
        }
        const std::string value = argv[++i];
        if (arg == "--database") o.database = value;
        else if (arg == "--schema") o.schema = value;
        else if (arg == "--data") o.data.emplace_back(value);
        else if (arg == "--workgroup") o.workgroup = value;
        else if (arg == "--account") o.accounts.push_back(value);
        else {
            usage();
            return 2;
        }
    }
    if ((o.database.empty() && o.workgroup.empty()) || (!o.database.empty() && o.schema.empty()) ||
        (o.workgroup.empty() && !o.accounts.empty())) {
        usage();
        return 2;
    }
    bool databaseMade = false;
    try {
        const auto passwords = checkAndReadPasswords(o);
        std::optional<com::SaveFile> database, workgroup;
        if (!o.database.empty()) {
            made(database.emplace(o.database, com::FileRights{0644}));
            createDatabase(o, database->temporary());
        }
        if (!o.workgroup.empty()) {
            made(workgroup.emplace(o.workgroup, com::FileRights{0644}));
            createWorkgroup(o, workgroup->temporary(), passwords);
        }
        if (database) {
            commit(*database);
            databaseMade = true;
        }
        if (workgroup) commit(*workgroup);
    } catch (const std::exception& e) {
        // A run that fails leaves no half of its result behind.
        std::error_code ec;
        if (databaseMade) fs::remove(o.database, ec);
        const auto* error = dynamic_cast<const com::Error*>(&e);
        std::cerr << "mkdata: " << (error ? error->description() : std::string(e.what())) << '\n';
        return 1;
    }
    return 0;
}
