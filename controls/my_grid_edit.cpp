// MyGrid's editing: opening an editor over a cell, committing its value to the source,
// the totals, formula and dependent columns that follow, closing the edit and moving on,
// and the toolbar that adds, deletes and restores lines.
#include <optional>

#include <QApplication>
#include <QCheckBox>
#include <QKeyEvent>
#include <QToolBar>

#include "control_cont.h"
#include "control_personal.h"
#include "grid_view.h"
#include "my_combo.h"
#include "my_grid.h"

namespace quillon {

namespace {

// The run-time's "=" between a source's value and an editor's: Null equals nothing,
// numbers compare by value whatever their type, a number never equals a text.
bool sameValue(const com::Variant& a, const com::Variant& b) {
    if (a.isNull() || b.isNull()) return false;
    const auto blank = [](const com::Variant& v) {
        return v.isEmpty() || (v.get<std::string>() && v.get<std::string>()->empty());
    };
    if (a.isEmpty() || b.isEmpty()) {
        const com::Variant& other = a.isEmpty() ? b : a;
        return blank(other) || (other.isNumber() && other.toDouble() == 0);
    }
    const bool aText = a.get<std::string>() != nullptr, bText = b.get<std::string>() != nullptr;
    if (aText && bText) return *a.get<std::string>() == *b.get<std::string>();
    if (aText || bText) return false;
    if (a.get<com::Currency>() && b.get<com::Currency>()) return *a.get<com::Currency>() == *b.get<com::Currency>();
    try {
        return a.toDouble() == b.toDouble();
    } catch (const com::Error&) {
        return false;
    }
}

Amount amountOrZero(const com::Variant& value, int decimals) {
    return value.isNull() ? Amount::zero(decimals) : Amount::of(value, decimals);
}

QWidget* focusTarget(QWidget* widget) {
    while (widget && widget->focusProxy()) widget = widget->focusProxy();
    return widget;
}

// Runs its action when the scope ends, however it ends.
template <class F>
struct AtExit {
    F action;
    ~AtExit() { action(); }
};

// Restores a loading guard whatever happens while the grid loads an editor.
struct GuardOff {
    explicit GuardOff(bool& g) : guard(g) { guard = false; }
    ~GuardOff() { guard = true; }
    bool& guard;
};

}  // namespace

void MyGrid::createEditors() {
    QWidget* view = view_.data();
    ctlControl_ = com::make<ControlPersonal>();
    QWidget* ctl = ctlControl_->widget();
    ctl->setParent(view);
    ctl->setObjectName(QStringLiteral("ctlControl"));
    // Opaque over the cell it edits, so that showing it repaints nothing under it.
    ctl->setBackgroundRole(QPalette::Base);
    ctl->setAutoFillBackground(true);
    ctl->hide();
    auto ctlSink = com::make<com::EventSink>();
    ctlSink->on(control_personal::event::Change, [this](com::Args) {
        guarded([this] {
            if (edit_.editor != Editor::Personal) return;
            numberNewLine(edit_.row);
            typedChange_ = true;
        });
    });
    ctlSink->on(control_personal::event::Selecteaza, [this](com::Args) { pick(); });
    connections_.emplace_back(static_cast<IControlPersonal&>(*ctlControl_), control_personal::EventsId,
                              com::ComPtr<com::IDispatch>(ctlSink.get()));

    cntCont_ = com::make<ControlCont>();
    QWidget* cont = cntCont_->widget();
    cont->setParent(view);
    cont->setObjectName(QStringLiteral("cntCont"));
    cont->hide();
    auto contSink = com::make<com::EventSink>();
    contSink->on(control_cont::event::Change, [this](com::Args) {
        guarded([this] {
            if (edit_.editor != Editor::Cont) return;
            numberNewLine(edit_.row);
            accountChange_ = true;
        });
    });
    // Delete empties the code on purpose: that is a change too.
    contSink->on(control_cont::event::GolescDescriere, [this](com::Args) {
        if (edit_.editor == Editor::Cont) accountChange_ = true;
    });
    // The host's level lists go straight back to the editor.
    contSink->on(control_cont::event::CautaAnalitic, [this](com::Args args) {
        if (args.size() < 2) return;
        std::vector<com::Variant> passed{args[0], args[1]};
        raiseEvent(my_grid::event::CautaAnalitic, passed);
        args[1] = passed[1];
    });
    connections_.emplace_back(static_cast<IControlCont&>(*cntCont_), control_cont::EventsId,
                              com::ComPtr<com::IDispatch>(contSink.get()));

    auto combo = com::make<MyCombo>();
    QWidget* comboWidget = combo->widget();
    comboWidget->setParent(view);
    comboWidget->setObjectName(QStringLiteral("cmbCombo0"));
    comboWidget->hide();
    auto comboSink = com::make<com::EventSink>();
    comboSink->on(my_combo::event::Click, [this](com::Args) { guarded([this] { commitCombo(0); }); });
    comboConnections_.emplace_back(static_cast<IMyCombo&>(*combo), my_combo::EventsId,
                                   com::ComPtr<com::IDispatch>(comboSink.get()));
    cmbCombo_.push_back(std::move(combo));

    chk_ = new QCheckBox(view);
    chk_->setObjectName(QStringLiteral("chk"));
    chk_->setAutoFillBackground(true);
    chk_->hide();
    chk_->installEventFilter(this);
    QObject::connect(chk_, &QCheckBox::stateChanged, this, [this] { guarded([this] { commitCheck(); }); });
}

// ---- Opening an editor -------------------------------------------------------------------

void MyGrid::startEdit(const QString& typed) {
    if (!areSursaDate_ || edit_.editor != Editor::None) return;
    const int row = currentRow(), col = currentCol();
    if (row < table_.fixedRows() || row >= table_.rows() || col < 1 || col >= table_.cols()) return;
    const Editor editor = getEditorForColumn(col);
    edit_ = Edit{editor, editor == Editor::Combo ? definition(col).indexCombo : 0, row, col};
    try {
        showEditor(editor, typed);
    } catch (...) {
        // No edit opened (a cell the editor cannot take): the grid stays as it was.
        const Edit failed = edit_;
        edit_ = Edit{};
        typedChange_ = accountChange_ = false;
        if (QWidget* widget = editorWidget(failed.editor, failed.combo); widget && widget->isVisible()) {
            fg_->setFocus(Qt::OtherFocusReason);
            widget->hide();
        }
        setScrollBars(true);
        updateToolbarState();
        throw;
    }
}

MyGrid::Editor MyGrid::getEditorForColumn(int col) {
    const ColumnDefinition& def = definition(col);
    switch (static_cast<Tip>(def.tipControl)) {
    case Tip::eControlPersonal:
        if (def.aliniere >= 0 && def.aliniere <= 2) ctlControl_->setAlignment(def.aliniere);
        ctlControl_->setTipData(def.controlPersonalTip);
        ctlControl_->setNrZecimale(def.nrZecimale);
        return Editor::Personal;
    case Tip::eComboBx: return Editor::Combo;
    case Tip::eCheckBx: return Editor::Check;
    case Tip::eCont: return Editor::Cont;
    default: return Editor::None;
    }
}

QWidget* MyGrid::editorWidget(Editor editor, int combo) const {
    switch (editor) {
    case Editor::Personal: return ctlControl_->widget();
    case Editor::Combo: return cmbCombo_.at(static_cast<size_t>(combo))->widget();
    case Editor::Check: return chk_;
    case Editor::Cont: return cntCont_->widget();
    default: return nullptr;
    }
}

void MyGrid::showEditor(Editor editor, const QString& typed) {
    const int row = edit_.row, col = edit_.col;
    const auto nothing = [this] {
        edit_ = Edit{};
        updateToolbarState();  // the buttons do not stay off when no editor opens
    };
    if (table_.row(row).struck) {
        edit_ = Edit{};
        return;
    }
    kNew_->setEnabled(false);
    kDelete_->setEnabled(false);
    kUnDelete_->setEnabled(false);
    const ColumnDefinition& def = definition(col);
    if (!def.enableEdit || (source().Count() < 1 && !permitRandNou_) || editor == Editor::None) return nothing();

    const int dataRow = row - table_.fixedRows();
    std::optional<char> replay;
    const char32_t key = typed.isEmpty() ? U'\0' : typed.toUcs4().front();
    if (key <= 32) {
        // A control key, Space or a double click: the editor opens on the cell's value.
        const Cell& cell = table_.cell(row, col);
        switch (editor) {
        case Editor::Personal:
            switch (static_cast<TipData>(ctlControl_->tipData())) {
            case TipData::Text: ctlControl_->setValoare(com::Variant(cellText(cell).toStdString())); break;
            case TipData::Data:
                if (const auto* date = std::get_if<ShownDate>(&cell)) ctlControl_->setValoare(com::Variant(date->date));
                else if (cellText(cell).isEmpty()) ctlControl_->setValoare(com::Variant::null());
                else ctlControl_->setValoare(com::Variant(cellText(cell).toStdString()));
                break;
            case TipData::Selectie:
                ctlControl_->setPermitSelectManual(def.permitSelectManual);
                ctlControl_->setValoare(
                    com::Variant(std::to_string(selectionKeys(col).at(static_cast<size_t>(dataRow))) + "|" +
                                 cellText(cell).toStdString()));
                break;
            case TipData::Numar: ctlControl_->setValoare(cellAmount(row, col).value()); break;
            }
            break;
        case Editor::Combo: {
            const GuardOff off(comboGuard_);
            MyCombo& combo = *cmbCombo_.at(static_cast<size_t>(edit_.combo));
            try {
                combo.setCheie(getComboKey(dataRow, def.indexCombo));
            } catch (const com::Error&) {
                combo.setCheie(-1);  // a key the list does not hold shows no row
            }
            break;
        }
        case Editor::Check: {
            const GuardOff off(checkGuard_);
            bool ticked = false;
            try {
                ticked = com::Variant(cellText(cell).toStdString()).toBool();
            } catch (const com::Error&) {}
            chk_->setCheckState(ticked ? Qt::Checked : Qt::Unchecked);
            break;
        }
        case Editor::Cont: cntCont_->setValoare(cellText(cell)); break;
        default: break;
        }
    } else {
        // A typed character: only a text, number or account editor opens, with the key.
        const char c = key < 128 ? static_cast<char>(key) : '\0';
        switch (editor) {
        case Editor::Personal:
            switch (ctlControl_->tipData()) {
            case static_cast<int32_t>(TipData::Text):
                ctlControl_->setValoare(com::Variant(typed.toStdString()));
                typedChange_ = true;
                break;
            case static_cast<int32_t>(TipData::Data):
            case static_cast<int32_t>(TipData::Selectie): return nothing();
            case static_cast<int32_t>(TipData::Numar):
                if (c == '-' || (c >= '0' && c <= '9')) {
                    replay = c;
                    typedChange_ = true;
                }
                break;
            default: break;
            }
            break;
        case Editor::Combo:
        case Editor::Check: return nothing();
        case Editor::Cont:
            if (c >= '1' && c <= '9') replay = c;  // an account code never starts with 0
            break;
        default: break;
        }
    }
    setScrollBars(false);
    accountChange_ = false;
    QWidget* widget = editorWidget(editor, edit_.combo);
    placeEditor(widget, row, col);
    if (replay) replayKey(widget, *replay);
}

void MyGrid::placeEditor(QWidget* editor, int row, int col) {
    const QModelIndex index = model_->indexOf(row, col);
    fg_->scrollTo(index);
    const QRect cell = fg_->visualRect(index);
    const QPoint at = fg_->viewport()->mapTo(view_.data(), cell.topLeft());
    if (editor == chk_)
        editor->setGeometry(at.x() + twips(50), at.y(), std::max(1, cell.width() - twips(50)), cell.height());
    else if (editor == ctlControl_->widget() && ctlControl_->tipData() == static_cast<int32_t>(TipData::Data))
        // A date editor wider than a narrow column: the whole date shows.
        editor->setGeometry(at.x() - twips(15), at.y() - twips(13),
                            std::max(cell.width() + twips(25), ctlControl_->dateWidth()), cell.height());
    else editor->setGeometry(at.x() - twips(15), at.y() - twips(13), cell.width() + twips(25), cell.height());
    editor->show();
    editor->raise();
    editor->setFocus(Qt::OtherFocusReason);
}

// The typed key reaches the editor as a key of the numeric keypad, now that it has the
// focus: at once, so that it comes before any key already waiting for the window, which
// the editor receives next.
void MyGrid::replayKey(QWidget* editor, char key) {
    QWidget* target = focusTarget(editor);
    const int code = key == '-' ? Qt::Key_Minus : Qt::Key_0 + (key - '0');
    const QString text(QChar::fromLatin1(key));
    QKeyEvent press(QEvent::KeyPress, code, Qt::KeypadModifier, text);
    QCoreApplication::sendEvent(target, &press);
    QKeyEvent release(QEvent::KeyRelease, code, Qt::KeypadModifier, text);
    QCoreApplication::sendEvent(target, &release);
}

void MyGrid::setScrollBars(bool on) { fg_->showScrollBars(on); }

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
    if (!tracking_ || !fg_->currentIndex().isValid()) return;
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

// A line without an item gets the next item index before its first value is written.
void MyGrid::numberNewLine(int row, bool orLess) {
    int32_t& rowData = table_.row(row).rowData;
    if (rowData == 0 || (orLess && rowData < 0)) rowData = source().Count() + 1;
}

// Writes the edited cell's value to the line's item. A new line whose first value the
// source refuses has no item yet: it waits for one again, so that no line added after it
// takes the same index.
void MyGrid::writeSource(int row, int col, const com::Variant& value) {
    const int32_t index = table_.row(row).rowData;
    try {
        source().SetData(col, index, value, true);
    } catch (const com::Error&) {
        try {
            if (index > source().Count()) table_.row(row).rowData = 0;
        } catch (const com::Error&) {
            // the line is as the failed write left it; the write's own error is the one reported
        }
        throw;
    }
}

// ---- Focus ---------------------------------------------------------------------------------

bool MyGrid::eventFilterEditor(QObject* watched, QEvent* event) {
    // Enter on the check box moves on as Tab does.
    if (watched == chk_ && event->type() == QEvent::KeyPress && isEnter(*static_cast<QKeyEvent*>(event))) {
        moveFocusAsTab(chk_);
        return true;
    }
    return false;
}

void MyGrid::onFocusChanged(QWidget* old, QWidget* now) {
    if (edit_.editor != Editor::None && now) {
        QWidget* editor = editorWidget(edit_.editor, edit_.combo);
        if (isWithin(old, editor) && !isWithin(now, editor)) editorLostFocus();
    }
    // Where the focus is now, after whatever the commit did (an error box may have come
    // and gone); another window taking it is no leaving of the grid.
    QWidget* const current = QApplication::focusWidget();
    const bool was = isWithin(old, view_.data()), isIn = isWithin(current, view_.data());
    const bool sameWindow = current && current->window() == view_->window();
    if (!was && isIn) focused_ = true;
    else if (was && !isIn && sameWindow && focused_) {
        focused_ = false;
        exitFocus();
    }
}

// Leaving the grid brings the cursor back to the first data cell and switches the
// toolbar off until the grid has the focus again.
void MyGrid::exitFocus() {
    if (!source_) return;
    setCurrentCell(table_.fixedRows(), 1);
    kNew_->setEnabled(false);
    kDelete_->setEnabled(false);
    kUnDelete_->setEnabled(false);
}

// ---- Commits and closing ---------------------------------------------------------------------

void MyGrid::editorLostFocus() {
    const Edit edit = edit_;
    if (edit.editor == Editor::Personal) {
        setScrollBars(true);
        if (!commitOrAbandon(edit, "LostFocus(ctlControl)", [&] { commitTyped(edit); })) return;
    } else if (edit.editor == Editor::Cont) {
        setScrollBars(true);
        if (!commitOrAbandon(edit, "LostFocus(cntCont)", [&] { commitAccount(edit); })) return;
    }
    closeEdit(edit);
    if (edit.editor != Editor::Personal && edit.editor != Editor::Cont) setScrollBars(true);
}

// Closes the edit; each step runs whatever the one before did, and only when none failed
// does the cursor come back to the edited cell and move on as Enter does.
void MyGrid::closeEdit(const Edit& edit) {
    edit_ = Edit{};
    bool ok = true;
    const auto step = [&ok](auto&& action) {
        try {
            action();
        } catch (const std::exception&) {
            ok = false;
        }
    };
    step([&] { fg_->setFocus(Qt::OtherFocusReason); });
    if (edit.editor == Editor::Personal) step([&] { ctlControl_->goleste(); });
    if (edit.editor == Editor::Cont) step([&] { cntCont_->goleste(); });
    step([&] {
        if (QWidget* editor = editorWidget(edit.editor, edit.combo)) editor->hide();
    });
    if (!ok) return;
    setCurrentCell(edit.row, edit.col);
    enterNavigation();
}

bool MyGrid::commitOrAbandon(const Edit& edit, std::string_view operation, const std::function<void()>& commit) {
    try {
        commit();
        return true;
    } catch (const std::exception& error) {
        const std::optional<com::Error> reread = abandonEdit(edit);
        reportWindowEventError(name_, operation, error);
        if (reread) reportWindowEventError(name_, operation, *reread);
        return false;
    }
}

// Ends an edit whose commit failed: the line and its totals show what the source holds,
// the editor closes without writing, and the cursor stays on the edited cell.
std::optional<com::Error> MyGrid::abandonEdit(const Edit& edit) {
    edit_ = Edit{};
    typedChange_ = accountChange_ = false;
    std::optional<com::Error> failure;
    try {
        rereadLine(edit.row);
    } catch (const com::Error& e) {
        failure = e;
    }
    // As when an edit closes, each step runs whatever the one before did.
    const auto step = [](auto&& action) {
        try {
            action();
        } catch (const std::exception&) {}
    };
    step([&] { fg_->setFocus(Qt::OtherFocusReason); });
    if (edit.editor == Editor::Personal) step([&] { ctlControl_->goleste(); });
    if (edit.editor == Editor::Cont) step([&] { cntCont_->goleste(); });
    if (QWidget* editor = editorWidget(edit.editor, edit.combo)) editor->hide();
    setScrollBars(true);
    setCurrentCell(edit.row, edit.col);
    step([&] { updateToolbarState(); });
    return failure;
}

// An editor that still holds the focus when the host binds another source (it acted
// from a button that took no focus) is left as the user would leave it: its typed value
// reaches the source the grid is about to leave.
void MyGrid::commitOpenEdit() {
    if (!source_ || edit_.editor == Editor::None) return;
    if (isWithin(QApplication::focusWidget(), editorWidget(edit_.editor, edit_.combo)))
        fg_->setFocus(Qt::OtherFocusReason);
}

// Hides an editor left open (a commit that failed) without writing it: the grid is about
// to show another source.
void MyGrid::closeEditors() {
    const Edit edit = edit_;
    edit_ = Edit{};
    typedChange_ = accountChange_ = false;
    if (QWidget* editor = editorWidget(edit.editor, edit.combo)) {
        if (isWithin(QApplication::focusWidget(), editor)) fg_->setFocus(Qt::OtherFocusReason);
        editor->hide();
    }
    setScrollBars(true);
}

void MyGrid::commitTyped(const Edit& edit) {
    if (!typedChange_) return;
    typedChange_ = false;
    const ColumnDefinition& def = definition(edit.col);
    numberNewLine(edit.row);
    const int32_t index = table_.row(edit.row).rowData;
    const com::Variant value = ctlControl_->valoare();
    const bool number = def.isPersonal(PersonalTip::eNumar);
    const bool counted = number && table_.hasTotals() && def.sums() && !table_.row(edit.row).struck;
    const std::pair cell{edit.row, edit.col};
    // A line numbered by this edit has no item to compare with yet.
    if (index <= source().Count() && sameValue(source().GetData(edit.col, index), value)) {
        // The source took this value before while its formulas failed: they follow now.
        if (number && def.membruFormula && formulasPending_.contains(cell)) {
            const AtExit repaint{[&] { cellsChanged(edit.row); }};
            refreshFormulas(edit.row, edit.col);
            formulasPending_.erase(cell);
        }
        return;
    }
    // An amount the cell or its total cannot hold is refused before the source sees it.
    const Amount old = number ? cellAmount(edit.row, edit.col) : Amount{};
    if (number) {
        const Amount typed = Amount::of(value, def.nrZecimale);
        if (counted) adjustedTotal(edit.col, typed - old);
    }
    const bool date = def.isPersonal(PersonalTip::eData);
    writeSource(edit.row, edit.col, date && value.isNull() ? com::Variant(com::Date(0)) : value);
    const AtExit repaint{[&] { cellsChanged(edit.row); }};

    Cell& shown = table_.cell(edit.row, edit.col);
    if (date) {
        if (value.isNull()) shown = std::monostate{};
        else shown = ShownDate{value.toDate()};
    } else if (def.isPersonal(PersonalTip::eSelect)) {
        auto [key, text] = keyedValue(value.toString());
        shown = std::move(text);
        selectionKeys(edit.col).at(static_cast<size_t>(edit.row - table_.fixedRows())) = key;
    } else if (number) {
        shown = Amount::of(value, def.nrZecimale);
        if (counted) adjustTotal(edit.col, amountOrZero(source().GetData(edit.col, index), def.nrZecimale) - old);
        if (def.membruFormula) {
            formulasPending_.insert(cell);
            refreshFormulas(edit.row, edit.col);
            formulasPending_.erase(cell);
        }
    } else {
        shown = value.isNull() ? std::string() : value.toString();
    }
    refreshDependents(edit.row, edit.col);
}

// The account code is written when the user changed it and it differs from the item's.
// A key that opened the editor empty without typing anything ("0", a letter) erases nothing.
void MyGrid::commitAccount(const Edit& edit) {
    if (!accountChange_) return;
    accountChange_ = false;
    if (table_.row(edit.row).rowData == 0 && cntCont_->valoare().isEmpty()) return;  // no item for nothing
    numberNewLine(edit.row);
    const int32_t index = table_.row(edit.row).rowData;
    const com::Variant value(cntCont_->valoare().toStdString());
    if (index <= source().Count() && sameValue(source().GetData(edit.col, index), value)) return;
    writeSource(edit.row, edit.col, value);
    const AtExit repaint{[&] { cellsChanged(edit.row); }};
    table_.cell(edit.row, edit.col) = cntCont_->valoare().toStdString();
    refreshDependents(edit.row, edit.col);
}

void MyGrid::commitCheck() {
    if (!checkGuard_ || edit_.editor != Editor::Check) return;
    const Edit edit = edit_;
    commitOrAbandon(edit, "Click(chk)", [&] {
        numberNewLine(edit.row);
        const auto value = static_cast<int16_t>(chk_->checkState() == Qt::Checked            ? 1
                                                : chk_->checkState() == Qt::PartiallyChecked ? 2
                                                                                             : 0);
        writeSource(edit.row, edit.col, com::Variant(value));
        table_.cell(edit.row, edit.col) = std::string(value != 0 ? "True" : "False");
        cellsChanged(edit.row);
    });
}

void MyGrid::commitCombo(int combo) {
    if (!comboGuard_ || edit_.editor != Editor::Combo || edit_.combo != combo) return;
    const Edit edit = edit_;
    commitOrAbandon(edit, "Click(cmbCombo)", [&] {
        numberNewLine(edit.row, true);
        MyCombo& list = *cmbCombo_.at(static_cast<size_t>(combo));
        const int32_t key = list.cheie();
        const std::string text = list.text().toStdString();
        writeSource(edit.row, edit.col, com::Variant(std::to_string(key) + "|" + text));
        const AtExit repaint{[&] { cellsChanged(edit.row); }};
        table_.cell(edit.row, edit.col) = text;
        setComboKey(edit.row - table_.fixedRows(), definition(edit.col).indexCombo, key);
        refreshDependents(edit.row, edit.col);
    });
}

// The picker of a selection cell: the host gets the editor's "id|text" and answers with
// the chosen "id|text" (or a text alone).
void MyGrid::pick() {
    if (edit_.editor != Editor::Personal) return;
    const Edit edit = edit_;
    const bool picked = commitOrAbandon(edit, "Selecteaza(ctlControl)", [&] {
        std::vector<com::Variant> answer{ctlControl_->valoare()};
        raiseEvent(my_grid::event::SelectFromControlSelectie, answer);
        setCurrentCell(edit.row, edit.col);
        std::string value = answer[0].toString();
        if (value.empty()) return;
        if (value.find('|') == std::string::npos) value = "0|" + value;
        ctlControl_->setValoare(com::Variant(value));
        numberNewLine(edit.row);
        writeSource(edit.row, edit.col, ctlControl_->valoare());
        typedChange_ = false;  // the pick is the value; leaving the editor writes nothing more
        const AtExit repaint{[&] { cellsChanged(edit.row); }};
        auto [key, text] = keyedValue(ctlControl_->valoare().toString());
        const size_t cut = text.find("---", 1);
        table_.cell(edit.row, edit.col) = cut == std::string::npos ? text : text.substr(0, cut);
        selectionKeys(edit.col).at(static_cast<size_t>(edit.row - table_.fixedRows())) = key;
        refreshDependents(edit.row, edit.col);
    });
    if (!picked) return;  // the failed pick ended the edit
    edit_ = Edit{};
    guarded([&] { ctlControl_->goleste(); });
    ctlControl_->widget()->hide();
    fg_->setFocus(Qt::OtherFocusReason);
    setScrollBars(true);
    guarded([&] { updateToolbarState(); });
}

// Formula columns naming the edited column are computed again; the source receives the
// amount as shown.
void MyGrid::refreshFormulas(int row, int col) {
    const std::string mark = "#" + std::to_string(col) + "#";
    const int32_t index = table_.row(row).rowData;
    for (int j = 1; j < table_.cols(); ++j) {
        const ColumnDefinition& def = definition(j);
        if (!def.formula || def.definireFormula.find(mark) == std::string::npos) continue;
        const com::Variant value = evaluateFormula(def.definireFormula, index);
        const Amount old = cellAmount(row, j);
        const Amount shown = Amount::of(value, def.nrZecimale);
        const bool counted = table_.hasTotals() && def.sums() && !table_.row(row).struck;
        if (counted) adjustedTotal(j, shown - old);  // a total beyond the range is refused first
        // The source first: a value it refuses is shown nowhere, so the cell and its
        // total keep agreeing.
        source().SetData(j, index, shown.value(), true);
        table_.cell(row, j) = shown;
        if (counted) adjustTotal(j, amountOrZero(source().GetData(j, index), def.nrZecimale) - old);
    }
}

// The columns the edited one names in ColoaneRefresh are read again from the source and
// shown as the binding shows them (number columns keeping their totals right).
void MyGrid::refreshDependents(int row, int col) {
    const std::string& list = definition(col).coloaneRefresh;
    if (list.empty()) return;
    const int32_t index = table_.row(row).rowData;
    size_t start = 0;
    for (;;) {
        const size_t comma = list.find(',', start);
        const int k =
            com::Variant(list.substr(start, comma == std::string::npos ? std::string::npos : comma - start)).toLong();
        writeCell(row, k, source().GetData(k, index));
        if (comma == std::string::npos) break;
        start = comma + 1;
    }
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
