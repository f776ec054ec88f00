#pragma once
// The ward register screen: adds, edits, finds and deletes the wards of the configured
// hospital (a ward type of the register with its number within the hospital).
#include "forms/editscreen.h"

namespace velmora {

class frmSectii final : public EditScreen {
    Q_OBJECT
public:
    // Raises what fails while the screen loads (the menu reports it).
    explicit frmSectii(QWidget* parent = nullptr);

    HostedControl* cmbSpital() const { return cmbSpital_; }
    HostedControl* cmbSectie() const { return cmbSectie_; }
    HostedControl* ctlNrSectie() const { return ctlNrSectie_; }

protected:
    void fillCombos() override;
    void setDefaults(com::IDispatch& object) override;
    // The keys start at the ward type: when the screen opens, after "Adauga...", after
    // "Renunta" and after a deletion.
    void focusAfterNewEntry() override;
    void focusAfterRenunta(bool wasNew) override;

private:
    HostedControl* cmbSpital_ = nullptr;
    HostedControl* cmbSectie_ = nullptr;
    HostedControl* ctlNrSectie_ = nullptr;
};

}  // namespace velmora
