// The main window: caption, status bar, menu tree, screens opened once, the refusals, the
// close refusal, help, and a backup that fails.
#include <gtest/gtest.h>

#include <QAction>
#include <QCoreApplication>
#include <QDialog>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QScreen>
#include <QStyle>
#include <QTextBrowser>
#include <QTest>
#include <QTimer>

#include <memory>

#include "com/application.h"
#include "com/error.h"
#include "shell/frmmain.h"
#include "shell/globalui.h"
#include "shell/helpwindow.h"
#include "shell/statusbar.h"
#include "support.h"

namespace {

using velmora::frmMain;

class MainWindow : public ::testing::Test {
protected:
    void SetUp() override {
        GlobalUI::resetSession();
        auto& s = GlobalUI::session();
        s.account().gUser = "operator";
        test::reconfigure([](GlobalUI::Configuration::Place& place, GlobalUI::Configuration::Folders&) {
            place.idJudet = place.idSpital = -1;
        });
    }
    void TearDown() override {
        for (QMdiSubWindow* child : window().mdiArea()->subWindowList()) delete child;
        GlobalUI::resetSession();
    }

    frmMain& window() {
        if (!GlobalUI::gfrmMain()) {
            GlobalUI::gfrmMain() = new frmMain();
            GlobalUI::gfrmMain()->show();
        }
        return *GlobalUI::gfrmMain();
    }

    // Gives every screen menu item a plain form, counting how often each was built.
    void registerPlainScreens() {
        for (const char* name :
             {"mnuSpitale", "mnuSectii", "mnuCostSpital", "mnuCostSectie", "mnuRapoarte", "mnuExport"}) {
            const QString menu = QString::fromLatin1(name);
            window().setScreen(menu, [this, menu](QWidget* parent) {
                ++built[menu];
                auto* form = new QWidget(parent);
                form->setObjectName(menu);
                return form;
            });
        }
        window().setScreen(QStringLiteral("mnuConfigurare"), [this](QWidget* parent) {
            ++built[QStringLiteral("mnuConfigurare")];
            auto* dialog = new QDialog(parent);
            QTimer::singleShot(0, dialog, &QDialog::accept);
            return dialog;
        });
    }

    void choose(const char* menuName) { window().menuItem(QString::fromLatin1(menuName))->trigger(); }
    int children() { return static_cast<int>(window().mdiArea()->subWindowList().size()); }

    std::map<QString, int> built;
    test::MessageScript boxes;
};

TEST_F(MainWindow, CaptionStatusBarAndMenuTree) {
    frmMain& w = window();
    EXPECT_EQ(w.windowTitle().toStdString(), "PROIECT VELMORA - ATENTIE TOATE SUMELE SUNT EXPRIMATE IN RON");
    EXPECT_EQ(w.sBar()->panelText(1).toStdString(), "NUM");
    EXPECT_EQ(w.sBar()->panelText(2).toStdString(), "CAPS");
    EXPECT_EQ(w.sBar()->panelText(3), velmora::StatusPanels::formatDate(QDate::currentDate()));
    EXPECT_FALSE(w.sBar()->panelText(4).isEmpty());
    EXPECT_EQ(w.sBar()->panelText(5).toStdString(), "Judetul: ---");
    EXPECT_EQ(w.sBar()->panelText(6).toStdString(), "Utilizator: operator");
    const QString day = velmora::StatusPanels::formatDate(QDate(2025, 2, 3));
    ASSERT_EQ(day.size(), 10);
    EXPECT_TRUE(day.startsWith(QStringLiteral("03")) && day.mid(3, 2) == QStringLiteral("02") &&
                day.endsWith(QStringLiteral("2025")));
    EXPECT_EQ(day[2], day[5]);
    EXPECT_FALSE(day[2].isSpace() || day[2].isLetterOrNumber());  // the locale's date separator

    QStringList bar;
    for (QAction* action : w.menuBar()->actions()) bar << action->text();
    EXPECT_EQ(bar, (QStringList{"Date", "Rapoarte", "Administrare", "Ajutor", "Iesire"}));
    QMenu* date = w.menuBar()->actions()[0]->menu();
    QStringList underDate;
    for (QAction* action : date->actions()) underDate << action->text();
    EXPECT_EQ(underDate, (QStringList{"Nomenclatoare", "Velmora la nivel de spital", "Velmora la nivel de sectie"}));
    // Every item by name and caption, where it stands.
    const auto namedItems = [](const QList<QAction*>& actions) {
        QStringList items;
        for (QAction* action : actions) items << action->objectName() + QLatin1Char('=') + action->text();
        return items;
    };
    EXPECT_EQ(namedItems(date->actions()[0]->menu()->actions()),
              (QStringList{"mnuSpitale=Spitale", "mnuSectii=Sectii spital"}));
    EXPECT_EQ(namedItems(date->actions().mid(1)),
              (QStringList{"mnuCostSpital=Velmora la nivel de spital", "mnuCostSectie=Velmora la nivel de sectie"}));
    EXPECT_EQ(namedItems(w.menuBar()->actions()[2]->menu()->actions()),
              (QStringList{"mnuConfigurare=Configurare aplicatie", "mnuBackup=Backup", "mnuExport=Export"}));
    EXPECT_EQ(namedItems({w.menuBar()->actions()[1], w.menuBar()->actions()[3], w.menuBar()->actions()[4]}),
              (QStringList{"mnuRapoarte=Rapoarte", "mnuAjutor=Ajutor", "mnuIesire=Iesire"}));
    EXPECT_EQ(date->objectName(), QStringLiteral("mnuDate"));
    EXPECT_EQ(date->actions()[0]->menu()->objectName(), QStringLiteral("mnuNomenclatoare"));
    EXPECT_EQ(w.menuBar()->actions()[2]->menu()->objectName(), QStringLiteral("mnuAdministrare"));

    // Every screen, backup, help and exit work.
    for (const char* name : {"mnuSpitale", "mnuSectii", "mnuCostSpital", "mnuCostSectie", "mnuRapoarte",
                             "mnuConfigurare", "mnuBackup", "mnuExport", "mnuAjutor", "mnuIesire"})
        EXPECT_TRUE(w.menuItem(QString::fromLatin1(name))->isEnabled()) << name;
}

TEST_F(MainWindow, CountyAndHospitalPanel) {
    test::reconfigure([](GlobalUI::Configuration::Place& place, GlobalUI::Configuration::Folders&) {
        place = {13, "Cluj", -1, {}};
    });
    EXPECT_EQ(frmMain::judetSpitalText().toStdString(), "Judetul: Cluj");
    test::reconfigure([](GlobalUI::Configuration::Place& place, GlobalUI::Configuration::Folders&) {
        place = {13, "Cluj", 1, "SJU01"};
    });
    EXPECT_EQ(frmMain::judetSpitalText().toStdString(), "Judetul: Cluj---SJU01");
    test::reconfigure([](GlobalUI::Configuration::Place& place, GlobalUI::Configuration::Folders&) {
        place.denJudet.clear();
    });  // a configured county whose row is gone
    EXPECT_EQ(frmMain::judetSpitalText().toStdString(), "Judetul: ------SJU01");
    window().refreshJudetSpital();
    EXPECT_EQ(window().sBar()->panelText(5).toStdString(), "Judetul: ------SJU01");
}

TEST_F(MainWindow, HospitalScreensNeedAConfiguredHospital) {
    registerPlainScreens();
    for (const char* name : {"mnuSectii", "mnuCostSpital", "mnuCostSectie"}) choose(name);
    EXPECT_EQ(boxes.texts(), std::vector<std::string>(3, "Spitalul trebuie mai intai configurat."));
    EXPECT_EQ(boxes.shown()[0].title, "ATENTIE!");
    EXPECT_EQ(boxes.shown()[0].icon, velmora::MsgIcon::Information);
    EXPECT_EQ(children(), 0);
    choose("mnuSpitale");
    EXPECT_EQ(children(), 1);

    test::reconfigure(
        [](GlobalUI::Configuration::Place& place, GlobalUI::Configuration::Folders&) { place.idSpital = 1; });
    boxes.clear();
    choose("mnuSectii");
    EXPECT_TRUE(boxes.shown().empty());
    EXPECT_EQ(children(), 2);
}

TEST_F(MainWindow, AScreenOpensOnceAndComesToTheFront) {
    registerPlainScreens();
    choose("mnuSpitale");
    choose("mnuRapoarte");
    QMdiSubWindow* hospitals = window().mdiArea()->subWindowList(QMdiArea::CreationOrder)[0];
    hospitals->showMinimized();
    choose("mnuSpitale");
    EXPECT_EQ(built[QStringLiteral("mnuSpitale")], 1);
    EXPECT_EQ(children(), 2);
    EXPECT_EQ(window().mdiArea()->activeSubWindow(), hospitals);
    EXPECT_FALSE(hospitals->isMinimized());

    hospitals->close();  // once closed, the next choice builds a new one
    choose("mnuSpitale");
    EXPECT_EQ(built[QStringLiteral("mnuSpitale")], 2);
}

// A screen reaches the main window as its host through its parents, from a child window
// and from the modal configuration dialog alike; what it opens there shows as the active
// child window, and it brings one back to the front.
TEST_F(MainWindow, ScreensReachTheMainWindowAsTheirHost) {
    registerPlainScreens();
    const velmora::ScreenHost* dialogHost = nullptr;
    window().setScreen(QStringLiteral("mnuConfigurare"), [&dialogHost](QWidget* parent) {
        auto* dialog = new QDialog(parent);
        dialogHost = velmora::ScreenHost::of(dialog);
        QTimer::singleShot(0, dialog, &QDialog::accept);
        return dialog;
    });
    choose("mnuConfigurare");
    EXPECT_EQ(dialogHost, &window());

    choose("mnuSpitale");
    QWidget* hospitals = window().mdiArea()->activeSubWindow()->widget();
    velmora::ScreenHost* host = velmora::ScreenHost::of(hospitals);
    ASSERT_EQ(host, &window());
    EXPECT_EQ(velmora::ScreenHost::of(nullptr), nullptr);
    QWidget alone;
    EXPECT_EQ(velmora::ScreenHost::of(&alone), nullptr);

    auto opened = std::make_unique<QWidget>();
    QWidget* viewer = opened.get();
    host->openChild(std::move(opened), QSize(640, 480));
    ASSERT_EQ(children(), 2);
    QMdiSubWindow* active = window().mdiArea()->activeSubWindow();
    ASSERT_NE(active, nullptr);
    EXPECT_EQ(active->widget(), viewer);
    EXPECT_EQ(active->size(), QSize(640, 480));
    EXPECT_EQ(active->pos(), QPoint(0, 0));
    EXPECT_TRUE(viewer->isVisible());

    hospitals->parentWidget()->showMinimized();
    EXPECT_TRUE(host->activateChild(hospitals));
    EXPECT_EQ(window().mdiArea()->activeSubWindow()->widget(), hospitals);
    EXPECT_FALSE(hospitals->parentWidget()->isMinimized());
    EXPECT_FALSE(host->activateChild(&alone));

    active->close();  // a closed child window is deleted with its form
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(children(), 1);
}

// A configuration changes with its county's hospital list, in one step, and the main window
// shows it at once.
TEST_F(MainWindow, AConfigurationChangeCarriesItsHospitalsAndShowsAtOnce) {
    window();
    GlobalUI::Session& s = GlobalUI::session();
    GlobalUI::Configuration::Folders folders = s.config().folders();
    folders.myBackup = "/srv/backup";
    s.setConfiguration(GlobalUI::Configuration({13, "Cluj", 1, "SJU01"}, folders), "1&SJU01---Spitalul Judetean|");
    EXPECT_EQ(window().sBar()->panelText(5).toStdString(), "Judetul: Cluj---SJU01");
    EXPECT_EQ(s.config().gIdJudet(), 13);
    EXPECT_EQ(s.config().gIdSpital(), 1);
    EXPECT_EQ(s.config().gMyBackup(), "/srv/backup");
    EXPECT_EQ(s.lists().gListaSpitale(), "1&SJU01---Spitalul Judetean|");

    s.setConfiguration(GlobalUI::Configuration({-1, {}, -1, {}}, folders), {});
    EXPECT_EQ(window().sBar()->panelText(5).toStdString(), "Judetul: ---");
    EXPECT_EQ(s.lists().gListaSpitale(), "");
}

TEST_F(MainWindow, OpensMaximizedOnAScreenSmallerThanItself) {
    const QSize available = window().screen()->availableGeometry().size();
    const bool fits = available.width() >= 1100 && available.height() >= 760;
    EXPECT_EQ(window().isMaximized(), !fits);
    EXPECT_LE(window().width(), available.width());
    EXPECT_LE(window().height(), available.height());
}

TEST_F(MainWindow, ChildWindowsShowTheProgramsIcon) {
    registerPlainScreens();
    choose("mnuSpitale");
    const QImage expected = frmMain::programIcon().pixmap(16, 16).toImage();
    ASSERT_FALSE(expected.isNull());
    const QMdiSubWindow* child = window().mdiArea()->activeSubWindow();
    EXPECT_EQ(child->windowIcon().pixmap(16, 16).toImage(), expected);
    EXPECT_NE(child->windowIcon().pixmap(16, 16).toImage(),
              child->style()->standardIcon(QStyle::SP_TitleBarMenuButton).pixmap(16, 16).toImage());
}

TEST_F(MainWindow, CtrlF4ClosesTheActiveChildWindow) {
    registerPlainScreens();
    choose("mnuSpitale");
    choose("mnuRapoarte");
    window().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window()));
    QWidget* active = window().mdiArea()->activeSubWindow()->widget();
    ASSERT_EQ(active->objectName().toStdString(), "mnuRapoarte");
    QTest::keyClick(active, Qt::Key_F4, Qt::ControlModifier);
    test::processUntil([this] { return children() == 1; });
    ASSERT_EQ(children(), 1);
    EXPECT_EQ(window().mdiArea()->subWindowList()[0]->widget()->objectName().toStdString(), "mnuSpitale");
}

TEST_F(MainWindow, ConfigurationAndCloseAreRefusedWhileAWindowIsOpen) {
    registerPlainScreens();
    QPointer<frmMain> w = &window();
    choose("mnuExport");
    choose("mnuConfigurare");
    EXPECT_EQ(built[QStringLiteral("mnuConfigurare")], 0);
    w->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);  // an accepted close deletes it here
    ASSERT_TRUE(w);
    EXPECT_TRUE(w->isVisible());
    EXPECT_EQ(boxes.texts(),
              (std::vector<std::string>{
                  "Parametrii necesari rularii aplicatiei se pot modifica doar dupa inchiderea ferestrelor.",
                  "Aplicatia se poate inchide numai dupa inchiderea tututor ferestrelor sale."}));

    // The help window is not one of the program's forms.
    com::app::setHelpFile(std::string(VELMORA_SOURCE_DIR) + "/data/help/Velmora.html");
    choose("mnuAjutor");
    ASSERT_NE(w->helpWindow(), nullptr);
    EXPECT_TRUE(w->helpWindow()->isVisible());

    for (QMdiSubWindow* child : w->mdiArea()->subWindowList()) child->close();
    boxes.clear();
    choose("mnuConfigurare");
    EXPECT_EQ(built[QStringLiteral("mnuConfigurare")], 1);
    w->close();
    EXPECT_TRUE(boxes.shown().empty());
    EXPECT_TRUE(test::processUntil([&w] { return w.isNull(); }));  // unloaded: the run ends
}

TEST_F(MainWindow, AScreenThatFailsToLoadIsReportedAndNotShown) {
    window().setScreen(QStringLiteral("mnuSpitale"), [](QWidget*) -> QWidget* {
        com::raise(3024, "Velmora_Business.Spital.LoadList", "Baza de date lipseste.");
    });
    choose("mnuSpitale");
    EXPECT_EQ(children(), 0);
    ASSERT_EQ(boxes.shown().size(), 1u);
    EXPECT_EQ(boxes.shown()[0].text,
              "Numar Eroare: 3024.\r\nDescriere Eroare: Baza de date lipseste.\r\nModulul: frmMain\r\n"
              "Subrutina/Functia: mnuSpitale\r\n");
}

TEST_F(MainWindow, HelpShowsTheManualOrSaysWhyNot) {
    com::app::setHelpFile("");
    choose("mnuAjutor");
    com::app::setHelpFile("/nonexistent/Velmora.html");
    choose("mnuAjutor");
    ASSERT_EQ(boxes.shown().size(), 2u);
    EXPECT_EQ(boxes.shown()[0].text,
              "Nu se poate afisa Continutul Ajutorului. Nu este nici un ajutor asociat cu acest proiect.");
    EXPECT_EQ(boxes.shown()[0].title, window().windowTitle().toStdString());
    EXPECT_EQ(boxes.shown()[1].icon, velmora::MsgIcon::None);
    EXPECT_EQ(boxes.shown()[1].title, "Velmora");
    EXPECT_NE(boxes.shown()[1].text.find("/nonexistent/Velmora.html"), std::string::npos);

    com::app::setHelpFile(std::string(VELMORA_SOURCE_DIR) + "/data/help/Velmora.html");
    choose("mnuAjutor");
    EXPECT_EQ(boxes.shown().size(), 2u);
    ASSERT_NE(window().helpWindow(), nullptr);
    EXPECT_TRUE(window().helpWindow()->browser()->toPlainText().contains(QStringLiteral("Intrarea in aplicatie")));
    EXPECT_EQ(window().loadedFormCount(), 1);
}

TEST_F(MainWindow, BackupWithoutAConnectionIsReportedAndTheWindowEnabledAgain) {
    window().mnuBackup_Click();
    ASSERT_EQ(boxes.shown().size(), 1u);
    EXPECT_EQ(boxes.shown()[0].text,
              "Numar Eroare: 91.\r\nDescriere Eroare: Eroare la efectuarea operatiei de backup a bazei de date.\r\n"
              "Cauza posibila: probleme in retea.\r\nAnuntati va rugam serviciul informatic.\r\n"
              "Conexiunea la baza de date nu este setata.\r\n"
              "Modulul: Backup\r\nSubrutina/Functia: Backup\r\n");
    EXPECT_TRUE(window().isEnabled());
}

}  // namespace
