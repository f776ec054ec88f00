#include "fixture.h"

#include <grp.h>
#include <signal.h>
#include <sqlite3.h>
#include <sys/wait.h>

#include <chrono>
#include <thread>

#include <fstream>
#include <sstream>

namespace adotest {

namespace fs = std::filesystem;

std::string readAll(const fs::path& file) { return test::readText(file); }

uid_t otherUser() { return ::geteuid() == 0 ? 65534 : ::geteuid(); }

int inChild(const std::function<int()>& body, uid_t owner, gid_t memberOf) {
    const pid_t child = ::fork();
    if (child == 0) {
        const bool member = memberOf != static_cast<gid_t>(-1);
        if (::geteuid() == 0 && owner != 0 &&
            (::setgroups(member ? 1 : 0, &memberOf) != 0 || ::setgid(owner) != 0 || ::setuid(owner) != 0))
            ::_exit(3);
        try {
            ::_exit(body());
        } catch (...) {
            ::_exit(2);
        }
    }
    if (child < 0) return -2;
    int status = -1;
    for (int i = 0; i < 200 && ::waitpid(child, &status, WNOHANG) == 0; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    if (::waitpid(child, &status, WNOHANG) == 0) {
        ::kill(child, SIGKILL);
        ::waitpid(child, &status, 0);
        return -1;
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -3;
}

namespace {
void execOn(const fs::path& file, const std::string& sql, bool create) {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READWRITE | (create ? SQLITE_OPEN_CREATE : 0), nullptr),
              SQLITE_OK);
    char* error = nullptr;
    const int rc = sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error);
    const std::string message = error ? error : "";
    sqlite3_free(error);
    sqlite3_close(db);
    ASSERT_EQ(rc, SQLITE_OK) << message;
}
}  // namespace

void DataFolder::SetUp() {
    folder = temp_.path();
    // Open to the other accounts the tests run as, like a data folder of the program.
    fs::permissions(folder,
                    fs::perms::group_read | fs::perms::group_exec | fs::perms::others_read | fs::perms::others_exec,
                    fs::perm_options::add);
    dataFile = folder / "Velmora.mdb";
    workgroupFile = folder / "Velmora.mdw";
    ado::workgroup::create(workgroupFile);
    ado::workgroup::setAccount(workgroupFile, User, Password);
}

void DataFolder::TearDown() { ado::setCompactStepHook(nullptr); }

void DataFolder::makeDatabase(bool sample) {
    const fs::path data = VELMORA_DATA_DIR;
    std::string sql = "PRAGMA journal_mode=DELETE;" + readAll(data / "schema.sql");
    if (sample)
        for (const char* f : {"judete.sql", "sectii.sql", "perioade.sql", "informatii.sql", "sample.sql"})
            sql += readAll(data / f);
    execOn(dataFile, sql, true);
}

std::string DataFolder::connectionString(const std::string& user, const std::string& password) const {
    return ado::buildConnectionString(user, password, dataFile.string(), workgroupFile.string());
}

com::ComPtr<ado::Connection> DataFolder::open() {
    auto c = ado::Connection::create();
    c->Open(connectionString(), "", "", -1);
    return c;
}

void DataFolder::rawExec(const std::string& sql) const { execOn(dataFile, sql, false); }

int64_t DataFolder::rawCount(const std::string& sql) const {
    sqlite3* db = nullptr;
    sqlite3_open_v2(dataFile.c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt* s = nullptr;
    sqlite3_prepare_v2(db, sql.c_str(), -1, &s, nullptr);
    int64_t n = -1;
    if (s && sqlite3_step(s) == SQLITE_ROW) n = sqlite3_column_int64(s, 0);
    sqlite3_finalize(s);
    sqlite3_close(db);
    return n;
}

}  // namespace adotest
