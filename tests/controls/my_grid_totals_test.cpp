// The grid's totals row against the column it sums, through edits that empty a cell,
// formula columns whose write the source refuses, cells read again from the source, and
// new lines whose first write fails.
#include <gtest/gtest.h>

#include <QSignalSpy>

#include "grid_support.h"

namespace quillon {
namespace {

using E = Enumeratori;
namespace id = my_grid::dispid;

using test::money;

class GridTotalsTest : public test::GridTest {
protected:
    void SetUp() override {
        GridTest::SetUp();
        columns = {
            {.kind = E::ControlPersonalTIP::eNumar, .decimals = 2, .total = E::AgregareTIP::aSuma, .member = true},
            {.kind = E::ControlPersonalTIP::eNumar,
             .decimals = 2,
             .total = E::AgregareTIP::aSuma,
             .editable = false,
             .formula = "#1#*2"},
            {.kind = E::ControlPersonalTIP::eText},
        };
        set(id::AreTotal, true);
        source = com::make<test::GridCollection>(std::vector<std::string>{"Suma", "Dublu", "Nume"},
                                                 std::vector<std::vector<com::Variant>>{
                                                     {money(10), money(20), "Ana"},
                                                     {money(5), money(10), "Dan"},
                                                 });
        bind(source);
    }
    com::ComPtr<test::GridCollection> source;
};

// An amount emptied in its editor is written as 0 and leaves the totals.
TEST_F(GridTotalsTest, AnAmountEmptiedInItsEditor) {
    EXPECT_EQ(text(1, 1), "15.00");
    moveTo(2, 1);
    press(Qt::Key_Space);
    ASSERT_TRUE(editor()->isVisible());
    editorText()->selectAll();
    QTest::keyClick(editorText(), Qt::Key_Backspace);
    enterInEditor();
    ASSERT_FALSE(source->writes.empty());
    EXPECT_EQ(source->writes[0].value.toDouble(), 0);
    EXPECT_EQ(text(2, 1), "0.00");
    EXPECT_EQ(text(1, 1), "5.00");
    EXPECT_EQ(text(1, 2), "10.00");
}

// A computed amount the source refuses is not shown: the cell keeps the source's value
// and the totals row still sums the cells.
TEST_F(GridTotalsTest, AComputedAmountTheSourceRefusesIsNotShown) {
    source->failWritesOf = 2;
    moveTo(2, 1);
    type('7');
    enterInEditor();
    EXPECT_EQ(text(2, 1), "7.00");
    EXPECT_EQ(text(1, 1), "12.00");
    EXPECT_EQ(source->items[0][1], money(20));
    EXPECT_EQ(text(2, 2), "20.00");
    EXPECT_EQ(text(1, 2), "30.00");
}

// A commit whose formula fails still shows what it changed: the edited cell and its total.
TEST_F(GridTotalsTest, ACommitWhoseFormulaFailsShowsWhatItChanged) {
    columns[1].formula = "#1#/0";
    bind(source);
    QSignalSpy repainted(fg()->model(), &QAbstractItemModel::dataChanged);
    moveTo(2, 1);
    type('7');
    enterInEditor();
    EXPECT_EQ(text(2, 1), "7.00");
    EXPECT_EQ(text(1, 1), "12.00");
    ASSERT_FALSE(repainted.isEmpty());
    EXPECT_EQ(repainted.first().at(0).toModelIndex().row(), 0);
}

// A cell the host has the grid read again keeps the totals row summing its column; a
// deleted item's amount stays out of it.
TEST_F(GridTotalsTest, ACellReadAgainMovesItsTotal) {
    source->cell(1, 1) = money(100);
    test::call(*grid, id::RefreshLine, {com::Variant(int32_t{1}), com::Variant(int32_t{1})});
    EXPECT_EQ(text(2, 1), "100.00");
    EXPECT_EQ(text(1, 1), "105.00");

    set(id::PermitDelete, true);
    events->answers[my_grid::event::PermitDeleteFromToolbar] = [](com::Args a) { a[1] = com::Variant(true); };
    moveTo(3, 1);
    button("kDelete")->trigger();
    EXPECT_EQ(text(1, 1), "100.00");
    source->cell(1, 2) = money(8);
    test::call(*grid, id::RefreshLine, {com::Variant(int32_t{2}), com::Variant(int32_t{1})});
    EXPECT_EQ(text(3, 1), "8.00");
    EXPECT_EQ(text(1, 1), "100.00");
    events->answers[my_grid::event::PermitUndeleteFromToolbar] = [](com::Args a) { a[1] = com::Variant(true); };
    button("kUnDelete")->trigger();
    EXPECT_EQ(text(1, 1), "108.00");

    // A column the grid does not have is refused.
    EXPECT_EQ(test::errorOf([&] {
                  test::call(*grid, id::RefreshLine, {com::Variant(int32_t{1}), com::Variant(int32_t{9})});
              }).number(),
              com::errc::SubscriptOutOfRange);
}

// A new line whose first value the source refuses has no item: the refusal is reported
// once, the line shows empty again and does not let a further line be added, and once
// the source takes a value the line becomes the next item.
TEST_F(GridTotalsTest, ANewLineWhoseFirstValueIsRefusedWaitsForItsItem) {
    set(id::PermitRandNou, true);
    bind(source);
    source->failWritesOf = 3;
    moveTo(4, 3);
    type('X');
    {
        test::ReportedErrors reported;
        enterInEditor();
        ASSERT_EQ(reported.errors.size(), 1u);
        EXPECT_EQ(reported.errors[0].number(), 5);
        EXPECT_EQ(reported.errors[0].source(), "MyGrid-LostFocus(ctlControl)");
    }
    ASSERT_EQ(source->items.size(), 2u);
    EXPECT_FALSE(editor()->isVisible());
    EXPECT_EQ(text(4, 3), "");
    EXPECT_EQ(currentRow(), 4);
    EXPECT_EQ(currentItem(), 0);
    EXPECT_FALSE(button("kNew")->isEnabled());

    source->failWritesOf = 0;
    type('Y');
    ASSERT_TRUE(editor()->isVisible());
    enterInEditor();
    ASSERT_EQ(source->items.size(), 3u);
    EXPECT_EQ(source->items[2][2], com::Variant("Y"));
    moveTo(4, 1);
    EXPECT_EQ(currentItem(), 3);
    EXPECT_TRUE(button("kNew")->isEnabled());
}

}  // namespace
}  // namespace quillon
