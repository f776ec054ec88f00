#include "grid_view.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QApplication>
#include <QPainter>

#include "grid_paint.h"
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

QVariant GridModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) return {};
    const int r = gridRow(index), c = index.column() + 1;
    switch (role) {
    case Qt::DisplayRole: return cellText(table_.cell(r, c));
    case Qt::TextAlignmentRole: return QVariant::fromValue(alignmentOf(table_.column(c).alignment));
    case Qt::BackgroundRole:
        // A read-only column's shade covers the rows' alternate shading.
        if (table_.column(c).readOnly) return oleColor(color::ButtonFace);
        if (table_.row(r).shaded) return oleColor(InfoBackground);
        return {};
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

void GridModel::cellsChanged(int firstRow, int lastRow) {
    if (table_.dataRows() == 0 || table_.cols() < 2) return;
    emit dataChanged(index(firstRow - table_.fixedRows(), 0), index(lastRow - table_.fixedRows(), table_.cols() - 2));
}

void GridModel::rowAppended() { beginInsertRows({}, table_.dataRows(), table_.dataRows()); }

// ---- Header ----------------------------------------------------------------------------

GridHeader::GridHeader(const GridTable& table, QWidget* parent, Qt::Orientation orientation)
    : QHeaderView(orientation, parent), table_(table) {
    setSectionsClickable(false);
    setHighlightSections(false);
    setDefaultAlignment(Qt::AlignCenter);
}

QSize GridHeader::sizeHint() const {
    QSize size = QHeaderView::sizeHint();
    if (orientation() == Qt::Vertical) return size;
    const int captions = std::max(twips(HeaderHeightTwips), QFontMetrics(font()).height() + 4);
    const int totals = std::max(twips(TotalsHeightTwips), QFontMetrics(font()).height() + 4);
    size.setHeight(table_.hasTotals() ? captions + totals : captions);
    return size;
}

void GridHeader::paintCell(QPainter& painter, const QRect& rect, const QString& text, Qt::Alignment alignment) const {
    painter.fillRect(rect, palette().color(QPalette::Button));
    const int lines = grid_paint::lineWidth(gridLines);
    painter.setFont(font());
    grid_paint::drawText(painter, rect.adjusted(3, 0, -3 - lines, -lines), static_cast<int>(alignment), text, textStyle,
                         palette().color(QPalette::ButtonText), palette());
    grid_paint::drawLines(painter, rect, gridLines, palette().color(QPalette::Mid), palette());
}

void GridHeader::paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const {
    painter->save();
    const int col = logicalIndex + 1;
    if (orientation() == Qt::Vertical) {
        paintCell(*painter, rect, QString(), Qt::AlignCenter);
    } else if (!table_.hasTotals()) {
        paintCell(*painter, rect, col < table_.cols() ? table_.column(col).caption : QString(), Qt::AlignCenter);
    } else {
        const int captions = std::max(twips(HeaderHeightTwips), QFontMetrics(font()).height() + 4);
        const QRect top(rect.left(), rect.top(), rect.width(), captions);
        const QRect bottom(rect.left(), rect.top() + captions, rect.width(), rect.height() - captions);
        const bool data = col < table_.cols();
        paintCell(*painter, top, data ? table_.column(col).caption : QString(), Qt::AlignCenter);
        paintCell(*painter, bottom, data ? table_.text(1, col) : QString(),
                  data ? alignmentOf(table_.column(col).alignment) : Qt::AlignCenter);
    }
    painter->restore();
}

// ---- Delegate --------------------------------------------------------------------------

void GridDelegate::initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const {
    QStyledItemDelegate::initStyleOption(option, index);
    const bool viewFocused = option->widget && option->widget->hasFocus();
    if (highLight == 0 || (highLight == 2 && !viewFocused)) option->state &= ~QStyle::State_Selected;
    if (highLight == 1) option->state |= QStyle::State_Active;  // in the highlight colour, focused or not
    option->state &= ~QStyle::State_HasFocus;                   // the focus rectangle is the grid's own
}

void GridDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const {
    const bool current = option.state & QStyle::State_HasFocus;  // the current cell of the focused grid
    QStyleOptionViewItem opt = option;
    initStyleOption(&opt, index);
    const QRect cell = opt.rect;
    const int lines = grid_paint::lineWidth(gridLines);
    opt.rect = cell.adjusted(0, 0, -lines, -lines);
    const QWidget* widget = opt.widget;
    QStyle* style = widget ? widget->style() : QApplication::style();
    const int margin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, widget) + 1;
    const QRect textRect = style->subElementRect(QStyle::SE_ItemViewItemText, &opt, widget).adjusted(margin, 0, -margin, 0);
    const QString text = opt.text;
    opt.text.clear();
    // The cell's own background first: the view fills a selected cell with the highlight
    // colour before the delegate paints, which only HighLight may show.
    painter->fillRect(cell, opt.backgroundBrush.style() != Qt::NoBrush ? opt.backgroundBrush : opt.palette.base());
    style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, widget);  // the highlight, as HighLight says

    painter->save();
    const bool selected = opt.state & QStyle::State_Selected;
    const QPalette::ColorGroup group = (opt.state & QStyle::State_Active) ? QPalette::Active : QPalette::Inactive;
    const QColor colour = opt.palette.color(group, selected ? QPalette::HighlightedText : QPalette::Text);
    painter->setFont(opt.font);
    grid_paint::drawText(*painter, textRect, static_cast<int>(opt.displayAlignment),
                         opt.fontMetrics.elidedText(text, opt.textElideMode, textRect.width()), textStyle, colour,
                         opt.palette);
    const auto gridColour = static_cast<QRgb>(style->styleHint(QStyle::SH_Table_GridLineColor, &opt, widget));
    grid_paint::drawLines(*painter, cell, gridLines, QColor::fromRgb(gridColour), opt.palette);
    if (current) grid_paint::drawFocus(*painter, opt.rect, focusRect, colour);
    painter->restore();
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

void GridView::keyPressEvent(QKeyEvent* event) {
    if (keyPress && keyPress(event)) {
        event->accept();
        return;
    }
    QTableView::keyPressEvent(event);
}

void GridView::focusInEvent(QFocusEvent* event) {
    QTableView::focusInEvent(event);
    if (focusIn) focusIn();
}

void GridView::mouseDoubleClickEvent(QMouseEvent* event) {
    QTableView::mouseDoubleClickEvent(event);
    if (doubleClick && indexAt(event->position().toPoint()).isValid()) doubleClick();
}

void GridView::wheelEvent(QWheelEvent* event) {
    if (scrollLocked) {
        event->accept();
        return;
    }
    QTableView::wheelEvent(event);
}

}  // namespace quillon
