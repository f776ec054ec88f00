#include "grid_view.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QPainter>

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

GridHeader::GridHeader(const GridTable& table, QWidget* parent) : QHeaderView(Qt::Horizontal, parent), table_(table) {
    setSectionsClickable(false);
    setHighlightSections(false);
    setDefaultAlignment(Qt::AlignCenter);
}

QSize GridHeader::sizeHint() const {
    QSize size = QHeaderView::sizeHint();
    const int captions = std::max(twips(HeaderHeightTwips), QFontMetrics(font()).height() + 4);
    const int totals = std::max(twips(TotalsHeightTwips), QFontMetrics(font()).height() + 4);
    size.setHeight(table_.hasTotals() ? captions + totals : captions);
    return size;
}

void GridHeader::paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const {
    if (!table_.hasTotals()) {
        QHeaderView::paintSection(painter, rect, logicalIndex);
        return;
    }
    const int captions = std::max(twips(HeaderHeightTwips), QFontMetrics(font()).height() + 4);
    QRect top = rect;
    top.setHeight(captions);
    painter->save();
    QHeaderView::paintSection(painter, top, logicalIndex);
    painter->restore();
    const QRect bottom(rect.left(), rect.top() + captions, rect.width(), rect.height() - captions);
    painter->save();
    painter->fillRect(bottom, palette().color(QPalette::Button));
    painter->setPen(palette().color(QPalette::Mid));
    painter->drawLine(bottom.topLeft(), bottom.topRight());
    painter->drawLine(bottom.topRight(), bottom.bottomRight());
    painter->drawLine(bottom.bottomLeft(), bottom.bottomRight());
    const int col = logicalIndex + 1;
    if (col < table_.cols()) {
        painter->setPen(palette().color(QPalette::ButtonText));
        painter->setFont(font());
        painter->drawText(bottom.adjusted(3, 0, -3, 0), alignmentOf(table_.column(col).alignment),
                          table_.text(1, col));
    }
    painter->restore();
}

// ---- Delegate --------------------------------------------------------------------------

void GridDelegate::initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const {
    QStyledItemDelegate::initStyleOption(option, index);
    if (focusRect == 0) option->state &= ~QStyle::State_HasFocus;
    const bool viewFocused = option->widget && option->widget->hasFocus();
    if (highLight == 0 || (highLight == 2 && !viewFocused)) option->state &= ~QStyle::State_Selected;
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
