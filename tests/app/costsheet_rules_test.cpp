// The consistency rules on real cost sheets: what each rule accepts and refuses at its
// edges, the order of the listed rules, and a sum beyond the currency range.
#include <gtest/gtest.h>

#include <string>

#include "com/currency.h"
#include "com/error.h"
#include "forms/business.h"
#include "costsheet_support.h"
#include "screens/costsheet_rules.h"
#include "typelib/business/CostSheets.h"
#include "support.h"

namespace {

using com::Currency;
using velmora::CostSheetKind;

const std::string kHeading = "Erori in antetul obiectului:";
const std::string kPeriod = "Perioada de raportare trebuie specificata.";
const std::string kHospital = "Spitalul trebuie specificat.";
const std::string kWard = "Sectia trebuie specificata.";

std::string message(CostSheetKind kind, std::size_t rule) {
    return std::string(velmora::consistencyRules(kind)[rule - 1].message);
}

std::string box(std::initializer_list<std::string> rules) {
    std::string text = kHeading;
    for (const auto& rule : rules) text += "\r\n" + rule;
    return text + "\r\n\r\n\r\n";
}

class Rules : public ::testing::Test {
protected:
    void SetUp() override { useSheet(CostSheetKind::Spital); }

    void useSheet(CostSheetKind newKind) {
        kind = newKind;
        object = test::newBusinessObject(kind == CostSheetKind::Spital ? "CostSpital" : "CostSectie");
        sheet = object.query<Velmora_Business::_CostSheet>();
        ASSERT_TRUE(sheet);
    }
    // The header chosen: only the form's own rules can be listed.
    void chooseHeader() {
        sheet->put_IdPerioada(1);
        com::putProperty(*object, kind == CostSheetKind::Spital ? "IdSpital" : "IdSectieFiltrat",
                         com::Variant(int32_t{1}));
    }
    void set(const std::string& name, int64_t whole) { sheet->put_Amount(name, Currency::fromInteger(whole)); }
    void setUnits(const std::string& name, int64_t units) { sheet->put_Amount(name, Currency::fromUnits(units)); }
    std::optional<std::string> check() { return velmora::checkConsistency(*object, kind); }

    test::ConnectedDatabase data;
    CostSheetKind kind = CostSheetKind::Spital;
    com::ComPtr<com::IDispatch> object;
    com::ComPtr<Velmora_Business::_CostSheet> sheet;
};

TEST_F(Rules, TheRulesAndTheirWords) {
    ASSERT_EQ(velmora::consistencyRules(CostSheetKind::Spital).size(), 8u);
    ASSERT_EQ(velmora::consistencyRules(CostSheetKind::Sectie).size(), 9u);
    EXPECT_EQ(message(CostSheetKind::Spital, 2),
              "Totalul cheltuielilor cu personalul trebuie sa fie mai mare sau egal cu suma totala a cheluielilor pe "
              "categorii de personal.");
    EXPECT_EQ(message(CostSheetKind::Spital, 4),
              "Totalul cheltuielilor cu salariile (alt personal sup. si farmacisti) trebuie sa fie mai mare sau egal "
              "cu suma elementelor componente.");
    EXPECT_EQ(velmora::consistencyRules(CostSheetKind::Sectie)[8].check, "CheckTotalArticol23");
}

TEST_F(Rules, AnEmptySheetListsTheHeaderRulesFirstThenTheFirstRule) {
    EXPECT_EQ(check(), box({kPeriod, kHospital, message(kind, 1)}));
    chooseHeader();
    EXPECT_EQ(check(), box({message(kind, 1)}));

    useSheet(CostSheetKind::Sectie);
    EXPECT_EQ(check(), box({kPeriod, kWard, message(kind, 1)}));
}

TEST_F(Rules, HeadCountsAloneSatisfyTheFirstRule) {
    chooseHeader();
    set("Angajati_4", 12);
    EXPECT_EQ(check(), std::nullopt);
    EXPECT_EQ(sheet->get_Errors()->get_Count(), 0);
}

// Every one of the 85 figures, the last of the ward sheet included, counts for the first
// rule, a negative one as well.
TEST_F(Rules, AnyOneFigureAloneSatisfiesTheFirstRule) {
    for (CostSheetKind sheetKind : {CostSheetKind::Spital, CostSheetKind::Sectie}) {
        const auto& fields = velmora::costSheetFields(sheetKind);
        ASSERT_EQ(fields.size(), 85u);
        for (const auto& field : fields) {
            useSheet(sheetKind);
            chooseHeader();
            set(field.tag, -1);
            const std::optional<std::string> text = check();
            EXPECT_TRUE(!text || text->find(message(kind, 1)) == std::string::npos) << field.tag << ": " << *text;
        }
    }
}

TEST_F(Rules, TotalsMayEqualTheirLinesButNotFallOneTenThousandthShort) {
    chooseHeader();
    set("c02_1", 300);
    set("c02_6", 200);
    set("c10_1", 100);
    set("c16_1", 200);
    set("c13_6", 200);
    set("TCP", 500);
    EXPECT_EQ(check(), std::nullopt);

    setUnits("TCP", 500 * Currency::Scale - 1);
    EXPECT_EQ(check(), box({message(kind, 2)}));
    setUnits("c13_6", 200 * Currency::Scale + 1);  // now also category 6 falls short
    EXPECT_EQ(check(), box({message(kind, 2), message(kind, 8)}));
}

TEST_F(Rules, ACategoryTotalOfZeroWithAPositiveLineFailsAndNegativeLinesLowerTheSum) {
    chooseHeader();
    set("TCP", 1000);
    set("c11_3", 5);
    EXPECT_EQ(check(), box({message(kind, 5)}));
    set("c12_3", -5);
    EXPECT_EQ(check(), std::nullopt);
}

TEST_F(Rules, CorrectedRulesLeaveTheListAndFailingOnesKeepTheirFirstPlace) {
    chooseHeader();
    set("c10_5", 10);  // rule 7 fails
    set("c10_2", 10);  // rule 4 fails
    set("TCP", 100);
    EXPECT_EQ(check(), box({message(kind, 4), message(kind, 7)}));
    set("c02_2", 10);  // rule 4 corrected
    set("c10_1", 10);  // rule 3 now fails: it enters after rule 7
    EXPECT_EQ(check(), box({message(kind, 7), message(kind, 3)}));
    set("c02_1", 10);
    set("c02_5", 10);
    EXPECT_EQ(check(), std::nullopt);
    EXPECT_EQ(sheet->get_Errors()->get_Count(), 0);
}

TEST_F(Rules, ASumBeyondTheCurrencyRangeRaisesOverflow) {
    chooseHeader();
    sheet->put_Amount("c02_1", Currency::max());
    sheet->put_Amount("c02_2", Currency::fromInteger(1));
    try {
        check();
        FAIL() << "the sum overflowed silently";
    } catch (const com::Error& e) {
        EXPECT_EQ(e.number(), com::errc::Overflow);
    }
}

TEST_F(Rules, TheWardSheetChecksArticle23AgainstItsParts) {
    useSheet(CostSheetKind::Sectie);
    chooseHeader();
    set("c23", 100);
    set("c23_01", 60);
    set("c23_02", 50);
    EXPECT_EQ(check(), box({message(kind, 9)}));
    set("c23_02", 40);  // 100 >= 60 + 40
    EXPECT_EQ(check(), std::nullopt);

    // The hospital sheet keeps article 23 summed: the rule does not exist there.
    useSheet(CostSheetKind::Spital);
    chooseHeader();
    set("c23_01", 60);
    EXPECT_EQ(check(), std::nullopt);
}

}  // namespace
