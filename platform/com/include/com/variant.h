#pragma once
// The Automation variant and its coercions under the user's locale.
#include <cstdint>
#include <string>
#include <string_view>
#include <variant>

#include "com/currency.h"
#include "com/date.h"
#include "com/object.h"

namespace com {

class IDispatch;

enum class VarType { Empty, Null, Boolean, Integer, Long, Currency, Double, Date, String, Object };

struct Null {
    friend constexpr bool operator==(Null, Null) { return true; }
};

class [[gnu::visibility("default")]] Variant {
public:
    Variant() = default;  // Empty
    Variant(Null) : v_(Null{}) {}
    Variant(bool b) : v_(b) {}
    Variant(int16_t i) : v_(i) {}
    Variant(int32_t i) : v_(i) {}
    Variant(Currency c) : v_(c) {}
    Variant(double d) : v_(d) {}
    Variant(Date d) : v_(d) {}
    Variant(std::string s) : v_(std::move(s)) {}
    Variant(std::string_view s) : v_(std::string(s)) {}
    Variant(const char* s) : v_(std::string(s)) {}
    Variant(ComPtr<IUnknown> o) : v_(std::move(o)) {}
    // Holds the object's identity (its IUnknown), as a variant of an object does.
    template <class T, class = std::enable_if_t<std::is_base_of_v<IUnknown, T> && !std::is_same_v<T, IUnknown>>>
    Variant(const ComPtr<T>& o)
        : v_(o ? ComPtr<IUnknown>::adopt(static_cast<IUnknown*>(o->QueryInterface(IUnknown::iid)))
               : ComPtr<IUnknown>()) {}

    static Variant null() { return Variant(Null{}); }

    VarType type() const { return static_cast<VarType>(v_.index()); }
    bool isEmpty() const { return type() == VarType::Empty; }
    bool isNull() const { return type() == VarType::Null; }
    bool isObject() const { return type() == VarType::Object; }
    // Numeric types (Boolean excluded), as the run-time's IsNumeric sees a value held.
    bool isNumber() const;

    // Coercions; each raises com::Error: 94 for Null, 13 for text that is no number
    // (or an object), 6 when out of the target's range. Numbers to integers round
    // half to even; text reads the user's decimal and thousands separators.
    bool toBool() const;
    int16_t toInteger() const;
    int32_t toLong() const;
    Currency toCurrency() const;
    double toDouble() const;
    Date toDate() const;
    // Empty gives ""; numbers in their text form with the user's decimal separator.
    std::string toString() const;
    // Empty or Null object gives an empty pointer; a value that is no object raises 13.
    ComPtr<IUnknown> toObject() const;
    ComPtr<IDispatch> toDispatch() const;

    // The value held, without coercion (nullptr when another type is held).
    template <class T>
    const T* get() const {
        return std::get_if<T>(&v_);
    }

    // Same type and value (objects by identity); what a test or a change check needs.
    friend bool operator==(const Variant& a, const Variant& b) { return a.v_ == b.v_; }

private:
    std::variant<std::monostate, Null, bool, int16_t, int32_t, Currency, double, Date, std::string, ComPtr<IUnknown>>
        v_;
};

// Text to number under the user's locale, as the coercions read it; raises 13 or 6.
[[gnu::visibility("default")]] double parseNumber(std::string_view text);
// Text to number under the user's locale as the coercions read it, kept exact: its
// decimal digits (at least one, no leading zeros) and the power of ten that scales them
// (value = digits x 10^exponent). Raises 13 for text that is no number.
struct DecimalDigits {
    bool negative = false;
    std::string digits;
    int exponent = 0;
};
[[gnu::visibility("default")]] DecimalDigits parseDecimal(std::string_view text);
// Double to integer, half to even, range-checked (raises 6).
[[gnu::visibility("default")]] int64_t roundHalfEven(double value);

}  // namespace com
