#include "com/currency.h"

#include <cmath>

#include "com/error.h"
#include "numtext.h"

namespace com {

namespace {
[[noreturn]] void overflow() { raise(errc::Overflow, "Currency"); }
}  // namespace

Currency Currency::fromInteger(int64_t whole) {
    if (whole > INT64_MAX / Scale || whole < INT64_MIN / Scale) overflow();
    return fromUnits(whole * Scale);
}

Currency Currency::fromDouble(double value) {
    const double scaled = std::nearbyint(value * Scale);  // the default rounding is half to even
    if (!std::isfinite(scaled) || scaled >= 9223372036854775808.0 || scaled < -9223372036854775808.0) overflow();
    return fromUnits(static_cast<int64_t>(scaled));
}

Currency Currency::parse(std::string_view text, std::string_view decimalSeparator) {
    const auto d = detail::readDecimal(text, decimalSeparator, {});
    if (!d)
        raise(errc::TypeMismatch, "Currency",
              standardDescription(errc::TypeMismatch, "\"" + std::string(text) + "\" nu este o suma."));
    const auto units = detail::toScaled(*d, 4);
    if (!units) overflow();
    return fromUnits(*units);
}

std::string Currency::toString(std::string_view decimalSeparator) const {
    const bool negative = units_ < 0;
    const unsigned __int128 magnitude = negative ? -static_cast<__int128>(units_) : units_;
    const auto whole = static_cast<uint64_t>(magnitude / Scale);
    auto fraction = static_cast<unsigned>(magnitude % Scale);
    std::string s = negative ? "-" : "";
    s += std::to_string(whole);
    if (fraction != 0) {
        std::string digits = std::to_string(fraction + Scale).substr(1);  // four digits, zero-padded
        while (digits.back() == '0') digits.pop_back();
        s += decimalSeparator;
        s += digits;
    }
    return s;
}

Currency Currency::operator+(Currency other) const {
    int64_t r;
    if (__builtin_add_overflow(units_, other.units_, &r)) overflow();
    return fromUnits(r);
}

Currency Currency::operator-(Currency other) const {
    int64_t r;
    if (__builtin_sub_overflow(units_, other.units_, &r)) overflow();
    return fromUnits(r);
}

Currency Currency::operator-() const {
    if (units_ == INT64_MIN) overflow();
    return fromUnits(-units_);
}

}  // namespace com
