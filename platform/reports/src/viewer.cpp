#include "reports/viewer.h"

#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QVBoxLayout>

#include "reports/report.h"

namespace reports {

ReportViewer::ReportViewer(QWidget* parent) : QWidget(parent) {
    printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    preview_ = new QPrintPreviewWidget(printer_.get(), this);
    layout->addWidget(preview_);
}
ReportViewer::~ReportViewer() = default;

void ReportViewer::setReportSource(std::shared_ptr<Report> report) { report_ = std::move(report); }
void ReportViewer::ViewReport() {}
int ReportViewer::pageCount() const { return 0; }
int ReportViewer::currentPage() const { return 0; }
void ReportViewer::setCurrentPage(int) {}
void ReportViewer::fitToWidth() {}
void ReportViewer::fitInView() {}
void ReportViewer::zoomIn() {}
void ReportViewer::zoomOut() {}
double ReportViewer::zoomFactor() const { return 1; }
void ReportViewer::saveAsPdf() {}
void ReportViewer::saveAsPdf(const std::filesystem::path&) {}
void ReportViewer::print() {}
void ReportViewer::paintRequested(QPrinter*) {}
void ReportViewer::updatePageControls() {}

}  // namespace reports
