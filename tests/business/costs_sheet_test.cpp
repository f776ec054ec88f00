// The cost sheets' fields, group totals, marks, rules, events, Clear and CopyMe.
#include "costs_fixture.h"

#include "com/error.h"

namespace coststest {
namespace {

using namespace Velmora_Business;
using com::Currency;
using Strings = std::vector<std::string>;

std::vector<std::string> rulesOf(const com::ComPtr<_BrokenRules>& rules) {
    std::vector<std::string> texts;
    for (int16_t i = 1; i <= rules->get_Count(); ++i)
        texts.push_back(rules->get_Item(com::Variant(int32_t{i}))->get_Rule());
    return texts;
}

class CostSheetTest : public CostsTest {};

TEST_F(CostSheetTest, NewSheetsAreBlankAndInvalid) {
    auto hospital = newCostSpital();
    EXPECT_TRUE(hospital->get_IsNew());
    EXPECT_FALSE(hospital->get_IsDirty());
    EXPECT_FALSE(hospital->get_IsDeleted());
    EXPECT_EQ(hospital->get_IdCost(), 0);
    EXPECT_EQ(hospital->get_IdPerioada(), -1);
    EXPECT_EQ(hospital->get_IdSpital(), -1);
    EXPECT_EQ(hospital->get_Perioada(), "");
    EXPECT_EQ(hospital->get_Amount("c72"), Currency{});
    EXPECT_FALSE(hospital->get_IsValid());
    EXPECT_EQ(rulesOf(hospital->get_Errors()),
              (Strings{"Perioada de raportare trebuie specificata.", "Spitalul trebuie specificat."}));

    auto ward = newCostSectie();
    EXPECT_EQ(ward->get_IdSectieFiltrat(), -1);
    EXPECT_EQ(ward->get_IdSpital(), 0);
    EXPECT_EQ(ward->get_IdSectie(), 0);
    EXPECT_EQ(ward->get_NrSectie(), 0);
    EXPECT_EQ(ward->get_CodSectie(), "");
    EXPECT_EQ(rulesOf(ward->get_Errors()),
              (Strings{"Perioada de raportare trebuie specificata.", "Sectia trebuie specificata."}));
}

TEST_F(CostSheetTest, ALinkedGroupKeepsItsTotalAndPartsInStep) {
    auto sheet = newCostSpital();
    sheet->put_Amount("c24_01", money(50), true);
    sheet->put_Amount("c24", money(999), true);
    EventLog log = edited(*sheet, __CostSpital::iid);

    sheet->put_Amount("c24_03", money(100));
    EXPECT_EQ(sheet->get_Amount("c24"), money(150));
    EXPECT_EQ(log.take(), Strings{"OnDirty(True)"});
    sheet->put_Amount("c24", money(500));
    EXPECT_EQ(sheet->get_Amount("c24"), money(500));
    for (const char* part : {"c24_01", "c24_03", "c24_07"}) EXPECT_EQ(sheet->get_Amount(part), Currency{}) << part;
    EXPECT_EQ(log.take(), Strings{"OnDirty(True)"});

    // A total written equal to the sum of its parts still clears them; a change of one
    // ten-thousandth is a change.
    sheet->put_Amount("c24_01", money(5));
    sheet->put_Amount("c24", money(5) + Currency::fromUnits(1));
    EXPECT_EQ(sheet->get_Amount("c24_01"), Currency{});
    sheet->put_Amount("c24_01", money(2));
    sheet->put_Amount("c24", money(9), true);
    sheet->put_Amount("c24", money(2));
    EXPECT_EQ(sheet->get_Amount("c24_01"), Currency{});
    sheet->put_Amount("c24", money(500));
    log.take();

    // The same value again changes nothing, for a total as for a part.
    sheet->put_Amount("c24", money(500));
    sheet->put_Amount("c24_02", Currency{});
    EXPECT_EQ(sheet->get_Amount("c24"), money(500));
    EXPECT_TRUE(log.take().empty());

    // With bNotMakeDirty every let is a plain store.
    sheet->put_IsDirty(false, true);
    sheet->put_Amount("c23_02", money(3), true);
    EXPECT_EQ(sheet->get_Amount("c23"), Currency{});
    EXPECT_FALSE(sheet->get_IsDirty());
    EXPECT_TRUE(log.take().empty());
}

TEST_F(CostSheetTest, TheWardSheetLinksOnlyArticles24And25) {
    auto ward = newCostSectie();
    ward->put_Amount("c23", money(100));
    ward->put_Amount("c23_02", money(5));
    EXPECT_EQ(ward->get_Amount("c23"), money(100));
    ward->put_Amount("c23", money(7));
    EXPECT_EQ(ward->get_Amount("c23_02"), money(5));

    ward->put_Amount("c25_01", money(1));
    ward->put_Amount("c25_09", money(2));
    EXPECT_EQ(ward->get_Amount("c25"), money(3));
}

TEST_F(CostSheetTest, ASumOutOfRangeFailsWithoutMarkingTheSheet) {
    auto sheet = newCostSpital();
    sheet->put_Amount("c25_01", Currency::max(), true);
    EventLog log = edited(*sheet, __CostSpital::iid);
    try {
        sheet->put_Amount("c25_02", Currency::fromUnits(1));
        FAIL() << "expected an overflow";
    } catch (const com::Error& e) {
        EXPECT_EQ(e.number(), com::errc::Overflow);
    }
    EXPECT_EQ(sheet->get_Amount("c25_02"), Currency::fromUnits(1));
    EXPECT_EQ(sheet->get_Amount("c25"), Currency{});
    EXPECT_FALSE(sheet->get_IsDirty());
    EXPECT_TRUE(log.take().empty());
}

TEST_F(CostSheetTest, HeaderIdsBringTheirRulesInStepBeforeMarkingDirty) {
    auto sheet = newCostSpital();
    EventLog log = edited(*sheet, __CostSpital::iid);

    sheet->put_IdPerioada(7);
    EXPECT_EQ(log.take(), Strings{"OnDirty(True)"});
    sheet->put_IdSpital(3);  // the last rule goes: Valid comes before OnDirty
    EXPECT_EQ(log.take(), (Strings{"Valid(True)", "OnDirty(True)"}));
    EXPECT_TRUE(sheet->get_IsValid());
    sheet->put_IdPerioada(7);
    EXPECT_TRUE(log.take().empty());
    sheet->put_IdPerioada(0);  // 0 is a chosen value
    EXPECT_TRUE(sheet->get_IsValid());
    EXPECT_EQ(log.take(), Strings{"OnDirty(True)"});
    sheet->put_IdSpital(-1);
    EXPECT_EQ(log.take(), (Strings{"Valid(False)", "OnDirty(True)"}));

    // With bNotMakeDirty the rule still follows the value, the mark does not.
    auto other = newCostSpital();
    other->put_IdSpital(3, true);
    EXPECT_EQ(rulesOf(other->get_Errors()), Strings{"Perioada de raportare trebuie specificata."});
    EXPECT_FALSE(other->get_IsDirty());
}

TEST_F(CostSheetTest, MarksRaiseOnDirtyOnEveryWrite) {
    auto sheet = newCostSpital();
    EventLog log = edited(*sheet, __CostSpital::iid);
    sheet->put_IsDirty(false);
    sheet->put_IsDirty(true, true);
    EXPECT_EQ(log.take(), Strings{"OnDirty(False)"});
    EXPECT_TRUE(sheet->get_IsDirty());
    sheet->Delete();
    sheet->Delete();
    EXPECT_TRUE(sheet->get_IsDeleted());
    sheet->UnDelete();
    EXPECT_FALSE(sheet->get_IsDeleted());
    EXPECT_EQ(log.take(), (Strings{"OnDirty(True)", "OnDirty(True)", "OnDirty(True)"}));
}

TEST_F(CostSheetTest, TheWardSheetLooksItsWardUp) {
    auto ward = newCostSectie();
    ward->put_IdSectieFiltrat(7);
    EXPECT_EQ(ward->get_IdSpital(), 1);
    EXPECT_EQ(ward->get_IdSectie(), 12);
    EXPECT_EQ(ward->get_NrSectie(), 2);

    ward->put_IsDirty(false);
    ward->put_IdSectieFiltrat(99);  // no such ward: zeros, the rule cleared, the sheet dirty
    EXPECT_EQ(ward->get_IdSpital(), 0);
    EXPECT_EQ(ward->get_IdSectie(), 0);
    EXPECT_EQ(ward->get_NrSectie(), 0);
    EXPECT_EQ(rulesOf(ward->get_Errors()), Strings{"Perioada de raportare trebuie specificata."});
    EXPECT_TRUE(ward->get_IsDirty());

    ward->put_IsDirty(false);
    ward->put_IdSpital(4);
    EXPECT_EQ(ward->get_IdSpital(), 4);
    EXPECT_FALSE(ward->get_IsDirty());
}

TEST_F(CostSheetTest, ClearGivesANewRulesListAndRaisesNoOnDirty) {
    auto sheet = newCostSpital();
    sheet->put_IdPerioada(1);
    sheet->put_IdSpital(1);
    sheet->put_Amount("TCP", money(10));
    sheet->Delete();
    auto oldRules = sheet->get_Errors();
    oldRules->RuleBroken("client rule 1", true);
    oldRules->RuleBroken("client rule 2", true);

    EventLog log = edited(*sheet, __CostSpital::iid);
    sheet->Clear();
    EXPECT_TRUE(sheet->get_IsNew());
    EXPECT_FALSE(sheet->get_IsDirty());
    EXPECT_FALSE(sheet->get_IsDeleted());
    EXPECT_EQ(sheet->get_Amount("TCP"), Currency{});
    EXPECT_EQ(log.take(), (Strings{"Valid(False)", "Valid(False)"}));  // each header rule entering the new list
    EXPECT_EQ(rulesOf(sheet->get_Errors()).size(), 2u);
    EXPECT_EQ(rulesOf(oldRules), (Strings{"client rule 1", "client rule 2"}));
    EXPECT_NE(sheet->get_Errors().get(), oldRules.get());

    // ReSetBrokenRule(False) on the two header rules: one Valid(True).
    sheet->ReSetBrokenRule(false);
    EXPECT_EQ(log.take(), Strings{"Valid(True)"});
}

TEST_F(CostSheetTest, CopyMeCopiesValuesAndMarksAsTheyStand) {
    auto sheet = newCostSpital();
    sheet->put_IdPerioada(2);
    sheet->put_Perioada("Februarie 2024");
    sheet->put_Amount("c23_01", money(10));
    sheet->put_Amount("c23", money(99), true);  // a total that differs from its parts
    sheet->put_Amount("Angajati_3", Currency::fromUnits(25000));
    sheet->Delete();
    sheet->get_Errors()->RuleBroken("client rule", true);
    EventLog log = edited(*sheet, __CostSpital::iid);

    auto copy = sheet->CopyMe();
    EXPECT_TRUE(log.take().empty());
    EXPECT_TRUE(copy->get_IsNew());
    EXPECT_TRUE(copy->get_IsDirty());
    EXPECT_TRUE(copy->get_IsDeleted());
    EXPECT_EQ(copy->get_IdPerioada(), 2);
    EXPECT_EQ(copy->get_IdSpital(), -1);
    EXPECT_EQ(copy->get_Perioada(), "");
    EXPECT_EQ(copy->get_Amount("c23"), money(99));
    EXPECT_EQ(copy->get_Amount("c23_01"), money(10));
    EXPECT_EQ(copy->get_Amount("Angajati_3"), Currency::fromUnits(25000));
    EXPECT_EQ(rulesOf(copy->get_Errors()), Strings{"Spitalul trebuie specificat."});

    auto clean = newCostSpital()->CopyMe();
    EXPECT_FALSE(clean->get_IsDirty());
    EXPECT_FALSE(clean->get_IsDeleted());
}

TEST_F(CostSheetTest, AWardCopyKeepsTheWardFieldsOfTheSheetCopied) {
    auto ward = newCostSectie();
    ward->put_IdSectieFiltrat(7);
    exec("DELETE FROM Lista_Sectii___Filtrat WHERE IdSectieFiltrat=7");
    ward->put_CodSectie("CH---Chirurgie---2");
    auto copy = ward->CopyMe();
    EXPECT_EQ(copy->get_IdSectieFiltrat(), 7);
    EXPECT_EQ(copy->get_IdSpital(), 1);
    EXPECT_EQ(copy->get_IdSectie(), 12);
    EXPECT_EQ(copy->get_NrSectie(), 2);
    EXPECT_EQ(copy->get_CodSectie(), "");
    EXPECT_TRUE(copy->get_IsDirty());
}

TEST_F(CostSheetTest, AmountsAreMembersOfTheDispatchInterface) {
    auto sheet = newCostSpital();
    com::IDispatch& late = *sheet;
    com::putProperty(late, "c25_03", com::Variant(Currency::fromUnits(12345)));
    EXPECT_EQ(com::getProperty(late, "C25").toCurrency(), Currency::fromUnits(12345));
    EXPECT_TRUE(com::getProperty(late, "IsDirty").toBool());
    // The optional first argument bNotMakeDirty comes before the value.
    com::callByName(late, "c25", com::InvokeKind::PropertyPut, {com::Variant(true), com::Variant(money(1))});
    EXPECT_EQ(sheet->get_Amount("c25_03"), Currency::fromUnits(12345));
    EXPECT_THROW(com::getProperty(late, "c99"), com::Error);

    // Dispatch ids follow the interface's member order: the header, most amounts, the
    // methods, then the personnel totals, head counts and c23_04.
    auto id = [&](const char* name) { return *late.GetIDOfName(name); };
    EXPECT_EQ(id("IdSpital"), id("Perioada") + 1);
    EXPECT_EQ(id("c10_1"), id("IdSpital") + 1);
    EXPECT_EQ(id("c24"), id("c23_03") + 1);
    EXPECT_EQ(id("Clear"), id("c72") + 1);
    EXPECT_EQ(id("TCP"), id("CopyMe") + 1);
    EXPECT_EQ(id("c23_04"), id("Angajati_6") + 1);
    auto ward = newCostSectie();
    com::IDispatch& lateWard = *ward;
    EXPECT_EQ(*lateWard.GetIDOfName("c10_1"), *lateWard.GetIDOfName("NrSectie") + 1);
    EXPECT_THROW(sheet->get_Amount("tcp"), com::Error);
}

}  // namespace
}  // namespace coststest
