// The marks of the business-object pattern and the events of the edited entities on each
// transition; the read-only registers raise nothing.
#include "BusinessFixture.h"

namespace businesstest {
namespace {

using Events = std::vector<std::string>;

class MarksTest : public BusinessTest {
protected:
    void SetUp() override {
        BusinessTest::SetUp();
        exec("INSERT INTO Nom_Spitale (IdSpital, CodSpital, DenSpital, IdJudet) VALUES (7, 'H7', 'Spitalul 7', 3)");
        exec("INSERT INTO Nom_Spitale (IdSpital, CodSpital, DenSpital, IdJudet) VALUES (8, 'H8', '', 3)");
    }
    static std::string marks(vb::_Spital& s) {
        return std::string(s.get_IsNew() ? "N" : "-") + (s.get_IsDirty() ? "D" : "-") + (s.get_IsDeleted() ? "X" : "-");
    }
};

TEST_F(MarksTest, BlankHospitalHasBothRulesBroken) {
    auto s = create<vb::_Spital>(vb::ProgId::Spital);
    EXPECT_EQ(marks(*s), "N--");
    EXPECT_EQ(s->get_IdSpital(), 0);
    EXPECT_EQ(s->get_IdJudet(), -1);
    EXPECT_EQ(s->get_CodSpital(), "");
    EXPECT_FALSE(s->get_IsValid());
    EXPECT_EQ(s->get_Errors()->get_BrokenRules(),
              "\r\nCodul spitalului trebuie sa fie completat.\r\nDenumirea spitalului trebuie completata.");
}

TEST_F(MarksTest, TransitionsRaiseOnDirtyAndValid) {
    auto s = create<vb::_Spital>(vb::ProgId::Spital);
    auto log = edited(*s, vb::__Spital::iid);

    s->put_CodSpital("H1");
    EXPECT_EQ(log.take(), (Events{"OnDirty(True)"}));
    s->put_CodSpital("H1");  // the same value: rule evaluated again, no mark, no event
    EXPECT_TRUE(log.take().empty());
    s->put_DenSpital("  ");  // blanks count as filled in
    EXPECT_EQ(log.take(), (Events{"Valid(True)", "OnDirty(True)"}));
    EXPECT_TRUE(s->get_IsValid());
    s->put_CodSpital("");
    EXPECT_EQ(log.take(), (Events{"Valid(False)", "OnDirty(True)"}));
    s->put_IdJudet(4);  // the county stores only
    EXPECT_TRUE(log.take().empty());
    s->put_IsDirty(true);  // every write of IsDirty raises, changed or not
    EXPECT_EQ(log.take(), (Events{"OnDirty(True)"}));

    s->put_IsDirty(false);
    log.take();
    s->Delete();
    EXPECT_EQ(marks(*s), "NDX");
    s->UnDelete();
    EXPECT_EQ(marks(*s), "ND-");
    EXPECT_EQ(log.take(), (Events{"OnDirty(True)", "OnDirty(True)"}));

    // Clear: blank again without OnDirty; the new list breaks both rules again, while a
    // reference to the old list keeps what it held.
    auto oldErrors = s->get_Errors();
    s->Clear();
    EXPECT_EQ(marks(*s), "N--");
    EXPECT_EQ(log.take(), (Events{"Valid(False)", "Valid(False)"}));
    EXPECT_NE(s->get_Errors(), oldErrors);
    EXPECT_EQ(oldErrors->get_Count(), 1);
    oldErrors->RuleBroken("Codul spitalului trebuie sa fie completat.", false);
    EXPECT_TRUE(log.take().empty());
}

TEST_F(MarksTest, LoadAndCopyMe) {
    auto s = create<vb::_Spital>(vb::ProgId::Spital);
    auto log = edited(*s, vb::__Spital::iid);
    EXPECT_FALSE(s->Load(99));
    EXPECT_EQ(marks(*s), "N--");
    EXPECT_EQ(log.take(), (Events{"Valid(False)", "Valid(False)"}));

    ASSERT_TRUE(s->Load(8));  // a stored empty name breaks no rule after Load
    EXPECT_EQ(marks(*s), "---");
    EXPECT_TRUE(s->get_IsValid());
    EXPECT_EQ(log.take(), (Events{"Valid(False)", "Valid(False)", "Valid(True)", "OnDirty(False)"}));
    EXPECT_EQ(s->get_DenSpital(), "");
    EXPECT_EQ(s->get_IdJudet(), 3);

    // The copy's rules follow its values; its marks equal the source's.
    auto copy = s->CopyMe();
    EXPECT_EQ(marks(*copy), "---");
    EXPECT_EQ(copy->get_IdSpital(), 8);
    EXPECT_EQ(copy->get_Errors()->get_BrokenRules(), "\r\nDenumirea spitalului trebuie completata.");
    s->Delete();
    EXPECT_EQ(marks(*s->CopyMe()), "-DX");
    EXPECT_TRUE(log.take().size() == 1);
    copy->put_CodSpital("Z");
    EXPECT_EQ(s->get_CodSpital(), "H8");
}

TEST_F(MarksTest, WardRulesAndTheNoDirtyFlag) {
    auto w = create<vb::_Sectie>(vb::ProgId::Sectie);
    auto log = edited(*w, vb::__Sectie::iid);
    EXPECT_EQ(w->get_Errors()->get_BrokenRules(),
              "\r\nSectia de lucru trebuie specificata.\r\nNumarul sectiei de lucru trebuie specificat.");
    w->put_IdSpital(4, true);
    EXPECT_EQ(w->get_IdSpital(), 4);
    EXPECT_FALSE(w->get_IsDirty());
    w->put_NrSectie(0, true);
    EXPECT_FALSE(w->get_IsDirty());
    EXPECT_TRUE(log.take().empty());
    w->put_IdSectie(5);
    w->put_IdSectie(5);
    EXPECT_EQ(log.take(), (Events{"OnDirty(True)"}));
    EXPECT_EQ(w->get_Errors()->get_Count(), 1);
    w->put_NrSectie(-3);  // negative numbers pass
    EXPECT_EQ(log.take(), (Events{"Valid(True)", "OnDirty(True)"}));
    w->put_IdSectie(-1);
    EXPECT_EQ(log.take(), (Events{"Valid(False)", "OnDirty(True)"}));
    w->put_IdSectie(0);  // only -1 means not chosen
    EXPECT_TRUE(w->get_IsValid());
}

TEST_F(MarksTest, ReadOnlyRegistersRaiseNothingAndMarkOnDelete) {
    exec("INSERT INTO Nom_Judete (IdJudet, DenJudet) VALUES (1, 'Alba')");
    auto j = create<vb::_Judet>(vb::ProgId::Judet);
    EXPECT_FALSE(j->Load(2));
    EXPECT_EQ(j->get_IdJudet(), 0);
    ASSERT_TRUE(j->Load(1));
    j->put_DenJudet("Arad");
    EXPECT_FALSE(j->get_IsDirty());
    j->Delete();
    EXPECT_TRUE(j->get_IsDeleted());
    EXPECT_TRUE(j->get_IsDirty());
    auto copy = j->CopyMe();
    EXPECT_EQ(copy->get_DenJudet(), "Arad");
    EXPECT_TRUE(copy->get_IsDeleted() && copy->get_IsDirty() && !copy->get_IsNew());

    auto p = create<vb::_Perioada>(vb::ProgId::Perioada);
    p->put_Perioada("Ianuarie");
    EXPECT_FALSE(p->get_IsDirty());
    p->Delete();
    p->UnDelete();
    EXPECT_FALSE(p->get_IsDeleted());
    EXPECT_TRUE(p->get_IsDirty());
    p->Clear();
    EXPECT_TRUE(p->get_IsNew() && !p->get_IsDirty() && p->get_Perioada().empty());
}

}  // namespace
}  // namespace businesstest
