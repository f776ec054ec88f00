#include "com/date.h"

#include <cmath>
#include <cstdio>
#include <ctime>

#include "com/error.h"

namespace com {

namespace {

// Days since 1970-01-01 of a civil date (proleptic Gregorian).
long daysFromCivil(long y, unsigned m, unsigned d) {
    y -= m <= 2;
    const long era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<long>(doe) - 719468;
}

void civilFromDays(long z, int& y, int& m, int& d) {
    z += 719468;
    const long era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const long yy = static_cast<long>(yoe) + era * 400;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    y = static_cast<int>(yy + (m <= 2));
}

constexpr long epochOffset = 25569;  // 1970-01-01 as an Automation date

bool leap(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

int daysInMonth(int y, int m) {
    static constexpr int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && leap(y) ? 29 : days[m - 1];
}

Date fromTm(const std::tm& t) {
    return Date::fromParts({t.tm_year + 1900, t.tm_mon + 1, t.tm_mday, t.tm_hour, t.tm_min, t.tm_sec});
}

}  // namespace

std::optional<Date> Date::tryFromParts(const DateParts& p) {
    if (p.year < 100 || p.year > 9999 || p.month < 1 || p.month > 12 || p.day < 1 ||
        p.day > daysInMonth(p.year, p.month) || p.hour < 0 || p.hour > 23 || p.minute < 0 || p.minute > 59 ||
        p.second < 0 || p.second > 59)
        return std::nullopt;
    const double days = static_cast<double>(daysFromCivil(p.year, p.month, p.day) + epochOffset);
    const double time = (p.hour * 3600 + p.minute * 60 + p.second) / 86400.0;
    // Before the epoch the time of day counts away from zero, as Automation dates do.
    return Date(days >= 0 ? days + time : days - time);
}

Date Date::fromParts(const DateParts& parts) {
    if (auto d = tryFromParts(parts)) return *d;
    char text[64];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", parts.year, parts.month, parts.day, parts.hour,
                  parts.minute, parts.second);
    raise(errc::InvalidProcedureCall, "Date", std::string("Date or time that does not exist: ") + text);
}

DateParts Date::parts() const {
    const double whole = std::trunc(serial_);
    long days = static_cast<long>(whole);
    long seconds = std::lround(std::fabs(serial_ - whole) * 86400.0);
    if (seconds >= 86400) {
        // Rounded up to midnight: the next calendar day, also before the epoch (where the
        // serial's whole part names the day and the fraction counts away from zero).
        seconds -= 86400;
        ++days;
    }
    DateParts p;
    civilFromDays(days - epochOffset, p.year, p.month, p.day);
    p.hour = static_cast<int>(seconds / 3600);
    p.minute = static_cast<int>(seconds / 60 % 60);
    p.second = static_cast<int>(seconds % 60);
    return p;
}

std::string Date::toIso() const {
    const DateParts p = parts();
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", p.year, p.month, p.day, p.hour, p.minute,
                  p.second);
    return text;
}

Date Date::fromIso(std::string_view text) {
    DateParts p;
    char sep = ' ';
    int consumed = 0;
    const std::string s(text);
    const int n = std::sscanf(s.c_str(), "%4d-%2d-%2d%c%2d:%2d:%2d%n", &p.year, &p.month, &p.day, &sep, &p.hour,
                              &p.minute, &p.second, &consumed);
    bool ok = false;
    if (n == 3) {
        int end = 0;
        std::sscanf(s.c_str(), "%*4d-%*2d-%*2d%n", &end);
        ok = end == static_cast<int>(s.size());
        p.hour = p.minute = p.second = 0;
    } else if (n == 7) {
        ok = (sep == ' ' || sep == 'T') && consumed == static_cast<int>(s.size());
    }
    if (ok)
        if (auto d = tryFromParts(p)) return *d;
    raise(errc::TypeMismatch, "Date", standardDescription(errc::TypeMismatch, "\"" + s + "\" nu este o data."));
}

Date Date::now() {
    const std::time_t t = std::time(nullptr);
    std::tm local{};
    localtime_r(&t, &local);
    return fromTm(local);
}

Date Date::today() { return Date(std::trunc(now().serial())); }

}  // namespace com
