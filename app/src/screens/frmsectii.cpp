#include "screens/frmsectii.h"

#include <QGroupBox>
#include <QLayout>

#include "com/dispatch.h"
#include "com/error.h"
#include "forms/business.h"
#include "forms/hostedcontrol.h"
#include "session/session.h"
#include "typelib/business/Sectie.h"
#include "typelib/quillon.h"

namespace velmora {
namespace {

namespace color = quillon::color;

EditScreenKind screenKind() {
    return {"frmSectii", &newEditedObject<Velmora_Business::_Sectie>, Velmora_Business::__Sectie::iid,
            SelectKind::Sectii, true};
}

}  // namespace

frmSectii::frmSectii(QWidget* parent) : EditScreen(screenKind(), parent) {
    setWindowTitle(QStringLiteral("Selectie/Adaugare/Editare/Stergere informatii sectii selectate"));
    QGroupBox* frame = addFrame(QStringLiteral("Date generale:"));
    cmbSpital_ =
        addRow(frame, QStringLiteral("Spital"), quillon::my_combo::ProgId, QStringLiteral("cmbSpital"), "IdSpital");
    cmbSectie_ =
        addRow(frame, QStringLiteral("Sectie"), quillon::my_combo::ProgId, QStringLiteral("cmbSectie"), "IdSectie");
    ctlNrSectie_ = addRow(frame, QStringLiteral("Nr. sectie"), quillon::control_personal::ProgId,
                          QStringLiteral("ctlNrSectie"), "NrSectie");
    ctlNrSectie_->asEntry().setTipData(quillon::TipData::Numar);
    ctlNrSectie_->asEntry().setAlignment(quillon::Alignment::Right);
    ctlNrSectie_->asEntry().setValoare(int32_t{0});
    ctlNrSectie_->widget()->setMinimumWidth(120);
    ctlNrSectie_->widget()->setMaximumWidth(120);
    frame->layout()->setAlignment(ctlNrSectie_->widget(), Qt::AlignLeft);
    // The ward's hospital is always the configured one.
    cmbSpital_->asCombo().setEnabled(false);
    cmbSpital_->asCombo().setBackColor(color::ScrollBar);
    pushOnValidate(cmbSectie_);
    pushOnValidate(ctlNrSectie_);
    resize(620, 200);
    formLoad();
}

void frmSectii::fillCombos() {
    refillCombo(*cmbSpital_, GlobalUI::session().lists().gListaSpitale());
    refillCombo(*cmbSectie_, GlobalUI::session().lists().gListaSectii());
}

// A new ward belongs to the configured hospital and stays clean.
void frmSectii::setDefaults(com::IDispatch& object) {
    const auto ward = com::ComPtr<com::IDispatch>(&object).query<Velmora_Business::_Sectie>();
    if (!ward) com::raise(com::errc::TypeMismatch, "frmSectii", "Obiectul editat nu este o sectie.");
    ward->put_IdSpital(GlobalUI::session().config().gIdSpital(), true);
}

void frmSectii::focusAfterNewEntry() { cmbSectie_->widget()->setFocus(Qt::OtherFocusReason); }

void frmSectii::focusAfterRenunta(bool) { focusAfterNewEntry(); }

}  // namespace velmora
