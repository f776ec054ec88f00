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
    fillPeriods();
    {
        const com::ComPtr<com::IDispatch> sectie = newBusinessObject("Sectie");
        listaSectii_ = com::callMethod(*sectie, "GetListaComboSectiiFiltrat",
                                       {com::Variant(GlobalUI::session().gIdSpital), com::Variant("&"),
                                        com::Variant("|")})
                           .toString();
    }
    fillKeys(listaSectii_);  // the configured hospital's wards; none leaves the combo empty
}

void frmCostSectie::focusAfterNewEntry() {
    if (QWidget* widget = layout().cmbCheie->widget()) widget->setFocus(Qt::OtherFocusReason);
}

}  // namespace velmora
