#include "screens/frmexportdate.h"

#include <QPushButton>
#include <QVBoxLayout>

#include "ado/error.h"
#include "forms/business.h"
#include "forms/combos.h"
#include "forms/foldertree.h"
#include "forms/hostedcontrol.h"
#include "errors/messages.h"
#include "errors/errors.h"
#include "session/session.h"
#include "typelib/quillon.h"

namespace velmora {
namespace {

std::string fileNamePart(std::string text) {
    for (char& c : text)
        if (c == '/' || c == '\0') c = '_';
    return text;
}

}  // namespace

std::filesystem::path exportFilePath(const std::filesystem::path& folder, const std::string& denJudet,
                                     const std::string& codSpital, const std::string& denScurta,
                                     const QDateTime& when) {
    const QTime time = when.time();
    const std::string name =
        "Velmora_" + fileNamePart(denJudet) + "_" + fileNamePart(codSpital) + "_" + fileNamePart(denScurta) + "_" +
        when.date().toString(QStringLiteral("dd.MM.yyyy")).toStdString() + "_" + std::to_string(time.hour()) +
        std::to_string(time.minute()) + std::to_string(time.second()) + ".mdb";
    return folder / name;
}

frmExportDate::frmExportDate(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("frmExportDate"));
    setWindowTitle(QStringLiteral("                Export date intr-un fisier Access 2000 de trimis la ZEMAT"));

    cmbPerioada_ = HostedControl::create(quillon::my_combo::ProgId, this, QStringLiteral("cmbPerioada"));
    dirBox_ = new FolderTree(this);
    dirBox_->setObjectName(QStringLiteral("DirBox"));
    dirBox_->setMinimumSize(560, 260);  // wide enough for the whole caption
    cmdExport_ = new QPushButton(QStringLiteral("Export"), this);
    cmdExport_->setObjectName(QStringLiteral("cmdExport"));
    connect(cmdExport_, &QPushButton::clicked, this, &frmExportDate::cmdExport_Click);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(cmbPerioada_->widget());
    layout->addWidget(dirBox_);
    layout->addWidget(cmdExport_, 0, Qt::AlignRight);
    setTabOrder(cmbPerioada_->widget(), dirBox_);
    setTabOrder(dirBox_, cmdExport_);

    const GlobalUI::Session& s = GlobalUI::session();
    dirBox_->setPath(QString::fromStdString(s.config().gMyExport()));
    cmbPerioada_->asCombo().clear();
    GlobalUI::FillCombo(cmbPerioada_->object(), s.lists().gListaPerioade());
    cmbPerioada_->widget()->setFocus();
}

void frmExportDate::cmdExport_Click() {
    GlobalUI::Trapped("Export Date", "Export", [this] {
        const int32_t idPerioada = cheie(*cmbPerioada_);
        if (idPerioada == -1) {
            showInfo("Nu a fost specificata perioada de selectie date.");
            return;
        }
        const GlobalUI::Session& s = GlobalUI::session();
        // Only into the folder the user sees chosen: never one that stands in for it. One made
        // since it was chosen counts.
        dirBox_->recheck();
        const QString folder = dirBox_->path();
        if (folder.isEmpty()) {
            const QString chosen = dirBox_->chosenPath();
            showInfo(ado::text::folderMissing(chosen.isEmpty() ? s.config().gMyExport() : chosen.toStdString()));
            return;
        }
        const std::string denScurta = newObject<Velmora_Business::_Perioada>()->GetDenScurta(idPerioada);
        if (!s.account().gConection)
            com::raise(com::errc::ObjectNotSet, "Export", "Conexiunea la baza de date nu este setata.");

        // One reading of the clock names the file; the message names the same file.
        const std::string target =
            exportFilePath(folder.toStdString(), s.config().gDenJudet(), s.config().gCodSpital(), denScurta, clock_())
                .string();
        const com::ComPtr<Velmora_Business::_Export> exporter = newObject<Velmora_Business::_Export>();
        exporter->put_Sursa(connectionDataSource(*s.account().gConection));
        exporter->put_Destinatie(target);
        exporter->put_IdPerioada(idPerioada);
        exporter->Export(s.config().gMyPath() + "/" + s.config().gMyFiserAcces(),
                         connectionProperty(*s.account().gConection, "User ID"),
                         connectionProperty(*s.account().gConection, "Password"), s.config().gMyExport());
        showInfo("Operatia de export s-a efectuat cu succes. Fisierul poate fi trimis pe mail din locatia:\r\n" +
                 target);
    });
}

}  // namespace velmora
