// A host that answers the selection picker with a window of its own: the focus leaves the
// grid's editor while the pick is under way.
#include <gtest/gtest.h>

#include <QDialog>
#include <QLineEdit>
#include <QTimer>

#include "grid_support.h"

namespace quillon {
namespace {

using E = Enumeratori;

class GridPickTest : public test::GridTest {};

TEST_F(GridPickTest, PickChosenInAHostsDialog) {
    columns = {{.kind = E::ControlPersonalTIP::eSelect}, {.kind = E::ControlPersonalTIP::eText}};
    auto source = com::make<test::GridCollection>(std::vector<std::string>{"Spital", "Nume"},
                                                  std::vector<std::vector<com::Variant>>{{"5|Spital A", "x"}});
    bind(source);
    events->answers[my_grid::event::SelectFromControlSelectie] = [&](com::Args a) {
        QDialog dialog(&host->window);
        auto* search = new QLineEdit(&dialog);
        QTimer::singleShot(0, &dialog, [&] {
            search->setFocus();
            QTest::keyClicks(search, "abc");
            dialog.accept();
        });
        dialog.exec();
        a[0] = com::Variant("9|Spital Nou");
    };
    moveTo(1, 1);
    press(Qt::Key_Space);
    ASSERT_TRUE(editor()->isVisible());
    QTest::keyClicks(editorText(), "Sp");
    QTest::mouseClick(editor()->findChild<QWidget*>("Pic2"), Qt::LeftButton);
    test::settle();
    // The pick is the one value written; the text typed before it is not.
    ASSERT_EQ(source->writes.size(), 1u);
    EXPECT_EQ(source->writes[0].value, com::Variant("9|Spital Nou"));
    EXPECT_EQ(text(1, 1), "Spital Nou");
    EXPECT_FALSE(editor()->isVisible());
    EXPECT_EQ(currentRow(), 1);
    EXPECT_EQ(currentCol(), 1);
    EXPECT_EQ(host->window.focusWidget(), fg());  // the grid has the focus once its window is active again
}

}  // namespace
}  // namespace quillon
