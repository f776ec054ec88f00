#include "screens/frmspitale.h"

#include <QGroupBox>

#include "com/dispatch.h"
#include "forms/business.h"
#include "forms/hostedcontrol.h"
#include "errors/messages.h"
#include "session/session.h"
#include "typelib/business/Spital.h"
#include "typelib/quillon.h"

namespace velmora {
namespace {

namespace color = quillon::color;

EditScreenKind screenKind() {
    return {"frmSpitale", &newEditedObject<Velmora_Business::_Spital>, Velmora_Business::__Spital::iid,
            SelectKind::Spitale, false};
}

void disable(HostedControl& control, int32_t backColor) {
    control.asControl().setEnabled(false);
    control.asControl().setBackColor(backColor);
}

}  // namespace

frmSpitale::frmSpitale(QWidget* parent) : EditScreen(screenKind(), parent) {
    setWindowTitle(QString(34, u' ') + QStringLiteral("Introducere / editare / eliminare spitale"));
    QGroupBox* frame = addFrame(QStringLiteral("Date generale"));
    cmbJudet_ =
        addRow(frame, QStringLiteral(" Judet:"), quillon::my_combo::ProgId, QStringLiteral("cmbJudet"), "IdJudet");
    ctlCodSpital_ = addRow(frame, QStringLiteral(" Cod spital:"), quillon::control_personal::ProgId,
                           QStringLiteral("ctlCodSpital"), "CodSpital");
    ctlDenSpital_ = addRow(frame, QStringLiteral(" Denumire:"), quillon::control_personal::ProgId,
                           QStringLiteral("ctlDenSpital"), "DenSpital");
    for (HostedControl* text : {ctlCodSpital_, ctlDenSpital_}) {
        text->asEntry().setTipData(quillon::TipData::Text);
        text->asEntry().setAfisezFormat(false);
    }
    // The register is read-only in this version: its fields are shown, never typed into.
    disable(*cmbJudet_, color::ScrollBar);
    disable(*ctlCodSpital_, color::ScrollBar);
    disable(*ctlDenSpital_, color::ButtonFace);
    ctlCodSpital_->asEntry().setBackColor(color::ButtonFace);
    ctlDenSpital_->asEntry().setBackColor(color::ButtonFace);
    pushOnValidate(ctlCodSpital_);
    pushOnValidate(ctlDenSpital_);
    resize(620, 200);
    formLoad();
}

void frmSpitale::fillCombos() { refillCombo(*cmbJudet_, GlobalUI::session().lists().gListaJudete()); }

void frmSpitale::setDefaults(com::IDispatch& object) {
    typedAs<Velmora_Business::_Spital>(object)->put_IdJudet(GlobalUI::session().config().gIdJudet());
}

void frmSpitale::Sterge() { showInfo("Stergerea unui spital nu este permisa in aceasta versiune a aplicatiei."); }

}  // namespace velmora
