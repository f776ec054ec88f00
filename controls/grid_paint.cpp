#include "grid_paint.h"

#include <QPainter>
#include <QPen>

namespace quillon::grid_paint {

namespace {

enum Lines { None = 0, Flat = 1, Inset = 2, Raised = 3, Dashes = 4, Dots = 5 };
enum TextStyle { TextFlat = 0, TextRaised = 1, TextInset = 2, TextRaisedLight = 3, TextInsetLight = 4 };
enum Focus { FocusNone = 0, FocusLight = 1, FocusHeavy = 2 };

// One line one pixel wide along the right edge (x) and one along the bottom edge (y).
void edge(QPainter& painter, const QRect& cell, int inset, const QPen& pen) {
    painter.setPen(pen);
    const int x = cell.right() - inset, y = cell.bottom() - inset;
    painter.drawLine(QPoint(x, cell.top()), QPoint(x, cell.bottom()));
    painter.drawLine(QPoint(cell.left(), y), QPoint(cell.right(), y));
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
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    const QColor dark = palette.color(QPalette::Dark), light = palette.color(QPalette::Light);
    switch (style) {
    case Inset:
        edge(painter, cell, 1, QPen(dark, 1));
        edge(painter, cell, 0, QPen(light, 1));
        break;
    case Raised:
        edge(painter, cell, 1, QPen(light, 1));
        edge(painter, cell, 0, QPen(dark, 1));
        break;
    case Dashes: edge(painter, cell, 0, QPen(line, 1, Qt::DashLine)); break;
    case Dots: edge(painter, cell, 0, QPen(line, 1, Qt::DotLine)); break;
    default: edge(painter, cell, 0, QPen(line, 1)); break;
    }
    painter.restore();
}

void drawText(QPainter& painter, const QRect& rect, int flags, const QString& text, int style, const QColor& colour,
              const QPalette& palette) {
    if (text.isEmpty()) return;
    const QColor dark = palette.color(QPalette::Dark), light = palette.color(QPalette::Light);
    const auto copy = [&](int dx, const QColor& c) {
        painter.setPen(c);
        painter.drawText(rect.translated(dx, dx), flags, text);
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
