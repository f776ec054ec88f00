#pragma once
// The run-time's keyed collection: insertion order, optional unique keys compared without
// regard to case, addressed by 1-based position or by key.
#include <cstdint>
#include <optional>
#include <string>
#include <unordered_set>
#include <vector>

#include "com/variant.h"

namespace com {

class IEnumVariant : public IUnknown {
public:
    using Base = IUnknown;
    static constexpr Guid iid = Guid::of("{00020404-0000-0000-C000-000000000046}");
    // Writes the next item and returns true, or returns false at the end.
    virtual bool Next(Variant& item) = 0;
    virtual void Reset() = 0;

protected:
    ~IEnumVariant() = default;
};

class [[gnu::visibility("default")]] Collection {
public:
    // Raises 457 for a key already used (without regard to case), 5 for an empty key.
    void Add(Variant item, std::optional<std::string> key = std::nullopt);
    // A number is a 1-based position (out of range raises 9); text is a key (missing
    // raises 5); Null or Empty raise 5 as well.
    const Variant& Item(const Variant& index) const;
    void Remove(const Variant& index);
    int32_t Count() const { return static_cast<int32_t>(items_.size()); }
    void Clear();
    bool containsKey(std::string_view key) const;

    // A snapshot enumerator, as the run-time's For Each walks the items.
    ComPtr<IEnumVariant> NewEnum() const;

    auto begin() const { return items_.begin(); }
    auto end() const { return items_.end(); }

    struct Entry {
        Variant item;
        std::optional<std::string> key;
        const Variant& operator*() const { return item; }
    };

private:
    size_t positionOf(const Variant& index) const;
    std::vector<Entry> items_;
    // The keys in use, folded to lower case, so that adding a keyed item does not walk
    // the whole collection.
    std::unordered_set<std::string> foldedKeys_;
};

}  // namespace com
