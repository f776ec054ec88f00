#pragma once
// The report viewer: a print preview of a report's pages with page navigation, zoom
// (fit width, fit page, in, out), print and save as PDF. It fills its parent.
//
//   auto* viewer = new reports::ReportViewer(window);
//   viewer->setReportSource(report);
//   viewer->ViewReport();   // runs the report; raises com::Error, showing nothing then
#include <filesystem>
#include <memory>

#include <QWidget>

class QPrintPreviewWidget;
class QPrinter;
class QToolBar;
class QSpinBox;
class QLabel;
class QAction;

namespace reports {

class Report;

class ReportViewer : public QWidget {
    Q_OBJECT
public:
    explicit ReportViewer(QWidget* parent = nullptr);
    ~ReportViewer() override;

    void setReportSource(std::shared_ptr<Report> report);
    const std::shared_ptr<Report>& ReportSource() const { return report_; }

    // Runs the report source (data read afresh when it asks so) and shows its first page.
    // Raises com::Error (errc::NotRun without a source); the viewer then stays empty.
    void ViewReport();

    int pageCount() const;
    int currentPage() const;
    void setCurrentPage(int page);
    void fitToWidth();
    void fitInView();
    void zoomIn();
    void zoomOut();
    double zoomFactor() const;

    // Asks for a file name, then writes the PDF; errors are shown in a message box.
    void saveAsPdf();
    // Writes the PDF to the file; raises com::Error (errc::OutputFailed).
    void saveAsPdf(const std::filesystem::path& file);
    // Opens the print dialog and prints the chosen pages.
    void print();

    // The pages the preview holds painted: the current one and a few either side. The others
    // are blank until the reader comes near them, so that memory does not grow with the
    // report's length.
    int firstPaintedPage() const { return windowFirst_; }
    int lastPaintedPage() const { return windowLast_; }
    static constexpr int PaintedAround = 3;

    QPrintPreviewWidget* preview() const { return preview_; }
    QToolBar* toolBar() const { return toolBar_; }
    QAction* action(const char* name) const;  // "first", "previous", "next", "last", "fitWidth",
                                              // "fitPage", "zoomIn", "zoomOut", "print", "pdf"

signals:
    // A print or a save from the tool bar failed. Without a receiver the viewer shows the
    // description in a message box itself.
    void failed(int number, const QString& description);

private:
    void paintRequested(QPrinter* printer);
    void updatePageControls();
    void report(int number, const QString& description);
    void followCurrentPage();
    void centreWindow(int page);

    std::shared_ptr<Report> report_;
    QPrintPreviewWidget* preview_ = nullptr;
    std::unique_ptr<QPrinter> printer_;
    QToolBar* toolBar_ = nullptr;
    QSpinBox* pageBox_ = nullptr;
    QLabel* pageTotal_ = nullptr;
    bool shown_ = false;
    bool repaintPending_ = false;
    int windowFirst_ = 0, windowLast_ = 0;
};

}  // namespace reports
