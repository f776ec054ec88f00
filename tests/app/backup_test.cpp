// The backup file: its name, a consistent copy of a live database, one file a day, and a
// failure that leaves the earlier backup in place.
#include <gtest/gtest.h>

#include "ado/connection.h"
#include "shell/backup.h"
#include "com/error.h"
#include "support.h"

namespace {

TEST(Backup, FileNameHasTwoUnderscoresAndTheDayWithPoints) {
    EXPECT_EQ(velmora::backupFileName(QDate(2025, 2, 3)), "VelmoraBck__03.02.2025.mdb");
    EXPECT_EQ(velmora::backupFileName(QDate(2024, 12, 31)), "VelmoraBck__31.12.2024.mdb");
}

TEST(Backup, CopiesTheCommittedRowsOfAnOpenDatabaseOncePerDay) {
    test::TempFolder data;
    test::TempFolder backups;
    test::makeDatabase(data.path());
    const auto database = data / test::kDatabase;

    // The program's own connection stays open, with a change not yet committed.
    auto connection = ado::Connection::create();
    connection->Open(ado::buildConnectionString(test::kUser, test::kPassword, database.string(),
                                                (data / test::kWorkgroup).string()));
    connection->BeginTrans();
    connection->Execute("DELETE FROM Velmora_Sectie");

    const auto target = velmora::backupDatabase(database, backups.path(), QDate(2025, 2, 3));
    EXPECT_EQ(target, backups / "VelmoraBck__03.02.2025.mdb");
    connection->RollbackTrans();
    for (const char* table : {"Nom_Judete", "Nom_Spitale", "Nom_Perioade", "Velmora_Spital", "Velmora_Sectie"})
        EXPECT_EQ(test::rowCount(target, table), test::rowCount(database, table)) << table;
    EXPECT_GT(test::rowCount(target, "Velmora_Sectie"), 0);

    // The same day's second backup replaces the first.
    connection->Execute("DELETE FROM Velmora_Sectie WHERE IdPerioada=1");
    velmora::backupDatabase(database, backups.path(), QDate(2025, 2, 3));
    EXPECT_EQ(test::rowCount(target, "Velmora_Sectie"), test::rowCount(database, "Velmora_Sectie"));
    int files = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(backups.path())) ++files;
    EXPECT_EQ(files, 1);
    connection->Close();
}

TEST(Backup, AFailedCopyKeepsTheEarlierBackup) {
    test::TempFolder data;
    test::TempFolder backups;
    test::makeDatabase(data.path(), false);
    const auto database = data / test::kDatabase;
    const auto target = velmora::backupDatabase(database, backups.path(), QDate(2025, 2, 3));
    const std::string good = test::readText(target);

    EXPECT_THROW(velmora::backupDatabase(data / "gone.mdb", backups.path(), QDate(2025, 2, 3)), com::Error);
    EXPECT_EQ(test::readText(target), good);
    EXPECT_THROW(velmora::backupDatabase(database, backups / "missing-folder", QDate(2025, 2, 3)), com::Error);

    // No folder configured: refused, nothing written where the program runs from.
    const auto here = std::filesystem::current_path();
    std::filesystem::current_path(backups.path());
    EXPECT_THROW(velmora::backupDatabase(database, "", QDate(2025, 2, 4)), com::Error);
    std::filesystem::current_path(here);
    EXPECT_FALSE(std::filesystem::exists(backups / "VelmoraBck__04.02.2025.mdb"));
}

}  // namespace
