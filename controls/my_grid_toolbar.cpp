// MyGrid's navigation and toolbar: Enter moving on, the toolbar following the current
// cell, the focus leaving the grid, and the buttons that add, delete and restore lines.
#include <QApplication>
#include <QToolBar>

#include "grid_edit.h"
#include "grid_view.h"
#include "my_grid.h"

namespace quillon {

// ---- Moving on and the toolbar's state -----------------------------------------------------

// Enter moves one cell right, from the last column to the next line, and from the last
// line back to the first data line.
void MyGrid::enterNavigation() {
    const int row = currentRow(), col = currentCol();
    if (col < table_.cols() - 1) setCurrentCell(row, col + 1);
    else if (row >= table_.rows() - 1) setCurrentCell(table_.fixedRows(), 1);
    else setCurrentCell(row + 1, 1);
    fg_->scrollTo(fg_->currentIndex());
    updateToolbarState();
}

bool MyGrid::selectionSpansRows() const {
    const QItemSelection selection = fg_->selectionModel()->selection();
    if (selection.isEmpty()) return false;
    int top = selection.front().top(), bottom = selection.front().bottom();
    for (const QItemSelectionRange& range : selection) {
        top = std::min(top, range.top());
        bottom = std::max(bottom, range.bottom());
    }
    return bottom > top;
}

void MyGrid::updateToolbarState() {
    if (!tracking() || !fg_->currentIndex().isValid()) return;
    const int row = currentRow(), col = currentCol();
    if (row < table_.fixedRows() || col < 1) return;
    const int last = table_.rows() - 1;
    kNew_->setEnabled(permitRandNou_ && last >= table_.fixedRows() && table_.row(last).rowData != 0);
    bool canDelete = false, canRestore = false;
    if (permitDelete_ && !selectionSpansRows() && table_.row(row).rowData != 0) {
        canDelete = !table_.row(row).struck;
        canRestore = table_.row(row).struck;
    }
    kDelete_->setEnabled(canDelete);
    kUnDelete_->setEnabled(canRestore);
}

void MyGrid::disableToolbar() {
    kNew_->setEnabled(false);
    kDelete_->setEnabled(false);
    kUnDelete_->setEnabled(false);
}

void MyGrid::setScrollBars(bool on) { fg_->showScrollBars(on); }

// ---- Focus ---------------------------------------------------------------------------------

void MyGrid::track() {
    if (focus_ == Focus::Untracked) focus_ = Focus::Outside;
}

void MyGrid::onFocusChanged(QWidget* old, QWidget* now) {
    edit_->focusMoved(old, now);
    // Where the focus is now, after whatever the commit did (an error box may have come
    // and gone); another window taking it is no leaving of the grid.
    QWidget* const current = QApplication::focusWidget();
    const bool was = isWithin(old, view_.data()), isIn = isWithin(current, view_.data());
    const bool sameWindow = current && current->window() == view_->window();
    if (!was && isIn) focus_ = Focus::Inside;
    else if (was && !isIn && sameWindow && focus_ == Focus::Inside) {
        focus_ = Focus::Outside;
        exitFocus();
    }
}

// Leaving the grid brings the cursor back to the first data cell and switches the
// toolbar off until the grid has the focus again.
void MyGrid::exitFocus() {
    if (!source_) return;
    setCurrentCell(table_.fixedRows(), 1);
    disableToolbar();
}

// ---- Toolbar -------------------------------------------------------------------------------

void MyGrid::buttonClick(const std::string& key) {
    guarded([&] {
        try {
            if (key == "kNew") addLine();
            else if (key == "kDelete") markLine(true);
            else if (key == "kUnDelete") markLine(false);
        } catch (const com::Error& e) {
            com::raise(e.number(), "MyGrid-ButtonClick(" + key + ")", e.description());
        }
    });
}

// A new line at the bottom, without an item until its first value is written.
void MyGrid::addLine() {
    if (!areSursaDate_ || !permitRandNou_) return;
    const int last = table_.rows() - 1;
    if (last >= table_.fixedRows() && table_.row(last).rowData == 0) return;  // one is waiting already
    model_->rowAppended();
    table_.appendRow();
    model_->rowAppendedDone();
    const int row = table_.rows() - 1;
    growComboKeys(table_.dataRows(), comboCounter_ - 1);
    for (int k = 1; k < table_.cols(); ++k) writeBlankCell(row, k);
    table_.row(row).shaded = (row - table_.fixedRows()) % 2 == 1;
    cellsChanged(row);
    kNew_->setEnabled(false);
}

// Deletes or restores the current line after the host agreed; only the marks change.
void MyGrid::markLine(bool deleted) {
    const int row = currentRow();
    if (!areSursaDate_ || !permitDelete_ || row < table_.fixedRows() || row >= table_.rows() || selectionSpansRows())
        return;
    GridTable::Row& line = table_.row(row);
    if (line.rowData == 0 || line.struck == deleted) return;
    const int32_t index = line.rowData;
    std::vector<com::Variant> args{com::Variant(":" + std::to_string(index)), com::Variant(true)};
    raiseEvent(deleted ? my_grid::event::PermitDeleteFromToolbar : my_grid::event::PermitUndeleteFromToolbar, args);
    if (!args[1].toBool()) return;
    // The source first: a refused delete leaves the line as it was.
    if (deleted) source().Delete(index);
    else source().UnDelete(index);
    table_.row(row).struck = deleted;
    const auto sign = deleted ? Enumeratori::TipSemn::Minus : Enumeratori::TipSemn::Plus;
    for (int k = 1; k < table_.cols() && table_.hasTotals(); ++k) {
        const ColumnDefinition& def = definition(k);
        if (!def.sums()) continue;
        GridTable::Column& column = table_.column(k);
        const Amount total = std::holds_alternative<Amount>(column.total) ? std::get<Amount>(column.total)
                                                                          : Amount::zero(def.nrZecimale);
        column.total = updateTotal(sign, total, source().GetData(k, index), def.nrZecimale);
        definition(k).totalAgregare = std::get<Amount>(column.total);
    }
    cellsChanged(row);
    kDelete_->setEnabled(!deleted);
    kUnDelete_->setEnabled(deleted);
}

}  // namespace quillon
