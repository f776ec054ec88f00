#pragma once
// The default interface shared by every entity list of the library (Judete, Spitale, ...):
// items in insertion order, optional unique keys compared without regard to case.
#include <cstdint>
#include <string>

#include "com/collection.h"
#include "com/dispatch.h"

namespace Velmora_Business {

template <class ItemInterface, com::Guid Iid>
class KeyedCollection : public com::IDispatch {
public:
    using Base = com::IDispatch;
    using Item = ItemInterface;
    static constexpr com::Guid iid = Iid;

    // The default member (dispatch id 0): a number is a 1-based position, text a key.
    // Answers an empty pointer, never an error, when there is no such item.
    virtual com::ComPtr<ItemInterface> get_Item(const com::Variant& vntIndexKey) = 0;
    // ":" followed by the item's id; an empty item raises 91.
    virtual std::string Key(const com::ComPtr<ItemInterface>& item) = 0;
    virtual int32_t get_Count() = 0;
    // Dispatch id -4 (hidden): the items in order.
    virtual com::ComPtr<com::IEnumVariant> get_NewEnum() = 0;
    // A missing position or key raises the run-time's error (9 or 5).
    virtual void Remove(const com::Variant& vntIndexKey) = 0;
    virtual void Clear() = 0;
    // Adds the object itself, under sKey unless it is empty; false when the key is in use.
    virtual bool AddExisting(const com::ComPtr<ItemInterface>& item, const std::string& sKey = "") = 0;

protected:
    ~KeyedCollection() = default;
};

}  // namespace Velmora_Business
