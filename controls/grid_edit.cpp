#include "grid_edit.h"

#include <QApplication>
#include <QCheckBox>
#include <QKeyEvent>

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

// Runs each step whatever the one before did; false once one failed.
class Steps {
public:
    template <class F>
    void operator()(F&& action) {
        try {
            action();
        } catch (const std::exception&) {
            ok_ = false;
        }
    }
    bool ok() const { return ok_; }

private:
    bool ok_ = true;
};

}  // namespace

GridEdit::GridEdit(MyGrid& grid) : grid_(grid) {
    QWidget* view = grid_.view_.data();
    ctlControl_ = com::make<ControlPersonal>();
    QWidget* ctl = ctlControl_->widget();
    ctl->setParent(view);
    ctl->setObjectName(QStringLiteral("ctlControl"));
    // Opaque over the cell it edits, so that showing it repaints nothing under it.
    ctl->setBackgroundRole(QPalette::Base);
    ctl->setAutoFillBackground(true);
    ctl->hide();
    auto ctlSink = com::make<com::EventSink>();
    ctlSink->on(control_personal::event::Change,
                [this](com::Args) { grid_.guarded([this] { changedBy(Editor::Personal); }); });
    ctlSink->on(control_personal::event::Selecteaza, [this](com::Args) { pick(); });
    connections_.emplace_back(static_cast<IControlPersonal&>(*ctlControl_), control_personal::EventsId,
                              com::ComPtr<com::IDispatch>(ctlSink.get()));

    cntCont_ = com::make<ControlCont>();
    QWidget* cont = cntCont_->widget();
    cont->setParent(view);
    cont->setObjectName(QStringLiteral("cntCont"));
    cont->hide();
    auto contSink = com::make<com::EventSink>();
    contSink->on(control_cont::event::Change,
                 [this](com::Args) { grid_.guarded([this] { changedBy(Editor::Cont); }); });
    // Delete empties the code on purpose: that is a change too.
    contSink->on(control_cont::event::GolescDescriere, [this](com::Args) {
        if (accepts(Editor::Cont)) state_ = State::Changed;
    });
    // The host's level lists go straight back to the editor.
    contSink->on(control_cont::event::CautaAnalitic, [this](com::Args args) {
        if (args.size() < 2) return;
        std::vector<com::Variant> passed{args[0], args[1]};
        grid_.raiseEvent(my_grid::event::CautaAnalitic, passed);
        args[1] = passed[1];
    });
    connections_.emplace_back(static_cast<IControlCont&>(*cntCont_), control_cont::EventsId,
                              com::ComPtr<com::IDispatch>(contSink.get()));

    addComboEditor(0);

    chk_ = new QCheckBox(view);
    chk_->setObjectName(QStringLiteral("chk"));
    chk_->setAutoFillBackground(true);
    chk_->hide();
    chk_->installEventFilter(&grid_);
    QObject::connect(chk_, &QCheckBox::stateChanged, &grid_, [this] { grid_.guarded([this] { commitCheck(); }); });
}

// Each editor goes with its own widget before the grid's widget takes its children.
GridEdit::~GridEdit() {
    connections_.clear();
    comboConnections_.clear();
    ctlControl_.reset();
    cntCont_.reset();
    cmbCombo_.clear();
}

template <class F>
void GridEdit::load(F&& action) {
    state_ = State::Loading;
    const AtExit open{[this] { state_ = State::Open; }};
    action();
}

void GridEdit::end() {
    edit_ = Edit{};
    state_ = State::Idle;
}

bool GridEdit::accepts(Editor editor, int combo) const {
    return (state_ == State::Open || state_ == State::Changed) && edit_.editor == editor && edit_.combo == combo;
}

// A change of the user's in the typed or account editor: a new line gets its item index
// at the first keystroke.
void GridEdit::changedBy(Editor editor) {
    if (!accepts(editor)) return;
    numberNewLine(edit_.row);
    state_ = State::Changed;
}

// ---- The list editors ----------------------------------------------------------------------

MyCombo& GridEdit::combo(int index) const { return *cmbCombo_.at(static_cast<size_t>(index)); }

void GridEdit::addCombo() { addComboEditor(static_cast<int>(cmbCombo_.size())); }

void GridEdit::addComboEditor(int index) {
    auto combo = com::make<MyCombo>();
    QWidget* widget = combo->widget();
    widget->setParent(grid_.view_.data());
    widget->setObjectName(QStringLiteral("cmbCombo%1").arg(index));
    widget->hide();
    auto sink = com::make<com::EventSink>();
    sink->on(my_combo::event::Click, [this, index](com::Args) { grid_.guarded([&] { commitCombo(index); }); });
    comboConnections_.emplace_back(static_cast<IMyCombo&>(*combo), my_combo::EventsId,
                                   com::ComPtr<com::IDispatch>(sink.get()));
    cmbCombo_.push_back(std::move(combo));
}

void GridEdit::resetCombos() {
    comboConnections_.resize(std::min<size_t>(comboConnections_.size(), 1));
    while (cmbCombo_.size() > 1) cmbCombo_.pop_back();
    cmbCombo_.front()->clear();
}

// ---- Opening an editor -------------------------------------------------------------------

void GridEdit::start(const QString& typed) {
    if (!grid_.areSursaDate_ || state_ != State::Idle) return;
    const GridTable& table = grid_.table_;
    const int row = grid_.currentRow(), col = grid_.currentCol();
    if (row < table.fixedRows() || row >= table.rows() || col < 1 || col >= table.cols()) return;
    const Editor editor = editorForColumn(col);
    edit_ = Edit{editor, editor == Editor::Combo ? grid_.definition(col).indexCombo : 0, row, col};
    state_ = State::Open;
    try {
        show(typed);
    } catch (...) {
        // No edit opened (a cell the editor cannot take): the grid stays as it was.
        const Edit failed = edit_;
        end();
        if (QWidget* widget = editorWidget(failed.editor, failed.combo); widget && widget->isVisible()) {
            grid_.fg_->setFocus(Qt::OtherFocusReason);
            widget->hide();
        }
        grid_.setScrollBars(true);
        grid_.updateToolbarState();
        throw;
    }
}

GridEdit::Editor GridEdit::editorForColumn(int col) {
    using Tip = MyGrid::Tip;
    const MyGrid::ColumnDefinition& def = grid_.definition(col);
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

QWidget* GridEdit::editorWidget(Editor editor, int combo) const {
    switch (editor) {
    case Editor::Personal: return ctlControl_->widget();
    case Editor::Combo: return this->combo(combo).widget();
    case Editor::Check: return chk_;
    case Editor::Cont: return cntCont_->widget();
    default: return nullptr;
    }
}

void GridEdit::show(const QString& typed) {
    const int row = edit_.row, col = edit_.col;
    const GridTable& table = grid_.table_;
    const auto nothing = [this] {
        end();
        grid_.updateToolbarState();  // the buttons do not stay off when no editor opens
    };
    if (table.row(row).struck) {
        end();
        return;
    }
    grid_.disableToolbar();
    const MyGrid::ColumnDefinition& def = grid_.definition(col);
    if (!def.enableEdit || (grid_.source().Count() < 1 && !grid_.permitRandNou_) || edit_.editor == Editor::None)
        return nothing();

    const int dataRow = row - table.fixedRows();
    std::optional<char> replay;
    const char32_t key = typed.isEmpty() ? U'\0' : typed.toUcs4().front();
    if (key <= 32) {
        // A control key, Space or a double click: the editor opens on the cell's value.
        const Cell& cell = table.cell(row, col);
        load([&] {
            switch (edit_.editor) {
            case Editor::Personal:
                switch (static_cast<TipData>(ctlControl_->tipData())) {
                case TipData::Text: ctlControl_->setValoare(com::Variant(cellText(cell).toStdString())); break;
                case TipData::Data:
                    if (const auto* date = std::get_if<ShownDate>(&cell))
                        ctlControl_->setValoare(com::Variant(date->date));
                    else if (cellText(cell).isEmpty()) ctlControl_->setValoare(com::Variant::null());
                    else ctlControl_->setValoare(com::Variant(cellText(cell).toStdString()));
                    break;
                case TipData::Selectie:
                    ctlControl_->setPermitSelectManual(def.permitSelectManual);
                    ctlControl_->setValoare(
                        com::Variant(std::to_string(grid_.selectionKeys(col).at(static_cast<size_t>(dataRow))) + "|" +
                                     cellText(cell).toStdString()));
                    break;
                case TipData::Numar: ctlControl_->setValoare(grid_.cellAmount(row, col).value()); break;
                }
                break;
            case Editor::Combo: try { combo(edit_.combo).setCheie(grid_.getComboKey(dataRow, def.indexCombo));
                } catch (const com::Error&) {
                    combo(edit_.combo).setCheie(-1);  // a key the list does not hold shows no row
                }
                break;
            case Editor::Check: {
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
        });
    } else {
        // A typed character: only a text, number or account editor opens, with the key.
        const char c = key < 128 ? static_cast<char>(key) : '\0';
        switch (edit_.editor) {
        case Editor::Personal:
            switch (ctlControl_->tipData()) {
            case static_cast<int32_t>(TipData::Text):
                ctlControl_->setValoare(com::Variant(typed.toStdString()));
                state_ = State::Changed;
                break;
            case static_cast<int32_t>(TipData::Data):
            case static_cast<int32_t>(TipData::Selectie): return nothing();
            case static_cast<int32_t>(TipData::Numar):
                if (c == '-' || (c >= '0' && c <= '9')) {
                    replay = c;
                    state_ = State::Changed;
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
    grid_.setScrollBars(false);
    QWidget* widget = editorWidget(edit_.editor, edit_.combo);
    place(widget, row, col);
    if (replay) replayKey(widget, *replay);
}

void GridEdit::place(QWidget* editor, int row, int col) {
    GridView& fg = *grid_.fg_;
    const QModelIndex index = grid_.model_->indexOf(row, col);
    fg.scrollTo(index);
    const QRect cell = fg.visualRect(index);
    const QPoint at = fg.viewport()->mapTo(grid_.view_.data(), cell.topLeft());
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
void GridEdit::replayKey(QWidget* editor, char key) {
    QWidget* target = focusTarget(editor);
    const int code = key == '-' ? Qt::Key_Minus : Qt::Key_0 + (key - '0');
    const QString text(QChar::fromLatin1(key));
    QKeyEvent press(QEvent::KeyPress, code, Qt::KeypadModifier, text);
    QCoreApplication::sendEvent(target, &press);
    QKeyEvent release(QEvent::KeyRelease, code, Qt::KeypadModifier, text);
    QCoreApplication::sendEvent(target, &release);
}

// ---- Focus and keys ------------------------------------------------------------------------

bool GridEdit::filterEvent(QObject* watched, QEvent* event) {
    // Enter on the check box moves on as Tab does.
    if (watched == chk_ && event->type() == QEvent::KeyPress && isEnter(*static_cast<QKeyEvent*>(event))) {
        moveFocusAsTab(chk_);
        return true;
    }
    return false;
}

void GridEdit::focusMoved(QWidget* old, QWidget* now) {
    if (state_ == State::Idle || !now) return;
    QWidget* editor = editorWidget(edit_.editor, edit_.combo);
    if (isWithin(old, editor) && !isWithin(now, editor)) editorLostFocus();
}

void GridEdit::leaveBeforeRebind() {
    if (!grid_.source_ || state_ == State::Idle) return;
    if (isWithin(QApplication::focusWidget(), editorWidget(edit_.editor, edit_.combo)))
        grid_.fg_->setFocus(Qt::OtherFocusReason);
}

void GridEdit::discard() {
    const Edit edit = edit_;
    end();
    formulasPending_.clear();
    if (QWidget* editor = editorWidget(edit.editor, edit.combo)) {
        if (isWithin(QApplication::focusWidget(), editor)) grid_.fg_->setFocus(Qt::OtherFocusReason);
        editor->hide();
    }
    grid_.setScrollBars(true);
}

// ---- Commits and closing ---------------------------------------------------------------------

void GridEdit::editorLostFocus() {
    const Edit edit = edit_;
    if (edit.editor == Editor::Personal) {
        grid_.setScrollBars(true);
        if (!commitOrAbandon(edit, "LostFocus(ctlControl)", [&] { commitTyped(edit); })) return;
    } else if (edit.editor == Editor::Cont) {
        grid_.setScrollBars(true);
        if (!commitOrAbandon(edit, "LostFocus(cntCont)", [&] { commitAccount(edit); })) return;
    }
    close(edit);
    if (edit.editor != Editor::Personal && edit.editor != Editor::Cont) grid_.setScrollBars(true);
}

// Closes the edit; each step runs whatever the one before did, and only when none failed
// does the cursor come back to the edited cell and move on as Enter does.
void GridEdit::close(const Edit& edit) {
    end();
    Steps step;
    step([&] { grid_.fg_->setFocus(Qt::OtherFocusReason); });
    if (edit.editor == Editor::Personal) step([&] { ctlControl_->goleste(); });
    if (edit.editor == Editor::Cont) step([&] { cntCont_->goleste(); });
    step([&] {
        if (QWidget* editor = editorWidget(edit.editor, edit.combo)) editor->hide();
    });
    if (!step.ok()) return;
    grid_.setCurrentCell(edit.row, edit.col);
    grid_.enterNavigation();
}

bool GridEdit::commitOrAbandon(const Edit& edit, std::string_view operation, const std::function<void()>& commit) {
    try {
        commit();
        return true;
    } catch (const std::exception& error) {
        const std::optional<com::Error> reread = abandon(edit);
        reportWindowEventError(grid_.name_, operation, error);
        if (reread) reportWindowEventError(grid_.name_, operation, *reread);
        return false;
    }
}

// Ends an edit whose commit failed: the line and its totals show what the source holds,
// the editor closes without writing, and the cursor stays on the edited cell.
std::optional<com::Error> GridEdit::abandon(const Edit& edit) {
    end();
    std::optional<com::Error> failure;
    try {
        grid_.rereadLine(edit.row);
    } catch (const com::Error& e) {
        failure = e;
    }
    // As when an edit closes, each step runs whatever the one before did.
    Steps step;
    step([&] { grid_.fg_->setFocus(Qt::OtherFocusReason); });
    if (edit.editor == Editor::Personal) step([&] { ctlControl_->goleste(); });
    if (edit.editor == Editor::Cont) step([&] { cntCont_->goleste(); });
    if (QWidget* editor = editorWidget(edit.editor, edit.combo)) editor->hide();
    grid_.setScrollBars(true);
    grid_.setCurrentCell(edit.row, edit.col);
    step([&] { grid_.updateToolbarState(); });
    return failure;
}

void GridEdit::commitTyped(const Edit& edit) {
    if (state_ != State::Changed) return;
    state_ = State::Open;
    using PersonalTip = MyGrid::PersonalTip;
    GridTable& table = grid_.table_;
    Gravlin::ModelColectie& source = grid_.source();
    const MyGrid::ColumnDefinition& def = grid_.definition(edit.col);
    numberNewLine(edit.row);
    const int32_t index = table.row(edit.row).rowData;
    const com::Variant value = ctlControl_->valoare();
    const bool number = def.isPersonal(PersonalTip::eNumar);
    const bool counted = number && table.hasTotals() && def.sums() && !table.row(edit.row).struck;
    const std::pair cell{edit.row, edit.col};
    // A line numbered by this edit has no item to compare with yet.
    if (index <= source.Count() && sameValue(source.GetData(edit.col, index), value)) {
        // The source took this value before while its formulas failed: they follow now.
        if (number && def.membruFormula && formulasPending_.contains(cell)) {
            const AtExit repaint{[&] { grid_.cellsChanged(edit.row); }};
            refreshFormulas(edit.row, edit.col);
            formulasPending_.erase(cell);
        }
        return;
    }
    // An amount the cell or its total cannot hold is refused before the source sees it.
    const Amount old = number ? grid_.cellAmount(edit.row, edit.col) : Amount{};
    if (number) {
        const Amount typed = Amount::of(value, def.nrZecimale);
        if (counted) grid_.adjustedTotal(edit.col, typed - old);
    }
    const bool date = def.isPersonal(PersonalTip::eData);
    writeSource(edit.row, edit.col, date && value.isNull() ? com::Variant(com::Date(0)) : value);
    const AtExit repaint{[&] { grid_.cellsChanged(edit.row); }};

    Cell& shown = table.cell(edit.row, edit.col);
    if (date) {
        if (value.isNull()) shown = std::monostate{};
        else shown = ShownDate{value.toDate()};
    } else if (def.isPersonal(PersonalTip::eSelect)) {
        auto [key, text] = keyedValue(value.toString());
        shown = std::move(text);
        grid_.selectionKeys(edit.col).at(static_cast<size_t>(edit.row - table.fixedRows())) = key;
    } else if (number) {
        shown = Amount::of(value, def.nrZecimale);
        if (counted) grid_.adjustTotal(edit.col, amountOrZero(source.GetData(edit.col, index), def.nrZecimale) - old);
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
void GridEdit::commitAccount(const Edit& edit) {
    if (state_ != State::Changed) return;
    state_ = State::Open;
    GridTable& table = grid_.table_;
    if (table.row(edit.row).rowData == 0 && cntCont_->valoare().isEmpty()) return;  // no item for nothing
    numberNewLine(edit.row);
    const int32_t index = table.row(edit.row).rowData;
    const com::Variant value(cntCont_->valoare().toStdString());
    if (index <= grid_.source().Count() && sameValue(grid_.source().GetData(edit.col, index), value)) return;
    writeSource(edit.row, edit.col, value);
    const AtExit repaint{[&] { grid_.cellsChanged(edit.row); }};
    table.cell(edit.row, edit.col) = cntCont_->valoare().toStdString();
    refreshDependents(edit.row, edit.col);
}

void GridEdit::commitCheck() {
    if (!accepts(Editor::Check)) return;
    const Edit edit = edit_;
    commitOrAbandon(edit, "Click(chk)", [&] {
        numberNewLine(edit.row);
        const auto value = static_cast<int16_t>(chk_->checkState() == Qt::Checked            ? 1
                                                : chk_->checkState() == Qt::PartiallyChecked ? 2
                                                                                             : 0);
        writeSource(edit.row, edit.col, com::Variant(value));
        grid_.table_.cell(edit.row, edit.col) = std::string(value != 0 ? "True" : "False");
        grid_.cellsChanged(edit.row);
    });
}

void GridEdit::commitCombo(int index) {
    if (!accepts(Editor::Combo, index)) return;
    const Edit edit = edit_;
    commitOrAbandon(edit, "Click(cmbCombo)", [&] {
        numberNewLine(edit.row, true);
        MyCombo& list = combo(index);
        const int32_t key = list.cheie();
        const std::string text = list.text().toStdString();
        writeSource(edit.row, edit.col, com::Variant(std::to_string(key) + "|" + text));
        const AtExit repaint{[&] { grid_.cellsChanged(edit.row); }};
        grid_.table_.cell(edit.row, edit.col) = text;
        grid_.setComboKey(edit.row - grid_.table_.fixedRows(), grid_.definition(edit.col).indexCombo, key);
        refreshDependents(edit.row, edit.col);
    });
}

// The picker of a selection cell: the host gets the editor's "id|text" and answers with
// the chosen "id|text" (or a text alone).
void GridEdit::pick() {
    if (!accepts(Editor::Personal)) return;
    const Edit edit = edit_;
    const bool picked = commitOrAbandon(edit, "Selecteaza(ctlControl)", [&] {
        std::vector<com::Variant> answer{ctlControl_->valoare()};
        grid_.raiseEvent(my_grid::event::SelectFromControlSelectie, answer);
        grid_.setCurrentCell(edit.row, edit.col);
        std::string value = answer[0].toString();
        if (value.empty()) return;
        if (value.find('|') == std::string::npos) value = "0|" + value;
        ctlControl_->setValoare(com::Variant(value));
        numberNewLine(edit.row);
        writeSource(edit.row, edit.col, ctlControl_->valoare());
        state_ = State::Open;  // the pick is the value; leaving the editor writes nothing more
        const AtExit repaint{[&] { grid_.cellsChanged(edit.row); }};
        auto [key, text] = keyedValue(ctlControl_->valoare().toString());
        const size_t cut = text.find("---", 1);
        grid_.table_.cell(edit.row, edit.col) = cut == std::string::npos ? text : text.substr(0, cut);
        grid_.selectionKeys(edit.col).at(static_cast<size_t>(edit.row - grid_.table_.fixedRows())) = key;
        refreshDependents(edit.row, edit.col);
    });
    if (!picked) return;  // the failed pick ended the edit
    end();
    grid_.guarded([&] { ctlControl_->goleste(); });
    ctlControl_->widget()->hide();
    grid_.fg_->setFocus(Qt::OtherFocusReason);
    grid_.setScrollBars(true);
    grid_.guarded([&] { grid_.updateToolbarState(); });
}

// ---- Writing and what follows --------------------------------------------------------------

// A line without an item gets the next item index before its first value is written.
void GridEdit::numberNewLine(int row, bool orLess) {
    int32_t& rowData = grid_.table_.row(row).rowData;
    if (rowData == 0 || (orLess && rowData < 0)) rowData = grid_.source().Count() + 1;
}

// Writes the edited cell's value to the line's item. A new line whose first value the
// source refuses has no item yet: it waits for one again, so that no line added after it
// takes the same index.
void GridEdit::writeSource(int row, int col, const com::Variant& value) {
    const int32_t index = grid_.table_.row(row).rowData;
    try {
        grid_.source().SetData(col, index, value, true);
    } catch (const com::Error&) {
        try {
            if (index > grid_.source().Count()) grid_.table_.row(row).rowData = 0;
        } catch (const com::Error&) {
            // the line is as the failed write left it; the write's own error is the one reported
        }
        throw;
    }
}

// Formula columns naming the edited column are computed again; the source receives the
// amount as shown.
void GridEdit::refreshFormulas(int row, int col) {
    GridTable& table = grid_.table_;
    Gravlin::ModelColectie& source = grid_.source();
    const std::string mark = "#" + std::to_string(col) + "#";
    const int32_t index = table.row(row).rowData;
    for (int j = 1; j < table.cols(); ++j) {
        const MyGrid::ColumnDefinition& def = grid_.definition(j);
        if (!def.formula || def.definireFormula.find(mark) == std::string::npos) continue;
        const com::Variant value = grid_.evaluateFormula(def.definireFormula, index);
        const Amount old = grid_.cellAmount(row, j);
        const Amount shown = Amount::of(value, def.nrZecimale);
        const bool counted = table.hasTotals() && def.sums() && !table.row(row).struck;
        if (counted) grid_.adjustedTotal(j, shown - old);  // a total beyond the range is refused first
        // The source first: a value it refuses is shown nowhere, so the cell and its
        // total keep agreeing.
        source.SetData(j, index, shown.value(), true);
        table.cell(row, j) = shown;
        if (counted) grid_.adjustTotal(j, amountOrZero(source.GetData(j, index), def.nrZecimale) - old);
    }
}

// The columns the edited one names in ColoaneRefresh are read again from the source and
// shown as the binding shows them (number columns keeping their totals right).
void GridEdit::refreshDependents(int row, int col) {
    const std::string& list = grid_.definition(col).coloaneRefresh;
    if (list.empty()) return;
    const int32_t index = grid_.table_.row(row).rowData;
    size_t start = 0;
    for (;;) {
        const size_t comma = list.find(',', start);
        const int k =
            com::Variant(list.substr(start, comma == std::string::npos ? std::string::npos : comma - start)).toLong();
        grid_.writeCell(row, k, grid_.source().GetData(k, index));
        if (comma == std::string::npos) break;
        start = comma + 1;
    }
}

}  // namespace quillon
