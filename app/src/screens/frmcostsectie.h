#pragma once
// The ward cost sheet: one period's figures of one ward of the configured hospital. The
// ward is chosen in the header; article 23 and its parts are typed freely and checked by
// a rule of their own before the save.
#include <string>

#include "screens/costsheetscreen.h"

namespace velmora {

class frmCostSectie final : public CostSheetScreen {
    Q_OBJECT
public:
    // Raises what fails while the form loads (the menu reports it).
    explicit frmCostSectie(QWidget* parent = nullptr);

protected:
    void fillCombos() override;
    void focusAfterNewEntry() override;

private:
    std::string listaSectii_;  // the configured hospital's wards, as fetched at load
};

}  // namespace velmora
