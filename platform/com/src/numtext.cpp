#include "numtext.h"

#include <cctype>
#include <charconv>
#include <limits>

namespace com::detail {

namespace {

std::string_view trimBlanks(std::string_view s) {
    auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; };
    while (!s.empty() && blank(s.front())) s.remove_prefix(1);
    while (!s.empty() && blank(s.back())) s.remove_suffix(1);
    return s;
}

bool consume(std::string_view& s, std::string_view prefix) {
    if (prefix.empty() || !s.starts_with(prefix)) return false;
    s.remove_prefix(prefix.size());
    return true;
}

std::optional<DecimalText> readRadix(std::string_view s, bool negative, int radix) {
    if (s.empty()) return std::nullopt;
    uint64_t value = 0;
    for (char c : s) {
        int digit;
        if (c >= '0' && c <= '9') digit = c - '0';
        else if (radix == 16 && c >= 'a' && c <= 'f') digit = c - 'a' + 10;
        else if (radix == 16 && c >= 'A' && c <= 'F') digit = c - 'A' + 10;
        else return std::nullopt;
        if (digit >= radix) return std::nullopt;
        if (value > (std::numeric_limits<uint64_t>::max() - digit) / radix) return std::nullopt;
        value = value * radix + digit;
    }
    return DecimalText{negative, std::to_string(value), 0};
}

}  // namespace

std::optional<DecimalText> readDecimal(std::string_view text, std::string_view decimalSeparator,
                                       std::string_view thousandsSeparator) {
    std::string_view s = trimBlanks(text);
    bool negative = false;
    if (s.size() >= 2 && s.front() == '(' && s.back() == ')') {
        negative = true;
        s = trimBlanks(s.substr(1, s.size() - 2));
    } else if (!s.empty() && (s.front() == '-' || s.front() == '+')) {
        negative = s.front() == '-';
        s = trimBlanks(s.substr(1));
    } else if (!s.empty() && (s.back() == '-' || s.back() == '+')) {
        negative = s.back() == '-';
        s = trimBlanks(s.substr(0, s.size() - 1));
    }
    if (s.size() > 2 && s[0] == '&' && (s[1] == 'H' || s[1] == 'h')) return readRadix(s.substr(2), negative, 16);
    if (s.size() > 2 && s[0] == '&' && (s[1] == 'O' || s[1] == 'o')) return readRadix(s.substr(2), negative, 8);

    DecimalText d;
    d.negative = negative;
    const bool grouping = !thousandsSeparator.empty() && thousandsSeparator != decimalSeparator;
    bool seenDigit = false;
    while (!s.empty()) {
        if (std::isdigit(static_cast<unsigned char>(s.front()))) {
            d.digits += s.front();
            s.remove_prefix(1);
            seenDigit = true;
        } else if (grouping && seenDigit && consume(s, thousandsSeparator)) {
            if (s.empty() || !std::isdigit(static_cast<unsigned char>(s.front()))) return std::nullopt;
        } else {
            break;
        }
    }
    if (consume(s, decimalSeparator)) {
        while (!s.empty() && std::isdigit(static_cast<unsigned char>(s.front()))) {
            d.digits += s.front();
            --d.exponent;
            s.remove_prefix(1);
            seenDigit = true;
        }
    }
    if (!seenDigit) return std::nullopt;
    if (!s.empty() && (s.front() == 'e' || s.front() == 'E' || s.front() == 'd' || s.front() == 'D')) {
        s.remove_prefix(1);
        bool expNegative = false;
        if (!s.empty() && (s.front() == '-' || s.front() == '+')) {
            expNegative = s.front() == '-';
            s.remove_prefix(1);
        }
        if (s.empty()) return std::nullopt;
        int exp = 0;
        for (char c : s) {
            if (!std::isdigit(static_cast<unsigned char>(c))) return std::nullopt;
            if (exp < 100000) exp = exp * 10 + (c - '0');
        }
        d.exponent += expNegative ? -exp : exp;
        s = {};
    }
    if (!s.empty()) return std::nullopt;
    const auto firstNonZero = d.digits.find_first_not_of('0');
    if (firstNonZero == std::string::npos) d.digits = "0";
    else d.digits.erase(0, firstNonZero);
    return d;
}

std::optional<int64_t> toScaled(const DecimalText& d, int scale) {
    if (d.digits == "0") return 0;
    const long shift = static_cast<long>(d.exponent) + scale;
    std::string_view kept = d.digits;
    std::string_view dropped;
    if (shift < 0) {
        const size_t drop = static_cast<size_t>(-shift);
        if (drop >= kept.size()) {
            dropped = kept;
            kept = {};
        } else {
            dropped = kept.substr(kept.size() - drop);
            kept = kept.substr(0, kept.size() - drop);
        }
        // Digits dropped beyond the ones present are zeros in front of `dropped`.
        if (drop > d.digits.size()) {
            return 0;  // below half a unit
        }
    }
    unsigned __int128 value = 0;
    const unsigned __int128 limit = static_cast<unsigned __int128>(std::numeric_limits<int64_t>::max()) + 1;
    for (char c : kept) {
        value = value * 10 + static_cast<unsigned>(c - '0');
        if (value > limit) return std::nullopt;
    }
    for (long i = 0; i < shift; ++i) {
        value *= 10;
        if (value > limit) return std::nullopt;
    }
    if (!dropped.empty()) {
        const char first = dropped.front();
        const bool restNonZero = dropped.substr(1).find_first_not_of('0') != std::string_view::npos;
        const bool roundUp = first > '5' || (first == '5' && (restNonZero || (value & 1) == 1));
        if (roundUp) ++value;
    }
    if (value > limit || (!d.negative && value == limit)) return std::nullopt;
    if (d.negative) return static_cast<int64_t>(-static_cast<__int128>(value));
    return static_cast<int64_t>(value);
}

double toDouble(const DecimalText& d) {
    std::string text = d.digits + "e" + std::to_string(d.exponent);
    double value = 0;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    if (result.ec == std::errc::result_out_of_range) value = std::numeric_limits<double>::infinity();
    return d.negative ? -value : value;
}

}  // namespace com::detail
