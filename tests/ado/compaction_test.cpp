// Compaction in place and database copies: smaller with the same content, no temporary file
// left, and the data file whole and openable whatever step fails.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>

#include <future>
#include <thread>

#include "fixture.h"

namespace {

using adotest::DataFolder;
namespace fs = std::filesystem;

// Copies in a child process (as `owner` when the tests run as root), waiting ten seconds at
// the most: its exit status (0 copied, 2 raised), or -1 when it had to be killed.
int copyInChild(const fs::path& source, const fs::path& target, uid_t owner = ::geteuid()) {
    return adotest::inChild(
        [&] {
            ado::copyDatabase(source, target);
            return 0;
        },
        owner);
}

class Compaction : public DataFolder {
protected:
    void SetUp() override {
        DataFolder::SetUp();
        makeDatabase(true);
        // Bulk that a deletion then leaves as free pages.
        rawExec(
            "CREATE TABLE Bulk (x TEXT); WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i+1 FROM n WHERE i<2000) "
            "INSERT INTO Bulk SELECT hex(randomblob(200)) FROM n; DELETE FROM Bulk;");
        temp = folder / "Temp.mdb";
    }
    std::string content() const {
        return std::to_string(rawCount("SELECT count(*) FROM Velmora_Sectie")) + "/" +
               std::to_string(rawCount("SELECT sum(TCP) FROM Velmora_Spital")) + "/" +
               std::to_string(rawCount("SELECT count(*) FROM Nom_Perioade"));
    }
    void expectWholeAndOpenable(const std::string& before) {
        EXPECT_TRUE(fs::exists(dataFile));
        EXPECT_EQ(content(), before);
        auto c = open();
        EXPECT_EQ(c->State(), 1);
    }
    // The names in the data folder besides the data file, its workgroup file and its lock
    // file: no temporary may stay behind.
    std::vector<std::string> others() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(folder)) {
            const std::string name = entry.path().filename().string();
            if (name != "Velmora.mdb" && name != "Velmora.mdw" && name != "Velmora.mdb.lock") names.push_back(name);
        }
        std::sort(names.begin(), names.end());
        return names;
    }
    fs::path temp;
};

TEST_F(Compaction, ShrinksKeepsContentAndLeavesNoTemporaryFile) {
    const auto before = content();
    const auto size = fs::file_size(dataFile);
    EXPECT_TRUE(ado::compactDataFile(dataFile, temp));
    EXPECT_LT(fs::file_size(dataFile), size);
    EXPECT_EQ(others(), std::vector<std::string>{});
    expectWholeAndOpenable(before);
    // Autonumbers survive: the next sheet continues after the highest id.
    EXPECT_EQ(rawCount("SELECT seq FROM sqlite_sequence WHERE name='Velmora_Spital'"), 6);
}

TEST_F(Compaction, TemporaryFileOnAnotherFileSystem) {
    const fs::path shm = "/dev/shm";
    struct stat a {
    }, b{};
    if (::stat(shm.c_str(), &a) != 0 || ::stat(folder.c_str(), &b) != 0 || a.st_dev == b.st_dev)
        GTEST_SKIP() << "no second file system at hand";
    const fs::path away = shm / (folder.filename().string() + "-Temp.mdb");
    const auto before = content();
    const auto size = fs::file_size(dataFile);
    EXPECT_TRUE(ado::compactDataFile(dataFile, away));
    EXPECT_LT(fs::file_size(dataFile), size);
    EXPECT_FALSE(fs::exists(away));
    for (const auto& entry : fs::directory_iterator(folder))
        EXPECT_EQ(entry.path().filename().string().find(".compact"), std::string::npos) << entry.path();
    expectWholeAndOpenable(before);
}

TEST_F(Compaction, AFailureAtAnyStepLeavesTheDataFileWhole) {
    const auto before = content();
    for (const auto step : {ado::CompactStep::Locked, ado::CompactStep::Compacted, ado::CompactStep::Flushed,
                            ado::CompactStep::Checked}) {
        ado::setCompactStepHook([step](ado::CompactStep reached) {
            if (reached == step) throw std::runtime_error("injected");
        });
        EXPECT_FALSE(ado::compactDataFile(dataFile, temp));
        EXPECT_EQ(others(), std::vector<std::string>{}) << static_cast<int>(step);
        expectWholeAndOpenable(before);
    }
    ado::setCompactStepHook(nullptr);
}

TEST_F(Compaction, NeedsNoAccountAndNoWorkgroupFile) {
    // The program compacts its own file: no account, so no password it would have to know.
    fs::remove(workgroupFile);
    const auto size = fs::file_size(dataFile);
    EXPECT_TRUE(ado::compactDataFile(dataFile, temp));
    EXPECT_LT(fs::file_size(dataFile), size);
}

TEST_F(Compaction, SkippedWhileTheFileIsInUse) {
    const auto size = fs::file_size(dataFile);
    {
        auto c = open();
        EXPECT_FALSE(ado::compactDataFile(dataFile, temp));
        EXPECT_EQ(fs::file_size(dataFile), size);
        // The connection still works on the very file.
        c->Execute("INSERT INTO Nom_Judete (IdJudet, DenJudet) VALUES (100, 'Test')");
    }
    EXPECT_EQ(rawCount("SELECT count(*) FROM Nom_Judete"), 43);
    EXPECT_TRUE(ado::compactDataFile(dataFile, temp));
}

TEST_F(Compaction, AConnectionOpenedMeanwhileWritesIntoTheCompactedFile) {
    // Another connection opens while the compacted copy waits to replace the data file: it
    // must work on the file that stays, not on the one about to be replaced.
    std::thread other;
    std::string failure;
    ado::setCompactStepHook([&](ado::CompactStep step) {
        if (step != ado::CompactStep::Checked) return;
        std::promise<void> wrote;
        auto done = wrote.get_future();
        other = std::thread([this, &failure, wrote = std::move(wrote)]() mutable {
            try {
                auto c = open();
                c->Execute("INSERT INTO Nom_Judete (IdJudet, DenJudet) VALUES (100, 'Meanwhile')");
            } catch (const com::Error& e) {
                failure = e.description();
            }
            wrote.set_value();
        });
        // An open that does not wait for the compaction writes at once; one that waits
        // cannot, and the compaction goes on.
        done.wait_for(std::chrono::milliseconds(300));
    });
    const bool compacted = ado::compactDataFile(dataFile, temp);
    ado::setCompactStepHook(nullptr);
    other.join();
    EXPECT_EQ(failure, "");
    EXPECT_TRUE(compacted);
    EXPECT_EQ(rawCount("SELECT count(*) FROM Nom_Judete WHERE IdJudet=100"), 1);
}

TEST_F(Compaction, UnwritableFolderOrMissingFilesFailQuietly) {
    const auto before = content();
    if (::geteuid() != 0) {  // root writes anywhere
        fs::permissions(folder, fs::perms::owner_read | fs::perms::owner_exec);
        EXPECT_FALSE(ado::compactDataFile(dataFile, temp));
        fs::permissions(folder, fs::perms::owner_all);
        expectWholeAndOpenable(before);
    }
    EXPECT_FALSE(ado::compactDataFile(dataFile, folder / "no-such-folder" / "Temp.mdb"));
    EXPECT_FALSE(ado::compactDataFile(folder / "Missing.mdb", temp));
    EXPECT_FALSE(fs::exists(folder / "Missing.mdb"));
    expectWholeAndOpenable(before);
}

TEST_F(Compaction, AUsersFileNamedAsTheTemporaryIsLeftAsItIsAndTheCompactionGoesOn) {
    // Not the program's: a user's file, held open (and locked) by another program meanwhile.
    { std::ofstream(temp) << "a user's own file"; }
    { std::ofstream(temp.string() + "-journal") << "and its journal"; }
    const int held = ::open(temp.c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_GE(held, 0);
    ASSERT_EQ(::flock(held, LOCK_SH | LOCK_NB), 0);
    const auto before = content();
    const auto size = fs::file_size(dataFile);
    EXPECT_TRUE(ado::compactDataFile(dataFile, temp));
    ::close(held);
    EXPECT_LT(fs::file_size(dataFile), size);
    EXPECT_EQ(adotest::readAll(temp), "a user's own file");
    EXPECT_EQ(adotest::readAll(temp.string() + "-journal"), "and its journal");
    EXPECT_EQ(others(), (std::vector<std::string>{"Temp.mdb", "Temp.mdb-journal"}));
    expectWholeAndOpenable(before);
}

TEST_F(Compaction, ALinkOrPipeInPlaceOfTheTemporaryFileIsLeftAsItWas) {
    const fs::path precious = folder / "Precious.txt";
    { std::ofstream(precious) << "not to be emptied"; }
    for (const int kind : {0, 1, 2}) {
        if (kind == 0) fs::create_symlink(precious, temp);
        else if (kind == 1) fs::create_hard_link(precious, temp);
        else ASSERT_EQ(::mkfifo(temp.c_str(), 0600), 0);
        // In a child, so that a compaction that waits on the pipe fails the test instead of hanging it.
        EXPECT_EQ(adotest::inChild([&] { return ado::compactDataFile(dataFile, temp) ? 0 : 1; }), 0) << kind;
        EXPECT_EQ(adotest::readAll(precious), "not to be emptied");
        if (kind == 0) {
            EXPECT_TRUE(fs::is_symlink(fs::symlink_status(temp)));
        } else if (kind == 2) {
            EXPECT_TRUE(fs::is_fifo(fs::symlink_status(temp)));
        }
        fs::remove(temp);
        EXPECT_EQ(others(), std::vector<std::string>{"Precious.txt"}) << kind;
    }
}

TEST_F(Compaction, ALinkInPlaceOfTheLockFileMakesNoFileWhereItPoints) {
    const fs::path elsewhere = folder / "elsewhere";
    fs::create_symlink(elsewhere, dataFile.string() + ".lock");
    const auto before = content();
    EXPECT_TRUE(ado::compactDataFile(dataFile, temp));  // the lock is the database's own
    expectWholeAndOpenable(before);
    EXPECT_FALSE(fs::exists(fs::symlink_status(elsewhere)));
    EXPECT_TRUE(fs::is_symlink(fs::symlink_status(dataFile.string() + ".lock")));
}

TEST_F(Compaction, ADataFileReachedThroughALinkIsCompactedWhereItIs) {
    const fs::path real = folder / "shared" / "Velmora.mdb";
    fs::create_directories(real.parent_path());
    fs::rename(dataFile, real);
    fs::create_symlink(real, dataFile);
    const auto before = content();
    const auto size = fs::file_size(real);
    EXPECT_TRUE(ado::compactDataFile(dataFile, temp));
    EXPECT_TRUE(fs::is_symlink(fs::symlink_status(dataFile)));
    EXPECT_LT(fs::file_size(real), size);
    expectWholeAndOpenable(before);
}

TEST_F(Compaction, TwoCompactionsThroughOneFolderAtOnceEachWriteTheirOwnTemporary) {
    // Another data file in the same folder (an export's) is compacted through the same
    // folder at the same time: neither takes the other's temporary.
    const fs::path other = folder / "Export.mdb";
    fs::copy_file(dataFile, other);
    bool inner = false, innerResult = false;
    ado::setCompactStepHook([&](ado::CompactStep step) {
        if (step != ado::CompactStep::Compacted || inner) return;
        inner = true;
        innerResult = ado::compactDataFile(other, temp);
    });
    const auto size = fs::file_size(dataFile);
    EXPECT_TRUE(ado::compactDataFile(dataFile, temp));
    ado::setCompactStepHook(nullptr);
    EXPECT_TRUE(inner);
    EXPECT_TRUE(innerResult);
    EXPECT_LT(fs::file_size(dataFile), size);
    EXPECT_LT(fs::file_size(other), size);
    EXPECT_EQ(others(), (std::vector<std::string>{"Export.mdb"}));
}

TEST_F(Compaction, CompactedFilesAndCopiesKeepTheDataFilesMode) {
    const mode_t mask = ::umask(022);
    fs::permissions(dataFile, fs::perms::owner_read | fs::perms::owner_write);
    // The group too, where the process may set it (root may set any).
    const gid_t group = ::geteuid() == 0 ? 4242 : ::getegid();
    ASSERT_EQ(::chown(dataFile.c_str(), static_cast<uid_t>(-1), group), 0);
    auto modeOf = [](const fs::path& f) {
        struct stat st {};
        ::stat(f.c_str(), &st);
        return std::pair<mode_t, gid_t>(st.st_mode & 07777, st.st_gid);
    };
    EXPECT_TRUE(ado::compactDataFile(dataFile, temp));
    EXPECT_EQ(modeOf(dataFile), std::make_pair(mode_t{0600}, group));
    const fs::path backup = folder / "backup" / "VelmoraBck.mdb";
    fs::create_directories(backup.parent_path());
    ado::copyDatabase(dataFile, backup);
    EXPECT_EQ(modeOf(backup), std::make_pair(mode_t{0600}, group));
    // An earlier, wider copy is replaced by one as narrow as the data file.
    { std::ofstream(backup) << "earlier"; }
    fs::permissions(backup, fs::perms::all);
    ado::copyDatabase(dataFile, backup);
    EXPECT_EQ(modeOf(backup).first, mode_t{0600});
    ::umask(mask);
}

TEST_F(Compaction, AFileMadeForDataTakesTheDatabasesMode) {
    fs::permissions(dataFile, fs::perms::owner_read | fs::perms::owner_write);
    const fs::path made = folder / "Raport.pdf";
    { std::ofstream(made) << "earlier"; }
    fs::permissions(made, fs::perms::all);
    {
        com::SaveFile file(made, com::rightsOf(dataFile));
        EXPECT_TRUE(file.write("%PDF"));
        EXPECT_FALSE(file.commit());
    }
    EXPECT_EQ(fs::status(made).permissions(), fs::perms::owner_read | fs::perms::owner_write);
    struct stat made_st {
    }, data_st{};
    ::stat(made.c_str(), &made_st);
    ::stat(dataFile.c_str(), &data_st);
    EXPECT_EQ(made_st.st_gid, data_st.st_gid);
}

TEST_F(Compaction, JetEngineChecksTheAccountAndTheDestination) {
    const std::string source = connectionString();
    const std::string target =
        ado::buildConnectionString(adotest::User, adotest::Password, temp.string(), workgroupFile.string());
    EXPECT_THROW(ado::JetEngine::CompactDatabase(connectionString(adotest::User, "x"), target), com::Error);
    EXPECT_FALSE(fs::exists(temp));
    ado::JetEngine::CompactDatabase(source, target);
    EXPECT_TRUE(fs::exists(temp));
    try {
        ado::JetEngine::CompactDatabase(source, target);
        ADD_FAILURE();
    } catch (const com::Error& e) {
        EXPECT_EQ(e.number(), com::errc::FileAlreadyExists);
    }
}

TEST_F(Compaction, CopyOfAnOpenDatabaseIsComplete) {
    auto c = open();
    c->BeginTrans();
    c->Execute("INSERT INTO Nom_Judete (IdJudet, DenJudet) VALUES (100, 'Uncommitted')");
    const fs::path backup = folder / "backup" / "VelmoraBck.mdb";
    fs::create_directories(backup.parent_path());
    { std::ofstream(backup) << "older backup"; }
    ado::copyDatabase(dataFile, backup);
    c->RollbackTrans();
    // The copy holds the committed data only, and replaced the older file.
    const auto original = dataFile;
    dataFile = backup;
    EXPECT_EQ(rawCount("SELECT count(*) FROM Nom_Judete"), 42);
    EXPECT_EQ(rawCount("SELECT count(*) FROM Velmora_Sectie"), 48);
    dataFile = original;
    // The connection's own locks survived the copy: it still writes.
    c->Execute("INSERT INTO Nom_Judete (IdJudet, DenJudet) VALUES (101, 'After')");
    EXPECT_EQ(rawCount("SELECT count(*) FROM Nom_Judete"), 43);
    for (const auto& entry : fs::directory_iterator(backup.parent_path()))
        EXPECT_EQ(entry.path().filename(), "VelmoraBck.mdb");
}

TEST_F(Compaction, AFailedCopyRemovesItsTemporaryFileAndJournal) {
    const fs::path target = folder / "Copy.mdb";
    { std::ofstream(target) << "earlier"; }
    for (const auto failing : {ado::CopyStep::Copied, ado::CopyStep::Flushed}) {
        ado::setCopyStepHook([failing](ado::CopyStep step, const fs::path& temp) {
            // The engine's journal is there when a copy dies mid-way.
            { std::ofstream(temp.string() + "-journal") << "journal"; }
            if (step == failing) throw com::Error(5, "test", "injected");
        });
        EXPECT_THROW(ado::copyDatabase(dataFile, target), com::Error);
        ado::setCopyStepHook(nullptr);
        EXPECT_EQ(adotest::readAll(target), "earlier");
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        EXPECT_EQ(names, (std::vector<std::string>{"Copy.mdb", "Velmora.mdb", "Velmora.mdw"}))
            << static_cast<int>(failing);
    }
}

TEST_F(Compaction, TemporaryFilesOfDeadCopiesAreRemovedByTheNextCopy) {
    const fs::path out = folder / "out";
    fs::create_directories(out);
    const pid_t child = ::fork();
    if (child == 0) ::_exit(0);
    ASSERT_GT(child, 0);
    ::waitpid(child, nullptr, 0);  // a process id that is gone
    const std::string dead = std::to_string(child);
    const std::vector<std::string> stale{".Copy.mdb.copy-" + dead + "-0",
                                         ".Copy.mdb.copy-" + dead + "-0-journal",
                                         ".Export.mdb.export-" + dead + "-2",
                                         ".Export.mdb.export-" + dead + "-2.lock",
                                         ".Velmora.mdb.compact-" + dead + "-3",
                                         ".Init.xml.save-" + dead + "-4"};
    // A live process's (init's), and the user's own files of any other name.
    const std::vector<std::string>
        kept{".Copy.mdb.copy-1-0", ".notes",          "Copy.mdb.copy-" + dead + "-0", "Temp.mdb", "Copy.mdb.backup",
             "Init.xml.a1B2c3",    "Init.xml.backup", "registry.tmp" + dead};
    for (const auto& n : stale) std::ofstream(out / n) << "left by a crash";
    for (const auto& n : kept) std::ofstream(out / n) << "not ours to remove";
    ado::copyDatabase(dataFile, out / "Copy.mdb");
    for (const auto& n : stale) EXPECT_FALSE(fs::exists(out / n)) << n;
    for (const auto& n : kept) EXPECT_TRUE(fs::exists(out / n)) << n;
}

TEST_F(Compaction, APipeOrLinkPlantedUnderADeadCopysNameNeitherStopsNorMisleadsTheNextCopy) {
    const pid_t gone = ::fork();
    if (gone == 0) ::_exit(0);
    ASSERT_GT(gone, 0);
    ::waitpid(gone, nullptr, 0);
    const fs::path pipe = folder / (".Copy.mdb.copy-" + std::to_string(gone) + "-0");
    const fs::path link = folder / (".Copy.mdb.copy-" + std::to_string(gone) + "-1");
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    fs::create_symlink(dataFile, link);
    // In a child, so that a copy that waits on the pipe fails the test instead of hanging it.
    EXPECT_EQ(copyInChild(dataFile, folder / "Copy.mdb"), 0);
    EXPECT_TRUE(fs::is_fifo(fs::symlink_status(pipe)));
    EXPECT_TRUE(fs::is_symlink(fs::symlink_status(link)));
    EXPECT_EQ(rawCount("SELECT count(*) FROM Nom_Judete"), 42);
}

TEST_F(Compaction, FailingPathsLeakNoFileDescriptor) {
    auto openFiles = [] {
        size_t n = 0;
        for ([[maybe_unused]] const auto& entry : fs::directory_iterator("/proc/self/fd")) ++n;
        return n;
    };
    const fs::path corrupt = folder / "Corrupt.mdb";
    { std::ofstream(corrupt) << std::string(8192, 'x'); }
    const auto before = openFiles();
    for (int i = 0; i < 1000; ++i) {
        EXPECT_FALSE(ado::compactDataFile(corrupt, temp));                              // no database
        EXPECT_FALSE(ado::compactDataFile(dataFile, folder / "missing" / "Temp.mdb"));  // no temporary
        EXPECT_THROW(ado::copyDatabase(dataFile, folder / "missing" / "Copy.mdb"), com::Error);
        EXPECT_THROW(ado::copyDatabase(corrupt, folder / "Copy.mdb"), com::Error);
    }
    // A refused account costs its password hash; a hundred of them will do.
    for (int i = 0; i < 100; ++i)
        EXPECT_THROW(ado::Connection::create()->Open(connectionString(adotest::User, "wrong"), "", "", -1), com::Error);
    ado::setCopyStepHook([](ado::CopyStep, const fs::path&) { throw com::Error(5, "test", "injected"); });
    for (int i = 0; i < 200; ++i) EXPECT_THROW(ado::copyDatabase(dataFile, folder / "Copy.mdb"), com::Error);
    ado::setCopyStepHook(nullptr);
    EXPECT_EQ(openFiles(), before);
    EXPECT_TRUE(ado::compactDataFile(dataFile, temp));
}

TEST_F(Compaction, ACopyPassesOverLinksPlantedUnderItsNextNames) {
    const fs::path precious = folder / "Precious.txt";
    { std::ofstream(precious) << "not to be written"; }
    const fs::path target = folder / "Copy.mdb";
    // The names this process would take next: the one shown, then the same with the next number.
    const std::string shown = com::temporaryName(target, com::TemporaryPurpose::Copy).filename().string();
    const size_t dash = shown.rfind('-');
    const int next = std::stoi(shown.substr(dash + 1)) + 1;
    for (int n = next; n < next + 5; ++n)
        fs::create_symlink(precious, folder / (shown.substr(0, dash + 1) + std::to_string(n)));
    ado::copyDatabase(dataFile, target);
    EXPECT_EQ(adotest::readAll(precious), "not to be written");
    EXPECT_GT(fs::file_size(target), 0u);
}

TEST_F(Compaction, ACopyIntoAFolderThatCannotBeReadSucceeds) {
    // A drop folder: its owner may write into it but not list it (mode 0300). The copy runs
    // in a child as that owner (an unprivileged one when the tests run as root).
    const fs::path drop = folder / "drop";
    fs::create_directories(drop);
    fs::permissions(folder, fs::perms::owner_all | fs::perms::others_exec | fs::perms::group_exec);
    fs::permissions(dataFile, fs::perms::owner_read | fs::perms::owner_write | fs::perms::others_read);
    const uid_t owner = adotest::otherUser();
    ASSERT_EQ(::chown(drop.c_str(), owner, static_cast<gid_t>(-1)), 0);
    fs::permissions(drop, fs::perms::owner_write | fs::perms::owner_exec);
    const int status = copyInChild(dataFile, drop / "Copy.mdb", owner);
    fs::permissions(drop, fs::perms::owner_all);
    EXPECT_EQ(status, 0);
    EXPECT_TRUE(fs::exists(drop / "Copy.mdb"));
}

TEST_F(Compaction, CopyErrorsNameTheChosenFileAndTheCause) {
    auto copyError = [&](const fs::path& target) {
        try {
            ado::copyDatabase(dataFile, target);
        } catch (const com::Error& e) {
            EXPECT_EQ(e.number(), ado::errc::FileCopy);
            EXPECT_EQ(e.description().find(".copy-"), std::string::npos) << e.description();
            // The chosen file, or its folder when that is the cause.
            EXPECT_NE(e.description().find(target.parent_path().string()), std::string::npos) << e.description();
            return e.description();
        }
        ADD_FAILURE() << "copied to " << target;
        return std::string();
    };
    EXPECT_EQ(copyError(folder / "no-such-folder" / "Copy.mdb"),
              "Folderul " + (folder / "no-such-folder").string() + " nu exista.");
    if (::geteuid() != 0) {  // root writes anywhere
        const fs::path locked = folder / "locked";
        fs::create_directories(locked);
        fs::permissions(locked, fs::perms::owner_read | fs::perms::owner_exec);
        EXPECT_EQ(copyError(locked / "Copy.mdb"), "Folderul " + locked.string() + " este protejat la scriere.");
        fs::permissions(locked, fs::perms::owner_all);
    }
    // A disk that fills up: the process may write no file larger than 16 KiB.
    ASSERT_GT(fs::file_size(dataFile), 64u * 1024u);
    const auto previous = std::signal(SIGXFSZ, SIG_IGN);
    rlimit saved{};
    ::getrlimit(RLIMIT_FSIZE, &saved);
    rlimit small = saved;
    small.rlim_cur = 16 * 1024;
    ::setrlimit(RLIMIT_FSIZE, &small);
    const std::string full = copyError(folder / "Full.mdb");
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previous);
    EXPECT_EQ(full, "Discul este plin: fisierul " + (folder / "Full.mdb").string() + " nu a putut fi scris.");
    for (const auto& entry : fs::directory_iterator(folder))
        EXPECT_EQ(entry.path().filename().string().find(".copy-"), std::string::npos) << entry.path();
}

TEST_F(Compaction, FailedCopiesLeaveTheEarlierFileAndReport) {
    const fs::path target = folder / "Copy.mdb";
    { std::ofstream(target) << "earlier"; }
    EXPECT_THROW(ado::copyDatabase(folder / "Missing.mdb", target), com::Error);
    EXPECT_THROW(ado::copyDatabase(dataFile, dataFile), com::Error);
    EXPECT_THROW(ado::copyDatabase(dataFile, folder / "no-such-folder" / "Copy.mdb"), com::Error);
    EXPECT_EQ(adotest::readAll(target), "earlier");
    EXPECT_TRUE(fs::exists(dataFile));
    EXPECT_EQ(rawCount("SELECT count(*) FROM Nom_Judete"), 42);
}

}  // namespace
