#include "datafolder.h"

#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>

#include "ado/workgroup.h"
#include "com/dispatch.h"
#include "database.h"
#include "store.h"

namespace mkdata {

namespace fs = std::filesystem;

namespace {

constexpr mode_t GroupFolderMode = 02770;  // setgid: what is made in it later keeps the group
constexpr mode_t GroupFileMode = 0660;

[[noreturn]] void failOn(const fs::path& file, const std::string& what, int error) {
    throw std::runtime_error(file.string() + ": " + what + ": " + std::strerror(error));
}

// What was made or changed so far, undone in reverse order unless the whole is done.
class Undo {
public:
    Undo() = default;
    Undo(const Undo&) = delete;
    Undo& operator=(const Undo&) = delete;
    ~Undo() {
        if (done_) return;
        for (auto step = steps_.rbegin(); step != steps_.rend(); ++step) (*step)();
    }
    void add(std::function<void()> step) { steps_.push_back(std::move(step)); }
    void done() { done_ = true; }

private:
    std::vector<std::function<void()>> steps_;
    bool done_ = false;
};

void giveToGroup(const fs::path& file, gid_t group, mode_t mode) {
    if (::chown(file.c_str(), static_cast<uid_t>(-1), group) != 0) failOn(file, "cannot give it to the group", errno);
    if (::chmod(file.c_str(), mode) != 0) failOn(file, "cannot set its mode", errno);
}

// A folder of the data folder: made when missing (removed again on failure), given to the
// group when one is named (an existing one's mode and group put back on failure).
void prepareFolder(const fs::path& folder, const std::optional<gid_t>& group, Undo& undo) {
    std::error_code ec;
    if (fs::is_directory(folder, ec)) {
        if (!group) return;
        struct stat before {};
        if (::stat(folder.c_str(), &before) != 0) failOn(folder, "cannot read it", errno);
        undo.add([folder, before] {
            if (::chown(folder.c_str(), static_cast<uid_t>(-1), before.st_gid) == 0)
                ::chmod(folder.c_str(), before.st_mode & 07777);
        });
    } else {
        if (::mkdir(folder.c_str(), 0777) != 0) failOn(folder, "cannot create it", errno);
        undo.add([folder] {
            std::error_code ignored;
            fs::remove(folder, ignored);
        });
    }
    if (group) giveToGroup(folder, *group, GroupFolderMode);
}

void checkFolder(const DataFolderRequest& r) {
    std::error_code ec;
    if (fs::exists(r.folder, ec) && !fs::is_directory(r.folder, ec))
        throw std::runtime_error(r.folder.string() + ": exists and is not a folder");
    for (const auto& name : {r.databaseName, r.workgroupName}) {
        const fs::path file = r.folder / name;
        if (fs::exists(fs::symlink_status(file, ec))) throw std::runtime_error(file.string() + ": already exists");
    }
    for (const char* sub : {"backup", "export"}) {
        const fs::path folder = r.folder / sub;
        if (fs::exists(folder, ec) && !fs::is_directory(folder, ec))
            throw std::runtime_error(folder.string() + ": exists and is not a folder");
    }
    if (r.hospitalCode.empty() || r.hospitalName.empty())
        throw std::runtime_error("the hospital needs a code (--code) and a name (--name)");
    if (r.accounts.empty()) throw std::runtime_error("name at least one account (--account)");
    checkAccountNames(r.accounts);
}

void insertHospital(sqlite3* db, const DataFolderRequest& r, int64_t idJudet) {
    sqlite3_stmt* raw = nullptr;
    sqlite3_prepare_v2(db, "INSERT INTO Nom_Spitale (CodSpital, DenSpital, IdJudet) VALUES (?1, ?2, ?3)", -1, &raw,
                       nullptr);
    const std::unique_ptr<sqlite3_stmt, decltype(&sqlite3_finalize)> stmt(raw, &sqlite3_finalize);
    sqlite3_bind_text(stmt.get(), 1, r.hospitalCode.data(), static_cast<int>(r.hospitalCode.size()), SQLITE_TRANSIENT);
    sqlite3_bind_text(stmt.get(), 2, r.hospitalName.data(), static_cast<int>(r.hospitalName.size()), SQLITE_TRANSIENT);
    sqlite3_bind_int64(stmt.get(), 3, idJudet);
    if (sqlite3_step(stmt.get()) != SQLITE_DONE)
        throw std::runtime_error(std::string("the hospital: ") + sqlite3_errmsg(db));
}

}  // namespace

fs::path referenceData() {
    std::error_code ec;
    const fs::path self = fs::read_symlink("/proc/self/exe", ec);
    return self.parent_path().parent_path() / "share" / "velmora";
}

const std::vector<std::string>& referenceScripts() {
    static const std::vector<std::string> scripts = {"judete.sql", "sectii.sql", "perioade.sql", "informatii.sql",
                                                     "rapoarte.sql"};
    return scripts;
}

gid_t groupNamed(const std::string& name) {
    if (const struct group* entry = ::getgrnam(name.c_str())) return entry->gr_gid;
    if (!name.empty() && name.find_first_not_of("0123456789") == std::string::npos) {
        try {
            return static_cast<gid_t>(std::stoul(name));
        } catch (const std::exception&) {}
    }
    throw std::runtime_error("no group '" + name + "' (make it first: addgroup " + name + ")");
}

void checkAccountNames(const std::vector<std::string>& accounts) {
    for (size_t i = 0; i < accounts.size(); ++i) {
        if (accounts[i].empty()) throw std::runtime_error("an account needs a name");
        for (size_t j = 0; j < i; ++j)
            if (com::equalsIgnoreCase(accounts[i], accounts[j]))
                throw std::runtime_error(accounts[i] + ": the account is named twice");
    }
}

NewHospital makeDataFolder(const DataFolderRequest& r, const std::function<std::string(const std::string&)>& password,
                           const std::function<void(FolderStep)>& hook) {
    checkFolder(r);
    const fs::path schema = r.data / "schema.sql";
    const County county = findCounty(schema, r.data / "judete.sql", r.county);
    std::vector<std::string> passwords;
    for (const auto& account : r.accounts) passwords.push_back(password(account));
    const auto step = [&](FolderStep done) {
        if (hook) hook(done);
    };
    const auto fileOfGroup = [&](const fs::path& file) {
        if (r.group) giveToGroup(file, *r.group, GroupFileMode);
    };

    Undo undo;
    prepareFolder(r.folder, r.group, undo);
    step(FolderStep::Folder);
    for (const char* sub : {"backup", "export"}) prepareFolder(r.folder / sub, r.group, undo);
    step(FolderStep::Subfolders);

    // The workgroup file first: there is never a database without it.
    const fs::path workgroup = r.folder / r.workgroupName;
    writeWholeFile(workgroup, [&](const fs::path& file) {
        ado::workgroup::create(file);
        for (size_t i = 0; i < r.accounts.size(); ++i) ado::workgroup::setAccount(file, r.accounts[i], passwords[i]);
        fileOfGroup(file);
    });
    undo.add([workgroup] {
        std::error_code ignored;
        fs::remove(workgroup, ignored);
    });
    step(FolderStep::Workgroup);

    NewHospital made{county.id, 0};
    const fs::path database = r.folder / r.databaseName;
    std::vector<fs::path> scripts;
    for (const auto& name : referenceScripts()) scripts.push_back(r.data / name);
    writeWholeFile(database, [&](const fs::path& file) {
        buildDatabase(file, schema, scripts, [&](sqlite3* db) {
            insertHospital(db, r, county.id);
            made.idSpital = sqlite3_last_insert_rowid(db);
            step(FolderStep::Hospital);
        });
        fileOfGroup(file);
    });
    undo.add([database] {
        std::error_code ignored;
        fs::remove(database, ignored);
    });
    step(FolderStep::Database);
    undo.done();
    return made;
}

}  // namespace mkdata
