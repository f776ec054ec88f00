#include "grid_table.h"

#include <algorithm>
#include <charconv>
#include <cstdint>

#include <QLocale>

#include "com/currency.h"
#include "com/error.h"
#include "global.h"
#include "number_text.h"

namespace quillon {

namespace {

[[noreturn]] void overflow() { com::raise(com::errc::Overflow, ""); }

constexpr __int128 MaxUnits = Amount::MaxUnits;

__int128 checked(__int128 units) {
    if (units > MaxUnits || units < -MaxUnits) overflow();
    return units;
}

void checkScale(int decimals) {
    if (decimals < 0 || decimals > Amount::MaxScale) overflow();
}

__int128 power10(int n) {
    __int128 p = 1;
    for (int i = 0; i < n; ++i) p *= 10;
    return p;
}

// A count at `scale` as a count at `decimals`, rounded half away from zero.
__int128 rescaled(__int128 units, int scale, int decimals) {
    if (scale == decimals) return checked(units);
    if (decimals > scale) {
        __int128 result = 0;
        if (decimals - scale > 38 || __builtin_mul_overflow(units, power10(decimals - scale), &result)) overflow();
        return checked(result);
    }
    if (scale - decimals > 38) return 0;
    // The common amounts (a Currency shown with two decimals) divide in 64 bits.
    if (scale - decimals <= 18 && units >= INT64_MIN && units <= INT64_MAX) {
        const auto p = static_cast<int64_t>(power10(scale - decimals)), u = static_cast<int64_t>(units);
        int64_t q = u / p;
        const int64_t r = u % p;
        if ((r < 0 ? -r : r) >= p - p / 2) q += u < 0 ? -1 : 1;
        return q;
    }
    const __int128 p = power10(scale - decimals);
    __int128 q = units / p;
    const __int128 r = units % p;
    if ((r < 0 ? -r : r) >= p - p / 2) q += units < 0 ? -1 : 1;
    return q;
}

// Decimal digits followed by `zeros` zeros, as a count; raises 6 beyond the range.
__int128 countOf(std::string_view digits, long zeros) {
    __int128 units = 0;
    const auto push = [&units](int digit) {
        units = units * 10 + digit;
        if (units > MaxUnits) overflow();
    };
    for (const char c : digits) push(c - '0');
    for (long i = 0; i < zeros && units != 0; ++i) push(0);
    return units;
}

// A text the user's locale reads as a number, exactly, rounded half away from zero.
Amount fromText(std::string_view text, int decimals) {
    if (text.empty()) return Amount::zero(decimals);
    const com::DecimalDigits d = com::parseDecimal(text);
    const long shift = static_cast<long>(d.exponent) + decimals;
    __int128 units = 0;
    if (shift >= 0) {
        units = countOf(d.digits, shift);
    } else {
        const auto drop = static_cast<size_t>(-shift);
        if (drop <= d.digits.size()) {
            const std::string_view digits = d.digits;
            units = countOf(digits.substr(0, digits.size() - drop), 0);
            if (drop > 0 && digits[digits.size() - drop] >= '5') units = checked(units + 1);
        }
    }
    return Amount{d.negative ? -units : units, decimals};
}

// Reads the "." text of a number ("-1234.50") as a count at its own scale.
Amount fromEditText(const QString& text, int decimals) {
    __int128 units = 0;
    bool negative = false;
    for (const QChar c : text) {
        if (c == u'-') negative = true;
        else if (c.isDigit()) units = checked(units * 10 + c.digitValue());
    }
    return Amount{negative ? -units : units, decimals};
}

QString digitsOf(__int128 magnitude) {
    // Nineteen digits at a time in 64 bits: one 128-bit division for each.
    constexpr uint64_t Chunk = 10'000'000'000'000'000'000ULL;
    char buffer[48];
    char* const end = buffer + sizeof buffer;
    char* first = end;
    for (;;) {
        uint64_t part = static_cast<uint64_t>(magnitude % Chunk);
        magnitude /= Chunk;
        const char* const chunkStart = first - 19;
        do {
            *--first = static_cast<char>('0' + part % 10);
            part /= 10;
        } while (part > 0);
        if (magnitude == 0) break;
        while (first > chunkStart) *--first = '0';
    }
    return QString::fromLatin1(first, end - first);
}

}  // namespace

Amount Amount::of(const com::Variant& value, int decimals) {
    checkScale(decimals);
    switch (value.type()) {
    case com::VarType::Empty: return zero(decimals);
    case com::VarType::Boolean: return Amount{rescaled(*value.get<bool>() ? -1 : 0, 0, decimals), decimals};
    case com::VarType::Integer: return Amount{rescaled(*value.get<int16_t>(), 0, decimals), decimals};
    case com::VarType::Long: return Amount{rescaled(*value.get<int32_t>(), 0, decimals), decimals};
    case com::VarType::Currency: return Amount{rescaled(value.get<com::Currency>()->units(), 4, decimals), decimals};
    case com::VarType::String: return fromText(*value.get<std::string>(), decimals);
    default: return fromEditText(editNumber(value, decimals), decimals);
    }
}

void Amount::outOfRange() { overflow(); }

Amount Amount::at(int decimals) const {
    checkScale(decimals);
    return Amount{rescaled(units, scale, decimals), decimals};
}

Amount Amount::operator+(const Amount& other) const {
    return Amount{checked(units + rescaled(other.units, other.scale, scale)), scale};
}

Amount Amount::operator-(const Amount& other) const {
    return Amount{checked(units - rescaled(other.units, other.scale, scale)), scale};
}

com::Variant Amount::value() const {
    if (scale <= 4) {
        const __int128 u = units * power10(4 - scale);
        if (u >= INT64_MIN && u <= INT64_MAX) return com::Variant(com::Currency::fromUnits(static_cast<int64_t>(u)));
    }
    // The nearest Double, read from the exact digits.
    const std::string text = digitsOf(units < 0 ? -units : units).toStdString() + "e-" + std::to_string(scale);
    double magnitude = 0;
    std::from_chars(text.data(), text.data() + text.size(), magnitude);
    return com::Variant(units < 0 ? -magnitude : magnitude);
}

QString Amount::text() const {
    const QLocale locale;
    QString digits = digitsOf(units < 0 ? -units : units);
    while (digits.size() < scale + 1) digits.prepend(u'0');
    QString whole = digits.left(digits.size() - scale);
    const QString group = locale.groupSeparator();
    for (qsizetype i = whole.size() - 3; i > 0; i -= 3) whole.insert(i, group);
    QString result = units < 0 ? QStringLiteral("-") + whole : whole;
    if (scale > 0) result += locale.decimalPoint() + digits.right(scale);
    return result;
}

QString dateText(com::Date date) {
    const com::DateParts p = date.parts();
    const QString sep = separatorData();
    return QStringLiteral("%1%2%3%2%4")
        .arg(p.day, 2, 10, QLatin1Char('0'))
        .arg(sep)
        .arg(p.month, 2, 10, QLatin1Char('0'))
        .arg(p.year, 4, 10, QLatin1Char('0'));
}

std::pair<int32_t, std::string> keyedValue(std::string_view value) {
    // Values are short: a plain scan beats a library search here.
    const auto barAt = std::find(value.begin(), value.end(), '|');
    if (barAt == value.end()) com::raise(com::errc::SubscriptOutOfRange, "");
    const auto bar = static_cast<size_t>(barAt - value.begin());
    const std::string_view text = value.substr(bar + 1);
    int32_t key = 0;
    // Plain digits are read at once; anything else as the run-time converts it.
    const auto [end, failure] = std::from_chars(value.data(), value.data() + bar, key);
    if (failure != std::errc() || end != value.data() + bar || bar == 0)
        key = com::Variant(value.substr(0, bar)).toLong();
    return {key, std::string(text.begin(), std::find(text.begin(), text.end(), '|'))};
}

QString cellText(const Cell& cell) {
    if (const auto* s = std::get_if<std::string>(&cell)) return QString::fromStdString(*s);
    if (const auto* a = std::get_if<Amount>(&cell)) return a->text();
    if (const auto* d = std::get_if<ShownDate>(&cell)) return dateText(d->date);
    if (const auto* v = std::get_if<com::Variant>(&cell))
        return v->isNull() ? QString() : QString::fromStdString(v->toString());
    return {};
}

void GridTable::reset(int cols, int rows, int fixedRows) {
    columns_.assign(static_cast<size_t>(std::max(0, cols - 1)), Column{});
    std::fill(rowInfo_.begin(), rowInfo_.end(), Row{});
    // The cells keep their places: a new fill writes every one of them, replacing the old
    // values as it goes rather than in a pass of its own.
    fixedRows_ = fixedRows;
    setRows(rows, fixedRows);
}

void GridTable::setRows(int rows, int fixedRows) {
    fixedRows_ = fixedRows;
    const auto data = static_cast<size_t>(std::max(0, rows - fixedRows));
    rowInfo_.resize(data);
    cells_.resize(data * columns_.size());
}

void GridTable::appendRow() {
    rowInfo_.emplace_back();
    cells_.resize(rowInfo_.size() * columns_.size());
}

size_t GridTable::index(int r, int col) const {
    if (r < fixedRows_ || r >= rows() || col < 1 || col >= cols()) com::raise(com::errc::SubscriptOutOfRange, "");
    return static_cast<size_t>(r - fixedRows_) * columns_.size() + static_cast<size_t>(col - 1);
}

QString GridTable::text(int r, int col) const {
    if (r < 0 || r >= rows() || col < 0 || col >= cols()) com::raise(com::errc::SubscriptOutOfRange, "");
    if (col == 0) return {};
    if (r == 0) return column(col).caption;
    if (r < fixedRows_) return cellText(column(col).total);
    return cellText(cell(r, col));
}

}  // namespace quillon
