// The period export: one period cut out of a real database into a compacted file.
#include "costs_fixture.h"

#include <fstream>

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

    fs::path target;
};

TEST_F(CostExportTest, ThePeriodIsCutOutIntoACompactedCopy) {
    // Enough rows of another period that cutting them out frees whole pages, which only
    // the compaction gives back.
    rawExec(data_, "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 2000) "
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

}  // namespace
}  // namespace coststest
