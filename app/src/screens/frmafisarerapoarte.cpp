#include "screens/frmafisarerapoarte.h"

#include <QCloseEvent>
#include <QPointer>
#include <QVBoxLayout>

#include "reports/report.h"
#include "reports/viewer.h"
#include "errors/errors.h"

namespace velmora {
namespace {

QPointer<frmAfisareRapoarte>& current() {
    static QPointer<frmAfisareRapoarte> viewer;
    return viewer;
}

}  // namespace

frmAfisareRapoarte::frmAfisareRapoarte(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("frmAfisareRapoarte"));
    setWindowTitle(QString::fromLatin1(kCaption));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);  // the viewer fills the window whatever its size
    viewer_ = new reports::ReportViewer(this);
    viewer_->setObjectName(QStringLiteral("CRViewer1"));
    layout->addWidget(viewer_);
    // A print or a save that fails is reported as every other error of the program.
    connect(viewer_, &reports::ReportViewer::failed, this, [](int number, const QString& description) {
        GlobalUI::ShowError(number, description.toStdString(), "CRViewer1", "frmAfisareRapoarte");
    });
    resize(900, 680);
}

frmAfisareRapoarte::~frmAfisareRapoarte() = default;

void frmAfisareRapoarte::ViewReport(std::shared_ptr<reports::Report> report) {
    viewer_->setReportSource(std::move(report));
    viewer_->ViewReport();
}

frmAfisareRapoarte* frmAfisareRapoarte::openViewer() {
    frmAfisareRapoarte* viewer = current().data();
    return viewer && !viewer->closed_ ? viewer : nullptr;
}

void frmAfisareRapoarte::markOpen() { current() = this; }

void frmAfisareRapoarte::closeEvent(QCloseEvent* event) {
    closed_ = true;
    event->accept();
}

}  // namespace velmora
