#include "shell/frmmain.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDialog>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QPainter>
#include <QScreen>
#include <QShortcut>

#include <array>
#include <cstdint>
#include <memory>

#include "shell/backup.h"
#include "ado/error.h"
#include "forms/business.h"
#include "com/application.h"
#include "com/error.h"
#include "shell/globalui.h"
#include "shell/helpwindow.h"
#include "errors/messages.h"
#include "shell/statusbar.h"
#include "screens/frmconfigurare.h"
#include "screens/frmexportdate.h"
#include "screens/frmparametrizarerapoarte.h"
#include "screens/frmsectii.h"
#include "screens/frmcostsectie.h"
#include "screens/frmcostspital.h"
#include "screens/frmspitale.h"

namespace velmora {
namespace {

constexpr const char* kCaption = "PROIECT VELMORA - ATENTIE TOATE SUMELE SUNT EXPRIMATE IN RON";
constexpr const char* kScreenProperty = "velmoraScreen";

// Restores the window and the mouse pointer however the backup ends.
class BusyWindow {
public:
    explicit BusyWindow(QWidget* window) : window_(window) {
        window_->setCursor(Qt::WaitCursor);  // this window's pointer only, not the program's
        window_->setEnabled(false);
    }
    BusyWindow(const BusyWindow&) = delete;
    BusyWindow& operator=(const BusyWindow&) = delete;
    ~BusyWindow() { restore(); }
    void restore() {
        if (!busy_) return;
        busy_ = false;
        window_->setEnabled(true);
        window_->unsetCursor();
    }

private:
    QWidget* window_;
    bool busy_ = true;
};

// The menus that hold items, each made when its first item is added.
enum class Menu : uint8_t { Bar, Date, Nomenclatoare, Administrare };

struct MenuInfo {
    Menu menu;
    const char* name;
    const char* caption;
    Menu parent;
};
constexpr std::array<MenuInfo, 3> kMenus{{
    {Menu::Date, "mnuDate", "Date", Menu::Bar},
    {Menu::Nomenclatoare, "mnuNomenclatoare", "Nomenclatoare", Menu::Date},
    {Menu::Administrare, "mnuAdministrare", "Administrare", Menu::Bar},
}};
static_assert(kMenus[0].menu == Menu::Date && kMenus[1].menu == Menu::Nomenclatoare &&
              kMenus[2].menu == Menu::Administrare);  // in Menu's order, after the bar

template <class Form>
QWidget* makeScreen(QWidget* parent) {
    return new Form(parent);
}

// Every item of the menus, in the order shown. An item opens a screen (the configuration
// screen as a modal dialog, the others as single-instance MDI children) or runs a command.
struct MenuItem {
    const char* name;
    const char* caption;
    Menu menu;
    QWidget* (*screen)(QWidget* parent);
    bool needsHospital;
    bool modal;
    void (*command)(frmMain& window);
};
constexpr std::array<MenuItem, 10> kMenuItems{{
    {"mnuSpitale", "Spitale", Menu::Nomenclatoare, &makeScreen<frmSpitale>, false, false, nullptr},
    {"mnuSectii", "Sectii spital", Menu::Nomenclatoare, &makeScreen<frmSectii>, true, false, nullptr},
    {"mnuCostSpital", "Velmora la nivel de spital", Menu::Date, &makeScreen<frmCostSpital>, true, false, nullptr},
    {"mnuCostSectie", "Velmora la nivel de sectie", Menu::Date, &makeScreen<frmCostSectie>, true, false, nullptr},
    {"mnuRapoarte", "Rapoarte", Menu::Bar, &makeScreen<frmParametrizareRapoarte>, false, false, nullptr},
    {"mnuConfigurare", "Configurare aplicatie", Menu::Administrare, &makeScreen<frmConfigurare>, false, true, nullptr},
    {"mnuBackup", "Backup", Menu::Administrare, nullptr, false, false, [](frmMain& w) { w.mnuBackup_Click(); }},
    {"mnuExport", "Export", Menu::Administrare, &makeScreen<frmExportDate>, false, false, nullptr},
    {"mnuAjutor", "Ajutor", Menu::Bar, nullptr, false, false, [](frmMain& w) { w.mnuAjutor_Click(); }},
    {"mnuIesire", "Iesire", Menu::Bar, nullptr, false, false, [](frmMain& w) { w.close(); }},
}};

// The three fixed lines, then the cause as the data layer told it (when it did) on its own line.
void reportBackupFailure(int32_t number, const std::string& cause = {}) {
    GlobalUI::ShowError(number,
                        ado::text::withDetail("Eroare la efectuarea operatiei de backup a bazei de date.\r\n"
                                              "Cauza posibila: probleme in retea.\r\n"
                                              "Anuntati va rugam serviciul informatic.",
                                              cause),
                        "Backup", "Backup");
}

}  // namespace

QIcon frmMain::programIcon() {
    QIcon icon;
    for (const int size : {16, 32, 48}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(0x1f, 0x5f, 0x9f));
        painter.drawRoundedRect(QRectF(0, 0, size, size), size / 6.0, size / 6.0);
        QFont font = painter.font();
        font.setBold(true);
        font.setPixelSize(size * 3 / 4);
        painter.setFont(font);
        painter.setPen(Qt::white);
        painter.drawText(QRect(0, 0, size, size), Qt::AlignCenter, QStringLiteral("V"));
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

frmMain::frmMain(QWidget* parent) : QMainWindow(parent) {
    setObjectName(QStringLiteral("frmMain"));
    setWindowIcon(programIcon());  // the child windows and dialogs inherit it
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QString::fromLatin1(kCaption));

    mdiArea_ = new QMdiArea(this);
    mdiArea_->setObjectName(QStringLiteral("mdiArea"));
    setCentralWidget(mdiArea_);

    sBar_ = new StatusPanels(this);
    setStatusBar(sBar_);
    buildMenus();
    // Ctrl+F4 closes the active child window, as in the Windows programs the users know, also
    // where the platform's own key for it is another.
    const QKeySequence ctrlF4(QKeyCombination(Qt::ControlModifier, Qt::Key_F4));
    if (!QKeySequence::keyBindings(QKeySequence::Close).contains(ctrlF4)) {
        auto* closeChild = new QShortcut(ctrlF4, this);
        connect(closeChild, &QShortcut::activated, mdiArea_, &QMdiArea::closeActiveSubWindow);
    }

    sBar_->setPanelText(3, StatusPanels::formatDate(QDate::currentDate()));
    refreshJudetSpital();
    connect(&GlobalUI::sessionEvents(), &GlobalUI::SessionEvents::configurationChanged, this,
            &frmMain::refreshJudetSpital);
    sBar_->setPanelText(6,
                        QStringLiteral("Utilizator: ") + QString::fromStdString(GlobalUI::session().account().gUser));
    const QSize designed(1100, 760);
    QSize size = designed;
    if (const QScreen* display = screen()) size = size.boundedTo(display->availableGeometry().size());
    resize(size);
    // On a screen smaller than the window (1024 x 768) the window manager's title bar and
    // frame would push the status bar off the bottom: the window opens maximized there.
    if (size != designed) setWindowState(windowState() | Qt::WindowMaximized);

    registerScreens(*this);
}

frmMain::~frmMain() = default;

HelpWindow* frmMain::helpWindow() const { return help_; }

void frmMain::registerScreens(frmMain& window) {
    for (const MenuItem& item : kMenuItems)
        if (item.screen) window.setScreen(QString::fromLatin1(item.name), item.screen);
}

QAction* frmMain::addItem(QWidget* menu, const QString& name, const QString& caption) {
    auto* action = new QAction(caption, this);
    action->setObjectName(name);
    menu->addAction(action);
    items_[name] = action;
    return action;
}

void frmMain::buildMenus() {
    QMenuBar* bar = menuBar();
    std::array<QMenu*, kMenus.size() + 1> made{};  // by Menu, the bar's place unused
    const std::function<QMenu*(Menu)> menuOf = [&](Menu menu) {
        QMenu*& slot = made[static_cast<size_t>(menu)];
        if (!slot) {
            const MenuInfo& info = kMenus[static_cast<size_t>(menu) - 1];
            const QString caption = QString::fromLatin1(info.caption);
            slot = info.parent == Menu::Bar ? bar->addMenu(caption) : menuOf(info.parent)->addMenu(caption);
            slot->setObjectName(QString::fromLatin1(info.name));
        }
        return slot;
    };
    for (const MenuItem& item : kMenuItems) {
        const QString name = QString::fromLatin1(item.name);
        QWidget* menu = item.menu == Menu::Bar ? static_cast<QWidget*>(bar) : menuOf(item.menu);
        QAction* action = addItem(menu, name, QString::fromLatin1(item.caption));
        if (item.command) {
            connect(action, &QAction::triggered, this, [this, command = item.command] { command(*this); });
            continue;
        }
        screens_[name] = {{}, item.needsHospital, item.modal};
        action->setEnabled(false);  // until its screen is registered
        connect(action, &QAction::triggered, this, [this, name] { openScreen(name); });
    }
}

void frmMain::setScreen(const QString& menuName, ScreenFactory factory) {
    Screen& screen = screens_.at(menuName);
    screen.factory = std::move(factory);
    items_.at(menuName)->setEnabled(static_cast<bool>(screen.factory));
}

QAction* frmMain::menuItem(const QString& menuName) const {
    const auto found = items_.find(menuName);
    return found == items_.end() ? nullptr : found->second;
}

QString frmMain::judetSpitalText() {
    const GlobalUI::Configuration& config = GlobalUI::session().config();
    QString text = QStringLiteral("Judetul: ") +
                   (config.gDenJudet().empty() ? QStringLiteral("---") : QString::fromStdString(config.gDenJudet()));
    if (config.gIdSpital() != -1) text += QStringLiteral("---") + QString::fromStdString(config.gCodSpital());
    return text;
}

void frmMain::refreshJudetSpital() { sBar_->setPanelText(5, judetSpitalText()); }

int frmMain::loadedFormCount() const {
    int count = 1;
    for (const QMdiSubWindow* window : mdiArea_->subWindowList())
        if (!window->isHidden()) ++count;  // a closed child waits hidden for its deletion
    return count;
}

QMdiSubWindow* frmMain::openInstanceOf(const QString& menuName) const {
    for (QMdiSubWindow* window : mdiArea_->subWindowList(QMdiArea::CreationOrder))
        if (!window->isHidden() && window->widget() &&
            window->widget()->property(kScreenProperty).toString() == menuName)
            return window;
    return nullptr;
}

void frmMain::openScreen(const QString& menuName) {
    const Screen& screen = screens_.at(menuName);
    if (!screen.factory) return;
    if (screen.needsHospital && GlobalUI::session().config().gIdSpital() == -1) {
        showInfo("Spitalul trebuie mai intai configurat.");
        return;
    }
    if (screen.modal) openModal(menuName, screen);
    else openSingleInstance(menuName, screen);
}

void frmMain::openSingleInstance(const QString& menuName, const Screen& screen) {
    if (QMdiSubWindow* open = openInstanceOf(menuName)) {
        activateChild(open->widget());
        return;
    }
    // A screen that fails while loading is reported and never shown half-built.
    GlobalUI::Trapped("frmMain", menuName.toStdString(), [&] {
        std::unique_ptr<QWidget> form(screen.factory(nullptr));
        form->setProperty(kScreenProperty, menuName);
        openChild(std::move(form));
    });
}

void frmMain::openChild(std::unique_ptr<QWidget> form, QSize size) {
    QWidget* shown = form.get();
    QMdiSubWindow* window = mdiArea_->addSubWindow(form.release());
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->move(0, 0);
    if (size.isValid()) window->resize(size);
    shown->show();
    mdiArea_->setActiveSubWindow(window);
}

bool frmMain::activateChild(QWidget* form) {
    for (QMdiSubWindow* window : mdiArea_->subWindowList()) {
        if (window->widget() != form) continue;
        if (window->isMinimized()) window->showNormal();
        mdiArea_->setActiveSubWindow(window);
        return true;
    }
    return false;
}

QSize frmMain::childAreaSize() const { return mdiArea_->viewport()->size(); }

void frmMain::openModal(const QString& menuName, const Screen& screen) {
    if (loadedFormCount() > 1) {
        showInfo("Parametrii necesari rularii aplicatiei se pot modifica doar dupa inchiderea ferestrelor.");
        return;
    }
    GlobalUI::Trapped("frmMain", menuName.toStdString(), [&] {
        std::unique_ptr<QWidget> form(screen.factory(this));
        if (auto* dialog = qobject_cast<QDialog*>(form.get())) dialog->exec();
    });
}

void frmMain::closeEvent(QCloseEvent* event) {
    if (loadedFormCount() > 1) {
        showInfo("Aplicatia se poate inchide numai dupa inchiderea tututor ferestrelor sale.");
        event->ignore();
        return;
    }
    event->accept();
    GlobalUI::ReleaseCacheAndConnection();
}

void frmMain::mnuAjutor_Click() {
    const std::string helpFile = com::app::helpFile();
    if (helpFile.empty()) {
        showMessage({"Nu se poate afisa Continutul Ajutorului. Nu este nici un ajutor asociat cu acest proiect.",
                     kCaption, MsgIcon::Information, MsgButtons::Ok});
        return;
    }
    if (!help_) help_ = new HelpWindow(this);
    if (!help_->showFile(helpFile)) {
        showMessage({"Fisierul de ajutor nu poate fi deschis: " + helpFile,
                     QApplication::applicationName().toStdString(), MsgIcon::None, MsgButtons::Ok});
    }
}

void frmMain::mnuBackup_Click() {
    QCoreApplication::processEvents();
    BusyWindow busy(this);
    try {
        const GlobalUI::Session& s = GlobalUI::session();
        if (!s.account().gConection)
            com::raise(com::errc::ObjectNotSet, "Backup", "Conexiunea la baza de date nu este setata.");
        const std::string source = connectionDataSource(*s.account().gConection);
        backupDatabase(source, s.config().gMyBackup(), clock_().date());
        showInfo("Operatia de backup s-a efectuat cu succes.");
    } catch (const com::Error& e) {
        busy.restore();
        reportBackupFailure(e.number(), e.description());
    } catch (const std::exception&) {
        busy.restore();
        reportBackupFailure(com::errc::PathFileAccessError);
    }
}

}  // namespace velmora
