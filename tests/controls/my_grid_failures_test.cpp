// Commits that fail: a write the source refuses, formulas that cannot be computed and a
// cell its editor cannot take. Each failure is reported once through the object layer,
// the line shows what the source holds (its totals following), and the grid takes the
// next edit.
#include <gtest/gtest.h>

#include <QPushButton>

#include "grid_support.h"

namespace quillon {
namespace {

using E = Enumeratori;
namespace id = my_grid::dispid;

using test::money;

// Value, quantity, the price computed from them, a name, a date, a check, a list and an
// account.
class GridFailuresTest : public test::GridTest {
protected:
    void SetUp() override {
        GridTest::SetUp();
        columns = {
            {.kind = E::ControlPersonalTIP::eNumar, .decimals = 2, .total = E::AgregareTIP::aSuma, .member = true},
            {.kind = E::ControlPersonalTIP::eNumar, .decimals = 2, .total = E::AgregareTIP::aSuma, .member = true},
            {.kind = E::ControlPersonalTIP::eNumar,
             .decimals = 2,
             .total = E::AgregareTIP::aSuma,
             .editable = false,
             .formula = "#1#/#2#"},
            {.kind = E::ControlPersonalTIP::eText},
            {.kind = E::ControlPersonalTIP::eData},
            {.tip = E::ControlTIP::eCheckBx},
            {.tip = E::ControlTIP::eComboBx, .list = "1&Alba|2&Bihor|"},
            {.tip = E::ControlTIP::eCont},
        };
        set(id::AreTotal, true);
        source = com::make<test::GridCollection>(
            std::vector<std::string>{"Valoare", "Cantitate", "Pret", "Nume", "Data", "Activ", "Judet", "Cont"},
            std::vector<std::vector<com::Variant>>{
                {money(100), money(4), money(25), "Ana", com::Date::fromYmd(2006, 3, 5), true, "1|Alba", ""},
                {money(50), money(2), money(25), "Dan", "nu e data", false, "2|Bihor", "5121"},
            });
        bind(source);
    }
    void expectClosedOn(int row, int col) {
        EXPECT_FALSE(editor()->isVisible());
        EXPECT_EQ(QApplication::focusWidget(), fg());
        EXPECT_EQ(currentRow(), row);
        EXPECT_EQ(currentCol(), col);
    }
    com::ComPtr<test::GridCollection> source;
};

TEST_F(GridFailuresTest, AWriteTheSourceRefusesIsShownOnceAndTheGridTakesTheNextEdit) {
    test::ReportedErrors reported;
    source->failWritesOf = 4;
    moveTo(2, 4);
    typeAndLeave("Bogdan");
    ASSERT_EQ(reported.errors.size(), 1u);
    EXPECT_EQ(reported.errors[0].number(), 5);
    EXPECT_EQ(reported.errors[0].source(), "MyGrid-LostFocus(ctlControl)");
    EXPECT_EQ(reported.errors[0].description(), "Valoarea nu poate fi scrisa.");
    EXPECT_EQ(text(2, 4), "Ana");
    expectClosedOn(2, 4);

    // Another cell takes its edit at once; its formula and totals follow.
    moveTo(2, 1);
    typeAndLeave("7");
    ASSERT_EQ(source->writes.size(), 2u);
    EXPECT_EQ(source->writes[0].value.toDouble(), 7);
    EXPECT_EQ(text(2, 1), "7.00");
    EXPECT_EQ(text(1, 1), "57.00");
    EXPECT_EQ(text(2, 3), "1.75");
    EXPECT_EQ(text(1, 3), "26.75");
    EXPECT_EQ(reported.errors.size(), 1u);

    // A check box whose value is refused closes too, showing the source's value.
    source->failWritesOf = 6;
    moveTo(2, 6);
    press(Qt::Key_Space);
    ASSERT_TRUE(check()->isVisible());
    QTest::keyClick(check(), Qt::Key_Space);
    test::settle();
    ASSERT_EQ(reported.errors.size(), 2u);
    EXPECT_EQ(reported.errors[1].source(), "MyGrid-Click(chk)");
    EXPECT_FALSE(check()->isVisible());
    EXPECT_EQ(text(2, 6), "True");
    EXPECT_EQ(currentCol(), 6);

    // So does a list whose row is refused.
    source->failWritesOf = 7;
    moveTo(2, 7);
    press(Qt::Key_Space);
    ASSERT_TRUE(combo(0)->isVisible());
    QTest::keyClick(combo(0)->findChild<QComboBox*>(), Qt::Key_Down);
    test::settle();
    ASSERT_EQ(reported.errors.size(), 3u);
    EXPECT_EQ(reported.errors[2].source(), "MyGrid-Click(cmbCombo)");
    EXPECT_FALSE(combo(0)->isVisible());
    EXPECT_EQ(text(2, 7), "Alba");
    EXPECT_EQ(QApplication::focusWidget(), fg());

    // And an account code.
    source->failWritesOf = 8;
    moveTo(3, 8);
    type('4');
    QTest::keyClick(QApplication::focusWidget(), '0');
    enterInEditor();
    ASSERT_EQ(reported.errors.size(), 4u);
    EXPECT_EQ(reported.errors[3].source(), "MyGrid-LostFocus(cntCont)");
    EXPECT_FALSE(host->inner("cntCont")->isVisible());
    EXPECT_EQ(text(3, 8), "5121");
    EXPECT_EQ(currentRow(), 3);
    EXPECT_EQ(currentCol(), 8);

    source->failWritesOf = 0;
    moveTo(3, 4);
    typeAndLeave("Zoe");
    EXPECT_EQ(source->items[1][3], com::Variant("Zoe"));
    EXPECT_EQ(text(3, 4), "Zoe");
    EXPECT_EQ(reported.errors.size(), 4u);
}

// The quantity 0 reaches the source once; the price its formula cannot compute stays as
// the source holds it, and so do the totals. A retry of the same value computes the
// formula again (and fails again) without writing anything more.
TEST_F(GridFailuresTest, AFailedFormulaLeavesTheSourceTheCellsAndTheTotalsAgreeing) {
    test::ReportedErrors reported;
    moveTo(2, 2);
    typeAndLeave("0");
    ASSERT_EQ(source->writes.size(), 1u);
    EXPECT_EQ(source->writes[0].field, 2);
    EXPECT_EQ(source->writes[0].value.toDouble(), 0);
    ASSERT_EQ(reported.errors.size(), 1u);
    EXPECT_EQ(reported.errors[0].number(), com::errc::DivisionByZero);
    EXPECT_EQ(reported.errors[0].source(), "MyGrid-LostFocus(ctlControl)");
    EXPECT_EQ(text(2, 2), "0.00");
    EXPECT_EQ(text(1, 2), "2.00");
    EXPECT_EQ(text(2, 3), "25.00");
    EXPECT_EQ(source->items[0][2], money(25));
    EXPECT_EQ(text(1, 3), "50.00");
    expectClosedOn(2, 2);

    moveTo(2, 2);
    typeAndLeave("0");
    EXPECT_EQ(source->writes.size(), 1u);
    ASSERT_EQ(reported.errors.size(), 2u);
    EXPECT_EQ(reported.errors[1].number(), com::errc::DivisionByZero);

    moveTo(2, 2);
    typeAndLeave("5");
    ASSERT_EQ(source->writes.size(), 3u);
    EXPECT_EQ(source->writes[2].field, 3);
    EXPECT_EQ(source->writes[2].value, money(20));
    EXPECT_EQ(text(2, 3), "20.00");
    EXPECT_EQ(text(1, 3), "45.00");
    EXPECT_EQ(reported.errors.size(), 2u);

    // A Null operand: once the host fills it in, the next commit of the same quantity
    // computes the price.
    source->cell(1, 2) = com::Variant::null();
    moveTo(3, 2);
    typeAndLeave("4");
    ASSERT_EQ(reported.errors.size(), 3u);
    EXPECT_EQ(reported.errors[2].number(), 1002);
    EXPECT_EQ(text(3, 1), "0.00");
    EXPECT_EQ(text(1, 1), "100.00");
    EXPECT_EQ(text(3, 2), "4.00");
    EXPECT_EQ(text(3, 3), "25.00");
    source->cell(1, 2) = money(80);
    test::call(*grid, id::RefreshLine, {com::Variant(int32_t{2}), com::Variant(int32_t{1})});
    const size_t written = source->writes.size();
    moveTo(3, 2);
    typeAndLeave("4");
    EXPECT_EQ(reported.errors.size(), 3u);
    ASSERT_EQ(source->writes.size(), written + 1);
    EXPECT_EQ(source->writes.back().field, 3);
    EXPECT_EQ(source->writes.back().value, money(20));
    EXPECT_EQ(text(3, 3), "20.00");
    EXPECT_EQ(text(1, 3), "40.00");
}

// Parentheses nested deeper than a formula may go (error 28), and a date cell holding a
// text that is no date (error 13): each reported once, nothing left open.
TEST_F(GridFailuresTest, DeepFormulasAndCellsTheEditorCannotTakeAreReportedOnce) {
    columns[2].formula = std::string(300, '(') + "#1#/#2#" + std::string(300, ')');
    bind(source);
    test::ReportedErrors reported;
    moveTo(2, 2);
    typeAndLeave("8");
    ASSERT_EQ(reported.errors.size(), 1u);
    EXPECT_EQ(reported.errors[0].number(), 28);
    EXPECT_EQ(text(2, 2), "8.00");
    EXPECT_EQ(text(2, 3), "25.00");
    expectClosedOn(2, 2);

    EXPECT_EQ(text(3, 5), "nu e data");
    moveTo(3, 5);
    press(Qt::Key_Space);
    ASSERT_EQ(reported.errors.size(), 2u);
    EXPECT_EQ(reported.errors[1].number(), com::errc::TypeMismatch);
    EXPECT_EQ(reported.errors[1].source(), "MyGrid-KeyPress(fg)");
    EXPECT_FALSE(editor()->isVisible());
    moveTo(3, 4);
    typeAndLeave("Zoe");
    EXPECT_EQ(source->items[1][3], com::Variant("Zoe"));
    EXPECT_EQ(reported.errors.size(), 2u);
}

// The program's error box takes the focus while it is shown: once it has gone, the cursor
// is still on the failed cell.
TEST_F(GridFailuresTest, TheErrorBoxLeavesTheCursorOnTheFailedCell) {
    QWidget box;  // stands in for the program's box
    auto* ok = new QPushButton("OK", &box);
    int shown = 0;
    const com::WindowEventErrorHandler previous = com::setWindowEventErrorHandler([&](const com::Error&) {
        ++shown;
        box.show();
        box.activateWindow();
        (void)QTest::qWaitForWindowActive(&box);
        ok->setFocus();
        test::settle();
        box.hide();
    });
    source->failWritesOf = 4;
    moveTo(3, 4);
    typeAndLeave("Bogdan");
    host->window.activateWindow();
    (void)QTest::qWaitForWindowActive(&host->window);
    test::settle();
    com::setWindowEventErrorHandler(previous);
    EXPECT_EQ(shown, 1);
    EXPECT_EQ(QApplication::focusWidget(), fg());
    EXPECT_EQ(currentRow(), 3);
    EXPECT_EQ(currentCol(), 4);
    EXPECT_EQ(text(3, 4), "Dan");
}

}  // namespace
}  // namespace quillon
