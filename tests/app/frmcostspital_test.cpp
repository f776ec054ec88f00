// The hospital cost-sheet form on the real libraries and the sample database, driven by
// keys and clicks: a whole sheet typed and saved, group totals, the rules' box, a refused
// save that keeps every typed value, reload through the selection dialog, "Renunta",
// "Sterge", refused values, and the hospital combo without a configured county.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QMessageBox>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>

#include "../support/rawdb.h"
#include "costsheet_support.h"
#include "forms/hostedcontrol.h"
#include "screens/costsheet_rules.h"
#include "screens/frmcostspital.h"
#include "shell/globalui.h"

namespace {

using velmora::CostSheetKind;
using velmora::FieldKind;
using velmora::HostedControl;

const std::string kSaved = "Obiectul a fost salvat cu succes!";

// A distinct whole figure for every field that keeps the rules: the personnel total above
// its categories, each category above its seven lines.
int64_t figureFor(const velmora::FieldSpec& spec, std::size_t position) {
    const std::string& tag = spec.tag;
    if (tag == "TCP") return 900000000;
    if (tag.rfind("c02_", 0) == 0) return 100000000 + spec.category;
    if (tag.rfind("Angajati_", 0) == 0) return 10 + spec.category;
    if (spec.page == velmora::FieldPage::Category) return 1000 * spec.category + static_cast<int64_t>(position);
    return 5000 + static_cast<int64_t>(position) * 7;
}

class CostSpitalForm : public test::CostSheetSession {
protected:
    void SetUp() override {
        ScreenSession::SetUp();
        openForm("mnuCostSpital");
    }
    int64_t stored(const std::string& column, const std::string& where) const {
        return CostSheetSession::stored("Velmora_Spital", column, where);
    }
    void pickPeriod(int32_t idPerioada) { pick("cmbPerioada", idPerioada); }
};

TEST_F(CostSpitalForm, OpensOnABlankSheetOfTheConfiguredHospital) {
    EXPECT_NE(qobject_cast<velmora::frmCostSpital*>(form), nullptr);
    EXPECT_EQ(form->windowTitle(), velmora::costSheetCaption(CostSheetKind::Spital));
    EXPECT_EQ(form->size(), QSize(789, 483));
    auto* window = qobject_cast<QMdiSubWindow*>(form->parentWidget());
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->pos(), QPoint(0, 0));
    EXPECT_FALSE(window->windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_EQ(mask(), 72);
    EXPECT_EQ(field("cmbSpital").get("Cheie").toLong(), 1);
    EXPECT_EQ(field("cmbPerioada").get("ListIndex").toLong(), -1);
    EXPECT_EQ(sheetLong("IdSpital"), 1);
    EXPECT_FALSE(dirty());
    for (const auto& spec : velmora::costSheetFields(CostSheetKind::Spital))
        EXPECT_EQ(shown(spec.name), 0) << spec.name;
    for (const char* locked : {"cmbSpital", "ctlc23", "ctlc24", "ctlc25"}) {
        EXPECT_FALSE(field(locked).get("Enabled").toBool()) << locked;
        EXPECT_EQ(field(locked).get("BackColor").toLong(), static_cast<int32_t>(0x8000000Fu)) << locked;
    }
    EXPECT_EQ(form->layout().SSTab1->currentIndex(), 0);
    EXPECT_EQ(form->layout().SSTab2->currentIndex(), 0);
    // The keys start in the period combo: the hospital combo before it is locked.
    EXPECT_TRUE(test::hasFocus(field("cmbPerioada").widget()));
}

// A whole sheet typed with the keyboard alone: Tab and Enter move through every field
// that takes the focus, page by page, then Enter on "Salveaza" saves it.
TEST_F(CostSpitalForm, AWholeSheetTypedWithKeysIsSavedExactly) {
    pickPeriod(7);
    EXPECT_TRUE(dirty());  // a period picked by the user
    EXPECT_EQ(mask(), 6);
    test::pressKey(Qt::Key_Tab);
    const auto& specs = velmora::costSheetFields(CostSheetKind::Spital);
    std::map<std::string, int64_t> typed;
    for (std::size_t i = 0; i < specs.size(); ++i) {
        const auto& spec = specs[i];
        if (spec.kind == FieldKind::GroupTotal) continue;  // locked: the keys pass it by
        ASSERT_TRUE(test::hasFocus(field(spec.name).widget())) << "expected the focus in " << spec.name;
        typed[spec.tag] = figureFor(spec, i);
        test::typeText(QString::number(typed[spec.tag]));
        test::pressKey(i % 2 ? Qt::Key_Return : Qt::Key_Tab);
    }
    ASSERT_TRUE(test::hasFocus(form->cmdButton(0)));
    test::pressKey(Qt::Key_Return);
    ASSERT_EQ(boxes.texts(), std::vector<std::string>{kSaved});
    EXPECT_EQ(mask(), 120);

    typed["c23"] = typed["c23_01"] + typed["c23_02"] + typed["c23_03"] + typed["c23_04"];
    typed["c24"] = 0;
    for (int i = 1; i <= 7; ++i) typed["c24"] += typed["c24_0" + std::to_string(i)];
    typed["c25"] = 0;
    for (int i = 1; i <= 9; ++i) typed["c25"] += typed["c25_0" + std::to_string(i)];
    const std::string row = "IdPerioada=7 AND IdSpital=1";
    ASSERT_EQ(stored("count(*)", row), 1);
    for (const auto& [tag, value] : typed) {
        EXPECT_EQ(stored(tag, row), value * com::Currency::Scale) << tag;
        EXPECT_EQ(shown("ctl" + tag), value) << tag;
    }
}

TEST_F(CostSpitalForm, APartReShowsItsGroupTotalAndATotalClearsItsParts) {
    pickPeriod(7);
    typeInto("ctlc24_03", "120");
    EXPECT_EQ(shown("ctlc24"), 120);
    typeInto("ctlc24_07", "30");
    EXPECT_EQ(shown("ctlc24"), 150);
    typeInto("ctlc23_02", "7");
    EXPECT_EQ(shown("ctlc23"), 7);
    typeInto("ctlc25_09", "-4");
    EXPECT_EQ(shown("ctlc25"), -4);

    // A total pushed (it is locked here, but the push is the same) clears its parts.
    field("ctlc24").put("Valoare", com::Variant(int32_t{500}));
    form->pushField(field("ctlc24"));
    EXPECT_EQ(shown("ctlc24"), 500);
    EXPECT_EQ(shown("ctlc24_03"), 0);
    EXPECT_EQ(shown("ctlc24_07"), 0);
    EXPECT_EQ(shown("ctlc23"), 7);
}

TEST_F(CostSpitalForm, TheRulesBoxListsWhatFailsAndNothingIsSavedUntilCorrected) {
    const auto before = test::rowCount(database(), "Velmora_Spital");
    test::click(form->cmdButton(0));  // not dirty: "Salveaza" is disabled, nothing happens
    EXPECT_TRUE(boxes.shown().empty());

    pickPeriod(7);
    test::click(form->cmdButton(0));
    const auto rules = velmora::consistencyRules(CostSheetKind::Spital);
    ASSERT_EQ(boxes.shown().size(), 1u);
    EXPECT_EQ(boxes.shown()[0].text,
              "Erori in antetul obiectului:\r\n" + std::string(rules[0].message) + "\r\n\r\n\r\n");
    EXPECT_EQ(boxes.shown()[0].icon, velmora::MsgIcon::Information);
    EXPECT_EQ(boxes.shown()[0].title, "ATENTIE!");
    EXPECT_EQ(test::rowCount(database(), "Velmora_Spital"), before);

    boxes.clear();
    typeInto("ctlc11_2", "10");  // rule 1 now holds; the total of category 2 falls short
    typeInto("ctlTCP", "5");     // and the personnel total falls short of nothing: it holds
    test::click(form->cmdButton(0));
    ASSERT_EQ(boxes.shown().size(), 1u);
    EXPECT_EQ(boxes.shown()[0].text,
              "Erori in antetul obiectului:\r\n" + std::string(rules[3].message) + "\r\n\r\n\r\n");

    boxes.clear();
    typeInto("ctlc02_2", "10");  // equality holds
    EXPECT_EQ(shown("ctlc11_2"), 10);
    typeInto("ctlTCP", "10");
    test::click(form->cmdButton(0));
    EXPECT_EQ(boxes.texts(), std::vector<std::string>{kSaved});
    EXPECT_EQ(stored("c02_2", "IdPerioada=7"), 10 * com::Currency::Scale);
}

TEST_F(CostSpitalForm, ASaveRefusedForADuplicatePeriodKeepsEveryTypedValue) {
    pickPeriod(1);  // the sample hospital's sheet of period 1 exists
    typeInto("ctlTCP", "777");
    typeInto("ctlc22", "55");
    typeInto("ctlc24_01", "3");
    test::click(form->cmdButton(0));
    ASSERT_EQ(boxes.shown().size(), 1u);
    const auto& box = boxes.shown()[0];
    EXPECT_EQ(box.icon, velmora::MsgIcon::Critical);
    EXPECT_NE(box.text.find("Sume aferente perioadei si spitalului specificate in antet au fost inserate deja.\r\n"
                            "Editati valorile inserate anterior.\r\nModulul: frmCostSpital\r\n"
                            "Subrutina/Functia: cmdButton_Click\r\n"),
              std::string::npos)
        << box.text;
    EXPECT_EQ(shown("ctlTCP"), 777);
    EXPECT_EQ(shown("ctlc22"), 55);
    EXPECT_EQ(shown("ctlc24"), 3);
    EXPECT_TRUE(dirty());
    EXPECT_EQ(mask(), 6);

    boxes.clear();
    pickPeriod(8);
    test::click(form->cmdButton(0));
    EXPECT_EQ(boxes.texts(), std::vector<std::string>{kSaved});
    EXPECT_EQ(stored("TCP", "IdPerioada=8"), 777 * com::Currency::Scale);
    EXPECT_EQ(stored("c24", "IdPerioada=8"), 3 * com::Currency::Scale);
}

TEST_F(CostSpitalForm, ASaveTheDatabaseRefusesKeepsTheTypingForTheNextSave) {
    pickPeriod(7);
    typeInto("ctlTCP", "5");
    typeInto("ctlc25_04", "8");
    {
        rawdb::RawDb holder = rawdb::openRaw(database(), SQLITE_OPEN_READWRITE);
        rawdb::rawExec(holder.get(), "BEGIN EXCLUSIVE");
        test::click(form->cmdButton(0));
    }
    ASSERT_EQ(boxes.shown().size(), 1u);
    EXPECT_EQ(boxes.shown()[0].icon, velmora::MsgIcon::Critical);
    EXPECT_NE(boxes.shown()[0].text.find("Modulul: frmCostSpital\r\nSubrutina/Functia: cmdButton_Click\r\n"),
              std::string::npos);
    EXPECT_EQ(shown("ctlTCP"), 5);
    EXPECT_EQ(shown("ctlc25"), 8);
    EXPECT_TRUE(dirty());
    EXPECT_EQ(mask(), 6);

    boxes.clear();
    test::click(form->cmdButton(0));
    EXPECT_EQ(boxes.texts(), std::vector<std::string>{kSaved});
    EXPECT_EQ(stored("c25_04", "IdPerioada=7"), 8 * com::Currency::Scale);
}

// Another user saved the sheet after this screen loaded it: nothing of this screen is
// written over it, the typed figures stay, and once loaded again the change is saved.
TEST_F(CostSpitalForm, ASheetAnotherUserSavedMeanwhileIsNotWrittenOverAndTheTypingStays) {
    const int64_t idCost = rawdb::rawInt(database(), "SELECT IdCost FROM Velmora_Spital WHERE IdPerioada=2");
    const std::string row = "IdCost=" + std::to_string(idCost);
    form->ItemSelectat(static_cast<int32_t>(idCost), "");
    rawdb::rawExec(database(), "UPDATE Velmora_Spital SET c26=4440000 WHERE " + row);
    typeInto("ctlc22", "55");
    typeInto("ctlc24_01", "3");
    boxes.clear();
    test::click(form->cmdButton(0));
    ASSERT_EQ(boxes.shown().size(), 1u);
    const auto& box = boxes.shown()[0];
    EXPECT_TRUE(test::isErrorReport(box, "frmCostSpital", "cmdButton_Click"));
    EXPECT_NE(box.text.find("Descriere Eroare: Fisa a fost modificata de alt utilizator dupa ce a fost incarcata. "
                            "Incarcati-o din nou cu Cauta... si refaceti modificarile.\r\n"),
              std::string::npos)
        << box.text;
    EXPECT_EQ(shown("ctlc22"), 55);
    EXPECT_EQ(shown("ctlc24_01"), 3);
    EXPECT_TRUE(dirty());
    EXPECT_EQ(mask(), 6);
    EXPECT_EQ(stored("c26", row), 444 * com::Currency::Scale);
    EXPECT_NE(stored("c22", row), 55 * com::Currency::Scale);

    boxes.clear();
    form->ItemSelectat(static_cast<int32_t>(idCost), "");
    EXPECT_EQ(shown("ctlc26"), 444);
    typeInto("ctlc22", "55");
    test::click(form->cmdButton(0));
    EXPECT_EQ(boxes.texts(), std::vector<std::string>{kSaved});
    EXPECT_EQ(stored("c22", row), 55 * com::Currency::Scale);
    EXPECT_EQ(stored("c26", row), 444 * com::Currency::Scale);
}

TEST_F(CostSpitalForm, ARuleSumBeyondTheCurrencyRangeIsReportedAndNothingSaved) {
    pickPeriod(7);
    typeInto("ctlc02_1", "922337203685477");
    typeInto("ctlc02_2", "1");
    const auto before = test::rowCount(database(), "Velmora_Spital");
    boxes.clear();
    test::click(form->cmdButton(0));
    ASSERT_EQ(boxes.shown().size(), 1u);
    EXPECT_EQ(boxes.shown()[0].text.rfind("Numar Eroare: 6.\r\n", 0), 0u) << boxes.shown()[0].text;
    EXPECT_NE(boxes.shown()[0].text.find("Subrutina/Functia: cmdButton_Click"), std::string::npos);
    EXPECT_EQ(test::rowCount(database(), "Velmora_Spital"), before);
    EXPECT_EQ(shown("ctlc02_1"), 922337203685477);
    EXPECT_TRUE(dirty());
}

TEST_F(CostSpitalForm, ASheetFoundThroughTheSelectionDialogIsShownAndRestoredByRenunta) {
    const int64_t idCost = rawdb::rawInt(database(), "SELECT IdCost FROM Velmora_Spital WHERE IdPerioada=3");
    ASSERT_GT(idCost, 0);
    form->layout().SSTab1->setCurrentIndex(2);
    const auto watcher = test::chooseInSelection(1, idCost);
    test::click(form->cmdButton(2));
    reactivate();
    EXPECT_EQ(sheetLong("IdCost"), idCost);
    EXPECT_FALSE(dirty());
    EXPECT_EQ(mask(), 120);
    EXPECT_EQ(form->layout().SSTab1->currentIndex(), 0);
    EXPECT_EQ(field("cmbPerioada").get("Cheie").toLong(), 3);
    EXPECT_EQ(field("cmbSpital").get("Cheie").toLong(), 1);
    for (const auto& spec : velmora::costSheetFields(CostSheetKind::Spital))
        EXPECT_EQ(field(spec.name).get("Valoare").toCurrency().units(),
                  stored(spec.tag, "IdCost=" + std::to_string(idCost)))
            << spec.name;

    const int64_t tcp = shown("ctlTCP");
    const int64_t c24 = shown("ctlc24");
    for (int round = 0; round < 2; ++round) {
        typeInto("ctlTCP", "1");
        typeInto("ctlc24_02", "1");
        EXPECT_NE(shown("ctlc24"), c24);
        EXPECT_EQ(mask(), 6);
        test::click(form->cmdButton(1));
        EXPECT_EQ(shown("ctlTCP"), tcp) << round;
        EXPECT_EQ(shown("ctlc24"), c24) << round;
        EXPECT_FALSE(dirty());
        EXPECT_EQ(mask(), 120);
    }
    EXPECT_TRUE(boxes.shown().empty());
}

TEST_F(CostSpitalForm, RenuntaAndAdaugaLeaveABlankSheetWithTheFocusOnThePeriod) {
    pickPeriod(7);
    typeInto("ctlc72", "12");
    test::click(form->cmdButton(1));
    EXPECT_EQ(shown("ctlc72"), 0);
    EXPECT_EQ(field("cmbPerioada").get("ListIndex").toLong(), -1);
    EXPECT_EQ(field("cmbSpital").get("Cheie").toLong(), 1);
    EXPECT_EQ(sheetLong("IdPerioada"), -1);
    EXPECT_FALSE(dirty());
    EXPECT_EQ(mask(), 72);
    EXPECT_TRUE(test::hasFocus(field("cmbPerioada").widget()));

    form->ItemSelectat(static_cast<int32_t>(rawdb::rawInt(database(), "SELECT min(IdCost) FROM Velmora_Spital")), "");
    test::focus(field("ctlTCP").widget());
    test::click(form->cmdButton(3));  // "Adauga"
    EXPECT_TRUE(com::getProperty(*form->object(), "IsNew").toBool());
    EXPECT_EQ(shown("ctlTCP"), 0);
    EXPECT_EQ(sheetLong("IdSpital"), 1);
    EXPECT_TRUE(test::hasFocus(field("cmbPerioada").widget()));
    EXPECT_EQ(mask(), 72);
}

TEST_F(CostSpitalForm, SterngeAsksAndRemovesTheSheetOnlyOnYes) {
    const int64_t idCost = rawdb::rawInt(database(), "SELECT IdCost FROM Velmora_Spital WHERE IdPerioada=2");
    form->ItemSelectat(static_cast<int32_t>(idCost), "");
    test::click(form->cmdButton(4));  // answered "Nu"
    ASSERT_EQ(boxes.shown().size(), 1u);
    EXPECT_EQ(boxes.shown()[0].text, "Obiectul va fi sters permanent din baza de date!\r\nDoriti sa continuati?");
    EXPECT_EQ(boxes.shown()[0].buttons, velmora::MsgButtons::YesNo);
    EXPECT_EQ(stored("count(*)", "IdCost=" + std::to_string(idCost)), 1);
    EXPECT_EQ(mask(), 120);

    boxes.clear();
    boxes.answer(velmora::MsgAnswer::Yes);
    test::click(form->cmdButton(4));
    EXPECT_EQ(boxes.shown().size(), 1u);  // the question only: no success message
    EXPECT_EQ(stored("count(*)", "IdCost=" + std::to_string(idCost)), 0);
    EXPECT_TRUE(com::getProperty(*form->object(), "IsNew").toBool());
    EXPECT_EQ(shown("ctlTCP"), 0);
    EXPECT_EQ(mask(), 72);
    EXPECT_TRUE(test::hasFocus(field("cmbPerioada").widget()));
}

// The question on the screen itself: Escape and the close box answer "Nu".
TEST_F(CostSpitalForm, StergeAnsweredByEscapeOrTheCloseBoxKeepsTheSheet) {
    const int64_t idCost = rawdb::rawInt(database(), "SELECT IdCost FROM Velmora_Spital WHERE IdPerioada=2");
    form->ItemSelectat(static_cast<int32_t>(idCost), "");
    for (const bool escape : {true, false}) {
        const std::string asked = test::answerOnScreen([&] { test::click(form->cmdButton(4)); },
                                                       [&](QMessageBox& box) {
                                                           if (escape) QTest::keyClick(&box, Qt::Key_Escape);
                                                           else box.close();
                                                       });
        EXPECT_EQ(asked, "Obiectul va fi sters permanent din baza de date!\nDoriti sa continuati?") << escape;
        EXPECT_EQ(stored("count(*)", "IdCost=" + std::to_string(idCost)), 1) << escape;
        EXPECT_EQ(sheetLong("IdCost"), idCost) << escape;
        EXPECT_EQ(mask(), 120) << escape;
    }
}

TEST_F(CostSpitalForm, ValuesThatCannotBeStoredAreReportedAndThePreviousValueKept) {
    typeInto("ctlc26", "40");
    boxes.clear();
    typeInto("ctlc26", "99999999999999999999");
    ASSERT_EQ(boxes.shown().size(), 1u);
    EXPECT_NE(boxes.shown()[0].text.find("Numar Eroare: 6.\r\n"), std::string::npos) << boxes.shown()[0].text;
    EXPECT_NE(boxes.shown()[0].text.find("Modulul: frmCostSpital\r\nSubrutina/Functia: ctlc26_Validate\r\n"),
              std::string::npos);
    EXPECT_EQ(shown("ctlc26"), 40);
    EXPECT_EQ(com::getProperty(*form->object(), "c26").toCurrency(), com::Currency::fromInteger(40));

    // A part whose group total would leave the currency range.
    boxes.clear();
    typeInto("ctlc25_01", "922337203685477");
    EXPECT_TRUE(boxes.shown().empty());
    typeInto("ctlc25_02", "1");
    ASSERT_EQ(boxes.shown().size(), 1u);
    EXPECT_NE(boxes.shown()[0].text.find("Subrutina/Functia: ctlc25_02_Validate"), std::string::npos);
    EXPECT_EQ(shown("ctlc25_02"), 0);
    EXPECT_EQ(shown("ctlc25"), 922337203685477);

    // Pasted text with decimals: amounts are whole numbers, so the paste is refused with
    // the whole-number notice and nothing reaches the sheet.
    boxes.clear();
    QApplication::clipboard()->setText(QStringLiteral("12.5"));
    velmora::showPageOf(form->layout(), field("ctlc27").widget());
    test::focus(field("ctlc27").widget());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Insert, Qt::ShiftModifier);  // paste
    test::pressKey(Qt::Key_Tab);
    EXPECT_EQ(boxes.texts(), std::vector<std::string>{"Sumele si numarul de angajati se introduc ca numere intregi."});
    EXPECT_EQ(com::getProperty(*form->object(), "c27").toCurrency(), com::Currency());
    EXPECT_EQ(shown("ctlc27"), 0);
}

TEST_F(CostSpitalForm, TheCategoryTabsFocusTheirTotalAndThePagesKeepTheirValues) {
    typeInto("ctlc13_1", "8");
    for (int tab = 5; tab >= 0; --tab) {
        form->layout().SSTab2->setCurrentIndex(tab);
        QCoreApplication::processEvents();
        EXPECT_TRUE(test::hasFocus(field("ctlc02_" + std::to_string(tab + 1)).widget())) << tab;
    }
    form->layout().SSTab1->setCurrentIndex(1);
    form->layout().SSTab1->setCurrentIndex(0);
    EXPECT_EQ(shown("ctlc13_1"), 8);

    // Backtab crosses back to the previous page's last field.
    form->layout().SSTab2->setCurrentIndex(1);
    QCoreApplication::processEvents();
    test::pressKey(Qt::Key_Backtab);
    EXPECT_TRUE(test::hasFocus(field("ctlAngajati_1").widget()));
    EXPECT_EQ(form->layout().SSTab2->currentIndex(), 0);
}

class CostSpitalNoCounty : public CostSpitalForm {
protected:
    void SetUp() override {
        start("-1", "1");
        openForm("mnuCostSpital");
    }
};

TEST_F(CostSpitalNoCounty, TheHospitalComboShowsTheSheetsHospitalOnce) {
    HostedControl& combo = field("cmbSpital");
    EXPECT_EQ(combo.get("ListCount").toLong(), 1);
    EXPECT_EQ(combo.get("Cheie").toLong(), 1);
    EXPECT_EQ(combo.get("Text").toString(), "Spitalul Judetean de Urgenta Exemplu");
    const int64_t idCost = rawdb::rawInt(database(), "SELECT min(IdCost) FROM Velmora_Spital");
    for (int round = 0; round < 2; ++round) {
        form->ItemSelectat(static_cast<int32_t>(idCost), "");
        test::click(form->cmdButton(3));
    }
    EXPECT_EQ(combo.get("ListCount").toLong(), 1);
    EXPECT_EQ(combo.get("Cheie").toLong(), 1);
    EXPECT_TRUE(boxes.shown().empty());
}

}  // namespace
