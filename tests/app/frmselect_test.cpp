// The selection dialog on the sample database: each kind's caption, tab, presets, WHERE
// clause for each combination of its combos, and its rows against SQLite's own count; the
// empty result, a search that fails, and the double click that hands an id back.
#include <gtest/gtest.h>

#include <QLabel>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>
#include <QTreeWidget>

#include <memory>
#include <optional>

#include "../support/rawdb.h"
#include "forms/hostedcontrol.h"
#include "screen_session.h"
#include "forms/frmselect.h"
#include "shell/globalui.h"

namespace {

using velmora::frmSelect;
using velmora::SelectKind;

class SelectionDialog : public test::ScreenSession {
protected:
    // A dialog of that kind; one never given a kind for none.
    std::unique_ptr<frmSelect> openDialog(std::optional<SelectKind> kind) {
        auto dialog = std::make_unique<frmSelect>(mainWindow());
        if (kind) dialog->setTipSelect(*kind);
        dialog->show();
        QCoreApplication::processEvents();
        return dialog;
    }
    long long count(const std::string& sql) { return rawdb::rawInt(database(), sql); }
    // Runs the search and checks the rows against SQLite's count of the same criteria.
    void expectSearch(frmSelect& dialog, SelectKind kind, const std::string& where, const std::string& countSql) {
        dialog.cmdCauta_Click();
        EXPECT_EQ(dialog.where(), where);
        const long long expected = count(countSql);
        EXPECT_EQ(dialog.list(kind)->topLevelItemCount(), expected) << where;
        EXPECT_EQ(dialog.lblCount()->text().toLongLong(), expected) << where;
    }
    static QStringList row(QTreeWidget* list, int index) {
        QStringList texts;
        QTreeWidgetItem* item = list->topLevelItem(index);
        for (int c = 0; item && c < item->columnCount(); ++c) texts << item->text(c);
        return texts;
    }
};

TEST_F(SelectionDialog, EachKindShowsOnlyItsTabWithItsCaptionColumnsAndFocus) {
    const char* captions[] = {"SelectieSPITAL", "Selectie sume velmora la nivel de spital", "Selectie sectii spital",
                              "Selectie sume velmora la nivel de sectie"};
    const QStringList tabs{"Spitale", "Velmora Spital", "Sectii spital", "Velmora sectie"};
    const QStringList headers[] = {{"IdSpital", "Cod spital", "Denumire spital"},
                                   {"IdCost", "Perioada"},
                                   {"IdSectieFiltrat", "Cod sectie", "Nr. Sectie"},
                                   {"IdCost", "Perioada", "Cod Sectie"}};
    const char* focused[] = {"cmdCauta", "cmbPerioadaSpital", "cmdCauta", "cmbPerioadaSectie"};
    for (int kind = 0; kind < 4; ++kind) {
        auto dialog = openDialog(static_cast<SelectKind>(kind));
        EXPECT_EQ(dialog->windowTitle().toStdString(), captions[kind]);
        for (int tab = 0; tab < 4; ++tab) {
            EXPECT_EQ(dialog->ssTab()->tabText(tab), tabs[tab]);
            EXPECT_EQ(dialog->ssTab()->isTabVisible(tab), tab == kind) << kind << " " << tab;
        }
        EXPECT_EQ(dialog->ssTab()->currentIndex(), kind);
        QStringList shown;
        QTreeWidget* list = dialog->list(static_cast<SelectKind>(kind));
        for (int c = 0; c < list->columnCount(); ++c) shown << list->headerItem()->text(c);
        EXPECT_EQ(shown, headers[kind]);
        EXPECT_EQ(dialog->lblCount()->text(), QStringLiteral("0"));
        QWidget* now = QApplication::focusWidget();
        QWidget* target = dialog->findChild<QWidget*>(QString::fromLatin1(focused[kind]));
        ASSERT_TRUE(target);
        EXPECT_TRUE(now && (now == target || target->isAncestorOf(now))) << kind;
        dialog->show();  // showing again does not add to the caption
        EXPECT_EQ(dialog->windowTitle().toStdString(), captions[kind]);
    }
    auto none = openDialog(std::nullopt);  // no kind: no tab, no search
    EXPECT_EQ(none->windowTitle(), QStringLiteral("Selectie"));
    none->cmdCauta_Click();
    for (int kind = 0; kind < 4; ++kind) EXPECT_EQ(none->list(static_cast<SelectKind>(kind))->topLevelItemCount(), 0);
}

TEST_F(SelectionDialog, HospitalsOfTheConfiguredCountyWithCodesAndNamesTrimmed) {
    test::execSql(database(),
                  "INSERT INTO Nom_Spitale (CodSpital, DenSpital, IdJudet) VALUES "
                  "('  AB2 ', ' Spitalul Doi  ', 13), ('ZZ9', 'Alt judet', 12)");
    auto dialog = openDialog(SelectKind::Spitale);
    velmora::HostedControl* county = dialog->combo("cmbJudet");
    EXPECT_FALSE(county->get("Enabled").toBool());
    EXPECT_EQ(county->get("BackColor").toLong(), static_cast<int32_t>(0x8000000Fu));
    EXPECT_EQ(county->get("Cheie").toLong(), 13);
    expectSearch(*dialog, SelectKind::Spitale, " WHERE a.IdJudet=13",
                 "SELECT count(*) FROM Nom_Spitale WHERE IdJudet=13");
    const QString added = QString::number(count("SELECT IdSpital FROM Nom_Spitale WHERE CodSpital='  AB2 '"));
    ASSERT_GE(dialog->list(SelectKind::Spitale)->topLevelItemCount(), 2);
    EXPECT_EQ(row(dialog->list(SelectKind::Spitale), 0),
              (QStringList{added, "AB2", "Spitalul Doi"}));  // ordered by code
    EXPECT_EQ(row(dialog->list(SelectKind::Spitale), 1),
              (QStringList{"1", "SJU01", "Spitalul Judetean de Urgenta Exemplu"}));
    EXPECT_EQ(dialog->list(SelectKind::Spitale)->currentItem(), dialog->list(SelectKind::Spitale)->topLevelItem(0));
    EXPECT_EQ(QApplication::focusWidget(), dialog->list(SelectKind::Spitale));
    // A second search starts from an empty list.
    expectSearch(*dialog, SelectKind::Spitale, " WHERE a.IdJudet=13",
                 "SELECT count(*) FROM Nom_Spitale WHERE IdJudet=13");
}

TEST_F(SelectionDialog, WithoutAConfiguredCountyTheFirstIsPresetAndAnyCanBeChosen) {
    start("-1", "-1");
    auto dialog = openDialog(SelectKind::Spitale);
    velmora::HostedControl* county = dialog->combo("cmbJudet");
    EXPECT_TRUE(county->get("Enabled").toBool());
    EXPECT_EQ(county->get("ListIndex").toLong(), 0);
    const int32_t first = county->get("Cheie").toLong();
    expectSearch(*dialog, SelectKind::Spitale, " WHERE a.IdJudet=" + std::to_string(first),
                 "SELECT count(*) FROM Nom_Spitale WHERE IdJudet=" + std::to_string(first));
    county->put("Cheie", com::Variant(int32_t{13}));
    expectSearch(*dialog, SelectKind::Spitale, " WHERE a.IdJudet=13",
                 "SELECT count(*) FROM Nom_Spitale WHERE IdJudet=13");
    county->put("ListIndex", com::Variant(int16_t{-1}));
    expectSearch(*dialog, SelectKind::Spitale, "", "SELECT count(*) FROM Nom_Spitale");
}

TEST_F(SelectionDialog, HospitalSheetsByPeriodAndTheLockedHospital) {
    auto dialog = openDialog(SelectKind::CostSpital);
    velmora::HostedControl* county = dialog->combo("cmbJudetSpital");
    velmora::HostedControl* hospital = dialog->combo("cmbSpital");
    velmora::HostedControl* period = dialog->combo("cmbPerioadaSpital");
    EXPECT_FALSE(county->get("Enabled").toBool());
    EXPECT_FALSE(hospital->get("Enabled").toBool());
    EXPECT_EQ(county->get("BackColor").toLong(), static_cast<int32_t>(0x8000000Au));
    EXPECT_EQ(county->get("Cheie").toLong(), 13);
    EXPECT_EQ(hospital->get("Cheie").toLong(), 1);  // filled by the county's click
    EXPECT_EQ(period->get("ListIndex").toLong(), -1);
    expectSearch(*dialog, SelectKind::CostSpital, " WHERE a.IdSpital=1",
                 "SELECT count(*) FROM Velmora_Spital WHERE IdSpital=1");
    EXPECT_EQ(row(dialog->list(SelectKind::CostSpital), 0), (QStringList{"1", "Ianuarie 2024"}));
    period->put("Cheie", com::Variant(int32_t{3}));
    expectSearch(*dialog, SelectKind::CostSpital, " WHERE a.IdPerioada=3 And a.IdSpital=1",
                 "SELECT count(*) FROM Velmora_Spital WHERE IdPerioada=3 AND IdSpital=1");
    EXPECT_EQ(dialog->list(SelectKind::CostSpital)->topLevelItemCount(), 1);
    hospital->put("ListIndex", com::Variant(int16_t{-1}));
    expectSearch(*dialog, SelectKind::CostSpital, " WHERE a.IdPerioada=3",
                 "SELECT count(*) FROM Velmora_Spital WHERE IdPerioada=3");
    period->put("ListIndex", com::Variant(int16_t{-1}));
    expectSearch(*dialog, SelectKind::CostSpital, "", "SELECT count(*) FROM Velmora_Spital");

    boxes.clear();
    period->put("Cheie", com::Variant(int32_t{7}));  // a period without sheets
    expectSearch(*dialog, SelectKind::CostSpital, " WHERE a.IdPerioada=7",
                 "SELECT count(*) FROM Velmora_Spital WHERE IdPerioada=7");
    EXPECT_EQ(boxes.texts(), (std::vector<std::string>{"Nu exista inregistrari in baza pentru selectia efectuata !"}));
    EXPECT_EQ(dialog->lblCount()->text(), QStringLiteral("0"));
    EXPECT_TRUE(period->widget()->isAncestorOf(QApplication::focusWidget()));
}

TEST_F(SelectionDialog, WardsAndWardSheetsAreThoseOfTheConfiguredHospital) {
    auto wards = openDialog(SelectKind::Sectii);
    velmora::HostedControl* hospital = wards->combo("cmbSpitalSectie");
    EXPECT_FALSE(hospital->get("Enabled").toBool());
    EXPECT_EQ(hospital->get("Cheie").toLong(), 1);
    expectSearch(*wards, SelectKind::Sectii, " WHERE a.IdSpital=1",
                 "SELECT count(*) FROM Lista_Sectii___Filtrat WHERE IdSpital=1");
    EXPECT_EQ(row(wards->list(SelectKind::Sectii), 0).size(), 3);
    EXPECT_EQ(row(wards->list(SelectKind::Sectii), 0)[2], QStringLiteral("1"));  // its number

    auto sheets = openDialog(SelectKind::CostSectie);
    velmora::HostedControl* period = sheets->combo("cmbPerioadaSectie");
    expectSearch(*sheets, SelectKind::CostSectie, " WHERE a.IdSpital=1",
                 "SELECT count(*) FROM Velmora_Sectie WHERE IdSpital=1");
    EXPECT_EQ(sheets->list(SelectKind::CostSectie)->topLevelItemCount(), 48);
    period->put("Cheie", com::Variant(int32_t{2}));
    expectSearch(*sheets, SelectKind::CostSectie, " WHERE a.IdPerioada=2 And a.IdSpital=1",
                 "SELECT count(*) FROM Velmora_Sectie WHERE IdPerioada=2 AND IdSpital=1");
    EXPECT_EQ(row(sheets->list(SelectKind::CostSectie), 0)[1], QStringLiteral("Februarie 2024"));
    EXPECT_FALSE(row(sheets->list(SelectKind::CostSectie), 0)[2].isEmpty());  // the ward's code
    boxes.clear();
    period->put("Cheie", com::Variant(int32_t{9}));
    expectSearch(*sheets, SelectKind::CostSectie, " WHERE a.IdPerioada=9 And a.IdSpital=1",
                 "SELECT count(*) FROM Velmora_Sectie WHERE IdPerioada=9 AND IdSpital=1");
    EXPECT_EQ(boxes.texts(), (std::vector<std::string>{"Nu exista inregistrari in baza pentru selectia efectuata !"}));
    EXPECT_TRUE(period->widget()->isAncestorOf(QApplication::focusWidget()));
}

TEST_F(SelectionDialog, PresetIdsTheListsDoNotHoldLeaveNoSelectionAndKeepTheSearchBounded) {
    // A configured hospital without a configured county: the hospital list is empty.
    start("-1", "1");
    auto wards = openDialog(SelectKind::Sectii);
    EXPECT_EQ(wards->combo("cmbSpitalSectie")->get("ListIndex").toLong(), -1);
    expectSearch(*wards, SelectKind::Sectii, " WHERE a.IdSpital=1",
                 "SELECT count(*) FROM Lista_Sectii___Filtrat WHERE IdSpital=1");
    auto sheets = openDialog(SelectKind::CostSpital);
    EXPECT_EQ(sheets->combo("cmbJudetSpital")->get("ListIndex").toLong(), -1);
    EXPECT_EQ(sheets->combo("cmbSpital")->get("ListCount").toLong(), 0);
    expectSearch(*sheets, SelectKind::CostSpital, "", "SELECT count(*) FROM Velmora_Spital");
    // A configured county that the county list does not hold.
    test::reconfigure(
        [](GlobalUI::Configuration::Place& place, GlobalUI::Configuration::Folders&) { place.idJudet = 13; });
    GlobalUI::session().lists().setListaJudete("1&Alba|2&Arad|");
    auto hospitals = openDialog(SelectKind::Spitale);
    EXPECT_EQ(hospitals->combo("cmbJudet")->get("ListIndex").toLong(), -1);
    EXPECT_TRUE(boxes.shown().empty());
    expectSearch(*hospitals, SelectKind::Spitale, " WHERE a.IdJudet=13",
                 "SELECT count(*) FROM Nom_Spitale WHERE IdJudet=13");
}

TEST_F(SelectionDialog, ASearchThatFailsIsReportedAndTheDialogStaysUsable) {
    auto dialog = openDialog(SelectKind::Sectii);
    test::whileLocked(database(), "BEGIN EXCLUSIVE", [&] { dialog->cmdCauta_Click(); });
    ASSERT_EQ(boxes.shown().size(), 1u);
    EXPECT_TRUE(test::isErrorReport(boxes.shown()[0], "frmSelect", "cmdCauta_Click"));
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_TRUE(dialog->isVisible());
    expectSearch(*dialog, SelectKind::Sectii, " WHERE a.IdSpital=1",
                 "SELECT count(*) FROM Lista_Sectii___Filtrat WHERE IdSpital=1");
}

TEST_F(SelectionDialog, ADoubleClickHandsTheIdBackBeforeTheDialogCloses) {
    auto dialog = openDialog(SelectKind::CostSectie);
    std::vector<std::pair<int32_t, QString>> chosen;
    bool openDuringHandler = false;
    QObject::connect(dialog.get(), &frmSelect::ItemSelectat, [&](int32_t id, const QString& text) {
        chosen.emplace_back(id, text);
        openDuringHandler = dialog->isVisible();
    });
    // Nothing listed: a double click on the empty list does nothing.
    QTest::mouseDClick(dialog->list(SelectKind::CostSectie)->viewport(), Qt::LeftButton);
    EXPECT_TRUE(chosen.empty());
    EXPECT_TRUE(dialog->isVisible());

    dialog->cmdCauta_Click();
    QTreeWidget* list = dialog->list(SelectKind::CostSectie);
    QTreeWidgetItem* second = list->topLevelItem(1);
    ASSERT_TRUE(second);
    const QRect rect = list->visualItemRect(second);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rect.center());
    EXPECT_TRUE(chosen.empty());  // a single click chooses nothing
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, rect.center());
    ASSERT_EQ(chosen.size(), 1u);
    EXPECT_EQ(chosen[0].first, second->text(0).toInt());
    EXPECT_EQ(chosen[0].second, QString());
    EXPECT_TRUE(openDuringHandler);
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

}  // namespace
