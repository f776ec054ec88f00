#include "global.h"

#include <QLocale>
#include <QStringList>

#include "com/date.h"
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

QString formatData(const QString& text) {
    const auto read = com::readDateText(text.toStdString());
    if (!read)
        com::raise(com::errc::TypeMismatch, "Global-FormatData",
                   com::standardDescription(com::errc::TypeMismatch, "\"" + text.toStdString() + "\" nu este o data."));
    const com::DateParts date = read->parts();
    const QString s = separatorData();
    return QStringLiteral("%1%2%3%2%4")
        .arg(date.day, 2, 10, QLatin1Char('0'))
        .arg(s)
        .arg(date.month, 2, 10, QLatin1Char('0'))
        .arg(date.year);
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
