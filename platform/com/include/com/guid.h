#pragma once
// 128-bit interface and class ids, written in the "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}" form.
#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace com {

struct [[gnu::visibility("default")]] Guid {
    std::array<uint8_t, 16> bytes{};

    // Parses "{...}" (braces optional) at compile time or run time; nullopt when malformed.
    static constexpr std::optional<Guid> tryParse(std::string_view text);
    // Parses a literal; a malformed literal fails the build when used in a constant expression.
    static consteval Guid of(std::string_view text);
    // Parses text at run time; raises a com::Error (5) when malformed.
    static Guid parse(std::string_view text);

    std::string toString() const;  // upper case, with braces
    constexpr bool isNull() const { return bytes == std::array<uint8_t, 16>{}; }
    friend constexpr bool operator==(const Guid&, const Guid&) = default;
};

constexpr std::optional<Guid> Guid::tryParse(std::string_view text) {
    if (text.size() == 38) {
        if (text.front() != '{' || text.back() != '}') return std::nullopt;
        text = text.substr(1, 36);
    }
    if (text.size() != 36) return std::nullopt;
    auto hex = [](char c) -> int {
        if (c >= '0' && c <= '9') return c - '0';
        if (c >= 'a' && c <= 'f') return c - 'a' + 10;
        if (c >= 'A' && c <= 'F') return c - 'A' + 10;
        return -1;
    };
    Guid g;
    size_t b = 0;
    for (size_t i = 0; i < 36;) {
        if (i == 8 || i == 13 || i == 18 || i == 23) {
            if (text[i] != '-') return std::nullopt;
            ++i;
            continue;
        }
        const int hi = hex(text[i]), lo = hex(text[i + 1]);
        if (hi < 0 || lo < 0) return std::nullopt;
        g.bytes[b++] = static_cast<uint8_t>(hi * 16 + lo);
        i += 2;
    }
    return g;
}

consteval Guid Guid::of(std::string_view text) {
    const auto g = tryParse(text);
    if (!g) throw "malformed GUID literal";
    return *g;
}

struct GuidHash {
    size_t operator()(const Guid& g) const noexcept {
        size_t h = 1469598103934665603ull;
        for (auto b : g.bytes) h = (h ^ b) * 1099511628211ull;
        return h;
    }
};

}  // namespace com
