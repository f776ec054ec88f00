// Picks made outside the editor's own window: a host's dialog answering the selection
// picker, the calendar of a date cell's editor and the drop-down of a list cell's.
#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QCalendarWidget>
#include <QComboBox>
#include <QDateTimeEdit>
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

// The calendar of a date cell's editor is part of the edit: the date picked in it is
// the one written.
TEST_F(GridPickTest, DatePickedInTheEditorsCalendar) {
    columns = {{.kind = E::ControlPersonalTIP::eData}, {.kind = E::ControlPersonalTIP::eText}};
    auto source =
        com::make<test::GridCollection>(std::vector<std::string>{"Data", "Nume"},
                                        std::vector<std::vector<com::Variant>>{{com::Date::fromYmd(2006, 3, 5), "x"}});
    bind(source);
    moveTo(1, 1);
    press(Qt::Key_Space);
    ASSERT_TRUE(editor()->isVisible());
    auto* date = editor()->findChild<QDateTimeEdit*>();
    ASSERT_TRUE(date);
    QTest::mouseClick(date, Qt::LeftButton, {}, QPoint(date->width() - 5, date->height() / 2));  // the arrow
    test::settle();
    QWidget* popup = QApplication::activePopupWidget();
    ASSERT_TRUE(popup);
    EXPECT_TRUE(editor()->isVisible());  // the edit stays open while the calendar is up
    auto* days = popup->findChild<QCalendarWidget*>()->findChild<QAbstractItemView*>();
    ASSERT_TRUE(days);
    QTest::keyClick(days, Qt::Key_Right);
    QTest::keyClick(days, Qt::Key_Return);
    test::settle();
    enterInEditor();
    ASSERT_EQ(source->writes.size(), 1u);
    EXPECT_EQ(source->writes[0].value, com::Variant(com::Date::fromYmd(2006, 3, 6)));
    EXPECT_EQ(text(1, 1), "06/03/2006");
}

// The drop-down of a list cell's editor: the row clicked in it is the one written.
TEST_F(GridPickTest, ListRowClickedInTheEditorsDropDown) {
    columns = {{.tip = E::ControlTIP::eComboBx, .list = "1&Alba|2&Bihor|3&Cluj|"},
               {.kind = E::ControlPersonalTIP::eText}};
    auto source = com::make<test::GridCollection>(std::vector<std::string>{"Judet", "Nume"},
                                                  std::vector<std::vector<com::Variant>>{{"1|Alba", "x"}});
    bind(source);
    moveTo(1, 1);
    press(Qt::Key_Space);
    auto* list = combo(0)->findChild<QComboBox*>();
    ASSERT_TRUE(list);
    list->showPopup();
    test::settle();
    ASSERT_TRUE(QApplication::activePopupWidget());
    EXPECT_TRUE(combo(0)->isVisible());  // the edit stays open while the list is down
    QAbstractItemView* rows = list->view();
    const QRect third = rows->visualRect(rows->model()->index(2, 0));
    QTest::mouseClick(rows->viewport(), Qt::LeftButton, {}, third.center());
    test::settle();
    ASSERT_EQ(source->writes.size(), 1u);
    EXPECT_EQ(source->writes[0].value, com::Variant("3|Cluj"));
    EXPECT_EQ(text(1, 1), "Cluj");
}

}  // namespace
}  // namespace quillon
