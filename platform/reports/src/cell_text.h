#pragma once
// Internal: a text fitted into the width of its cell, the same for the painted page and for
// its text layer.
#include <QFont>
#include <QString>

namespace reports {

inline constexpr int SmallestNumberPixels = 100;  // 5 pt, in the twips fonts are sized in

struct CellText {
    QString text;  // as painted: whole, ended by "…", or "#" marks
    QFont font;    // the item's font, or a smaller size of it for a number
};

// A text wider than `width` (in the font's units), or one that wraps and needs more than
// `height`, is cut to end in "…". A number is never cut: it takes a smaller size of its font
// until it fits, down to 5 pt, and below that the cell is filled with "#" marks.
CellText fitCell(const QString& text, bool number, bool wraps, const QFont& font, double width, double height);

}  // namespace reports
