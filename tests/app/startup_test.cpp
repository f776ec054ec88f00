// Start-up on the real libraries: the login form, the configuration file, the connection,
// the list cache and the main window; the backup of the open database; the combo filler on
// the real keyed combo box and the controller's locked fields on real cost sheets.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QLockFile>
#include <QMdiArea>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <functional>
#include <map>

#include "com/application.h"
#include "com/error.h"
#include "com/server.h"
#include "forms/business.h"
#include "forms/cache.h"
#include "forms/formcontroller.h"
#include "shell/frmlogin.h"
#include "shell/frmmain.h"
#include "shell/globalui.h"
#include "forms/hostedcontrol.h"
#include "shell/singleinstance.h"
#include "shell/statusbar.h"
#include "screen_session.h"
#include "support.h"
#include "typelib/quillon.h"

namespace {

using velmora::frmLogin;

frmLogin* openLogin() {
    frmLogin* login = nullptr;
    test::processUntil([&login] {
        for (QWidget* widget : QApplication::topLevelWidgets())
            if (auto* found = qobject_cast<frmLogin*>(widget); found && found->isVisible()) login = found;
        return login != nullptr;
    });
    if (login) {
        login->activateWindow();
        (void)QTest::qWaitForWindowActive(login);
    }
    return login;
}

// Types into the user field as the user would: the keys go to the widget that has the focus.
void typeUser(frmLogin& login, const QString& text) {
    login.ctlUser()->widget()->setFocus();
    QWidget* focused = QApplication::focusWidget();
    QTest::keyClicks(focused ? focused : login.ctlUser()->widget(), text);
}

// The sample database and an Init.xml naming no county or hospital; each test runs Main.
class StartUp : public test::ScreenSession {
protected:
    void SetUp() override {
        install();
        values.MyExport = (data / "export").string();
        values.MyBackup = backups.path().string();
        configure("-1", "-1");
    }

    // Runs Main while `onLogin` acts on the login form.
    // The helper lives only as long as this run: when no login is ever shown, it must not
    // fire later inside another run.
    void runMain(const std::function<void(frmLogin&)>& onLogin) {
        QObject run;
        QTimer::singleShot(0, &run, [onLogin] {
            if (frmLogin* login = openLogin()) onLogin(*login);
        });
        GlobalUI::Main();
    }
    void runMain(const char* user, const char* password) {
        runMain([user, password](frmLogin& login) {
            typeUser(login, QString::fromLatin1(user));
            QTest::keyClicks(login.txtPassword(), QString::fromLatin1(password));
            QTest::mouseClick(login.cmdAccepta(), Qt::LeftButton);
        });
    }

    void expectStartFailure(int32_t number) {
        runMain(test::kUser, test::kPassword);
        ASSERT_EQ(boxes.shown().size(), 1u);
        const auto& box = boxes.shown()[0];
        EXPECT_EQ(box.icon, velmora::MsgIcon::Critical);
        EXPECT_EQ(box.text.rfind("Numar Eroare: " + std::to_string(number) + ".\r\n", 0), 0u) << box.text;
        EXPECT_NE(box.text.find("\r\nModulul: GlobalUI\r\nSubrutina/Functia: Main\r\n"), std::string::npos);
        // The description is the program's own Romanian text, not the run-time's English one.
        EXPECT_EQ(box.text.find("Descriere Eroare: " + com::standardDescription(number) + "\r\n"), std::string::npos)
            << box.text;
        EXPECT_EQ(mainWindow(), nullptr);
        EXPECT_FALSE(GlobalUI::session().account().gConection);
    }

    test::TempFolder backups;
};

TEST_F(StartUp, NothingConfiguredOpensTheMainWindowWithEmptyCountyAndHospital) {
    runMain(test::kUser, test::kPassword);
    ASSERT_NE(mainWindow(), nullptr) << (boxes.shown().empty() ? "" : boxes.shown()[0].text);
    EXPECT_TRUE(boxes.shown().empty());
    const auto& s = GlobalUI::session();
    EXPECT_EQ(s.account().gUser, "operator");
    EXPECT_EQ(s.account().gPassword, "velmora");
    EXPECT_EQ(s.config().gDenJudet(), "");
    EXPECT_EQ(s.config().gCodSpital(), "");
    EXPECT_EQ(s.lists().gListaSpitale(), "");
    EXPECT_NE(s.lists().gListaJudete().find("13&Cluj|"), std::string::npos);
    EXPECT_FALSE(s.lists().gListaSectii().empty());
    EXPECT_FALSE(s.lists().gListaPerioade().empty());
    ASSERT_TRUE(GlobalUI::gCache());
    EXPECT_GT(com::getProperty(*GlobalUI::gCache()->Judete(), "Count").toLong(), 40);
    EXPECT_TRUE(GlobalUI::gCache()->Rapoarte());
    EXPECT_EQ(mainWindow()->sBar()->panelText(5).toStdString(), "Judetul: ---");
    EXPECT_EQ(mainWindow()->sBar()->panelText(6).toStdString(), "Utilizator: operator");
    EXPECT_EQ(com::app::helpFile(), (program / "Velmora.html").string());
}

// A control's failure inside a window event, which no caller receives (here a handler of
// the host's own that fails on a click), reaches the user once, in the program's error box.
TEST_F(StartUp, ControlFailuresInsideWindowEventsShowTheErrorBox) {
    runMain(test::kUser, test::kPassword);
    ASSERT_NE(mainWindow(), nullptr);
    ASSERT_TRUE(boxes.shown().empty());
    velmora::HostedControl* field = velmora::HostedControl::create("Quillon.ControlPersonal", mainWindow(), "ctlTest");
    auto sink = com::make<com::EventSink>();
    sink->on(quillon::control_personal::event::Click,
             [](com::Args) { com::raise(com::errc::DivisionByZero, "frmTest-ctlTest_Click", "Impartire la zero."); });
    const com::EventConnection connection(field->object(), quillon::control_personal::EventsId, sink);
    field->widget()->setGeometry(10, 10, 200, 24);
    QWidget* txt = field->widget()->findChild<QLineEdit*>("txt");
    ASSERT_NE(txt, nullptr);
    QTest::mouseClick(txt, Qt::LeftButton);
    ASSERT_EQ(boxes.shown().size(), 1u);
    EXPECT_EQ(boxes.shown()[0].icon, velmora::MsgIcon::Critical);
    EXPECT_EQ(boxes.shown()[0].title, "ATENTIE!");
    EXPECT_EQ(boxes.shown()[0].text,
              "Numar Eroare: 11.\r\nDescriere Eroare: Impartire la zero.\r\nModulul: frmTest\r\n"
              "Subrutina/Functia: ctlTest_Click\r\n");
}

TEST_F(StartUp, TheConfiguredHospitalIsLoadedAndShown) {
    configure("13", "1");
    runMain(test::kUser, test::kPassword);
    ASSERT_NE(mainWindow(), nullptr);
    const auto& s = GlobalUI::session();
    EXPECT_EQ(s.config().gDenJudet(), "Cluj");
    EXPECT_EQ(s.config().gCodSpital(), "SJU01");
    EXPECT_EQ(s.lists().gListaSpitale().rfind("1&SJU01---", 0), 0u);
    EXPECT_EQ(mainWindow()->sBar()->panelText(5).toStdString(), "Judetul: Cluj---SJU01");

    // Unloading the main window releases the cache and the connection.
    QPointer<velmora::frmMain> window = mainWindow();
    window->close();
    EXPECT_TRUE(test::processUntil([&window] { return window.isNull(); }));
    EXPECT_FALSE(GlobalUI::gCache());
    EXPECT_FALSE(s.account().gConection);
}

TEST_F(StartUp, LeftoversOfCrashedRunsAreRemovedAtStartUpAndNoFileOfTheUsers) {
    const pid_t child = ::fork();
    if (child == 0) ::_exit(0);
    ASSERT_GT(child, 0);
    ::waitpid(child, nullptr, 0);  // a process id that is gone
    const std::string dead = std::to_string(child);
    const std::string live = std::to_string(::getpid());
    const std::filesystem::path exports = data / "export";
    std::filesystem::create_directories(exports);
    const std::vector<std::filesystem::path>
        stale{data / (".Velmora.mdb.compact-" + dead + "-0"),
              exports / (".Velmora_Cluj_SJU01_Ianuarie 2024_03.02.2025_957.mdb.export-" + dead + "-1"),
              exports / (".Velmora_Cluj_SJU01_Ianuarie 2024_03.02.2025_957.mdb.export-" + dead + "-1-journal"),
              backups / (".VelmoraBck__03.02.2025.mdb.copy-" + dead + "-0"),
              program / (".Init.xml.save-" + dead + "-3"),
              program / (".registry.save-" + dead + "-4")};
    // A run that is alive, one that holds its temporary, and the user's own files, whatever
    // their names.
    const std::vector<std::filesystem::path> kept{exports / (".Velmora_x.mdb.export-" + live + "-0"),
                                                  program / (".Init.xml.save-" + dead + "-5"),
                                                  program / "Init.xml.bak",
                                                  program / "Init.xml.backup",
                                                  program / "Init.xml.sample",
                                                  program / "Init.xml.202412",
                                                  program / "Init.xml.orig01",
                                                  program / "Init.xml.a1B2c3",
                                                  data / "Init.xml.z1z2z3",
                                                  data / "Temp.mdb",
                                                  exports / "Temp.mdb"};
    for (const auto& file : stale) test::writeText(file, "left by a crash");
    for (const auto& file : kept) test::writeText(file, "not a leftover");
    // A rewrite of Init.xml that a run on another machine is making holds its file.
    const int rewriting = ::open((program / (".Init.xml.save-" + dead + "-5")).c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_EQ(::flock(rewriting, LOCK_EX | LOCK_NB), 0);
    // A link or a pipe under a leftover's name is neither followed nor waited on.
    const std::filesystem::path precious = data / "precious.txt";
    test::writeText(precious, "precious");
    std::filesystem::create_symlink(precious, backups / (".VelmoraBck__x.mdb.copy-" + dead + "-1"));
    std::filesystem::create_symlink(precious, program / (".Init.xml.save-" + dead + "-6"));
    ASSERT_EQ(::mkfifo((program / (".Init.xml.save-" + dead + "-7")).c_str(), 0600), 0);

    runMain(test::kUser, test::kPassword);
    ::close(rewriting);
    ASSERT_NE(mainWindow(), nullptr) << (boxes.shown().empty() ? "" : boxes.shown()[0].text);
    for (const auto& file : stale) EXPECT_FALSE(std::filesystem::exists(file)) << file;
    for (const auto& file : kept) EXPECT_EQ(test::readText(file), "not a leftover") << file;
    EXPECT_EQ(test::readText(precious), "precious");
    EXPECT_TRUE(std::filesystem::is_fifo(program / (".Init.xml.save-" + dead + "-7")));
}

// A county or hospital that Init.xml names but the database does not hold is taken as not
// configured for the run, with one message at start-up; the file stays as it was, and no
// sheet can be entered (hence saved) for that hospital. A hospital of another county is not
// among the configured county's hospitals either: the screens could neither show nor find
// what was saved for it.
TEST_F(StartUp, ACountyOrHospitalMissingFromTheDatabaseStartsUnconfigured) {
    struct Case {
        const char* judet;
        const char* spital;
        int32_t idJudet;
        const char* panel;
    };
    for (const Case& c : {Case{"13", "555", 13, "Judetul: Cluj"}, Case{"99", "1", -1, "Judetul: ---"},
                          Case{"13", "12", 13, "Judetul: Cluj"}}) {
        GlobalUI::resetSession();
        boxes.clear();
        configure(c.judet, c.spital);
        const std::string before = test::readText(program / "Init.xml");
        runMain(test::kUser, test::kPassword);
        ASSERT_NE(mainWindow(), nullptr) << c.spital;
        ASSERT_EQ(boxes.shown().size(), 1u) << c.spital;
        EXPECT_EQ(boxes.shown()[0].text,
                  "Judetul sau spitalul din fisierul de configurare nu exista in baza de date.\r\n"
                  "Configurati aplicatia din meniul Administrare.");
        EXPECT_EQ(boxes.shown()[0].icon, velmora::MsgIcon::Information);
        EXPECT_EQ(boxes.shown()[0].title, "ATENTIE!");
        const auto& s = GlobalUI::session();
        EXPECT_EQ(s.config().gIdJudet(), c.idJudet);
        EXPECT_EQ(s.config().gIdSpital(), -1);
        EXPECT_EQ(s.config().gCodSpital(), "");
        EXPECT_EQ(mainWindow()->sBar()->panelText(5).toStdString(), c.panel);
        EXPECT_EQ(test::readText(program / "Init.xml"), before);

        for (const char* menu : {"mnuCostSpital", "mnuCostSectie", "mnuSectii"}) {
            boxes.clear();
            mainWindow()->menuItem(QString::fromLatin1(menu))->trigger();
            EXPECT_EQ(boxes.texts(), std::vector<std::string>{"Spitalul trebuie mai intai configurat."}) << menu;
            EXPECT_TRUE(mainWindow()->mdiArea()->subWindowList().isEmpty()) << menu;
        }
    }
}

TEST_F(StartUp, AnEmptyPeriodTableStillStarts) {
    test::execSql(data / test::kDatabase, "DELETE FROM Nom_Perioade");
    runMain(test::kUser, test::kPassword);
    ASSERT_NE(mainWindow(), nullptr);
    EXPECT_EQ(GlobalUI::session().lists().gListaPerioade(), "");
    EXPECT_TRUE(boxes.shown().empty());
}

TEST_F(StartUp, AWrongPasswordIsReportedOnceAndTheRunEnds) {
    runMain(test::kUser, "wrong");
    ASSERT_EQ(boxes.shown().size(), 1u);
    const std::string& text = boxes.shown()[0].text;
    EXPECT_EQ(text.rfind("Numar Eroare: ", 0), 0u);
    EXPECT_NE(text.find(".\r\nDescriere Eroare: Eroare la conectarea la baza de date (Cale baza incorecta, parola "
                        "gresita, utilizator nepermis).\r\nUtilizatorul sau parola nu sunt corecte.\r\n"
                        "Modulul: GlobalUI\r\nSubrutina/Functia: Main\r\n"),
              std::string::npos)
        << text;
    EXPECT_EQ(boxes.shown()[0].title, "ATENTIE!");
    EXPECT_EQ(mainWindow(), nullptr);
    EXPECT_FALSE(GlobalUI::session().account().gConection);
}

TEST_F(StartUp, ABadConfigurationFileEndsTheRunWithTheErrorBox) {
    std::filesystem::remove(program / "Init.xml");
    expectStartFailure(com::errc::FileNotFound);

    boxes.clear();
    test::writeText(program / "Init.xml", "<Initializare><MyPath>");
    expectStartFailure(com::errc::ObjectNotSet);

    boxes.clear();
    std::string text = test::initText(values);
    text.erase(text.find("  <MyFiserAcces>"), text.find("  <MyFiserDSN>") - text.find("  <MyFiserAcces>"));
    test::writeText(program / "Init.xml", text);
    expectStartFailure(com::errc::ObjectNotSet);

    boxes.clear();
    configure("treisprezece", "1");
    expectStartFailure(com::errc::TypeMismatch);
    // Neither a fraction nor another way of writing a number stands for an id.
    for (const char* hospital : {"10.4", "&HA", "1e1"}) {
        boxes.clear();
        configure("-1", hospital);
        expectStartFailure(com::errc::TypeMismatch);
    }
    boxes.clear();
    configure("13.6", "-1");
    expectStartFailure(com::errc::TypeMismatch);
    boxes.clear();
    configure("-1", "4294967297");
    expectStartFailure(com::errc::Overflow);

    boxes.clear();
    std::filesystem::remove(program / "Init.xml");
    std::filesystem::create_directory(program / "Init.xml");
    expectStartFailure(com::errc::PathFileAccessError);
    EXPECT_NE(boxes.shown()[0].text.find("Descriere Eroare: Fisierul " + (program / "Init.xml").string() +
                                         " nu poate fi citit: este un folder.\r\n"),
              std::string::npos)
        << boxes.shown()[0].text;
    std::filesystem::remove(program / "Init.xml");

    boxes.clear();
    values.MyPath = (data / "elsewhere").string();  // the database is not where the file says
    configure("-1", "-1");
    runMain(test::kUser, test::kPassword);
    ASSERT_EQ(boxes.shown().size(), 1u);
    EXPECT_NE(boxes.shown()[0].text.find("Descriere Eroare: Eroare la conectarea la baza de date (Cale baza "
                                         "incorecta, parola gresita, utilizator nepermis).\r\nFisierul " +
                                         (data / "elsewhere" / test::kWorkgroup).string() +
                                         " nu exista.\r\nModulul: GlobalUI\r\n"),
              std::string::npos)
        << boxes.shown()[0].text;
    EXPECT_EQ(mainWindow(), nullptr);
    EXPECT_FALSE(GlobalUI::session().account().gConection);  // the connection that failed is released
}

TEST_F(StartUp, IncompleteLoginEndsTheRunWithItsMessage) {
    runMain([](frmLogin& login) {
        typeUser(login, QStringLiteral("operator"));
        QTest::mouseClick(login.cmdAccepta(), Qt::LeftButton);
    });
    EXPECT_EQ(boxes.texts(), std::vector<std::string>{"Date incomplete cu privire la rularea aplicatiei."});
    EXPECT_EQ(mainWindow(), nullptr);
    EXPECT_EQ(GlobalUI::session().account().gUser, "");

    boxes.clear();
    runMain([](frmLogin& login) {
        QTest::keyClicks(login.txtPassword(), QStringLiteral("velmora"));
        QTest::mouseClick(login.cmdAccepta(), Qt::LeftButton);
    });
    EXPECT_EQ(boxes.texts(), std::vector<std::string>{"Date incomplete cu privire la rularea aplicatiei."});
}

TEST_F(StartUp, TheLoginTakesNameAndPasswordUntrimmed) {
    std::string user;
    std::string password;
    bool accepted = false;
    runMain([&](frmLogin& login) {
        typeUser(login, QStringLiteral("  "));
        QTest::keyClicks(login.txtPassword(), QStringLiteral(" x "));
        QTest::mouseClick(login.cmdAccepta(), Qt::LeftButton);
        accepted = login.Continua();
        user = GlobalUI::session().account().gUser;
        password = GlobalUI::session().account().gPassword;
    });
    EXPECT_TRUE(accepted);  // blanks count as filled in; the connection then refuses them
    EXPECT_EQ(user, "  ");
    EXPECT_EQ(password, " x ");
    ASSERT_EQ(boxes.shown().size(), 1u);
    EXPECT_NE(boxes.shown()[0].text.find("Eroare la conectarea la baza de date"), std::string::npos);
}

TEST_F(StartUp, ClosingOrCancellingTheLoginEndsTheRunSilently) {
    runMain([](frmLogin& login) { login.close(); });
    EXPECT_TRUE(boxes.shown().empty());
    EXPECT_EQ(mainWindow(), nullptr);
    runMain([](frmLogin& login) {
        typeUser(login, QStringLiteral("operator"));
        QTest::mouseClick(login.cmdRenunta(), Qt::LeftButton);
    });
    EXPECT_TRUE(boxes.shown().empty());
    EXPECT_EQ(mainWindow(), nullptr);
}

TEST_F(StartUp, EnterInThePasswordMovesOnAndDoesNotAccept) {
    bool stillOpen = false;
    bool focusMoved = false;
    runMain([&](frmLogin& login) {
        typeUser(login, QStringLiteral("operator"));
        login.txtPassword()->setFocus();
        QTest::keyClicks(login.txtPassword(), QStringLiteral("velmora"));
        QTest::keyClick(login.txtPassword(), Qt::Key_Return);
        test::processUntil([&login] { return !login.txtPassword()->hasFocus(); });
        stillOpen = login.isVisible();
        focusMoved = login.cmdAccepta()->hasFocus();
        QTest::mouseClick(login.cmdRenunta(), Qt::LeftButton);
    });
    EXPECT_TRUE(stillOpen);
    EXPECT_TRUE(focusMoved);
    EXPECT_EQ(mainWindow(), nullptr);
    EXPECT_TRUE(boxes.shown().empty());
}

TEST_F(StartUp, ASecondInstanceIsRefused) {
    velmora::SingleInstance::release();
    QLockFile other(velmora::SingleInstance::defaultLockPath());
    ASSERT_TRUE(other.tryLock(0));
    bool loginShown = false;
    runMain([&loginShown](frmLogin& login) {
        loginShown = true;
        login.close();
    });
    other.unlock();
    EXPECT_FALSE(loginShown);
    EXPECT_EQ(boxes.texts(),
              std::vector<std::string>{
                  "Aplicatia nu permite folosirea mai multor instante ale sale simultan.\r\n"
                  "Folositi instanta curenta, sau in cazul in care aceasta este blocata, distrugeti-o din TaskBar si "
                  "apoi reveniti."});
    EXPECT_EQ(mainWindow(), nullptr);
}

TEST_F(StartUp, ALockFileThatCannotBeMadeIsReportedNotTakenForASecondInstance) {
    velmora::SingleInstance::release();
    const QString saved = qEnvironmentVariable("VELMORA_LOCK_FILE");
    const std::string unreachable = (data / "no-such-folder" / "velmora.lock").string();
    qputenv("VELMORA_LOCK_FILE", QByteArray::fromStdString(unreachable));
    bool loginShown = false;
    runMain([&loginShown](frmLogin& login) {
        loginShown = true;
        login.close();
    });
    qputenv("VELMORA_LOCK_FILE", saved.toLocal8Bit());
    EXPECT_FALSE(loginShown);
    ASSERT_EQ(boxes.shown().size(), 1u);
    EXPECT_EQ(boxes.shown()[0].icon, velmora::MsgIcon::Critical);
    EXPECT_NE(boxes.shown()[0].text.find("no-such-folder/velmora.lock nu poate fi creat.\r\nModulul: GlobalUI\r\n"
                                         "Subrutina/Functia: Main\r\n"),
              std::string::npos)
        << boxes.shown()[0].text;
    EXPECT_EQ(mainWindow(), nullptr);
}

TEST_F(StartUp, BackupOfTheOpenDatabase) {
    configure("13", "1");
    runMain(test::kUser, test::kPassword);
    ASSERT_NE(mainWindow(), nullptr);
    mainWindow()->setClock([] { return QDateTime(QDate(2025, 2, 3), QTime(10, 0)); });
    mainWindow()->mnuBackup_Click();
    EXPECT_EQ(boxes.texts(), std::vector<std::string>{"Operatia de backup s-a efectuat cu succes."});
    const auto target = backups / "VelmoraBck__03.02.2025.mdb";
    ASSERT_TRUE(std::filesystem::exists(target));
    for (const char* table : {"Nom_Spitale", "Velmora_Spital", "Velmora_Sectie", "Rapoarte"})
        EXPECT_EQ(test::rowCount(target, table), test::rowCount(data / test::kDatabase, table)) << table;
    EXPECT_TRUE(mainWindow()->isEnabled());

    mainWindow()->mnuBackup_Click();  // the same day again: still one file
    int files = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(backups.path())) ++files;
    EXPECT_EQ(files, 1);

    const std::string good = test::readText(target);
    test::reconfigure([&](GlobalUI::Configuration::Place&, GlobalUI::Configuration::Folders& folders) {
        folders.myBackup = (backups / "gone").string();
    });
    boxes.clear();
    mainWindow()->mnuBackup_Click();
    ASSERT_EQ(boxes.shown().size(), 1u);
    // The three lines, then the real cause, naming the missing folder, on a line of its own.
    EXPECT_NE(boxes.shown()[0].text.find("Descriere Eroare: Eroare la efectuarea operatiei de backup a bazei de "
                                         "date.\r\nCauza posibila: probleme in retea.\r\nAnuntati va rugam "
                                         "serviciul informatic.\r\nFolderul " +
                                         (backups / "gone").string() +
                                         " nu exista.\r\nModulul: Backup\r\nSubrutina/Functia: Backup\r\n"),
              std::string::npos)
        << boxes.shown()[0].text;
    EXPECT_TRUE(mainWindow()->isEnabled());
    EXPECT_EQ(test::readText(target), good);
}

TEST(KeyedCombo, FillComboOnTheRealComboBox) {
    QWidget form;
    velmora::HostedControl* combo = velmora::HostedControl::create("Quillon.MyCombo", &form, QStringLiteral("cmb"));
    GlobalUI::FillCombo(combo->object(), "5&A|7&B|");
    EXPECT_EQ(combo->get("ListCount").toLong(), 2);
    combo->put("Cheie", com::Variant(int32_t{7}));
    EXPECT_EQ(combo->get("Text").toString(), "B");
    try {
        GlobalUI::FillCombo(combo->object(), "9&C|5&D|");
        FAIL() << "a duplicate id was accepted";
    } catch (const com::Error& e) {
        EXPECT_EQ(e.source(), "MyCombo-AddItem");
    }
    EXPECT_EQ(combo->get("ListCount").toLong(), 3);  // the rows before the duplicate stay
}

}  // namespace

namespace {

// An edit form with the controls the controller locks by name, and one it must leave alone.
struct CostSheetForm {
    QWidget form;
    velmora::ButtonBar bar = velmora::createButtonBar(&form);
    velmora::FormController controller;
    std::map<std::string, velmora::HostedControl*> fields;

    CostSheetForm() {
        fields["cmbSpital"] = velmora::HostedControl::create("Quillon.MyCombo", &form, QStringLiteral("cmbSpital"));
        for (const char* name : {"ctlc22", "ctlc23", "ctlc24", "ctlc25"})
            fields[name] = velmora::HostedControl::create("Quillon.ControlPersonal", &form, QString::fromLatin1(name));
        QList<QAbstractButton*> buttons;
        for (QPushButton* button : bar.cmdButton) buttons.append(button);
        controller.AttachForm(&form);
        controller.SeteazaButoane(buttons);
    }

    std::vector<std::string> locked() const {
        std::vector<std::string> names;
        for (const auto& [name, control] : fields)
            if (!control->get("Enabled").toBool()) {
                EXPECT_EQ(control->get("BackColor").toLong(), static_cast<int32_t>(0x8000000Fu)) << name;
                names.push_back(name);
            }
        return names;
    }
};

TEST(EditFormController, LocksTheFieldsTheCostSheetComputes) {
    {
        CostSheetForm hospital;
        const auto sheet = test::newBusinessObject("CostSpital");
        EXPECT_EQ(velmora::typeNameOf(*sheet), "CostSpital");
        hospital.controller.AttachObject(sheet);
        hospital.controller.Activate();
        EXPECT_EQ(hospital.locked(), (std::vector<std::string>{"cmbSpital", "ctlc23", "ctlc24", "ctlc25"}));
        hospital.fields["ctlc24"]->put("Enabled", com::Variant(true));  // any later call locks it again
        hospital.controller.DirtyHandler(sheet);
        EXPECT_EQ(hospital.locked().size(), 4u);
    }
    {
        CostSheetForm ward;
        const auto sheet = test::newBusinessObject("CostSectie");
        ward.controller.AttachObject(sheet);
        ward.controller.Activate();
        EXPECT_EQ(ward.locked(), (std::vector<std::string>{"ctlc24", "ctlc25"}));
    }
    {
        CostSheetForm registerForm;
        const auto hospital = test::newBusinessObject("Spital");
        EXPECT_EQ(velmora::typeNameOf(*hospital), "Spital");
        registerForm.controller.AttachObject(hospital);
        registerForm.controller.Activate();
        EXPECT_TRUE(registerForm.locked().empty());
        EXPECT_EQ(registerForm.controller.ButoaneVisibile(), 72);  // a new, blank hospital
    }
    {
        QWidget bare;  // a cost-sheet form without its total fields: the form hears of it
        velmora::FormController controller;
        controller.AttachForm(&bare);
        controller.AttachObject(test::newBusinessObject("CostSpital"));
        EXPECT_THROW(controller.Activate(), com::Error);
    }
}

}  // namespace

namespace {

class StartUpKeyboard : public StartUp {};

// Keys go where the focus is, as the user's do.
void press(int key) {
    QWidget* target = QApplication::focusWidget();
    if (target) QTest::keyClick(target, static_cast<Qt::Key>(key));
}
void type(const QString& text) {
    if (QWidget* target = QApplication::focusWidget()) QTest::keyClicks(target, text);
}
bool waitForFocus(QWidget* widget) {
    return test::processUntil([widget] { return widget->hasFocus(); });
}

TEST_F(StartUpKeyboard, TheLoginWithTheKeyboardAlone) {
    bool reachedAccepta = false;
    runMain([&](frmLogin& login) {
        login.ctlUser()->widget()->setFocus();
        type(QStringLiteral("operator"));
        press(Qt::Key_Return);
        if (!waitForFocus(login.txtPassword())) return;
        type(QStringLiteral("velmora"));
        press(Qt::Key_Return);
        reachedAccepta = waitForFocus(login.cmdAccepta());
        press(Qt::Key_Return);
        QCoreApplication::processEvents();
        if (login.isVisible()) login.close();  // Enter did not press "Accepta"
    });
    EXPECT_TRUE(reachedAccepta);
    EXPECT_TRUE(boxes.shown().empty()) << boxes.shown()[0].text;
    ASSERT_NE(mainWindow(), nullptr);
    EXPECT_EQ(GlobalUI::session().account().gUser, "operator");
}

// Shift+Enter is Enter: in the user control, in the password field and on "Accepta".
// Ctrl+Enter or Alt+Enter is not: the focus stays where it is and nothing is pressed.
TEST_F(StartUpKeyboard, ShiftEnterMovesOnAsEnterAndCtrlOrAltEnterDoesNot) {
    const auto pressWith = [](Qt::KeyboardModifiers modifiers) {
        if (QWidget* target = QApplication::focusWidget()) QTest::keyClick(target, Qt::Key_Return, modifiers);
        for (int round = 0; round < 3; ++round) QCoreApplication::processEvents();
    };
    bool userKept = false;
    bool passwordKept = false;
    bool reachedAccepta = false;
    bool acceptaKept = false;
    runMain([&](frmLogin& login) {
        [&] {
            login.ctlUser()->widget()->setFocus();
            type(QStringLiteral("operator"));
            pressWith(Qt::ControlModifier);
            pressWith(Qt::AltModifier);
            userKept = test::hasFocus(login.ctlUser()->widget());
            pressWith(Qt::ShiftModifier);
            if (!waitForFocus(login.txtPassword())) return;
            type(QStringLiteral("velmora"));
            pressWith(Qt::ControlModifier);
            pressWith(Qt::AltModifier);
            passwordKept = login.txtPassword()->hasFocus() && login.isVisible();
            pressWith(Qt::ShiftModifier);
            reachedAccepta = waitForFocus(login.cmdAccepta()) && login.isVisible();
            if (!reachedAccepta) return;
            pressWith(Qt::ControlModifier);
            acceptaKept = login.isVisible();
            if (acceptaKept) pressWith(Qt::ShiftModifier);
        }();
        if (login.isVisible()) login.close();  // Shift+Enter did not press "Accepta"
    });
    EXPECT_TRUE(userKept);
    EXPECT_TRUE(passwordKept);
    EXPECT_TRUE(reachedAccepta);
    EXPECT_TRUE(acceptaKept);
    EXPECT_TRUE(boxes.shown().empty()) << boxes.shown()[0].text;
    ASSERT_NE(mainWindow(), nullptr);
    EXPECT_EQ(GlobalUI::session().account().gUser, "operator");
    EXPECT_EQ(GlobalUI::session().account().gPassword, "velmora");
}

TEST_F(StartUpKeyboard, EscapeDoesNotEndTheLogin) {
    bool stillOpen = false;
    std::string typed;
    runMain([&](frmLogin& login) {
        login.ctlUser()->widget()->setFocus();
        type(QStringLiteral("oper"));
        press(Qt::Key_Escape);
        login.txtPassword()->setFocus();
        press(Qt::Key_Escape);
        login.cmdRenunta()->setFocus();
        press(Qt::Key_Escape);
        QCoreApplication::processEvents();
        stillOpen = login.isVisible();
        typed = login.ctlUser()->get("Valoare").toString();
        login.close();  // the close box still ends the run, silently
    });
    EXPECT_TRUE(stillOpen);
    EXPECT_EQ(typed, "oper");
    EXPECT_TRUE(boxes.shown().empty());
    EXPECT_EQ(mainWindow(), nullptr);
}

TEST_F(StartUpKeyboard, TheBackupBusyPointerIsTheMainWindowsOnly) {
    runMain(test::kUser, test::kPassword);
    ASSERT_NE(mainWindow(), nullptr);
    bool overridden = true;
    Qt::CursorShape windowPointer = Qt::ArrowCursor;
    const velmora::MessageHandler previous = velmora::setMessageHandler([&](const velmora::MessageRequest&) {
        overridden = QApplication::overrideCursor() != nullptr;
        windowPointer = mainWindow()->cursor().shape();
        return velmora::MsgAnswer::Ok;
    });
    mainWindow()->mnuBackup_Click();
    velmora::setMessageHandler(previous);
    EXPECT_FALSE(overridden);
    EXPECT_EQ(windowPointer, Qt::WaitCursor);
    EXPECT_EQ(mainWindow()->cursor().shape(), Qt::ArrowCursor);  // restored afterwards
    EXPECT_TRUE(mainWindow()->isEnabled());
}

}  // namespace
