#include "forms/business.h"

namespace velmora {

namespace vb = Velmora_Business;

com::Variant valueOf(const com::Variant& item) {
    if (!item.isObject()) return item;
    com::ComPtr<com::IDispatch> object = item.toDispatch();
    if (!object) com::raise(com::errc::ObjectNotSet, "Velmora", "Obiectul cerut nu este setat.");
    return object->Invoke(com::dispid::Value, com::InvokeKind::PropertyGet, {});
}

// The data layer's connection answers its properties late-bound only.
std::string connectionProperty(vb::_Conection& conection, std::string_view name) {
    const com::ComPtr<com::IDispatch> connection = conection.get_ConnnectionObject();
    if (!connection) com::raise(com::errc::ObjectNotSet, "Velmora", "Conexiunea la baza de date nu este setata.");
    const com::Variant item =
        com::callByName(*connection, "Properties", com::InvokeKind::PropertyGet, {com::Variant(std::string(name))});
    return valueOf(item).toString();
}

std::string connectionDataSource(vb::_Conection& conection) { return connectionProperty(conection, "Data Source"); }

std::optional<std::string> countyName(int32_t idJudet) {
    const com::ComPtr<vb::_Judet> county = newObject<vb::_Judet>();
    if (!county->Load(idJudet)) return std::nullopt;
    return county->get_DenJudet();
}

std::optional<std::string> hospitalCode(int32_t idSpital, int32_t idJudet) {
    const com::ComPtr<vb::_Spital> hospital = newObject<vb::_Spital>();
    if (!hospital->Load(idSpital)) return std::nullopt;
    if (idJudet != -1 && hospital->get_IdJudet() != idJudet) return std::nullopt;
    return hospital->get_CodSpital();
}

std::string hospitalList(int32_t idJudet) { return newObject<vb::_Spital>()->GetListaComboSpitale(idJudet, "&", "|"); }

std::string typeNameOf(com::IDispatch& object) {
    const com::ComPtr<com::IDispatch> held(&object);
    if (held.query<vb::_CostSpital>()) return std::string(vb::classNameOf<vb::_CostSpital>());
    if (held.query<vb::_CostSectie>()) return std::string(vb::classNameOf<vb::_CostSectie>());
    if (held.query<vb::_Spital>()) return std::string(vb::classNameOf<vb::_Spital>());
    if (held.query<vb::_Sectie>()) return std::string(vb::classNameOf<vb::_Sectie>());
    return {};
}

}  // namespace velmora
