#include "global.h"

#include <QDate>
#include <QLocale>
#include <QRegularExpression>
#include <QStringList>

#include "com/error.h"

namespace quillon {

QString separatorZecimal() { return QLocale().decimalPoint(); }

QString separatorData() {
    const QString format = QLocale().dateFormat(QLocale::ShortFormat);
    for (const QChar c : format) {
        if (c.isLetter() || c == u'\'' || c.isSpace()) continue;
        return QString(c);
    }
    return QStringLiteral("/");
}

namespace {

int fullYear(const QString& digits) {
    const int year = digits.toInt();
    // Two typed digits take the century of the run-time's window (1930 to 2029).
    if (digits.size() <= 2) return year < 30 ? 2000 + year : 1900 + year;
    return year;
}

}  // namespace

QString formatData(const QString& text) {
    const QString trimmed = text.trimmed();
    const QString datePart = trimmed.section(u' ', 0, 0).section(u'T', 0, 0);
    QDate date;
    static const QRegularExpression iso(QStringLiteral("^(\\d{4})-(\\d{1,2})-(\\d{1,2})$"));
    const QString sep = QRegularExpression::escape(separatorData());
    const QRegularExpression dmy(QStringLiteral("^(\\d{1,2})(?:%1|/|\\.|-)(\\d{1,2})(?:%1|/|\\.|-)(\\d{1,4})$").arg(sep));
    if (const auto m = iso.match(datePart); m.hasMatch())
        date = QDate(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt());
    else if (const auto d = dmy.match(datePart); d.hasMatch())
        date = QDate(fullYear(d.captured(3)), d.captured(2).toInt(), d.captured(1).toInt());
    if (!date.isValid())
        com::raise(com::errc::TypeMismatch, "Global-FormatData", "Type mismatch: \"" + text.toStdString() + "\" is no date");
    const QString s = separatorData();
    return QStringLiteral("%1%2%3%2%4")
        .arg(date.day(), 2, 10, QLatin1Char('0'))
        .arg(s)
        .arg(date.month(), 2, 10, QLatin1Char('0'))
        .arg(date.year());
}

int16_t validezTastaNumar(int16_t caret, int16_t key, const QString& text, uint8_t decimals) {
    constexpr int16_t Minus = 45, Point = 46;
    const qsizetype p = std::clamp<qsizetype>(caret, 0, text.size());
    if (key == Minus) return (p == 0 && !text.contains(u'-')) ? Minus : int16_t{0};
    if (key == Point) {
        if (p == 0 || decimals == 0) return 0;
        if (text.contains(u'.')) return 0;
        if (text.left(p).endsWith(u'-') || text.size() - p > decimals) return 0;
        return Point;
    }
    if (key >= '0' && key <= '9') {
        const qsizetype q = text.indexOf(u'.');
        if (q < 0 || p <= q) return key;
        return (text.size() - q - 1 < decimals) ? key : int16_t{0};
    }
    return 0;
}

}  // namespace quillon
