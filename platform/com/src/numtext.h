#pragma once
// Reading numbers from text as the Automation coercions do: exact decimal digits first,
// then converted to the target type without a detour through binary floating point.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace com::detail {

struct DecimalText {
    bool negative = false;
    std::string digits;  // no leading zeros needed; at least one digit
    int exponent = 0;    // value = digits * 10^exponent
};

// Blanks around, a sign before or after (or parentheses), the decimal separator, the
// thousands separator in the integer part, an exponent, and "&H"/"&O" prefixes.
std::optional<DecimalText> readDecimal(std::string_view text, std::string_view decimalSeparator,
                                       std::string_view thousandsSeparator);

// value * 10^scale rounded half to even; nullopt when outside int64.
std::optional<int64_t> toScaled(const DecimalText& d, int scale);

double toDouble(const DecimalText& d);

}  // namespace com::detail
