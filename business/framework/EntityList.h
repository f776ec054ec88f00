#pragma once
// The one implementation of every entity list (Judete, Spitale, Perioade, Rapoarte, Sectii
// and the cost-sheet lists): a keyed collection of one entity interface whose items'
// keys are ":" followed by their id.
#include <string>

#include "Binding.h"
#include "ItemStore.h"
#include "com/error.h"

namespace Velmora_Business {

// ListInterface is a KeyedCollection<Item, iid>; IdOf reads an item's id.
template <class ListInterface, auto IdOf>
class EntityList final : public com::Dispatchable<EntityList<ListInterface, IdOf>, ListInterface> {
public:
    using Item = typename ListInterface::Item;

    com::ComPtr<Item> get_Item(const com::Variant& vntIndexKey) override { return items_.item(vntIndexKey); }
    std::string Key(const com::ComPtr<Item>& item) override {
        if (!item) com::raise(com::errc::ObjectNotSet, "", "Object variable not set");
        return keyOf((*item.*IdOf)());
    }
    int32_t get_Count() override { return items_.count(); }
    com::ComPtr<com::IEnumVariant> get_NewEnum() override { return items_.newEnum(); }
    void Remove(const com::Variant& vntIndexKey) override { items_.remove(vntIndexKey); }
    void Clear() override { items_.clear(); }
    bool AddExisting(const com::ComPtr<Item>& item, const std::string& sKey = "") override {
        return items_.addExisting(item, sKey);
    }

    // Library-internal: mark every item deleted, or not deleted, in order.
    void DeleteAll() {
        items_.forEach([](const com::ComPtr<Item>& item) { item->Delete(); });
    }
    void UnDeleteAll() {
        items_.forEach([](const com::ComPtr<Item>& item) { item->UnDelete(); });
    }

    static std::string keyOf(int32_t id) {
        std::string key(":");
        key += std::to_string(id);
        return key;
    }

    static const com::DispatchTable<EntityList>& dispatchTable() {
        using L = EntityList;
        using namespace binding;
        static const com::DispatchTable<L> table{
            method<L, &L::get_Item>("Item", com::dispid::Value),
            method<L, &L::Key>("Key", 1),
            property<L, &L::get_Count>("Count", 2),
            property<L, &L::get_NewEnum>("NewEnum", com::dispid::NewEnum),
            method<L, &L::Remove>("Remove", 3),
            method<L, &L::Clear>("Clear", 4),
            method<L, &L::AddExisting, Defaults<Blank{}>>("AddExisting", 5),
        };
        return table;
    }

private:
    ItemStore<Item> items_;
};

}  // namespace Velmora_Business
