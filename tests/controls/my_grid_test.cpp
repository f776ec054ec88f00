// MyGrid created by ProgID in a shown window and bound to a collection of the test's own:
// the cells, totals and marks a binding shows, the editors the keys open, what each commit
// writes to the source, the toolbar, the host's events and the grid's persistence.
#include <gtest/gtest.h>

#include <algorithm>

#include <QHeaderView>
#include <QLabel>
#include <QToolBar>

#include "com/propertybag.h"
#include "grid_support.h"
#include "widget_support.h"

namespace quillon {
namespace {

using test::HostColumn;
using E = Enumeratori;
namespace id = my_grid::dispid;
namespace ev = my_grid::event;

using test::money;
com::Variant null() { return com::Variant::null(); }

// Amount, name, date, county (list), active (check), hospital (selection) and a computed
// double of the amount that is not typed into.
class MyGridTest : public test::GridTest {
protected:
    void SetUp() override {
        GridTest::SetUp();
        columns = {
            {.kind = E::ControlPersonalTIP::eNumar,
             .decimals = 2,
             .total = E::AgregareTIP::aSuma,
             .member = true,
             .align = E::ControlALINIERE::eRight},
            {.kind = E::ControlPersonalTIP::eText},
            {.kind = E::ControlPersonalTIP::eData},
            {.tip = E::ControlTIP::eComboBx, .list = "1&Alba|2&Bihor|3&Cluj|"},
            {.tip = E::ControlTIP::eCheckBx},
            {.kind = E::ControlPersonalTIP::eSelect},
            {.kind = E::ControlPersonalTIP::eNumar,
             .decimals = 2,
             .total = E::AgregareTIP::aSuma,
             .editable = false,
             .formula = "#1#*2"},
        };
    }
    com::ComPtr<test::GridCollection> sample() {
        return com::make<test::GridCollection>(
            std::vector<std::string>{"Suma", "Nume", "Data", "Judet", "Activ", "Spital", "Dublu"},
            std::vector<std::vector<com::Variant>>{
                {money(10.5), "Ana", com::Date::fromYmd(2006, 3, 5), "1|Alba", true, "5|Spital A", money(21)},
                {money(1234), "Bogdan", null(), "2|Bihor", false, "7|Spital B", money(2468)},
                {money(30.25), null(), com::Date::fromYmd(2005, 12, 1), null(), null(), null(), money(60.5)}});
    }
    QVariant role(int row, int col, int r) { return fg()->model()->data(index(row, col), r); }
};

TEST_F(MyGridTest, BindingShowsEachKindItsTotalsAndItsMarks) {
    set(id::AreTotal, true);
    set(id::PermitRandNou, true);
    auto source = sample();
    source->deleted[2] = true;  // item 3 was deleted before
    bind(source);

    EXPECT_EQ(read(id::AreSursaDate), com::Variant(true));
    EXPECT_EQ(events->count(ev::SetareSursa), 7);
    EXPECT_EQ(events->raised.front().second[0], com::Variant("Suma"));
    EXPECT_EQ(rows(), 6);  // header, totals, three items, the empty line
    EXPECT_EQ(text(0, 1), "Suma");
    EXPECT_EQ(text(0, 7), "Dublu");
    // A deleted item is in no total.
    EXPECT_EQ(text(1, 1), "1,244.50");
    EXPECT_EQ(text(1, 2), "----");
    EXPECT_EQ(text(1, 7), "2,489.00");
    const std::vector<std::string> first{"10.50", "Ana", "05/03/2006", "Alba", "True", "Spital A", "21.00"};
    for (int col = 1; col <= 7; ++col) EXPECT_EQ(text(2, col), first[static_cast<size_t>(col - 1)]) << col;
    EXPECT_EQ(text(3, 1), "1,234.00");
    EXPECT_EQ(text(3, 3), "");
    EXPECT_EQ(text(4, 2), "");
    EXPECT_EQ(text(4, 4), "");
    EXPECT_EQ(text(4, 5), "False");
    EXPECT_EQ(text(4, 6), "");
    // The empty line is shown without reading the source, which has no such item.
    EXPECT_EQ(text(5, 1), "0.00");
    EXPECT_EQ(text(5, 5), "False");
    EXPECT_EQ(text(5, 2), "");

    EXPECT_EQ(currentRow(), 2);
    EXPECT_EQ(currentCol(), 1);
    std::vector<int32_t> items;
    focusGrid();
    for (int i = 0; i < 4; ++i) {
        items.push_back(currentItem());
        press(Qt::Key_Down);
    }
    EXPECT_EQ(items, (std::vector<int32_t>{1, 2, 3, 0}));

    // Every second line shaded, the computed column painted read-only, the deleted item
    // struck through in red.
    EXPECT_EQ(role(3, 2, Qt::BackgroundRole).value<QColor>(), oleColor(static_cast<int32_t>(0x80000018u)));
    EXPECT_FALSE(role(2, 2, Qt::BackgroundRole).isValid());
    EXPECT_EQ(role(2, 7, Qt::BackgroundRole).value<QColor>(), oleColor(color::ButtonFace));
    EXPECT_EQ(role(4, 1, Qt::ForegroundRole).value<QColor>(), QColor(Qt::red));
    EXPECT_TRUE(role(4, 1, Qt::FontRole).value<QFont>().strikeOut());
    EXPECT_FALSE(role(2, 1, Qt::FontRole).isValid());
    EXPECT_EQ(role(2, 1, Qt::TextAlignmentRole).value<Qt::Alignment>() & Qt::AlignHorizontal_Mask, Qt::AlignRight);
}

TEST_F(MyGridTest, EmptyAndPlainSourcesShowTheirLines) {
    auto empty = com::make<test::GridCollection>(std::vector<std::string>{"Suma", "Nume"},
                                                 std::vector<std::vector<com::Variant>>{});
    const auto all = columns;
    columns.resize(2);
    bind(empty);
    EXPECT_EQ(rows(), 2);  // one empty line, lines may not be added
    EXPECT_EQ(currentItem(), 0);
    EXPECT_EQ(role(1, 2, Qt::BackgroundRole).value<QColor>(), oleColor(color::ButtonFace));
    focusGrid();
    type('x');
    EXPECT_FALSE(editor()->isVisible());

    set(id::PermitRandNou, true);
    bind(empty);
    EXPECT_EQ(rows(), 2);
    EXPECT_FALSE(role(1, 2, Qt::BackgroundRole).isValid());

    set(id::PermitRandNou, false);
    columns = all;
    bind(sample());
    EXPECT_EQ(rows(), 4);  // header and three items
    EXPECT_EQ(text(1, 2), "Ana");
    EXPECT_EQ(currentItem(), 1);
}

TEST_F(MyGridTest, HostAnswersCarryOverAndFailedBindingsAreReported) {
    set(id::AreTotal, true);
    columns.clear();
    // The host answers only for the first column; the others keep its answers.
    events->answers[ev::SetareSursa] = [this](com::Args a) {
        if (defined++ > 0) return;
        a[2] = com::Variant(static_cast<int32_t>(E::ControlPersonalTIP::eNumar));
        a[3] = com::Variant(int16_t{1});
        a[11] = com::Variant(static_cast<int32_t>(E::AgregareTIP::aSuma));
        a[12] = com::Variant(int32_t{99});  // a total of its own is not taken
    };
    auto numbers = com::make<test::GridCollection>(std::vector<std::string>{"A", "B"},
                                                   std::vector<std::vector<com::Variant>>{{1.25, "2"}, {null(), 3}});
    bind(numbers);
    EXPECT_EQ(text(2, 1), "1.3");
    EXPECT_EQ(text(2, 2), "2.0");
    EXPECT_EQ(text(3, 1), "0.0");
    EXPECT_EQ(text(1, 1), "1.3");
    EXPECT_EQ(text(1, 2), "5.0");

    numbers->failReadsOf = 2;
    numbers->failReadsCode = 9;
    com::Error failed = test::errorOf([&] { bind(numbers); });
    EXPECT_EQ(failed.number(), 9);
    EXPECT_EQ(failed.source(), "MyGrid-SursaDate");
    EXPECT_EQ(failed.description(), "Valoarea nu poate fi citita.");
    EXPECT_EQ(read(id::AreSursaDate), com::Variant(false));
    EXPECT_TRUE(fg()->updatesEnabled());

    numbers->failReadsOf = 0;
    numbers->cell(1, 1) = "abc";  // no number for a number column
    EXPECT_EQ(test::errorOf([&] { bind(numbers); }).number(), com::errc::TypeMismatch);
    EXPECT_EQ(read(id::AreSursaDate), com::Variant(false));

    const auto notACollection = com::CreateObject("Quillon.MyCombo");
    std::vector<com::Variant> args{com::Variant(notACollection)};
    failed = test::errorOf([&] { grid->Invoke(id::SursaDate, com::InvokeKind::PropertyPutRef, args); });
    EXPECT_EQ(failed.number(), com::errc::TypeMismatch);
    EXPECT_EQ(failed.source(), "MyGrid-SursaDate");

    numbers->cell(1, 1) = 4;
    bind(numbers);
    EXPECT_EQ(read(id::AreSursaDate), com::Variant(true));
}

TEST_F(MyGridTest, ListColumnsUseTheirOwnEditorsAndMalformedListsFail) {
    columns = {{.tip = E::ControlTIP::eComboBx, .list = "1&Alba|2&Bihor|"},
               {.tip = E::ControlTIP::eComboBx, .list = "7&Cluj|8&Dolj"}};  // without the final "|"
    auto source = com::make<test::GridCollection>(std::vector<std::string>{"A", "B"},
                                                  std::vector<std::vector<com::Variant>>{{"2|Bihor", "7|Cluj"}});
    bind(source);
    bind(source);  // a second binding unloads the second list and loads both again
    ASSERT_TRUE(combo(0) && combo(1));
    EXPECT_EQ(combo(0)->findChild<QComboBox*>()->count(), 2);
    EXPECT_EQ(combo(1)->findChild<QComboBox*>()->count(), 1);  // the row after the last "|" is lost
    EXPECT_EQ(host->widget->findChildren<QComboBox*>().size(), 2);
    EXPECT_EQ(text(1, 1), "Bihor");

    columns[1].list = "7Cluj|";
    const com::Error failed = test::errorOf([&] { bind(source); });
    EXPECT_EQ(failed.number(), com::errc::SubscriptOutOfRange);
    EXPECT_EQ(failed.source(), "MyGrid-SursaDate");
}

// A name may hold "&" and "|" itself: the list's rows and the cells show it whole.
TEST_F(MyGridTest, ListNamesHoldingTheSeparatorsShowWhole) {
    columns = {{.tip = E::ControlTIP::eComboBx, .list = "5&A&B|6&C|D|7&E|"}};
    auto source =
        com::make<test::GridCollection>(std::vector<std::string>{"A"}, std::vector<std::vector<com::Variant>>{{"7|E"}});
    bind(source);
    QComboBox* list = combo(0)->findChild<QComboBox*>();
    ASSERT_EQ(list->count(), 3);
    EXPECT_EQ(list->itemText(0), "A&B");
    EXPECT_EQ(list->itemText(1), "C|D");

    moveTo(1, 1);
    press(Qt::Key_Space);
    ASSERT_TRUE(list->hasFocus());
    QTest::keyClick(list, Qt::Key_Home);
    ASSERT_EQ(source->writes.size(), 1u);
    EXPECT_EQ(source->writes[0].value, com::Variant("5|A&B"));
    EXPECT_EQ(text(1, 1), "A&B");
    QTest::keyClick(list, Qt::Key_Down);
    EXPECT_EQ(source->writes.back().value, com::Variant("6|C|D"));
    EXPECT_EQ(text(1, 1), "C|D");

    // A list whose first id is no whole number fails as a list column's load.
    columns[0].list = "x&A|";
    const com::Error failed = test::errorOf([&] { bind(source); });
    EXPECT_EQ(failed.number(), com::errc::TypeMismatch);
    EXPECT_EQ(failed.description(), "Id-ul \"x\" al listei nu este un numar intreg.");
}

TEST_F(MyGridTest, TypedAmountReachesTheSourceWithTotalsAndFormula) {
    set(id::AreTotal, true);
    auto source = sample();
    bind(source);
    moveTo(2, 1);
    type('7');
    ASSERT_TRUE(editor()->isVisible());
    EXPECT_EQ(editorText()->text(), "7");  // the typed key reached the editor
    QTest::keyClick(editorText(), '5');
    enterInEditor();

    ASSERT_EQ(source->writes.size(), 2u);
    EXPECT_EQ(source->writes[0].field, 1);
    EXPECT_EQ(source->writes[0].index, 1);
    EXPECT_EQ(source->writes[0].value.toDouble(), 75);
    // The formula column follows, and the source receives it as shown.
    EXPECT_EQ(source->writes[1].field, 7);
    EXPECT_EQ(source->writes[1].value, money(150));
    EXPECT_EQ(text(2, 1), "75.00");
    EXPECT_EQ(text(2, 7), "150.00");
    EXPECT_EQ(text(1, 1), "1,339.25");
    EXPECT_EQ(text(1, 7), "2,678.50");
    EXPECT_FALSE(editor()->isVisible());
    EXPECT_EQ(QApplication::focusWidget(), fg());
    EXPECT_EQ(currentRow(), 2);
    EXPECT_EQ(currentCol(), 2);  // the edit moved on as Enter does

    // Leaving without a change, or with the value the source holds, writes nothing.
    moveTo(3, 2);
    press(Qt::Key_Space);
    ASSERT_TRUE(editor()->isVisible());
    EXPECT_EQ(editorText()->text(), "Bogdan");
    enterInEditor();
    moveTo(3, 2);
    type('B');
    EXPECT_EQ(editorText()->text(), "B");
    QTest::keyClicks(editorText(), "ogdan");
    enterInEditor();
    EXPECT_EQ(source->writes.size(), 2u);
    EXPECT_EQ(text(3, 2), "Bogdan");

    // A cell read again from the source moves the totals row with it.
    source->cell(1, 1) = money(5);
    test::call(*grid, id::RefreshLine, {com::Variant(int32_t{1}), com::Variant(int32_t{1})});
    EXPECT_EQ(text(2, 1), "5.00");
    EXPECT_EQ(text(1, 1), "1,269.25");

    // A double click opens the editor on the cell's value.
    const QRect cell = fg()->visualRect(index(4, 2));
    QTest::mouseDClick(fg()->viewport(), Qt::LeftButton, {}, cell.center());
    test::settle();
    ASSERT_TRUE(editor()->isVisible());
    EXPECT_EQ(editorText()->text(), "");
    EXPECT_EQ(currentRow(), 4);
}

TEST_F(MyGridTest, EditsWithoutTotalsRowWriteTheirOwnItem) {
    auto source = sample();
    bind(source);
    // Line 2 takes line 1's value: it is still a change of item 2.
    moveTo(2, 2);
    type('A');
    QTest::keyClicks(editorText(), "na");
    enterInEditor();
    ASSERT_EQ(source->writes.size(), 1u);
    EXPECT_EQ(source->writes[0].index, 2);
    EXPECT_EQ(source->writes[0].value, com::Variant("Ana"));
    EXPECT_EQ(text(2, 2), "Ana");
}

TEST_F(MyGridTest, KeysOpenOnlyTheEditorsTheyMayOpen) {
    set(id::PermitDelete, true);
    auto source = sample();
    source->deleted[1] = true;
    bind(source);
    const auto opened = [&](int row, int col, char key) {
        moveTo(row, col);
        type(key);
        const bool any = editor()->isVisible() || combo(0)->isVisible() || check()->isVisible();
        if (any) {
            host->after->setFocus(Qt::OtherFocusReason);  // leaving closes it
            test::settle();
        }
        return any;
    };
    EXPECT_TRUE(opened(1, 2, 'a'));   // text
    EXPECT_TRUE(opened(1, 1, '7'));   // number
    EXPECT_FALSE(opened(1, 3, 'a'));  // date
    EXPECT_FALSE(opened(1, 4, 'a'));  // list
    EXPECT_FALSE(opened(1, 5, 'a'));  // check box
    EXPECT_FALSE(opened(1, 6, 'a'));  // selection
    EXPECT_FALSE(opened(1, 7, '7'));  // not editable
    EXPECT_FALSE(opened(2, 2, ' '));  // a deleted item
    EXPECT_FALSE(opened(2, 1, '7'));

    // When no editor opens the toolbar is where it was.
    moveTo(1, 7);
    type('7');
    EXPECT_TRUE(button("kDelete")->isEnabled());
    EXPECT_FALSE(button("kUnDelete")->isEnabled());

    moveTo(1, 4);
    press(Qt::Key_Space);
    ASSERT_TRUE(combo(0)->isVisible());
    EXPECT_EQ(combo(0)->findChild<QComboBox*>()->currentText(), "Alba");
}

TEST_F(MyGridTest, ListAndCheckCommitsWriteKeyAndTextOrTheBoxValue) {
    set(id::AreTotal, true);
    columns[3].refresh = "6,1";  // the hospital and the amount follow the county
    auto source = sample();
    source->cell(4, 2) = "9|Maramures";  // a county the list does not hold
    bind(source);
    moveTo(3, 4);
    press(Qt::Key_Space);
    ASSERT_TRUE(combo(0)->isVisible());
    EXPECT_EQ(combo(0)->findChild<QComboBox*>()->currentIndex(), -1);  // shown as no row
    host->after->setFocus(Qt::OtherFocusReason);
    test::settle();
    EXPECT_TRUE(source->writes.empty());

    moveTo(2, 4);
    press(Qt::Key_Space);
    QComboBox* list = combo(0)->findChild<QComboBox*>();
    ASSERT_TRUE(list->hasFocus());
    EXPECT_EQ(list->currentText(), "Alba");
    source->cell(6, 1) = "9|Spital C";
    source->cell(1, 1) = money(100);
    QTest::keyClick(list, Qt::Key_Down);
    ASSERT_EQ(source->writes.size(), 1u);
    EXPECT_EQ(source->writes[0].field, 4);
    EXPECT_EQ(source->writes[0].value, com::Variant("2|Bihor"));
    EXPECT_EQ(text(2, 4), "Bihor");
    EXPECT_EQ(text(2, 6), "Spital C");  // the dependent column shows its text, not "id|text"
    EXPECT_EQ(text(2, 1), "100.00");
    EXPECT_EQ(text(1, 1), "1,364.25");  // and a dependent amount keeps its total right
    QTest::keyClick(list, Qt::Key_Return);
    test::settle();
    test::settle();
    EXPECT_FALSE(combo(0)->isVisible());
    EXPECT_EQ(currentCol(), 5);

    press(Qt::Key_Space);
    ASSERT_TRUE(check()->isVisible());
    EXPECT_TRUE(check()->isChecked());
    QTest::keyClick(check(), Qt::Key_Space);
    ASSERT_EQ(source->writes.size(), 2u);
    EXPECT_EQ(source->writes[1].field, 5);
    EXPECT_EQ(source->writes[1].value, com::Variant(int16_t{0}));
    EXPECT_EQ(text(2, 5), "False");
    QTest::keyClick(check(), Qt::Key_Return);
    test::settle();
    test::settle();
    EXPECT_FALSE(check()->isVisible());
    EXPECT_EQ(currentCol(), 6);
}

TEST_F(MyGridTest, SelectionColumnsKeepTheirKeysAndPicksFollowTheHost) {
    columns = {{.kind = E::ControlPersonalTIP::eSelect}, {.kind = E::ControlPersonalTIP::eSelect}};
    auto source = com::make<test::GridCollection>(std::vector<std::string>{"Spital", "Sectie"},
                                                  std::vector<std::vector<com::Variant>>{{"5|Spital A", "9|Sectia X"},
                                                                                         {"6|Spital B", "3|Sectia Y"}});
    bind(source);
    std::string answer;
    std::vector<std::string> asked;
    events->answers[ev::SelectFromControlSelectie] = [&](com::Args a) {
        asked.push_back(a[0].toString());
        a[0] = com::Variant(answer);
    };
    const auto pickOn = [&](int row, int col, std::string reply) {
        answer = std::move(reply);
        moveTo(row, col);
        press(Qt::Key_Space);
        QTest::mouseClick(editor()->findChild<QWidget*>("Pic2"), Qt::LeftButton);
        test::settle();
    };
    // Each selection column hands the host its own identifier.
    pickOn(1, 1, "");
    pickOn(1, 2, "");
    EXPECT_EQ(asked, (std::vector<std::string>{"5|Spital A", "9|Sectia X"}));
    EXPECT_TRUE(source->writes.empty());
    EXPECT_FALSE(editor()->isVisible());

    pickOn(2, 2, "Sectia Z");
    ASSERT_EQ(source->writes.size(), 1u);
    EXPECT_EQ(source->writes[0].value, com::Variant("0|Sectia Z"));
    pickOn(2, 1, "12|ABC---Extra");
    EXPECT_EQ(source->writes[1].value, com::Variant("12|ABC---Extra"));
    EXPECT_EQ(text(2, 1), "ABC");
    pickOn(1, 1, "4|---X");
    EXPECT_EQ(text(1, 1), "---X");
    pickOn(2, 1, "");
    EXPECT_EQ(asked.back(), "12|ABC");
    EXPECT_EQ(source->writes.size(), 3u);
    EXPECT_EQ(QApplication::focusWidget(), fg());

    // Text typed before the pick does not overwrite the pick when the editor closes.
    answer = "2|Spital D";
    moveTo(1, 1);
    type(' ');
    QTest::keyClicks(editorText(), "abc");
    QTest::mouseClick(editor()->findChild<QWidget*>("Pic2"), Qt::LeftButton);
    test::settle();
    host->after->setFocus(Qt::OtherFocusReason);
    test::settle();
    EXPECT_EQ(source->writes.back().value, com::Variant("2|Spital D"));
    EXPECT_EQ(source->cell(1, 1), com::Variant("2|Spital D"));
    EXPECT_EQ(text(1, 1), "Spital D");

    // A cell read again shows its text, and its key follows.
    source->cell(1, 2) = "8|Sectia W";
    test::call(*grid, id::RefreshLine, {com::Variant(int32_t{2}), com::Variant(int32_t{1})});
    EXPECT_EQ(text(2, 1), "Sectia W");
    pickOn(2, 1, "");
    EXPECT_EQ(asked.back(), "8|Sectia W");
}

TEST_F(MyGridTest, NewLineBecomesTheNextItemAtItsFirstValue) {
    set(id::PermitRandNou, true);
    set(id::AreTotal, true);
    auto source = sample();
    bind(source);
    EXPECT_TRUE(host->widget->findChild<QToolBar*>("tBar")->isVisible());
    moveTo(5, 1);  // the empty line
    EXPECT_FALSE(button("kNew")->isEnabled());
    moveTo(2, 1);
    EXPECT_FALSE(button("kNew")->isEnabled());  // the empty line waits at the bottom
    moveTo(5, 2);
    type('N');
    enterInEditor();
    ASSERT_EQ(source->items.size(), 4u);
    EXPECT_EQ(source->writes.back().index, 4);
    EXPECT_EQ(source->writes.back().value, com::Variant("N"));
    moveTo(5, 2);
    EXPECT_EQ(currentItem(), 4);
    EXPECT_TRUE(button("kNew")->isEnabled());

    button("kNew")->trigger();
    test::settle();
    EXPECT_EQ(rows(), 7);
    EXPECT_FALSE(button("kNew")->isEnabled());
    EXPECT_EQ(text(6, 1), "0.00");
    EXPECT_EQ(text(6, 5), "False");
    EXPECT_FALSE(role(6, 2, Qt::BackgroundRole).isValid());  // the fifth line is not shaded
    EXPECT_EQ(role(5, 2, Qt::BackgroundRole).value<QColor>(), oleColor(static_cast<int32_t>(0x80000018u)));
    EXPECT_EQ(role(6, 7, Qt::BackgroundRole).value<QColor>(), oleColor(color::ButtonFace));
    button("kNew")->trigger();  // one new line at a time
    EXPECT_EQ(rows(), 7);
    moveTo(6, 1);
    type('3');
    enterInEditor();
    EXPECT_EQ(source->items.size(), 5u);
    EXPECT_EQ(text(6, 1), "3.00");
    EXPECT_EQ(text(1, 1), "1,277.75");
}

TEST_F(MyGridTest, DeleteAndRestoreMoveTheTotalsAfterTheHostAgrees) {
    set(id::PermitDelete, true);
    set(id::AreTotal, true);
    auto source = sample();
    bind(source);
    bool allow = true;
    events->answers[ev::PermitDeleteFromToolbar] = [&](com::Args a) { a[1] = com::Variant(allow); };
    moveTo(3, 2);
    EXPECT_TRUE(button("kDelete")->isEnabled());
    EXPECT_FALSE(button("kUnDelete")->isEnabled());

    allow = false;
    button("kDelete")->trigger();
    EXPECT_EQ(events->last(ev::PermitDeleteFromToolbar)[0], com::Variant(":2"));
    EXPECT_FALSE(source->deleted[1]);
    EXPECT_EQ(text(1, 1), "1,274.75");

    allow = true;
    button("kDelete")->trigger();
    EXPECT_TRUE(source->deleted[1]);
    EXPECT_EQ(text(1, 1), "40.75");
    EXPECT_EQ(text(1, 7), "81.50");
    EXPECT_TRUE(role(3, 1, Qt::FontRole).value<QFont>().strikeOut());
    EXPECT_FALSE(button("kDelete")->isEnabled());
    EXPECT_TRUE(button("kUnDelete")->isEnabled());

    bool restore = false;
    events->answers[ev::PermitUndeleteFromToolbar] = [&](com::Args a) { a[1] = com::Variant(restore); };
    button("kUnDelete")->trigger();
    EXPECT_EQ(events->last(ev::PermitUndeleteFromToolbar)[0], com::Variant(":2"));
    EXPECT_TRUE(source->deleted[1]);
    restore = true;
    button("kUnDelete")->trigger();
    EXPECT_FALSE(source->deleted[1]);
    EXPECT_EQ(text(1, 1), "1,274.75");
    EXPECT_FALSE(role(3, 1, Qt::FontRole).isValid());

    // A delete the source refuses leaves the line as it was and is reported.
    source->failMarks = 70;
    {
        test::ReportedErrors reported;
        button("kDelete")->trigger();
        ASSERT_EQ(reported.errors.size(), 1u);
        EXPECT_EQ(reported.errors[0].source(), "MyGrid-ButtonClick(kDelete)");
        EXPECT_EQ(reported.errors[0].number(), 70);
    }
    EXPECT_FALSE(role(3, 1, Qt::FontRole).isValid());
    EXPECT_EQ(text(1, 1), "1,274.75");
    EXPECT_TRUE(fg()->updatesEnabled());

    // With more than one line selected nothing can be deleted or restored.
    fg()->selectionModel()->select(QItemSelection(index(2, 1), index(3, 2)), QItemSelectionModel::ClearAndSelect);
    test::settle();
    EXPECT_FALSE(button("kDelete")->isEnabled());
    EXPECT_FALSE(button("kUnDelete")->isEnabled());
}

TEST_F(MyGridTest, EnterWalksTheCellsAndWrapsToTheFirstDataLine) {
    set(id::AreTotal, true);
    columns.resize(2);
    auto source =
        com::make<test::GridCollection>(std::vector<std::string>{"A", "B"},
                                        std::vector<std::vector<com::Variant>>{{money(1), "x"}, {money(2), "y"}});
    bind(source);
    int changes = events->count(ev::RowColChange);
    moveTo(3, 2);
    EXPECT_GT(events->count(ev::RowColChange), changes);
    changes = events->count(ev::RowColChange);
    press(Qt::Key_Return);
    EXPECT_EQ(currentRow(), 2);  // not the header, not the totals row
    EXPECT_EQ(currentCol(), 1);
    press(Qt::Key_Return);
    EXPECT_EQ(currentCol(), 2);
    EXPECT_EQ(events->count(ev::RowColChange), changes + 2);

    // Leaving the grid brings the cursor back to the first data cell.
    moveTo(3, 2);
    host->after->setFocus(Qt::TabFocusReason);
    test::settle();
    EXPECT_EQ(currentRow(), 2);
    EXPECT_EQ(currentCol(), 1);
}

TEST_F(MyGridTest, FormulaInADecimalCommaLocale) {
    test::pinRomanian();
    columns = {{.kind = E::ControlPersonalTIP::eNumar, .decimals = 1, .member = true},
               {.kind = E::ControlPersonalTIP::eNumar, .decimals = 2, .editable = false, .formula = "#1#+1"},
               {.kind = E::ControlPersonalTIP::eNumar, .decimals = 2, .editable = false, .formula = "#1#/(#1#-2)"}};
    auto source = com::make<test::GridCollection>(std::vector<std::string>{"A", "B", "C"},
                                                  std::vector<std::vector<com::Variant>>{{money(0), null(), null()}});
    bind(source);
    moveTo(1, 1);
    type('1');
    QTest::keyClick(editorText(), '.');
    QTest::keyClick(editorText(), '5');
    enterInEditor();
    EXPECT_EQ(text(1, 1), "1,5");
    EXPECT_EQ(text(1, 2), "2,50");
    EXPECT_EQ(text(1, 3), "-3,00");

    // A division by zero in a formula leaves the formula's cell as the source holds it.
    moveTo(1, 1);
    type('2');
    {
        test::ReportedErrors reported;
        enterInEditor();
        ASSERT_EQ(reported.errors.size(), 1u);
        EXPECT_EQ(reported.errors[0].number(), com::errc::DivisionByZero);
        EXPECT_EQ(reported.errors[0].description(), "Division by zero");
    }
    EXPECT_EQ(text(1, 1), "2,0");
    EXPECT_EQ(text(1, 3), "-3,00");
    EXPECT_FALSE(editor()->isVisible());

    // A negative amount is one operand of the formula: its square is positive.
    columns[1].formula = "#1#^2";
    bind(source);
    moveTo(1, 1);
    type('-');
    QTest::keyClick(editorText(), '3');
    enterInEditor();
    EXPECT_EQ(text(1, 2), "9,00");

    // A formula that is no expression is reported with its number and computes nothing.
    columns[1].formula = "#1#+CreateObject(1)";
    bind(source);
    moveTo(1, 1);
    type('4');
    test::ReportedErrors malformed;
    enterInEditor();
    ASSERT_EQ(malformed.errors.size(), 1u);
    EXPECT_EQ(malformed.errors[0].number(), com::errc::TypeMismatch);
    EXPECT_EQ(text(1, 2), "9,00");
}

TEST_F(MyGridTest, TwelvePropertiesSurviveTheBagAndDefaultsAreNotStored) {
    com::PropertyBag defaults;
    host->host->WriteProperties(defaults);
    EXPECT_TRUE(defaults.toText().empty()) << defaults.toText();
    EXPECT_EQ(read(id::GridLines), com::Variant(int32_t{1}));
    EXPECT_EQ(read(id::GridLinesFixed), com::Variant(int32_t{1}));

    set(id::PermitRandNou, true);
    set(id::PermitDelete, true);
    set(id::AreTotal, true);
    set(id::Titlu, "Cheltuieli");
    set(id::HighLight, int32_t{2});
    set(id::FocusRect, int32_t{1});
    set(id::GridLinesFixed, int32_t{3});
    set(id::GridLines, int32_t{0});
    set(id::TextStyleFixed, int32_t{4});
    set(id::TextStyle, int32_t{2});
    QFont bold = fg()->font();
    bold.setBold(true);
    std::vector<com::Variant> fontArgs{com::Variant(bold.toString().toStdString())};
    grid->Invoke(id::FixedFont, com::InvokeKind::PropertyPutRef, fontArgs);
    com::PropertyBag bag;
    host->host->WriteProperties(bag);

    const auto copy = com::CreateObject("Quillon.MyGrid");
    copy.query<IControlHost>()->ReadProperties(com::PropertyBag::fromText(bag.toText()));
    for (const com::DispId member :
         {id::PermitRandNou, id::PermitDelete, id::AreTotal, id::Titlu, id::FixedFont, id::HighLight, id::FocusRect,
          id::GridLinesFixed, id::GridLines, id::TextStyleFixed, id::TextStyle, id::Font})
        EXPECT_EQ(test::get(*copy, member), read(member)) << member;
    QWidget* copied = copy.query<IControlHost>()->widget();
    EXPECT_EQ(copied->findChild<QLabel*>("lblTitlu")->text(), "Cheltuieli");
    EXPECT_FALSE(copied->findChild<QTableView*>("fg")->showGrid());
    EXPECT_TRUE(copied->findChild<QTableView*>("fg")->horizontalHeader()->font().bold());

    EXPECT_EQ(test::errorOf([&] { set(id::GridLines, int32_t{6}); }).number(), com::errc::InvalidPropertyValue);
}

TEST_F(MyGridTest, ClippedCellShowsItsTextAsTooltip) {
    columns.resize(2);
    auto source =
        com::make<test::GridCollection>(std::vector<std::string>{"A", "B"},
                                        std::vector<std::vector<com::Variant>>{{money(1), std::string(80, 'w')},
                                                                               {money(2), "scurt"}});
    bind(source);
    EXPECT_EQ(role(1, 2, Qt::ToolTipRole).toString(), QString(80, u'w'));
    EXPECT_FALSE(role(2, 2, Qt::ToolTipRole).isValid());
}

// Hosts bind the grid's members by these numbers: they are part of its contract.
TEST_F(MyGridTest, EveryMemberAnswersToItsContractedDispatchId) {
    const std::pair<const char*, com::DispId> members[] =
        {{"AreSursaDate", 0x68030012}, {"InfoCelula", 0x68030011},     {"RandGrid", 0x68030010},
         {"ColoanaGrid", 0x6803000F},  {"PermitRandNou", 0x6803000E},  {"PermitDelete", 0x6803000D},
         {"AreTotal", 0x6803000C},     {"Titlu", 0x6803000B},          {"InregistrareaCurenta", 0x6803000A},
         {"hWnd", 0x68030009},         {"Font", 0x68030008},           {"FixedFont", 0x68030007},
         {"HighLight", 0x68030006},    {"FocusRect", 0x68030005},      {"GridLinesFixed", 0x68030004},
         {"GridLines", 0x68030003},    {"TextStyleFixed", 0x68030002}, {"TextStyle", 0x68030001},
         {"SursaDate", 0x68030000},    {"RefreshLine", 0x6003002D}};
    for (const auto& [name, dispid] : members) EXPECT_EQ(grid->GetIDOfName(name), dispid) << name;
    // The grid has no colours, Enabled or About box of its own.
    for (const char* name : {"Enabled", "BackColor", "ShowAboutBox", "Valoare"})
        EXPECT_FALSE(grid->GetIDOfName(name)) << name;
    EXPECT_EQ(test::errorOf([&] { read(-552); }).number(), com::errc::NoSuchMember);

    const com::Registry registry(com::Registry::defaultPath(), true);
    EXPECT_EQ(registry.byProgId("Quillon.MyGrid")->clsid, my_grid::ClassId);
    EXPECT_TRUE(grid.query<IMyGrid>());
    com::putProperty(*grid, "titlu", "Sectii");
    EXPECT_EQ(com::getProperty(*grid, "Titlu"), com::Variant("Sectii"));
    EXPECT_EQ(read(id::AreSursaDate), com::Variant(false));
    EXPECT_EQ(test::errorOf([&] { text(9, 9); }).source(), "MyGrid-InfoCelula");
    // Keys and double clicks before any binding open nothing.
    focusGrid();
    type('7');
    press(Qt::Key_Space);
    EXPECT_FALSE(editor()->isVisible());
    EXPECT_NE(read(id::hWnd).toLong(), 0);
}

TEST_F(MyGridTest, AccountColumnsTakeCodesOfTwoLevelsFromTheHost) {
    columns = {{.tip = E::ControlTIP::eCont}, {.kind = E::ControlPersonalTIP::eNumar}};
    auto source = com::make<test::GridCollection>(std::vector<std::string>{"Cont", "Suma"},
                                                  std::vector<std::vector<com::Variant>>{{"", 0}, {"401.01", 5}});
    bind(source);
    std::vector<std::string> asked;
    events->answers[ev::CautaAnalitic] = [&](com::Args a) {
        asked.push_back(a[0].toString());
        if (a[0].toString() == "401") a[1] = com::Variant("01&Alfa|02&Beta|$10&Unu|20&Doi|$");
    };
    QWidget* cont = host->inner("cntCont");
    const auto keys = [](const char* typed) {
        for (const char* k = typed; *k; ++k) QTest::keyClick(QApplication::focusWidget(), *k);
        test::settle();
    };
    moveTo(1, 1);
    type('4');  // opens the account editor with the digit
    ASSERT_TRUE(cont->isVisible());
    keys("01.");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    keys(".");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_EQ(cont->findChild<QLineEdit*>("txt")->text(), "401.02.20");
    EXPECT_EQ(std::count(asked.begin(), asked.end(), "401"), 1);
    enterInEditor();
    ASSERT_EQ(source->writes.size(), 1u);
    EXPECT_EQ(source->writes[0].value, com::Variant("401.02.20"));
    EXPECT_EQ(text(1, 1), "401.02.20");
    EXPECT_FALSE(cont->isVisible());
    EXPECT_EQ(currentCol(), 2);

    // "0" and letters open the editor but type nothing into it, and leaving it erases nothing.
    for (const char key : {'0', 'a'}) {
        moveTo(2, 1);
        type(key);
        ASSERT_TRUE(cont->isVisible());
        EXPECT_EQ(cont->findChild<QLineEdit*>("txt")->text(), "") << key;
        host->after->setFocus(Qt::OtherFocusReason);
        test::settle();
    }
    moveTo(2, 1);
    press(Qt::Key_Space);
    EXPECT_EQ(cont->findChild<QLineEdit*>("txt")->text(), "401.01");
    enterInEditor();
    EXPECT_EQ(source->writes.size(), 1u);
    EXPECT_EQ(text(2, 1), "401.01");

    // Delete empties the code on purpose: that is written.
    moveTo(2, 1);
    press(Qt::Key_Space);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Delete);
    enterInEditor();
    ASSERT_EQ(source->writes.size(), 2u);
    EXPECT_EQ(source->writes[1].value, com::Variant(""));
    EXPECT_EQ(text(2, 1), "");
}

TEST_F(MyGridTest, GridDeletedByItsParentBeforeTheObjectGoes) {
    auto source = sample();
    bind(source);
    moveTo(1, 2);
    type('x');  // an editor is open
    auto* parent = new QWidget;
    host->widget->setParent(parent);
    delete parent;
    EXPECT_EQ(test::errorOf([&] { read(id::Titlu); }).number(), com::errc::ObjectNotSet);
    grid.reset();  // the grid and its editors go without touching the deleted widgets
    host->widget = nullptr;
}

}  // namespace
}  // namespace quillon
