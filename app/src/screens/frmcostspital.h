#pragma once
// The hospital cost sheet: one period's figures of the configured hospital. The hospital
// is shown, never chosen; article 23 is summed from its parts like 24 and 25.
#include "screens/costsheetscreen.h"

namespace velmora {

class frmCostSpital final : public CostSheetScreen {
    Q_OBJECT
public:
    // Raises what fails while the form loads (the menu reports it).
    explicit frmCostSpital(QWidget* parent = nullptr);

protected:
    void fillCombos() override;
    // SetDefaultSpital: the configured hospital, without making the sheet dirty.
    void setDefaults(com::IDispatch& object) override;
    void beforeComboLoad(HostedControl& combo) override;
    void focusAfterNewEntry() override;
};

}  // namespace velmora
