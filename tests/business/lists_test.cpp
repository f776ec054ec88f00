// LoadList of every register: order, keys ":"+id, appended clauses, Null columns, and the
// keyed collection members shared by every list.
#include "BusinessFixture.h"

namespace businesstest {
namespace {

class ListsTest : public BusinessTest {
protected:
    void SetUp() override {
        BusinessTest::SetUp();
        exec("INSERT INTO Nom_Judete (IdJudet, DenJudet) VALUES (1, 'Cluj'), (2, 'Alba'), (3, 'Bihor')");
        exec(
            "INSERT INTO Nom_Spitale (IdSpital, CodSpital, DenSpital, IdJudet) VALUES "
            "(7, 'H2', 'Beta', 1), (5, 'H1', 'Alpha', 1), (9, 'H3', '', 2)");
        exec(
            "INSERT INTO Nom_Perioade (IdPerioada, DenPerioada) VALUES (3, 'Martie'), (1, 'Ianuarie'), (2, "
            "'Februarie')");
        exec(
            "INSERT INTO Rapoarte (IdRaport, DenRaport, IdParinte, TipRaport, Parametrii, Locatie) VALUES "
            "(1, 'Rapoarte', NULL, 'F', NULL, NULL), (2, 'Costuri', 1, 'R', 'p1', 'r/costuri.xml')");
        exec(
            "INSERT INTO Lista_Sectii (IdSectie, CodSectie, SectieNume) VALUES (12, 'B', 'Chirurgie'), (11, 'A', "
            "'ATI')");
        exec(
            "INSERT INTO Lista_Sectii___Filtrat (IdSectieFiltrat, IdSpital, IdSectie, NrSectie) VALUES "
            "(21, 5, 12, 1), (22, 5, 11, 0), (23, 7, 11, 2)");
    }
    template <class List>
    static std::string keys(List& list) {
        std::string text;
        for (int32_t i = 1; i <= list.get_Count(); ++i) text += list.Key(list.get_Item(Variant(i)));
        return text;
    }
};

TEST_F(ListsTest, OrderKeysAndClauses) {
    auto judete = create<vb::_Judet>(vb::ProgId::Judet)->LoadList();
    EXPECT_EQ(keys(*judete), ":2:3:1");  // name order
    EXPECT_EQ(judete->get_Item(Variant(":1"))->get_DenJudet(), "Cluj");

    auto spital = create<vb::_Spital>(vb::ProgId::Spital);
    auto spitale = spital->LoadList(" WHERE a.IdJudet=1");
    EXPECT_EQ(keys(*spitale), ":5:7");     // code order
    EXPECT_EQ(spital->get_IdSpital(), 0);  // the object asked is unchanged
    auto all = spital->LoadList();
    ASSERT_EQ(all->get_Count(), 3);
    auto listed = all->get_Item(Variant(":9"));
    EXPECT_FALSE(listed->get_IsNew() || listed->get_IsDirty());
    EXPECT_EQ(listed->get_Errors()->get_BrokenRules(), "\r\nDenumirea spitalului trebuie completata.");
    auto none = spital->LoadList(" WHERE a.IdJudet=99");
    ASSERT_TRUE(none);
    EXPECT_EQ(none->get_Count(), 0);

    auto perioade = create<vb::_Perioada>(vb::ProgId::Perioada)->LoadList(" WHERE a.IdPerioada>1");
    EXPECT_EQ(keys(*perioade), ":2:3");
    EXPECT_EQ(perioade->get_Item(Variant(int32_t{2}))->get_Perioada(), "Martie");

    auto sectii = create<vb::_Sectie>(vb::ProgId::Sectie)->LoadList(" WHERE a.IdSpital=5");
    EXPECT_EQ(keys(*sectii), ":22:21");  // type code order
    auto ward = sectii->get_Item(Variant(":22"));
    EXPECT_EQ(ward->get_CodSectie(), "ATI");
    EXPECT_EQ(ward->get_Errors()->get_BrokenRules(), "\r\nNumarul sectiei de lucru trebuie specificat.");

    // A clause that is no SQL fails through the convention.
    const com::Error e = errorOf([&] { spital->LoadList("WHERE nonsense ((("); });
    EXPECT_EQ(e.source(), "Ambrel_Core.Spital.LoadList");
}

TEST_F(ListsTest, ReportNodesReadNullsAsEmpty) {
    auto raport = create<vb::_Raport>(vb::ProgId::Raport);
    auto list = raport->LoadList();
    EXPECT_EQ(keys(*list), ":1:2");
    auto root = list->get_Item(Variant(":1"));
    EXPECT_EQ(root->get_IdParinte(), 0);
    EXPECT_EQ(root->get_Parametrii(), "");
    EXPECT_EQ(root->get_Locatie(), "");
    exec("UPDATE Rapoarte SET Parametrii='', Locatie='' WHERE IdRaport=1");
    ASSERT_TRUE(raport->Load(1));  // a folder node loads by id as well
    EXPECT_EQ(raport->get_IdParinte(), 0);
    EXPECT_EQ(raport->get_Locatie(), "");
    ASSERT_TRUE(raport->Load(2));
    EXPECT_EQ(raport->get_IdParinte(), 1);
    EXPECT_EQ(raport->get_Locatie(), "r/costuri.xml");
    auto copy = raport->CopyMe();
    EXPECT_EQ(copy->get_IdParinte(), 1);
    EXPECT_EQ(copy->get_Parametrii(), "p1");
    EXPECT_FALSE(copy->get_IsNew() || copy->get_IsDirty());

    exec("UPDATE Rapoarte SET DenRaport=NULL WHERE IdRaport=2");
    const com::Error e = errorOf([&] { raport->Load(2); });
    EXPECT_EQ(e.number(), com::errc::InvalidUseOfNull);
    EXPECT_EQ(e.source(), "Ambrel_Core.Raport.Load");
    EXPECT_EQ(errorOf([&] { raport->LoadList(); }).source(), "Ambrel_Core.Raport.LoadList");
}

TEST_F(ListsTest, ReportNodeWithANullKindParametersOrFileFailsLoadOnly) {
    auto raport = create<vb::_Raport>(vb::ProgId::Raport);
    for (const char* column : {"TipRaport", "Parametrii", "Locatie"}) {
        SCOPED_TRACE(column);
        exec("UPDATE Rapoarte SET TipRaport='R', Parametrii='p1', Locatie='r/costuri.xml' WHERE IdRaport=2");
        exec(std::string("UPDATE Rapoarte SET ") + column + "=NULL WHERE IdRaport=2");
        const com::Error e = errorOf([&] { raport->Load(2); });
        EXPECT_EQ(e.number(), com::errc::InvalidUseOfNull);
        EXPECT_EQ(e.source(), "Ambrel_Core.Raport.Load");
        // The list reads the same row with "" in place of the Null.
        auto node = raport->LoadList()->get_Item(Variant(":2"));
        ASSERT_TRUE(node);
        const std::string kind = node->get_TipRaport(), text = node->get_Parametrii(), file = node->get_Locatie();
        EXPECT_EQ(kind + "|" + text + "|" + file, std::string(column) == "TipRaport"    ? "|p1|r/costuri.xml"
                                                  : std::string(column) == "Parametrii" ? "R||r/costuri.xml"
                                                                                        : "R|p1|");
    }
}

TEST_F(ListsTest, NullIdOrTextFailsLoadAndLoadList) {
    exec("INSERT INTO Nom_Spitale (IdSpital, CodSpital, DenSpital, IdJudet) VALUES (11, NULL, 'X', 1)");
    auto spital = create<vb::_Spital>(vb::ProgId::Spital);
    const com::Error load = errorOf([&] { spital->Load(11); });
    EXPECT_EQ(load.number(), com::errc::InvalidUseOfNull);
    EXPECT_EQ(load.source(), "Ambrel_Core.Spital.Load");
    EXPECT_EQ(errorOf([&] { spital->LoadList(); }).source(), "Ambrel_Core.Spital.LoadList");
}

TEST_F(ListsTest, CollectionMembers) {
    auto spitale = create<vb::_Spital>(vb::ProgId::Spital)->LoadList();
    EXPECT_FALSE(spitale->get_Item(Variant(int32_t{0})));
    EXPECT_FALSE(spitale->get_Item(Variant(int32_t{4})));
    EXPECT_FALSE(spitale->get_Item(Variant(":8")));
    EXPECT_EQ(spitale->get_Item(Variant(int32_t{1}))->get_CodSpital(), "H1");

    auto extra = create<vb::_Spital>(vb::ProgId::Spital);
    EXPECT_TRUE(spitale->AddExisting(extra, ":100"));
    EXPECT_FALSE(spitale->AddExisting(extra, ":100"));
    EXPECT_FALSE(spitale->AddExisting(extra, ":5"));
    EXPECT_EQ(spitale->get_Count(), 4);
    EXPECT_TRUE(spitale->AddExisting(extra));
    EXPECT_EQ(spitale->get_Item(Variant(int32_t{5})), extra);
    EXPECT_EQ(spitale->Key(extra), ":0");
    EXPECT_EQ(errorOf([&] { spitale->Key(nullptr); }).number(), com::errc::ObjectNotSet);

    spitale->Remove(Variant(":7"));
    EXPECT_EQ(errorOf([&] { spitale->Remove(Variant(":7")); }).number(), com::errc::InvalidProcedureCall);
    EXPECT_EQ(errorOf([&] { spitale->Remove(Variant(int32_t{9})); }).number(), com::errc::SubscriptOutOfRange);
    EXPECT_EQ(spitale->get_Count(), 4);

    std::string seen;
    auto items = spitale->get_NewEnum();
    for (Variant v; items->Next(v);) seen += com::getProperty(*v.toDispatch(), "CodSpital").toString() + ",";
    EXPECT_EQ(seen, "H1,H3,,,");

    // Late-bound through the default member and the enumerator's dispatch id.
    auto& dispatch = static_cast<com::IDispatch&>(*spitale);
    std::vector<Variant> args{Variant(":5")};
    const Variant byKey = dispatch.Invoke(com::dispid::Value, com::InvokeKind::PropertyGet, args);
    EXPECT_EQ(com::getProperty(*byKey.toDispatch(), "IdSpital").toLong(), 5);
    spitale->Clear();
    EXPECT_EQ(spitale->get_Count(), 0);
}

// A listed object answers and raises as one made by hand: its rules follow its values,
// and once watched its changes raise Valid and OnDirty, a copy keeps the same rules.
TEST_F(ListsTest, ListedObjectsKeepTheirRulesAndEvents) {
    auto all = create<vb::_Spital>(vb::ProgId::Spital)->LoadList();
    auto listed = all->get_Item(Variant(":9"));
    EXPECT_FALSE(listed->get_IsValid());
    auto copy = listed->CopyMe();
    EXPECT_EQ(copy->get_Errors()->get_BrokenRules(), "\r\nDenumirea spitalului trebuie completata.");
    EventLog log = edited(*listed, vb::__Spital::iid);
    listed->put_CodSpital("");
    EXPECT_EQ(log.take(), (std::vector<std::string>{"Valid(False)", "OnDirty(True)"}));
    EXPECT_EQ(listed->get_Errors()->get_BrokenRules(),
              "\r\nDenumirea spitalului trebuie completata.\r\nCodul spitalului trebuie sa fie completat.");
    listed->put_CodSpital("H9");
    listed->put_DenSpital("Gama");
    EXPECT_TRUE(listed->get_IsValid());
    EXPECT_EQ(log.take(), (std::vector<std::string>{"OnDirty(True)", "Valid(True)", "OnDirty(True)"}));
    EXPECT_EQ(copy->get_Errors()->get_Count(), 1);  // the copy has a list of its own

    auto good = all->get_Item(Variant(":5"));
    EXPECT_TRUE(good->get_IsValid());
    EXPECT_EQ(good->get_Errors()->get_Count(), 0);
    good->Clear();  // a cleared object breaks every rule again
    EXPECT_EQ(good->get_Errors()->get_Count(), 2);
}

}  // namespace
}  // namespace businesstest
