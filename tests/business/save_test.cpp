// Save of the edited registers: insert, update and delete by the marks, inside a
// transaction of its own that a failure rolls back, leaving the marks as they were.
#include "BusinessFixture.h"

#include <tuple>

#include "ado/error.h"

namespace businesstest {
namespace {

class SaveTest : public BusinessTest {
protected:
    void SetUp() override {
        BusinessTest::SetUp();
        // A hospital coded "REFUZ" cannot be written: the database refuses it.
        exec(
            "CREATE TRIGGER refuz BEFORE INSERT ON Nom_Spitale WHEN NEW.CodSpital='REFUZ' "
            "BEGIN SELECT RAISE(ABORT, 'refuzat de test'); END");
        exec(
            "CREATE TRIGGER refuz2 BEFORE UPDATE ON Nom_Spitale WHEN NEW.CodSpital='REFUZ' "
            "BEGIN SELECT RAISE(ABORT, 'refuzat de test'); END");
    }
    std::string count(const std::string& table) { return scalar("Select Count(*) From " + table); }
};

TEST_F(SaveTest, HospitalInsertUpdateDelete) {
    auto s = create<vb::_Spital>(vb::ProgId::Spital);
    auto log = edited(*s, vb::__Spital::iid);
    s->put_CodSpital("H1");
    s->put_DenSpital("Alpha");
    log.take();
    ASSERT_TRUE(s->Save());
    EXPECT_TRUE(log.take().empty());  // Save changes the marks without OnDirty
    const int32_t id = s->get_IdSpital();
    EXPECT_GT(id, 0);
    EXPECT_FALSE(s->get_IsNew() || s->get_IsDirty());
    EXPECT_EQ(scalar("Select CodSpital || '/' || DenSpital || '/' || IdJudet From Nom_Spitale Where IdSpital=" +
                     std::to_string(id)),
              "H1/Alpha/-1");

    s->put_IdJudet(4);  // a county change alone is not saved
    ASSERT_TRUE(s->Save());
    EXPECT_EQ(scalar("Select IdJudet From Nom_Spitale"), "-1");
    s->put_DenSpital("Alpha 2");
    ASSERT_TRUE(s->Save(false));
    EXPECT_EQ(scalar("Select DenSpital || IdJudet From Nom_Spitale"), "Alpha 24");
    EXPECT_EQ(count("Nom_Spitale"), "1");

    s->Delete();
    ASSERT_TRUE(s->Save());
    EXPECT_EQ(count("Nom_Spitale"), "0");
    EXPECT_TRUE(s->get_IsDeleted());
    EXPECT_FALSE(s->get_IsDirty() || s->get_IsNew());
    ASSERT_TRUE(s->Save());  // nothing more to do
    s->UnDelete();
    ASSERT_TRUE(s->Save());  // stored again, under a new id
    EXPECT_EQ(count("Nom_Spitale"), "1");
    EXPECT_NE(s->get_IdSpital(), id);
}

TEST_F(SaveTest, NothingToWrite) {
    auto blank = create<vb::_Spital>(vb::ProgId::Spital);
    ASSERT_TRUE(blank->Save());
    EXPECT_FALSE(blank->get_IsNew());
    EXPECT_EQ(blank->get_IdSpital(), 0);
    auto deletedNew = create<vb::_Spital>(vb::ProgId::Spital);
    deletedNew->put_CodSpital("X");
    deletedNew->Delete();
    ASSERT_TRUE(deletedNew->Save());
    EXPECT_EQ(count("Nom_Spitale"), "0");
}

TEST_F(SaveTest, FailureRollsBackAndKeepsTheMarks) {
    auto s = create<vb::_Spital>(vb::ProgId::Spital);
    s->put_CodSpital("REFUZ");
    s->put_DenSpital("Nu");
    const com::Error e = errorOf([&] { s->Save(); });
    EXPECT_EQ(e.number(), ado::errc::Engine);
    EXPECT_NE(e.description().find("refuzat de test"), std::string::npos);
    EXPECT_EQ(e.source(), "Ambrel_Core.Spital.Save");
    EXPECT_TRUE(s->get_IsDirty() && s->get_IsNew());
    EXPECT_EQ(connection()->transactionLevel(), 0);
    EXPECT_EQ(count("Nom_Spitale"), "0");

    // Save(False) leaves the caller's transaction to the caller.
    auto ok = create<vb::_Spital>(vb::ProgId::Spital);
    ok->put_CodSpital("H1");
    ok->put_DenSpital("Bun");
    connection()->BeginTrans();
    ASSERT_TRUE(ok->Save(false));
    EXPECT_EQ(errorOf([&] { s->Save(false); }).source(), "Ambrel_Core.Spital.Save");
    EXPECT_EQ(connection()->transactionLevel(), 1);
    connection()->RollbackTrans();
    EXPECT_EQ(count("Nom_Spitale"), "0");

    // An update that fails leaves the stored row as it was.
    ok->put_DenSpital("Bun 2");
    ASSERT_TRUE(ok->Save());
    ok->put_CodSpital("REFUZ");
    EXPECT_EQ(errorOf([&] { ok->Save(); }).source(), "Ambrel_Core.Spital.Save");
    EXPECT_EQ(scalar("Select CodSpital From Nom_Spitale"), "H1");
    EXPECT_TRUE(ok->get_IsDirty());
}

TEST_F(SaveTest, WardSavesItsTripleAndNotItsTypeName) {
    exec("INSERT INTO Lista_Sectii (IdSectie, CodSectie, SectieNume) VALUES (11, 'A', 'ATI')");
    auto w = create<vb::_Sectie>(vb::ProgId::Sectie);
    w->put_IdSpital(5, true);
    w->put_IdSectie(11);
    w->put_NrSectie(2);
    w->put_CodSectie("ignorat");
    ASSERT_TRUE(w->Save());
    const int32_t id = w->get_IdSectieFiltrat();
    EXPECT_EQ(scalar("Select IdSpital || '/' || IdSectie || '/' || NrSectie From Lista_Sectii___Filtrat"), "5/11/2");

    auto loaded = create<vb::_Sectie>(vb::ProgId::Sectie);
    ASSERT_TRUE(loaded->Load(id));
    EXPECT_EQ(loaded->get_CodSectie(), "");
    loaded->put_NrSectie(3);
    ASSERT_TRUE(loaded->Save());
    int32_t spital = -9, sectie = -9, nr = -9;
    loaded->GetInfoSectieFiltrat(id, spital, sectie, nr);
    EXPECT_EQ(std::tie(spital, sectie, nr), std::make_tuple(5, 11, 3));
    loaded->GetInfoSectieFiltrat(999, spital, sectie, nr);
    EXPECT_EQ(std::tie(spital, sectie, nr), std::make_tuple(0, 0, 0));

    loaded->Delete();
    ASSERT_TRUE(loaded->Save());
    EXPECT_EQ(count("Lista_Sectii___Filtrat"), "0");

    // A stored ward numbered 0 loads without broken rules; its copy breaks the number rule.
    exec("INSERT INTO Lista_Sectii___Filtrat (IdSectieFiltrat, IdSpital, IdSectie, NrSectie) VALUES (40, 5, 11, 0)");
    ASSERT_TRUE(loaded->Load(40));
    EXPECT_TRUE(loaded->get_IsValid());
    EXPECT_FALSE(loaded->CopyMe()->get_IsValid());
}

// The cost sheets of a ward hang on its hospital, type and number: Save keeps every sheet
// reachable through a ward and refuses a second ward with the same three.
class WardSaveTest : public SaveTest {
protected:
    void SetUp() override {
        SaveTest::SetUp();
        exec(
            "INSERT INTO Lista_Sectii (IdSectie, CodSectie, SectieNume) VALUES (11, 'A', 'ATI'), (12, 'B', "
            "'Chirurgie')");
        exec(
            "INSERT INTO Lista_Sectii___Filtrat (IdSectieFiltrat, IdSpital, IdSectie, NrSectie) VALUES "
            "(21, 5, 11, 2), (22, 5, 12, 1)");
    }
    void addSheets(int32_t idSpital, int32_t idSectie, int32_t nrSectie, int periods) {
        for (int p = 1; p <= periods; ++p)
            exec("INSERT INTO Velmora_Sectie (IdPerioada, IdSpital, IdSectie, NrSectie) VALUES (" + std::to_string(p) +
                 ", " + std::to_string(idSpital) + ", " + std::to_string(idSectie) + ", " + std::to_string(nrSectie) +
                 ")");
    }
    ComPtr<vb::_Sectie> loaded(int32_t id) {
        auto w = create<vb::_Sectie>(vb::ProgId::Sectie);
        EXPECT_TRUE(w->Load(id));
        return w;
    }
    std::string triple(int32_t id) {
        return scalar(
            "Select IdSpital || '/' || IdSectie || '/' || NrSectie From Lista_Sectii___Filtrat "
            "Where IdSectieFiltrat=" +
            std::to_string(id));
    }
    static void expectRefused(const com::Error& e, int32_t number, const std::string& text) {
        EXPECT_EQ(e.number(), number);
        EXPECT_EQ(e.source(), "Ambrel_Core.Sectie.Save");
        EXPECT_EQ(e.description(), text);
    }
};

constexpr int32_t kDuplicate = -2147221502;
constexpr int32_t kChangeWithSheets = -2147221501;
constexpr int32_t kDeleteWithSheets = -2147221500;
constexpr const char* kDuplicateText = "Exista deja o sectie de acest tip cu acest numar la spitalul specificat.";

TEST_F(WardSaveTest, ASecondWardWithTheSameHospitalTypeAndNumberIsRefused) {
    auto w = create<vb::_Sectie>(vb::ProgId::Sectie);
    w->put_IdSpital(5, true);
    w->put_IdSectie(11);
    w->put_NrSectie(2);
    expectRefused(errorOf([&] { w->Save(); }), kDuplicate, kDuplicateText);
    EXPECT_EQ(count("Lista_Sectii___Filtrat"), "2");
    EXPECT_TRUE(w->get_IsNew());
    EXPECT_TRUE(w->get_IsDirty());
    EXPECT_EQ(w->get_IdSectieFiltrat(), 0);

    // Inside the caller's transaction the refusal leaves that transaction to the caller.
    connection()->BeginTrans();
    expectRefused(errorOf([&] { w->Save(false); }), kDuplicate, kDuplicateText);
    connection()->RollbackTrans();

    // Another number, or the same type and number in another hospital, is a ward of its own.
    w->put_NrSectie(3);
    ASSERT_TRUE(w->Save());
    auto other = create<vb::_Sectie>(vb::ProgId::Sectie);
    other->put_IdSpital(7, true);
    other->put_IdSectie(11);
    other->put_NrSectie(2);
    ASSERT_TRUE(other->Save());
    EXPECT_EQ(count("Lista_Sectii___Filtrat"), "4");

    // A change onto a triple another ward has is refused; the stored row stays.
    auto changed = loaded(22);
    changed->put_IdSectie(11);
    changed->put_NrSectie(2);
    expectRefused(errorOf([&] { changed->Save(); }), kDuplicate, kDuplicateText);
    EXPECT_EQ(triple(22), "5/12/1");
    EXPECT_TRUE(changed->get_IsDirty());
    // Saving a ward whose triple did not change meets only itself.
    auto same = loaded(21);
    same->put_NrSectie(7);
    same->put_NrSectie(2);
    ASSERT_TRUE(same->Save());
    EXPECT_EQ(triple(21), "5/11/2");
}

TEST_F(WardSaveTest, AWardWithSheetsKeepsItsTypeAndNumberAndStays) {
    addSheets(5, 11, 2, 3);
    addSheets(5, 11, 9, 1);  // another ward's sheet of the same type
    auto w = loaded(21);
    w->put_NrSectie(4);
    expectRefused(errorOf([&] { w->Save(); }), kChangeWithSheets,
                  "Sectia are 3 fise de cost inregistrate; tipul si numarul ei nu pot fi modificate.");
    EXPECT_EQ(triple(21), "5/11/2");
    EXPECT_TRUE(w->get_IsDirty());
    EXPECT_FALSE(w->get_IsNew());

    w = loaded(21);
    w->put_IdSectie(12);
    expectRefused(errorOf([&] { w->Save(); }), kChangeWithSheets,
                  "Sectia are 3 fise de cost inregistrate; tipul si numarul ei nu pot fi modificate.");
    w = loaded(21);
    w->put_IdSpital(7);  // moved to another hospital, its sheets would be left behind as well
    expectRefused(errorOf([&] { w->Save(); }), kChangeWithSheets,
                  "Sectia are 3 fise de cost inregistrate; tipul si numarul ei nu pot fi modificate.");
    EXPECT_EQ(triple(21), "5/11/2");

    w = loaded(21);
    w->Delete();
    expectRefused(errorOf([&] { w->Save(); }), kDeleteWithSheets,
                  "Sectia are 3 fise de cost inregistrate si nu poate fi stearsa.");
    EXPECT_EQ(triple(21), "5/11/2");
    EXPECT_TRUE(w->get_IsDeleted());
    EXPECT_TRUE(w->get_IsDirty());
    EXPECT_EQ(count("Velmora_Sectie"), "4");

    // The ward without sheets is changed and deleted as before.
    auto plain = loaded(22);
    plain->put_NrSectie(5);
    ASSERT_TRUE(plain->Save());
    EXPECT_EQ(triple(22), "5/12/5");
    plain->Delete();
    ASSERT_TRUE(plain->Save());
    EXPECT_EQ(count("Lista_Sectii___Filtrat"), "1");
}

// A database may hold two wards with the same triple from before: their sheets stay
// reachable through the one left, so either may go or be renumbered, but not the last.
TEST_F(WardSaveTest, TwinWardsFromBeforeStayUsable) {
    exec("INSERT INTO Lista_Sectii___Filtrat (IdSectieFiltrat, IdSpital, IdSectie, NrSectie) VALUES (23, 5, 11, 2)");
    addSheets(5, 11, 2, 2);
    auto twin = loaded(23);
    twin->put_IsDirty(true);
    ASSERT_TRUE(twin->Save());  // unchanged: no refusal for the pair it is part of
    twin->put_NrSectie(3);
    ASSERT_TRUE(twin->Save());
    EXPECT_EQ(triple(23), "5/11/3");
    twin->put_NrSectie(2);
    expectRefused(errorOf([&] { twin->Save(); }), kDuplicate, kDuplicateText);
    twin = loaded(23);
    twin->Delete();
    ASSERT_TRUE(twin->Save());

    exec("INSERT INTO Lista_Sectii___Filtrat (IdSectieFiltrat, IdSpital, IdSectie, NrSectie) VALUES (24, 5, 11, 2)");
    auto first = loaded(24);
    first->Delete();
    ASSERT_TRUE(first->Save());
    auto last = loaded(21);
    last->Delete();
    expectRefused(errorOf([&] { last->Save(); }), kDeleteWithSheets,
                  "Sectia are 2 fise de cost inregistrate si nu poate fi stearsa.");
    EXPECT_EQ(triple(21), "5/11/2");
}

}  // namespace
}  // namespace businesstest
