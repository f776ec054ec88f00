#include "grid_paint.h"

#include <QCache>
#include <QFontMetrics>
#include <QPainter>
#include <QPen>
#include <QStaticText>

namespace quillon::grid_paint {

namespace {

enum Lines { None = 0, Flat = 1, Inset = 2, Raised = 3, Dashes = 4, Dots = 5 };
enum TextStyle { TextFlat = 0, TextRaised = 1, TextInset = 2, TextRaisedLight = 3, TextInsetLight = 4 };
enum Focus { FocusNone = 0, FocusLight = 1, FocusHeavy = 2 };

// One line one pixel wide along the right edge and one along the bottom edge, `inset`
// pixels inside them: solid ones as filled rectangles, the quickest way to draw them.
void edge(QPainter& painter, const QRect& cell, int inset, const QColor& colour) {
    const int x = cell.right() - inset, y = cell.bottom() - inset;
    painter.fillRect(QRect(x, cell.top(), 1, cell.height()), colour);
    painter.fillRect(QRect(cell.left(), y, cell.width(), 1), colour);
}
void edge(QPainter& painter, const QRect& cell, const QPen& pen) {
    painter.setPen(pen);
    painter.drawLine(QPoint(cell.right(), cell.top()), QPoint(cell.right(), cell.bottom()));
    painter.drawLine(QPoint(cell.left(), cell.bottom()), QPoint(cell.right(), cell.bottom()));
}

// A text laid out in a font for a width (texts wider than it are cut).
struct LaidOutKey {
    QString text;
    QFont font;
    int width = 0;
    friend bool operator==(const LaidOutKey&, const LaidOutKey&) = default;
    friend size_t qHash(const LaidOutKey& key, size_t seed = 0) {
        return qHashMulti(seed, key.text, key.font, key.width);
    }
};

const QStaticText& laidOut(const QString& text, const QFont& font, int width) {
    static QCache<LaidOutKey, QStaticText> texts(4000);
    LaidOutKey key{text, font, width};
    if (QStaticText* known = texts.object(key)) return *known;
    const QFontMetrics metrics(font);
    auto shown = std::make_unique<QStaticText>(
        metrics.horizontalAdvance(text) <= width ? text : metrics.elidedText(text, Qt::ElideRight, width));
    shown->setTextFormat(Qt::PlainText);
    shown->setPerformanceHint(QStaticText::AggressiveCaching);
    shown->prepare(QTransform(), font);
    QStaticText* laid = shown.get();
    texts.insert(std::move(key), shown.release());
    return *laid;
}

}  // namespace

int lineWidth(int style) {
    switch (style) {
    case None: return 0;
    case Inset:
    case Raised: return 2;
    default: return 1;
    }
}

void drawLines(QPainter& painter, const QRect& cell, int style, const QColor& line, const QPalette& palette) {
    if (style == None) return;
    const QColor dark = palette.color(QPalette::Dark), light = palette.color(QPalette::Light);
    switch (style) {
    case Inset:
        edge(painter, cell, 1, dark);
        edge(painter, cell, 0, light);
        break;
    case Raised:
        edge(painter, cell, 1, light);
        edge(painter, cell, 0, dark);
        break;
    case Dashes:
    case Dots:
        painter.save();
        painter.setRenderHint(QPainter::Antialiasing, false);
        edge(painter, cell, QPen(line, 1, style == Dashes ? Qt::DashLine : Qt::DotLine));
        painter.restore();
        break;
    default: edge(painter, cell, 0, line); break;
    }
}

void drawText(QPainter& painter, const QRect& rect, Qt::Alignment alignment, const QString& text, int style,
              const QColor& colour, const QPalette& palette) {
    if (text.isEmpty() || rect.width() <= 0) return;
    const QStaticText& shown = laidOut(text, painter.font(), rect.width());
    const QSizeF size = shown.size();
    qreal x = rect.left();
    if (alignment & Qt::AlignRight) x = rect.right() + 1 - size.width();
    else if (alignment & Qt::AlignHCenter) x = rect.left() + (rect.width() - size.width()) / 2;
    const QPointF at(x, rect.top() + (rect.height() - size.height()) / 2);
    const QColor dark = palette.color(QPalette::Dark), light = palette.color(QPalette::Light);
    const auto copy = [&](int dx, const QColor& c) {
        painter.setPen(c);
        painter.drawStaticText(at + QPointF(dx, dx), shown);
    };
    switch (style) {
    case TextRaised:
        copy(-1, light);
        copy(1, dark);
        break;
    case TextInset:
        copy(-1, dark);
        copy(1, light);
        break;
    case TextRaisedLight: copy(-1, light); break;
    case TextInsetLight: copy(1, light); break;
    default: break;
    }
    copy(0, colour);
}

void drawFocus(QPainter& painter, const QRect& cell, int focusRect, const QColor& colour) {
    if (focusRect == FocusNone) return;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setBrush(Qt::NoBrush);
    if (focusRect == FocusLight) {
        painter.setPen(QPen(colour, 1, Qt::DotLine));
        painter.drawRect(cell.adjusted(0, 0, -1, -1));
    } else {
        QPen pen(colour, 3);
        pen.setJoinStyle(Qt::MiterJoin);
        painter.setPen(pen);
        painter.drawRect(cell.adjusted(1, 1, -2, -2));
    }
    painter.restore();
}

}  // namespace quillon::grid_paint
