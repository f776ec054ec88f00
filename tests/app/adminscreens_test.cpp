// The configuration and period export screens on a real session: the sample database made
// by mkdata, a real Init.xml, the real libraries by ProgID.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFileSystemModel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <memory>

#include "com/error.h"
#include "forms/foldertree.h"
#include "forms/hostedcontrol.h"
#include "screens/frmconfigurare.h"
#include "screens/frmexportdate.h"
#include "shell/frmmain.h"
#include "shell/globalui.h"
#include "session/initfile.h"
#include "shell/statusbar.h"
#include "screen_session.h"
#include "support.h"

namespace {

namespace fs = std::filesystem;
using velmora::frmConfigurare;
using velmora::frmExportDate;

// The sample database with export and backup folders of their own; each test starts the
// session itself, with the county and hospital it needs.
class AdminScreens : public test::ScreenSession {
protected:
    void SetUp() override {
        install();
        fs::create_directories(data / "export");
        fs::create_directories(data / "backup");
        values.MyExport = (data / "export").string();
        values.MyBackup = (data / "backup").string();
    }
    void TearDown() override {
        frmConfigurare::setAcceptStepHook({});
        ScreenSession::TearDown();
    }

    // Logs in as the sample account with the county and hospital configured ("-1": none).
    void start(const std::string& judet, const std::string& spital) {
        configure(judet, spital);
        logIn();
    }
    static int32_t key(const velmora::HostedControl* combo) { return combo->get("Cheie").toLong(); }
    static void choose(velmora::HostedControl* combo, int32_t id) { combo->put("Cheie", com::Variant(id)); }
};

// What the session says about the configuration, for before/after comparisons.
struct Configured {
    int32_t idJudet, idSpital;
    std::string denJudet, codSpital, listaSpitale, myExport, myBackup;
    bool operator==(const Configured&) const = default;
    static Configured now() {
        const auto& s = GlobalUI::session();
        return {s.config().gIdJudet(),     s.config().gIdSpital(), s.config().gDenJudet(), s.config().gCodSpital(),
                s.lists().gListaSpitale(), s.config().gMyExport(), s.config().gMyBackup()};
    }
};

TEST_F(AdminScreens, FirstConfigurationWritesTheFileThenTheSessionAndThePanel) {
    start("-1", "-1");
    auto form = std::make_unique<frmConfigurare>(mainWindow());
    form->show();
    EXPECT_EQ(form->windowTitle().toStdString(), "Configurare parametrii aplicatie");
    EXPECT_EQ(key(form->cmbJudet()), -1);
    EXPECT_EQ(form->cmbSpital()->get("ListCount").toLong(), 0);
    EXPECT_EQ(form->dirExport()->path().toStdString(), values.MyExport);
    EXPECT_EQ(form->dirBackup()->path().toStdString(), values.MyBackup);

    choose(form->cmbJudet(), 13);  // the county's click lists its hospitals
    EXPECT_EQ(form->cmbSpital()->get("ListCount").toLong(), 3);
    EXPECT_EQ(GlobalUI::session().lists().gListaSpitale(), "");  // only an accept changes it
    choose(form->cmbSpital(), 10);
    fs::create_directories(data / "elsewhere");
    form->dirBackup()->setPath(QString::fromStdString((data / "elsewhere").string()));
    QTest::mouseClick(form->cmdAccepta(), Qt::LeftButton);

    EXPECT_EQ(boxes.texts(), std::vector<std::string>{"Operatia de configurare s-a efectuat cu succes."});
    EXPECT_FALSE(form->isVisible());
    const velmora::InitValues file = velmora::readInitFile(initFile());
    EXPECT_EQ(file.MyJudet, 13);
    EXPECT_EQ(file.MySpital, 10);
    EXPECT_EQ(file.MyExport, values.MyExport);
    EXPECT_EQ(file.MyBackup, (data / "elsewhere").string());
    const auto& s = GlobalUI::session();
    EXPECT_EQ(s.config().gIdJudet(), 13);
    EXPECT_EQ(s.config().gDenJudet(), "Cluj");
    EXPECT_EQ(s.config().gIdSpital(), 10);
    EXPECT_EQ(s.config().gCodSpital(), "SMC02");
    EXPECT_EQ(s.lists().gListaSpitale().rfind("1&SJU01---", 0), 0u);
    EXPECT_NE(s.lists().gListaSpitale().find("|10&SMC02---Spitalul Municipal Exemplu|"), std::string::npos);
    EXPECT_EQ(s.config().gMyBackup(), file.MyBackup);
    EXPECT_EQ(mainWindow()->sBar()->panelText(5).toStdString(), "Judetul: Cluj---SMC02");

    // The next start reads the same.
    form.reset();
    GlobalUI::resetSession();
    GlobalUI::session().account().gUser = test::kUser;
    GlobalUI::session().account().gPassword = test::kPassword;
    GlobalUI::OpenSession();
    EXPECT_EQ(Configured::now().codSpital, "SMC02");
    EXPECT_EQ(mainWindow()->sBar()->panelText(5).toStdString(), "Judetul: Cluj---SMC02");
}

// The screen knows no main window: the session tells every window that shows the
// configuration, the status bar first, before the success box; a refused accept tells none.
TEST_F(AdminScreens, AnAcceptTellsTheSessionsWindowsBeforeItsBox) {
    start("-1", "-1");
    std::vector<std::string> heard;  // the panel and the boxes shown, as each signal arrives
    QObject listener;
    QObject::connect(&GlobalUI::sessionEvents(), &GlobalUI::SessionEvents::configurationChanged, &listener, [&] {
        heard.push_back(mainWindow()->sBar()->panelText(5).toStdString() +
                        " / boxes: " + std::to_string(boxes.shown().size()));
    });
    frmConfigurare form;  // no parent: nothing of the main window is within its reach
    form.show();

    choose(form.cmbJudet(), 13);
    QTest::mouseClick(form.cmdAccepta(), Qt::LeftButton);  // no hospital chosen: refused
    EXPECT_EQ(boxes.texts(), std::vector<std::string>{"Spitalul trebuie configurat."});
    EXPECT_TRUE(heard.empty());

    boxes.clear();
    choose(form.cmbSpital(), 10);
    QTest::mouseClick(form.cmdAccepta(), Qt::LeftButton);
    EXPECT_EQ(heard, std::vector<std::string>{"Judetul: Cluj---SMC02 / boxes: 0"});
    EXPECT_EQ(boxes.texts(), std::vector<std::string>{"Operatia de configurare s-a efectuat cu succes."});
}

TEST_F(AdminScreens, AHospitalWithSheetsKeepsItsCountyAndHospital) {
    start("13", "1");
    const std::string before = test::readText(initFile());
    const Configured session = Configured::now();
    frmConfigurare form(mainWindow());
    form.show();
    EXPECT_EQ(key(form.cmbJudet()), 13);
    EXPECT_EQ(key(form.cmbSpital()), 1);

    const std::string refusal =
        "Modificarea judetului | spitalului nu poate avea loc.\r\nExista date introduse pentru vechile valori judet | "
        "spital.";
    choose(form.cmbSpital(), 10);
    QTest::mouseClick(form.cmdAccepta(), Qt::LeftButton);
    choose(form.cmbJudet(), 5);
    EXPECT_EQ(key(form.cmbSpital()), -1);
    choose(form.cmbSpital(), 12);
    QTest::mouseClick(form.cmdAccepta(), Qt::LeftButton);
    EXPECT_EQ(boxes.texts(), std::vector<std::string>(2, refusal));
    EXPECT_EQ(test::readText(initFile()), before);
    EXPECT_EQ(Configured::now(), session);
    EXPECT_TRUE(form.isVisible());

    // "Renunta" puts everything back and keeps the screen open.
    fs::create_directories(data / "other");
    form.dirExport()->setPath(QString::fromStdString((data / "other").string()));
    QTest::mouseClick(form.cmdRenunta(), Qt::LeftButton);
    EXPECT_TRUE(form.isVisible());
    EXPECT_EQ(form.dirExport()->path().toStdString(), values.MyExport);
    EXPECT_EQ(key(form.cmbJudet()), 13);
    EXPECT_EQ(form.cmbSpital()->get("ListCount").toLong(), 3);
    EXPECT_EQ(key(form.cmbSpital()), 1);

    // The same pair with other folders passes.
    boxes.clear();
    form.dirExport()->setPath(QString::fromStdString((data / "other").string()));
    QTest::mouseClick(form.cmdAccepta(), Qt::LeftButton);
    EXPECT_EQ(boxes.texts(), std::vector<std::string>{"Operatia de configurare s-a efectuat cu succes."});
    EXPECT_EQ(velmora::readInitFile(initFile()).MyExport, (data / "other").string());
    EXPECT_EQ(GlobalUI::session().config().gMyExport(), (data / "other").string());
    EXPECT_EQ(GlobalUI::session().config().gIdSpital(), 1);
}

TEST_F(AdminScreens, ConfigurationOpensOnIdsAndFoldersThatAreGone) {
    values.MyExport = (data / "export" / "gone" / "deeper").string();
    start("13", "77");  // a hospital removed from the register: the run starts without it
    EXPECT_EQ(boxes.texts(),
              std::vector<std::string>{"Judetul sau spitalul din fisierul de configurare nu exista in baza de date.\r\n"
                                       "Configurati aplicatia din meniul Administrare."});
    EXPECT_EQ(GlobalUI::session().config().gIdSpital(), -1);
    boxes.clear();
    frmConfigurare form(mainWindow());
    form.show();
    EXPECT_TRUE(boxes.shown().empty());
    EXPECT_EQ(key(form.cmbJudet()), 13);
    EXPECT_EQ(key(form.cmbSpital()), -1);
    // The missing folder shows nothing selected; no other folder takes its place.
    EXPECT_TRUE(form.dirExport()->path().isEmpty());
    EXPECT_TRUE(form.dirExport()->selectionModel()->selectedIndexes().isEmpty());
    EXPECT_EQ(form.dirBackup()->path().toStdString(), values.MyBackup);

    QTest::mouseClick(form.cmdAccepta(), Qt::LeftButton);  // no hospital chosen
    EXPECT_EQ(boxes.texts(), std::vector<std::string>{"Spitalul trebuie configurat."});
    EXPECT_TRUE(form.isVisible());

    // Browsing counties and closing the window changes nothing.
    const std::string before = test::readText(initFile());
    const Configured session = Configured::now();
    choose(form.cmbJudet(), 5);
    choose(form.cmbSpital(), 12);
    form.close();
    EXPECT_EQ(test::readText(initFile()), before);
    EXPECT_EQ(Configured::now(), session);

    // Accepted with nothing selected in the export tree: its folder is stored as it was.
    boxes.clear();
    frmConfigurare again(mainWindow());
    again.show();
    choose(again.cmbJudet(), 13);
    choose(again.cmbSpital(), 1);
    QTest::mouseClick(again.cmdAccepta(), Qt::LeftButton);
    EXPECT_EQ(boxes.texts(), std::vector<std::string>{"Operatia de configurare s-a efectuat cu succes."});
    EXPECT_EQ(velmora::readInitFile(initFile()).MyExport, values.MyExport);
    EXPECT_EQ(GlobalUI::session().config().gMyExport(), values.MyExport);
    EXPECT_EQ(velmora::readInitFile(initFile()).MyBackup, values.MyBackup);
}

TEST_F(AdminScreens, AChosenFolderThatGoesAwayIsNotReplacedByAnother) {
    for (const char* name : {"a", "chosen", "z"}) fs::create_directories(data / "export" / name);
    start("13", "1");
    frmConfigurare form(mainWindow());
    form.show();
    const fs::path chosen = data / "export" / "chosen";
    form.dirExport()->setPath(QString::fromStdString(chosen.string()));
    ASSERT_EQ(form.dirExport()->path().toStdString(), chosen.string());
    fs::remove(chosen);
    // Once the tree has seen it go, nothing is selected, not a neighbour.
    EXPECT_TRUE(test::processUntil([&] { return form.dirExport()->selectionModel()->selectedIndexes().isEmpty(); }));
    EXPECT_TRUE(form.dirExport()->path().isEmpty());
    QTest::mouseClick(form.cmdAccepta(), Qt::LeftButton);
    EXPECT_EQ(boxes.texts(), std::vector<std::string>{"Operatia de configurare s-a efectuat cu succes."});
    EXPECT_EQ(velmora::readInitFile(initFile()).MyExport, values.MyExport);
}

TEST_F(AdminScreens, TheChosenFolderIsScrolledIntoViewOnceItsListHasLoaded) {
    // A long list, read in the background: the chosen folder is in view when it has loaded,
    // in every new tree and after every choice.
    const fs::path many = data / "many";
    for (int i = 0; i < 400; ++i) fs::create_directories(many / ("d" + std::to_string(1000 + i)) / "sub");
    auto inView = [](velmora::FolderTree& tree) {
        const QModelIndex current = tree.currentIndex();
        return current.isValid() && tree.viewport()->rect().contains(tree.visualRect(current));
    };
    for (int round = 0; round < 6; ++round) {
        // Chosen before the tree is shown (as the screens do), or after.
        const bool before = round % 2 == 0;
        velmora::FolderTree tree;
        tree.resize(360, 150);
        const fs::path chosen = many / ("d" + std::to_string(1390 - round * 67));
        if (before) tree.setPath(QString::fromStdString(chosen.string()));
        tree.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&tree));
        if (!before) tree.setPath(QString::fromStdString(chosen.string()));
        QTest::qWait(700);  // the lists load; nothing scrolls the tree but the tree itself
        EXPECT_EQ(tree.path().toStdString(), chosen.string());
        EXPECT_TRUE(inView(tree)) << round;
        // Chosen again in a tree whose lists have loaded.
        const fs::path next = many / ("d" + std::to_string(1005 + round));
        tree.setPath(QString::fromStdString(next.string()));
        QTest::qWait(100);
        EXPECT_TRUE(inView(tree)) << round;
    }
}

TEST_F(AdminScreens, AFolderTreeKeepsAHiddenOrLinkedFolder) {
    // Folders the tree does not list (hidden ones) or reaches through a link stay chosen as
    // given: the screen never swaps a configured folder for another.
    const fs::path hidden = data / ".velmora" / "export";
    fs::create_directories(hidden);
    fs::create_directory_symlink(data / "backup", data / "linked");
    velmora::FolderTree tree;
    tree.show();
    for (const fs::path& folder : {hidden, data / "linked"}) {
        tree.setPath(QString::fromStdString(folder.string()));
        QTest::qWait(300);  // the model reads the folders in the background
        EXPECT_EQ(tree.path().toStdString(), folder.string());
    }
}

TEST_F(AdminScreens, AFailedAcceptChangesNeitherFileNorSession) {
    start("-1", "-1");
    const std::string before = test::readText(initFile());
    const Configured session = Configured::now();
    const QString panel = mainWindow()->sBar()->panelText(5);
    auto tryAccept = [&] {
        frmConfigurare form(mainWindow());
        form.show();
        choose(form.cmbJudet(), 13);
        choose(form.cmbSpital(), 11);
        QTest::mouseClick(form.cmdAccepta(), Qt::LeftButton);
        EXPECT_TRUE(form.isVisible());
    };
    using Step = frmConfigurare::AcceptStep;
    for (const Step failing :
         {Step::Sheets, Step::CountyName, Step::HospitalList, Step::HospitalCode, Step::WriteInit}) {
        boxes.clear();
        frmConfigurare::setAcceptStepHook([failing](Step step) {
            if (step == failing) com::raise(3021, "Velmora_Business.Test", "Esec injectat.");
        });
        tryAccept();
        ASSERT_EQ(boxes.shown().size(), 1u) << static_cast<int>(failing);
        EXPECT_EQ(boxes.shown()[0].text,
                  "Numar Eroare: 3021.\r\nDescriere Eroare: Esec injectat.\r\nModulul: Configurare parametrii\r\n"
                  "Subrutina/Functia: Configurare\r\n");
        EXPECT_EQ(test::readText(initFile()), before);
        EXPECT_EQ(Configured::now(), session);
        EXPECT_EQ(mainWindow()->sBar()->panelText(5), panel);
    }
    frmConfigurare::setAcceptStepHook({});

    // Real failures: the county table unreadable, the configuration file gone.
    test::execSql(data / test::kDatabase, "ALTER TABLE Nom_Judete RENAME TO Nom_Judete_x");
    boxes.clear();
    tryAccept();
    ASSERT_EQ(boxes.shown().size(), 1u);
    EXPECT_NE(boxes.shown()[0].text.find("Modulul: Configurare parametrii\r\nSubrutina/Functia: Configurare"),
              std::string::npos);
    EXPECT_EQ(test::readText(initFile()), before);
    EXPECT_EQ(Configured::now(), session);
    test::execSql(data / test::kDatabase, "ALTER TABLE Nom_Judete_x RENAME TO Nom_Judete");

    fs::remove(initFile());
    boxes.clear();
    tryAccept();
    ASSERT_EQ(boxes.shown().size(), 1u);
    EXPECT_EQ(boxes.shown()[0].text.rfind("Numar Eroare: 53.", 0), 0u) << boxes.shown()[0].text;
    EXPECT_EQ(Configured::now(), session);
}

TEST_F(AdminScreens, ConfigurationFromTheMenuWithTheKeyboard) {
    start("13", "1");
    ASSERT_TRUE(mainWindow()->menuItem(QStringLiteral("mnuConfigurare"))->isEnabled());
    std::vector<std::string> order;
    bool closedByEscape = true;
    QTimer::singleShot(0, mainWindow(), [&] {
        auto* form = qobject_cast<frmConfigurare*>(QApplication::activeModalWidget());
        if (!form) return;
        form->activateWindow();
        (void)QTest::qWaitForWindowActive(form);
        QWidget* first = form->cmbJudet()->widget();
        first->setFocus();
        test::processUntil([first] { return test::hasFocus(first); });
        for (int i = 0; i < 6; ++i) {
            QWidget* at = QApplication::focusWidget();  // the control that holds the focused widget
            while (at && at->parentWidget() && at->parentWidget()->objectName() != QStringLiteral("picParam") &&
                   at->parentWidget() != form)
                at = at->parentWidget();
            order.push_back(at ? at->objectName().toStdString() : "");
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        }
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        closedByEscape = !form->isVisible();
        form->cmdAccepta()->setFocus();
        QTest::keyClick(form->cmdAccepta(), Qt::Key_Return);  // accepts the unchanged configuration
    });
    mainWindow()->menuItem(QStringLiteral("mnuConfigurare"))->trigger();
    EXPECT_EQ(order, (std::vector<std::string>{"cmbJudet", "cmbSpital", "dirExport", "dirBackup", "cmdAccepta",
                                               "cmdRenunta"}));
    EXPECT_FALSE(closedByEscape);
    EXPECT_EQ(boxes.texts(), std::vector<std::string>{"Operatia de configurare s-a efectuat cu succes."});
}

TEST(ExportFileName, FromOneClockReadingWithUnsafeCharactersReplaced) {
    const QDateTime when(QDate(2025, 2, 3), QTime(9, 5, 7));
    EXPECT_EQ(velmora::exportFilePath("/srv/x", "Cluj", "SP01", "Ian2025", when).string(),
              "/srv/x/Velmora_Cluj_SP01_Ian2025_03.02.2025_957.mdb");
    EXPECT_EQ(velmora::exportFilePath("/srv/x", "Cluj", "SP01", "", QDateTime(QDate(2025, 12, 31), QTime(23, 59, 0)))
                  .string(),
              "/srv/x/Velmora_Cluj_SP01__31.12.2025_23590.mdb");
    EXPECT_EQ(velmora::exportFilePath("/srv/x", "A/../B", std::string("C\0D", 3), "01/2025", when).string(),
              "/srv/x/Velmora_A_.._B_C_D_01_2025_03.02.2025_957.mdb");
}

class ExportScreen : public AdminScreens {
protected:
    void SetUp() override {
        AdminScreens::SetUp();
        fs::create_directories(data / "out");
        start("13", "1");
    }
    frmExportDate* open() {
        auto* form = ScreenSession::open<frmExportDate>("mnuExport");
        if (form) form->setClock([] { return QDateTime(QDate(2025, 2, 3), QTime(9, 5, 7)); });
        return form;
    }
    std::vector<fs::path> filesIn(const fs::path& folder) const {
        std::vector<fs::path> files;
        // Every name, hidden ones and lock companions included: the user mails from this folder.
        for (const auto& entry : fs::directory_iterator(folder)) files.push_back(entry.path().filename());
        std::sort(files.begin(), files.end());
        return files;
    }
};

TEST_F(ExportScreen, ExportsThatPeriodOnlyIntoTheChosenFolder) {
    frmExportDate* form = open();
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(form->windowTitle().toStdString(),
              "                Export date intr-un fisier Access 2000 de trimis la ZEMAT");
    EXPECT_EQ(key(form->cmbPerioada()), -1);
    EXPECT_EQ(form->DirBox()->path().toStdString(), values.MyExport);
    EXPECT_EQ(open(), form);  // one instance

    // The keyboard: the period, the folder, the button; Enter on the button presses it.
    form->cmbPerioada()->widget()->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_TRUE(form->DirBox()->hasFocus());
    QTest::keyClick(form->DirBox(), Qt::Key_Tab);
    EXPECT_TRUE(form->cmdExport()->hasFocus());
    QTest::keyClick(form->cmdExport(), Qt::Key_Return);
    EXPECT_EQ(boxes.texts(), std::vector<std::string>{"Nu a fost specificata perioada de selectie date."});

    boxes.clear();
    choose(form->cmbPerioada(), 2);
    form->DirBox()->setPath(QString::fromStdString((data / "out").string()));
    QTest::mouseClick(form->cmdExport(), Qt::LeftButton);
    const fs::path file = data / "out" / "Velmora_Cluj_SJU01_Februarie 2024_03.02.2025_957.mdb";
    EXPECT_EQ(boxes.texts(),
              std::vector<std::string>{
                  "Operatia de export s-a efectuat cu succes. Fisierul poate fi trimis pe mail din locatia:\r\n" +
                  file.string()});
    ASSERT_TRUE(fs::exists(file));
    EXPECT_EQ(test::rowCount(file, "Velmora_Spital WHERE IdPerioada <> 2"), 0);
    EXPECT_EQ(test::rowCount(file, "Velmora_Sectie WHERE IdPerioada <> 2"), 0);
    EXPECT_EQ(test::rowCount(file, "Velmora_Spital WHERE IdPerioada = 2"), 1);
    EXPECT_EQ(test::rowCount(file, "Velmora_Sectie WHERE IdPerioada = 2"),
              test::rowCount(data / test::kDatabase, "Velmora_Sectie WHERE IdPerioada = 2"));
    EXPECT_EQ(filesIn(data / "out"), std::vector<fs::path>{file.filename()});  // nothing else left
    EXPECT_TRUE(filesIn(data / "export").empty());                             // nor in the export folder
    EXPECT_GT(test::rowCount(data / test::kDatabase, "Velmora_Spital WHERE IdPerioada <> 2"), 0);
}

TEST_F(ExportScreen, FailuresAreShownAndLeaveNoFile) {
    frmExportDate* form = open();
    ASSERT_NE(form, nullptr);
    choose(form->cmbPerioada(), 12);  // a period without sheets
    form->DirBox()->setPath(QString::fromStdString((data / "out").string()));
    QTest::mouseClick(form->cmdExport(), Qt::LeftButton);
    ASSERT_EQ(boxes.shown().size(), 1u);
    EXPECT_EQ(boxes.shown()[0].icon, velmora::MsgIcon::Critical);
    EXPECT_NE(boxes.shown()[0].text.find("Descriere Eroare: Nu sunt inregistrari in baza specifice selectie "
                                         "efectuate.\r\nNu se va exporta nimic.\r\nModulul: Export Date\r\n"
                                         "Subrutina/Functia: Export\r\n"),
              std::string::npos)
        << boxes.shown()[0].text;
    EXPECT_TRUE(filesIn(data / "out").empty());

    // A folder that went away after it was chosen (before the tree has seen it go), and one
    // that cannot be written.
    for (const fs::path& folder : {data / "out" / "gone", fs::path("/proc")}) {
        boxes.clear();
        fs::create_directories(data / "out" / "gone");
        form->DirBox()->setPath(QString::fromStdString(folder.string()));
        fs::remove(data / "out" / "gone");
        choose(form->cmbPerioada(), 1);
        QTest::mouseClick(form->cmdExport(), Qt::LeftButton);
        ASSERT_EQ(boxes.shown().size(), 1u) << folder;
        if (folder == "/proc")
            EXPECT_NE(boxes.shown()[0].text.find("Modulul: Export Date\r\nSubrutina/Functia: Export\r\n"),
                      std::string::npos);
        else EXPECT_EQ(boxes.texts(), std::vector<std::string>{"Folderul " + folder.string() + " nu exista."});
        EXPECT_TRUE(filesIn(data / "out").empty()) << folder;
    }
    EXPECT_TRUE(filesIn(data / "export").empty());

    // The screen is still usable, and a "/" in a name part keeps the file in its folder.
    boxes.clear();
    test::reconfigure(
        [](GlobalUI::Configuration::Place& place, GlobalUI::Configuration::Folders&) { place.codSpital = "SJU/01"; });
    form->DirBox()->setPath(QString::fromStdString((data / "out").string()));
    QTest::mouseClick(form->cmdExport(), Qt::LeftButton);
    ASSERT_EQ(boxes.shown().size(), 1u);
    EXPECT_EQ(boxes.shown()[0].icon, velmora::MsgIcon::Information) << boxes.shown()[0].text;
    EXPECT_EQ(filesIn(data / "out"), std::vector<fs::path>{"Velmora_Cluj_SJU_01_Ianuarie 2024_03.02.2025_957.mdb"});
}

TEST_F(ExportScreen, ExportsOnlyIntoTheFolderShownChosen) {
    // The configured folder is missing: nothing is selected, and nothing is written anywhere
    // until a folder is chosen.
    fs::remove_all(data / "export");
    frmExportDate* form = open();
    ASSERT_NE(form, nullptr);
    EXPECT_TRUE(form->DirBox()->path().isEmpty());
    EXPECT_TRUE(form->DirBox()->selectionModel()->selectedIndexes().isEmpty());
    choose(form->cmbPerioada(), 1);
    const auto before = filesIn(data.path());
    QTest::mouseClick(form->cmdExport(), Qt::LeftButton);
    EXPECT_EQ(boxes.texts(), std::vector<std::string>{"Folderul " + values.MyExport + " nu exista."});
    EXPECT_EQ(boxes.shown()[0].icon, velmora::MsgIcon::Information);
    EXPECT_EQ(filesIn(data.path()), before);

    // A chosen folder that goes away, once the tree has seen it go: the export refuses, and
    // the neighbouring folders get nothing.
    for (const char* name : {"a", "chosen", "z"}) fs::create_directories(data / "out" / name);
    const fs::path chosen = data / "out" / "chosen";
    form->DirBox()->setPath(QString::fromStdString(chosen.string()));
    EXPECT_EQ(form->DirBox()->path().toStdString(), chosen.string());
    fs::remove(chosen);
    EXPECT_TRUE(test::processUntil([&] { return form->DirBox()->selectionModel()->selectedIndexes().isEmpty(); }));
    boxes.clear();
    QTest::mouseClick(form->cmdExport(), Qt::LeftButton);
    EXPECT_EQ(boxes.texts(), std::vector<std::string>{"Folderul " + chosen.string() + " nu exista."});
    EXPECT_EQ(filesIn(data / "out"), (std::vector<fs::path>{"a", "z"}));
    EXPECT_TRUE(filesIn(data / "out" / "a").empty());
    EXPECT_TRUE(filesIn(data / "out" / "z").empty());

    // A folder the user picks in the tree is where the file goes.
    boxes.clear();
    auto* model = qobject_cast<QFileSystemModel*>(form->DirBox()->model());
    const QModelIndex z = model->index(QString::fromStdString((data / "out" / "z").string()));
    form->DirBox()->scrollTo(z);
    QTest::mouseClick(form->DirBox()->viewport(), Qt::LeftButton, {}, form->DirBox()->visualRect(z).center());
    EXPECT_EQ(form->DirBox()->path().toStdString(), (data / "out" / "z").string());
    QTest::mouseClick(form->cmdExport(), Qt::LeftButton);
    ASSERT_EQ(boxes.shown().size(), 1u);
    EXPECT_EQ(boxes.shown()[0].icon, velmora::MsgIcon::Information) << boxes.shown()[0].text;
    EXPECT_EQ(filesIn(data / "out" / "z").size(), 1u);
}

TEST_F(ExportScreen, AnExportAfterTheMissingFolderIsMadeExportsIntoIt) {
    fs::remove_all(data / "export");
    frmExportDate* form = open();
    ASSERT_NE(form, nullptr);
    choose(form->cmbPerioada(), 1);
    QTest::mouseClick(form->cmdExport(), Qt::LeftButton);
    EXPECT_EQ(boxes.texts(), std::vector<std::string>{"Folderul " + values.MyExport + " nu exista."});

    // Made while the screen stays open: the next "Export" looks again and writes there.
    fs::create_directories(values.MyExport);
    boxes.clear();
    QTest::mouseClick(form->cmdExport(), Qt::LeftButton);
    ASSERT_EQ(boxes.shown().size(), 1u);
    EXPECT_EQ(boxes.shown()[0].icon, velmora::MsgIcon::Information) << boxes.shown()[0].text;
    EXPECT_EQ(filesIn(values.MyExport), std::vector<fs::path>{"Velmora_Cluj_SJU01_Ianuarie 2024_03.02.2025_957.mdb"});
    EXPECT_EQ(form->DirBox()->path().toStdString(), values.MyExport);
}

}  // namespace
