#include "screens/frmcostsectie.h"

#include "forms/business.h"
#include "forms/hostedcontrol.h"
#include "session/session.h"
#include "typelib/business/CostSheets.h"

namespace velmora {

frmCostSectie::frmCostSectie(QWidget* parent)
    : CostSheetScreen(CostSheetKind::Sectie,
                      {"frmCostSectie", &newEditedObject<Velmora_Business::_CostSectie>,
                       Velmora_Business::__CostSectie::iid, SelectKind::CostSectie, false},
                      parent) {
    formLoad();
}

void frmCostSectie::fillCombos() {
    fillPeriods();
    listaSectii_ =
        newObject<Velmora_Business::_Sectie>()->GetListaComboSectiiFiltrat(GlobalUI::session().config().gIdSpital(),
                                                                           "&", "|");
    fillKeys(listaSectii_);  // the configured hospital's wards; none leaves the combo empty
}

void frmCostSectie::focusAfterNewEntry() {
    if (QWidget* widget = layout().cmbCheie->widget()) widget->setFocus(Qt::OtherFocusReason);
}

}  // namespace velmora
