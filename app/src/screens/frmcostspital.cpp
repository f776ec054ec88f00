#include "screens/frmcostspital.h"

#include "com/error.h"
#include "forms/business.h"
#include "forms/hostedcontrol.h"
#include "forms/combos.h"
#include "session/session.h"
#include "typelib/business/CostSheets.h"

namespace velmora {

frmCostSpital::frmCostSpital(QWidget* parent)
    : CostSheetScreen(CostSheetKind::Spital,
                      {"frmCostSpital", &newEditedObject<Velmora_Business::_CostSpital>,
                       Velmora_Business::__CostSpital::iid, SelectKind::CostSpital, false},
                      parent) {
    formLoad();
}

void frmCostSpital::fillCombos() {
    fillPeriods();
    fillKeys(GlobalUI::session().lists().gListaSpitale());  // the hospitals of the configured county
}

void frmCostSpital::setDefaults(com::IDispatch& object) {
    typedAs<Velmora_Business::_CostSpital>(object)->put_IdSpital(GlobalUI::session().config().gIdSpital(), true);
}

// With no county configured the session's hospital list is empty: the combo gets the
// sheet's own hospital as a row of its own, once.
void frmCostSpital::beforeComboLoad(HostedControl& combo) {
    if (combo.objectName() != QLatin1String("cmbSpital") || GlobalUI::session().config().gIdJudet() != -1) return;
    const int32_t idSpital = typedAs<Velmora_Business::_CostSpital>(*object())->get_IdSpital();
    if (idSpital == -1) return;
    const com::ComPtr<Velmora_Business::_Spital> spital = newObject<Velmora_Business::_Spital>();
    spital->Load(idSpital);
    const std::string row = std::to_string(spital->get_IdSpital()) + "&" + spital->get_DenSpital() + "|";
    try {
        GlobalUI::FillCombo(combo.object(), row);
    } catch (const com::Error&) {
        // The combo lists that hospital already.
    }
}

void frmCostSpital::focusAfterNewEntry() {
    if (QWidget* widget = layout().cmbPerioada->widget()) widget->setFocus(Qt::OtherFocusReason);
}

}  // namespace velmora
