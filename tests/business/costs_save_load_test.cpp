// Save, Load, LoadList and the sheet collections on a real database.
#include "costs_fixture.h"

#include <algorithm>
#include <thread>

#include "ado/connection.h"
#include "com/error.h"

namespace coststest {
namespace {

using namespace Velmora_Business;
using com::Currency;
using Strings = std::vector<std::string>;

constexpr const char* DuplicateHospital =
    "Sume aferente perioadei si spitalului specificate in antet au fost inserate deja.\r\n"
    "Editati valorile inserate anterior.";
constexpr const char* DuplicateWard =
    "Sume aferente perioadei si sectiei specificate in antet au fost inserate deja.\r\n"
    "Editati valorile inserate anterior.";

class CostSaveLoadTest : public CostsTest {
protected:
    com::ComPtr<_CostSpital> hospitalSheet(int32_t period, int32_t hospital) {
        auto sheet = newCostSpital();
        sheet->put_IdPerioada(period);
        sheet->put_IdSpital(hospital);
        return sheet;
    }
    com::ComPtr<_CostSectie> wardSheet(int32_t period, int32_t ward) {
        auto sheet = newCostSectie();
        sheet->put_IdPerioada(period);
        sheet->put_IdSectieFiltrat(ward);
        return sheet;
    }
    // Stores c23 100 with the parts 10, 0, 5, 0 straight into a row of `table`.
    void storeInconsistentC23(const std::string& table, int64_t idCost) {
        exec("UPDATE " + table + " SET c23=100, c23_01=10, c23_03=5 WHERE IdCost=" + std::to_string(idCost));
    }
};

TEST_F(CostSaveLoadTest, SaveInsertsUpdatesAndDeletesByTheMarks) {
    auto sheet = hospitalSheet(1, 1);
    sheet->put_Amount("c72", Currency::fromUnits(123456789));
    sheet->put_Amount("c24_07", money(-3));
    EventLog log = edited(*sheet, __CostSpital::iid);

    EXPECT_TRUE(sheet->Save(true));
    const int32_t id = sheet->get_IdCost();
    EXPECT_GT(id, 0);
    EXPECT_FALSE(sheet->get_IsNew());
    EXPECT_FALSE(sheet->get_IsDirty());
    EXPECT_TRUE(log.take().empty());
    const std::string row = " FROM Velmora_Spital WHERE IdCost=" + std::to_string(id);
    EXPECT_EQ(count("SELECT c72" + row), 123456789);  // exact units of 1/10 000
    EXPECT_EQ(count("SELECT c24" + row), -30000);
    EXPECT_EQ(count("SELECT IdSpital" + row), 1);

    sheet->put_IdPerioada(2);
    sheet->put_Amount("c72", Currency{});
    EXPECT_TRUE(sheet->Save());
    EXPECT_EQ(sheet->get_IdCost(), id);
    EXPECT_EQ(count("SELECT IdPerioada" + row), 2);
    EXPECT_EQ(count("SELECT c72" + row), 0);
    EXPECT_EQ(count("SELECT Count(*) FROM Velmora_Spital"), 1);

    sheet->Delete();
    EXPECT_TRUE(sheet->Save());
    EXPECT_EQ(count("SELECT Count(*) FROM Velmora_Spital"), 0);
    EXPECT_FALSE(sheet->get_IsDeleted());
    EXPECT_FALSE(sheet->get_IsDirty());
    EXPECT_EQ(sheet->get_IdCost(), id);

    // Edited again, the sheet whose row is gone is inserted under a new key.
    sheet->put_Amount("TCP", money(1));
    EXPECT_TRUE(sheet->Save());
    EXPECT_NE(sheet->get_IdCost(), id);
    EXPECT_EQ(count("SELECT Count(*) FROM Velmora_Spital"), 1);
}

TEST_F(CostSaveLoadTest, CleanOrDeletedUnstoredSheetsWriteNothing) {
    auto clean = newCostSpital();
    EXPECT_TRUE(clean->Save());
    EXPECT_FALSE(clean->get_IsNew());
    EXPECT_EQ(clean->get_IdCost(), 0);

    auto deleted = hospitalSheet(1, 1);
    deleted->Delete();
    EXPECT_TRUE(deleted->Save());
    EXPECT_FALSE(deleted->get_IsDeleted());
    EXPECT_EQ(count("SELECT Count(*) FROM Velmora_Spital"), 0);

    // Broken rules do not stop a save: only the database can refuse.
    auto invalid = newCostSpital();
    invalid->put_Amount("TCP", money(1));
    EXPECT_TRUE(invalid->Save());
    EXPECT_EQ(count("SELECT IdPerioada FROM Velmora_Spital"), -1);
}

TEST_F(CostSaveLoadTest, ASecondSheetForThePeriodGetsTheDuplicateMessageAndIsRolledBack) {
    ASSERT_TRUE(hospitalSheet(1, 1)->Save());
    auto second = hospitalSheet(1, 1);
    second->put_Amount("TCP", money(5));
    try {
        second->Save(true);
        FAIL() << "expected the duplicate-period message";
    } catch (const com::Error& e) {
        EXPECT_EQ(e.description(), DuplicateHospital);
        EXPECT_EQ(e.source(), "Ambrel_Core.CostSpital.Save");
        EXPECT_EQ(e.number(), -2147467259);
    }
    EXPECT_EQ(count("SELECT Count(*) FROM Velmora_Spital"), 1);
    EXPECT_TRUE(second->get_IsDirty());
    EXPECT_TRUE(second->get_IsNew());
    // The transaction was rolled back: the shared connection writes again.
    second->put_IdPerioada(2);
    EXPECT_TRUE(second->Save(true));
    // A stored sheet moved onto an occupied period meets the same message, and keeps its row.
    second->put_IdPerioada(1);
    EXPECT_EQ(errorOf([&] { second->Save(); }).description(), DuplicateHospital);
    EXPECT_EQ(count("SELECT IdPerioada FROM Velmora_Spital WHERE IdCost=" + std::to_string(second->get_IdCost())), 2);

    ASSERT_TRUE(wardSheet(1, 7)->Save());
    try {
        wardSheet(1, 7)->Save();
        FAIL() << "expected the duplicate-period message";
    } catch (const com::Error& e) {
        EXPECT_EQ(e.description(), DuplicateWard);
        EXPECT_EQ(e.source(), "Ambrel_Core.CostSectie.Save");
    }
    EXPECT_EQ(count("SELECT Count(*) FROM Velmora_Sectie"), 1);
    EXPECT_EQ(count("SELECT NrSectie FROM Velmora_Sectie"), 2);
}

TEST_F(CostSaveLoadTest, SaveWithoutItsOwnTransactionLeavesTheCallersToTheCaller) {
    auto connection = ado::Connection::from(com::ComPtr<com::IUnknown>(conection_->get_ConnnectionObject()));
    ASSERT_TRUE(connection);
    connection->BeginTrans();
    auto sheet = hospitalSheet(3, 2);
    EXPECT_TRUE(sheet->Save(false));
    EXPECT_EQ(connection->transactionLevel(), 1);
    connection->RollbackTrans();
    EXPECT_EQ(count("SELECT Count(*) FROM Velmora_Spital"), 0);
    EXPECT_FALSE(sheet->get_IsNew());
    EXPECT_GT(sheet->get_IdCost(), 0);
}

TEST_F(CostSaveLoadTest, LoadKeepsStoredValuesWhileListItemsResumTheirGroups) {
    auto sheet = hospitalSheet(1, 1);
    sheet->put_Amount("c25_02", money(4));
    ASSERT_TRUE(sheet->Save());
    storeInconsistentC23("Velmora_Spital", sheet->get_IdCost());

    auto loaded = newCostSpital();
    loaded->put_Amount("TCP", money(8));  // unsaved edits are dropped
    EventLog log = edited(*loaded, __CostSpital::iid);
    ASSERT_TRUE(loaded->Load(sheet->get_IdCost()));
    EXPECT_EQ(loaded->get_Amount("c23"), money(100));
    EXPECT_EQ(loaded->get_Amount("c25"), money(4));
    EXPECT_EQ(loaded->get_Amount("TCP"), Currency{});
    EXPECT_EQ(loaded->get_IdSpital(), 1);
    EXPECT_EQ(loaded->get_Perioada(), "");
    EXPECT_FALSE(loaded->get_IsNew());
    EXPECT_FALSE(loaded->get_IsDirty());
    EXPECT_TRUE(loaded->get_IsValid());
    EXPECT_EQ(std::ranges::count(log.take(), std::string("OnDirty(False)")), 0);

    auto list = newCostSpital()->LoadList("");
    ASSERT_EQ(list->get_Count(), 1);
    auto item = list->get_Item(com::Variant(":" + std::to_string(sheet->get_IdCost())));
    ASSERT_TRUE(item);
    EXPECT_EQ(item->get_Amount("c23"), money(15));
    EXPECT_EQ(item->get_Perioada(), "Ianuarie 2024");
    EXPECT_FALSE(item->get_IsDirty());
    EXPECT_FALSE(item->get_IsNew());
    EXPECT_TRUE(item->get_IsValid());

    // With all its parts 0 a stored total stays as it is in both.
    exec("UPDATE Velmora_Spital SET c23_01=0, c23_03=0");
    EXPECT_EQ(newCostSpital()->LoadList("")->get_Item(com::Variant(int32_t{1}))->get_Amount("c23"), money(100));
}

TEST_F(CostSaveLoadTest, WardSheetsLoadThroughTheirWardRow) {
    auto sheet = wardSheet(2, 7);
    ASSERT_TRUE(sheet->Save());
    storeInconsistentC23("Velmora_Sectie", sheet->get_IdCost());

    auto loaded = newCostSectie();
    ASSERT_TRUE(loaded->Load(sheet->get_IdCost()));
    EXPECT_EQ(loaded->get_IdSectieFiltrat(), 7);
    EXPECT_EQ(loaded->get_IdSectie(), 12);
    EXPECT_EQ(loaded->get_NrSectie(), 2);
    EXPECT_EQ(loaded->get_Amount("c23"), money(100));
    EXPECT_EQ(loaded->get_CodSectie(), "");

    auto list = newCostSectie()->LoadList(" WHERE a.IdSpital=1");
    ASSERT_EQ(list->get_Count(), 1);
    auto item = list->get_Item(com::Variant(int32_t{1}));
    EXPECT_EQ(item->get_CodSectie(), "CH---Chirurgie---2");
    EXPECT_EQ(item->get_Perioada(), "Februarie 2024");
    EXPECT_EQ(item->get_Amount("c23"), money(100));

    // Without its ward row the sheet can be neither loaded nor listed.
    exec("DELETE FROM Lista_Sectii___Filtrat WHERE IdSectieFiltrat=7");
    EXPECT_FALSE(loaded->Load(sheet->get_IdCost()));
    EXPECT_TRUE(loaded->get_IsNew());
    EXPECT_EQ(loaded->get_IdSectieFiltrat(), -1);
    EXPECT_EQ(newCostSectie()->LoadList("")->get_Count(), 0);
}

TEST_F(CostSaveLoadTest, LoadOfAMissingRowOrANullFails) {
    auto sheet = hospitalSheet(1, 1);
    sheet->put_Amount("TCP", money(2));
    EXPECT_FALSE(sheet->Load(0));
    EXPECT_TRUE(sheet->get_IsNew());
    EXPECT_EQ(sheet->get_IdPerioada(), -1);
    EXPECT_EQ(sheet->get_Amount("TCP"), Currency{});

    auto stored = hospitalSheet(1, 1);
    ASSERT_TRUE(stored->Save());
    exec("UPDATE Velmora_Spital SET c26=NULL");
    try {
        sheet->Load(stored->get_IdCost());
        FAIL() << "expected a conversion error";
    } catch (const com::Error& e) {
        EXPECT_EQ(e.source(), "Ambrel_Core.CostSpital.Load");
        EXPECT_EQ(e.number(), com::errc::InvalidUseOfNull);
    }
    EXPECT_TRUE(sheet->get_IsNew());
    EXPECT_FALSE(sheet->get_IsValid());
}

TEST_F(CostSaveLoadTest, LoadListTakesTheClausesOfTheSelectionDialog) {
    ASSERT_TRUE(hospitalSheet(2, 1)->Save());
    ASSERT_TRUE(hospitalSheet(1, 1)->Save());
    ASSERT_TRUE(hospitalSheet(1, 2)->Save());
    ASSERT_TRUE(hospitalSheet(3, 9)->Save());  // no such hospital: never listed

    auto all = newCostSpital()->LoadList();
    ASSERT_EQ(all->get_Count(), 3);
    EXPECT_EQ(all->get_Item(com::Variant(int32_t{3}))->get_IdPerioada(), 2);
    EXPECT_EQ(newCostSpital()->LoadList(" WHERE a.IdPerioada=1 And a.IdSpital=2")->get_Count(), 1);
    EXPECT_EQ(newCostSpital()->LoadList(" WHERE a.IdSpital=1")->get_Count(), 2);
    EXPECT_EQ(newCostSpital()->LoadList("Where c.IdJudet=5 And a.IdSpital=1")->get_Count(), 2);
    EXPECT_EQ(newCostSpital()->LoadList(" WHERE a.IdPerioada=3")->get_Count(), 0);

    // The ward statement's FROM text ends without a blank.
    try {
        newCostSectie()->LoadList("Where a.IdSpital=1");
        FAIL() << "expected the statement to be refused";
    } catch (const com::Error& e) {
        EXPECT_EQ(e.source(), "Ambrel_Core.CostSectie.LoadList");
    }
}

TEST_F(CostSaveLoadTest, SheetCollections) {
    auto list = com::createInstance<_CostSpital_S>(CLSID_CostSpital_S);
    ASSERT_TRUE(list);
    EXPECT_EQ(list->get_Count(), 0);
    auto sheet = newCostSpital();
    EXPECT_EQ(list->Key(sheet), ":0");
    EXPECT_TRUE(list->AddExisting(sheet, ":0"));
    EXPECT_FALSE(list->AddExisting(newCostSpital(), ":0"));
    EXPECT_TRUE(list->AddExisting(newCostSpital(), ""));
    EXPECT_EQ(list->get_Count(), 2);
    EXPECT_EQ(list->get_Item(com::Variant(":0")).get(), sheet.get());
    EXPECT_FALSE(list->get_Item(com::Variant(int32_t{3})));
    EXPECT_THROW(list->Remove(com::Variant(":9")), com::Error);
    list->Clear();
    EXPECT_EQ(list->get_Count(), 0);

    // The ward list comes only from CostSectie.LoadList.
    EXPECT_THROW(com::createInstance<_CostSectie_S>(CLSID_CostSectie_S), com::Error);
}

// Two programs saving at once: each save waits for the other's transaction (up to the
// busy timeout) instead of failing at once with "database is locked".
TEST_F(CostSaveLoadTest, TwoConnectionsSavingAtOnceBothSucceed) {
    constexpr int Saves = 25;
    std::vector<std::string> failures[2];
    auto worker = [&](int index) {
        try {
            auto conection = connect();  // this thread's own connection
            for (int i = 0; i < Saves; ++i) {
                auto sheet = hospitalSheet(1, 1000 * (index + 1) + i);
                sheet->put_Amount("TCP", money(i + 1));
                try {
                    sheet->Save(true);
                } catch (const com::Error& e) {
                    failures[index].push_back(e.description());
                }
            }
            conection->Disconnect();
        } catch (const com::Error& e) {
            failures[index].push_back("connect: " + e.description());
        }
    };
    std::thread first(worker, 0), second(worker, 1);
    first.join();
    second.join();
    EXPECT_EQ(failures[0], Strings{});
    EXPECT_EQ(failures[1], Strings{});
    EXPECT_EQ(count("SELECT Count(*) FROM Velmora_Spital WHERE IdSpital >= 1000"), 2 * Saves);
    EXPECT_EQ(count("SELECT Sum(TCP) FROM Velmora_Spital WHERE IdSpital >= 1000"), 2 * 10000 * Saves * (Saves + 1) / 2);
}

}  // namespace
}  // namespace coststest
