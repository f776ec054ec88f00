// The ward cost-sheet form on the real libraries and the sample database: a whole sheet
// typed with keys and saved, article 23 typed apart from its parts and checked by its own
// rule, the ward combo, reload through the selection dialog, and a hospital without wards.
#include <gtest/gtest.h>

#include <QLineEdit>
#include <QLocale>
#include <QPushButton>

#include <map>

#include "../support/rawdb.h"
#include "costsheet_support.h"
#include "screens/costsheet_rules.h"
#include "screens/frmcostsectie.h"
#include "shell/globalui.h"

namespace {

using velmora::CostSheetKind;
using velmora::FieldKind;

const std::string kSaved = "Obiectul a fost salvat cu succes!";

class CostSectieForm : public test::CostSheetSession {
protected:
    void SetUp() override {
        ScreenSession::SetUp();
        openForm("mnuCostSectie");
    }
    int64_t stored(const std::string& column, const std::string& where) const {
        return CostSheetSession::stored("Velmora_Sectie", column, where);
    }
    // The sample's ward 8 (the second ward of type 1) has sheets for periods 1 to 6.
    void chooseWardAndPeriod(int32_t ward, int32_t period) {
        pick("cmbSectieFiltrat", ward);
        pick("cmbPerioada", period);
    }
};

TEST_F(CostSectieForm, OpensOnABlankSheetWithTheHospitalsWards) {
    EXPECT_NE(qobject_cast<velmora::frmCostSectie*>(form), nullptr);
    EXPECT_EQ(form->windowTitle(), velmora::costSheetCaption(CostSheetKind::Sectie));
    velmora::HostedControl& wards = field("cmbSectieFiltrat");
    EXPECT_EQ(wards.get("ListCount").toLong(), 8);
    EXPECT_EQ(wards.get("ListIndex").toLong(), -1);
    EXPECT_FALSE(dirty());
    EXPECT_EQ(mask(), 72);
    for (const char* locked : {"ctlc24", "ctlc25"}) EXPECT_FALSE(field(locked).get("Enabled").toBool()) << locked;
    for (const char* open : {"ctlc23", "cmbSectieFiltrat"}) EXPECT_TRUE(field(open).get("Enabled").toBool()) << open;
    // The keys start in the ward combo, the first stop of the form's tab order.
    EXPECT_TRUE(test::hasFocus(wards.widget()));

    // A ward chosen outside a load is the user's choice: the sheet takes the ward's hospital,
    // type and number and becomes dirty.
    wards.put("Cheie", com::Variant(int32_t{8}));
    EXPECT_NE(wards.get("Text").toString().find("---2"), std::string::npos) << wards.get("Text").toString();
    EXPECT_EQ(sheetLong("IdSectieFiltrat"), 8);
    EXPECT_EQ(sheetLong("NrSectie"), 2);
    EXPECT_TRUE(dirty());
    EXPECT_EQ(mask(), 6);
}

TEST_F(CostSectieForm, AWholeSheetTypedWithKeysIsSavedExactly) {
    chooseWardAndPeriod(3, 9);
    EXPECT_EQ(sheetLong("IdSpital"), 1);
    EXPECT_EQ(sheetLong("IdSectie"), 3);
    EXPECT_EQ(mask(), 6);
    test::pressKey(Qt::Key_Tab);
    const auto& specs = velmora::costSheetFields(CostSheetKind::Sectie);
    std::map<std::string, int64_t> typed;
    for (std::size_t i = 0; i < specs.size(); ++i) {
        const auto& spec = specs[i];
        if (spec.kind == FieldKind::GroupTotal) continue;  // locked: the keys pass it by
        ASSERT_TRUE(test::hasFocus(field(spec.name).widget())) << "expected the focus in " << spec.name;
        int64_t value = 3000 + static_cast<int64_t>(i) * 11;
        if (spec.tag == "TCP") value = 900000000;
        else if (spec.tag.rfind("c02_", 0) == 0) value = 100000000 + spec.category;
        else if (spec.tag == "c23") value = 999999;  // covers its four parts
        typed[spec.tag] = value;
        test::typeText(QString::number(value));
        test::pressKey(i % 3 ? Qt::Key_Tab : Qt::Key_Enter);
    }
    ASSERT_TRUE(test::hasFocus(form->cmdButton(0)));
    test::pressKey(Qt::Key_Return);
    ASSERT_EQ(boxes.texts(), std::vector<std::string>{kSaved});
    typed["c24"] = typed["c25"] = 0;
    for (int i = 1; i <= 7; ++i) typed["c24"] += typed["c24_0" + std::to_string(i)];
    for (int i = 1; i <= 9; ++i) typed["c25"] += typed["c25_0" + std::to_string(i)];
    const std::string row = "IdPerioada=9 AND IdSpital=1 AND IdSectie=3 AND NrSectie=1";
    ASSERT_EQ(stored("count(*)", row), 1);
    for (const auto& [tag, value] : typed) EXPECT_EQ(stored(tag, row), value * com::Currency::Scale) << tag;
}

TEST_F(CostSectieForm, Article23IsTypedApartFromItsPartsAndCheckedBeforeTheSave) {
    chooseWardAndPeriod(2, 9);
    typeInto("ctlTCP", "1");
    typeInto("ctlc23", "100");
    typeInto("ctlc23_01", "60");
    typeInto("ctlc23_02", "50");
    EXPECT_EQ(shown("ctlc23"), 100);
    EXPECT_EQ(shown("ctlc23_01"), 60);
    EXPECT_EQ(shown("ctlc23_02"), 50);
    test::click(form->cmdButton(0));
    ASSERT_EQ(boxes.shown().size(), 1u);
    EXPECT_EQ(boxes.shown()[0].text, "Erori in antetul obiectului:\r\n" +
                                         std::string(velmora::consistencyRules(CostSheetKind::Sectie)[8].message) +
                                         "\r\n\r\n\r\n");
    EXPECT_EQ(stored("count(*)", "IdPerioada=9"), 0);

    boxes.clear();
    typeInto("ctlc23_02", "40");  // 100 >= 60 + 40
    test::click(form->cmdButton(0));
    EXPECT_EQ(boxes.texts(), std::vector<std::string>{kSaved});
    EXPECT_EQ(stored("c23", "IdPerioada=9"), 100 * com::Currency::Scale);
    EXPECT_EQ(stored("c23_02", "IdPerioada=9"), 40 * com::Currency::Scale);

    // Groups 24 and 25 stay summed on the ward sheet.
    typeInto("ctlc24_03", "9");
    EXPECT_EQ(shown("ctlc24"), 9);
}

TEST_F(CostSectieForm, ADuplicateSheetIsReportedInTheWardsWordsAndTheTypingKept) {
    chooseWardAndPeriod(8, 1);
    typeInto("ctlc72", "31");
    test::click(form->cmdButton(0));
    ASSERT_EQ(boxes.shown().size(), 1u);
    EXPECT_NE(boxes.shown()[0].text.find("Sume aferente perioadei si sectiei specificate in antet au fost inserate "
                                         "deja.\r\nEditati valorile inserate anterior.\r\nModulul: frmCostSectie\r\n"),
              std::string::npos)
        << boxes.shown()[0].text;
    EXPECT_EQ(shown("ctlc72"), 31);
    EXPECT_EQ(mask(), 6);
}

// A ward the sheet cannot look up (the database locked) is reported by the combo's click
// handler and the combo shows no ward; once free, the same pick is taken.
TEST_F(CostSectieForm, AWardPickTheDatabaseRefusesIsReportedByItsClickHandler) {
    velmora::HostedControl& wards = field("cmbSectieFiltrat");
    test::focus(wards.widget());
    {
        rawdb::RawDb holder = rawdb::openRaw(database(), SQLITE_OPEN_READWRITE);
        rawdb::rawExec(holder.get(), "BEGIN EXCLUSIVE");
        wards.put("Cheie", com::Variant(int32_t{8}));
    }
    ASSERT_EQ(boxes.shown().size(), 1u);
    EXPECT_NE(boxes.shown()[0].text.find("Modulul: frmCostSectie\r\nSubrutina/Functia: cmbSectieFiltrat_Click\r\n"),
              std::string::npos)
        << boxes.shown()[0].text;
    EXPECT_EQ(wards.get("ListIndex").toLong(), -1);
    EXPECT_EQ(sheetLong("IdSectieFiltrat"), -1);

    boxes.clear();
    wards.put("Cheie", com::Variant(int32_t{8}));
    EXPECT_TRUE(boxes.shown().empty());
    EXPECT_EQ(sheetLong("IdSectieFiltrat"), 8);
    EXPECT_TRUE(dirty());
}

TEST_F(CostSectieForm, AStoredSheetIsFoundShownAndDeleted) {
    const std::string where = "IdPerioada=4 AND IdSectie=1 AND NrSectie=2";
    const int64_t idCost = stored("IdCost", where);
    ASSERT_GT(idCost, 0);
    const auto watcher = test::chooseInSelection(3, idCost);
    test::click(form->cmdButton(2));
    reactivate();
    EXPECT_EQ(sheetLong("IdCost"), idCost);
    EXPECT_FALSE(dirty());
    EXPECT_EQ(field("cmbSectieFiltrat").get("Cheie").toLong(), 8);
    EXPECT_EQ(field("cmbPerioada").get("Cheie").toLong(), 4);
    for (const auto& spec : velmora::costSheetFields(CostSheetKind::Sectie))
        EXPECT_EQ(field(spec.name).get("Valoare").toCurrency().units(), stored(spec.tag, where)) << spec.name;

    boxes.answer(velmora::MsgAnswer::Yes);
    test::click(form->cmdButton(4));
    EXPECT_EQ(stored("count(*)", where), 0);
    EXPECT_TRUE(com::getProperty(*form->object(), "IsNew").toBool());
    EXPECT_EQ(field("cmbSectieFiltrat").get("ListIndex").toLong(), -1);
    EXPECT_TRUE(test::hasFocus(field("cmbSectieFiltrat").widget()));
}

TEST_F(CostSectieForm, RenuntaOnANewSheetClearsWardPeriodAndFigures) {
    chooseWardAndPeriod(5, 9);
    typeInto("ctlc10_1", "1234567");
    test::click(form->cmdButton(1));
    EXPECT_EQ(sheetLong("IdSectieFiltrat"), -1);
    EXPECT_EQ(sheetLong("IdPerioada"), -1);
    EXPECT_EQ(shown("ctlc10_1"), 0);
    EXPECT_EQ(field("cmbSectieFiltrat").get("ListIndex").toLong(), -1);
    EXPECT_EQ(mask(), 72);
    EXPECT_TRUE(test::hasFocus(field("cmbSectieFiltrat").widget()));
}

TEST_F(CostSectieForm, TheDoctorsLinesShowNoDigitGrouping) {
    const QLocale saved;
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    typeInto("ctlc10_1", "1234567");
    typeInto("ctlc10_2", "1234567");
    const auto text = [this](const char* name) {
        return field(name).widget()->findChild<QLineEdit*>(QStringLiteral("txt"))->text().toStdString();
    };
    EXPECT_EQ(text("ctlc10_1"), "1234567");
    EXPECT_EQ(text("ctlc10_2"), "1,234,567");
    QLocale::setDefault(saved);
}

class CostSectieWithoutWards : public CostSectieForm {
protected:
    void SetUp() override {
        ScreenSession::SetUp();
        rawdb::rawExec(database(),
                       "INSERT INTO Nom_Spitale (IdSpital, CodSpital, DenSpital, IdJudet) VALUES (2, 'SM02', 'Spital "
                       "fara sectii', 13)");
        test::reconfigure(
            [](GlobalUI::Configuration::Place& place, GlobalUI::Configuration::Folders&) { place.idSpital = 2; });
        openForm("mnuCostSectie");
    }
};

TEST_F(CostSectieWithoutWards, TheWardComboIsEmptyAndASaveAsksForAWard) {
    EXPECT_EQ(field("cmbSectieFiltrat").get("ListCount").toLong(), 0);
    pick("cmbPerioada", 9);
    typeInto("ctlTCP", "5");
    test::click(form->cmdButton(0));
    ASSERT_EQ(boxes.shown().size(), 1u);
    EXPECT_EQ(boxes.shown()[0].text, "Erori in antetul obiectului:\r\nSectia trebuie specificata.\r\n\r\n\r\n");
}

}  // namespace
