// The amount catalogue and the statements built from it, without a database.
#include <gtest/gtest.h>

#include "costs/amount_catalogue.h"
#include "costs/cost_statements.h"

namespace {

using Velmora_Business::amountCatalogue;
using Velmora_Business::AmountCount;
using Velmora_Business::amountIndex;
using Velmora_Business::SheetKind;

std::size_t at(std::string_view name) { return *amountIndex(name); }

// The hospital table's select list as the table layout fixes it, column by column.
constexpr std::string_view HospitalSave =
    "Select a.IdCost, a.IdPerioada, a.IdSpital, a.TCP, a.c02_1, a.c02_2, a.c02_3, a.c02_4, a.c02_5, a.c02_6, "
    "a.Angajati_1, a.Angajati_2, a.Angajati_3, a.Angajati_4, a.Angajati_5, a.Angajati_6, a.c10_1, a.c11_1, "
    "a.c12_1, a.c13_1, a.c14_1, a.c15_1, a.c16_1, a.c10_2, a.c11_2, a.c12_2, a.c13_2, a.c14_2, a.c15_2, a.c16_2, "
    "a.c10_3, a.c11_3, a.c12_3, a.c13_3, a.c14_3, a.c15_3, a.c16_3, a.c10_4, a.c11_4, a.c12_4, a.c13_4, a.c14_4, "
    "a.c15_4, a.c16_4, a.c10_5, a.c11_5, a.c12_5, a.c13_5, a.c14_5, a.c15_5, a.c16_5, a.c10_6, a.c11_6, a.c12_6, "
    "a.c13_6, a.c14_6, a.c15_6, a.c16_6, a.c22, a.c23, a.c23_01, a.c23_02, a.c23_03, a.c23_04, a.c24, a.c24_01, "
    "a.c24_02, a.c24_03, a.c24_04, a.c24_05, a.c24_06, a.c24_07, a.c25, a.c25_01, a.c25_02, a.c25_03, a.c25_04, "
    "a.c25_05, a.c25_06, a.c25_07, a.c25_08, a.c25_09, a.c26, a.c27, a.c28, a.c29, a.c30, a.c72 FROM "
    "Velmora_Spital a WHERE a.IdCost=";

TEST(CostCatalogue, StatementsWalkTheAmountsInTableOrder) {
    EXPECT_EQ(Velmora_Business::saveStatement(SheetKind::Hospital), HospitalSave);
    EXPECT_EQ(Velmora_Business::loadStatement(SheetKind::Hospital), HospitalSave);

    // The ward table: NrSectie after the head counts, IdSectie after IdSpital.
    const std::string& ward = Velmora_Business::saveStatement(SheetKind::Ward);
    EXPECT_EQ(ward.find("Select a.IdCost, a.IdPerioada, a.IdSpital, a.IdSectie, a.TCP, "), 0u);
    EXPECT_NE(ward.find("a.Angajati_6, a.NrSectie, a.c10_1, "), std::string::npos);
    EXPECT_TRUE(ward.ends_with("a.c72 FROM Velmora_Sectie a WHERE a.IdCost="));

    EXPECT_EQ(Velmora_Business::withId(ward, -12).substr(ward.size()), "-12");
    const std::string list = Velmora_Business::listStatement(SheetKind::Ward, " WHERE a.IdSpital=3");
    EXPECT_TRUE(list.ends_with("ON e.IdSectie = d.IdSectie WHERE a.IdSpital=3 Order By a.IdPerioada"));
    EXPECT_TRUE(Velmora_Business::listStatement(SheetKind::Hospital, "")
                    .ends_with("ON c.IdSpital = a.IdSpital  Order By a.IdPerioada"));
}

TEST(CostCatalogue, PositionsAndInterfaceSlots) {
    EXPECT_EQ(Velmora_Business::hospitalColumnPosition(at("c16_1")), 23u);
    EXPECT_EQ(Velmora_Business::hospitalColumnPosition(at("c72")), 88u);
    EXPECT_EQ(Velmora_Business::wardColumnPosition(at("Angajati_6")), 17u);
    EXPECT_EQ(Velmora_Business::wardColumnPosition(at("c10_1")), 19u);
    EXPECT_EQ(Velmora_Business::wardColumnPosition(at("c72")), 90u);

    // Every amount has its own slot; c23_04 is bound last, the budget lines first.
    std::vector<bool> seen(AmountCount);
    for (std::size_t i = 0; i < AmountCount; ++i) seen.at(Velmora_Business::interfaceSlot(i)) = true;
    EXPECT_EQ(std::count(seen.begin(), seen.end(), true), static_cast<long>(AmountCount));
    EXPECT_EQ(amountCatalogue[Velmora_Business::amountAtInterfaceSlot(0)].name, "c10_1");
    EXPECT_EQ(amountCatalogue[Velmora_Business::amountAtInterfaceSlot(42)].name, "c22");
    EXPECT_EQ(amountCatalogue[Velmora_Business::amountAtInterfaceSlot(47)].name, "c24");
    EXPECT_EQ(amountCatalogue[Velmora_Business::amountAtInterfaceSlot(71)].name, "TCP");
    EXPECT_EQ(amountCatalogue[Velmora_Business::amountAtInterfaceSlot(84)].name, "c23_04");

    EXPECT_FALSE(amountIndex("tcp"));
    EXPECT_EQ(Velmora_Business::amountIndexIgnoreCase("tcp"), 0u);
}

}  // namespace
