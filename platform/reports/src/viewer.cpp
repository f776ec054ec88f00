#include "reports/viewer.h"

#include <QAction>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QMessageBox>
#include <QPainter>
#include <QPageLayout>
#include <QPrintDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QSpinBox>
#include <QStandardPaths>
#include <QStyle>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include "ado/compaction.h"
#include "com/error.h"
#include "reports/report.h"

namespace reports {

namespace {

void preparePrinter(QPrinter& printer, const Report& report) {
    printer.setFullPage(true);
    QPageLayout layout = report.pageLayout();
    layout.setMinimumMargins(QMarginsF(0, 0, 0, 0));
    layout.setMargins(QMarginsF(0, 0, 0, 0));
    printer.setPageLayout(layout);
    printer.setDocName(QString::fromStdString(report.Title()));
}

}  // namespace

ReportViewer::ReportViewer(QWidget* parent)
    : QWidget(parent), printer_(std::make_unique<QPrinter>(QPrinter::HighResolution)) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    toolBar_ = new QToolBar(this);
    toolBar_->setObjectName("reportToolBar");
    layout->addWidget(toolBar_);
    preview_ = new QPrintPreviewWidget(printer_.get(), this);
    preview_->setObjectName("reportPreview");
    layout->addWidget(preview_, 1);

    // Every action has a key, named in its tool tip, that works wherever the focus is in the
    // viewer: the tool bar itself takes no focus.
    const auto tip = [](QAction* a, const QString& text) {
        a->setToolTip(text + QStringLiteral(" (") + a->shortcut().toString(QKeySequence::NativeText) +
                      QLatin1Char(')'));
    };
    auto add = [this, tip](const char* name, QStyle::StandardPixmap icon, const QString& text, const QKeySequence& key,
                           auto slot) {
        // Actions without a picture show their text.
        QAction* a = icon == QStyle::SP_CustomBase ? toolBar_->addAction(text)
                                                   : toolBar_->addAction(style()->standardIcon(icon), text);
        a->setObjectName(name);
        a->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        a->setShortcut(key);
        tip(a, text);
        a->setEnabled(false);
        addAction(a);
        connect(a, &QAction::triggered, this, slot);
        return a;
    };
    const auto ctrl = [](int key) { return QKeySequence(QKeyCombination(Qt::ControlModifier, Qt::Key(key))); };
    add("first", QStyle::SP_MediaSkipBackward, tr("Prima pagina"), ctrl(Qt::Key_Home), [this] { setCurrentPage(1); });
    add("previous", QStyle::SP_MediaSeekBackward, tr("Pagina anterioara"), ctrl(Qt::Key_PageUp),
        [this] { setCurrentPage(currentPage() - 1); });
    pageBox_ = new QSpinBox(toolBar_);
    pageBox_->setObjectName("pageNumber");
    pageBox_->setToolTip(tr("Pagina aratata"));
    pageBox_->setRange(0, 0);
    pageBox_->setEnabled(false);
    toolBar_->addWidget(pageBox_);
    pageTotal_ = new QLabel(toolBar_);
    pageTotal_->setObjectName("pageTotal");
    toolBar_->addWidget(pageTotal_);
    connect(pageBox_, &QSpinBox::valueChanged, this, [this](int page) {
        if (page >= 1 && page != currentPage()) setCurrentPage(page);
    });
    add("next", QStyle::SP_MediaSeekForward, tr("Pagina urmatoare"), ctrl(Qt::Key_PageDown),
        [this] { setCurrentPage(currentPage() + 1); });
    add("last", QStyle::SP_MediaSkipForward, tr("Ultima pagina"), ctrl(Qt::Key_End),
        [this] { setCurrentPage(pageCount()); });
    toolBar_->addSeparator();
    add("fitWidth", QStyle::SP_CustomBase, tr("Latimea paginii"), ctrl(Qt::Key_2), [this] { fitToWidth(); });
    add("fitPage", QStyle::SP_CustomBase, tr("Pagina intreaga"), ctrl(Qt::Key_0), [this] { fitInView(); });
    tip(add("zoomIn", QStyle::SP_CustomBase, tr("+"), ctrl(Qt::Key_Plus), [this] { zoomIn(); }), tr("Mareste"));
    tip(add("zoomOut", QStyle::SP_CustomBase, tr("-"), ctrl(Qt::Key_Minus), [this] { zoomOut(); }), tr("Micsoreaza"));
    toolBar_->addSeparator();
    add("print", QStyle::SP_CustomBase, tr("Tipareste..."), ctrl(Qt::Key_P), [this] { print(); });
    add("pdf", QStyle::SP_DialogSaveButton, tr("Salveaza ca PDF..."), ctrl(Qt::Key_S), [this] { saveAsPdf(); });
    if (QWidget* button = toolBar_->widgetForAction(action("pdf")))
        if (auto* tool = qobject_cast<QToolButton*>(button)) tool->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);

    connect(preview_, &QPrintPreviewWidget::paintRequested, this, &ReportViewer::paintRequested);
    connect(preview_, &QPrintPreviewWidget::previewChanged, this, [this] {
        updatePageControls();
        followCurrentPage();
    });
    updatePageControls();
}

ReportViewer::~ReportViewer() = default;

QAction* ReportViewer::action(const char* name) const {
    return toolBar_->findChild<QAction*>(QString::fromLatin1(name));
}

void ReportViewer::setReportSource(std::shared_ptr<Report> report) {
    report_ = std::move(report);
    shown_ = false;
    windowFirst_ = windowLast_ = 0;
}

void ReportViewer::ViewReport() {
    if (!report_) com::raise(errc::NotRun, "reports", "Vizualizatorul nu are niciun raport de aratat.");
    shown_ = false;
    try {
        report_->Run();
    } catch (...) {
        preview_->updatePreview();  // the old pages go; nothing half-made is shown
        updatePageControls();
        throw;
    }
    preparePrinter(*printer_, *report_);
    shown_ = true;
    centreWindow(1);
    preview_->updatePreview();
    preview_->setViewMode(QPrintPreviewWidget::SinglePageView);
    preview_->fitToWidth();
    preview_->setCurrentPage(1);
    updatePageControls();
}

void ReportViewer::paintRequested(QPrinter* printer) {
    if (!shown_ || !report_ || !report_->hasRun()) return;
    QPainter painter(printer);
    const int count = report_->PageCount();
    for (int page = 1; page <= count; ++page) {
        if (page > 1) printer->newPage();
        if (page >= windowFirst_ && page <= windowLast_) report_->paintPage(painter, page);
    }
}

void ReportViewer::centreWindow(int page) {
    const int count = report_ && report_->hasRun() ? report_->PageCount() : 0;
    windowFirst_ = std::max(1, page - PaintedAround);
    windowLast_ = std::min(count, page + PaintedAround);
}

// When the reader reaches the edge of the painted pages, the preview is painted again
// around the current page (after the event that moved it).
void ReportViewer::followCurrentPage() {
    if (!shown_ || repaintPending_) return;
    const int page = currentPage();
    const int count = pageCount();
    const bool nearFirst = page <= windowFirst_ && windowFirst_ > 1;
    const bool nearLast = page >= windowLast_ && windowLast_ < count;
    if (page >= 1 && !nearFirst && !nearLast && page >= windowFirst_ && page <= windowLast_) return;
    repaintPending_ = true;
    QTimer::singleShot(0, this, [this] {
        repaintPending_ = false;
        if (!shown_) return;
        const int current = currentPage();
        centreWindow(current);
        preview_->updatePreview();
        preview_->setCurrentPage(current);
        updatePageControls();
    });
}

int ReportViewer::pageCount() const { return shown_ ? preview_->pageCount() : 0; }
int ReportViewer::currentPage() const { return shown_ ? preview_->currentPage() : 0; }

void ReportViewer::setCurrentPage(int page) {
    if (!shown_) return;
    page = std::clamp(page, 1, std::max(1, pageCount()));
    if (page < windowFirst_ || page > windowLast_) {
        centreWindow(page);
        preview_->updatePreview();
    }
    preview_->setCurrentPage(page);
    updatePageControls();
}

void ReportViewer::fitToWidth() { preview_->fitToWidth(); }
void ReportViewer::fitInView() { preview_->fitInView(); }
void ReportViewer::zoomIn() { preview_->zoomIn(); }
void ReportViewer::zoomOut() { preview_->zoomOut(); }
double ReportViewer::zoomFactor() const { return preview_->zoomFactor(); }

void ReportViewer::updatePageControls() {
    const int count = pageCount();
    const int page = currentPage();
    const QSignalBlocker block(pageBox_);
    pageBox_->setRange(count ? 1 : 0, count);
    pageBox_->setValue(page);
    pageBox_->setEnabled(count > 1);
    pageTotal_->setText(count ? tr(" din %1 ").arg(count) : QString());
    auto enable = [this](const char* name, bool on) {
        if (QAction* a = action(name)) a->setEnabled(on);
    };
    enable("first", page > 1);
    enable("previous", page > 1);
    enable("next", page < count);
    enable("last", page < count);
    for (const char* name : {"fitWidth", "fitPage", "zoomIn", "zoomOut", "print", "pdf"}) enable(name, count > 0);
}

void ReportViewer::report(int number, const QString& description) {
    if (receivers(SIGNAL(failed(int, QString))) > 0) {
        emit failed(number, description);
        return;
    }
    QMessageBox::warning(this, QStringLiteral("ATENTIE!"), description);
}

void ReportViewer::saveAsPdf(const std::filesystem::path& file) {
    if (!shown_ || !report_) com::raise(errc::NotRun, "reports", "Vizualizatorul nu are niciun raport de salvat.");
    report_->exportPdf(file);
}

void ReportViewer::saveAsPdf() {
    if (!shown_ || !report_) return;
    // Offered in the folder of the last PDF saved, else in the user's documents: never in
    // whatever folder the program was started from.
    static QString lastFolder;
    QString folder = lastFolder;
    if (folder.isEmpty()) folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (!QDir(folder).exists()) folder = QDir::homePath();
    const QString name =
        QString::fromStdString(report_->Title()).replace(QLatin1Char('/'), QLatin1Char('-')) + QStringLiteral(".pdf");
    QFileDialog dialog(this, tr("Salveaza raportul ca PDF"), QDir(folder).filePath(name), tr("Fisiere PDF (*.pdf)"));
    dialog.setObjectName(QStringLiteral("savePdfDialog"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("pdf"));
    dialog.setLabelText(QFileDialog::LookIn, tr("Cauta in:"));
    dialog.setLabelText(QFileDialog::FileName, tr("&Nume fisier:"));
    dialog.setLabelText(QFileDialog::FileType, tr("Tip fisier:"));
    dialog.setLabelText(QFileDialog::Accept, tr("&Salveaza"));
    dialog.setLabelText(QFileDialog::Reject, tr("Renunta"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
    const QString file = dialog.selectedFiles().constFirst();
    try {
        saveAsPdf(std::filesystem::path(file.toStdString()));
        lastFolder = QFileInfo(file).absolutePath();
    } catch (const com::Error& e) {
        report(e.number(), QString::fromStdString(e.description()));
    }
}

void ReportViewer::print() {
    if (!shown_ || !report_) return;
    QPrinter printer(QPrinter::HighResolution);
    preparePrinter(printer, *report_);
    QPrintDialog dialog(&printer, this);
    dialog.setMinMax(1, pageCount());
    if (dialog.exec() != QDialog::Accepted) return;
    const int from = printer.fromPage() > 0 ? printer.fromPage() : 1;
    const int to = printer.toPage() > 0 ? printer.toPage() : pageCount();
    try {
        // Printed to a file, the pages are a PDF written whole or not at all, as when saved.
        if (!printer.outputFileName().isEmpty()) {
            report_->exportPdf(std::filesystem::path(printer.outputFileName().toStdString()), from, to);
            return;
        }
        const std::string failed = "Raportul \"" + report_->path().string() + "\": ";
        QPainter painter;
        if (!painter.begin(&printer))
            com::raise(errc::OutputFailed, "reports", failed + "imprimanta nu poate fi folosita.");
        for (int page = from; page <= to; ++page) {
            if (page > from) printer.newPage();
            report_->paintPage(painter, page);
        }
        if (!painter.end()) com::raise(errc::OutputFailed, "reports", failed + "tiparirea nu s-a incheiat.");
    } catch (const com::Error& e) {
        report(e.number(), QString::fromStdString(e.description()));
    }
}

}  // namespace reports
