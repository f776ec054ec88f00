#include "com/dispatch.h"

#include <cctype>

namespace com {

bool equalsIgnoreCase(std::string_view a, std::string_view b) noexcept {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

Variant callByName(IDispatch& object, std::string_view name, InvokeKind kind, std::vector<Variant> args) {
    const auto id = object.GetIDOfName(name);
    if (!id)
        raise(errc::NoSuchMember, "CallByName",
              "Object doesn't support this property or method: \"" + std::string(name) + "\"");
    return object.Invoke(*id, kind, Args(args));
}

}  // namespace com
