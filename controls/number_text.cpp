#include "number_text.h"

#include <charconv>
#include <cmath>
#include <string>

#include <QLocale>
#include <QRegularExpression>

#include "com/error.h"

namespace quillon {

namespace {

// A decimal number as its digits and the count of them after the point.
struct DecimalDigits {
    bool negative = false;
    std::string digits = "0";
    int scale = 0;
};

DecimalDigits fromInteger(int64_t value, int scale = 0) {
    DecimalDigits d;
    d.negative = value < 0;
    const uint64_t magnitude = d.negative ? 0 - static_cast<uint64_t>(value) : static_cast<uint64_t>(value);
    d.digits = std::to_string(magnitude);
    d.scale = scale;
    return d;
}

// Fifteen significant digits, as the run-time formats a double.
DecimalDigits fromDouble(double value) {
    if (!std::isfinite(value)) com::raise(com::errc::Overflow, "");
    char buffer[64];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific, 14).ptr;
    const std::string text(buffer, end);
    DecimalDigits d;
    d.negative = text.front() == '-';
    const size_t start = d.negative ? 1 : 0;
    const size_t e = text.find('e');
    std::string mantissa = text.substr(start, e - start);
    mantissa.erase(mantissa.find('.'), 1);  // 15 digits, point after the first
    const int exponent = std::stoi(text.substr(e + 1));
    // value = mantissa * 10^(exponent - 14)
    int scale = 14 - exponent;
    if (scale < 0) {
        mantissa.append(static_cast<size_t>(-scale), '0');
        scale = 0;
    }
    d.digits = mantissa;
    d.scale = scale;
    return d;
}

DecimalDigits toDigits(const com::Variant& value) {
    switch (value.type()) {
    case com::VarType::Empty: return {};
    case com::VarType::Null: com::raise(com::errc::InvalidUseOfNull, "");
    case com::VarType::Boolean: return fromInteger(*value.get<bool>() ? -1 : 0);
    case com::VarType::Integer: return fromInteger(*value.get<int16_t>());
    case com::VarType::Long: return fromInteger(*value.get<int32_t>());
    case com::VarType::Currency: return fromInteger(value.get<com::Currency>()->units(), 4);
    case com::VarType::Double: return fromDouble(*value.get<double>());
    case com::VarType::Date: return fromDouble(value.get<com::Date>()->serial());
    case com::VarType::String:
        if (value.get<std::string>()->empty()) return {};
        return fromDouble(value.toDouble());
    case com::VarType::Object: break;
    }
    com::raise(com::errc::TypeMismatch, "");
}

// Rounds (half away from zero) or pads to exactly `decimals` digits after the point.
void setScale(DecimalDigits& d, int decimals) {
    if (d.scale > decimals) {
        const size_t keep = d.digits.size() - static_cast<size_t>(d.scale - decimals);
        const bool up = keep < d.digits.size() && d.digits[keep] >= '5';
        std::string kept = d.digits.substr(0, keep);
        if (kept.empty()) kept = "0";
        if (up) {
            int i = static_cast<int>(kept.size()) - 1;
            for (; i >= 0 && kept[static_cast<size_t>(i)] == '9'; --i) kept[static_cast<size_t>(i)] = '0';
            if (i < 0) kept.insert(kept.begin(), '1');
            else ++kept[static_cast<size_t>(i)];
        }
        d.digits = kept;
    } else {
        d.digits.append(static_cast<size_t>(decimals - d.scale), '0');
    }
    d.scale = decimals;
    while (static_cast<int>(d.digits.size()) < d.scale + 1) d.digits.insert(d.digits.begin(), '0');
    const size_t firstNonZero = d.digits.find_first_not_of('0');
    const size_t intLength = d.digits.size() - static_cast<size_t>(d.scale);
    const size_t strip = std::min(firstNonZero == std::string::npos ? intLength - 1 : firstNonZero, intLength - 1);
    d.digits.erase(0, strip);
    if (firstNonZero == std::string::npos) d.negative = false;  // no "-0.00"
}

QString render(const com::Variant& value, int decimals, const QString& point, const QString& group) {
    DecimalDigits d = toDigits(value);
    setScale(d, decimals);
    const QString digits = QString::fromStdString(d.digits);
    QString whole = digits.left(digits.size() - d.scale);
    if (!group.isEmpty())
        for (qsizetype i = whole.size() - 3; i > 0; i -= 3) whole.insert(i, group);
    QString text = d.negative ? QStringLiteral("-") + whole : whole;
    if (d.scale > 0) text += point + digits.right(d.scale);
    return text;
}

}  // namespace

QString formatNumber(const com::Variant& value, int decimals, bool grouping) {
    const QLocale locale;
    return render(value, decimals, locale.decimalPoint(), grouping ? locale.groupSeparator() : QString());
}

QString editNumber(const com::Variant& value, int decimals) {
    return render(value, decimals, QStringLiteral("."), QString());
}

bool isNumberValue(const com::Variant& value) {
    if (value.isNull() || value.isObject()) return false;
    try {
        toDigits(value);
        return true;
    } catch (const com::Error&) {
        return false;
    }
}

bool isZeroOrEmpty(const com::Variant& value) {
    if (value.isEmpty()) return true;
    if (const auto* s = value.get<std::string>(); s && s->empty()) return true;
    if (!isNumberValue(value)) return false;
    return toDigits(value).digits.find_first_not_of('0') == std::string::npos;
}

std::optional<com::Variant> parseEditNumber(const QString& text) {
    static const QRegularExpression plain(QStringLiteral("^-?\\d*\\.?\\d*$"));
    if (!plain.match(text).hasMatch()) return std::nullopt;
    if (!text.contains(QRegularExpression(QStringLiteral("\\d")))) return com::Variant(int16_t{0});
    const std::string s = text.toStdString();
    const qsizetype point = text.indexOf(u'.');
    const bool fitsScale = point < 0 || text.size() - point - 1 <= 4;
    if (fitsScale) {
        try {
            return com::Variant(com::Currency::parse(s, "."));
        } catch (const com::Error& e) {
            if (e.number() != com::errc::Overflow) return std::nullopt;
        }
    }
    bool ok = false;
    const double value = QLocale::c().toDouble(text, &ok);
    if (!ok || !std::isfinite(value)) return std::nullopt;  // more digits than a number holds
    return com::Variant(value);
}

std::optional<com::Variant> parseNumberText(const QString& text) {
    if (auto number = parseEditNumber(text)) return number;
    const QLocale locale;
    QString plain = text;
    plain.remove(locale.groupSeparator());
    plain.replace(locale.decimalPoint(), QStringLiteral("."));
    return parseEditNumber(plain);
}

}  // namespace quillon
