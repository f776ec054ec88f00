#pragma once
// The Automation currency: a 64-bit count of 1/10 000, exact; overflow raises error 6.
#include <compare>
#include <cstdint>
#include <string>
#include <string_view>

namespace com {

class [[gnu::visibility("default")]] Currency {
public:
    static constexpr int64_t Scale = 10000;

    constexpr Currency() = default;
    static constexpr Currency fromUnits(int64_t units) {
        Currency c;
        c.units_ = units;
        return c;
    }
    // Whole amount (raises 6 when out of range).
    static Currency fromInteger(int64_t whole);
    // Rounded to four decimals, half to even; raises 6 out of range and 6 for NaN/infinite.
    static Currency fromDouble(double value);
    // Plain decimal text with the given decimal separator (no grouping, optional sign and
    // blanks, up to any number of decimals rounded half to even); raises 13 or 6.
    static Currency parse(std::string_view text, std::string_view decimalSeparator = ".");

    constexpr int64_t units() const { return units_; }
    double toDouble() const { return static_cast<double>(units_) / Scale; }
    // Up to four decimals, trailing zeros dropped, no grouping.
    std::string toString(std::string_view decimalSeparator = ".") const;

    Currency operator+(Currency other) const;  // raises 6 on overflow
    Currency operator-(Currency other) const;  // raises 6 on overflow
    Currency operator-() const;                // raises 6 on overflow
    Currency& operator+=(Currency other) { return *this = *this + other; }
    Currency& operator-=(Currency other) { return *this = *this - other; }

    friend constexpr auto operator<=>(Currency, Currency) = default;
    friend constexpr bool operator==(Currency, Currency) = default;

    static constexpr Currency max() { return fromUnits(INT64_MAX); }
    static constexpr Currency min() { return fromUnits(INT64_MIN); }

private:
    int64_t units_ = 0;
};

}  // namespace com
