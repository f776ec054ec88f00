#pragma once
// The Automation date: days since 30 December 1899, the fraction being the time of day.
#include <compare>
#include <optional>
#include <string>
#include <string_view>

namespace com {

struct DateParts {
    int year = 1899, month = 12, day = 30, hour = 0, minute = 0, second = 0;
};

class Date {
public:
    constexpr Date() = default;
    constexpr explicit Date(double serial) : serial_(serial) {}
    // Raises 5 for a date or time that does not exist.
    static Date fromParts(const DateParts& parts);
    static Date fromYmd(int year, int month, int day) { return fromParts({year, month, day, 0, 0, 0}); }
    static std::optional<Date> tryFromParts(const DateParts& parts);
    // "YYYY-MM-DD" or "YYYY-MM-DD HH:MM:SS" (also with 'T'); raises 13 when malformed.
    static Date fromIso(std::string_view text);
    static Date today();
    static Date now();

    constexpr double serial() const { return serial_; }
    DateParts parts() const;  // rounded to the second
    // "YYYY-MM-DD HH:MM:SS", always with the time, so that text comparison orders dates.
    std::string toIso() const;

    friend constexpr auto operator<=>(Date, Date) = default;

private:
    double serial_ = 0;
};

}  // namespace com
