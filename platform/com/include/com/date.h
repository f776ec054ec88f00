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

class [[gnu::visibility("default")]] Date {
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

// Text as a date, as the ordinary text-to-date conversion reads it under the user's locale
// (userLocale()); nullopt for text that holds no date. It reads
//   three numbers between the separators " / . - ," (or the locale's): in the locale's order
//     of day, month and year, or the year first when the first has three digits or more
//     ("5.3.2006", "5/3/06", "2006-03-05"); a year of one or two digits is in 1930 to 2029;
//   two numbers and a month's name in English or in the locale's language, in full,
//     abbreviated, or its first three letters or more, in any case ("3 Feb 2006",
//     "3 februarie 2006" in a Romanian locale, "Feb 3, 2006", "3-feb-06", "2006 Feb 3");
//   each with a time before or after it ("10:30", "10:30:15", "10:30 PM", "10 AM", ISO's "T"
//   between the two), or a time alone, which is on day 0 (30 December 1899).
[[gnu::visibility("default")]] std::optional<Date> readDateText(std::string_view text);

}  // namespace com
