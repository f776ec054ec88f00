#pragma once
// How the grid draws its cells' lines, texts and focus rectangle, by the values of its
// properties: GridLines and GridLinesFixed (none, flat, inset, raised, dashes, dots),
// TextStyle and TextStyleFixed (flat, raised, inset, raised light, inset light) and
// FocusRect (none, light, heavy).
#include <QColor>
#include <QPalette>
#include <QRect>
#include <QString>

class QPainter;

namespace quillon::grid_paint {

// The pixels a cell's lines of `style` take at its right and bottom edges.
int lineWidth(int style);

// The lines of one cell along its right and bottom edges; `line` is the colour of flat,
// dashed and dotted lines, inset and raised ones are drawn in the palette's dark and
// light colours (engraved: the dark line above and left of the light one; raised: the reverse).
void drawLines(QPainter& painter, const QRect& cell, int style, const QColor& line, const QPalette& palette);

// One line of text in `colour`, aligned in `rect` by `alignment`, cut with "..." when it is
// wider, with the copies of `style`: raised and inset add a light and a dark copy one
// pixel up-left and down-right (raised: light up-left; inset: the reverse), raised light
// and inset light the light copy alone. The painter's font is used; texts are laid out
// once and kept, since a cell is painted again at every repaint.
void drawText(QPainter& painter, const QRect& rect, Qt::Alignment alignment, const QString& text, int style,
              const QColor& colour, const QPalette& palette);

// The current cell's focus rectangle: light is a thin dotted one, heavy a thick one.
void drawFocus(QPainter& painter, const QRect& cell, int focusRect, const QColor& colour);

}  // namespace quillon::grid_paint
