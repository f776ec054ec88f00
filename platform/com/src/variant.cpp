#include "com/variant.h"

#include <charconv>
#include <cmath>
#include <limits>

#include "com/dispatch.h"
#include "com/error.h"
#include "com/locale.h"
#include "numtext.h"

namespace com {

namespace {

constexpr const char* source = "Variant";

[[noreturn]] void overflow() { raise(errc::Overflow, source); }
[[noreturn]] void nullUsed() { raise(errc::InvalidUseOfNull, source); }
[[noreturn]] void mismatch(std::string_view what = {}) {
    if (what.empty()) raise(errc::TypeMismatch, source);
    raise(errc::TypeMismatch, source,
          standardDescription(errc::TypeMismatch, "\"" + std::string(what) + "\" nu este un numar."));
}

detail::DecimalText readNumberText(std::string_view text) {
    const UserLocale& loc = userLocale();
    const auto d = detail::readDecimal(text, loc.decimalSeparator, loc.thousandsSeparator);
    if (!d) mismatch(text);
    return *d;
}

int64_t checkedRange(int64_t v, int64_t lo, int64_t hi) {
    if (v < lo || v > hi) overflow();
    return v;
}

// Any value as a whole number, rounded half to even, within [lo, hi].
int64_t toWhole(const Variant& v, int64_t lo, int64_t hi) {
    switch (v.type()) {
    case VarType::Empty: return 0;
    case VarType::Null: nullUsed();
    case VarType::Boolean: return *v.get<bool>() ? -1 : 0;
    case VarType::Integer: return checkedRange(*v.get<int16_t>(), lo, hi);
    case VarType::Long: return checkedRange(*v.get<int32_t>(), lo, hi);
    case VarType::Currency: {
        const int64_t units = v.get<Currency>()->units();
        int64_t whole = units / Currency::Scale;
        const int64_t rest = units % Currency::Scale, half = Currency::Scale / 2;
        if (rest > half || (rest == half && (whole & 1))) ++whole;
        else if (rest < -half || (rest == -half && (whole & 1))) --whole;
        return checkedRange(whole, lo, hi);
    }
    case VarType::Double: return checkedRange(roundHalfEven(*v.get<double>()), lo, hi);
    case VarType::Date: return checkedRange(roundHalfEven(v.get<Date>()->serial()), lo, hi);
    case VarType::String: {
        const auto whole = detail::toScaled(readNumberText(*v.get<std::string>()), 0);
        if (!whole) overflow();
        return checkedRange(*whole, lo, hi);
    }
    case VarType::Object: mismatch();
    }
    mismatch();
}

// Fifteen significant digits ("%.15G"), written in the C locale's form whatever the
// process's locale is, then given the user's decimal separator.
std::string doubleText(double d) {
    char text[40];
    std::string s(text, std::to_chars(text, text + sizeof text, d, std::chars_format::general, 15).ptr);
    if (const auto e = s.find('e'); e != std::string::npos) s[e] = 'E';
    if (const auto dot = s.find('.'); dot != std::string::npos) s.replace(dot, 1, userLocale().decimalSeparator);
    return s;
}

std::string twoDigits(int n) { return n < 10 ? "0" + std::to_string(n) : std::to_string(n); }

std::string dateText(Date date) {
    const DateParts p = date.parts();
    const UserLocale& loc = userLocale();
    const bool hasDate = std::trunc(date.serial()) != 0;
    const bool hasTime = p.hour != 0 || p.minute != 0 || p.second != 0;
    std::string s;
    if (hasDate || !hasTime) {
        const std::string d = twoDigits(p.day), m = twoDigits(p.month), y = std::to_string(p.year);
        const std::string& sep = loc.dateSeparator;
        if (loc.dateOrder == "mdy") s = m + sep + d + sep + y;
        else if (loc.dateOrder == "ymd") s = y + sep + m + sep + d;
        else s = d + sep + m + sep + y;
    }
    if (hasTime) {
        if (!s.empty()) s += ' ';
        s += twoDigits(p.hour) + ":" + twoDigits(p.minute) + ":" + twoDigits(p.second);
    }
    return s;
}

}  // namespace

int64_t roundHalfEven(double value) {
    const double r = std::nearbyint(value);  // the default rounding mode rounds half to even
    if (!std::isfinite(r) || r >= 9223372036854775808.0 || r < -9223372036854775808.0) overflow();
    return static_cast<int64_t>(r);
}

double parseNumber(std::string_view text) {
    const double d = detail::toDouble(readNumberText(text));
    if (!std::isfinite(d)) overflow();
    return d;
}

DecimalDigits parseDecimal(std::string_view text) {
    detail::DecimalText d = readNumberText(text);
    return DecimalDigits{d.negative, std::move(d.digits), d.exponent};
}

bool Variant::isNumber() const {
    switch (type()) {
    case VarType::Integer:
    case VarType::Long:
    case VarType::Currency:
    case VarType::Double: return true;
    default: return false;
    }
}

bool Variant::toBool() const {
    switch (type()) {
    case VarType::Boolean: return *get<bool>();
    case VarType::String: {
        const std::string& s = *get<std::string>();
        if (equalsIgnoreCase(s, "True")) return true;
        if (equalsIgnoreCase(s, "False")) return false;
        return parseNumber(s) != 0;
    }
    case VarType::Double: return *get<double>() != 0;
    case VarType::Currency: return get<Currency>()->units() != 0;
    case VarType::Date: return get<Date>()->serial() != 0;
    default: return toWhole(*this, INT32_MIN, INT32_MAX) != 0;
    }
}

int16_t Variant::toInteger() const { return static_cast<int16_t>(toWhole(*this, INT16_MIN, INT16_MAX)); }

int32_t Variant::toLong() const { return static_cast<int32_t>(toWhole(*this, INT32_MIN, INT32_MAX)); }

Currency Variant::toCurrency() const {
    switch (type()) {
    case VarType::Empty: return {};
    case VarType::Null: nullUsed();
    case VarType::Boolean: return Currency::fromInteger(*get<bool>() ? -1 : 0);
    case VarType::Integer: return Currency::fromInteger(*get<int16_t>());
    case VarType::Long: return Currency::fromInteger(*get<int32_t>());
    case VarType::Currency: return *get<Currency>();
    case VarType::Double: return Currency::fromDouble(*get<double>());
    case VarType::Date: return Currency::fromDouble(get<Date>()->serial());
    case VarType::String: {
        const auto units = detail::toScaled(readNumberText(*get<std::string>()), 4);
        if (!units) overflow();
        return Currency::fromUnits(*units);
    }
    case VarType::Object: mismatch();
    }
    mismatch();
}

double Variant::toDouble() const {
    switch (type()) {
    case VarType::Empty: return 0;
    case VarType::Null: nullUsed();
    case VarType::Boolean: return *get<bool>() ? -1 : 0;
    case VarType::Integer: return *get<int16_t>();
    case VarType::Long: return *get<int32_t>();
    case VarType::Currency: return get<Currency>()->toDouble();
    case VarType::Double: return *get<double>();
    case VarType::Date: return get<Date>()->serial();
    case VarType::String: return parseNumber(*get<std::string>());
    case VarType::Object: mismatch();
    }
    mismatch();
}

Date Variant::toDate() const {
    switch (type()) {
    case VarType::Null: nullUsed();
    case VarType::Date: return *get<Date>();
    case VarType::String: {
        const std::string& s = *get<std::string>();
        if (auto d = readDateText(s)) return *d;
        raise(errc::TypeMismatch, source, standardDescription(errc::TypeMismatch, "\"" + s + "\" nu este o data."));
    }
    case VarType::Object: mismatch();
    default: return Date(toDouble());
    }
}

std::string Variant::toString() const {
    switch (type()) {
    case VarType::Empty: return {};
    case VarType::Null: nullUsed();
    case VarType::Boolean: return *get<bool>() ? "True" : "False";
    case VarType::Integer: return std::to_string(*get<int16_t>());
    case VarType::Long: return std::to_string(*get<int32_t>());
    case VarType::Currency: return get<Currency>()->toString(userLocale().decimalSeparator);
    case VarType::Double: return doubleText(*get<double>());
    case VarType::Date: return dateText(*get<Date>());
    case VarType::String: return *get<std::string>();
    case VarType::Object: mismatch();
    }
    mismatch();
}

ComPtr<IUnknown> Variant::toObject() const {
    switch (type()) {
    case VarType::Empty:
    case VarType::Null: return {};
    case VarType::Object: return *get<ComPtr<IUnknown>>();
    default: mismatch();
    }
}

ComPtr<IDispatch> Variant::toDispatch() const {
    const ComPtr<IUnknown> object = toObject();
    if (!object) return {};
    auto dispatch = object.query<IDispatch>();
    if (!dispatch)
        raise(errc::TypeMismatch, source,
              standardDescription(errc::TypeMismatch, "Obiectul nu poate fi apelat prin nume."));
    return dispatch;
}

}  // namespace com
