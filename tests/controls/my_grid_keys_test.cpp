// Keys typed into the grid's editors: the key that opens an editor stays the first
// character of the value when keys reach the window faster than the event loop runs, and
// a value typed but not yet committed survives the host binding another source.
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
        columns = {{.kind = E::ControlPersonalTIP::eNumar, .decimals = 2}, {.tip = E::ControlTIP::eCont}};
        source =
            com::make<test::GridCollection>(std::vector<std::string>{"Suma", "Cont"},
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

// A host that binds another source while an editor still holds a typed value (its button
// took no focus): the value reaches the item it was typed for first.
TEST_F(GridKeysTest, ATypedValueIsWrittenBeforeTheGridShowsAnotherSource) {
    moveTo(1, 1);
    type('4');
    QTest::keyClick(editorText(), '2');
    ASSERT_TRUE(editor()->isVisible());
    auto next = com::make<test::GridCollection>(std::vector<std::string>{"Suma", "Cont"},
                                                std::vector<std::vector<com::Variant>>{{com::Variant(int32_t{9}), ""}});
    bind(next);
    ASSERT_EQ(source->writes.size(), 1u);
    EXPECT_EQ(source->writes[0].value.toDouble(), 42);
    EXPECT_TRUE(next->writes.empty());
    EXPECT_FALSE(editor()->isVisible());
    EXPECT_EQ(text(1, 1), "9.00");

    // An account code typed likewise.
    moveTo(1, 2);
    type('4');
    QTest::keyClick(QApplication::focusWidget(), '0');
    bind(source);
    ASSERT_EQ(next->writes.size(), 1u);
    EXPECT_EQ(next->writes[0].value, com::Variant("40"));
}

// A text longer than a line edit's own limit (32,767 characters) is edited whole; a first
// key at or above U+8000, or outside the basic plane, opens the text editor holding it.
TEST_F(GridKeysTest, TextCellsTakeTextsOfAnyLengthAndAnyCharacter) {
    columns = {{.kind = E::ControlPersonalTIP::eText}};
    const std::string longText(40000, 'a');
    auto texts = com::make<test::GridCollection>(std::vector<std::string>{"Nume"},
                                                 std::vector<std::vector<com::Variant>>{{longText}, {""}});
    bind(texts);
    moveTo(1, 1);
    press(Qt::Key_Space);
    ASSERT_TRUE(editor()->isVisible());
    EXPECT_EQ(editorText()->text().size(), 40000);
    QTest::keyClick(editorText(), Qt::Key_End);
    QTest::keyClick(editorText(), 'b');
    enterInEditor();
    ASSERT_EQ(texts->writes.size(), 1u);
    EXPECT_EQ(texts->writes[0].value, com::Variant(longText + "b"));
    EXPECT_EQ(text(1, 1).size(), 40001u);

    for (const char32_t typed : {U'\u8A9E', U'\U0001F600'}) {
        const QString character = QString::fromUcs4(&typed, 1);
        moveTo(2, 1);
        QTest::sendKeyEvent(QTest::Click, fg(), Qt::Key_unknown, character, Qt::NoModifier);
        test::settle();
        ASSERT_TRUE(editor()->isVisible());
        EXPECT_EQ(editorText()->text(), character);
        enterInEditor();
        EXPECT_EQ(texts->writes.back().value, com::Variant(character.toStdString()));
        EXPECT_EQ(text(2, 1), character.toStdString());
    }
}

}  // namespace
}  // namespace quillon
