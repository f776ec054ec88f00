// The cost-sheet layout built from its table on real controls: the amounts against the
// business library's catalogue, captions, colours, places, tabs, tab order, the button
// bar, and what differs between the hospital and the ward form.
#include <gtest/gtest.h>

#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>

#include <set>

#include "../../business/costs/amount_catalogue.h"
#include "forms/formcontroller.h"
#include "forms/hostedcontrol.h"
#include "screens/costsheet_layout.h"
#include "typelib/twips.h"

namespace {

using velmora::CostSheetKind;
using velmora::FieldKind;

const velmora::FieldSpec& spec(CostSheetKind kind, const std::string& name) {
    for (const auto& field : velmora::costSheetFields(kind))
        if (field.name == name) return field;
    throw std::runtime_error("no field " + name);
}

struct Form {
    QWidget form;
    velmora::CostSheetLayout layout;
    explicit Form(CostSheetKind kind) {
        layout = velmora::buildCostSheetLayout(&form, kind, velmora::createButtonBar(&form));
        form.show();
        form.activateWindow();
        (void)QTest::qWaitForWindowActive(&form);
        QApplication::processEvents();
    }
    velmora::HostedControl& field(const std::string& name) { return *layout.byName.at(name); }
    QWidget* widget(const std::string& name) { return layout.byName.at(name)->widget(); }
    // Where a field or label sits, in pixels from the tab control that holds it.
    QPoint placeIn(QWidget* child, QWidget* tabs) { return child->mapTo(tabs, QPoint(0, 0)); }
};

TEST(CostSheetLayout, TheAmountsAreTheCataloguesWithItsGroups) {
    namespace vb = Velmora_Business;
    for (const auto kind : {CostSheetKind::Spital, CostSheetKind::Sectie}) {
        const auto& fields = velmora::costSheetFields(kind);
        ASSERT_EQ(fields.size(), vb::AmountCount);
        std::set<std::string> tags;
        for (const auto& field : fields) tags.insert(field.tag);
        EXPECT_EQ(tags.size(), vb::AmountCount);
        for (const auto& amount : vb::amountCatalogue) {
            const std::string name(amount.name);
            ASSERT_TRUE(tags.count(name)) << name;
            const auto& field = spec(kind, "ctl" + name);
            // The ward sheet types article 23 and its parts freely; every other group is summed.
            const bool linked = amount.group != vb::AmountGroup::None &&
                                !(kind == CostSheetKind::Sectie && amount.group == vb::AmountGroup::C23);
            const FieldKind expected = !linked                                     ? FieldKind::Plain
                                       : amount.role == vb::AmountRole::GroupTotal ? FieldKind::GroupTotal
                                                                                   : FieldKind::GroupPart;
            EXPECT_EQ(field.kind, expected) << name;
        }
    }
    EXPECT_EQ(spec(CostSheetKind::Spital, "ctlc24_07").total, "ctlc24");
    EXPECT_EQ(spec(CostSheetKind::Spital, "ctlc25").parts.size(), 9u);
    EXPECT_EQ(spec(CostSheetKind::Spital, "ctlc23").parts.front(), "ctlc23_01");
    EXPECT_TRUE(spec(CostSheetKind::Sectie, "ctlc23").parts.empty());
}

TEST(CostSheetLayout, WindowFrameTabsAndButtons) {
    Form f(CostSheetKind::Spital);
    EXPECT_EQ(f.form.size(), QSize(789, 483));
    EXPECT_EQ(velmora::costSheetCaption(CostSheetKind::Spital),
              QString(66, u' ') + "Introducere / editare / eliminare velmora la nivel de spital");
    EXPECT_TRUE(velmora::costSheetCaption(CostSheetKind::Sectie).endsWith("la nivel de sectie"));
    EXPECT_EQ(f.layout.frmDateGenerale->title(), "Date generale");
    EXPECT_EQ(f.layout.frmDateGenerale->geometry(), QRect(0, 0, 789, 443));
    ASSERT_EQ(f.layout.SSTab1->count(), 3);
    EXPECT_EQ(f.layout.SSTab1->tabText(1), "Cheltuieli materiale");
    ASSERT_EQ(f.layout.SSTab2->count(), 6);
    EXPECT_EQ(f.layout.SSTab2->tabText(1), "Salarii alt pers. superior si farmacisti");
    EXPECT_EQ(f.layout.SSTab2->tabText(5), "Salarii muncitori");
    EXPECT_EQ(f.layout.SSTab1->geometry(), QRect(2, 46, 785, 393));

    EXPECT_EQ(f.layout.picButton->geometry(), QRect(0, 444, 789, 39));
    const std::array<QRect, 6> places{QRect(20, 6, 55, 25),  QRect(88, 6, 55, 25),  QRect(220, 6, 53, 25),
                                      QRect(328, 6, 51, 25), QRect(440, 6, 55, 25), QRect(706, 6, 51, 25)};
    for (int i = 0; i < 6; ++i) EXPECT_EQ(f.layout.cmdButton[i]->geometry(), places[i]) << i;
    EXPECT_EQ(f.layout.cmdButton[5]->text(), "Iesire");
    EXPECT_EQ(f.layout.cmdButton[5]->toolTip(), "Inchide macheta curenta.");
}

TEST(CostSheetLayout, CaptionsColoursAndFonts) {
    Form f(CostSheetKind::Spital);
    const auto label = [&f](const std::string& name) { return f.layout.labels.at(name); };
    EXPECT_EQ(label("ctlc23")->text(), " 23 - Medicamente & mat. sanit");
    EXPECT_EQ(label("ctlc02_4")->text(), " 02 - Total cheltuieli ");
    EXPECT_EQ(label("ctlTCP")->text(), " TOTAL cheltuieli personal ");
    EXPECT_EQ(label("ctlc25_09")->text(), " 25.09");
    EXPECT_EQ(label("cmbSpital")->text(), " Spital:");
    EXPECT_EQ(label("cmbPerioada")->text(), " Perioada:");
    const auto colour = [&](const std::string& name) { return label(name)->palette().color(QPalette::Window); };
    EXPECT_EQ(colour("ctlc10_2"), QColor(255, 255, 192));
    EXPECT_EQ(colour("ctlc24"), QColor(255, 255, 192));
    EXPECT_EQ(colour("cmbSpital"), QColor(255, 255, 192));
    EXPECT_EQ(colour("ctlc02_1"), QColor(255, 224, 192));
    EXPECT_EQ(colour("ctlc24_03"), QColor(255, 224, 192));
    EXPECT_EQ(colour("ctlAngajati_6"), QColor(192, 255, 192));
    EXPECT_TRUE(label("ctlc72")->font().bold());
    EXPECT_EQ(label("ctlc72")->frameShape(), QFrame::Box);

    // Every caption fits its label: nothing is clipped.
    for (const auto& [name, caption] : f.layout.labels)
        EXPECT_LE(caption->fontMetrics().horizontalAdvance(caption->text()) + 2, caption->contentsRect().width())
            << name;

    auto& field = f.field("ctlc10_3");
    EXPECT_EQ(field.get("TipData").toLong(), 3);
    EXPECT_EQ(field.get("NrZecimale").toLong(), 0);
    EXPECT_TRUE(field.get("AfisezFormat").toBool());
    EXPECT_EQ(field.get("Alignment").toLong(), 1);
    EXPECT_NE(field.get("Font").toString().find("8.25"), std::string::npos);
    EXPECT_EQ(field.tag(), "c10_3");
    EXPECT_EQ(f.field("cmbPerioada").tag(), "IdPerioada");
}

TEST(CostSheetLayout, PlacesInTwipsFromTheTabControls) {
    Form f(CostSheetKind::Spital);
    QTabWidget* tab1 = f.layout.SSTab1;
    QTabWidget* tab2 = f.layout.SSTab2;
    EXPECT_EQ(f.placeIn(f.widget("ctlTCP"), tab1), QPoint(328, 36));
    EXPECT_EQ(f.placeIn(f.layout.labels.at("ctlTCP"), tab1), QPoint(8, 36));
    EXPECT_EQ(f.placeIn(tab2, tab1), QPoint(6, 70));
    EXPECT_EQ(f.placeIn(f.widget("ctlc16_1"), tab2), QPoint(346, 290));
    EXPECT_EQ(f.placeIn(f.widget("ctlAngajati_1"), tab2), QPoint(646, 42));
    EXPECT_EQ(f.layout.labels.at("ctlAngajati_1")->width(), 151);

    f.layout.SSTab1->setCurrentIndex(1);
    QApplication::processEvents();
    EXPECT_EQ(f.placeIn(f.widget("ctlc25_09"), tab1), QPoint(616, 242));
    EXPECT_EQ(f.placeIn(f.widget("ctlc23"), tab1), QPoint(230, 64));
    EXPECT_EQ(f.placeIn(f.widget("ctlc24_07"), tab1), QPoint(230, 360));
    EXPECT_EQ(f.widget("ctlc24_07")->width(), 97);
    EXPECT_EQ(f.placeIn(f.widget("cmbSpital"), f.layout.frmDateGenerale), QPoint(90, 20));

    // Every field and label, page by page, at its designed place and inside its page.
    const auto checkShown = [&f](CostSheetKind kind) {
        for (const auto& field : velmora::costSheetFields(kind)) {
            QWidget* box = f.widget(field.name);
            if (!box->isVisible()) continue;
            QTabWidget* tabs = field.page == velmora::FieldPage::Category ? f.layout.SSTab2 : f.layout.SSTab1;
            EXPECT_EQ(f.placeIn(box, tabs), QPoint(quillon::twips(field.field.left), quillon::twips(field.field.top)))
                << field.name;
            EXPECT_EQ(f.placeIn(f.layout.labels.at(field.name), tabs),
                      QPoint(quillon::twips(field.label.left), quillon::twips(field.label.top)))
                << field.name;
            EXPECT_TRUE(box->parentWidget()->rect().contains(box->geometry())) << field.name;
        }
    };
    int shown = 0;
    for (int i = 0; i < 3; ++i) {
        f.layout.SSTab1->setCurrentIndex(i);
        for (int j = 0; j < (i == 0 ? 6 : 1); ++j) {
            f.layout.SSTab2->setCurrentIndex(j);
            QApplication::processEvents();
            checkShown(CostSheetKind::Spital);
            for (const auto& [name, control] : f.layout.byName) shown += control->widget()->isVisible() ? 1 : 0;
        }
    }
    // Each field is shown once, the two combos on all eight pages, ctlTCP with each category.
    EXPECT_EQ(shown, 85 + 2 * 8 + 5);

    Form ward(CostSheetKind::Sectie);
    ward.layout.SSTab1->setCurrentIndex(1);
    QApplication::processEvents();
    EXPECT_EQ(ward.placeIn(ward.widget("ctlc23"), ward.layout.SSTab1), QPoint(230, 62));
    EXPECT_EQ(ward.placeIn(ward.widget("ctlc24_07"), ward.layout.SSTab1), QPoint(230, 362));
    EXPECT_EQ(ward.placeIn(ward.layout.labels.at("ctlc24"), ward.layout.SSTab1), QPoint(6, 202));
}

TEST(CostSheetLayout, TabOrderRunsHeaderFieldsButtons) {
    Form f(CostSheetKind::Spital);
    std::vector<std::string> expected{"cmbSpital", "cmbPerioada", "ctlTCP"};
    for (int k = 1; k <= 6; ++k) {
        const std::string s = "_" + std::to_string(k);
        for (const char* line : {"c02", "c10", "c11", "c12", "c13", "c14", "c15", "c16", "Angajati"})
            expected.push_back("ctl" + std::string(line) + s);
    }
    for (const char* name : {"ctlc22", "ctlc23", "ctlc23_01", "ctlc23_02", "ctlc23_03", "ctlc23_04", "ctlc24"})
        expected.push_back(name);
    for (int i = 1; i <= 7; ++i) expected.push_back("ctlc24_0" + std::to_string(i));
    expected.push_back("ctlc25");
    for (int i = 1; i <= 9; ++i) expected.push_back("ctlc25_0" + std::to_string(i));
    for (const char* name : {"ctlc26", "ctlc27", "ctlc28", "ctlc29", "ctlc30", "ctlc72"}) expected.push_back(name);
    ASSERT_EQ(expected.size(), 87u);

    std::vector<std::string> chain;
    std::set<QWidget*> seen;
    QWidget* w = f.widget("cmbSpital");
    while (w && !seen.count(w) && chain.size() < 87) {
        seen.insert(w);
        const std::string name = w->objectName().toStdString();
        if (f.layout.byName.count(name) && f.layout.byName.at(name)->widget() == w) chain.push_back(name);
        w = w->nextInFocusChain();
    }
    EXPECT_EQ(chain, expected);
    for (int i = 0; i < 5; ++i) EXPECT_EQ(f.layout.cmdButton[i]->nextInFocusChain(), f.layout.cmdButton[i + 1]) << i;
}

TEST(CostSheetLayout, HospitalAndWardDifferences) {
    Form hospital(CostSheetKind::Spital);
    Form ward(CostSheetKind::Sectie);
    EXPECT_FALSE(hospital.field("cmbSpital").get("Enabled").toBool());
    EXPECT_EQ(hospital.field("cmbSpital").get("BackColor").toLong(), static_cast<int32_t>(0x80000000u));
    EXPECT_EQ(ward.layout.byName.count("cmbSpital"), 0u);
    EXPECT_TRUE(ward.field("cmbSectieFiltrat").get("Enabled").toBool());
    EXPECT_EQ(ward.layout.labels.at("cmbSectieFiltrat")->text(), " Sectie:");
    for (const char* total : {"ctlc23", "ctlc24", "ctlc25"}) {
        EXPECT_FALSE(hospital.field(total).get("Enabled").toBool()) << total;
        EXPECT_EQ(hospital.field(total).get("BackColor").toLong(), static_cast<int32_t>(0x80000000u)) << total;
        EXPECT_TRUE(ward.field(total).get("Enabled").toBool()) << total;
    }
    for (int k = 1; k <= 2; ++k)
        for (const char* line : {"c10", "c13", "c16"}) {
            const std::string name = "ctl" + std::string(line) + "_" + std::to_string(k);
            EXPECT_TRUE(hospital.field(name).get("AfisezFormat").toBool()) << name;
            EXPECT_EQ(ward.field(name).get("AfisezFormat").toBool(), k != 1) << name;
        }
}

TEST(CostSheetLayout, FieldsShowWholeNumbersAndRefuseDotsAndLetters) {
    const QLocale saved;
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    Form ward(CostSheetKind::Sectie);
    QLineEdit* box = ward.widget("ctlc10_2")->findChild<QLineEdit*>(QStringLiteral("txt"));
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->text(), "0");
    EXPECT_TRUE(box->alignment() & Qt::AlignRight);

    ward.widget("ctlc10_2")->setFocus();
    QApplication::processEvents();
    QTest::keyClicks(QApplication::focusWidget(), "-12a.3,4b");
    EXPECT_EQ(ward.field("ctlc10_2").get("Valoare").toCurrency(), com::Currency::fromInteger(-1234));

    ward.field("ctlc10_1").put("Valoare", com::Variant(int32_t{1234567}));
    ward.field("ctlc10_2").put("Valoare", com::Variant(int32_t{1234567}));
    ward.widget("ctlc72")->setFocus();
    QApplication::processEvents();
    EXPECT_EQ(ward.widget("ctlc10_1")->findChild<QLineEdit*>(QStringLiteral("txt"))->text(), "1234567");
    EXPECT_EQ(box->text(), "1,234,567");
    QLocale::setDefault(saved);
}

}  // namespace
