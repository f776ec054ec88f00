// What the cost-sheet forms, the selection dialog and the configuration screen call of the
// two cost-sheet classes and their collections, as they call it: late-bound by name, and
// the row model's field list that names the forms' controls.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "com/error.h"
#include "com/events.h"
#include "forms/business.h"
#include "screens/costsheet_layout.h"
#include "costsheet_support.h"
#include "typelib/ModelLinie.h"
#include "typelib/business/CostSheets.h"
#include "support.h"

namespace {

using velmora::CostSheetKind;

std::vector<std::string> sheetMembers(const std::string& secondId) {
    std::vector<std::string> members{"Clear",   "Load",       "Save",   "Delete", "CopyMe",   "IsNew",
                                     "IsDirty", "IdPerioada", "Errors", "IdCost", "LoadList", secondId};
    for (const auto& spec : velmora::costSheetFields(CostSheetKind::Spital)) members.push_back(spec.tag);
    return members;
}

class CostSheetServices : public ::testing::Test {
protected:
    test::ConnectedDatabase data;
};

TEST_F(CostSheetServices, EverySheetMemberTheProgramCallsIsThere) {
    for (const auto& [className, members] : {std::pair{"CostSpital", sheetMembers("IdSpital")},
                                             std::pair{"CostSectie", sheetMembers("IdSectieFiltrat")}}) {
        const auto sheet = test::newBusinessObject(className);
        for (const auto& member : members)
            EXPECT_TRUE(sheet->GetIDOfName(member).has_value()) << className << "." << member;
        const auto errors = com::getProperty(*sheet, "Errors").toDispatch();
        ASSERT_TRUE(errors);
        for (const char* member : {"RuleBroken", "Count", "BrokenRules"})
            EXPECT_TRUE(errors->GetIDOfName(member).has_value()) << member;
    }
    EXPECT_TRUE(test::newBusinessObject("CostSectie")->GetIDOfName("CodSectie").has_value());
    EXPECT_TRUE(test::newBusinessObject("CostSpital")->GetIDOfName("Perioada").has_value());
}

// The row model names exactly the forms' controls: the two combos, then every amount
// field of the layout, in the library's own order.
TEST_F(CostSheetServices, TheRowModelNamesEveryControlOfTheForms) {
    for (const auto kind : {CostSheetKind::Spital, CostSheetKind::Sectie}) {
        const auto sheet = test::newBusinessObject(kind == CostSheetKind::Spital ? "CostSpital" : "CostSectie");
        const auto model = sheet.query<Gravlin::ModelLinie>();
        ASSERT_TRUE(model);
        ASSERT_EQ(model->GetFieldCount(), 87);
        const auto& header = velmora::costSheetHeader(kind);
        EXPECT_EQ(model->GetFieldName(1), "cmbPerioada");
        EXPECT_EQ(model->GetFieldName(2), header[0].name);
        EXPECT_EQ(model->GetFieldName(88), "");
        std::vector<std::string> fromModel, fromLayout;
        for (int32_t i = 3; i <= 87; ++i) fromModel.push_back(model->GetFieldName(i));
        for (const auto& spec : velmora::costSheetFields(kind)) {
            fromLayout.push_back(spec.name);
            EXPECT_EQ(spec.name, "ctl" + spec.tag);
        }
        std::vector<std::string> sortedModel = fromModel, sortedLayout = fromLayout;
        std::sort(sortedModel.begin(), sortedModel.end());
        std::sort(sortedLayout.begin(), sortedLayout.end());
        EXPECT_EQ(sortedModel, sortedLayout);
        EXPECT_EQ(fromModel[0], "ctlTCP");
        EXPECT_EQ(fromModel[3], "ctlc02_3");
        EXPECT_EQ(fromModel[13], "ctlc10_1");
        EXPECT_EQ(fromModel[84], "ctlc72");
    }
}

// The calls with the optional arguments the forms pass, and the group step that the forms
// re-show after a part or a total changed.
TEST_F(CostSheetServices, SheetsBehaveAsTheFormsRelyOn) {
    const auto spital = test::newBusinessObject("CostSpital");
    int dirtyEvents = 0;
    auto sink = com::make<com::EventSink>();
    sink->on(Velmora_Business::EditedEvents::OnDirty, [&](com::Args) { ++dirtyEvents; });
    com::EventConnection connection(*spital, Velmora_Business::__CostSpital::iid, sink);
    EXPECT_EQ(com::getProperty(*com::getProperty(*spital, "Errors").toDispatch(), "Count").toLong(), 2);

    com::callByName(*spital, "IdSpital", com::InvokeKind::PropertyPut, {com::Variant(true), com::Variant(int32_t{1})});
    EXPECT_FALSE(com::getProperty(*spital, "IsDirty").toBool());
    EXPECT_EQ(dirtyEvents, 0);
    EXPECT_EQ(com::getProperty(*com::getProperty(*spital, "Errors").toDispatch(), "Count").toLong(), 1);

    const auto model = spital.query<Gravlin::ModelLinie>();
    model->SetDataByName("c24_03", com::Variant(int32_t{70}), true);
    model->SetDataByName("c24_05", com::Variant(int32_t{30}), true);
    EXPECT_EQ(model->GetDataByName("c24").toCurrency(), com::Currency::fromInteger(100));
    EXPECT_TRUE(com::getProperty(*spital, "IsDirty").toBool());
    EXPECT_GE(dirtyEvents, 1);
    model->SetDataByName("c24", com::Variant(int32_t{5}), true);
    EXPECT_EQ(model->GetDataByName("c24_03").toCurrency(), com::Currency());

    // The ward sheet keeps article 23 apart from its parts.
    const auto sectie = test::newBusinessObject("CostSectie").query<Gravlin::ModelLinie>();
    sectie->SetDataByName("c23", com::Variant(int32_t{100}), true);
    sectie->SetDataByName("c23_01", com::Variant(int32_t{60}), true);
    EXPECT_EQ(sectie->GetDataByName("c23").toCurrency(), com::Currency::fromInteger(100));
}

// The collections the selection dialog lists sheets from.
TEST_F(CostSheetServices, CollectionsAnswerCountAndItem) {
    for (const char* className : {"CostSpital", "CostSectie"}) {
        const auto sheet = test::newBusinessObject(className);
        const auto list =
            com::callMethod(*sheet, "LoadList", {com::Variant(std::string(" WHERE a.IdSpital=1"))}).toDispatch();
        ASSERT_TRUE(list) << className;
        for (const char* member : {"Count", "Item"}) EXPECT_TRUE(list->GetIDOfName(member).has_value()) << member;
        const int32_t count = com::getProperty(*list, "Count").toLong();
        EXPECT_GT(count, 0) << className;
        const auto first =
            com::callByName(*list, "Item", com::InvokeKind::PropertyGet, {com::Variant(int32_t{1})}).toDispatch();
        ASSERT_TRUE(first);
        EXPECT_FALSE(com::getProperty(*first, "IsNew").toBool());
        EXPECT_FALSE(com::getProperty(*first, "IsDirty").toBool());
        EXPECT_NE(
            com::getProperty(*first, std::string(className) == "CostSpital" ? "Perioada" : "CodSectie").toString(), "");
    }
}

}  // namespace
