#include "date_text.h"

#include <array>

#include <QRegularExpression>
#include <QStringList>

namespace quillon {

namespace {

// Month names in English and Romanian; each is also known by its first three letters.
constexpr std::array<const char*, 12> English{"january", "february", "march",     "april",   "may",      "june",
                                              "july",    "august",   "september", "october", "november", "december"};
constexpr std::array<const char*, 12> Romanian{"ianuarie", "februarie", "martie",     "aprilie",   "mai",       "iunie",
                                               "iulie",    "august",    "septembrie", "octombrie", "noiembrie", "decembrie"};

// 1 to 12 for a month's name or abbreviation (any case, an optional final "."), else 0.
int monthOf(QString word) {
    word = word.toLower();
    if (word.endsWith(u'.')) word.chop(1);
    if (word.size() < 3) return 0;
    for (int m = 0; m < 12; ++m) {
        for (const char* name : {English[static_cast<size_t>(m)], Romanian[static_cast<size_t>(m)]}) {
            const QString full = QString::fromLatin1(name);
            if (word == full || word == full.left(3)) return m + 1;
        }
    }
    if (word == u"sept") return 9;
    if (word == u"noie") return 11;
    return 0;
}

int fullYear(const QString& digits) {
    const int year = digits.toInt();
    // Two typed digits take the century of the run-time's window (1930 to 2029).
    if (digits.size() <= 2) return year < 30 ? 2000 + year : 1900 + year;
    return year;
}

// Takes the time of day ("10:30", "10:30:15", "10:30 PM", "10 AM") out of `text`;
// nullopt when a time is there but does not exist. `found` tells whether one was there.
std::optional<QTime> takeTime(QString& text, bool& found) {
    static const QRegularExpression clock(
        QStringLiteral("(?:^|\\s)(\\d{1,2}):(\\d{1,2})(?::(\\d{1,2}))?(?:\\s*([AaPp][Mm]))?(?=\\s|$)"));
    static const QRegularExpression hourOnly(QStringLiteral("(?:^|\\s)(\\d{1,2})\\s*([AaPp][Mm])(?=\\s|$)"));
    int hour = 0, minute = 0, second = 0;
    QString half;
    QRegularExpressionMatch m = clock.match(text);
    if (m.hasMatch()) {
        hour = m.captured(1).toInt();
        minute = m.captured(2).toInt();
        second = m.captured(3).toInt();
        half = m.captured(4).toLower();
    } else if ((m = hourOnly.match(text)).hasMatch()) {
        hour = m.captured(1).toInt();
        half = m.captured(2).toLower();
    }
    found = m.hasMatch();
    if (!found) return QTime(0, 0);
    if (!half.isEmpty()) {
        if (hour < 1 || hour > 12) return std::nullopt;
        hour = hour % 12 + (half == u"pm" ? 12 : 0);
    }
    text.remove(m.capturedStart(), m.capturedLength());
    const QTime time(hour, minute, second);
    if (!time.isValid()) return std::nullopt;
    return time;
}

// The date of the text left once the time is out: numbers and at most one month name
// between the separators " / . - ,".
std::optional<QDate> readDate(const QString& text) {
    static const QRegularExpression token(QStringLiteral("\\d+|[A-Za-z]+\\.?|[\\s/.,-]+|."));
    QStringList numbers;
    int month = 0;
    bool monthFirst = false;
    auto it = token.globalMatch(text);
    while (it.hasNext()) {
        const QString t = it.next().captured();
        if (t.front().isDigit()) {
            numbers << t;
        } else if (t.front().isLetter()) {
            if (month != 0) return std::nullopt;
            month = monthOf(t);
            if (month == 0) return std::nullopt;
            monthFirst = numbers.isEmpty();
        } else if (!QStringLiteral(" /.,-\t").contains(t.front())) {
            return std::nullopt;
        }
    }
    const auto isYear = [](const QString& n) { return n.size() >= 3 || n.toInt() > 31; };
    if (month != 0) {
        if (numbers.size() != 2) return std::nullopt;
        if (isYear(numbers[0]) && !monthFirst)  // 2006 Feb 3
            return QDate(fullYear(numbers[0]), month, numbers[1].toInt());
        return QDate(fullYear(numbers[1]), month, numbers[0].toInt());  // 3 Feb 2006, Feb 3 2006
    }
    if (numbers.size() != 3) return std::nullopt;
    if (numbers[0].size() >= 3)  // year first, as ISO writes it
        return QDate(numbers[0].toInt(), numbers[1].toInt(), numbers[2].toInt());
    return QDate(fullYear(numbers[2]), numbers[1].toInt(), numbers[0].toInt());  // day first
}

}  // namespace

std::optional<QDateTime> readDateText(const QString& input) {
    QString text = input.trimmed();
    // ISO's "T" between the date and the time.
    static const QRegularExpression isoT(QStringLiteral("(?<=\\d)T(?=\\d)"));
    text.replace(isoT, QStringLiteral(" "));
    bool hasTime = false;
    const auto time = takeTime(text, hasTime);
    if (!time) return std::nullopt;
    text = text.trimmed();
    if (text.isEmpty()) {
        if (!hasTime) return std::nullopt;
        return QDateTime(QDate(1899, 12, 30), *time);  // a time alone is on day 0
    }
    const auto date = readDate(text);
    if (!date || !date->isValid()) return std::nullopt;
    return QDateTime(*date, *time);
}

}  // namespace quillon
