// mkdata: makes and keeps a hospital's data folder (see usage below), and the database and
// workgroup files of tests and samples from scripts named one by one. Passwords never come
// from the command line.
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "ado/workgroup.h"
#include "com/error.h"
#include "database.h"
#include "datafolder.h"
#include "maintenance.h"
#include "passwords.h"
#include "store.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* Usage = R"(Usage:
  mkdata create FOLDER --code CODE --name NAME --county COUNTY --account NAME...
                [--group GROUP]
  mkdata add-account FOLDER NAME
  mkdata remove-account FOLDER NAME
  mkdata change-password FOLDER NAME
  mkdata add-periods FOLDER YEAR
  mkdata --database FILE --schema FILE [--data FILE]... [--workgroup FILE [--account NAME]...]
  mkdata --help

create makes a hospital's data folder for Velmora: FOLDER (made when missing; an existing
one may hold neither file) with backup/ and export/, the database Velmora.mdb from the
schema and reference data in %s, holding the hospital of
--code and --name in the county --county (its name as the counties list spells it, case
ignored, or its IdJudet), and the workgroup file Velmora.mdw with each --account. It prints
the IdJudet and the IdSpital to put in Init.xml as MyJudet and MySpital. With --group the
folders and files belong to GROUP, which may write them (the folders setgid); without it
they have the creator's group and modes. On any failure the folder is left as it was.

add-account, remove-account (never the last) and change-password change the accounts of
FOLDER's workgroup file; add-periods adds the twelve monthly periods of YEAR to FOLDER's
database. Each refuses while the program has the database open.

--database-name FILE and --workgroup-name FILE name the two files in FOLDER for every
command (Init.xml's MyDataBase and MyFiserAcces; default Velmora.mdb and Velmora.mdw).

Passwords are asked for on the terminal, twice and without echo; when standard input is
no terminal, they are read from it, one line for each account in order.

The last form makes the files named from the scripts named, in order, for tests and samples.
Neither file may exist already.
)";

// A usage error: exit status 2.
struct UsageError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

struct Arguments {
    std::vector<std::string> positional;
    std::multimap<std::string, std::string> options;

    std::string one(const std::string& name, const std::string& fallback = {}) const {
        if (options.count(name) > 1) throw UsageError(name + " given twice");
        const auto it = options.find(name);
        return it == options.end() ? fallback : it->second;
    }
    std::string required(const std::string& name) const {
        const std::string value = one(name);
        if (value.empty()) throw UsageError(name + " is missing");
        return value;
    }
    std::vector<std::string> all(const std::string& name) const {
        std::vector<std::string> values;
        for (auto [it, end] = options.equal_range(name); it != end; ++it) values.push_back(it->second);
        return values;
    }
    void allow(std::initializer_list<const char*> names) const {
        for (const auto& [name, value] : options)
            if (std::find_if(names.begin(), names.end(), [&](const char* n) { return name == n; }) == names.end())
                throw UsageError("unknown option " + name);
    }
};

Arguments parse(int argc, char** argv) {
    Arguments a;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg.rfind("--", 0) != 0) {
            a.positional.push_back(arg);
            continue;
        }
        if (i + 1 >= argc) throw UsageError(arg + " needs a value");
        a.options.emplace(arg, argv[++i]);
    }
    return a;
}

mkdata::FolderFiles filesOf(const Arguments& a) {
    const fs::path folder = a.positional.at(1);
    return {folder / a.one("--database-name", "Velmora.mdb"), folder / a.one("--workgroup-name", "Velmora.mdw")};
}

void create(const Arguments& a) {
    a.allow({"--code", "--name", "--county", "--account", "--group", "--database-name", "--workgroup-name"});
    if (a.positional.size() != 2) throw UsageError("create takes one FOLDER");
    mkdata::DataFolderRequest r;
    r.folder = a.positional[1];
    r.databaseName = a.one("--database-name", r.databaseName);
    r.workgroupName = a.one("--workgroup-name", r.workgroupName);
    r.hospitalCode = a.required("--code");
    r.hospitalName = a.required("--name");
    r.county = a.required("--county");
    r.accounts = a.all("--account");
    if (r.accounts.empty()) throw UsageError("--account is missing");
    if (const std::string group = a.one("--group"); !group.empty()) r.group = mkdata::groupNamed(group);
    const auto made = mkdata::makeDataFolder(r, mkdata::readPassword);
    std::cout << "IdJudet " << made.idJudet << "\nIdSpital " << made.idSpital << '\n';
}

void maintain(const Arguments& a) {
    a.allow({"--database-name", "--workgroup-name"});
    const std::string& command = a.positional[0];
    if (a.positional.size() != 3) throw UsageError(command + " takes FOLDER and one more argument");
    const auto files = filesOf(a);
    const std::string& what = a.positional[2];
    if (command == "add-account") mkdata::addAccount(files, what, mkdata::readPassword);
    else if (command == "remove-account") mkdata::removeAccount(files, what);
    else if (command == "change-password") mkdata::changePassword(files, what, mkdata::readPassword);
    else {
        size_t end = 0;
        int year = 0;
        try {
            year = std::stoi(what, &end);
        } catch (const std::exception&) {}
        if (end != what.size() || end == 0) throw UsageError(what + ": not a year");
        mkdata::addPeriods(files, year);
    }
}

// The files of tests and samples: a database from the scripts named, and a workgroup file
// with the accounts named, neither existing already.
void makeFiles(const Arguments& a) {
    a.allow({"--database", "--schema", "--data", "--workgroup", "--account"});
    if (!a.positional.empty()) throw UsageError("unexpected " + a.positional.front());
    const fs::path database = a.one("--database"), schema = a.one("--schema"), workgroup = a.one("--workgroup");
    const auto accounts = a.all("--account");
    if ((database.empty() && workgroup.empty()) || (!database.empty() && schema.empty()) ||
        (workgroup.empty() && !accounts.empty()))
        throw UsageError("name --database with --schema, or --workgroup");
    std::error_code ec;
    for (const auto& file : {database, workgroup})
        if (!file.empty() && fs::exists(file, ec)) throw std::runtime_error(file.string() + ": already exists");
    mkdata::checkAccountNames(accounts);
    std::vector<std::string> passwords;
    for (const auto& name : accounts) passwords.push_back(mkdata::readPassword(name));
    std::vector<fs::path> data;
    for (const auto& script : a.all("--data")) data.emplace_back(script);
    // The workgroup file first, so that a failure of the database leaves nothing behind.
    if (!workgroup.empty())
        mkdata::writeWholeFile(workgroup, [&](const fs::path& file) {
            ado::workgroup::create(file);
            for (size_t i = 0; i < accounts.size(); ++i) ado::workgroup::setAccount(file, accounts[i], passwords[i]);
        });
    if (database.empty()) return;
    try {
        mkdata::writeWholeFile(database, [&](const fs::path& file) { mkdata::buildDatabase(file, schema, data); });
    } catch (...) {
        if (!workgroup.empty()) fs::remove(workgroup, ec);
        throw;
    }
}

}  // namespace

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i)
        if (std::string(argv[i]) == "--help" || std::string(argv[i]) == "-h") {
            std::printf(Usage, mkdata::referenceData().c_str());
            return 0;
        }
    try {
        const Arguments a = parse(argc, argv);
        if (a.positional.empty()) makeFiles(a);
        else if (a.positional[0] == "create") create(a);
        else if (a.positional[0] == "add-account" || a.positional[0] == "remove-account" ||
                 a.positional[0] == "change-password" || a.positional[0] == "add-periods")
            maintain(a);
        else throw UsageError("unknown command " + a.positional[0]);
    } catch (const UsageError& e) {
        std::cerr << "mkdata: " << e.what() << "\nTry 'mkdata --help' for more information.\n";
        return 2;
    } catch (const com::Error& e) {
        std::cerr << "mkdata: " << e.description() << '\n';
        return 1;
    } catch (const std::exception& e) {
        std::cerr << "mkdata: " << e.what() << '\n';
        return 1;
    }
    return 0;
}
