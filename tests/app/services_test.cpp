// What the program calls of the business library, by name, as it calls it late-bound:
// every member it relies on must be there on the registered classes.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "forms/business.h"
#include "com/server.h"
#include "typelib/ModelLinie.h"

namespace {

const std::map<std::string, std::vector<std::string>> kMembers{
    {"Conection", {"Connect", "ConnnectionObject", "Disconnect"}},
    {"Judet", {"Load", "DenJudet", "LoadList", "GetListaComboJudete"}},
    {"Spital",
     {"IsNew", "IsDirty", "IdSpital", "CodSpital", "DenSpital", "IdJudet", "Clear", "Load", "Save", "CopyMe",
      "Errors", "LoadList", "GetListaComboSpitale", "Delete", "UnDelete", "IsDeleted"}},
    {"Sectie",
     {"IsNew", "IsDirty", "Clear", "CopyMe", "Errors", "Load", "Save", "Delete", "IdSpital", "IdSectieFiltrat",
      "CodSectie", "NrSectie", "LoadList", "GetListaComboSectii", "GetListaComboSectiiFiltrat"}},
    {"Perioada", {"GetListaComboPerioade", "GetDenScurta", "LoadList"}},
    {"Raport", {"LoadList", "IdRaport", "DenRaport", "IdParinte", "TipRaport", "Parametrii", "Locatie"}},
    {"Export", {"Sursa", "Destinatie", "IdPerioada", "Export"}},
    {"CostSpital",
     {"Clear", "Load", "Save", "Delete", "CopyMe", "IsNew", "IsDirty", "IdSpital", "IdPerioada", "Errors", "IdCost",
      "Perioada", "LoadList", "TCP", "c23", "c24_07", "c25_09", "c72"}},
    {"CostSectie", {"Clear", "Load", "Save", "Delete", "CopyMe", "IsNew", "IsDirty", "IdSectieFiltrat", "IdPerioada",
                    "Errors", "CodSectie", "LoadList", "c23_04"}},
};

TEST(BusinessServices, EveryMemberTheProgramCallsIsThere) {
    for (const auto& [className, members] : kMembers) {
        const com::ComPtr<com::IDispatch> object = velmora::newBusinessObject(className);
        ASSERT_TRUE(object) << className;
        for (const auto& member : members)
            EXPECT_TRUE(object->GetIDOfName(member).has_value()) << className << "." << member;
    }
}

TEST(BusinessServices, EditedObjectsOfferTheRowModel) {
    for (const char* className : {"Spital", "Sectie", "CostSpital", "CostSectie"}) {
        const com::ComPtr<com::IDispatch> object = velmora::newBusinessObject(className);
        EXPECT_TRUE(object.query<Gravlin::ModelLinie>()) << className;
    }
    const auto errors = com::getProperty(*velmora::newBusinessObject("Spital"), "Errors").toDispatch();
    ASSERT_TRUE(errors);
    for (const char* member : {"RuleBroken", "Count", "BrokenRules"})
        EXPECT_TRUE(errors->GetIDOfName(member).has_value()) << member;
    EXPECT_EQ(com::getProperty(*errors, "Count").toLong(), 2);  // a new hospital breaks both of its rules
}

}  // namespace
