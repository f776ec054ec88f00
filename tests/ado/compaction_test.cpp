// Compaction in place and database copies: smaller with the same content, no temporary file
// left, and the data file whole and openable whatever step fails.
#include <sys/stat.h>
#include <unistd.h>

#include <future>
#include <thread>

#include "fixture.h"

namespace {

using adotest::DataFolder;
namespace fs = std::filesystem;

class Compaction : public DataFolder {
protected:
    void SetUp() override {
        DataFolder::SetUp();
        makeDatabase(true);
        // Bulk that a deletion then leaves as free pages.
        rawExec("CREATE TABLE Bulk (x TEXT); WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i+1 FROM n WHERE i<2000) "
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
    fs::path temp;
};

TEST_F(Compaction, ShrinksKeepsContentAndLeavesNoTemporaryFile) {
    const auto before = content();
    const auto size = fs::file_size(dataFile);
    EXPECT_TRUE(ado::compactDataFile(dataFile, temp));
    EXPECT_LT(fs::file_size(dataFile), size);
    EXPECT_FALSE(fs::exists(temp));
    expectWholeAndOpenable(before);
    // Autonumbers survive: the next sheet continues after the highest id.
    EXPECT_EQ(rawCount("SELECT seq FROM sqlite_sequence WHERE name='Velmora_Spital'"), 6);
}

TEST_F(Compaction, TemporaryFileOnAnotherFileSystem) {
    const fs::path shm = "/dev/shm";
    struct stat a {}, b {};
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
        EXPECT_FALSE(fs::exists(temp)) << static_cast<int>(step);
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
    // A file of the temporary's name that is not ours stays as it was.
    { std::ofstream(temp) << "keep me"; }
    EXPECT_FALSE(ado::compactDataFile(dataFile, temp));
    EXPECT_EQ(adotest::readAll(temp), "keep me");
    expectWholeAndOpenable(before);
}

TEST_F(Compaction, JetEngineChecksTheAccountAndTheDestination) {
    const std::string source = connectionString();
    const std::string target = ado::buildConnectionString(adotest::User, adotest::Password, temp.string(), workgroupFile.string());
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
