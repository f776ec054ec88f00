// Two runs of the program on one database file: a save never writes over a row that the
// other run changed or deleted after this run read it.
#include "costs_fixture.h"

#include "com/error.h"

namespace coststest {
namespace {

using namespace Velmora_Business;

constexpr int32_t ChangedElsewhere = -2147221499;
constexpr const char* SheetChanged =
    "Fisa a fost modificata de alt utilizator dupa ce a fost incarcata. Incarcati-o din nou cu Cauta... si "
    "refaceti modificarile.";
constexpr const char* WardChanged =
    "Sectia a fost modificata de alt utilizator dupa ce a fost incarcata. Incarcati-o din nou cu Cauta... si "
    "refaceti modificarile.";

void expectChangedElsewhere(const com::Error& e, const std::string& className, const char* text) {
    EXPECT_EQ(e.number(), ChangedElsewhere);
    EXPECT_EQ(e.source(), "Ambrel_Core." + className + ".Save");
    EXPECT_EQ(e.description(), text);
}

class TwoRunsTest : public CostsTest {
protected:
    template <class Sheet>
    com::ComPtr<Sheet> loaded(com::ComPtr<Sheet> sheet, int32_t idCost) {
        EXPECT_TRUE(sheet->Load(idCost));
        return sheet;
    }
    int32_t storedHospitalSheet() {
        auto sheet = newCostSpital();
        sheet->put_IdPerioada(1);
        sheet->put_IdSpital(1);
        sheet->put_Amount("c10_1", money(100));
        sheet->put_Amount("c11_1", money(200));
        EXPECT_TRUE(sheet->Save());
        return sheet->get_IdCost();
    }
    int64_t hospitalColumn(const std::string& column, int32_t idCost) const {
        return count("SELECT " + column + " FROM Velmora_Spital WHERE IdCost=" + std::to_string(idCost));
    }
};

TEST_F(TwoRunsTest, AHospitalSheetChangedByAnotherRunIsNotWrittenOver) {
    const int32_t id = storedHospitalSheet();
    auto a = loaded(newCostSpital(), id);
    auto b = loaded(newCostSpital(), id);

    // A's own saves follow each other: the row it saved is the one it holds.
    a->put_Amount("c10_1", money(110));
    onOtherRun([&] { ASSERT_TRUE(a->Save()); });
    a->put_Amount("c12_1", money(5));
    onOtherRun([&] { ASSERT_TRUE(a->Save()); });

    b->put_Amount("c11_1", money(220));
    expectChangedElsewhere(errorOf([&] { b->Save(); }), "CostSpital", SheetChanged);
    EXPECT_EQ(hospitalColumn("c10_1", id), 110 * com::Currency::Scale);
    EXPECT_EQ(hospitalColumn("c11_1", id), 200 * com::Currency::Scale);
    EXPECT_EQ(hospitalColumn("c12_1", id), 5 * com::Currency::Scale);
    // B keeps what its user typed, and stays dirty.
    EXPECT_TRUE(b->get_IsDirty());
    EXPECT_FALSE(b->get_IsNew());
    EXPECT_EQ(b->get_Amount("c11_1"), money(220));
    EXPECT_EQ(b->get_Amount("c10_1"), money(100));
    // Without its own transaction the refusal is the same.
    EXPECT_EQ(errorOf([&] { b->Save(false); }).number(), ChangedElsewhere);
    // Nor does a copy of B (the screens' backup) write over A's row, nor delete it.
    auto copy = b->CopyMe();
    copy->Delete();
    expectChangedElsewhere(errorOf([&] { copy->Save(); }), "CostSpital", SheetChanged);
    EXPECT_EQ(count("SELECT Count(*) FROM Velmora_Spital"), 1);

    // Loaded again, B's change is saved beside A's.
    b = loaded(newCostSpital(), id);
    b->put_Amount("c11_1", money(220));
    ASSERT_TRUE(b->Save());
    EXPECT_EQ(hospitalColumn("c10_1", id), 110 * com::Currency::Scale);
    EXPECT_EQ(hospitalColumn("c11_1", id), 220 * com::Currency::Scale);
    // Now A holds a row that B changed.
    a->put_Amount("c13_1", money(1));
    onOtherRun([&] { expectChangedElsewhere(errorOf([&] { a->Save(); }), "CostSpital", SheetChanged); });
    EXPECT_EQ(hospitalColumn("c13_1", id), 0);
}

TEST_F(TwoRunsTest, AHospitalSheetDeletedByAnotherRunIsNeitherWrittenNorInsertedAgain) {
    const int32_t id = storedHospitalSheet();
    auto a = loaded(newCostSpital(), id);
    auto b = loaded(newCostSpital(), id);
    a->Delete();
    onOtherRun([&] { ASSERT_TRUE(a->Save()); });

    b->put_Amount("c11_1", money(220));
    expectChangedElsewhere(errorOf([&] { b->Save(); }), "CostSpital", SheetChanged);
    EXPECT_EQ(count("SELECT Count(*) FROM Velmora_Spital"), 0);
    EXPECT_TRUE(b->get_IsDirty());

    // A sheet its own run deleted is stored again when edited, as a new row.
    a->put_Amount("TCP", money(1));
    onOtherRun([&] { ASSERT_TRUE(a->Save()); });
    EXPECT_NE(a->get_IdCost(), id);
    EXPECT_EQ(count("SELECT Count(*) FROM Velmora_Spital"), 1);

    // A new sheet for the period the other run has just saved meets the duplicate rule.
    auto fresh = newCostSpital();
    fresh->put_IdPerioada(1);
    fresh->put_IdSpital(1);
    fresh->put_Amount("TCP", money(2));
    EXPECT_EQ(errorOf([&] { fresh->Save(); }).description(),
              "Sume aferente perioadei si spitalului specificate in antet au fost inserate deja.\r\n"
              "Editati valorile inserate anterior.");
    EXPECT_EQ(count("SELECT Count(*) FROM Velmora_Spital"), 1);
}

TEST_F(TwoRunsTest, AWardSheetChangedByAnotherRunIsNotWrittenOver) {
    auto first = newCostSectie();
    first->put_IdPerioada(1);
    first->put_IdSectieFiltrat(7);
    first->put_Amount("c10_1", money(100));
    ASSERT_TRUE(first->Save());
    const int32_t id = first->get_IdCost();
    auto a = loaded(newCostSectie(), id);
    auto b = loaded(newCostSectie(), id);

    a->put_Amount("c10_1", money(110));
    onOtherRun([&] { ASSERT_TRUE(a->Save()); });
    a->put_Amount("c12_1", money(3));
    onOtherRun([&] { ASSERT_TRUE(a->Save()); });
    b->put_Amount("c11_1", money(220));
    expectChangedElsewhere(errorOf([&] { b->Save(); }), "CostSectie", SheetChanged);
    const std::string row = " FROM Velmora_Sectie WHERE IdCost=" + std::to_string(id);
    EXPECT_EQ(count("SELECT c10_1" + row), 110 * com::Currency::Scale);
    EXPECT_EQ(count("SELECT c11_1" + row), 0);
    EXPECT_TRUE(b->get_IsDirty());

    // A ward sheet moved to another ward by the other run counts as changed too.
    b = loaded(newCostSectie(), id);
    a = loaded(newCostSectie(), id);
    a->put_IdSectieFiltrat(8);
    onOtherRun([&] { ASSERT_TRUE(a->Save()); });
    b->put_Amount("c11_1", money(220));
    expectChangedElsewhere(errorOf([&] { b->Save(); }), "CostSectie", SheetChanged);
    EXPECT_EQ(count("SELECT IdSectie" + row), 13);
    EXPECT_EQ(count("SELECT c11_1" + row), 0);
}

TEST_F(TwoRunsTest, AWardChangedOrDeletedByAnotherRunIsNotWrittenOver) {
    auto ward = [&](int32_t id) {
        auto w = businesstest::create<_Sectie>(ProgId::Sectie);
        EXPECT_TRUE(w->Load(id));
        return w;
    };
    const auto triple = [&] {
        return scalar(
            "SELECT IdSpital || '/' || IdSectie || '/' || NrSectie FROM Lista_Sectii___Filtrat "
            "WHERE IdSectieFiltrat=7");
    };
    auto a = ward(7);
    auto b = ward(7);
    a->put_NrSectie(3);
    onOtherRun([&] { ASSERT_TRUE(a->Save()); });
    a->put_NrSectie(4);
    onOtherRun([&] { ASSERT_TRUE(a->Save()); });

    b->put_IdSectie(13);
    expectChangedElsewhere(errorOf([&] { b->Save(); }), "Sectie", WardChanged);
    EXPECT_EQ(triple(), "1/12/4");
    EXPECT_TRUE(b->get_IsDirty());
    EXPECT_EQ(b->get_IdSectie(), 13);

    b = ward(7);
    b->put_NrSectie(6);
    ASSERT_TRUE(b->Save());
    EXPECT_EQ(triple(), "1/12/6");

    // Deleted by one run, the ward is not stored again by the other.
    auto c = ward(7);
    onOtherRun([&] {
        b->Delete();
        ASSERT_TRUE(b->Save());
    });
    c->put_NrSectie(9);
    expectChangedElsewhere(errorOf([&] { c->Save(); }), "Sectie", WardChanged);
    EXPECT_EQ(count("SELECT Count(*) FROM Lista_Sectii___Filtrat WHERE IdSectieFiltrat=7 OR NrSectie=9"), 0);
}

}  // namespace
}  // namespace coststest
