#include "cell_text.h"

#include <QFontMetricsF>

#include <algorithm>
#include <cmath>

namespace reports {

namespace {
double advance(const QFont& font, const QString& text) { return QFontMetricsF(font).horizontalAdvance(text); }
}  // namespace

CellText fitCell(const QString& text, bool number, bool wraps, const QFont& font, double width, double height) {
    CellText cell{text, font};
    if (text.isEmpty()) return cell;
    if (wraps && !number) {
        const QFontMetricsF metrics(font);
        const auto fits = [&](const QString& t) {
            return metrics.boundingRect(QRectF(0, 0, std::max(1.0, width), 1e7), Qt::TextWordWrap, t).height() <=
                   height + 0.5;
        };
        if (fits(text)) return cell;
        // The longest beginning that fits with the ellipsis after it.
        qsizetype low = 0, high = text.size();
        while (low < high) {
            const qsizetype middle = (low + high + 1) / 2;
            if (fits(text.left(middle).trimmed() + QChar(0x2026))) low = middle;
            else high = middle - 1;
        }
        cell.text = text.left(low).trimmed() + QChar(0x2026);
        return cell;
    }
    const double needed = advance(font, text);
    if (needed <= width) return cell;
    if (!number) {
        cell.text = QFontMetricsF(font).elidedText(text, Qt::ElideRight, std::max(0.0, width));
        return cell;
    }
    // The width of a text grows with its size: start from the size in proportion, then step
    // down until it fits.
    const int size = font.pixelSize() > 0 ? font.pixelSize() : static_cast<int>(std::lround(font.pointSizeF() * 20));
    int pixels = std::min(size - 1, static_cast<int>(std::floor(size * width / needed)));
    QFont smaller = font;
    for (; pixels >= SmallestNumberPixels; --pixels) {
        smaller.setPixelSize(pixels);
        if (advance(smaller, text) <= width) {
            cell.font = smaller;
            return cell;
        }
    }
    const double mark = advance(font, QStringLiteral("#"));
    const int marks = std::max(1, static_cast<int>(std::floor(width / std::max(mark, 1.0))));
    cell.text = QString(marks, QLatin1Char('#'));
    return cell;
}

}  // namespace reports
