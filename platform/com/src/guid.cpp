#include "com/guid.h"

#include "com/error.h"

namespace com {

Guid Guid::parse(std::string_view text) {
    if (auto g = tryParse(text)) return *g;
    raise(errc::InvalidProcedureCall, "Guid", "Malformed class or interface id: \"" + std::string(text) + "\"");
}

std::string Guid::toString() const {
    static constexpr char digits[] = "0123456789ABCDEF";
    std::string s = "{";
    for (size_t i = 0; i < bytes.size(); ++i) {
        if (i == 4 || i == 6 || i == 8 || i == 10) s += '-';
        s += digits[bytes[i] >> 4];
        s += digits[bytes[i] & 0xF];
    }
    s += '}';
    return s;
}

}  // namespace com
