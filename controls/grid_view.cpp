#include "grid_view.h"

#include <QApplication>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QScrollBar>

#include "grid_paint.h"
#include "grid_scroll_bar.h"
#include "typelib/quillon.h"
#include "widget_support.h"

namespace quillon {

namespace {

constexpr int32_t InfoBackground = static_cast<int32_t>(0x80000018u);
constexpr int32_t Red = 255;
constexpr int HeaderHeightTwips = 300, TotalsHeightTwips = 285;

Qt::Alignment alignmentOf(int code) {
    switch (code) {
    case GridTable::AlignCenter: return Qt::AlignHCenter | Qt::AlignVCenter;
    case GridTable::AlignRightCenter: return Qt::AlignRight | Qt::AlignVCenter;
    default: return Qt::AlignLeft | Qt::AlignVCenter;
    }
}

}  // namespace

// ---- Model -----------------------------------------------------------------------------

int GridModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : table_.dataRows(); }

int GridModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : table_.cols() - 1; }

// A read-only column's shade covers the lines' alternate shading.
QColor GridModel::background(int r, int c) const {
    if (table_.column(c).readOnly) return oleColor(color::ButtonFace);
    if (table_.row(r).shaded) return oleColor(InfoBackground);
    return {};
}

GridModel::CellLook GridModel::cellLook(const QModelIndex& index) const {
    const int r = gridRow(index), c = index.column() + 1;
    return {cellText(table_.cell(r, c)), alignmentOf(table_.column(c).alignment), background(r, c),
            table_.row(r).struck};
}

QVariant GridModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) return {};
    const int r = gridRow(index), c = index.column() + 1;
    switch (role) {
    case Qt::DisplayRole: return cellText(table_.cell(r, c));
    case Qt::TextAlignmentRole: return QVariant::fromValue(alignmentOf(table_.column(c).alignment));
    case Qt::BackgroundRole: {
        const QColor colour = background(r, c);
        return colour.isValid() ? QVariant(colour) : QVariant();
    }
    case Qt::ForegroundRole:
        if (table_.row(r).struck) return oleColor(Red);
        return {};
    case Qt::FontRole:
        if (table_.row(r).struck && view_) {
            QFont font = view_->font();
            font.setStrikeOut(true);
            return font;
        }
        return {};
    case Qt::ToolTipRole: {
        // A text wider than its column shows whole while the mouse rests on it.
        if (!view_) return {};
        const QString text = cellText(table_.cell(r, c));
        if (QFontMetrics(view_->font()).horizontalAdvance(text) > view_->columnWidth(index.column())) return text;
        return {};
    }
    default: return {};
    }
}

QVariant GridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role == Qt::DisplayRole) {
        if (orientation == Qt::Horizontal && section + 1 < table_.cols()) return table_.column(section + 1).caption;
        return QString();
    }
    if (role == Qt::TextAlignmentRole) return QVariant::fromValue(Qt::Alignment(Qt::AlignCenter));
    return {};
}

// A cell's look as a number: its text and its line's and column's marks.
uint32_t GridModel::lookHash(const QModelIndex& index, const QString& text) const {
    const int r = gridRow(index), c = index.column() + 1;
    const GridTable::Row& row = table_.row(r);
    const uint32_t marks = (row.shaded ? 1u : 0u) | (row.struck ? 2u : 0u) | (table_.column(c).readOnly ? 4u : 0u) |
                           static_cast<uint32_t>(table_.column(c).alignment) << 3;
    return static_cast<uint32_t>(qHash(text) * 31u + marks) | 1u;  // never 0
}

void GridModel::painted(const QModelIndex& index, const CellLook& look) const {
    const auto at =
        static_cast<size_t>(index.row()) * static_cast<size_t>(columnCount()) + static_cast<size_t>(index.column());
    if (shown_.size() <= at) shown_.resize(static_cast<size_t>(rowCount()) * static_cast<size_t>(columnCount()), 0);
    if (at < shown_.size()) shown_[at] = lookHash(index, look.text);
}

// Cell by cell, and only the cells that look other than they were painted: a view
// repaints the whole table for a change that spans several cells.
void GridModel::cellsChanged(int firstRow, int lastRow) {
    if (table_.dataRows() == 0 || table_.cols() < 2) return;
    for (int r = firstRow; r <= lastRow; ++r)
        for (int c = 0; c < table_.cols() - 1; ++c) {
            const QModelIndex cell = index(r - table_.fixedRows(), c);
            const auto at =
                static_cast<size_t>(cell.row()) * static_cast<size_t>(columnCount()) + static_cast<size_t>(c);
            if (at < shown_.size() && shown_[at] == lookHash(cell, cellText(table_.cell(r, c + 1)))) continue;
            emit dataChanged(cell, cell);
        }
}

void GridModel::rowAppended() { beginInsertRows({}, table_.dataRows(), table_.dataRows()); }

// ---- Header ----------------------------------------------------------------------------

GridHeader::GridHeader(const GridTable& table, QWidget* parent, Qt::Orientation orientation)
    : QHeaderView(orientation, parent), table_(table) {
    setSectionsClickable(false);
    setHighlightSections(false);
    setDefaultAlignment(Qt::AlignCenter);
}

int GridHeader::captionsHeight() const { return std::max(twips(HeaderHeightTwips), QFontMetrics(font()).height() + 4); }

QSize GridHeader::sizeHint() const {
    QSize size = QHeaderView::sizeHint();
    if (orientation() == Qt::Vertical) return size;
    const int totals = std::max(twips(TotalsHeightTwips), QFontMetrics(font()).height() + 4);
    size.setHeight(table_.hasTotals() ? captionsHeight() + totals : captionsHeight());
    return size;
}

void GridHeader::totalsChanged() {
    if (orientation() == Qt::Vertical || !table_.hasTotals()) return;
    const int top = captionsHeight();
    for (int section = 0; section < count() && section + 1 < table_.cols(); ++section) {
        const auto at = static_cast<size_t>(section);
        if (at < shownTotals_.size() && shownTotals_[at] == table_.text(1, section + 1)) continue;
        viewport()->update(QRect(sectionViewportPosition(section), top, sectionSize(section), height() - top));
    }
}

void GridHeader::paintCell(QPainter& painter, const QRect& rect, const QString& text, Qt::Alignment alignment) const {
    painter.fillRect(rect, palette().color(QPalette::Button));
    const int lines = grid_paint::lineWidth(gridLines);
    painter.setFont(font());
    grid_paint::drawText(painter, rect.adjusted(3, 0, -3 - lines, -lines), alignment, text, textStyle,
                         palette().color(QPalette::ButtonText), palette());
    grid_paint::drawLines(painter, rect, gridLines, palette().color(QPalette::Mid), palette());
}

// The header saves and restores the painter around each section.
void GridHeader::paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const {
    const int col = logicalIndex + 1;
    if (orientation() == Qt::Vertical) {
        paintCell(*painter, rect, QString(), Qt::AlignCenter);
    } else if (!table_.hasTotals()) {
        paintCell(*painter, rect, col < table_.cols() ? table_.column(col).caption : QString(), Qt::AlignCenter);
    } else {
        const int captions = captionsHeight();
        const QRect top(rect.left(), rect.top(), rect.width(), captions);
        const QRect bottom(rect.left(), rect.top() + captions, rect.width(), rect.height() - captions);
        const bool data = col < table_.cols();
        const QString total = data ? table_.text(1, col) : QString();
        paintCell(*painter, top, data ? table_.column(col).caption : QString(), Qt::AlignCenter);
        paintCell(*painter, bottom, total, data ? alignmentOf(table_.column(col).alignment) : Qt::AlignCenter);
        if (shownTotals_.size() <= static_cast<size_t>(logicalIndex))
            shownTotals_.resize(static_cast<size_t>(logicalIndex) + 1);
        shownTotals_[static_cast<size_t>(logicalIndex)] = total;
    }
}

// ---- Delegate --------------------------------------------------------------------------

// The cell is drawn from the grid's table at once (not through the model's roles, one by
// one): its background, the highlight as HighLight says (never, always, with the focus),
// its text in TextStyle, its lines in GridLines and the focus rectangle in FocusRect.
void GridDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const {
    const auto* model = dynamic_cast<const GridModel*>(index.model());
    if (!model) return QStyledItemDelegate::paint(painter, option, index);
    const GridModel::CellLook look = model->cellLook(index);
    const QWidget* widget = option.widget;
    const bool focused = widget && widget->hasFocus();
    const bool current = option.state & QStyle::State_HasFocus;  // the current cell of the focused grid
    const bool selected = (option.state & QStyle::State_Selected) && (highLight == 1 || (highLight == 2 && focused));
    const QPalette::ColorGroup group =
        highLight == 1 || (option.state & QStyle::State_Active) ? QPalette::Active : QPalette::Inactive;
    const QRect cell = option.rect;
    const int lines = grid_paint::lineWidth(gridLines);
    const QRect inner = cell.adjusted(0, 0, -lines, -lines);
    // The cell's own background first: the view fills a selected cell with the highlight
    // colour before the delegate paints, which only HighLight may show.
    painter->fillRect(cell, look.background.isValid() ? look.background : option.palette.color(group, QPalette::Base));
    if (selected) painter->fillRect(inner, option.palette.brush(group, QPalette::Highlight));
    const QColor colour = selected      ? option.palette.color(group, QPalette::HighlightedText)
                          : look.struck ? oleColor(Red)
                                        : option.palette.color(group, QPalette::Text);
    QStyle* style = widget ? widget->style() : QApplication::style();
    const int margin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, widget) + 1;
    QFont font = option.font;
    font.setStrikeOut(look.struck);
    painter->setFont(font);  // each cell sets its own: nothing to restore
    grid_paint::drawText(*painter, inner.adjusted(margin, 0, -margin, 0), look.alignment, look.text, textStyle, colour,
                         option.palette);
    QStyleOption hint;
    hint.palette = option.palette;
    const auto gridColour = static_cast<QRgb>(style->styleHint(QStyle::SH_Table_GridLineColor, &hint, widget));
    grid_paint::drawLines(*painter, cell, gridLines, QColor::fromRgb(gridColour), option.palette);
    if (current) grid_paint::drawFocus(*painter, inner, focusRect, colour);
    model->painted(index, look);
}

// ---- Redraw ----------------------------------------------------------------------------

RedrawOff::RedrawOff(QWidget& view, GridModel& model) : view_(view), model_(model) {
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    view_.setUpdatesEnabled(false);
    model_.beginReset();
}

RedrawOff::~RedrawOff() {
    model_.endReset();
    view_.setUpdatesEnabled(true);
    QGuiApplication::restoreOverrideCursor();
}

// ---- View ------------------------------------------------------------------------------

GridView::GridView(QWidget* parent) : QTableView(parent) {
    installScrollBars();
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::ContiguousSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setTabKeyNavigation(false);
    setWordWrap(false);
    setMouseTracking(true);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setMinimumSectionSize(1);
    horizontalHeader()->setMinimumSectionSize(0);
}

// Bars that keep their picture, and their place in the scroll area's layout while hidden
// (see showScrollBars); the space of a hidden bar is filled with the background.
void GridView::installScrollBars() {
    setHorizontalScrollBar(new GridScrollBar(Qt::Horizontal));  // the view takes them
    setVerticalScrollBar(new GridScrollBar(Qt::Vertical));
    // The view's own connections to its first bars, made again (once) for these.
    connect(horizontalScrollBar(), &QScrollBar::actionTriggered, this, &GridView::horizontalScrollbarAction,
            Qt::UniqueConnection);
    connect(verticalScrollBar(), &QScrollBar::actionTriggered, this, &GridView::verticalScrollbarAction,
            Qt::UniqueConnection);
    connect(horizontalScrollBar(), &QScrollBar::valueChanged, this, &GridView::horizontalScrollbarValueChanged,
            Qt::UniqueConnection);
    connect(verticalScrollBar(), &QScrollBar::valueChanged, this, &GridView::verticalScrollbarValueChanged,
            Qt::UniqueConnection);
    for (QScrollBar* bar : {horizontalScrollBar(), verticalScrollBar()}) {
        QSizePolicy policy = bar->sizePolicy();
        policy.setRetainSizeWhenHidden(true);
        bar->setSizePolicy(policy);
        bar->parentWidget()->setAutoFillBackground(true);
    }
}

void GridView::keyPressEvent(QKeyEvent* event) {
    if (keyPress && keyPress(event)) {
        event->accept();
        return;
    }
    QTableView::keyPressEvent(event);
}

// The focus changes only the marks that depend on it: the current cell's focus rectangle
// and, when the highlight shows only with the focus, the selected cells. The base classes
// would repaint the whole table at every focus change (an editor opening and closing).
void GridView::updateFocusMarks() {
    const auto* delegate = dynamic_cast<const GridDelegate*>(itemDelegate());
    if (!delegate || delegate->focusRect != 0) update(currentIndex());
    if (!delegate || delegate->highLight == 2)
        viewport()->update(visualRegionForSelection(selectionModel()->selection()));
}

void GridView::focusInEvent(QFocusEvent* event) {
    if (currentIndex().isValid()) updateFocusMarks();
    else QTableView::focusInEvent(event);  // it makes a cell current first
    if (focusIn) focusIn();
}

void GridView::focusOutEvent(QFocusEvent*) { updateFocusMarks(); }

void GridView::mouseDoubleClickEvent(QMouseEvent* event) {
    QTableView::mouseDoubleClickEvent(event);
    if (doubleClick && indexAt(event->position().toPoint()).isValid()) doubleClick();
}

// The bars themselves are hidden, not switched off by their policy: the viewport keeps its
// size, so the table is neither laid out nor painted again (the whole table, twice an edit).
void GridView::showScrollBars(bool on) {
    scrollLocked_ = !on;
    horizontalScrollBar()->setVisible(on);
    verticalScrollBar()->setVisible(on);
}

void GridView::wheelEvent(QWheelEvent* event) {
    if (scrollLocked_) {
        event->accept();
        return;
    }
    QTableView::wheelEvent(event);
}

}  // namespace quillon
