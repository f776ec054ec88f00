#include <array>
#include <charconv>
#include <string>
#include <vector>

#include "com/date.h"
#include "com/locale.h"

namespace com {

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v'; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }
// The letters of a month's name: ASCII letters, and the bytes of the UTF-8 letters a locale's
// names may hold.
bool isLetter(char c) {
    const auto u = static_cast<unsigned char>(c);
    return (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || u >= 0x80;
}

std::string lowered(std::string_view text) {
    std::string s(text);
    for (char& c : s)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return s;
}

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
    return text;
}

// The value of a run of digits; -1 when it does not fit.
int valueOf(std::string_view digits) {
    int value = 0;
    const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    return ec == std::errc() && end == digits.data() + digits.size() ? value : -1;
}

constexpr std::array<std::string_view, 12> English{"january",   "february", "march",    "april",
                                                   "may",       "june",     "july",     "august",
                                                   "september", "october",  "november", "december"};

// 1 to 12 for a month's name (any case, without its final "."): the English or the locale's
// name in full or abbreviated, or the first three or more letters of one month's full name;
// 0 for any other word.
int monthOf(std::string_view word) {
    const UserLocale& loc = userLocale();
    const std::string w = lowered(word);
    auto withoutDot = [](std::string name) {
        if (!name.empty() && name.back() == '.') name.pop_back();
        return name;
    };
    for (size_t m = 0; m < 12; ++m) {
        const std::string names[] = {std::string(English[m]), lowered(loc.monthNames[m]),
                                     withoutDot(lowered(loc.abbreviatedMonthNames[m]))};
        for (const std::string& name : names)
            if (!name.empty() && w == name) return static_cast<int>(m) + 1;
    }
    if (w.size() < 3) return 0;
    int found = 0;
    for (size_t m = 0; m < 12; ++m) {
        for (const std::string& name : {std::string(English[m]), lowered(loc.monthNames[m])}) {
            if (name.size() <= w.size() || name.compare(0, w.size(), w) != 0) continue;
            if (found != 0 && found != static_cast<int>(m) + 1) return 0;  // the start of two months' names
            found = static_cast<int>(m) + 1;
        }
    }
    return found;
}

// A two-digit (or shorter) year takes the century of the conversion's window, 1930 to 2029.
int fullYear(std::string_view digits) {
    const int year = valueOf(digits);
    if (digits.size() <= 2) return year < 30 ? 2000 + year : 1900 + year;
    return year;
}

// A time of day found in the text: where it stands and what it says.
struct Clock {
    size_t from = 0;
    size_t to = 0;
    int hour = 0, minute = 0, second = 0;
    char half = 0;  // 'a' or 'p' after an AM or PM, else 0
};

bool endsWord(std::string_view s, size_t at) { return at == s.size() || isBlank(s[at]); }

// Up to two digits at `at`: how many there are, their value in `value`.
size_t twoDigits(std::string_view s, size_t at, int& value) {
    size_t n = 0;
    value = 0;
    while (n < 2 && at + n < s.size() && isDigit(s[at + n])) value = value * 10 + (s[at + n++] - '0');
    return n;
}

// "AM" or "PM" (any case) after optional blanks at `at`: the position after it, or npos.
size_t halfOfDay(std::string_view s, size_t at, char& half) {
    while (at < s.size() && isBlank(s[at])) ++at;
    if (at + 2 > s.size()) return std::string_view::npos;
    const char h = static_cast<char>(s[at] | 0x20), m = static_cast<char>(s[at + 1] | 0x20);
    if ((h != 'a' && h != 'p') || m != 'm') return std::string_view::npos;
    half = h;
    return at + 2;
}

// "10:30", "10:30:15", either followed by AM or PM, beginning at `at` and ending the word.
std::optional<Clock> clockAt(std::string_view s, size_t at) {
    Clock c;
    c.from = at;
    size_t i = at + twoDigits(s, at, c.hour);
    if (i == at || i >= s.size() || s[i] != ':') return std::nullopt;
    const size_t minuteAt = ++i;
    i += twoDigits(s, i, c.minute);
    if (i == minuteAt) return std::nullopt;
    // The longest reading first: with the seconds, then without; each with AM or PM, then without.
    struct Reading {
        size_t end;
        int second;
    };
    std::vector<Reading> readings;
    if (int second = 0; i < s.size() && s[i] == ':') {
        if (const size_t n = twoDigits(s, i + 1, second); n > 0) readings.push_back({i + 1 + n, second});
    }
    readings.push_back({i, 0});
    for (const Reading& r : readings) {
        c.second = r.second;
        if (const size_t after = halfOfDay(s, r.end, c.half); after != std::string_view::npos && endsWord(s, after)) {
            c.to = after;
            return c;
        }
        c.half = 0;
        if (endsWord(s, r.end)) {
            c.to = r.end;
            return c;
        }
    }
    return std::nullopt;
}

// "10 AM", "10PM": an hour with the half of the day, beginning at `at` and ending the word.
std::optional<Clock> hourAt(std::string_view s, size_t at) {
    Clock c;
    c.from = at;
    const size_t i = at + twoDigits(s, at, c.hour);
    if (i == at) return std::nullopt;
    const size_t after = halfOfDay(s, i, c.half);
    if (after == std::string_view::npos || !endsWord(s, after)) return std::nullopt;
    c.to = after;
    return c;
}

// The first time of day in the text that begins it or follows a blank: a clock time, else an
// hour with AM or PM.
std::optional<Clock> findTime(std::string_view s) {
    for (auto reader : {clockAt, hourAt})
        for (size_t at = 0; at < s.size(); ++at)
            if ((at == 0 || isBlank(s[at - 1])) && isDigit(s[at]))
                if (auto c = reader(s, at)) return c;
    return std::nullopt;
}

DateParts calendarDay(int year, int month, int day) {
    DateParts p;
    p.year = year;
    p.month = month;
    p.day = day;
    p.hour = p.minute = p.second = 0;
    return p;
}

bool isSeparator(char c) {
    if (isBlank(c) || c == '/' || c == '.' || c == ',' || c == '-') return true;
    return userLocale().dateSeparator.find(c) != std::string::npos;
}

// The calendar date of the text left once the time is out: three numbers, or two numbers and
// one month's name, between separators.
std::optional<DateParts> readCalendar(std::string_view s) {
    std::vector<std::string_view> numbers;
    int month = 0;
    bool monthFirst = false;
    for (size_t i = 0; i < s.size();) {
        size_t j = i;
        if (isDigit(s[i])) {
            while (j < s.size() && isDigit(s[j])) ++j;
            numbers.push_back(s.substr(i, j - i));
        } else if (isLetter(s[i])) {
            while (j < s.size() && isLetter(s[j])) ++j;
            if (month != 0) return std::nullopt;
            month = monthOf(s.substr(i, j - i));
            if (month == 0) return std::nullopt;
            monthFirst = numbers.empty();
        } else if (isSeparator(s[i])) {
            ++j;
        } else {
            return std::nullopt;
        }
        i = j;
    }
    for (const std::string_view n : numbers)
        if (valueOf(n) < 0) return std::nullopt;
    const auto isYear = [](std::string_view n) { return n.size() >= 3 || valueOf(n) > 31; };
    if (month != 0) {
        if (numbers.size() != 2) return std::nullopt;
        // 2006 Feb 3; else 3 Feb 2006, Feb 3 2006
        if (isYear(numbers[0]) && !monthFirst) return calendarDay(fullYear(numbers[0]), month, valueOf(numbers[1]));
        return calendarDay(fullYear(numbers[1]), month, valueOf(numbers[0]));
    }
    if (numbers.size() != 3) return std::nullopt;
    // The year first when it has three digits or more, as ISO writes it; else the locale's order.
    if (numbers[0].size() >= 3) return calendarDay(valueOf(numbers[0]), valueOf(numbers[1]), valueOf(numbers[2]));
    const std::string& order = userLocale().dateOrder;
    if (order == "mdy") return calendarDay(fullYear(numbers[2]), valueOf(numbers[0]), valueOf(numbers[1]));
    if (order == "ymd") return calendarDay(fullYear(numbers[0]), valueOf(numbers[1]), valueOf(numbers[2]));
    return calendarDay(fullYear(numbers[2]), valueOf(numbers[1]), valueOf(numbers[0]));
}

}  // namespace

std::optional<Date> readDateText(std::string_view input) {
    std::string text(trimmed(input));
    // ISO's "T" between the date and the time.
    for (size_t i = 1; i + 1 < text.size(); ++i)
        if (text[i] == 'T' && isDigit(text[i - 1]) && isDigit(text[i + 1])) text[i] = ' ';
    const std::optional<Clock> clock = findTime(text);
    DateParts time;
    if (clock) {
        time.hour = clock->hour;
        time.minute = clock->minute;
        time.second = clock->second;
        if (clock->half != 0) {
            if (time.hour < 1 || time.hour > 12) return std::nullopt;
            time.hour = time.hour % 12 + (clock->half == 'p' ? 12 : 0);
        }
        // The blank before the time goes with it.
        const size_t from = clock->from > 0 ? clock->from - 1 : 0;
        text.erase(from, clock->to - from);
    }
    const std::string_view rest = trimmed(text);
    if (rest.empty()) {
        if (!clock) return std::nullopt;
        return Date::tryFromParts(time);  // a time alone is on day 0, 30 December 1899
    }
    auto day = readCalendar(rest);
    if (!day) return std::nullopt;
    day->hour = time.hour;
    day->minute = time.minute;
    day->second = time.second;
    return Date::tryFromParts(*day);
}

}  // namespace com
