#include "forms/editedobject.h"

#include "com/error.h"

namespace velmora {

namespace vb = Velmora_Business;

EditedObject::EditedObject(com::ComPtr<vb::_Spital> object) : held_(object), dispatch_(object) {}
EditedObject::EditedObject(com::ComPtr<vb::_Sectie> object) : held_(object), dispatch_(object) {}
EditedObject::EditedObject(com::ComPtr<vb::_CostSpital> object) : held_(object), dispatch_(object) {}
EditedObject::EditedObject(com::ComPtr<vb::_CostSectie> object) : held_(object), dispatch_(object) {}

// Runs the call on the held interface; no object raises 91.
template <class Call>
decltype(auto) EditedObject::visit(Call&& call) const {
    if (!dispatch_) com::raise(com::errc::ObjectNotSet, "Velmora", "Obiectul editat nu este setat.");
    return std::visit([&call](const auto& object) -> decltype(auto) { return call(object); }, held_);
}

bool EditedObject::isNew() const {
    return visit([](const auto& object) { return object->get_IsNew(); });
}

bool EditedObject::isDirty() const {
    return visit([](const auto& object) { return object->get_IsDirty(); });
}

void EditedObject::setDirty(bool value) const {
    visit([value](const auto& object) { object->put_IsDirty(value); });
}

com::ComPtr<vb::_BrokenRules> EditedObject::errors() const {
    return visit([](const auto& object) { return object->get_Errors(); });
}

void EditedObject::clear() const {
    visit([](const auto& object) { object->Clear(); });
}

void EditedObject::markDeleted() const {
    visit([](const auto& object) { object->Delete(); });
}

bool EditedObject::save() const {
    return visit([](const auto& object) { return object->Save(true); });
}

bool EditedObject::load(int32_t id) const {
    return visit([id](const auto& object) { return object->Load(id); });
}

EditedObject EditedObject::copy() const {
    return visit([](const auto& object) { return EditedObject(object->CopyMe()); });
}

com::ComPtr<com::IDispatch> EditedObject::loadList(const std::string& where) const {
    return visit([&where](const auto& object) { return com::ComPtr<com::IDispatch>(object->LoadList(where)); });
}

}  // namespace velmora
