#pragma once
// The hospital register screen: shows and finds the hospitals of the register. In this
// version its three fields are disabled, so it edits nothing; "Sterge" is refused.
#include "forms/editscreen.h"

namespace velmora {

class frmSpitale final : public EditScreen {
    Q_OBJECT
public:
    // Raises what fails while the screen loads (the menu reports it).
    explicit frmSpitale(QWidget* parent = nullptr);

    HostedControl* cmbJudet() const { return cmbJudet_; }
    HostedControl* ctlCodSpital() const { return ctlCodSpital_; }
    HostedControl* ctlDenSpital() const { return ctlDenSpital_; }

protected:
    void fillCombos() override;
    void setDefaults(com::IDispatch& object) override;
    void Sterge() override;

private:
    HostedControl* cmbJudet_ = nullptr;
    HostedControl* ctlCodSpital_ = nullptr;
    HostedControl* ctlDenSpital_ = nullptr;
};

}  // namespace velmora
