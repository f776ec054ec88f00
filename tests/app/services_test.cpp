// What the program calls of the business library, by name, as it calls it late-bound:
// every member it relies on must be there on the registered classes.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

#include "forms/business.h"
#include "com/error.h"
#include "com/server.h"
#include "costsheet_support.h"
#include "typelib/ModelLinie.h"
#include "support.h"

namespace {

const std::map<std::string, std::vector<std::string>> kMembers{
    {"Conection", {"Connect", "ConnnectionObject", "Disconnect"}},
    {"Judet", {"Load", "DenJudet", "LoadList", "GetListaComboJudete"}},
    {"Spital",
     {"IsNew", "IsDirty", "IdSpital", "CodSpital", "DenSpital", "IdJudet", "Clear", "Load", "Save", "CopyMe", "Errors",
      "LoadList", "GetListaComboSpitale", "Delete", "UnDelete", "IsDeleted"}},
    {"Sectie",
     {"IsNew", "IsDirty", "Clear", "CopyMe", "Errors", "Load", "Save", "Delete", "IdSpital", "IdSectieFiltrat",
      "CodSectie", "NrSectie", "LoadList", "GetListaComboSectii", "GetListaComboSectiiFiltrat"}},
    {"Perioada", {"GetListaComboPerioade", "GetDenScurta", "LoadList"}},
    {"Raport", {"LoadList", "IdRaport", "DenRaport", "IdParinte", "TipRaport", "Parametrii", "Locatie"}},
    {"Export", {"Sursa", "Destinatie", "IdPerioada", "Export"}},
    {"CostSpital",
     {"Clear", "Load", "Save", "Delete", "CopyMe", "IsNew", "IsDirty", "IdSpital", "IdPerioada", "Errors", "IdCost",
      "Perioada", "LoadList", "TCP", "c23", "c24_07", "c25_09", "c72"}},
    {"CostSectie",
     {"Clear", "Load", "Save", "Delete", "CopyMe", "IsNew", "IsDirty", "IdSectieFiltrat", "IdPerioada", "Errors",
      "CodSectie", "LoadList", "c23_04"}},
};

TEST(BusinessServices, EveryMemberTheProgramCallsIsThere) {
    for (const auto& [className, members] : kMembers) {
        const com::ComPtr<com::IDispatch> object = test::newBusinessObject(className);
        ASSERT_TRUE(object) << className;
        for (const auto& member : members)
            EXPECT_TRUE(object->GetIDOfName(member).has_value()) << className << "." << member;
    }
}

TEST(BusinessServices, EditedObjectsOfferTheRowModel) {
    for (const char* className : {"Spital", "Sectie", "CostSpital", "CostSectie"}) {
        const com::ComPtr<com::IDispatch> object = test::newBusinessObject(className);
        EXPECT_TRUE(object.query<Gravlin::ModelLinie>()) << className;
    }
    const auto errors = com::getProperty(*test::newBusinessObject("Spital"), "Errors").toDispatch();
    ASSERT_TRUE(errors);
    for (const char* member : {"RuleBroken", "Count", "BrokenRules"})
        EXPECT_TRUE(errors->GetIDOfName(member).has_value()) << member;
    EXPECT_EQ(com::getProperty(*errors, "Count").toLong(), 2);  // a new hospital breaks both of its rules
}

// The program holds what it creates through the library's own interfaces.
TEST(BusinessServices, EachClassIsCreatedThroughItsInterface) {
    namespace vb = Velmora_Business;
    EXPECT_TRUE(velmora::newObject<vb::_Conection>());
    EXPECT_TRUE(velmora::newObject<vb::_Judet>());
    EXPECT_TRUE(velmora::newObject<vb::_Perioada>());
    EXPECT_TRUE(velmora::newObject<vb::_Raport>());
    EXPECT_TRUE(velmora::newObject<vb::_Export>());
    EXPECT_EQ(velmora::typeNameOf(*velmora::newObject<vb::_Spital>()), "Spital");
    EXPECT_EQ(velmora::typeNameOf(*velmora::newObject<vb::_Sectie>()), "Sectie");
    EXPECT_EQ(velmora::typeNameOf(*velmora::newObject<vb::_CostSpital>()), "CostSpital");
    EXPECT_EQ(velmora::typeNameOf(*velmora::newObject<vb::_CostSectie>()), "CostSectie");
}

class EditedObjects : public ::testing::Test {
protected:
    test::ConnectedDatabase data;
};

TEST_F(EditedObjects, EachKeepsItsClassThroughFlagsAndCopies) {
    namespace vb = Velmora_Business;
    for (const auto& [className, create] : {std::pair{"Spital", &velmora::newEditedObject<vb::_Spital>},
                                            std::pair{"Sectie", &velmora::newEditedObject<vb::_Sectie>},
                                            std::pair{"CostSpital", &velmora::newEditedObject<vb::_CostSpital>},
                                            std::pair{"CostSectie", &velmora::newEditedObject<vb::_CostSectie>}}) {
        const velmora::EditedObject object = create();
        ASSERT_TRUE(object) << className;
        EXPECT_EQ(velmora::typeNameOf(*object.dispatch()), className);
        EXPECT_TRUE(object.isNew()) << className;
        EXPECT_FALSE(object.isDirty()) << className;
        object.setDirty(true);
        EXPECT_TRUE(com::getProperty(*object.dispatch(), "IsDirty").toBool()) << className;
        const velmora::EditedObject copy = object.copy();
        EXPECT_NE(copy.dispatch().get(), object.dispatch().get()) << className;
        EXPECT_EQ(velmora::typeNameOf(*copy.dispatch()), className);
        EXPECT_TRUE(object.errors()) << className;
    }
    EXPECT_EQ(velmora::newEditedObject<vb::_Spital>().errors()->get_Count(), 2);  // both rules of a new hospital
}

TEST_F(EditedObjects, OnlyTheFourEditedClassesAreHeld) {
    namespace vb = Velmora_Business;
    static_assert(!std::is_constructible_v<velmora::EditedObject, com::ComPtr<vb::_Judet>>, "a county is not edited");
    try {
        (void)velmora::EditedObject().isNew();
        ADD_FAILURE() << "no object was held";
    } catch (const com::Error& e) {
        EXPECT_EQ(e.number(), com::errc::ObjectNotSet);
    }
}

}  // namespace
