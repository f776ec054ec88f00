#pragma once
// The grid's in-place edit: the editors standing over a cell (a value entry field, an
// account code field, one keyed list per list column, a check box), the edit in progress
// with its state, the commit of the editor's value to the grid's source with the totals,
// formulas and dependent columns that follow, and the abandon of a commit that failed.
#include <functional>
#include <optional>
#include <set>
#include <string_view>
#include <utility>
#include <vector>

#include <QString>

#include "com/error.h"
#include "com/events.h"
#include "com/object.h"
#include "com/variant.h"

class QCheckBox;
class QEvent;
class QObject;
class QWidget;

namespace quillon {

class ControlCont;
class ControlPersonal;
class MyCombo;
class MyGrid;

class GridEdit {
public:
    // Creates the editors, hidden, as children of the grid's widget.
    explicit GridEdit(MyGrid& grid);
    ~GridEdit();
    GridEdit(const GridEdit&) = delete;
    GridEdit& operator=(const GridEdit&) = delete;

    // Opens the current column's editor over the current cell. `typed` is the character
    // typed on the cell (a control character, Space for a double click).
    void start(const QString& typed);
    // The focus moved: an editor it left commits and closes.
    void focusMoved(QWidget* old, QWidget* now);
    // The editors' own keys the grid sees first; true when one was used.
    bool filterEvent(QObject* watched, QEvent* event);
    // An editor that still holds the focus when the host binds another source (it acted
    // from a button that took no focus) is left as the user would leave it: its value
    // reaches the source the grid is about to leave.
    void leaveBeforeRebind();
    // The grid is about to show another source: an editor left open (a commit that
    // failed) hides without writing, and no formulas wait any longer.
    void discard();

    // The list editors, one per list column; the first always exists.
    MyCombo& combo(int index) const;
    void addCombo();
    void resetCombos();

private:
    enum class Editor { None, Personal, Combo, Check, Cont };
    // Where the edit stands. Idle exactly when no editor is current.
    enum class State {
        Idle,     // no edit
        Loading,  // the grid puts the cell's value into the editor: its clicks are no commit
        Open,     // the editor stands over the cell holding what was loaded (or picked)
        Changed,  // the user changed the value in the typed or account editor
    };
    // The editor of the edit and the cell it stands over.
    struct Edit {
        Editor editor = Editor::None;
        int combo = 0;
        int row = 0;
        int col = 0;
    };

    // Runs while the editor takes the cell's value, the state Loading meanwhile.
    template <class F>
    void load(F&& action);
    // The edit ends: no editor is current.
    void end();
    // Whether a click or change of `editor` (list `combo`) belongs to the open edit.
    bool accepts(Editor editor, int combo = 0) const;
    void changedBy(Editor editor);

    void addComboEditor(int index);
    Editor editorForColumn(int col);
    void show(const QString& typed);
    QWidget* editorWidget(Editor editor, int combo) const;
    void place(QWidget* editor, int row, int col);
    void replayKey(QWidget* editor, char key);
    void editorLostFocus();
    void close(const Edit& edit);
    // Runs a commit of `edit`. A failure is reported once as the grid's `operation`; the
    // line then shows what its item holds, and the edit ends without writing anything
    // more. Returns false when it failed.
    bool commitOrAbandon(const Edit& edit, std::string_view operation, const std::function<void()>& commit);
    std::optional<com::Error> abandon(const Edit& edit);
    void commitTyped(const Edit& edit);
    void commitAccount(const Edit& edit);
    void commitCheck();
    void commitCombo(int combo);
    void pick();
    void numberNewLine(int row, bool orLess = false);
    void writeSource(int row, int col, const com::Variant& value);
    void refreshFormulas(int row, int col);
    void refreshDependents(int row, int col);

    MyGrid& grid_;
    com::ComPtr<ControlPersonal> ctlControl_;
    com::ComPtr<ControlCont> cntCont_;
    std::vector<com::ComPtr<MyCombo>> cmbCombo_;
    QCheckBox* chk_ = nullptr;
    std::vector<com::EventConnection> connections_;
    std::vector<com::EventConnection> comboConnections_;

    Edit edit_;
    State state_ = State::Idle;
    // Cells (row, column) whose value reached the source while their formula columns
    // failed: their next commit computes the formulas, also when the value is unchanged.
    std::set<std::pair<int, int>> formulasPending_;
};

}  // namespace quillon
