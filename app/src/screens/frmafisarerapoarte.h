#pragma once
// The report viewer window: one report's pages in a preview that fills the window, with
// page navigation, zoom, print and save as PDF. One such window is open at a time.
#include <memory>

#include <QWidget>

namespace reports {
class Report;
class ReportViewer;
}  // namespace reports

namespace velmora {

class frmAfisareRapoarte final : public QWidget {
    Q_OBJECT
public:
    static constexpr const char* kCaption = "Vizualizare raport ";

    explicit frmAfisareRapoarte(QWidget* parent = nullptr);
    ~frmAfisareRapoarte() override;

    // Takes the report as the viewer's source and runs it. Raises com::Error; the viewer
    // then shows nothing.
    void ViewReport(std::shared_ptr<reports::Report> report);

    reports::ReportViewer* CRViewer1() const { return viewer_; }

    // The viewer window that is open now (not closed), or nullptr.
    static frmAfisareRapoarte* openViewer();
    // Makes this the open viewer window (once it is shown).
    void markOpen();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    reports::ReportViewer* viewer_;
    bool closed_ = false;
};

}  // namespace velmora
