#include "screens/costsheetscreen.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>

#include <algorithm>

#include "com/currency.h"
#include "com/error.h"
#include "errors/messages.h"
#include "forms/hostedcontrol.h"
#include "forms/pasteguard.h"
#include "screens/costsheet_rules.h"
#include "session/session.h"
#include "typelib/enter_key.h"

namespace velmora {
namespace {

const FieldSpec* specOf(CostSheetKind kind, const std::string& name) {
    for (const FieldSpec& spec : costSheetFields(kind))
        if (spec.name == name) return &spec;
    return nullptr;
}

// A typed figure in the sheet's currency; a number beyond its range is refused.
com::Currency inCurrencyRange(const com::Variant& value) {
    try {
        return value.toCurrency();
    } catch (const com::Error& e) {
        if (e.number() != com::errc::Overflow) throw;
        com::raise(com::errc::Overflow, "", "Suma introdusa depaseste valoarea maxima admisa.");
    }
}

// Figures are whole numbers: a decimal typed, pasted or left in one is refused with this.
constexpr const char* kWholeNumbersOnly = "Sumele si numarul de angajati se introduc ca numere intregi.";

bool holdsDecimalSign(const QString& text) { return text.contains(u'.') || text.contains(u','); }

bool isDecimalKey(const QKeyEvent& key) {
    if (key.modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) return false;
    return key.text() == QLatin1String(".") || key.text() == QLatin1String(",");
}

}  // namespace

CostSheetScreen::CostSheetScreen(CostSheetKind kind, EditScreenKind screen, QWidget* parent)
    : EditScreen(std::move(screen), parent), sheetKind_(kind) {
    setWindowTitle(costSheetCaption(kind));
    ButtonBar bar;
    bar.picButton = picButton();
    for (int i = 0; i < kButtonCount; ++i) bar.cmdButton[static_cast<size_t>(i)] = cmdButton(i);
    layout_ = buildCostSheetLayout(this, kind, bar);

    // The period, and on the ward form the ward, reach the sheet when picked; the
    // hospital combo is shown only.
    pushOnClick(layout_.cmbPerioada);
    if (kind == CostSheetKind::Sectie) pushOnClick(layout_.cmbCheie);
    for (HostedControl* field : layout_.fields) pushOnValidate(field);
    connect(layout_.SSTab2, &QTabWidget::currentChanged, this, &CostSheetScreen::SSTab2_Click);
    // A click on a tab of the outer strip leaves the keys on the strip: the page shown
    // has no field chosen for the user, and Tab enters it at its first field.
    layout_.SSTab1->tabBar()->setFocusPolicy(Qt::StrongFocus);

    // A figure takes no decimal however it is pasted: the user is told, as for the key.
    auto* pastes = new PasteGuard(this, holdsDecimalSign, [] { showInfo(kWholeNumbersOnly); });
    for (HostedControl* field : layout_.fields)
        for (QLineEdit* text : field->widget()->findChildren<QLineEdit*>()) pastes->guard(text);

    chain_ = {layout_.cmbCheie->widget(), layout_.cmbPerioada->widget()};
    for (HostedControl* field : layout_.fields) chain_.push_back(field->widget());
    // Enter moves on as Tab does, across the pages as well.
    for (QWidget* widget : chain_) {
        widget->installEventFilter(this);
        for (QWidget* inner : widget->findChildren<QWidget*>()) inner->installEventFilter(this);
    }
    for (QPushButton* button : layout_.cmdButton) chain_.push_back(button);
}

HostedControl& CostSheetScreen::control(const std::string& name) const {
    const auto found = layout_.byName.find(name);
    if (found == layout_.byName.end())
        com::raise(com::errc::InvalidProcedureCall, kind().module, "Controlul " + name + " lipseste de pe macheta.");
    return *found->second;
}

void CostSheetScreen::fillPeriods() { refillCombo(*layout_.cmbPerioada, GlobalUI::session().lists().gListaPerioade()); }

void CostSheetScreen::fillKeys(const std::string& list) { refillCombo(*layout_.cmbCheie, list); }

HostedControl* CostSheetScreen::controlNamed(const QString& name) const {
    const auto found = layout_.byName.find(name.toStdString());
    return found == layout_.byName.end() ? nullptr : found->second;
}

void CostSheetScreen::checkOwnRules(com::IDispatch&) { postConsistencyRules(*object(), sheetKind_); }

void CostSheetScreen::beforeFieldPushed(HostedControl& field, const com::Variant& value) {
    if (field.isCombo()) return;
    const com::Currency amount = inCurrencyRange(value);
    // A figure left as it was loaded goes back unchanged, whatever it holds.
    if (amount == model().GetDataByName(field.tag()).toCurrency()) return;
    if (amount.units() % com::Currency::Scale != 0) throw FieldNotice(kWholeNumbersOnly);
    const FieldSpec* spec = specOf(sheetKind_, field.objectName().toStdString());
    if (!spec || spec->kind != FieldKind::GroupPart) return;
    // The group's total must stay within the currency range with the new part.
    const FieldSpec* total = specOf(sheetKind_, spec->total);
    try {
        com::Currency sum = amount;
        for (const std::string& part : total->parts)
            if (part != spec->name) sum += model().GetDataByName(specOf(sheetKind_, part)->tag).toCurrency();
    } catch (const com::Error& e) {
        if (e.number() != com::errc::Overflow) throw;
        com::raise(com::errc::Overflow, "",
                   "Totalul articolului " + total->tag.substr(1) + " ar depasi valoarea maxima admisa.");
    }
}

void CostSheetScreen::afterFieldPushed(HostedControl& field) {
    const FieldSpec* spec = specOf(sheetKind_, field.objectName().toStdString());
    if (!spec) return;
    // The sheet has summed the group after a part changed, and cleared the parts after the
    // total changed: the form shows what it holds now.
    if (spec->kind == FieldKind::GroupPart) {
        HostedControl& total = control(spec->total);
        total.asEntry().setValoare(model().GetDataByName(total.tag()));
    } else if (spec->kind == FieldKind::GroupTotal) {
        for (const std::string& name : spec->parts) {
            HostedControl& part = control(name);
            part.asEntry().setValoare(model().GetDataByName(part.tag()));
        }
    }
}

// The personnel page comes to the front after every fill.
void CostSheetScreen::afterLoadControls() { layout_.SSTab1->setCurrentIndex(0); }

void CostSheetScreen::SSTab2_Click(int tab) {
    if (tab < 0 || tab > 5) return;
    if (HostedControl* total = findControl(this, QStringLiteral("ctlc02_%1").arg(tab + 1)))
        if (QWidget* widget = total->widget()) widget->setFocus(Qt::OtherFocusReason);
}

bool CostSheetScreen::moveFocusOn(bool next) { return moveFocus(next) || EditScreen::moveFocusOn(next); }

HostedControl* CostSheetScreen::fieldHolding(const QObject* widget) const {
    for (HostedControl* field : layout_.fields)
        if (QWidget* w = field->widget();
            w && widget && (w == widget || w->isAncestorOf(qobject_cast<const QWidget*>(widget))))
            return field;
    return nullptr;
}

bool CostSheetScreen::moveFocus(bool next) {
    QWidget* focused = window()->focusWidget();  // also while a message box has the keys
    // A tab page being hidden gives up the focus of its field. The tab control then shows the
    // page chosen and puts the focus on it; a move from here would pick the hidden page's next
    // field and so select the page being left again, halfway through the switch.
    if (focused && isAncestorOf(focused) && !focused->isVisible()) return true;
    if (focused && focused == layout_.SSTab1->tabBar()) {
        // The strip stands just before the first field of the page it shows.
        const QWidget* page = layout_.SSTab1->currentWidget();
        const auto first =
            std::find_if(chain_.begin(), chain_.end(), [page](QWidget* w) { return page && page->isAncestorOf(w); });
        if (first == chain_.end()) return false;
        focusAlong(first - chain_.begin(), next, next ? 0 : 1);
        return true;
    }
    const auto at = std::find_if(chain_.begin(), chain_.end(), [focused](QWidget* w) {
        return focused && (w == focused || w->isAncestorOf(focused));
    });
    if (at == chain_.end()) return false;
    // The field's value reaches the sheet before the next control is chosen: the change may
    // be what enables "Salveaza".
    if (HostedControl* field = fieldHolding(*at)) pushField(*field);
    focusAlong(at - chain_.begin(), next, 1);
    return true;
}

void CostSheetScreen::focusAlong(std::ptrdiff_t from, bool next, std::ptrdiff_t firstStep) {
    const auto count = static_cast<std::ptrdiff_t>(chain_.size());
    for (std::ptrdiff_t step = firstStep; step < count; ++step) {
        QWidget* candidate = chain_[static_cast<size_t>(((from + (next ? step : -step)) % count + count) % count)];
        const QWidget* target = candidate->focusProxy() ? candidate->focusProxy() : candidate;
        if (!candidate->isEnabled() || !target->isEnabled() || !(target->focusPolicy() & Qt::TabFocus)) continue;
        showPageOf(layout_, candidate);
        candidate->setFocus(next ? Qt::TabFocusReason : Qt::BacktabFocusReason);
        return;
    }
}

bool CostSheetScreen::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (quillon::isEnter(*key)) {
            moveFocus(true);
            return true;
        }
        // The field would drop the decimal point silently, and "12.5" would become 125: the
        // user is told, and the field keeps what it had.
        if (isDecimalKey(*key)) {
            if (fieldHolding(watched)) {
                showInfo(kWholeNumbersOnly);
                return true;
            }
        }
    }
    return EditScreen::eventFilter(watched, event);
}

bool CostSheetScreen::event(QEvent* event) {
    if (event->type() == QEvent::ParentChange) {
        // A fixed-size child window: it can be moved, minimised and closed, never resized.
        if (auto* window = qobject_cast<QMdiSubWindow*>(parentWidget()))
            window->setWindowFlags(Qt::SubWindow | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    }
    return EditScreen::event(event);
}

}  // namespace velmora
