#include "forms/editscreen.h"

#include <algorithm>

#include <QAbstractButton>
#include <QCloseEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QVBoxLayout>

#include "com/error.h"
#include "forms/business.h"
#include "forms/combos.h"
#include "forms/frmselect.h"
#include "forms/hostedcontrol.h"
#include "errors/messages.h"
#include "errors/errors.h"
#include "typelib/business/EditedEvents.h"

namespace velmora {
namespace {

void reportError(const std::string& module, const std::string& procedure, const std::exception& error) {
    if (const auto* e = dynamic_cast<const com::Error*>(&error))
        GlobalUI::ShowError(e->number(), e->description(), procedure, module);
    else GlobalUI::ShowError(com::errc::InvalidProcedureCall, error.what(), procedure, module);
}

}  // namespace

std::optional<std::string> brokenRulesText(Velmora_Business::_BrokenRules& errors) {
    if (errors.get_Count() < 1) return std::nullopt;
    return "Erori in antetul obiectului:" + errors.get_BrokenRules() + "\r\n\r\n\r\n";
}

EditScreen::EditScreen(EditScreenKind kind, QWidget* parent)
    : QWidget(parent), kind_(std::move(kind)), bar_(createButtonBar(this, kind_.adaugaDialog)) {
    setObjectName(QString::fromStdString(kind_.module));
    for (int index = 0; index < kButtonCount; ++index)
        connect(bar_.cmdButton[static_cast<size_t>(index)], &QPushButton::clicked, this,
                [this, index] { cmdButton_Click(index); });
}

EditScreen::~EditScreen() {
    // Form unload: the controls that die with the screen must not push into it.
    unloading_ = true;
    for (HostedControl* control : findChildren<HostedControl*>()) disconnect(control, nullptr, this, nullptr);
    controller_.DeAttachObject(object_.dispatch());
    controller_.DeAttachForm(this);
    dirtyEvents_.disconnect();
    backup_ = {};
    object_ = {};
}

void EditScreen::closeEvent(QCloseEvent* event) {
    if (!unloading_ && holdsUnsaved() &&
        !askYesNo("Modificarile nesalvate se vor pierde.\r\nDoriti sa inchideti fereastra?", true)) {
        event->ignore();
        return;
    }
    unloading_ = true;
    QWidget::closeEvent(event);
}

bool EditScreen::focusNextPrevChild(bool next) {
    if (barUpdating_) return true;  // the control keeps the focus until the whole mask is applied
    return moveFocusOn(next);
}

template <class Call>
void EditScreen::updateBar(Call&& call) {
    if (barUpdating_) return call();
    barUpdating_ = true;
    try {
        call();
    } catch (...) {
        barUpdating_ = false;
        focusOffDisabled();
        throw;
    }
    barUpdating_ = false;
    focusOffDisabled();
}

void EditScreen::focusOffDisabled() {
    // The window's focus widget: after a message box the window may not be active yet, and
    // it gives the focus back to that widget when it is.
    QWidget* focused = window()->focusWidget();
    if (!focused || !isAncestorOf(focused) || focused->isEnabled()) return;
    // A button the call disabled leaves the focus on the bar: a key typed next changes no
    // field or choice of the screen.
    const auto& buttons = bar_.cmdButton;
    if (const auto at = std::find(buttons.begin(), buttons.end(), focused); at != buttons.end()) {
        const auto from = static_cast<size_t>(at - buttons.begin());
        for (size_t step = 1; step < buttons.size(); ++step) {
            QPushButton* button = buttons[(from + step) % buttons.size()];
            if (button->isEnabled() && !button->isHidden()) {
                button->setFocus(Qt::TabFocusReason);
                return;
            }
        }
    }
    moveFocusOn(true);
}

bool EditScreen::holdsUnsaved() {
    if (!object_) return false;
    if (object_.isDirty()) return true;
    QWidget* focused = window()->focusWidget();
    const auto typed = std::find_if(validated_.begin(), validated_.end(), [focused](HostedControl* control) {
        QWidget* widget = control->widget();
        return widget && focused && (widget == focused || widget->isAncestorOf(focused));
    });
    if (typed == validated_.end()) return false;
    HostedControl& control = **typed;
    // The value goes to a copy as it would go to the object on leaving the field: the
    // object and the screen stay as they are.
    try {
        const com::Variant value = control.get(control.isCombo() ? "Cheie" : "Valoare");
        beforeFieldPushed(control, value);
        const EditedObject probe = object_.copy();
        const com::ComPtr<Gravlin::ModelLinie> rows = probe.dispatch().query<Gravlin::ModelLinie>();
        if (!rows) return false;
        rows->SetDataByName(control.tag(), value, true);
        return probe.isDirty();
    } catch (const std::exception&) {
        return true;  // a value the object would refuse is typed work all the same
    }
}

Gravlin::ModelLinie& EditScreen::model() const {
    const com::ComPtr<Gravlin::ModelLinie> model = object_ ? object_.dispatch().query<Gravlin::ModelLinie>() : nullptr;
    if (!model) com::raise(com::errc::ObjectNotSet, kind_.module, "Obiectul editat nu este setat.");
    return *model;  // the current object keeps it alive
}

void EditScreen::report(const std::string& procedure, const std::exception& error) const {
    reportError(kind_.module, procedure, error);
}

// The buttons were made before the fields: Tab reaches them after the last field.
void EditScreen::buttonsLastInTabOrder() {
    QWidget* last = nullptr;
    for (QWidget* w = nextInFocusChain(); w && w != this; w = w->nextInFocusChain())
        if (isAncestorOf(w) && !bar_.picButton->isAncestorOf(w) && w != bar_.picButton &&
            (w->focusPolicy() & Qt::TabFocus))
            last = w;
    for (QPushButton* button : bar_.cmdButton) {
        if (last) QWidget::setTabOrder(last, button);
        last = button;
    }
}

void EditScreen::formLoad() {
    buttonsLastInTabOrder();
    QList<QAbstractButton*> buttons;
    for (QPushButton* button : bar_.cmdButton) buttons.append(button);
    controller_.AttachForm(this);
    controller_.SeteazaButoane(buttons);
    installObject(kind_.newObject());
    fillCombos();
    setDefaults(*object_.dispatch());
    backup_ = object_.copy();
    controller_.AttachObject(object_.dispatch());
    LoadControls();
    updateBar([this] { controller_.Activate(); });
    // The keys start where they start on a new entry; a screen that names no such place
    // starts at its first open stop, as a form shown with no focus set does.
    focusAfterNewEntry();
    if (!focusWidget()) focusFirstStop();
}

// The first open field, else the first open button (the buttons come after the fields).
void EditScreen::focusFirstStop() {
    for (const bool buttons : {false, true}) {
        for (QWidget* w = nextInFocusChain(); w && w != this; w = w->nextInFocusChain()) {
            if (!isAncestorOf(w) || bar_.picButton->isAncestorOf(w) != buttons) continue;
            if (w->isEnabled() && !w->isHidden() && (w->focusPolicy() & Qt::TabFocus)) {
                w->setFocus(Qt::TabFocusReason);
                return;
            }
        }
    }
}

// The object, its events and (through model()) its row model change together.
void EditScreen::installObject(EditedObject object) {
    dirtyEvents_.disconnect();
    object_ = std::move(object);
    auto sink = com::make<com::EventSink>();
    sink->on(Velmora_Business::EditedEvents::OnDirty,
             [this](com::Args args) { onDirty(!args.empty() && args[0].toBool()); });
    dirtyEvents_ = com::EventConnection(*object_.dispatch(), kind_.eventsIid, com::ComPtr<com::IDispatch>(sink));
}

void EditScreen::onDirty(bool isDirty) {
    if (unloading_) return;
    try {
        if (isDirty && !object_.isDirty()) object_.setDirty(true);
        updateBar([this] { controller_.DirtyHandler(object_.dispatch()); });
    } catch (const std::exception& e) {
        report("OnDirty", e);
    }
}

HostedControl* EditScreen::addField(const char* progId, const QString& name, const std::string& tag, QWidget* parent) {
    HostedControl* control = HostedControl::create(progId, parent, name);
    control->setTag(tag);
    return control;
}

QGroupBox* EditScreen::addFrame(const QString& caption) {
    auto* frame = new QGroupBox(caption, this);
    frame->setObjectName(QStringLiteral("frmDateGenerale"));
    auto* grid = new QGridLayout(frame);
    grid->setColumnStretch(1, 1);
    grid->setHorizontalSpacing(12);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(frame);
    layout->addStretch(1);
    layout->addWidget(bar_.picButton);
    return frame;
}

HostedControl* EditScreen::addRow(QGroupBox* frame, const QString& label, const char* progId, const QString& name,
                                  const std::string& tag) {
    auto* grid = static_cast<QGridLayout*>(frame->layout());
    const int row = grid->rowCount();
    auto* caption = new QLabel(label, frame);
    caption->setObjectName(QStringLiteral("lbl") + name.mid(3));
    HostedControl* control = addField(progId, name, tag, frame);
    control->widget()->setMinimumWidth(380);  // room for "code---name" texts
    control->widget()->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    caption->setBuddy(control->widget());
    grid->addWidget(caption, row, 0);
    grid->addWidget(control->widget(), row, 1);
    return control;
}

void EditScreen::refillCombo(HostedControl& combo, const std::string& list) { velmora::refillCombo(combo, list); }

void EditScreen::pushOnValidate(HostedControl* control) {
    validated_.push_back(control);
    connect(control, &HostedControl::Validate, this, [this, control] { pushField(*control); });
}

void EditScreen::pushOnClick(HostedControl* combo) {
    connect(combo, &HostedControl::Click, this, [this, combo] { push(*combo, "_Click"); });
}

void EditScreen::pushField(HostedControl& control) { push(control, "_Validate"); }

void EditScreen::push(HostedControl& control, const char* handler) {
    if (mbLoading_ || unloading_ || !object_) return;
    const bool combo = control.isCombo();
    try {
        const com::Variant value = combo ? com::Variant(control.asCombo().cheie()) : control.asEntry().valoare();
        beforeFieldPushed(control, value);
        model().SetDataByName(control.tag(), value, true);
        afterFieldPushed(control);
    } catch (const std::exception& e) {
        if (dynamic_cast<const FieldNotice*>(&e)) showInfo(e.what());
        else report(control.objectName().toStdString() + handler, e);
        // Show what the object holds, so the screen never shows a value that was not taken.
        try {
            mbLoading_ = true;
            const com::Variant stored = model().GetDataByName(control.tag());
            if (combo) control.asCombo().setCheie(stored);
            else control.asEntry().setValoare(stored);
        } catch (const std::exception&) {
            if (combo) {
                try {
                    control.asCombo().setListIndex(-1);
                } catch (const std::exception&) {}
            }
        }
        mbLoading_ = false;
    }
}

HostedControl* EditScreen::controlNamed(const QString& name) const { return findControl(this, name); }

void EditScreen::LoadControls() {
    mbLoading_ = true;
    try {
        Gravlin::ModelLinie& rows = model();
        const int32_t count = rows.GetFieldCount();
        for (int32_t i = 1; i <= count; ++i) {
            // A field that fails is skipped; the next one is loaded all the same.
            try {
                HostedControl* control = controlNamed(QString::fromStdString(rows.GetFieldName(i)));
                if (!control) continue;
                if (control->isEntryControl()) {
                    control->asEntry().setValoare(rows.GetDataByName(control->tag()));
                } else if (control->isCombo()) {
                    beforeComboLoad(*control);
                    try {
                        control->asCombo().setCheie(rows.GetDataByName(control->tag()));
                    } catch (const com::Error&) {
                        control->asCombo().setListIndex(-1);  // a key it does not list
                        throw;
                    }
                }
            } catch (const std::exception&) {}
        }
        afterLoadControls();
    } catch (const std::exception& e) {
        mbLoading_ = false;
        report("LoadControls", e);
        return;
    }
    mbLoading_ = false;
}

bool EditScreen::ValidateObject() {
    const com::ComPtr<Velmora_Business::_BrokenRules> errors = object_.errors();
    if (!errors) com::raise(com::errc::ObjectNotSet, kind_.module, "Lista de erori a obiectului nu este setata.");
    checkOwnRules(*errors);
    const std::optional<std::string> text = brokenRulesText(*errors);
    if (!text) return false;
    showInfo(*text);
    return true;
}

void EditScreen::cmdButton_Click(int index) {
    try {
        switch (static_cast<Buton>(index)) {
        case Buton::Salveaza: salveaza(); break;
        case Buton::Renunta: renunta(); break;
        case Buton::Cauta: cauta(); break;
        case Buton::Adauga: adauga(); break;
        case Buton::Sterge: Sterge(); break;
        case Buton::Iesire: iesire(); break;
        }
    } catch (const std::exception& e) {
        report("cmdButton_Click", e);
    }
}

void EditScreen::salveaza() {
    if (ValidateObject()) return;
    // A save the database refuses raises here: the screen keeps every typed value and the
    // object stays dirty, so the user can save again.
    object_.save();
    showInfo("Obiectul a fost salvat cu succes!");
    backup_ = object_.copy();
    LoadControls();
    updateBar([this] { controller_.SaveObiectIsOk(); });
}

void EditScreen::renunta() {
    const bool isNew = object_.isNew();
    if (isNew) {
        object_.clear();
        setDefaults(*object_.dispatch());
        backup_ = object_.copy();
    } else {
        // A copy of the backup, so that the backup itself stays for the next "Renunta".
        installObject(backup_.copy());
    }
    LoadControls();
    updateBar([this] { controller_.RenuntaObiectIsOk(object_.dispatch()); });
    focusAfterRenunta(isNew);
}

void EditScreen::cauta() {
    frmSelect dialog(window());
    dialog.setTipSelect(kind_.tipSelect);
    connect(&dialog, &frmSelect::ItemSelectat, this,
            [this](int32_t id, const QString& text) { ItemSelectat(id, text.toStdString()); });
    dialog.exec();
}

void EditScreen::adauga() {
    object_.clear();
    setDefaults(*object_.dispatch());
    backup_ = object_.copy();
    LoadControls();
    updateBar([this] { controller_.AdaugaObiectIsOk(object_.dispatch()); });
    focusAfterNewEntry();
}

void EditScreen::Sterge() {
    if (!askYesNo("Obiectul va fi sters permanent din baza de date!\r\nDoriti sa continuati?")) return;
    object_.markDeleted();
    try {
        object_.save();
    } catch (const std::exception& e) {
        // The deletion mark must not wait behind "Salveaza": the screen returns to the
        // object as it was last loaded or saved.
        report("cmdButton_Click", e);
        restoreBackup();
        return;
    }
    adauga();
}

void EditScreen::restoreBackup() {
    try {
        installObject(backup_.copy());
        LoadControls();
        updateBar([this] { controller_.RenuntaObiectIsOk(object_.dispatch()); });
    } catch (const std::exception& e) {
        report("cmdButton_Click", e);
    }
}

void EditScreen::iesire() {
    if (auto* window = qobject_cast<QMdiSubWindow*>(parentWidget())) window->close();
    else close();
}

void EditScreen::ItemSelectat(int32_t itemId, const std::string&) {
    try {
        // The chosen object is loaded apart: a load that fails leaves the current object,
        // its backup and the controls as they were.
        EditedObject loaded = kind_.newObject();
        loaded.load(itemId);
        EditedObject copy = loaded.copy();
        controller_.DeAttachObject(object_.dispatch());
        installObject(std::move(loaded));
        controller_.AttachObject(object_.dispatch());
        backup_ = std::move(copy);
        LoadControls();
        updateBar([this] { controller_.LoadObiectIsOk(object_.dispatch()); });
    } catch (const std::exception& e) {
        report("ItemSelectat", e);
    }
}

}  // namespace velmora
