#include "forms/formcontroller.h"

#include <QAbstractButton>
#include <QHBoxLayout>
#include <QPushButton>

#include "forms/business.h"
#include "com/error.h"
#include "forms/hostedcontrol.h"
#include "typelib/quillon.h"

namespace velmora {
namespace {

constexpr int32_t kAllButtons = 126;
constexpr int32_t kButtonBits = 2 | 4 | 8 | 16 | 32 | 64;
namespace color = quillon::color;  // the system colours of the control library

constexpr int32_t bit(Buton button) { return 1 << (static_cast<int>(button) + 1); }

struct ButtonText {
    const char* caption;
    const char* toolTip;
};
constexpr std::array<ButtonText, kButtonCount> kButtonTexts{{
    {"Salveaza", "Salveaza in baza un obiect nou sau modificarile aduse unuia existent."},
    {"Renunta", "Renunta la inserarea unui obiect nou in baza sau la modificarile aduse unuia existent."},
    {"Cauta...", "Cauta in baza de date un obiect indeplinind criteriile stabilite in forma de selectie."},
    {"Adauga", "Permite initierea introducerii unui obiect nou in baza de date."},
    {"Sterge", "Elimina definitiv un obiect din baza de date."},
    {"Iesire", "Inchide macheta curenta."},
}};

// A flag of the object read late-bound; nullopt when it cannot be read.
std::optional<bool> flagOf(const com::ComPtr<com::IDispatch>& object, std::string_view name) {
    if (!object) return std::nullopt;
    try {
        return com::getProperty(*object, name).toBool();
    } catch (const com::Error&) {
        return std::nullopt;
    }
}

}  // namespace

ButtonBar createButtonBar(QWidget* parent, bool adaugaDialog) {
    ButtonBar bar;
    bar.picButton = new QWidget(parent);
    bar.picButton->setObjectName(QStringLiteral("picButton"));
    auto* layout = new QHBoxLayout(bar.picButton);
    for (int index = 0; index < kButtonCount; ++index) {
        QString caption = QString::fromLatin1(kButtonTexts[index].caption);
        if (adaugaDialog && index == static_cast<int>(Buton::Adauga)) caption += QStringLiteral("...");
        auto* button = new QPushButton(caption, bar.picButton);
        button->setObjectName(QStringLiteral("cmdButton_%1").arg(index));
        button->setToolTip(QString::fromLatin1(kButtonTexts[index].toolTip));
        layout->addWidget(button);
        bar.cmdButton[index] = button;
    }
    return bar;
}

void FormController::AttachObject(com::ComPtr<com::IDispatch> rObiect) { moObject = std::move(rObiect); }

void FormController::DeAttachObject(const com::ComPtr<com::IDispatch>&) { moObject.reset(); }

void FormController::AttachForm(QWidget* vForm) { moForm = vForm; }

void FormController::DeAttachForm(QWidget*) { moForm = nullptr; }

void FormController::SeteazaButoane(const QList<QAbstractButton*>& vButtonCollection) {
    mcolButtons.clear();
    for (QAbstractButton* button : vButtonCollection) mcolButtons.append(button);
    mlButtonMask = ButoaneToate();
}

void FormController::Activate() {
    ApplyVisible();
    ComputeButtonState();
    LockTotalFields();
}

void FormController::SaveObiectIsOk() {
    ComputeButtonState();
    LockTotalFields();
}

void FormController::holdAndRefresh(com::ComPtr<com::IDispatch> object) {
    moObject = std::move(object);
    ComputeButtonState();
    LockTotalFields();
}

void FormController::RenuntaObiectIsOk(com::ComPtr<com::IDispatch> rObiect) { holdAndRefresh(std::move(rObiect)); }
void FormController::LoadObiectIsOk(com::ComPtr<com::IDispatch> rObiect) { holdAndRefresh(std::move(rObiect)); }
void FormController::AdaugaObiectIsOk(com::ComPtr<com::IDispatch> rObiect) { holdAndRefresh(std::move(rObiect)); }

void FormController::DirtyHandler(const com::ComPtr<com::IDispatch>&) {
    ComputeButtonState();
    LockTotalFields();
}

int32_t FormController::ButoaneToate() const { return kAllButtons; }

int32_t FormController::ButoaneVisibile() const { return mlButtonMask; }

void FormController::ComputeButtonState() {
    // A flag that cannot be read counts as a new, clean object: the bar then offers only
    // "Cauta..." and "Iesire".
    const bool isNew = flagOf(moObject, "IsNew").value_or(true);
    const bool isDirty = flagOf(moObject, "IsDirty").value_or(false);
    int32_t enabled = 0;
    if (isDirty) enabled = bit(Buton::Salveaza) | bit(Buton::Renunta);
    else if (isNew) enabled = bit(Buton::Cauta) | bit(Buton::Iesire);
    else enabled = bit(Buton::Cauta) | bit(Buton::Adauga) | bit(Buton::Sterge) | bit(Buton::Iesire);
    mlButtonMask = (mlButtonMask & ~kButtonBits) | enabled;
    ApplyEnabled();
}

void FormController::ApplyEnabled() {
    const int32_t mask = ButoaneVisibile();
    for (int position = 1; position <= kButtonCount && position <= mcolButtons.size(); ++position) {
        QAbstractButton* button = mcolButtons[position - 1];
        if (!button) return;  // a button already gone: the rest keep their state
        button->setEnabled((mask & (1 << position)) != 0);
    }
}

void FormController::ApplyVisible() {
    const int32_t mask = ButoaneVisibile();
    for (int position = 1; position <= kButtonCount && position <= mcolButtons.size(); ++position)
        if (QAbstractButton* button = mcolButtons[position - 1]) button->setVisible((mask & (1 << position)) != 0);
}

void FormController::LockTotalFields() {
    if (!moObject) return;
    static const std::array<const char*, 4> costSpital{"cmbSpital", "ctlc23", "ctlc24", "ctlc25"};
    static const std::array<const char*, 2> costSectie{"ctlc24", "ctlc25"};
    const std::string type = typeNameOf(*moObject);
    std::span<const char* const> names;
    if (type == Velmora_Business::classNameOf<Velmora_Business::_CostSpital>()) names = costSpital;
    else if (type == Velmora_Business::classNameOf<Velmora_Business::_CostSectie>()) names = costSectie;
    for (const char* name : names) {
        HostedControl* control = findControl(moForm, QString::fromLatin1(name));
        if (!control)
            com::raise(com::errc::NoSuchMember, "FormController.LockTotalFields",
                       std::string("Controlul ") + name + " lipseste de pe macheta.");
        // A control already locked is left as it is: repainting it changes nothing.
        const quillon::ControlFacade shared = control->asControl();
        if (!shared.enabled() && shared.backColor() == color::ButtonFace) continue;
        shared.setEnabled(false);
        shared.setBackColor(color::ButtonFace);
    }
}

}  // namespace velmora
