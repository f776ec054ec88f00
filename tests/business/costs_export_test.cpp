// The period export: one period cut out of a real database into a compacted file.
#include "costs_fixture.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <fstream>

#include "ado/compaction.h"
#include "ado/error.h"

#include "com/error.h"
#include "typelib/business/Export.h"

namespace coststest {
namespace {

using namespace Velmora_Business;
namespace fs = std::filesystem;

constexpr const char* NothingToExport =
    "Nu sunt inregistrari in baza specifice selectie efectuate.\r\nNu se va exporta nimic.";

class CostExportTest : public CostsTest {
protected:
    void SetUp() override {
        CostsTest::SetUp();
        rawExec(data_, R"(
INSERT INTO Velmora_Spital (IdPerioada, IdSpital, TCP) VALUES (1, 1, 10000), (2, 1, 20000), (2, 2, 30000);
INSERT INTO Velmora_Sectie (IdPerioada, IdSpital, IdSectie, NrSectie, TCP) VALUES (1, 1, 12, 2, 1), (2, 1, 12, 2, 2);
INSERT INTO Velmora_Pacient (DataExternare) VALUES ('2024-01-01 00:00:00'), ('2024-01-31 00:00:00'),
  ('2024-01-31 10:00:00'), ('2024-02-10 00:00:00'), (NULL);
)");
        target = dir_ / "out" / "Velmora_Export.mdb";
        fs::create_directories(target.parent_path());
    }

    bool runExport(int32_t period, const fs::path& destination, const std::string& password = Password) {
        auto exporter = com::createInstance<_Export>(CLSID_Export);
        exporter->put_Sursa(data_.string());
        exporter->put_Destinatie(destination.string());
        exporter->put_IdPerioada(period);
        return exporter->Export(workgroup_.string(), User, password, dir_.string());
    }

    com::Error failedExport(int32_t period, const fs::path& destination, const std::string& password = Password) {
        try {
            runExport(period, destination, password);
        } catch (const com::Error& e) {
            return e;
        }
        ADD_FAILURE() << "the export should have failed";
        return com::Error(0, "", "");
    }

    // The names in the export folder other than the export itself: no half-made file or
    // temporary file may stay behind.
    std::vector<std::string> leftovers() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(target.parent_path()))
            if (entry.path() != target) names.push_back(entry.path().filename().string());
        for (const auto& entry : fs::directory_iterator(dir_)) {
            const std::string name = entry.path().filename().string();
            if (name == "Temp.mdb" || name.find(".compact-") != std::string::npos) names.push_back(name);
        }
        return names;
    }

    fs::path target;
};

// A period-2 figure no other row holds, and how SQLite writes it in a record (a 6-byte
// big-endian integer).
constexpr int64_t Marker = 0x1A2B3C4D5E6F;
const std::string MarkerBytes("\x1A\x2B\x3C\x4D\x5E\x6F", 6);

TEST_F(CostExportTest, ThePeriodIsCutOutIntoACompactedCopy) {
    // Enough rows of another period that cutting them out frees whole pages, which only
    // the compaction gives back.
    rawExec(data_,
            "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 2000) "
            "INSERT INTO Velmora_Pacient (DataExternare) SELECT '2024-02-15 00:00:00' FROM n");
    const std::string before = readAll(data_);
    std::ofstream(target) << "an earlier export";

    ASSERT_TRUE(runExport(1, target));
    EXPECT_EQ(rawInt(target, "SELECT Count(*) FROM Velmora_Spital"), 1);
    EXPECT_EQ(rawInt(target, "SELECT Count(*) FROM Velmora_Spital WHERE IdPerioada<>1"), 0);
    EXPECT_EQ(rawInt(target, "SELECT Count(*) FROM Velmora_Sectie"), 1);
    // Both ends of the period count; a discharge later on the last day does not; a patient
    // without a discharge date travels with every export.
    EXPECT_EQ(rawInt(target, "SELECT Count(*) FROM Velmora_Pacient"), 3);
    EXPECT_EQ(rawInt(target, "SELECT Count(*) FROM Velmora_Pacient WHERE DataExternare IS NULL"), 1);
    EXPECT_EQ(rawInt(target, "SELECT Count(*) FROM Nom_Perioade"), 3);
    EXPECT_EQ(rawInt(target, "PRAGMA freelist_count"), 0);
    EXPECT_FALSE(fs::exists(dir_ / "Temp.mdb"));

    EXPECT_EQ(readAll(data_), before);
    EXPECT_EQ(count("SELECT Count(*) FROM Velmora_Spital"), 3);
}

TEST_F(CostExportTest, AnEmptyPeriodIsRefusedAndLeavesNoFile) {
    for (int32_t period : {3, -1}) {
        const com::Error e = failedExport(period, target);
        EXPECT_EQ(e.number(), -2147221503);
        EXPECT_EQ(e.description(), NothingToExport);
        EXPECT_EQ(e.source(), "Ambrel_Core.Export.Export");
        EXPECT_FALSE(fs::exists(target)) << period;
    }
    // A period with patients only is exported, its cost tables empty.
    exec("INSERT INTO Velmora_Pacient (DataExternare) VALUES ('2024-03-05 00:00:00')");
    ASSERT_TRUE(runExport(3, target));
    EXPECT_EQ(rawInt(target, "SELECT Count(*) FROM Velmora_Spital"), 0);
    EXPECT_EQ(rawInt(target, "SELECT Count(*) FROM Velmora_Sectie"), 0);
}

TEST_F(CostExportTest, ExportingOntoTheLiveDatabaseIsRefused) {
    const std::string before = readAll(data_);
    const com::Error e = failedExport(1, data_);
    EXPECT_EQ(e.source(), "Ambrel_Core.Export.Export");
    EXPECT_NE(e.description().find("baza de date"), std::string::npos);
    ASSERT_TRUE(fs::exists(data_));
    EXPECT_EQ(readAll(data_), before);
    EXPECT_EQ(count("SELECT Count(*) FROM Velmora_Spital"), 3);
}

TEST_F(CostExportTest, AFailedCopyIsReportedWithItsOwnError) {
    // An earlier file of the destination's name stays as it was.
    std::ofstream(target) << "an earlier export";
    fs::rename(data_, dir_ / "moved.mdb");
    com::Error e = failedExport(1, target);
    EXPECT_EQ(e.source(), "Ambrel_Core.Export.Export");
    EXPECT_NE(e.number(), 0);
    EXPECT_EQ(readAll(target), "an earlier export");

    // No file was begun, so no removal can fail and hide the copy's error.
    fs::remove(target);
    const com::Error again = failedExport(1, target);
    EXPECT_EQ(again.number(), e.number());
    EXPECT_EQ(again.description(), e.description());
    EXPECT_FALSE(fs::exists(target));
    fs::rename(dir_ / "moved.mdb", data_);
}

TEST_F(CostExportTest, AFailureAfterTheCopyRemovesTheUnfinishedFile) {
    const com::Error e = failedExport(1, target, "wrong password");
    EXPECT_EQ(e.source(), "Ambrel_Core.Export.Export");
    EXPECT_FALSE(fs::exists(target));
    EXPECT_EQ(count("SELECT Count(*) FROM Velmora_Spital"), 3);
}

TEST_F(CostExportTest, ARefusedAccountCopiesNothing) {
    std::ofstream(target) << "an earlier export";
    bool copied = false;
    ado::setCopyStepHook([&](ado::CopyStep, const fs::path&) { copied = true; });
    const com::Error e = failedExport(1, target, "wrong password");
    ado::setCopyStepHook(nullptr);
    EXPECT_EQ(e.number(), 3029);
    EXPECT_FALSE(copied);
    EXPECT_EQ(readAll(target), "an earlier export");
    EXPECT_TRUE(leftovers().empty());
}

TEST_F(CostExportTest, FailedExportsLeakNoFileDescriptor) {
    auto openFiles = [] {
        size_t n = 0;
        for ([[maybe_unused]] const auto& entry : fs::directory_iterator("/proc/self/fd")) ++n;
        return n;
    };
    std::ofstream(target) << "an earlier export";
    runExport(1, dir_ / "warm.mdb");  // the first run loads what stays loaded
    const auto before = openFiles();
    for (int i = 0; i < 100; ++i) {
        EXPECT_EQ(failedExport(3, target).number(), -2147221503);  // nothing in the period
        failedExport(1, dir_ / "missing" / "x.mdb");
    }
    EXPECT_EQ(openFiles(), before);
    EXPECT_EQ(readAll(target), "an earlier export");
    EXPECT_TRUE(leftovers().empty());
}

TEST_F(CostExportTest, AnExportWhoseCompactionFailsHoldsNoOtherPeriodsFigures) {
    rawExec(data_, "UPDATE Velmora_Spital SET c22=" + std::to_string(Marker) +
                       " WHERE IdPerioada=2; "
                       "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 500) "
                       "INSERT INTO Velmora_Spital (IdPerioada, IdSpital, c22) SELECT 2, 100 + i, " +
                       std::to_string(Marker) + " FROM n");
    ASSERT_NE(readAll(data_).find(MarkerBytes), std::string::npos);
    for (const auto step : {ado::CompactStep::Locked, ado::CompactStep::Compacted, ado::CompactStep::Checked}) {
        ado::setCompactStepHook([step](ado::CompactStep reached) {
            if (reached == step) throw com::Error(5, "test", "injected");
        });
        // A failed compaction does not fail the export.
        EXPECT_TRUE(runExport(1, target));
        ado::setCompactStepHook(nullptr);
        EXPECT_GT(rawInt(target, "PRAGMA freelist_count"), 0) << "the export should be uncompacted";
        EXPECT_EQ(rawInt(target, "SELECT Count(*) FROM Velmora_Spital WHERE IdPerioada<>1"), 0);
        EXPECT_EQ(readAll(target).find(MarkerBytes), std::string::npos) << static_cast<int>(step);
        EXPECT_EQ(readAll(target).find("2024-02-10"), std::string::npos);
        EXPECT_TRUE(leftovers().empty());
    }
}

TEST_F(CostExportTest, AFailureAtAnyStepLeavesTheEarlierExportAndNothingElse) {
    std::ofstream(target) << "an earlier export";
    auto expectUntouched = [&](const std::string& step) {
        EXPECT_EQ(readAll(target), "an earlier export") << step;
        EXPECT_EQ(leftovers(), std::vector<std::string>{}) << step;
    };
    // The copy.
    ado::setCopyStepHook([](ado::CopyStep step, const fs::path&) {
        if (step == ado::CopyStep::Flushed) throw com::Error(5, "test", "injected");
    });
    EXPECT_EQ(failedExport(1, target).description(), "injected");
    ado::setCopyStepHook(nullptr);
    expectUntouched("copy");
    // The deletes of the other periods.
    rawExec(data_, "CREATE TRIGGER Refuse BEFORE DELETE ON Velmora_Sectie BEGIN SELECT RAISE(ABORT, 'refused'); END");
    EXPECT_NE(failedExport(1, target).description().find("refused"), std::string::npos);
    rawExec(data_, "DROP TRIGGER Refuse");
    expectUntouched("cut-out");
    // The rename to the final name (a folder holds that name).
    fs::remove(target);
    fs::create_directories(target / "inside");
    const com::Error renamed = failedExport(1, target);
    EXPECT_NE(renamed.description().find(target.string()), std::string::npos) << renamed.description();
    EXPECT_EQ(renamed.description().find(".export-"), std::string::npos) << renamed.description();
    EXPECT_TRUE(fs::is_directory(target / "inside"));
    fs::remove_all(target);
    EXPECT_TRUE(leftovers().empty());
    // A missing folder is named as the export's own name has it.
    const fs::path elsewhere = dir_ / "missing" / "Export.mdb";
    const com::Error missing = failedExport(1, elsewhere);
    EXPECT_EQ(missing.description(), "Folderul " + (dir_ / "missing").string() + " nu exista.");
}

TEST_F(CostExportTest, AFailureNamesTheChosenFileNeverTheHiddenOneItIsBuiltUnder) {
    // The copy is damaged on its way: the export's own connection to it then fails.
    ado::setCopyStepHook([](ado::CopyStep step, const fs::path& temp) {
        if (step != ado::CopyStep::Flushed) return;
        std::fstream file(temp, std::ios::in | std::ios::out | std::ios::binary);
        file.write("no database here", 16);
    });
    const com::Error e = failedExport(1, target);
    ado::setCopyStepHook(nullptr);
    EXPECT_EQ(e.number(), ado::errc::NotADatabase);
    EXPECT_EQ(e.description(),
              "Fisierul " + target.string() + " nu este o baza de date a aplicatiei sau este deteriorat.");
    EXPECT_TRUE(leftovers().empty());
}

TEST_F(CostExportTest, AKillAtAnyStepLeavesTheEarlierExportAndTheNextExportCleansUp) {
    std::ofstream(target) << "an earlier export";
    for (const int point : {0, 1, 2, 3}) {
        const pid_t child = ::fork();
        if (child == 0) {
            auto die = [] { std::raise(SIGKILL); };
            if (point == 0)
                ado::setCopyStepHook([&](ado::CopyStep step, const fs::path&) {
                    if (step == ado::CopyStep::Flushed) die();
                });
            else
                ado::setCompactStepHook([&](ado::CompactStep step) {
                    if ((point == 1 && step == ado::CompactStep::Locked) ||
                        (point == 2 && step == ado::CompactStep::Compacted) ||
                        (point == 3 && step == ado::CompactStep::Checked))
                        die();
                });
            try {
                runExport(1, target);
            } catch (...) {}
            ::_exit(0);
        }
        ASSERT_GT(child, 0);
        int status = 0;
        ::waitpid(child, &status, 0);
        EXPECT_TRUE(WIFSIGNALED(status)) << point;
        EXPECT_EQ(readAll(target), "an earlier export") << point;
    }
    // The dead exports' files are stale: the next export removes them and succeeds.
    ASSERT_TRUE(runExport(1, target));
    EXPECT_EQ(rawInt(target, "SELECT Count(*) FROM Velmora_Spital"), 1);
    EXPECT_EQ(rawInt(target, "PRAGMA freelist_count"), 0);
    EXPECT_EQ(leftovers(), std::vector<std::string>{});
}

TEST_F(CostExportTest, TheExportTakesTheDataFilesMode) {
    const mode_t mask = ::umask(022);
    fs::permissions(data_, fs::perms::owner_read | fs::perms::owner_write);
    ASSERT_TRUE(runExport(1, target));
    ::umask(mask);
    EXPECT_EQ(fs::status(target).permissions(), fs::perms::owner_read | fs::perms::owner_write);
}

TEST_F(CostExportTest, AnExportIntoTheDataFolderCompactsBesideALiveStartUpCompaction) {
    // The export's compaction and the start-up's work in the same folder when the export
    // folder is the data folder: each through a temporary of its own, so both compact.
    target = dir_ / "Velmora_Export.mdb";
    fs::path other = dir_ / "Other.mdb";
    fs::copy_file(data_, other);
    bool inner = false, innerResult = true;
    ado::setCompactStepHook([&](ado::CompactStep step) {
        if (step != ado::CompactStep::Compacted || inner) return;
        inner = true;
        innerResult = ado::compactDataFile(other, dir_ / "Temp.mdb");
    });
    ASSERT_TRUE(runExport(1, target));
    ado::setCompactStepHook(nullptr);
    EXPECT_TRUE(inner);
    EXPECT_TRUE(innerResult);
    EXPECT_EQ(rawInt(target, "PRAGMA freelist_count"), 0);
    for (const auto& entry : fs::directory_iterator(dir_)) {
        const std::string name = entry.path().filename().string();
        EXPECT_TRUE(name.find(".compact-") == std::string::npos && name != "Temp.mdb") << name;
    }
}

TEST_F(CostExportTest, AUsersTempMdbInTheCompactionsFolderOrBesideTheExportIsLeftAsItIs) {
    rawExec(data_,
            "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 2000) "
            "INSERT INTO Velmora_Pacient (DataExternare) SELECT '2024-02-15 00:00:00' FROM n");
    // Files of the user's own under the names the export once used for its temporaries,
    // one of them held open by another program.
    const fs::path inCompactionFolder = dir_ / "Temp.mdb", besideExport = target.parent_path() / "Temp.mdb";
    std::ofstream(inCompactionFolder) << "the user's own Temp.mdb";
    std::ofstream(besideExport) << "another of the user's";
    const int held = ::open(inCompactionFolder.c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_GE(held, 0);
    ASSERT_TRUE(runExport(1, target));
    ::close(held);
    EXPECT_EQ(rawInt(target, "SELECT Count(*) FROM Velmora_Spital"), 1);
    EXPECT_EQ(rawInt(target, "PRAGMA freelist_count"), 0);
    EXPECT_EQ(readAll(inCompactionFolder), "the user's own Temp.mdb");
    EXPECT_EQ(readAll(besideExport), "another of the user's");
    EXPECT_EQ(leftovers(), (std::vector<std::string>{"Temp.mdb", "Temp.mdb"}));
}

}  // namespace
}  // namespace coststest
