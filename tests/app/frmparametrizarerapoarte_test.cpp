// The report screen on the real libraries: the tree from the catalogue, the parameter
// controls a chosen report gets, and the launch into the viewer window.
#include <gtest/gtest.h>

#include <tuple>

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLocale>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QScrollArea>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>

#include <cstdlib>
#include <filesystem>

#include "com/error.h"
#include "forms/hostedcontrol.h"
#include "reports/report.h"
#include "screens/frmafisarerapoarte.h"
#include "screens/frmparametrizarerapoarte.h"
#include "forms/cache.h"
#include "shell/frmmain.h"
#include "shell/globalui.h"
#include "reports/viewer.h"
#include "screen_session.h"
#include "support.h"
#include "typelib/quillon.h"

namespace {

using velmora::frmAfisareRapoarte;
using velmora::frmParametrizareRapoarte;
using velmora::HostedControl;

// The sample hospital configured, with no export or backup folder.
class ReportScreen : public test::ScreenSession {
protected:
    void SetUp() override {
        install();
        configure("13", "1");
    }
    void TearDown() override {
        if (frmAfisareRapoarte* viewer = frmAfisareRapoarte::openViewer()) viewer->window()->close();
        ScreenSession::TearDown();
    }

    // Starts a session on the sample database (after `sql` changed it) and opens the screen
    // from its menu item.
    void open(const std::string& sql = {}) {
        if (!sql.empty()) test::execSql(database(), sql);
        logIn();
        GlobalUI::gfrmMain()->menuItem(QStringLiteral("mnuRapoarte"))->trigger();
        for (QMdiSubWindow* window : GlobalUI::gfrmMain()->mdiArea()->subWindowList())
            if (auto* found = qobject_cast<frmParametrizareRapoarte*>(window->widget())) screen = found;
        ASSERT_NE(screen, nullptr) << (boxes.shown().empty() ? "" : boxes.shown()[0].text);
        screen->trvRaport()->expandAll();
    }

    void click(const char* key) {
        QTreeWidgetItem* item = screen->node(QString::fromLatin1(key));
        ASSERT_NE(item, nullptr) << key;
        QTreeWidget* tree = screen->trvRaport();
        tree->scrollToItem(item);
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualItemRect(item).center());
    }

    std::vector<std::string> treeKeys() const {
        std::vector<std::string> keys;
        for (QTreeWidgetItemIterator it(screen->trvRaport()); *it; ++it)
            keys.push_back(frmParametrizareRapoarte::keyOf(*it).toStdString());
        return keys;
    }

    HostedControl* control(const char* name) const {
        return velmora::findControl(screen->picParametrii(), QString::fromLatin1(name));
    }
    QLabel* label(const char* name) const {
        return screen->picParametrii()->findChild<QLabel*>(QString::fromLatin1(name));
    }

    // Puts the sample report files where the catalogue says they are.
    void installReports() {
        std::filesystem::create_directories(program / "Rapoarte");
        for (const auto& entry :
             std::filesystem::directory_iterator(std::filesystem::path(VELMORA_SOURCE_DIR) / "data" / "reports"))
            if (entry.path().extension() == ".vrpt")
                std::filesystem::copy_file(entry.path(), program / "Rapoarte" / entry.path().filename());
    }

    int viewerCount() const {
        int count = 0;
        for (QMdiSubWindow* window : GlobalUI::gfrmMain()->mdiArea()->subWindowList())
            if (!window->isHidden() && qobject_cast<frmAfisareRapoarte*>(window->widget())) ++count;
        return count;
    }

    frmParametrizareRapoarte* screen = nullptr;
};

TEST_F(ReportScreen, TheSampleCatalogueAsATree) {
    open();
    EXPECT_EQ(screen->windowTitle().toStdString(), "Selectie, setare parametrii rapoarte");
    EXPECT_EQ(treeKeys(), (std::vector<std::string>{":1", ":2", ":3", ":6", ":7", ":4", ":5", ":8"}));
    QTreeWidgetItem* root = screen->node(QStringLiteral(":1"));
    EXPECT_EQ(root->text(0).toStdString(), "Rapoarte Velmora");
    EXPECT_EQ(frmParametrizareRapoarte::imageOf(root), frmParametrizareRapoarte::ImageRoot);
    EXPECT_EQ(frmParametrizareRapoarte::imageOf(screen->node(QStringLiteral(":4"))),
              frmParametrizareRapoarte::ImageFolder);
    EXPECT_EQ(frmParametrizareRapoarte::imageOf(screen->node(QStringLiteral(":8"))),
              frmParametrizareRapoarte::ImageReport);
    EXPECT_FALSE(root->icon(0).isNull());
    EXPECT_EQ(screen->trvRaport()->currentItem(), root);
    // Loading chooses nothing: no colour, no controls, and "Raport..." waits for a report.
    EXPECT_TRUE(screen->chosenKey().isEmpty());
    EXPECT_FALSE(screen->cmdLansareRaport()->isEnabled());
    EXPECT_EQ(screen->cmdLansareRaport()->text().toStdString(), "&Raport...");
    EXPECT_TRUE(boxes.shown().empty());
}

TEST_F(ReportScreen, IdsOutOfOrderStillBuildEveryFolderDepthFirst) {
    open(
        "DELETE FROM Rapoarte;"
        "INSERT INTO Rapoarte (IdRaport, DenRaport, IdParinte, TipRaport, Parametrii, Locatie) VALUES "
        "(9, 'Dosar 9', 1, 'F', '', ''), (4, 'Raport 4', 9, 'R', '', 'r4.vrpt'), (10, 'Sub 4', 4, 'R', '', ''),"
        "(2, 'Raport 2', 1, NULL, NULL, NULL), (1, 'Radacina', NULL, 'F', '', ''), (3, 'Dosar 3', 1, 'F', '', ''),"
        "(7, 'Raport 7', 3, 'R', '', ''), (5, 'Raport 5', 9, 'R', '', ''), (6, 'Propriul parinte', 6, 'R', '', ''),"
        "(8, 'Fara parinte', 0, 'R', '', ''), (11, 'Ciclu', 12, 'F', '', ''), (12, 'Ciclu', 11, 'F', '', '');");
    EXPECT_EQ(treeKeys(), (std::vector<std::string>{":1", ":2", ":3", ":7", ":9", ":4", ":10", ":5"}));
    EXPECT_EQ(screen->node(QStringLiteral(":7"))->parent(), screen->node(QStringLiteral(":3")));
    EXPECT_EQ(screen->node(QStringLiteral(":5"))->parent(), screen->node(QStringLiteral(":9")));
    EXPECT_EQ(screen->node(QStringLiteral(":10"))->parent(), screen->node(QStringLiteral(":4")));
    EXPECT_EQ(frmParametrizareRapoarte::imageOf(screen->node(QStringLiteral(":2"))),
              frmParametrizareRapoarte::ImageReport);  // any type but "F" is a report
    EXPECT_TRUE(boxes.shown().empty());
}

TEST_F(ReportScreen, ACatalogueWithoutItsRootShowsAnEmptyTree) {
    open("DELETE FROM Rapoarte WHERE IdRaport = 1;");
    EXPECT_EQ(screen->trvRaport()->topLevelItemCount(), 0);
    EXPECT_FALSE(screen->cmdLansareRaport()->isEnabled());
    EXPECT_TRUE(boxes.shown().empty());
}

TEST_F(ReportScreen, AReportGetsItsLabelledControlsInPlace) {
    open();
    click(":3");
    EXPECT_EQ(screen->chosenKey().toStdString(), ":3");
    EXPECT_TRUE(screen->cmdLansareRaport()->isEnabled());
    EXPECT_EQ(screen->addedControls(), (QStringList{"IdJudet_Label", "IdJudet", "IdPerioada_Label", "IdPerioada"}));
    EXPECT_EQ(screen->node(QStringLiteral(":3"))->foreground(0).color(), QColor(0, 0, 255));

    ASSERT_NE(label("IdJudet_Label"), nullptr);
    EXPECT_EQ(label("IdJudet_Label")->text().toStdString(), "Judetul:");
    EXPECT_EQ(label("IdPerioada_Label")->text().toStdString(), "Perioada:");
    EXPECT_EQ(label("IdJudet_Label")->pos(), QPoint(7, 23));
    EXPECT_EQ(label("IdPerioada_Label")->pos(), QPoint(7, 63));

    HostedControl* judet = control("IdJudet");
    HostedControl* perioada = control("IdPerioada");
    ASSERT_TRUE(judet && perioada);
    EXPECT_EQ(judet->widget()->geometry().topLeft(), QPoint(133, 21));
    EXPECT_EQ(judet->widget()->width(), 114);
    EXPECT_EQ(perioada->widget()->geometry().topLeft(), QPoint(133, 61));
    EXPECT_TRUE(judet->widget()->isVisible());
    // The county combo holds every county with the configured one chosen; the period
    // combo every period with none chosen.
    EXPECT_GT(judet->get("ListCount").toLong(), 40);
    EXPECT_EQ(judet->get("Cheie").toLong(), 13);
    EXPECT_EQ(judet->get("Text").toString(), "Cluj");
    EXPECT_GT(perioada->get("ListCount").toLong(), 6);
    EXPECT_EQ(perioada->get("ListIndex").toLong(), -1);
    EXPECT_EQ(perioada->get("Cheie").toLong(), -1);
    EXPECT_TRUE(boxes.shown().empty());
}

TEST_F(ReportScreen, AFolderDisablesTheButtonAndRemovesTheControls) {
    open();
    click(":3");
    QPointer<QWidget> combo = control("IdPerioada")->widget();
    click(":4");
    EXPECT_TRUE(screen->addedControls().isEmpty());
    EXPECT_TRUE(combo.isNull());
    EXPECT_EQ(label("IdJudet_Label"), nullptr);
    EXPECT_EQ(control("IdJudet"), nullptr);
    EXPECT_FALSE(screen->cmdLansareRaport()->isEnabled());
    EXPECT_EQ(screen->node(QStringLiteral(":3"))->foreground(0).color(), screen->palette().color(QPalette::WindowText));
    EXPECT_EQ(screen->node(QStringLiteral(":4"))->foreground(0).color(), QColor(0, 0, 255));

    // Another report: only its own parameters, in the first row.
    click(":5");
    EXPECT_EQ(screen->addedControls(), (QStringList{"IdPerioada_Label", "IdPerioada"}));
    EXPECT_EQ(control("IdPerioada")->widget()->pos(), QPoint(133, 21));
    EXPECT_TRUE(screen->cmdLansareRaport()->isEnabled());
    // The chosen report clicked again is chosen again: its controls start afresh.
    control("IdPerioada")->put("ListIndex", com::Variant(int16_t{0}));
    click(":5");
    EXPECT_EQ(control("IdPerioada")->get("ListIndex").toLong(), -1);
    EXPECT_TRUE(boxes.shown().empty());
}

TEST_F(ReportScreen, ChoosingByKeyboardCountsAsAClick) {
    open();
    QTreeWidget* tree = screen->trvRaport();
    tree->setFocus();
    QTest::keyClick(tree, Qt::Key_Down);  // "Spital"
    EXPECT_EQ(screen->chosenKey().toStdString(), ":2");
    QTest::keyClick(tree, Qt::Key_Down);  // its first report
    EXPECT_EQ(screen->chosenKey().toStdString(), ":3");
    EXPECT_TRUE(screen->cmdLansareRaport()->isEnabled());
    EXPECT_NE(control("IdJudet"), nullptr);
    EXPECT_EQ(screen->node(QStringLiteral(":2"))->foreground(0).color(), screen->palette().color(QPalette::WindowText));
    QTest::keyClick(tree, Qt::Key_Down);  // "Centralizator pe interval"
    EXPECT_EQ(control("IdJudet"), nullptr);
    EXPECT_NE(control("Data inceput"), nullptr);
}

TEST_F(ReportScreen, DatesStartFromTheCurrentMonth) {
    open();
    screen->setClock([] { return QDate(2024, 2, 10); });
    click(":6");
    ASSERT_NE(control("Data inceput"), nullptr);
    EXPECT_EQ(label("Data inceput_Label")->text().toStdString(), "Data inceput");
    EXPECT_EQ(control("Data inceput")->get("TipData").toLong(), 1);
    EXPECT_EQ(control("Data inceput")->get("Valoare").toDate().toIso(), "2024-02-01 00:00:00");
    EXPECT_EQ(control("Data sfarsit")->get("Valoare").toDate().toIso(), "2024-02-29 00:00:00");
    screen->setClock([] { return QDate(2025, 2, 3); });
    click(":6");
    EXPECT_EQ(control("Data sfarsit")->get("Valoare").toDate().toIso(), "2025-02-28 00:00:00");
}

TEST_F(ReportScreen, EntryFieldsTakeTheirKindAndOtherCombosStayEmpty) {
    open(
        "UPDATE Rapoarte SET Parametrii = "
        "'Data,,ControlPersonal|Data;Data alta,,ControlPersonal|Data;Nr,,ControlPersonal|Numar;"
        "Cod,,ControlPersonal|Select;Nume,,ControlPersonal|Text;Alt,,ControlPersonal;Sectia,,MyCombo;"
        "Nimic,,Nimic;' WHERE IdRaport = 8;");
    screen->setClock([] { return QDate(2024, 5, 17); });
    click(":8");
    EXPECT_EQ(control("Data")->get("Valoare").toDate().toIso(), "2024-05-17 00:00:00");
    EXPECT_TRUE(control("Data alta")->get("Valoare").isNull());
    EXPECT_EQ(control("Nr")->get("TipData").toLong(), 3);
    EXPECT_EQ(control("Cod")->get("TipData").toLong(), 2);
    EXPECT_EQ(control("Nume")->get("TipData").toLong(), 0);
    EXPECT_EQ(control("Alt")->get("TipData").toLong(), 0);
    EXPECT_EQ(label("Alt_Label")->text().toStdString(), "Alt");
    EXPECT_EQ(label("Sectia_Label")->text().toStdString(), "");
    EXPECT_EQ(control("Sectia")->get("ListCount").toLong(), 0);
    EXPECT_EQ(control("Sectia")->widget()->pos(), QPoint(133, 6 * 40 + 21));
    EXPECT_EQ(screen->picParametrii()->findChild<QObject*>(QStringLiteral("Nimic")), nullptr);
    // Seven rows fit only by scrolling.
    EXPECT_GE(screen->picParametrii()->minimumHeight(), 7 * 40);
    EXPECT_TRUE(boxes.shown().empty());
}

TEST_F(ReportScreen, AMalformedParameterTextIsReportedAndTheScreenStaysUsable) {
    open(
        "UPDATE Rapoarte SET Parametrii = 'IdPerioada,,MyCombo;Data inceput,ControlPersonal|Data;' "
        "WHERE IdRaport = 5;"
        "UPDATE Rapoarte SET Parametrii = 'IdPerioada,,MyCombo;IdPerioada,,MyCombo;' WHERE IdRaport = 8;"
        "UPDATE Rapoarte SET Parametrii = 'trvRaport,,ControlPersonal|Text;' WHERE IdRaport = 7;");
    click(":5");
    ASSERT_EQ(boxes.shown().size(), 1u);
    EXPECT_EQ(boxes.shown()[0].icon, velmora::MsgIcon::Critical);
    EXPECT_EQ(boxes.shown()[0].text.rfind("Numar Eroare: 5.\r\n", 0), 0u) << boxes.shown()[0].text;
    EXPECT_NE(boxes.shown()[0].text.find("Data inceput,ControlPersonal|Data"), std::string::npos);
    EXPECT_NE(boxes.shown()[0].text.find("Modulul: frmParametrizareRapoarte\r\nSubrutina/Functia: "
                                         "trvRaport_NodeClick\r\n"),
              std::string::npos);
    // Nothing half-built stays, and the report is not launched without its parameters.
    EXPECT_TRUE(screen->addedControls().isEmpty());
    EXPECT_EQ(control("IdPerioada"), nullptr);
    EXPECT_FALSE(screen->cmdLansareRaport()->isEnabled());

    // Two entries of one name: the second is refused as a control name already in use.
    boxes.clear();
    click(":8");
    ASSERT_EQ(boxes.shown().size(), 1u);
    EXPECT_EQ(boxes.shown()[0].text.rfind("Numar Eroare: 727.\r\n", 0), 0u) << boxes.shown()[0].text;
    EXPECT_TRUE(screen->addedControls().isEmpty());
    EXPECT_EQ(control("IdPerioada"), nullptr);

    // So is a name that one of the screen's own controls has.
    boxes.clear();
    click(":7");
    ASSERT_EQ(boxes.shown().size(), 1u);
    EXPECT_EQ(boxes.shown()[0].text.rfind("Numar Eroare: 727.\r\n", 0), 0u) << boxes.shown()[0].text;

    boxes.clear();
    click(":3");
    EXPECT_TRUE(boxes.shown().empty());
    EXPECT_NE(control("IdPerioada"), nullptr);
    EXPECT_TRUE(screen->cmdLansareRaport()->isEnabled());
}

TEST_F(ReportScreen, AMissingReportFileOrAFolderIsReportedAsMissing) {
    open(
        "UPDATE Rapoarte SET Locatie = 'Rapoarte\\Lipsa\\Personal.vrpt' WHERE IdRaport = 8;"
        "UPDATE Rapoarte SET Locatie = '' WHERE IdRaport = 7;");
    click(":3");
    QTest::mouseClick(screen->cmdLansareRaport(), Qt::LeftButton);
    const std::string folder = program.path().string();
    ASSERT_EQ(boxes.shown().size(), 1u);
    EXPECT_EQ(boxes.shown()[0].text,
              "Raportul nu exista la locatia cautata: \r\n\r\n" + folder + "/Rapoarte/CostSpital.vrpt");
    EXPECT_EQ(boxes.shown()[0].title, "ATENTIE!");
    EXPECT_EQ(boxes.shown()[0].icon, velmora::MsgIcon::Information);

    std::filesystem::create_directories(program / "Rapoarte" / "CostSpital.vrpt");
    QTest::mouseClick(screen->cmdLansareRaport(), Qt::LeftButton);
    click(":8");  // "\" in the location is a folder separator
    QTest::mouseClick(screen->cmdLansareRaport(), Qt::LeftButton);
    click(":7");  // no location: the program's folder itself
    QTest::mouseClick(screen->cmdLansareRaport(), Qt::LeftButton);
    EXPECT_EQ(boxes.texts(),
              (std::vector<std::string>{
                  "Raportul nu exista la locatia cautata: \r\n\r\n" + folder + "/Rapoarte/CostSpital.vrpt",
                  "Raportul nu exista la locatia cautata: \r\n\r\n" + folder + "/Rapoarte/CostSpital.vrpt",
                  "Raportul nu exista la locatia cautata: \r\n\r\n" + folder + "/Rapoarte/Lipsa/Personal.vrpt",
                  "Raportul nu exista la locatia cautata: \r\n\r\n" + folder + "/"}));
    EXPECT_EQ(viewerCount(), 0);
    EXPECT_FALSE(GlobalUI::session().gReport);
}

TEST_F(ReportScreen, EnterOnTheFocusedButtonLaunches) {
    open();
    click(":3");
    screen->cmdLansareRaport()->setFocus();
    QTest::keyClick(screen->cmdLansareRaport(), Qt::Key_Return);
    ASSERT_EQ(boxes.shown().size(), 1u);  // the file is not there
    EXPECT_EQ(boxes.shown()[0].text.rfind("Raportul nu exista la locatia cautata: ", 0), 0u);
}

// A small report of our own: one parameter of each kind the screen passes.
constexpr const char* kTestReport = R"(<?xml version="1.0" encoding="UTF-8"?>
<report version="1" title="Proba">
  <parameters>
    <parameter name="pIdPerioada" type="integer" default="-1"/>
    <parameter name="@Data inceput" type="date"/>
    <parameter name="@Data alta" type="date" default="2020-01-01"/>
    <parameter name="@Nr" type="integer"/>
    <parameter name="@Mic" type="integer"/>
    <parameter name="@Nume" type="text"/>
    <parameter name="@Neatins" type="text" default="implicit"/>
  </parameters>
  <query>SELECT DenPerioada FROM Nom_Perioade WHERE IdPerioada = {?pIdPerioada}</query>
  <detail height="300"><field x="0" y="0" w="4000" h="300" column="DenPerioada"/></detail>
</report>
)";

constexpr const char* kTestCatalogue =
    "UPDATE Rapoarte SET Locatie = 'Rapoarte\\Proba.vrpt', Parametrii = "
    "'IdPerioada,,MyCombo;Data inceput,,ControlPersonal|Data;Data alta,,ControlPersonal|Data;"
    "Nr,,ControlPersonal|Numar;Mic,,ControlPersonal|Numar;Nume,,ControlPersonal|Text;' WHERE IdRaport = 8;";

TEST_F(ReportScreen, TheLaunchPassesEachValueAndShowsOneViewer) {
    std::filesystem::create_directories(program / "Rapoarte");
    test::writeText(program / "Rapoarte" / "Proba.vrpt", kTestReport);
    open(kTestCatalogue);
    screen->setClock([] { return QDate(2024, 2, 10); });
    click(":8");
    control("IdPerioada")->put("Cheie", com::Variant(int32_t{2}));
    control("Nr")->put("Valoare", com::Variant(int32_t{40000}));  // beyond 16 bits
    control("Mic")->put("Valoare", com::Variant(int32_t{12}));
    control("Nume")->put("Valoare", com::Variant("O'Brien\"; DROP TABLE Rapoarte; --"));
    QTest::mouseClick(screen->cmdLansareRaport(), Qt::LeftButton);
    ASSERT_TRUE(boxes.shown().empty()) << boxes.shown()[0].text;

    const std::shared_ptr<reports::Report> report = GlobalUI::session().gReport;
    ASSERT_TRUE(report);
    reports::ParameterFields& fields = report->ParameterFields();
    EXPECT_EQ(fields.find("pIdPerioada")->CurrentValue().toLong(), 2);
    EXPECT_EQ(fields.find("@Data inceput")->CurrentValue().toDate().toIso(), "2024-02-01 00:00:00");
    EXPECT_FALSE(fields.find("@Data alta")->HasCurrentValue());  // empty: the report's default applies
    EXPECT_EQ(fields.find("@Nr")->CurrentValue().toLong(), 40000);
    EXPECT_EQ(fields.find("@Mic")->CurrentValue().toLong(), 12);
    EXPECT_EQ(fields.find("@Nume")->CurrentValue().toString(), "O'Brien\"; DROP TABLE Rapoarte; --");
    EXPECT_FALSE(fields.find("@Neatins")->HasCurrentValue());
    const reports::DatabaseTable& table = report->Database().Tables(1);
    EXPECT_EQ(table.server(), "Velmora.mdb");
    EXPECT_EQ(table.database(), data / "Velmora.mdb");
    EXPECT_EQ(table.user(), "operator");
    EXPECT_EQ(table.effectiveWorkgroupFile(), data / "Velmora.mdw");
    EXPECT_TRUE(report->AlwaysRefreshData());

    frmAfisareRapoarte* viewer = frmAfisareRapoarte::openViewer();
    ASSERT_NE(viewer, nullptr);
    EXPECT_EQ(viewer->windowTitle().toStdString(), "Vizualizare raport Personal (numar angajati)");
    EXPECT_EQ(viewerCount(), 1);
    EXPECT_EQ(viewer->CRViewer1()->ReportSource(), report);
    EXPECT_EQ(viewer->CRViewer1()->pageCount(), 1);
    EXPECT_EQ(GlobalUI::gfrmMain()->mdiArea()->activeSubWindow()->widget(), viewer);

    // While it is open, "Raport..." only brings it to the front, whatever is chosen.
    GlobalUI::gfrmMain()->mdiArea()->setActiveSubWindow(qobject_cast<QMdiSubWindow*>(screen->parentWidget()));
    click(":3");
    QTest::mouseClick(screen->cmdLansareRaport(), Qt::LeftButton);
    EXPECT_EQ(viewerCount(), 1);
    EXPECT_EQ(GlobalUI::gfrmMain()->mdiArea()->activeSubWindow()->widget(), viewer);
    EXPECT_EQ(GlobalUI::session().gReport, report);
    EXPECT_TRUE(boxes.shown().empty());

    // Closed, the next launch opens a new one.
    qobject_cast<QMdiSubWindow*>(viewer->parentWidget())->close();
    EXPECT_EQ(frmAfisareRapoarte::openViewer(), nullptr);
    EXPECT_EQ(viewerCount(), 0);
    click(":8");
    QTest::mouseClick(screen->cmdLansareRaport(), Qt::LeftButton);
    EXPECT_EQ(viewerCount(), 1);
    EXPECT_NE(GlobalUI::session().gReport, report);
}

TEST_F(ReportScreen, ALaunchErrorIsReportedAndTheScreenStaysUsable) {
    std::filesystem::create_directories(program / "Rapoarte");
    test::writeText(program / "Rapoarte" / "CostSpital.vrpt", "nu este un raport");
    test::writeText(program / "Rapoarte" / "Proba.vrpt", kTestReport);
    open(kTestCatalogue);

    click(":3");
    QTest::mouseClick(screen->cmdLansareRaport(), Qt::LeftButton);
    ASSERT_EQ(boxes.shown().size(), 1u);
    const std::string& text = boxes.shown()[0].text;
    EXPECT_EQ(boxes.shown()[0].icon, velmora::MsgIcon::Critical);
    EXPECT_EQ(text.rfind("Numar Eroare: " + std::to_string(reports::errc::BadDefinition) + ".\r\n", 0), 0u) << text;
    EXPECT_NE(text.find("CostSpital.vrpt"), std::string::npos) << text;
    EXPECT_NE(text.find("Modulul: frmParametrizareRapoarte\r\nSubrutina/Functia: cmdLansareRaport_Click\r\n"),
              std::string::npos);
    EXPECT_EQ(viewerCount(), 0);
    EXPECT_FALSE(GlobalUI::session().gReport);

    // A refused log-on fails when the report runs: nothing is shown either.
    boxes.clear();
    GlobalUI::session().account().gPassword = "gresit";
    click(":8");
    QTest::mouseClick(screen->cmdLansareRaport(), Qt::LeftButton);
    ASSERT_EQ(boxes.shown().size(), 1u);
    EXPECT_EQ(boxes.shown()[0].text.rfind("Numar Eroare: " + std::to_string(reports::errc::QueryFailed) + ".\r\n", 0),
              0u)
        << boxes.shown()[0].text;
    EXPECT_EQ(viewerCount(), 0);
    EXPECT_EQ(frmAfisareRapoarte::openViewer(), nullptr);

    // The screen goes on: the right account launches the same report.
    boxes.clear();
    GlobalUI::session().account().gPassword = test::kPassword;
    QTest::mouseClick(screen->cmdLansareRaport(), Qt::LeftButton);
    EXPECT_TRUE(boxes.shown().empty()) << boxes.shown()[0].text;
    EXPECT_EQ(viewerCount(), 1);
}

TEST_F(ReportScreen, TheSampleHospitalSheetInTheViewer) {
    // With VELMORA_SCREENSHOTS naming a folder, the screen and the viewer are saved there as a
    // Romanian installation on a 1024 x 768 screen shows them.
    const char* folder = std::getenv("VELMORA_SCREENSHOTS");
    if (folder) QLocale::setDefault(QLocale(QLocale::Romanian, QLocale::Romania));
    installReports();
    open();
    click(":3");
    control("IdPerioada")->put("Cheie", com::Variant(int32_t{1}));
    QTest::mouseClick(screen->cmdLansareRaport(), Qt::LeftButton);
    ASSERT_TRUE(boxes.shown().empty()) << boxes.shown()[0].text;
    frmAfisareRapoarte* viewer = frmAfisareRapoarte::openViewer();
    ASSERT_NE(viewer, nullptr);
    EXPECT_EQ(viewer->windowTitle().toStdString(), "Vizualizare raport Cheltuieli spital pe perioada");
    EXPECT_EQ(viewer->CRViewer1()->pageCount(), 1);  // the sample hospital's one sheet of the period
    // The viewer fills its window.
    EXPECT_EQ(viewer->CRViewer1()->geometry(), viewer->rect());
    // A print or a save that fails is told once, as the program tells every error.
    emit viewer->CRViewer1()->failed(reports::errc::OutputFailed, QStringLiteral("Fisierul PDF nu poate fi scris."));
    ASSERT_EQ(boxes.shown().size(), 1u);
    EXPECT_EQ(boxes.shown()[0].icon, velmora::MsgIcon::Critical);
    EXPECT_NE(boxes.shown()[0].text.find("Fisierul PDF nu poate fi scris.\r\nModulul: frmAfisareRapoarte\r\n"),
              std::string::npos)
        << boxes.shown()[0].text;
    boxes.clear();

    if (folder) {
        GlobalUI::gfrmMain()->resize(1024, 768);
        QCoreApplication::processEvents();
        QMdiSubWindow* window = qobject_cast<QMdiSubWindow*>(viewer->parentWidget());
        window->resize(GlobalUI::gfrmMain()->mdiArea()->viewport()->size());
        viewer->CRViewer1()->fitToWidth();
        QCoreApplication::processEvents();
        GlobalUI::gfrmMain()->grab().save(QString::fromLocal8Bit(folder) + "/velmora-raport.png");
        GlobalUI::gfrmMain()->mdiArea()->setActiveSubWindow(qobject_cast<QMdiSubWindow*>(screen->parentWidget()));
        QCoreApplication::processEvents();
        screen->grab().save(QString::fromLocal8Bit(folder) + "/frmParametrizareRapoarte.png");
        QLocale::setDefault(QLocale::system());
    }
}

TEST_F(ReportScreen, KeyboardTabOrderAndAltR) {
    open();
    GlobalUI::gfrmMain()->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(GlobalUI::gfrmMain()));
    // Alt+R does nothing while no report is chosen.
    QTest::keyClick(screen->trvRaport(), Qt::Key_R, Qt::AltModifier);
    QTest::qWait(200);
    EXPECT_TRUE(boxes.shown().empty());

    click(":3");
    QTreeWidget* tree = screen->trvRaport();
    tree->setFocus();
    QTest::keyClick(tree, Qt::Key_Tab);
    EXPECT_TRUE(test::hasFocus(control("IdJudet")->widget()));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_TRUE(test::hasFocus(control("IdPerioada")->widget()));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), screen->cmdLansareRaport());

    tree->setFocus();
    QTest::keyClick(tree, Qt::Key_R, Qt::AltModifier);
    test::processUntil([this] { return !boxes.shown().empty(); });  // a shortcut clicks a moment later
    ASSERT_EQ(boxes.shown().size(), 1u);                            // launched: the file is not there
    EXPECT_EQ(boxes.shown()[0].text.rfind("Raportul nu exista la locatia cautata: ", 0), 0u);
}

// Enter in a parameter moves on as Tab does, through the parameters to "Raport...".
TEST_F(ReportScreen, EnterInAParameterMovesOnAsTab) {
    open();
    GlobalUI::gfrmMain()->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(GlobalUI::gfrmMain()));
    for (const auto& [key, first, second] :
         {std::tuple{":6", "Data inceput", "Data sfarsit"}, std::tuple{":3", "IdJudet", "IdPerioada"}}) {
        SCOPED_TRACE(key);
        click(key);
        QTreeWidget* tree = screen->trvRaport();
        tree->setFocus();
        QTest::keyClick(tree, Qt::Key_Tab);
        ASSERT_TRUE(test::hasFocus(control(first)->widget()));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        test::processUntil([&] { return test::hasFocus(control(second)->widget()); });
        EXPECT_TRUE(test::hasFocus(control(second)->widget()));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        test::processUntil([&] { return QApplication::focusWidget() == screen->cmdLansareRaport(); });
        EXPECT_EQ(QApplication::focusWidget(), screen->cmdLansareRaport());
    }
}

TEST_F(ReportScreen, AConfiguredCountyMissingFromTheListLeavesTheComboWithoutAChoice) {
    open();
    test::reconfigure(
        [](GlobalUI::Configuration::Place& place, GlobalUI::Configuration::Folders&) { place.idJudet = 999; });
    click(":3");
    EXPECT_TRUE(boxes.shown().empty()) << boxes.shown()[0].text;
    EXPECT_EQ(control("IdJudet")->get("Cheie").toLong(), -1);
    EXPECT_GT(control("IdJudet")->get("ListCount").toLong(), 40);
    EXPECT_TRUE(screen->cmdLansareRaport()->isEnabled());
}

TEST_F(ReportScreen, EveryReportOfTheCatalogueRunsWithTheValuesItsControlsGive) {
    installReports();
    open();
    screen->setClock([] { return QDate(2024, 3, 15); });
    for (const char* key : {":3", ":6", ":7", ":5", ":8"}) {
        click(key);
        if (HostedControl* perioada = control("IdPerioada")) perioada->put("Cheie", com::Variant(int32_t{1}));
        QTest::mouseClick(screen->cmdLansareRaport(), Qt::LeftButton);
        ASSERT_TRUE(boxes.shown().empty()) << key << ": " << boxes.shown()[0].text;
        frmAfisareRapoarte* viewer = frmAfisareRapoarte::openViewer();
        ASSERT_NE(viewer, nullptr) << key;
        EXPECT_GE(viewer->CRViewer1()->pageCount(), 1) << key;
        // Every control fed a parameter of the report's own.
        reports::ParameterFields& fields = GlobalUI::session().gReport->ParameterFields();
        for (const QString& name : screen->addedControls()) {
            if (name.endsWith(QStringLiteral("_Label"))) continue;
            const bool combo =
                static_cast<bool>(control(name.toStdString().c_str())->objectPtr().query<quillon::IMyCombo>());
            const std::string field = (combo ? "p" : "@") + name.toStdString();
            ASSERT_NE(fields.find(field), nullptr) << key << " " << field;
            EXPECT_TRUE(fields.find(field)->HasCurrentValue()) << key << " " << field;
        }
        qobject_cast<QMdiSubWindow*>(viewer->parentWidget())->close();
    }
}

// A report that needs no parameter value.
constexpr const char* kPlainReport = R"(<report version="1"><query>SELECT DenJudet FROM Nom_Judete</query>
  <detail height="300"><field x="0" y="0" w="4000" h="300" column="DenJudet"/></detail></report>)";

TEST_F(ReportScreen, ALocationLeadingOutOfTheProgramFolderOpensNothing) {
    namespace fs = std::filesystem;
    // A valid report file beside the program's folder, reached by "..", an absolute path, a
    // link to the file and a link to its folder; and one inside, reached by a ".." that stays.
    const fs::path outside = program.path().parent_path() / ("afara-" + program.path().filename().string());
    fs::create_directories(outside);
    test::writeText(outside / "Proba.vrpt", kPlainReport);
    fs::create_directories(program / "Rapoarte");
    test::writeText(program / "Rapoarte" / "Proba.vrpt", kPlainReport);
    fs::create_symlink(outside / "Proba.vrpt", program / "Rapoarte" / "Legat.vrpt");
    fs::create_directory_symlink(outside, program / "Rapoarte" / "Afara");
    const std::string up = "..\\" + outside.filename().string() + "\\Proba.vrpt";
    const std::vector<std::string> refused{"Rapoarte\\..\\" + up, (outside / "Proba.vrpt").string(),
                                           "Rapoarte\\Legat.vrpt", "Rapoarte\\Afara\\Proba.vrpt",
                                           "Rapoarte/Afara/../../" + up};
    std::string rows;
    for (size_t i = 0; i < refused.size(); ++i)
        rows += "INSERT INTO Rapoarte (IdRaport, DenRaport, IdParinte, TipRaport, Parametrii, Locatie) VALUES (" +
                std::to_string(20 + i) + ", 'Afara', 2, 'R', '', '" + refused[i] + "');";
    open(rows +
         "INSERT INTO Rapoarte (IdRaport, DenRaport, IdParinte, TipRaport, Parametrii, Locatie) VALUES "
         "(30, 'Inauntru', 2, 'R', '', 'Rapoarte\\..\\Rapoarte\\Proba.vrpt');");
    for (size_t i = 0; i < refused.size(); ++i) {
        SCOPED_TRACE(refused[i]);
        boxes.clear();
        click((":" + std::to_string(20 + i)).c_str());
        QTest::mouseClick(screen->cmdLansareRaport(), Qt::LeftButton);
        EXPECT_EQ(boxes.texts(),
                  std::vector<std::string>{"Locatia raportului " + refused[i] + " (randul " + std::to_string(20 + i) +
                                           " al catalogului) nu este in folderul programului."});
        ASSERT_FALSE(boxes.shown().empty());
        EXPECT_EQ(boxes.shown()[0].title, "ATENTIE!");
        EXPECT_EQ(viewerCount(), 0);
        EXPECT_FALSE(GlobalUI::session().gReport);
    }
    boxes.clear();
    click(":30");
    QTest::mouseClick(screen->cmdLansareRaport(), Qt::LeftButton);
    EXPECT_TRUE(boxes.shown().empty()) << boxes.shown()[0].text;
    EXPECT_EQ(viewerCount(), 1);
    fs::remove_all(outside);
}

TEST_F(ReportScreen, AQueryThatNeverEndsShowsTheWorkAndRenuntaStopsIt) {
    std::filesystem::create_directories(program / "Rapoarte");
    test::writeText(program / "Rapoarte" / "Proba.vrpt",
                    "<report version=\"1\"><query>WITH RECURSIVE n(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM n) "
                    "SELECT count(*) AS N FROM n</query><detail height=\"300\"/></report>");
    test::writeText(program / "Rapoarte" / "Simplu.vrpt", kPlainReport);
    open(
        "UPDATE Rapoarte SET Locatie = 'Rapoarte\\Proba.vrpt', Parametrii = '' WHERE IdRaport = 8;"
        "UPDATE Rapoarte SET Locatie = 'Rapoarte\\Simplu.vrpt', Parametrii = '' WHERE IdRaport = 7;");
    click(":8");
    bool seenWorking = false;
    QTimer::singleShot(400, screen, [&] {
        // What the user sees while the query runs, saved for a look.
        seenWorking = screen->running() && screen->working()->isVisible() && screen->cmdRenunta()->isVisible() &&
                      !screen->trvRaport()->isEnabled() && !screen->cmdLansareRaport()->isEnabled();
        EXPECT_EQ(screen->cmdRenunta()->text().toStdString(), "Renunta");
        const auto picture = std::filesystem::path(VELMORA_BINARY_DIR) / "report-screen-working.png";
        EXPECT_TRUE(screen->window()->grab().save(QString::fromStdString(picture.string())));
        QTest::mouseClick(screen->cmdRenunta(), Qt::LeftButton);
    });
    QTest::mouseClick(screen->cmdLansareRaport(), Qt::LeftButton);
    EXPECT_TRUE(seenWorking);
    // Stopped: nothing shown, no message, and the screen is as before.
    EXPECT_TRUE(boxes.shown().empty()) << boxes.shown()[0].text;
    EXPECT_EQ(viewerCount(), 0);
    EXPECT_FALSE(GlobalUI::session().gReport);
    EXPECT_FALSE(screen->running());
    EXPECT_FALSE(screen->working()->isVisible());
    EXPECT_TRUE(screen->trvRaport()->isEnabled());
    EXPECT_TRUE(screen->cmdLansareRaport()->isEnabled());
    click(":7");
    QTest::mouseClick(screen->cmdLansareRaport(), Qt::LeftButton);
    EXPECT_TRUE(boxes.shown().empty()) << boxes.shown()[0].text;
    EXPECT_EQ(viewerCount(), 1);
}

}  // namespace
