#include "com/propertybag.h"

#include <cctype>
#include <charconv>

#include "com/dispatch.h"
#include "com/error.h"

namespace com {

namespace {

constexpr const char* source = "PropertyBag";

bool sameValue(const Variant& a, const Variant& b) {
    if (a == b) return true;
    if (a.isNumber() && b.isNumber()) return a.toDouble() == b.toDouble();
    return false;
}

std::string quote(const std::string& s) {
    std::string out = "\"";
    for (char c : s) {
        switch (c) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        default: out += c;
        }
    }
    return out + "\"";
}

std::optional<std::string> unquote(std::string_view s) {
    if (s.size() < 2 || s.front() != '"' || s.back() != '"') return std::nullopt;
    s = s.substr(1, s.size() - 2);
    std::string out;
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '"') return std::nullopt;
        if (s[i] != '\\') {
            out += s[i];
            continue;
        }
        if (++i == s.size()) return std::nullopt;
        switch (s[i]) {
        case 'n': out += '\n'; break;
        case 'r': out += '\r'; break;
        case 't': out += '\t'; break;
        case '"': out += '"'; break;
        case '\\': out += '\\'; break;
        default: return std::nullopt;
        }
    }
    return out;
}

std::string encode(const Variant& v) {
    switch (v.type()) {
    case VarType::Empty: return "E:";
    case VarType::Null: return "N:";
    case VarType::Boolean: return *v.get<bool>() ? "B:-1" : "B:0";
    case VarType::Integer: return "I:" + std::to_string(*v.get<int16_t>());
    case VarType::Long: return "L:" + std::to_string(*v.get<int32_t>());
    case VarType::Currency: return "C:" + v.get<Currency>()->toString(".");
    case VarType::Double: {
        // The shortest text that reads back exactly, in the same form under every locale.
        char text[40];
        const auto end = std::to_chars(text, text + sizeof text, *v.get<double>()).ptr;
        return "D:" + std::string(text, end);
    }
    case VarType::Date: return "T:" + v.get<Date>()->toIso();
    case VarType::String: return "S:" + quote(*v.get<std::string>());
    case VarType::Object: break;
    }
    raise(errc::TypeMismatch, source,
          standardDescription(errc::TypeMismatch, "Un obiect nu poate fi pastrat in proprietati."));
}

// A number as encode writes it: the whole text, within the type's range.
template <class T>
std::optional<Variant> number(std::string_view text) {
    T value{};
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return Variant(value);
}

std::optional<Variant> decode(std::string_view text) {
    if (text.size() < 2 || text[1] != ':') return std::nullopt;
    const std::string_view value = text.substr(2);
    const std::string v(value);
    try {
        switch (text[0]) {
        case 'E': return value.empty() ? std::optional<Variant>(Variant()) : std::nullopt;
        case 'N': return value.empty() ? std::optional<Variant>(Variant::null()) : std::nullopt;
        case 'B': return value == "-1" || value == "0" ? std::optional<Variant>(Variant(value == "-1")) : std::nullopt;
        case 'I': return number<int16_t>(value);
        case 'L': return number<int32_t>(value);
        case 'C': return Variant(Currency::parse(v, "."));
        case 'D': return number<double>(value);
        case 'T': return Variant(Date::fromIso(v));
        case 'S':
            if (auto s = unquote(value)) return Variant(*s);
            return std::nullopt;
        default: return std::nullopt;
        }
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

}  // namespace

bool PropertyBag::CaseInsensitiveLess::operator()(std::string_view a, std::string_view b) const noexcept {
    const size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        const int x = std::tolower(static_cast<unsigned char>(a[i])),
                  y = std::tolower(static_cast<unsigned char>(b[i]));
        if (x != y) return x < y;
    }
    return a.size() < b.size();
}

Variant PropertyBag::ReadProperty(std::string_view name, const Variant& defaultValue) const {
    const auto it = values_.find(name);
    return it == values_.end() ? defaultValue : it->second;
}

void PropertyBag::WriteProperty(std::string_view name, const Variant& value, const Variant& defaultValue) {
    if (name.empty() || name.find_first_of("=\n") != std::string_view::npos)
        raise(errc::InvalidProcedureCall, source, "Invalid property name \"" + std::string(name) + "\"");
    encode(value);  // refuses what cannot be written back as text
    if (sameValue(value, defaultValue)) values_.erase(std::string(name));
    else values_.insert_or_assign(std::string(name), value);
}

bool PropertyBag::contains(std::string_view name) const { return values_.find(name) != values_.end(); }

std::string PropertyBag::toText() const {
    std::string out;
    for (const auto& [name, value] : values_) out += name + " = " + encode(value) + "\n";
    return out;
}

PropertyBag PropertyBag::fromText(std::string_view text) {
    PropertyBag bag;
    int number = 0;
    while (!text.empty()) {
        const auto end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        ++number;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (line.empty()) continue;
        const auto eq = line.find(" = ");
        const auto value = eq == std::string_view::npos ? std::nullopt : decode(line.substr(eq + 3));
        if (eq == 0 || !value)
            raise(errc::InvalidProcedureCall, source,
                  "Property bag line " + std::to_string(number) + " cannot be read");
        bag.values_.insert_or_assign(std::string(line.substr(0, eq)), *value);
    }
    return bag;
}

}  // namespace com
