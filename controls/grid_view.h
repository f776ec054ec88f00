#pragma once
// The grid's display: a table model serving the grid's table to a table view (no widget
// per cell), a header that shows the captions and the totals row under them, a delegate
// that honours the highlight and focus-rectangle settings, and the view itself, which
// reports its keys, focus and double clicks to the control.
#include <functional>
#include <vector>

#include <QAbstractTableModel>
#include <QHeaderView>
#include <QPointer>
#include <QStyledItemDelegate>
#include <QTableView>

#include "grid_table.h"

namespace quillon {

class GridModel final : public QAbstractTableModel {
public:
    explicit GridModel(const GridTable& table, QObject* parent = nullptr)
        : QAbstractTableModel(parent), table_(table) {}

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // The view whose column widths and font decide which texts are clipped.
    void setView(QTableView* view) { view_ = view; }

    // Table changes made outside the model's knowledge.
    void beginReset() { beginResetModel(); }
    void endReset() {
        shown_.clear();
        endResetModel();
    }
    // The cells of these grid rows whose text or marks are not those last painted.
    void cellsChanged(int firstRow, int lastRow);
    void rowAppended();  // before the table gets its new row
    void rowAppendedDone() { endInsertRows(); }

    // Grid row and column of a model index, and back.
    int gridRow(const QModelIndex& index) const { return index.row() + table_.fixedRows(); }
    QModelIndex indexOf(int gridRow, int gridCol) const { return index(gridRow - table_.fixedRows(), gridCol - 1); }

    // How a data cell shows: its text, alignment and background (invalid: the view's), and
    // whether its line is deleted (struck through, in red).
    struct CellLook {
        QString text;
        Qt::Alignment alignment;
        QColor background;
        bool struck = false;
    };
    CellLook cellLook(const QModelIndex& index) const;

    // Notes how a cell was painted.
    void painted(const QModelIndex& index, const CellLook& look) const;

private:
    QColor background(int gridRow, int gridCol) const;
    uint32_t lookHash(const QModelIndex& index, const QString& text) const;

    const GridTable& table_;
    QPointer<QTableView> view_;
    mutable std::vector<uint32_t> shown_;  // by cell, row after row: the look last painted, 0 none
};

// The fixed cells: the header row with, under it, the totals row (both stay in place
// while the data rows scroll), or the row selectors down the left side; drawn with the
// grid's lines and text style for fixed cells.
class GridHeader final : public QHeaderView {
public:
    GridHeader(const GridTable& table, QWidget* parent, Qt::Orientation orientation = Qt::Horizontal);
    QSize sizeHint() const override;
    int gridLines = 1;  // GridLinesFixed
    int textStyle = 0;  // TextStyleFixed

    // Repaints the totals whose text is no longer the one shown.
    void totalsChanged();

protected:
    void paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const override;
    // The fixed cells mark neither the current cell's column or row nor the selected ones:
    // nothing to repaint when they change.
    void currentChanged(const QModelIndex&, const QModelIndex&) override {}
    void selectionChanged(const QItemSelection&, const QItemSelection&) override {}

private:
    void paintCell(QPainter& painter, const QRect& rect, const QString& text, Qt::Alignment alignment) const;
    int captionsHeight() const;
    const GridTable& table_;
    mutable std::vector<QString> shownTotals_;  // by section, as last painted
};

// Draws the data cells: the current cell marked as HighLight and FocusRect say, the lines
// and the text as GridLines and TextStyle say.
class GridDelegate final : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    int highLight = 0;  // never, always, with focus
    int focusRect = 0;  // none, light, heavy
    int gridLines = 1;
    int textStyle = 0;

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
};

// While the grid fills: the hourglass over the application, the table's painting off and
// its model in reset; all come back whatever happens.
class RedrawOff {
public:
    RedrawOff(QWidget& view, GridModel& model);
    ~RedrawOff();
    RedrawOff(const RedrawOff&) = delete;
    RedrawOff& operator=(const RedrawOff&) = delete;

private:
    QWidget& view_;
    GridModel& model_;
};

class GridView final : public QTableView {
public:
    explicit GridView(QWidget* parent);

    // Runs before the view sees the key; true consumes it.
    std::function<bool(QKeyEvent*)> keyPress;
    std::function<void()> focusIn;
    std::function<void()> doubleClick;

    // Off while an editor stands over a cell: the scroll bars are hidden and the table
    // does not scroll under the editor.
    void showScrollBars(bool on);

    // Places the headers and the viewport again (the header's height may have changed).
    void relayout() { updateGeometries(); }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    void installScrollBars();
    void updateFocusMarks();
    void wheelEvent(QWheelEvent* event) override;

    bool scrollLocked_ = false;
};

}  // namespace quillon
