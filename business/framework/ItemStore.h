#pragma once
// A run-time keyed collection that holds objects of one interface, with the lookups that
// the library's lists share: Item answers nothing instead of failing, AddExisting answers
// false instead of failing, Remove passes the run-time's error on.
#include <optional>
#include <string>

#include "com/collection.h"
#include "com/error.h"

namespace Velmora_Business {

template <class I>
class ItemStore {
public:
    com::ComPtr<I> item(const com::Variant& indexOrKey) const {
        try {
            return items_.Item(indexOrKey).toObject().template query<I>();
        } catch (const com::Error&) {
            return {};  // no such position or key: the lists answer nothing
        }
    }

    // Raises the run-time's error (457 for a key in use, 5 for an empty key).
    void addKeyed(const com::ComPtr<I>& object, const std::string& key) { items_.Add(com::Variant(object), key); }

    // Adds under `key`, or without a key when it is empty; false when the key is in use.
    bool addExisting(const com::ComPtr<I>& object, const std::string& key) {
        if (!object) return false;
        try {
            items_.Add(com::Variant(object), key.empty() ? std::nullopt : std::optional<std::string>(key));
            return true;
        } catch (const com::Error&) {
            return false;  // the key is in use: nothing was added
        }
    }

    void remove(const com::Variant& indexOrKey) { items_.Remove(indexOrKey); }
    int32_t count() const { return items_.Count(); }
    void clear() { items_ = com::Collection(); }
    com::ComPtr<com::IEnumVariant> newEnum() const { return items_.NewEnum(); }

    template <class F>
    void forEach(F&& f) const {
        for (const auto& entry : items_) f(entry.item.toObject().template query<I>());
    }

private:
    com::Collection items_;
};

}  // namespace Velmora_Business
