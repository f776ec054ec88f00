#include "com/collection.h"

#include "com/dispatch.h"
#include "com/error.h"

namespace com {

namespace {

constexpr const char* source = "Collection";

std::string folded(std::string_view key) {
    std::string text(key);
    for (char& c : text)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return text;
}

class SnapshotEnum final : public Object<IEnumVariant> {
public:
    explicit SnapshotEnum(std::vector<Variant> items) : items_(std::move(items)) {}
    bool Next(Variant& item) override {
        if (next_ >= items_.size()) return false;
        item = items_[next_++];
        return true;
    }
    void Reset() override { next_ = 0; }

private:
    std::vector<Variant> items_;
    size_t next_ = 0;
};

}  // namespace

void Collection::Add(Variant item, std::optional<std::string> key) {
    if (key) {
        if (key->empty()) raise(errc::InvalidProcedureCall, source, "A collection key cannot be empty");
        if (!foldedKeys_.insert(folded(*key)).second) raise(errc::DuplicateKey, source);
    }
    items_.push_back({std::move(item), std::move(key)});
}

bool Collection::containsKey(std::string_view key) const { return foldedKeys_.contains(folded(key)); }

size_t Collection::positionOf(const Variant& index) const {
    if (const auto* key = index.get<std::string>()) {
        for (size_t i = 0; i < items_.size(); ++i)
            if (items_[i].key && equalsIgnoreCase(*items_[i].key, *key)) return i;
        raise(errc::InvalidProcedureCall, source, "No item has the key \"" + *key + "\"");
    }
    if (index.isEmpty() || index.isNull() || index.isObject()) raise(errc::InvalidProcedureCall, source);
    const int32_t position = index.toLong();
    if (position < 1 || position > Count()) raise(errc::SubscriptOutOfRange, source);
    return static_cast<size_t>(position - 1);
}

const Variant& Collection::Item(const Variant& index) const { return items_[positionOf(index)].item; }

void Collection::Remove(const Variant& index) {
    const auto at = items_.begin() + static_cast<long>(positionOf(index));
    if (at->key) foldedKeys_.erase(folded(*at->key));
    items_.erase(at);
}

void Collection::Clear() {
    items_.clear();
    foldedKeys_.clear();
}

ComPtr<IEnumVariant> Collection::NewEnum() const {
    std::vector<Variant> snapshot;
    snapshot.reserve(items_.size());
    for (const auto& e : items_) snapshot.push_back(e.item);
    return make<SnapshotEnum, IEnumVariant>(std::move(snapshot));
}

}  // namespace com
