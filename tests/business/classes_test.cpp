// The library's creatable classes: each is registered under the ProgID and class id of its
// default interface's trait, and created by either it answers for that interface.
#include "BusinessFixture.h"

#include <algorithm>

namespace businesstest {
namespace {

template <class I>
void expectRegistered(const com::Registry& registry, std::string_view progId) {
    EXPECT_EQ(vb::ClassOf<I>::ProgId, progId);
    const auto entry = registry.byProgId(progId);
    ASSERT_TRUE(entry) << progId;
    EXPECT_EQ(entry->clsid, vb::ClassOf<I>::ClassId) << progId;
    EXPECT_TRUE(com::CreateObject(progId).query<I>()) << progId;
    EXPECT_TRUE(com::createInstance<I>(vb::ClassOf<I>::ClassId)) << progId;
}

TEST(LibraryClasses, EachIsRegisteredUnderItsInterfacesTrait) {
    const com::Registry registry(suiteFolder() / "registry", true);
    expectRegistered<vb::_Conection>(registry, "Velmora_Business.Conection");
    expectRegistered<vb::_BrokenRule>(registry, "Velmora_Business.BrokenRule");
    expectRegistered<vb::_Enumeratori>(registry, "Velmora_Business.Enumeratori");
    expectRegistered<vb::_Judet>(registry, "Velmora_Business.Judet");
    expectRegistered<vb::_Spital>(registry, "Velmora_Business.Spital");
    expectRegistered<vb::_Perioada>(registry, "Velmora_Business.Perioada");
    expectRegistered<vb::_Raport>(registry, "Velmora_Business.Raport");
    expectRegistered<vb::_Sectie>(registry, "Velmora_Business.Sectie");
    expectRegistered<vb::_CostSpital>(registry, "Velmora_Business.CostSpital");
    expectRegistered<vb::_CostSectie>(registry, "Velmora_Business.CostSectie");
    expectRegistered<vb::_CostSpital_S>(registry, "Velmora_Business.CostSpital_S");
    expectRegistered<vb::_Export>(registry, "Velmora_Business.Export");
    const auto ours = std::count_if(registry.entries().begin(), registry.entries().end(),
                                    [](const auto& entry) { return entry.progId.starts_with("Velmora_Business."); });
    EXPECT_EQ(ours, 12);
    // The name the classes' errors carry as their source.
    EXPECT_EQ(vb::classNameOf<vb::_CostSpital_S>(), "CostSpital_S");
    EXPECT_EQ(vb::classNameOf<vb::_Spital>(), "Spital");
}

}  // namespace
}  // namespace businesstest
