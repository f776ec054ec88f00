#include "screens/frmconfigurare.h"

#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "com/error.h"
#include "forms/business.h"
#include "forms/combos.h"
#include "forms/foldertree.h"
#include "forms/hostedcontrol.h"
#include "errors/messages.h"
#include "errors/errors.h"
#include "session/session.h"
#include "session/initfile.h"
#include "typelib/quillon.h"

namespace velmora {
namespace {

constexpr const char* kModule = "Configurare parametrii";

std::function<void(frmConfigurare::AcceptStep)>& stepHook() {
    static std::function<void(frmConfigurare::AcceptStep)> hook;
    return hook;
}

void before(frmConfigurare::AcceptStep step) {
    if (stepHook()) stepHook()(step);
}

QLabel* label(const QString& text, const QString& name, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    return label;
}

// The session's values after an accept, all computed before anything is written.
struct Configuration {
    int32_t idJudet = -1;
    std::string denJudet;
    int32_t idSpital = -1;
    std::string listaSpitale;
    std::string codSpital;
    std::string myExport;
    std::string myBackup;
};

}  // namespace

frmConfigurare::frmConfigurare(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmConfigurare"));
    setWindowTitle(QStringLiteral("Configurare parametrii aplicatie"));

    picParam_ = new QFrame(this);
    picParam_->setObjectName(QStringLiteral("picParam"));
    picParam_->setFrameShape(QFrame::StyledPanel);
    auto* grid = new QGridLayout(picParam_);

    cmbJudet_ = HostedControl::create(quillon::my_combo::ProgId, picParam_, QStringLiteral("cmbJudet"));
    cmbSpital_ = HostedControl::create(quillon::my_combo::ProgId, picParam_, QStringLiteral("cmbSpital"));
    cmbJudet_->widget()->setMinimumWidth(360);
    dirExport_ = new FolderTree(picParam_);
    dirExport_->setObjectName(QStringLiteral("dirExport"));
    dirBackup_ = new FolderTree(picParam_);
    dirBackup_->setObjectName(QStringLiteral("dirBackup"));
    for (FolderTree* tree : {dirExport_, dirBackup_}) tree->setMinimumSize(360, 150);

    grid->addWidget(label(QStringLiteral(" Judetul:"), QStringLiteral("Label57"), picParam_), 0, 0);
    grid->addWidget(cmbJudet_->widget(), 0, 1);
    grid->addWidget(label(QStringLiteral(" Spital:"), QStringLiteral("Label5"), picParam_), 1, 0);
    grid->addWidget(cmbSpital_->widget(), 1, 1);
    grid->addWidget(label(QStringLiteral(" Cale catalog export:"), QStringLiteral("Label1"), picParam_), 2, 0,
                    Qt::AlignTop);
    grid->addWidget(dirExport_, 2, 1);
    grid->addWidget(label(QStringLiteral(" Cale catalog backup:"), QStringLiteral("Label3"), picParam_), 3, 0,
                    Qt::AlignTop);
    grid->addWidget(dirBackup_, 3, 1);

    cmdAccepta_ = new QPushButton(QStringLiteral("Accepta"), this);
    cmdAccepta_->setObjectName(QStringLiteral("cmdAccepta"));
    cmdRenunta_ = new QPushButton(QStringLiteral("Renunta"), this);
    cmdRenunta_->setObjectName(QStringLiteral("cmdRenunta"));
    connect(cmdAccepta_, &QPushButton::clicked, this, &frmConfigurare::cmdAccepta_Click);
    connect(cmdRenunta_, &QPushButton::clicked, this, &frmConfigurare::cmdRenunta_Click);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdAccepta_);
    buttons->addWidget(cmdRenunta_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(picParam_);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    setTabOrder(cmbJudet_->widget(), cmbSpital_->widget());
    setTabOrder(cmbSpital_->widget(), dirExport_);
    setTabOrder(dirExport_, dirBackup_);
    setTabOrder(dirBackup_, cmdAccepta_);
    setTabOrder(cmdAccepta_, cmdRenunta_);

    connect(cmbJudet_, &HostedControl::Click, this, [this] {
        if (loaded_) GlobalUI::Trapped(kModule, "cmbJudet_Click", [this] { cmbJudet_Click(); });
    });
    loadValues();
    cmbJudet_->widget()->setFocus();
}

frmConfigurare::~frmConfigurare() = default;

void frmConfigurare::setAcceptStepHook(std::function<void(AcceptStep)> hook) { stepHook() = std::move(hook); }

void frmConfigurare::showSessionFolders() {
    const GlobalUI::Session& s = GlobalUI::session();
    dirExport_->setPath(QString::fromStdString(s.config().gMyExport()));
    dirBackup_->setPath(QString::fromStdString(s.config().gMyBackup()));
}

void frmConfigurare::loadValues() {
    loaded_ = false;
    const GlobalUI::Session& s = GlobalUI::session();
    showSessionFolders();
    cmbJudet_->asCombo().clear();
    GlobalUI::FillCombo(cmbJudet_->object(), s.lists().gListaJudete());
    selectKeyIfPresent(*cmbJudet_, s.config().gIdJudet());
    cmbSpital_->asCombo().clear();
    GlobalUI::FillCombo(cmbSpital_->object(), s.lists().gListaSpitale());
    selectKeyIfPresent(*cmbSpital_, s.config().gIdSpital());
    loaded_ = true;
}

void frmConfigurare::cmbJudet_Click() {
    // Only an accept changes the session's hospital list.
    const std::string hospitals = hospitalList(cheie(*cmbJudet_));
    cmbSpital_->asCombo().clear();
    GlobalUI::FillCombo(cmbSpital_->object(), hospitals);
}

void frmConfigurare::cmdRenunta_Click() {
    GlobalUI::Trapped(kModule, "Renunta", [this] {
        const GlobalUI::Session& s = GlobalUI::session();
        showSessionFolders();
        selectKeyIfPresent(*cmbJudet_, s.config().gIdJudet());  // its click refills the hospitals
        selectKeyIfPresent(*cmbSpital_, s.config().gIdSpital());
    });
}

void frmConfigurare::cmdAccepta_Click() {
    GlobalUI::Trapped(kModule, "Configurare", [this] {
        GlobalUI::Session& s = GlobalUI::session();
        Configuration next;
        next.idSpital = cheie(*cmbSpital_);
        if (next.idSpital == -1) {
            showInfo("Spitalul trebuie configurat.");
            return;
        }
        next.idJudet = cheie(*cmbJudet_);

        before(AcceptStep::Sheets);
        const com::ComPtr<Velmora_Business::_CostSpital_S> list = newObject<Velmora_Business::_CostSpital>()->LoadList(
            "Where c.IdJudet=" + std::to_string(s.config().gIdJudet()) +
            " And a.IdSpital=" + std::to_string(s.config().gIdSpital()));
        const int32_t count = list ? list->get_Count() : 0;
        if (count > 0 && (next.idSpital != s.config().gIdSpital() || next.idJudet != s.config().gIdJudet())) {
            showInfo(
                "Modificarea judetului | spitalului nu poate avea loc.\r\n"
                "Exista date introduse pentru vechile valori judet | spital.");
            return;
        }

        // Everything the session will hold is read before the file is written, so that
        // the file and the session never disagree.
        before(AcceptStep::CountyName);
        next.denJudet = countyName(next.idJudet).value_or(std::string());
        before(AcceptStep::HospitalList);
        next.listaSpitale = hospitalList(next.idJudet);
        before(AcceptStep::HospitalCode);
        next.codSpital = hospitalCode(next.idSpital).value_or(std::string());
        // A tree with nothing selected keeps its folder as it is stored.
        next.myExport = dirExport_->path().isEmpty() ? s.config().gMyExport() : dirExport_->path().toStdString();
        next.myBackup = dirBackup_->path().isEmpty() ? s.config().gMyBackup() : dirBackup_->path().toStdString();

        before(AcceptStep::WriteInit);
        writeInitFile(GlobalUI::programFolder() / "Init.xml",
                      InitUpdate{next.idJudet, next.idSpital, next.myExport, next.myBackup});

        GlobalUI::Configuration::Folders folders = s.config().folders();
        folders.myExport = std::move(next.myExport);
        folders.myBackup = std::move(next.myBackup);
        s.setConfiguration(GlobalUI::Configuration({next.idJudet, std::move(next.denJudet), next.idSpital,
                                                    std::move(next.codSpital)},
                                                   std::move(folders)),
                           std::move(next.listaSpitale));

        showInfo("Operatia de configurare s-a efectuat cu succes.");
        accept();
    });
}

}  // namespace velmora
