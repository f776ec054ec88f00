// The program's lock on the database between two runs: who may hold it, what tampering with
// the files beside the database does to it, and that it holds across a compaction.
#include <fcntl.h>
#include <grp.h>
#include <poll.h>
#include <sqlite3.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "../support/error_of.h"
#include "fixture.h"

namespace {

using adotest::DataFolder;
namespace fs = std::filesystem;

constexpr const char* InUse =
    "Baza de date este folosita de alt program. Incercati din nou dupa ce acesta o elibereaza.";

// Another run: a child process (as `user` when the tests run as root) that does `start`,
// tells its answer and then, until it is dismissed, runs `onWrite` each time it is asked.
class OtherRun {
public:
    OtherRun(uid_t user, const std::function<int()>& start, const std::function<int()>& onWrite = {}) {
        int answers[2], orders[2];
        if (::pipe(answers) != 0 || ::pipe(orders) != 0) return;
        pid_ = ::fork();
        if (pid_ == 0) {
            ::close(answers[0]);
            ::close(orders[1]);
            if (::geteuid() == 0 && user != 0 &&
                (::setgroups(0, nullptr) != 0 || ::setgid(user) != 0 || ::setuid(user) != 0))
                ::_exit(3);
            auto tell = [&](int answer) {
                const char c = static_cast<char>(answer);
                return ::write(answers[1], &c, 1) == 1;
            };
            try {
                if (!tell(start())) ::_exit(4);
                char order = 0;
                while (::read(orders[0], &order, 1) == 1)
                    if (!tell(onWrite ? onWrite() : 0)) ::_exit(4);
            } catch (...) {
                ::_exit(2);
            }
            ::_exit(0);
        }
        ::close(answers[1]);
        ::close(orders[0]);
        answers_ = answers[0];
        orders_ = orders[1];
    }
    ~OtherRun() {
        if (orders_ >= 0) ::close(orders_);
        if (answers_ >= 0) ::close(answers_);
        if (pid_ > 0) {
            int status = 0;
            for (int i = 0; i < 100 && ::waitpid(pid_, &status, WNOHANG) == 0; ++i) ::usleep(50000);
            if (::waitpid(pid_, &status, WNOHANG) == 0) {
                ::kill(pid_, SIGKILL);
                ::waitpid(pid_, &status, 0);
            }
        }
    }
    OtherRun(const OtherRun&) = delete;
    OtherRun& operator=(const OtherRun&) = delete;

    // The answer of `start` (or of the last write), -1 when none came within ten seconds.
    int answer() const {
        pollfd p{answers_, POLLIN, 0};
        char c = 0;
        if (::poll(&p, 1, 10000) != 1 || ::read(answers_, &c, 1) != 1) return -1;
        return c;
    }
    int write() const {
        const char c = 'w';
        return ::write(orders_, &c, 1) == 1 ? answer() : -1;
    }

private:
    pid_t pid_ = -1;
    int answers_ = -1, orders_ = -1;
};

ino_t inodeOf(const fs::path& file) {
    struct stat st {};
    return ::stat(file.c_str(), &st) == 0 ? st.st_ino : 0;
}

class Locks : public DataFolder {
protected:
    void SetUp() override {
        DataFolder::SetUp();
        makeDatabase(true);
        temp = folder / "Temp.mdb";
        // Deleted rows, so that a compaction has something to give back and replaces the file.
        rawExec(
            "CREATE TABLE Umplutura (x TEXT); INSERT INTO Umplutura SELECT hex(randomblob(3000)) FROM Nom_Judete;"
            "DELETE FROM Umplutura");
    }
    // A run that logs in and, asked to, saves a county's name: 1 when it did.
    std::unique_ptr<OtherRun> loggedIn(uid_t user, const std::string& name = "Scris") {
        return std::make_unique<OtherRun>(
            user,
            [this] {
                connection = open();
                return 1;
            },
            [this, name] {
                connection->Execute("UPDATE Nom_Judete SET DenJudet = '" + name + "' WHERE IdJudet = 1");
                return 1;
            });
    }
    std::string lockFile() const { return dataFile.string() + ".lock"; }

    fs::path temp;
    com::ComPtr<ado::Connection> connection;
};

TEST_F(Locks, AUserWhoMayOnlyReadCanNeitherLogInNorKeepTheOwnerOut) {
    if (::geteuid() != 0) GTEST_SKIP() << "needs a second account: the tests do not run as root";
    const uid_t reader = adotest::otherUser();
    fs::permissions(dataFile,
                    fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read | fs::perms::others_read);
    open()->Close();  // a run of the owner's, before
    // The reader runs the program, then holds whatever it may open of the database.
    OtherRun hostile(reader, [&] {
        const com::Error e = test::errorOf([&] { open(); });
        const bool refused = e.number() == ado::errc::Engine &&
                             e.description() == "Baza de date " + dataFile.string() + " este protejata la scriere.";
        if (!refused) std::fprintf(stderr, "%d %s\n", e.number(), e.description().c_str());
        for (const std::string& file : {lockFile(), dataFile.string()}) {
            const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
            if (fd >= 0) ::flock(fd, LOCK_EX | LOCK_NB);  // kept open: held until the run ends
        }
        const bool cannotHold = !ado::DatabaseLock(dataFile, ado::DatabaseLock::Kind::Shared).held() &&
                                !ado::DatabaseLock(dataFile, ado::DatabaseLock::Kind::Exclusive).held();
        return refused && cannotHold ? 1 : 0;
    });
    EXPECT_EQ(hostile.answer(), 1);
    // The owner logs in, compacts and writes.
    const auto inode = inodeOf(dataFile);
    EXPECT_TRUE(ado::compactDataFile(dataFile, temp));
    EXPECT_NE(inodeOf(dataFile), inode);
    open()->Execute("UPDATE Nom_Judete SET DenJudet = 'Scris' WHERE IdJudet = 1");
    EXPECT_EQ(rawCount("SELECT count(*) FROM Nom_Judete WHERE DenJudet = 'Scris'"), 1);
}

TEST_F(Locks, NothingDoneToTheFilesBesideTheDatabaseLetsASecondRunReplaceIt) {
    // A run of another user's (its own database), then of the same user's, holds the lock
    // while the lock file of earlier runs is deleted, replaced, made a link or left
    // unreadable to it; the second run's compaction stands back and the first run's saves stay.
    const uid_t other = adotest::otherUser();
    if (::geteuid() == 0) {  // its database, in a folder where it may make the journal
        ASSERT_EQ(::chown(dataFile.c_str(), other, other), 0);
        fs::permissions(folder, fs::perms::all);
    }
    const fs::path elsewhere = folder / "elsewhere";
    const std::vector<std::pair<std::string, std::function<void()>>> tampering{
        {"deleted", [&] { fs::remove(lockFile()); }},
        {"replaced",
         [&] {
             fs::remove(lockFile());
             std::ofstream(lockFile()) << "";
         }},
        {"a link",
         [&] {
             fs::remove(lockFile());
             fs::create_symlink(elsewhere, lockFile());
         }},
        {"a file of the owner's only", [&] { ASSERT_EQ(::chmod(lockFile().c_str(), 0600), 0); }},
    };
    int round = 0;
    for (const auto& [what, tamper] : tampering) {
        fs::remove(lockFile());
        fs::remove(elsewhere);
        // The lock file an earlier run of the owner's left.
        { std::ofstream(lockFile()) << ""; }
        ::chmod(lockFile().c_str(), 0644);
        auto first = loggedIn(::geteuid() == 0 ? other : ::geteuid(), "Scris" + std::to_string(round));
        ASSERT_EQ(first->answer(), 1) << what;
        tamper();
        const auto inode = inodeOf(dataFile);
        EXPECT_FALSE(ado::compactDataFile(dataFile, temp)) << what;
        EXPECT_EQ(inodeOf(dataFile), inode) << what;
        EXPECT_EQ(first->write(), 1) << what;
        EXPECT_EQ(rawCount("SELECT count(*) FROM Nom_Judete WHERE DenJudet = 'Scris" + std::to_string(round) + "'"), 1)
            << what;
        first.reset();
        ++round;
    }
    EXPECT_FALSE(fs::exists(fs::symlink_status(elsewhere)));
    EXPECT_TRUE(ado::compactDataFile(dataFile, temp));  // no run left
}

TEST_F(Locks, TheLockHoldsAcrossACompaction) {
    // A second run starts logging in while the first compacts: it waits, and then holds
    // the compacted file, which a third run may then not replace.
    std::unique_ptr<OtherRun> second;
    ado::setCompactStepHook([&](ado::CompactStep step) {
        if (step != ado::CompactStep::Compacted || second) return;
        second = loggedIn(::geteuid());
        ::usleep(300000);  // long enough for it to wait on the file about to be replaced
    });
    const auto inode = inodeOf(dataFile);
    EXPECT_TRUE(ado::compactDataFile(dataFile, temp));
    ado::setCompactStepHook(nullptr);
    ASSERT_TRUE(second);
    EXPECT_NE(inodeOf(dataFile), inode);
    ASSERT_EQ(second->answer(), 1);
    rawExec("INSERT INTO Umplutura SELECT hex(randomblob(3000)) FROM Nom_Judete; DELETE FROM Umplutura");
    const auto compacted = inodeOf(dataFile);
    EXPECT_FALSE(ado::compactDataFile(dataFile, temp));
    EXPECT_EQ(inodeOf(dataFile), compacted);
    EXPECT_EQ(second->write(), 1);
    EXPECT_EQ(rawCount("SELECT count(*) FROM Nom_Judete WHERE DenJudet = 'Scris'"), 1);
    // While it holds the file, a tool that would change it outside the program is refused.
    const com::Error e = test::errorOf([&] { ado::DatabaseLock::take(dataFile, ado::DatabaseLock::Kind::Exclusive); });
    EXPECT_EQ(e.number(), ado::errc::InUse);
    EXPECT_EQ(e.description(), InUse);
}

TEST_F(Locks, ALockLetGoInsideARunKeepsTheEnginesLocksOfItsOtherConnections) {
    // The run writes in a transaction while a second connection of its own (a report's)
    // opens and closes, and a refused compaction lets its lock go: another program still
    // cannot write until the transaction ends. (It starts first: a process forked from one
    // with open connections would share their engine's view of the file.)
    const OtherRun other(
        ::geteuid(), [] { return 1; },
        [&] {
            sqlite3* db = nullptr;
            if (sqlite3_open_v2(dataFile.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) return 2;
            const int rc = sqlite3_exec(db, "UPDATE Nom_Judete SET DenJudet = 'Altul' WHERE IdJudet = 2", nullptr,
                                        nullptr, nullptr);
            sqlite3_close(db);
            return rc == SQLITE_OK ? 1 : 0;
        });
    ASSERT_EQ(other.answer(), 1);
    auto writer = open();
    writer->BeginTrans();
    writer->Execute("UPDATE Nom_Judete SET DenJudet = 'Scris' WHERE IdJudet = 1");
    auto report = ado::Connection::create();
    report->Mode(static_cast<int32_t>(ado::ConnectMode::Read));
    report->Open(connectionString(), "", "", -1);
    report->Close();
    EXPECT_FALSE(ado::compactDataFile(dataFile, temp));
    EXPECT_EQ(other.write(), 0);
    writer->CommitTrans();
    EXPECT_EQ(other.write(), 1);
    EXPECT_EQ(rawCount("SELECT count(*) FROM Nom_Judete WHERE DenJudet IN ('Scris', 'Altul')"), 2);
}

TEST_F(Locks, TheProgramChangesTheModeOrGroupOfNoOtherFile) {
    // A file of the user's own, linked (hard) and linked (symbolic) at the old lock name.
    const fs::path precious = folder / "Precious.txt";
    { std::ofstream(precious) << "its mode and group are its own"; }
    ASSERT_EQ(::chmod(precious.c_str(), 0666), 0);
    const gid_t group = ::geteuid() == 0 ? 4242 : ::getegid();
    ASSERT_EQ(::chown(precious.c_str(), static_cast<uid_t>(-1), group), 0);
    ASSERT_EQ(::chmod(dataFile.c_str(), 0600), 0);
    for (const bool hard : {true, false}) {
        if (hard) fs::create_hard_link(precious, lockFile());
        else fs::create_symlink(precious, lockFile());
        open()->Close();
        EXPECT_TRUE(ado::compactDataFile(dataFile, temp));
        struct stat st {};
        ASSERT_EQ(::stat(precious.c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & 07777, 0666u) << hard;
        EXPECT_EQ(st.st_gid, group) << hard;
        EXPECT_EQ(adotest::readAll(precious), "its mode and group are its own");
        fs::remove(lockFile());
    }
}

}  // namespace
