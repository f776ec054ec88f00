#pragma once
// What the hospital and the ward cost-sheet forms share on top of the edit-screen base:
// the layout built from its table, the fields bound by their tags, group totals re-shown
// after a part changed and parts after a total changed, whole-number figures, the
// consistency rules before a save, the personnel tabs focusing their category's total, a
// click on an outer tab leaving the keys on the strip, Tab and Enter moving through the
// fields of every page in the designed order, and a decimal typed or pasted into a figure
// refused aloud.
#include <cstddef>
#include <string>
#include <vector>

#include "forms/editscreen.h"
#include "screens/costsheet_layout.h"

namespace velmora {

class CostSheetScreen : public EditScreen {
    Q_OBJECT
public:
    const CostSheetLayout& layout() const { return layout_; }
    CostSheetKind sheetKind() const { return sheetKind_; }
    // A control of the layout by its name ("cmbPerioada", "ctlc24_03"); raises 5 for none.
    HostedControl& control(const std::string& name) const;

protected:
    CostSheetScreen(CostSheetKind kind, EditScreenKind screen, QWidget* parent);

    // The period combo filled from the session's list of periods.
    void fillPeriods();
    // The sheet-key combo (hospital or ward) filled from a lookup list.
    void fillKeys(const std::string& list);

    HostedControl* controlNamed(const QString& name) const override;
    void checkOwnRules(com::IDispatch& errors) override;
    void beforeFieldPushed(HostedControl& control, const com::Variant& value) override;
    void afterFieldPushed(HostedControl& control) override;
    void afterLoadControls() override;

    // The next (or previous) field that can take the focus, across the tab pages.
    bool moveFocusOn(bool next) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    bool event(QEvent* event) override;

private:
    void SSTab2_Click(int tab);
    // Moves the focus from the chain's control that holds it (or from the outer tab strip);
    // false when none does.
    bool moveFocus(bool next);
    // Focuses the first control that can take the focus, `firstStep` or more steps from the
    // chain's position `from` onward (next) or back, across the pages.
    void focusAlong(std::ptrdiff_t from, bool next, std::ptrdiff_t firstStep);
    // The field whose widget is, or holds, `widget`; nullptr for none.
    HostedControl* fieldHolding(const QObject* widget) const;

    CostSheetKind sheetKind_;
    CostSheetLayout layout_;
    std::vector<QWidget*> chain_;  // the header combos, the fields, the buttons
};

}  // namespace velmora
