// Where ControlCont's list of a level opens: under the text box where there is room, else
// above it, and always wholly visible, on a form near its bottom edge and as the grid's
// editor on its last visible row.
#include <gtest/gtest.h>

#include <QTreeWidget>

#include "control_cont.h"
#include "grid_support.h"
#include "support.h"
#include "typelib/control_cont.h"
#include "widget_support.h"

namespace quillon {
namespace {

using E = Enumeratori;
constexpr const char* Levels = "01&Alfa|02&Beta|03&Gama|04&Delta|05&Epsilon|$";

// The list of a ControlCont placed directly on a form, near its top edge and near its bottom edge.
class ControlContOnFormTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::pinEnglish();
        form.resize(360, 220);
        form.show();
        form.activateWindow();
        (void)QTest::qWaitForWindowActive(&form);
    }
    void TearDown() override {
        for (auto& control : controls) control.query<IControlHost>()->widget()->setParent(nullptr);
    }
    QWidget* place(int top) {
        auto control = com::make<ControlCont, IControlCont>();
        QWidget* widget = control.query<IControlHost>()->widget();
        widget->setParent(&form);
        widget->setGeometry(20, top, 200, 20);
        widget->show();
        logs.push_back(std::make_unique<test::EventLog>(*control, control_cont::EventsId,
                                                        std::vector<com::DispId>{control_cont::event::CautaAnalitic}));
        logs.back()->answers[control_cont::event::CautaAnalitic] = [](com::Args a) { a[1] = com::Variant(Levels); };
        controls.push_back(control);
        return widget;
    }
    QTreeWidget* openList(QWidget* control) {
        control->findChild<QLineEdit*>("txt")->setFocus(Qt::TabFocusReason);
        test::settle();
        for (const char k : std::string("401.")) QTest::keyClick(QApplication::focusWidget(), k);
        test::settle();
        return form.findChild<QTreeWidget*>("lst");
    }

    QWidget form;
    std::vector<com::ComPtr<com::IDispatch>> controls;
    std::vector<std::unique_ptr<test::EventLog>> logs;
};

TEST_F(ControlContOnFormTest, TheListOpensDownwardWhereThereIsRoomElseUpwardAndIsWhollyVisible) {
    QWidget* low = place(0);
    low->move(20, form.height() - low->height() - 2);
    QTreeWidget* list = openList(low);
    ASSERT_TRUE(list && list->isVisible());
    EXPECT_EQ(test::shownPart(*list), test::inWindow(*list));
    EXPECT_LE(test::inWindow(*list).bottom(), test::inWindow(*low).top() + twips(10));  // above the text box
    QTest::keyClick(list, Qt::Key_Escape);
    test::settle();
    EXPECT_TRUE(list->isHidden());

    QWidget* high = place(10);
    list = openList(high);
    ASSERT_TRUE(list && list->isVisible());
    EXPECT_EQ(test::shownPart(*list), test::inWindow(*list));
    EXPECT_NEAR(test::inWindow(*list).top(), test::inWindow(*high).bottom(), twips(10) + 1);  // under it
}

class ControlContInGridTest : public test::GridTest {};

TEST_F(ControlContInGridTest, TheListOnTheLastVisibleRowIsWhollyVisible) {
    columns = {{.tip = E::ControlTIP::eCont}};
    std::vector<std::vector<com::Variant>> items(60, std::vector<com::Variant>{com::Variant("")});
    auto source = com::make<test::GridCollection>(std::vector<std::string>{"Cont"}, std::move(items));
    bind(source);
    events->answers[my_grid::event::CautaAnalitic] = [](com::Args a) { a[1] = com::Variant(Levels); };
    // The last row the grid shows whole.
    const int viewBottom = fg()->viewport()->height();
    int last = fg()->rowAt(viewBottom - 1);
    ASSERT_GT(last, 0);
    if (fg()->rowViewportPosition(last) + fg()->rowHeight(last) > viewBottom) --last;
    moveTo(last + fixedRows(), 1);
    type('4');
    for (const char k : std::string("01.")) QTest::keyClick(QApplication::focusWidget(), k);
    test::settle();
    auto* list = host->window.findChild<QTreeWidget*>("lst");
    ASSERT_TRUE(list && list->isVisible());
    EXPECT_EQ(QApplication::focusWidget(), list);
    EXPECT_EQ(test::shownPart(*list), test::inWindow(*list));
    // It covers no part of the code being typed (but the edge they share).
    const QWidget* code = host->inner("cntCont")->findChild<QLineEdit*>("txt");
    const int edge = twips(10) + 1;
    EXPECT_FALSE(test::inWindow(*list).intersects(test::inWindow(*code).adjusted(0, edge, 0, -edge)));
    // A pick still reaches the code.
    QTest::keyClick(list, Qt::Key_Return);
    test::settle();
    EXPECT_EQ(host->inner("cntCont")->findChild<QLineEdit*>("txt")->text(), "401.01");
}

}  // namespace
}  // namespace quillon
