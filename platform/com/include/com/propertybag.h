#pragma once
// Property bags: the persisted properties of a control, read and written as text.
#include <map>
#include <string>
#include <string_view>

#include "com/variant.h"

namespace com {

class [[gnu::visibility("default")]] PropertyBag {
public:
    // Returns the stored value, or the default when the property was not written.
    Variant ReadProperty(std::string_view name, const Variant& defaultValue = {}) const;
    // Stores the value; a value equal to the default is not stored (so that reading
    // gives the default back and the text stays short).
    void WriteProperty(std::string_view name, const Variant& value, const Variant& defaultValue = {});

    // One "Name = type:value" line per property; text values are quoted and escaped.
    std::string toText() const;
    // Raises 5 naming the line that cannot be read.
    static PropertyBag fromText(std::string_view text);

    bool contains(std::string_view name) const;

private:
    struct CaseInsensitiveLess {
        using is_transparent = void;
        bool operator()(std::string_view a, std::string_view b) const noexcept;
    };
    std::map<std::string, Variant, CaseInsensitiveLess> values_;
};

}  // namespace com
