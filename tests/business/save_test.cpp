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
        exec("CREATE TRIGGER refuz BEFORE INSERT ON Nom_Spitale WHEN NEW.CodSpital='REFUZ' "
             "BEGIN SELECT RAISE(ABORT, 'refuzat de test'); END");
        exec("CREATE TRIGGER refuz2 BEFORE UPDATE ON Nom_Spitale WHEN NEW.CodSpital='REFUZ' "
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

}  // namespace
}  // namespace businesstest
