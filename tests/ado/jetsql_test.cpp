// The Jet dialect's translation, statement by statement form.
#include <gtest/gtest.h>

#include "ado/error.h"
#include "ado/jetsql.h"

using ado::translateJetSql;

TEST(JetSql, PlusBetweenTextsConcatenates) {
    EXPECT_EQ(translateJetSql("Select a.IdSpital, a.CodSpital + '---' + a.DenSpital From Nom_Spitale a"),
              "Select a.IdSpital, a.CodSpital || '---' || a.DenSpital From Nom_Spitale a");
    // No blank between the operator and its operand.
    EXPECT_EQ(translateJetSql("Select a.CodInformatie + '---' +a.DenInformatie As Informatie From T a"),
              "Select a.CodInformatie || '---' || a.DenInformatie As Informatie From T a");
    EXPECT_EQ(translateJetSql("Select b.CodSectie + '---' + Cstr(a.NrSectie) As X From T a"),
              "Select b.CodSectie || '---' || Cstr(a.NrSectie) As X From T a");
}

TEST(JetSql, NumericPlusAndTextInsideLiteralsStayAlone) {
    const std::string numeric = "Select a.x + 1, a.y+a.z From T a Where a.Id=-1 And a.c = 'a + b'";
    EXPECT_EQ(translateJetSql(numeric), numeric);
    EXPECT_EQ(translateJetSql("Select 'it''s' + a.x From T a"), "Select 'it''s' || a.x From T a");
}

TEST(JetSql, ConcatenationKeepsArithmeticOperandsTogether) {
    EXPECT_EQ(translateJetSql("Select 'n=' + a.x * 2 From T a"), "Select 'n=' || (a.x * 2) From T a");
    EXPECT_EQ(translateJetSql("Select f('a' + b) From T"), "Select f('a' || b) From T");
}

TEST(JetSql, AmpersandConcatenatesWithNullAsEmpty) {
    EXPECT_EQ(translateJetSql("Select a.x & a.y From T a"), "Select ifnull(a.x,'') || ifnull(a.y,'') From T a");
}

TEST(JetSql, DeleteWithAliasStar) {
    EXPECT_EQ(translateJetSql("DELETE a.* FROM Velmora_Sectie a WHERE a.IdPerioada<>3"),
              "DELETE FROM Velmora_Sectie AS a WHERE a.IdPerioada<>3");
    EXPECT_EQ(translateJetSql("DELETE * FROM T WHERE x=1"), "DELETE FROM T WHERE x=1");
    EXPECT_EQ(translateJetSql("DELETE FROM T"), "DELETE FROM T");
}

TEST(JetSql, UnreadableStatementsRaise) {
    for (const char* bad : {"Select 'abc From T", "Select (a From T", "Select a) From T", "Select [x From T"}) {
        try {
            translateJetSql(bad);
            ADD_FAILURE() << bad;
        } catch (const com::Error& e) {
            EXPECT_EQ(e.number(), ado::errc::BadSql);
        }
    }
    EXPECT_THROW(translateJetSql("Select 'a' + From T"), com::Error);
}
