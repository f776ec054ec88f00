// Keys that reach the grid's window faster than the event loop runs: the key that opens
// an editor stays the first character of the value, before the keys typed after it.
#include <gtest/gtest.h>

#include <QWindow>
#include <QtTest/qtestkeyboard.h>

#include "grid_support.h"

namespace quillon {
namespace {

using E = Enumeratori;

class GridKeysTest : public test::GridTest {
protected:
    void SetUp() override {
        GridTest::SetUp();
        columns = {{.kind = E::ControlPersonalTIP::eNumar, .decimals = 2},
                   {.tip = E::ControlTIP::eCont}};
        source = com::make<test::GridCollection>(std::vector<std::string>{"Suma", "Cont"},
                                                 std::vector<std::vector<com::Variant>>{{com::Variant(int32_t{1}), ""}});
        bind(source);
    }
    // Each key is handled at once by the widget that has the focus, as the window system
    // delivers keys that were waiting while the grid opened its editor.
    void typeAtWindow(const char* keys) {
        QWindow* window = host->window.windowHandle();
        for (const char* k = keys; *k; ++k) {
            const QString text(QChar::fromLatin1(*k));
            qt_handleKeyEvent(window, QEvent::KeyPress, Qt::Key_0 + (*k - '0'), Qt::NoModifier, text);
            qt_handleKeyEvent(window, QEvent::KeyRelease, Qt::Key_0 + (*k - '0'), Qt::NoModifier, text);
        }
        test::settle();
    }
    com::ComPtr<test::GridCollection> source;
};

TEST_F(GridKeysTest, TheOpeningKeyStaysFirst) {
    moveTo(1, 1);
    typeAtWindow("75");
    ASSERT_TRUE(editor()->isVisible());
    EXPECT_EQ(editorText()->text(), "75");
    enterInEditor();
    ASSERT_EQ(source->writes.size(), 1u);
    EXPECT_EQ(source->writes[0].value.toDouble(), 75);

    moveTo(1, 2);
    typeAtWindow("40");
    QWidget* account = host->inner("cntCont");
    ASSERT_TRUE(account->isVisible());
    EXPECT_EQ(account->findChild<QLineEdit*>("txt")->text(), "40");
}

}  // namespace
}  // namespace quillon
