#pragma once
// What the four edit screens (the hospital and ward registers, the two cost sheets) share:
// one current business object bound to the screen's controls by their Tag, a backup copy
// for "Renunta", the six-button bar driven by the FormController, the selection dialog
// behind "Cauta...", the pre-save list of broken rules, and the push of a field into the
// object when the field is validated (the focus leaves it, also for a button's press).
//
// A screen derives from EditScreen, creates its controls with addField(), binds them with
// pushOnValidate() / pushOnClick(), overrides the hooks that differ and calls formLoad() as
// the last step of its constructor.
#include <array>
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include <QPointer>
#include <QWidget>

#include "com/dispatch.h"
#include "com/events.h"
#include "com/guid.h"
#include "forms/editedobject.h"
#include "forms/formcontroller.h"
#include "forms/selectkind.h"
#include "typelib/ModelLinie.h"

class QGroupBox;
class QPushButton;

namespace velmora {

class HostedControl;

// What tells one edit screen from another, besides its controls and hooks.
struct EditScreenKind {
    std::string module;           // the module label of its error reports ("frmSectii")
    EditedObject (*newObject)();  // a new object of the class it edits (newEditedObject<_Sectie>)
    com::Guid eventsIid;          // that class's event interface (OnDirty)
    SelectKind tipSelect{};       // the selection dialog's kind behind "Cauta..."
    bool adaugaDialog = false;    // button 3 reads "Adauga..." instead of "Adauga"
};

// A value a screen refuses with a notice of its own: the information box with the text
// alone, not the error report of a failure.
class FieldNotice : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The box text of an object's broken rules: the heading, one rule per line in the order the
// rules entered the list, and three line breaks; nothing while the list is empty.
std::optional<std::string> brokenRulesText(Velmora_Business::_BrokenRules& errors);

class EditScreen : public QWidget {
    Q_OBJECT
public:
    ~EditScreen() override;

    // The current object; the row model and the flags are always read from it.
    const com::ComPtr<com::IDispatch>& object() const { return object_.dispatch(); }
    // The copy "Renunta" returns a stored object to.
    const com::ComPtr<com::IDispatch>& backup() const { return backup_.dispatch(); }
    // The current object seen through the row model. Raises 91 when there is none.
    Gravlin::ModelLinie& model() const;
    FormController& controller() { return controller_; }
    const EditScreenKind& kind() const { return kind_; }

    // cmdButton(0..5): "Salveaza", "Renunta", "Cauta...", "Adauga", "Sterge", "Iesire".
    QPushButton* cmdButton(int index) const { return bar_.cmdButton.at(static_cast<size_t>(index)); }
    QWidget* picButton() const { return bar_.picButton; }
    // True while LoadControls fills the controls: no handler pushes anything then.
    bool loading() const { return mbLoading_; }

    // The button's work (after the focus has left the field being typed in); errors are
    // reported with the procedure label "cmdButton_Click".
    void cmdButton_Click(int index);
    // The selection dialog's choice: loads the object of that id; errors are reported with
    // the procedure label "ItemSelectat" and leave the current object as it was.
    void ItemSelectat(int32_t itemId, const std::string& itemText);

    // Pushes the control's value (Valoare, or a combo's Cheie) into the object under the
    // control's Tag, then runs afterFieldPushed. Nothing while loading. A value the object
    // refuses is reported ("<control>_Validate", "<combo>_Click" for a combo pushed when
    // picked) and the control shows the stored value.
    void pushField(HostedControl& control);

    // Fills every control named by the row model from the object.
    void LoadControls();
    // Lists the object's broken rules (and the screen's own) in a box; true when there
    // were any, so the save must not happen. Raises what fails inside.
    bool ValidateObject();

protected:
    EditScreen(EditScreenKind kind, QWidget* parent);

    // Form load, in the controller's calling order: collects the buttons, attaches the
    // form and the buttons, creates the object, runs fillCombos() and setDefaults(), takes
    // the backup, attaches the object, loads the controls, activates the controller and
    // puts the focus where a new entry starts (focusAfterNewEntry; by default the first
    // open tab stop).
    // The derived constructor calls it last. Raises what fails (the menu reports it).
    void formLoad();

    // Creates a control of the control library (quillon::control_personal::ProgId,
    // quillon::my_combo::ProgId) named `name` with the Tag `tag` inside `parent`.
    HostedControl* addField(const char* progId, const QString& name, const std::string& tag, QWidget* parent);
    // The register screens' layout: a frame of labelled fields above the button bar.
    // addFrame creates the frame (named "frmDateGenerale") and places it with the bar;
    // addRow adds a label and a control of the library to it.
    QGroupBox* addFrame(const QString& caption);
    HostedControl* addRow(QGroupBox* frame, const QString& label, const char* progId, const QString& name,
                          const std::string& tag);

    // Empties the combo and fills it from a lookup list ("id&text|id&text|...").
    static void refillCombo(HostedControl& combo, const std::string& list);

    // The control pushes its value when the focus leaves it.
    void pushOnValidate(HostedControl* control);
    // The combo pushes its key when a row is picked (and when code sets one, unless loading).
    void pushOnClick(HostedControl* combo);

    // ---- What a screen may change ------------------------------------------------------
    // Fills the screen's combos from the session's lists (form load).
    virtual void fillCombos() {}
    // Gives a new or cleared object the screen's defaults without making it dirty.
    virtual void setDefaults(com::IDispatch& object) { (void)object; }
    // "Sterge". The default asks for confirmation, deletes and saves, then runs the
    // "Adauga" path; a delete that fails returns the screen to the backup.
    virtual void Sterge();
    // Posts the screen's own rules into the object's Errors before they are listed.
    virtual void checkOwnRules(com::IDispatch& errors) { (void)errors; }
    // Runs before a combo takes its key in LoadControls (a combo may need one more row).
    virtual void beforeComboLoad(HostedControl& combo) { (void)combo; }
    // Runs at the end of LoadControls, still while loading.
    virtual void afterLoadControls() {}
    // The control of that name that LoadControls fills (nullptr for none). The default
    // searches the screen's children; a screen that keeps its controls by name may answer
    // from there.
    virtual HostedControl* controlNamed(const QString& name) const;
    // Runs before a field's value goes to the object; raising refuses the value, which is
    // then reported as the object's own refusal is.
    virtual void beforeFieldPushed(HostedControl& control, const com::Variant& value) {
        (void)control;
        (void)value;
    }
    // Runs after a field's value reached the object (to re-show what the object computed).
    virtual void afterFieldPushed(HostedControl& control) { (void)control; }
    // Where the focus goes when the screen opens, after "Adauga" and after "Renunta" on a
    // new object.
    virtual void focusAfterNewEntry() {}
    // Where the focus goes after "Renunta"; `wasNew` tells whether the object was new (and
    // is now cleared) or went back to its backup. By default as after a new entry, on a new
    // object only.
    virtual void focusAfterRenunta(bool wasNew) {
        if (wasNew) focusAfterNewEntry();
    }

    // Closing with unsaved changes asks first ("Nu" keeps the screen as it was); a screen
    // being closed takes no more values from its fields.
    void closeEvent(QCloseEvent* event) override;

    // Tab, Shift+Tab, and a focused control that became hidden or disabled move the focus
    // by moveFocusOn; while the controller applies the bar the move waits (updateBar).
    bool focusNextPrevChild(bool next) final;
    // The screen's step of the focus; the default follows the focus chain.
    virtual bool moveFocusOn(bool next) { return QWidget::focusNextPrevChild(next); }

    // The "Adauga" path: a new blank object with the defaults.
    void adauga();
    // Reports an error of a handler with the screen's module label.
    void report(const std::string& procedure, const std::exception& error) const;

private:
    void push(HostedControl& control, const char* handler);
    // Runs a controller call. A focused control that the call disables would hand the focus
    // on at once, while the rest of the mask is not yet applied; instead the focus moves once
    // the whole mask is applied: from a button of the bar to the bar's next enabled button
    // (round the bar), else to the next control in the tab order that is then enabled.
    template <class Call>
    void updateBar(Call&& call);
    void focusOffDisabled();
    // True when closing would lose work: the object holds unsaved changes, or the field
    // being typed in holds a value the object would take on leaving it.
    bool holdsUnsaved();
    void focusFirstStop();
    void buttonsLastInTabOrder();
    void installObject(EditedObject object);
    void onDirty(bool isDirty);
    void salveaza();
    void renunta();
    void cauta();
    void iesire();
    void restoreBackup();

    EditScreenKind kind_;
    ButtonBar bar_;
    FormController controller_;
    EditedObject object_;
    EditedObject backup_;
    std::vector<HostedControl*> validated_;  // the controls that push when the focus leaves
    com::EventConnection dirtyEvents_;
    bool mbLoading_ = false;
    bool unloading_ = false;
    bool barUpdating_ = false;
};

}  // namespace velmora
