#include "maintenance.h"

#include <array>
#include <stdexcept>

#include "ado/workgroup.h"
#include "com/dispatch.h"
#include "database.h"
#include "store.h"

namespace mkdata {

namespace fs = std::filesystem;

namespace {

void mustExist(const fs::path& file) {
    std::error_code ec;
    if (!fs::is_regular_file(file, ec)) throw std::runtime_error(file.string() + ": no such file");
}

bool hasAccount(const fs::path& workgroup, const std::string& name) {
    for (const auto& account : ado::workgroup::accountNames(workgroup))
        if (com::equalsIgnoreCase(account, name)) return true;
    return false;
}

// Changes the workgroup file through a whole copy of it, while the program is kept out.
void changeWorkgroup(const FolderFiles& files, const std::function<void(const fs::path&)>& change) {
    const DatabaseHold hold = holdDatabase(files.database);
    writeWholeFile(files.workgroup, [&](const fs::path& copy) {
        fs::copy_file(files.workgroup, copy, fs::copy_options::overwrite_existing);
        change(copy);
    });
}

std::string twoDigits(int n) { return (n < 10 ? "0" : "") + std::to_string(n); }

bool leapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

}  // namespace

void addAccount(const FolderFiles& files, const std::string& name, const PasswordSource& password) {
    mustExist(files.workgroup);
    if (name.empty()) throw std::runtime_error("an account needs a name");
    if (hasAccount(files.workgroup, name))
        throw std::runtime_error(files.workgroup.string() + ": the account " + name + " exists already");
    const std::string secret = password(name);
    changeWorkgroup(files, [&](const fs::path& copy) { ado::workgroup::setAccount(copy, name, secret); });
}

void removeAccount(const FolderFiles& files, const std::string& name) {
    mustExist(files.workgroup);
    if (!hasAccount(files.workgroup, name)) throw std::runtime_error(files.workgroup.string() + ": no account " + name);
    changeWorkgroup(files, [&](const fs::path& copy) {
        if (ado::workgroup::accountNames(copy).size() <= 1)
            throw std::runtime_error(files.workgroup.string() + ": " + name +
                                     " is the last account; add another one first");
        ado::workgroup::removeAccount(copy, name);
    });
}

void changePassword(const FolderFiles& files, const std::string& name, const PasswordSource& password) {
    mustExist(files.workgroup);
    if (!hasAccount(files.workgroup, name)) throw std::runtime_error(files.workgroup.string() + ": no account " + name);
    const std::string secret = password(name);
    changeWorkgroup(files, [&](const fs::path& copy) { ado::workgroup::setAccount(copy, name, secret); });
}

std::string periodsOfYear(int year, int lastId) {
    static constexpr std::array<const char*, 12> Months = {"Ianuarie",   "Februarie", "Martie",    "Aprilie",
                                                           "Mai",        "Iunie",     "Iulie",     "August",
                                                           "Septembrie", "Octombrie", "Noiembrie", "Decembrie"};
    static constexpr std::array<int, 12> Days = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    std::string sql;
    for (int month = 1; month <= 12; ++month) {
        const int last = Days[month - 1] + (month == 2 && leapYear(year) ? 1 : 0);
        const std::string prefix = std::to_string(year) + "-" + twoDigits(month) + "-";
        sql += "INSERT INTO Nom_Perioade (IdPerioada, DenPerioada, DataStart, DataEnd) VALUES (" +
               std::to_string(lastId + month) + ", '" + Months[month - 1] + " " + std::to_string(year) + "', '" +
               prefix + "01 00:00:00', '" + prefix + twoDigits(last) + " 00:00:00');\n";
    }
    return sql;
}

void addPeriods(const FolderFiles& files, int year) {
    if (year < 1900 || year > 9999) throw std::runtime_error(std::to_string(year) + ": not a year (1900 to 9999)");
    mustExist(files.database);
    const DatabaseHold hold = holdDatabase(files.database);
    const Database db = openDatabase(files.database, false);
    const std::string what = files.database.string();
    run(db.get(), "BEGIN IMMEDIATE", what);
    const std::string y = std::to_string(year);
    if (scalar(db.get(), "SELECT count(*) FROM Nom_Perioade WHERE strftime('%Y', DataStart) = '" + y + "'", what) > 0)
        throw std::runtime_error(what + ": the periods of " + y + " are there already");
    const auto lastId = scalar(db.get(), "SELECT coalesce(max(IdPerioada), 0) FROM Nom_Perioade", what);
    run(db.get(), periodsOfYear(year, static_cast<int>(lastId)), what);
    run(db.get(), "COMMIT", what);
}

}  // namespace mkdata
