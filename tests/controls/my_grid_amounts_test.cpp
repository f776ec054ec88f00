// Amounts in the grid's cells and totals are decimals: every value the source holds within
// the decimal range (28 digits) is shown and summed exactly, whatever the column's
// decimals; beyond it the value is refused with error 6 and the grid stays usable.
#include <gtest/gtest.h>

#include "grid_support.h"

namespace quillon {
namespace {

using E = Enumeratori;
namespace id = my_grid::dispid;

using test::money;

test::HostColumn summed(int16_t decimals) {
    return {.kind = E::ControlPersonalTIP::eNumar, .decimals = decimals, .total = E::AgregareTIP::aSuma};
}

class GridAmountsTest : public test::GridTest {
protected:
    void SetUp() override {
        GridTest::SetUp();
        columns = {summed(2), summed(12), summed(20), summed(0)};
        set(id::AreTotal, true);
        set(id::PermitRandNou, true);
        source = com::make<test::GridCollection>(std::vector<std::string>{"Lei", "Cota", "Fractie", "Mare"},
                                                 std::vector<std::vector<com::Variant>>{
                                                     {com::Variant(1e17), money(12345678.5), money(1),
                                                      "12345678901234567890123456"},
                                                     {money(0.25), com::Variant(1e-12), com::Variant(int32_t{1}),
                                                      "50000000000000000000000000000"},
                                                 });
        bind(source);
    }
    com::ComPtr<test::GridCollection> source;
};

TEST_F(GridAmountsTest, EveryAmountInTheDecimalRangeIsShownAndSummedExactly) {
    EXPECT_EQ(text(2, 1), "100,000,000,000,000,000.00");
    EXPECT_EQ(text(1, 1), "100,000,000,000,000,000.25");
    EXPECT_EQ(text(2, 2), "12,345,678.500000000000");
    EXPECT_EQ(text(3, 2), "0.000000000001");
    EXPECT_EQ(text(1, 2), "12,345,678.500000000001");
    EXPECT_EQ(text(2, 3), "1.00000000000000000000");
    EXPECT_EQ(text(1, 3), "2.00000000000000000000");
    EXPECT_EQ(text(2, 4), "12,345,678,901,234,567,890,123,456");
    EXPECT_EQ(text(1, 4), "50,012,345,678,901,234,567,890,123,456");

    // 1 followed by 17 zeros typed into a cell of two decimals.
    test::ReportedErrors reported;
    moveTo(3, 1);
    typeAndLeave("100000000000000000");
    EXPECT_TRUE(reported.errors.empty());
    ASSERT_EQ(source->writes.size(), 1u);
    EXPECT_EQ(source->writes[0].value.toDouble(), 1e17);
    EXPECT_EQ(text(3, 1), "100,000,000,000,000,000.00");
    EXPECT_EQ(text(1, 1), "200,000,000,000,000,000.00");
    EXPECT_FALSE(editor()->isVisible());

    // A cell read again and a line deleted keep the total exact.
    source->cell(2, 1) = "0.000000000003";
    test::call(*grid, id::RefreshLine, {com::Variant(int32_t{1}), com::Variant(int32_t{2})});
    EXPECT_EQ(text(1, 2), "0.000000000004");
    set(id::PermitDelete, true);
    events->answers[my_grid::event::PermitDeleteFromToolbar] = [](com::Args a) { a[1] = com::Variant(true); };
    moveTo(2, 4);
    button("kDelete")->trigger();
    EXPECT_EQ(text(1, 4), "50,000,000,000,000,000,000,000,000,000");
    EXPECT_EQ(text(1, 1), "100,000,000,000,000,000.00");
    EXPECT_TRUE(reported.errors.empty());
}

// A value beyond the decimal range, in a cell or in its total, is refused with error 6
// before the source sees it; the cell keeps the source's value and the editor closes.
TEST_F(GridAmountsTest, AmountsBeyondTheDecimalRangeAreRefusedWithoutStickingTheEditor) {
    test::ReportedErrors reported;
    moveTo(4, 4);
    typeAndLeave("99999999999999999999999999999");  // 29 digits
    ASSERT_EQ(reported.errors.size(), 1u);
    EXPECT_EQ(reported.errors[0].number(), com::errc::Overflow);
    EXPECT_EQ(reported.errors[0].source(), "MyGrid-LostFocus(ctlControl)");
    EXPECT_TRUE(source->writes.empty());
    EXPECT_EQ(text(4, 4), "0");
    EXPECT_FALSE(editor()->isVisible());

    // Fits in its cell, but not in the column's total.
    moveTo(4, 4);
    typeAndLeave("40000000000000000000000000000");
    ASSERT_EQ(reported.errors.size(), 2u);
    EXPECT_EQ(reported.errors[1].number(), com::errc::Overflow);
    EXPECT_TRUE(source->writes.empty());
    EXPECT_EQ(source->items.size(), 2u);
    EXPECT_EQ(text(4, 4), "0");
    EXPECT_EQ(text(1, 4), "50,012,345,678,901,234,567,890,123,456");

    // The grid takes the next edit.
    moveTo(3, 1);
    typeAndLeave("3");
    ASSERT_EQ(source->writes.size(), 1u);
    EXPECT_EQ(text(1, 1), "100,000,000,000,000,003.00");
    EXPECT_EQ(reported.errors.size(), 2u);

    // A source holding an amount beyond the range cannot be bound.
    source->cell(1, 1) = "100000000000000000000000000000";
    const com::Error failed = test::errorOf([&] { bind(source); });
    EXPECT_EQ(failed.number(), com::errc::Overflow);
    EXPECT_EQ(failed.source(), "MyGrid-SursaDate");
    EXPECT_FALSE(read(id::AreSursaDate).toBool());
}

}  // namespace
}  // namespace quillon
