#pragma once
// What every edited business object has (the hospital and ward registers, the two cost
// sheets), called through the object's own interface: the edit screens hold their object,
// its backup copy and a freshly loaded one through this.
#include <cstdint>
#include <variant>

#include "com/dispatch.h"
#include "typelib/business/BrokenRules.h"
#include "typelib/business/CostSheets.h"
#include "typelib/business/Sectie.h"
#include "typelib/business/Spital.h"

namespace velmora {

class EditedObject {
public:
    // No object: every member but dispatch() raises 91.
    EditedObject() = default;
    explicit EditedObject(com::ComPtr<Velmora_Business::_Spital> object);
    explicit EditedObject(com::ComPtr<Velmora_Business::_Sectie> object);
    explicit EditedObject(com::ComPtr<Velmora_Business::_CostSpital> object);
    explicit EditedObject(com::ComPtr<Velmora_Business::_CostSectie> object);

    // The object itself, for what reaches it late-bound or by another interface (the row
    // model, its events, the controller); empty when there is none.
    const com::ComPtr<com::IDispatch>& dispatch() const { return dispatch_; }
    explicit operator bool() const { return static_cast<bool>(dispatch_); }

    bool isNew() const;
    bool isDirty() const;
    void setDirty(bool value) const;
    com::ComPtr<Velmora_Business::_BrokenRules> errors() const;
    void clear() const;
    // Marks the object deleted; the next save removes its row.
    void markDeleted() const;
    bool save() const;
    bool load(int32_t id) const;
    // A copy of the object, of the same class.
    EditedObject copy() const;
    // The list of the objects of this class that a WHERE clause selects ("" for all).
    com::ComPtr<com::IDispatch> loadList(const std::string& where) const;

private:
    using Held = std::variant<com::ComPtr<Velmora_Business::_Spital>, com::ComPtr<Velmora_Business::_Sectie>,
                              com::ComPtr<Velmora_Business::_CostSpital>, com::ComPtr<Velmora_Business::_CostSectie>>;
    template <class Call>
    decltype(auto) visit(Call&& call) const;

    Held held_;
    com::ComPtr<com::IDispatch> dispatch_;
};

}  // namespace velmora
