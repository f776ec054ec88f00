#pragma once
// The configuration screen: which county and hospital this installation serves, and the
// folders that receive exports and backups. Accepting writes Init.xml, then the session,
// and tells the windows that show the configuration (the main window's status bar).
#include <functional>

#include <QDialog>

class QFrame;
class QPushButton;

namespace velmora {

class FolderTree;
class HostedControl;

class frmConfigurare final : public QDialog {
    Q_OBJECT
public:
    // The points of "Accepta" before which a test may make it fail.
    enum class AcceptStep { Sheets, CountyName, HospitalList, HospitalCode, WriteInit };

    explicit frmConfigurare(QWidget* parent = nullptr);
    ~frmConfigurare() override;

    HostedControl* cmbJudet() const { return cmbJudet_; }
    HostedControl* cmbSpital() const { return cmbSpital_; }
    FolderTree* dirExport() const { return dirExport_; }
    FolderTree* dirBackup() const { return dirBackup_; }
    QPushButton* cmdAccepta() const { return cmdAccepta_; }
    QPushButton* cmdRenunta() const { return cmdRenunta_; }

    // Test hook: called before each step of "Accepta"; a throw from it fails the accept there.
    static void setAcceptStepHook(std::function<void(AcceptStep)> hook);

private:
    void loadValues();
    void showSessionFolders();
    void cmbJudet_Click();
    void cmdAccepta_Click();
    void cmdRenunta_Click();

    QFrame* picParam_;
    HostedControl* cmbJudet_;
    HostedControl* cmbSpital_;
    FolderTree* dirExport_;
    FolderTree* dirBackup_;
    QPushButton* cmdAccepta_;
    QPushButton* cmdRenunta_;
    bool loaded_ = false;
};

}  // namespace velmora
