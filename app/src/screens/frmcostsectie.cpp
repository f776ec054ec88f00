#include "screens/frmcostsectie.h"

#include "forms/business.h"
#include "forms/hostedcontrol.h"
#include "shell/globalui.h"
#include "typelib/business/CostSheets.h"

namespace velmora {

frmCostSectie::frmCostSectie(QWidget* parent)
    : CostSheetScreen(CostSheetKind::Sectie, {"frmCostSectie", "CostSectie", Velmora_Business::__CostSectie::iid, 3, false},
                      parent) {
    formLoad();
}

void frmCostSectie::fillCombos() {
    const GlobalUI::Session& s = GlobalUI::session();
    com::callMethod(layout().cmbPerioada->object(), "Clear");
    GlobalUI::FillCombo(layout().cmbPerioada->object(), s.gListaPerioade);
    {
        const com::ComPtr<com::IDispatch> sectie = newBusinessObject("Sectie");
        listaSectii_ = com::callMethod(*sectie, "GetListaComboSectiiFiltrat",
                                       {com::Variant(s.gIdSpital), com::Variant("&"), com::Variant("|")})
                           .toString();
    }
    com::callMethod(layout().cmbCheie->object(), "Clear");
    GlobalUI::FillCombo(layout().cmbCheie->object(), listaSectii_);
}

void frmCostSectie::focusAfterNewEntry() {
    if (QWidget* widget = layout().cmbCheie->widget()) widget->setFocus(Qt::OtherFocusReason);
}

}  // namespace velmora
