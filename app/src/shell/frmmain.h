#pragma once
// The program's MDI main window: menus that open every screen, the status bar, help,
// backup and exit. It refuses to close while another window of the program is open.
#include <functional>
#include <map>
#include <memory>

#include <QDateTime>
#include <QIcon>
#include <QMainWindow>
#include <QPointer>

#include "forms/screenhost.h"

class QAction;
class QMdiArea;
class QMdiSubWindow;

namespace velmora {

class HelpWindow;
class StatusPanels;

class frmMain final : public QMainWindow, public ScreenHost {
    Q_OBJECT
public:
    // Builds a screen: an MDI child's form widget, or for "mnuConfigurare" a QDialog that
    // is shown modally. May raise com::Error.
    using ScreenFactory = std::function<QWidget*(QWidget* parent)>;

    explicit frmMain(QWidget* parent = nullptr);
    ~frmMain() override;

    // Gives a menu item its screen and enables it. Items without a screen stay disabled.
    void setScreen(const QString& menuName, ScreenFactory factory);
    // Every screen the program has, registered on a new main window.
    static void registerScreens(frmMain& window);

    // The menu item of that name ("mnuSpitale", ...), or nullptr.
    QAction* menuItem(const QString& menuName) const;
    QMdiArea* mdiArea() const { return mdiArea_; }
    StatusPanels* sBar() const { return sBar_; }
    HelpWindow* helpWindow() const;

    // The program's own icon, shown by its windows and their child windows in place of the
    // toolkit's logo.
    static QIcon programIcon();

    // The county and hospital text of panel 5, from the session.
    static QString judetSpitalText();
    // Shows the session's county and hospital in panel 5 (after a configuration change).
    void refreshJudetSpital();

    // The screens' child windows, in the child-window area.
    void openChild(std::unique_ptr<QWidget> form, QSize size = {}) override;
    bool activateChild(QWidget* form) override;
    QSize childAreaSize() const override;

    // The number of the program's loaded forms, this window included.
    int loadedFormCount() const;

    // The clock the backup names its file by.
    void setClock(std::function<QDateTime()> clock) { clock_ = std::move(clock); }

    void mnuBackup_Click();
    void mnuAjutor_Click();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    struct Screen {
        ScreenFactory factory;
        bool needsHospital = false;
        bool modal = false;
    };

    QAction* addItem(QWidget* menu, const QString& name, const QString& caption);
    void buildMenus();
    void openScreen(const QString& menuName);
    void openSingleInstance(const QString& menuName, const Screen& screen);
    void openModal(const QString& menuName, const Screen& screen);
    QMdiSubWindow* openInstanceOf(const QString& menuName) const;

    QMdiArea* mdiArea_;
    StatusPanels* sBar_;
    QPointer<HelpWindow> help_;
    std::map<QString, QAction*> items_;
    std::map<QString, Screen> screens_;
    std::function<QDateTime()> clock_ = [] { return QDateTime::currentDateTime(); };
};

}  // namespace velmora
