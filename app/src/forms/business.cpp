#include "forms/business.h"

#include "com/server.h"

namespace velmora {
namespace {

namespace vb = Velmora_Business;

// The class behind each interface the program creates objects through.
template <class I>
constexpr std::string_view classOf = {};
template <>
constexpr std::string_view classOf<vb::_Conection> = "Conection";
template <>
constexpr std::string_view classOf<vb::_Judet> = "Judet";
template <>
constexpr std::string_view classOf<vb::_Spital> = "Spital";
template <>
constexpr std::string_view classOf<vb::_Sectie> = "Sectie";
template <>
constexpr std::string_view classOf<vb::_Perioada> = "Perioada";
template <>
constexpr std::string_view classOf<vb::_Raport> = "Raport";
template <>
constexpr std::string_view classOf<vb::_CostSpital> = "CostSpital";
template <>
constexpr std::string_view classOf<vb::_CostSectie> = "CostSectie";
template <>
constexpr std::string_view classOf<vb::_Export> = "Export";

}  // namespace

com::ComPtr<com::IDispatch> newBusinessObject(std::string_view className) {
    std::string progId = "Velmora_Business.";
    progId += className;
    return com::CreateObject(progId);
}

template <class I>
com::ComPtr<I> newObject() {
    static_assert(!classOf<I>.empty(), "not an interface of a creatable class of the business library");
    const com::ComPtr<com::IDispatch> object = newBusinessObject(classOf<I>);
    com::ComPtr<I> typed = object.template query<I>();
    if (!typed)
        com::raise(com::errc::TypeMismatch, "Velmora",
                   "Obiectul Velmora_Business." + std::string(classOf<I>) + " nu are interfata asteptata.");
    return typed;
}

template com::ComPtr<vb::_Conection> newObject<vb::_Conection>();
template com::ComPtr<vb::_Judet> newObject<vb::_Judet>();
template com::ComPtr<vb::_Spital> newObject<vb::_Spital>();
template com::ComPtr<vb::_Sectie> newObject<vb::_Sectie>();
template com::ComPtr<vb::_Perioada> newObject<vb::_Perioada>();
template com::ComPtr<vb::_Raport> newObject<vb::_Raport>();
template com::ComPtr<vb::_CostSpital> newObject<vb::_CostSpital>();
template com::ComPtr<vb::_CostSectie> newObject<vb::_CostSectie>();
template com::ComPtr<vb::_Export> newObject<vb::_Export>();

EditedObject newEditedObject(std::string_view className) {
    if (className == classOf<vb::_Spital>) return EditedObject(newObject<vb::_Spital>());
    if (className == classOf<vb::_Sectie>) return EditedObject(newObject<vb::_Sectie>());
    if (className == classOf<vb::_CostSpital>) return EditedObject(newObject<vb::_CostSpital>());
    if (className == classOf<vb::_CostSectie>) return EditedObject(newObject<vb::_CostSectie>());
    com::raise(com::errc::CantCreateObject, "Velmora",
               "Clasa Velmora_Business." + std::string(className) + " nu este o clasa editata.");
}

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
    if (held.query<vb::_CostSpital>()) return "CostSpital";
    if (held.query<vb::_CostSectie>()) return "CostSectie";
    if (held.query<vb::_Spital>()) return "Spital";
    if (held.query<vb::_Sectie>()) return "Sectie";
    return {};
}

}  // namespace velmora
