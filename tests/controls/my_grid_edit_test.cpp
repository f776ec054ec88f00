// What one edit leaves to the next: an edit ends whole, however it ends.
#include <gtest/gtest.h>

#include "grid_support.h"

namespace quillon {
namespace {

using E = Enumeratori;
namespace id = my_grid::dispid;

class GridEditTest : public test::GridTest {};

// Text typed in a selection cell and then a pick the host leaves empty: the edit ends
// without writing, and the next edit, opened on the empty line and left unchanged,
// makes no item either.
TEST_F(GridEditTest, AnEmptyPickLeavesNoChangeToTheNextEdit) {
    columns = {{.kind = E::ControlPersonalTIP::eSelect}, {.kind = E::ControlPersonalTIP::eText}};
    set(id::PermitRandNou, true);
    auto source = com::make<test::GridCollection>(std::vector<std::string>{"Spital", "Nume"},
                                                  std::vector<std::vector<com::Variant>>{{"5|Spital A", "x"}});
    bind(source);
    events->answers[my_grid::event::SelectFromControlSelectie] = [](com::Args a) { a[0] = com::Variant(""); };
    moveTo(1, 1);
    press(Qt::Key_Space);
    ASSERT_TRUE(editor()->isVisible());
    QTest::keyClicks(editorText(), "Sp");
    QTest::mouseClick(editor()->findChild<QWidget*>("Pic2"), Qt::LeftButton);
    test::settle();
    EXPECT_FALSE(editor()->isVisible());
    EXPECT_EQ(text(1, 1), "Spital A");

    moveTo(2, 2);
    press(Qt::Key_Space);
    ASSERT_TRUE(editor()->isVisible());
    enterInEditor();
    EXPECT_FALSE(editor()->isVisible());
    EXPECT_TRUE(source->writes.empty());
    EXPECT_EQ(source->Count(), 1);
}

}  // namespace
}  // namespace quillon
