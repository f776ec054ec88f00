#include "screens/frmcostspital.h"

#include "com/error.h"
#include "forms/business.h"
#include "forms/hostedcontrol.h"
#include "shell/globalui.h"
#include "typelib/business/CostSheets.h"

namespace velmora {

frmCostSpital::frmCostSpital(QWidget* parent)
    : CostSheetScreen(CostSheetKind::Spital, {"frmCostSpital", "CostSpital", Velmora_Business::__CostSpital::iid, 1, false},
                      parent) {
    formLoad();
}

void frmCostSpital::fillCombos() {
    fillPeriods();
    fillKeys(GlobalUI::session().gListaSpitale);  // the hospitals of the configured county
}

void frmCostSpital::setDefaults(com::IDispatch& object) {
    com::callByName(object, "IdSpital", com::InvokeKind::PropertyPut,
                    {com::Variant(true), com::Variant(GlobalUI::session().gIdSpital)});
}

// With no county configured the session's hospital list is empty: the combo gets the
// sheet's own hospital as a row of its own, once.
void frmCostSpital::beforeComboLoad(HostedControl& combo) {
    if (combo.objectName() != QLatin1String("cmbSpital") || GlobalUI::session().gIdJudet != -1) return;
    const int32_t idSpital = com::getProperty(*object(), "IdSpital").toLong();
    if (idSpital == -1) return;
    const com::ComPtr<com::IDispatch> spital = newBusinessObject("Spital");
    com::callMethod(*spital, "Load", {com::Variant(idSpital)});
    const std::string row = std::to_string(com::getProperty(*spital, "IdSpital").toLong()) + "&" +
                            com::getProperty(*spital, "DenSpital").toString() + "|";
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
