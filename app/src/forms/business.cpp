#include "forms/business.h"

#include "com/server.h"
#include "typelib/business/CostSheets.h"
#include "typelib/business/Sectie.h"
#include "typelib/business/Spital.h"

namespace velmora {

com::ComPtr<com::IDispatch> newBusinessObject(std::string_view className) {
    std::string progId = "Velmora_Business.";
    progId += className;
    return com::CreateObject(progId);
}

com::Variant valueOf(const com::Variant& item) {
    if (!item.isObject()) return item;
    com::ComPtr<com::IDispatch> object = item.toDispatch();
    if (!object) com::raise(com::errc::ObjectNotSet, "Velmora", "Obiectul cerut nu este setat.");
    return object->Invoke(com::dispid::Value, com::InvokeKind::PropertyGet, {});
}

std::string connectionProperty(com::IDispatch& conection, std::string_view name) {
    const com::ComPtr<com::IDispatch> connection = com::getProperty(conection, "ConnnectionObject").toDispatch();
    if (!connection) com::raise(com::errc::ObjectNotSet, "Velmora", "Conexiunea la baza de date nu este setata.");
    const com::Variant item =
        com::callByName(*connection, "Properties", com::InvokeKind::PropertyGet, {com::Variant(std::string(name))});
    return valueOf(item).toString();
}

std::string connectionDataSource(com::IDispatch& conection) { return connectionProperty(conection, "Data Source"); }

std::optional<std::string> storedField(std::string_view className, int32_t id, std::string_view field) {
    const com::ComPtr<com::IDispatch> object = newBusinessObject(className);
    if (!com::callMethod(*object, "Load", {com::Variant(id)}).toBool()) return std::nullopt;
    return com::getProperty(*object, field).toString();
}

std::string loadedField(std::string_view className, int32_t id, std::string_view field) {
    return storedField(className, id, field).value_or(std::string());
}

std::string hospitalList(int32_t idJudet) {
    const com::ComPtr<com::IDispatch> hospitals = newBusinessObject("Spital");
    return com::callMethod(*hospitals, "GetListaComboSpitale",
                           {com::Variant(idJudet), com::Variant("&"), com::Variant("|")})
        .toString();
}

std::string typeNameOf(com::IDispatch& object) {
    const com::ComPtr<com::IDispatch> held(&object);
    if (held.query<Velmora_Business::_CostSpital>()) return "CostSpital";
    if (held.query<Velmora_Business::_CostSectie>()) return "CostSectie";
    if (held.query<Velmora_Business::_Spital>()) return "Spital";
    if (held.query<Velmora_Business::_Sectie>()) return "Sectie";
    return {};
}

}  // namespace velmora
