// MyCombo on a real, shown widget: rows keyed by identifier, Click from code and from
// the user, the errors of bad identifiers, Enter, focus colours and the property bag.
#include <gtest/gtest.h>

#include <QComboBox>

#include "com/error.h"
#include "my_combo.h"
#include "support.h"
#include "wheel.h"
#include "widget_support.h"

namespace quillon {
namespace {

namespace id = my_combo::dispid;
using test::call;
using test::get;
using test::put;

class MyComboTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::pinEnglish();
        object = com::make<MyCombo, IMyCombo>();
        host = std::make_unique<test::HostWindow>(object);
        host->host->InitProperties();
        events = std::make_unique<test::EventLog>(*object, my_combo::EventsId, std::vector<com::DispId>{1});
    }
    void add(const char* text, int32_t key) { call(*object, id::AddItem, {com::Variant(text), com::Variant(key)}); }
    int clicks() const { return events->count(my_combo::event::Click); }
    QComboBox* combo() const { return host->inner<QComboBox>("Combo1"); }

    com::ComPtr<com::IDispatch> object;
    std::unique_ptr<test::HostWindow> host;
    std::unique_ptr<test::EventLog> events;
};

TEST_F(MyComboTest, FilledListSelectsNothingUntilAKeyIsSet) {
    EXPECT_EQ(get(*object, id::ListCount), com::Variant(int16_t{0}));
    EXPECT_EQ(get(*object, id::ListIndex), com::Variant(int16_t{-1}));
    EXPECT_EQ(get(*object, id::Cheie), com::Variant(int32_t{-1}));
    add("Alba", 5);
    add("Arad", 7);
    EXPECT_EQ(get(*object, id::ListIndex), com::Variant(int16_t{-1}));
    EXPECT_EQ(get(*object, id::Text), com::Variant(""));
    EXPECT_EQ(clicks(), 0);

    put(*object, id::Cheie, int32_t{7});
    EXPECT_EQ(clicks(), 1);
    EXPECT_EQ(get(*object, id::ListIndex), com::Variant(int16_t{1}));
    EXPECT_EQ(get(*object, id::Cheie), com::Variant(int32_t{7}));
    EXPECT_EQ(get(*object, id::Text), com::Variant("Arad"));
    put(*object, id::Cheie, int32_t{7});  // the same row again: the host's cascade runs again
    EXPECT_EQ(clicks(), 2);
    put(*object, id::ListIndex, int16_t{0});
    EXPECT_EQ(get(*object, id::Cheie), com::Variant(int32_t{5}));
    EXPECT_EQ(clicks(), 3);
    put(*object, id::Cheie, int32_t{-1});
    EXPECT_EQ(get(*object, id::ListIndex), com::Variant(int16_t{-1}));
    EXPECT_EQ(get(*object, id::Cheie), com::Variant(int32_t{-1}));
    EXPECT_EQ(clicks(), 4);
}

TEST_F(MyComboTest, BadKeysRaiseTheirErrorsAndChangeNothing) {
    add("Alba", 5);
    add("Arad", 7);
    put(*object, id::Cheie, int32_t{5});
    const int before = clicks();

    const com::Error unknown = test::errorOf([&] { put(*object, id::Cheie, int32_t{99}); });
    EXPECT_EQ(unknown.number(), com::errc::InvalidProcedureCall);
    EXPECT_EQ(unknown.source(), "MyCombo-Cheie");
    EXPECT_EQ(get(*object, id::Cheie), com::Variant(int32_t{5}));

    const com::Error duplicate = test::errorOf([&] { add("Alt", 5); });
    EXPECT_EQ(duplicate.number(), com::errc::DuplicateKey);
    EXPECT_EQ(duplicate.source(), "MyCombo-AddItem");
    EXPECT_EQ(duplicate.description(),
              "Exista deja in combo un item cu Id-ul 5.\r\nFiecare item trebuie sa aiba un Id unic.");
    EXPECT_EQ(get(*object, id::ListCount), com::Variant(int16_t{2}));

    const com::Error missing = test::errorOf([&] { call(*object, id::RemoveItem, {com::Variant(int32_t{9})}); });
    EXPECT_EQ(missing.number(), com::errc::InvalidProcedureCall);
    EXPECT_EQ(missing.source(), "MyCombo-RemoveItem");
    EXPECT_EQ(missing.description(), "Nu exista nici un item in combo cu Id-ul 9.");
    EXPECT_EQ(get(*object, id::ListCount), com::Variant(int16_t{2}));

    EXPECT_EQ(test::errorOf([&] { put(*object, id::ListIndex, int16_t{2}); }).number(),
              com::errc::InvalidPropertyValue);
    EXPECT_EQ(get(*object, id::ListIndex), com::Variant(int16_t{0}));
    EXPECT_EQ(clicks(), before);
}

TEST_F(MyComboTest, RemovingAndClearingKeepKeysAndRowsTogether) {
    add("Alba", 1);
    add("Arad", 2);
    add("Arges", 3);
    put(*object, id::Cheie, int32_t{1});
    call(*object, id::RemoveItem, {com::Variant(int32_t{1})});
    EXPECT_EQ(get(*object, id::ListIndex), com::Variant(int16_t{-1}));  // its row is gone
    put(*object, id::Cheie, int32_t{3});
    EXPECT_EQ(get(*object, id::ListIndex), com::Variant(int16_t{1}));
    EXPECT_EQ(get(*object, id::Text), com::Variant("Arges"));

    call(*object, id::Clear);
    EXPECT_EQ(get(*object, id::ListCount), com::Variant(int16_t{0}));
    add("Bihor", 1);
    add("Arges", 3);
    put(*object, id::Cheie, int32_t{3});
    EXPECT_EQ(get(*object, id::Text), com::Variant("Arges"));
}

TEST_F(MyComboTest, UserPickRaisesClickAndEnterMovesOn) {
    add("Alba", 5);
    add("Arad", 7);
    combo()->setFocus(Qt::TabFocusReason);
    test::settle();
    QTest::keyClick(combo(), Qt::Key_Down);
    EXPECT_EQ(clicks(), 1);
    EXPECT_EQ(get(*object, id::Cheie), com::Variant(int32_t{5}));
    QTest::keyClick(combo(), Qt::Key_Return);
    test::settle();
    EXPECT_EQ(QApplication::focusWidget(), host->after);

    test::DialogHost dialog(host->widget);
    EXPECT_TRUE(dialog.enterMovesOn());
    EXPECT_EQ(dialog.accepted, 0);
    EXPECT_EQ(clicks(), 1);
}

// A pointer passing over the list while the user types elsewhere changes no choice: the
// turn goes on to what lies under the list.
TEST_F(MyComboTest, TheWheelPicksARowOnlyWhileTheListHasTheFocus) {
    add("Alba", 5);
    add("Arad", 7);
    add("Arges", 9);
    put(*object, id::Cheie, int32_t{7});
    const int before = clicks();
    host->before->setFocus(Qt::TabFocusReason);
    test::settle();
    const wheel::TurnsReaching under(&host->window);
    for (const int notches : {-1, 1, -2}) wheel::turnOver(host->widget, notches);
    EXPECT_EQ(get(*object, id::Cheie), com::Variant(int32_t{7}));
    EXPECT_EQ(clicks(), before);
    EXPECT_EQ(QApplication::focusWidget(), host->before);
    EXPECT_EQ(under.turns, 3);

    combo()->setFocus(Qt::TabFocusReason);
    test::settle();
    wheel::turnOver(host->widget, -1);
    EXPECT_EQ(get(*object, id::Cheie), com::Variant(int32_t{9}));
    EXPECT_EQ(clicks(), before + 1);
    EXPECT_EQ(under.turns, 3);
}

TEST_F(MyComboTest, FocusColoursApplyOnlyWhileFocused) {
    put(*object, id::FocusBackColor, int32_t{0x00FFFF});
    put(*object, id::FocusForeColor, int32_t{0x0000FF});
    put(*object, id::BackColor, int32_t{0xFFFFFF});
    EXPECT_EQ(combo()->palette().color(QPalette::Button), QColor(Qt::white));
    combo()->setFocus(Qt::TabFocusReason);
    test::settle();
    EXPECT_EQ(combo()->palette().color(QPalette::Button), QColor(Qt::yellow));
    EXPECT_EQ(combo()->palette().color(QPalette::ButtonText), QColor(Qt::red));
    host->after->setFocus(Qt::TabFocusReason);
    test::settle();
    EXPECT_EQ(combo()->palette().color(QPalette::Button), QColor(Qt::white));
    EXPECT_EQ(combo()->palette().color(QPalette::ButtonText), oleColor(color::WindowText));
}

TEST_F(MyComboTest, PropertyBagKeepsColoursAndEnabledButNoRows) {
    add("Alba", 5);
    put(*object, id::Enabled, false);
    put(*object, id::BackColor, color::ButtonFace);
    put(*object, id::FocusForeColor, int32_t{255});
    com::PropertyBag bag;
    host->host->WriteProperties(bag);
    EXPECT_FALSE(bag.contains("ForeColor"));
    EXPECT_FALSE(bag.contains("Font"));

    auto copy = com::make<MyCombo, IMyCombo>();
    copy.query<IControlHost>()->ReadProperties(com::PropertyBag::fromText(bag.toText()));
    for (const com::DispId member : {id::Enabled, id::BackColor, id::ForeColor, id::FocusBackColor, id::FocusForeColor})
        EXPECT_EQ(get(*copy, member), get(*object, member)) << member;
    EXPECT_EQ(get(*copy, id::ListCount), com::Variant(int16_t{0}));
    auto* inner = copy.query<IControlHost>()->widget()->findChild<QComboBox*>("Combo1");
    EXPECT_EQ(inner->palette().color(QPalette::Disabled, QPalette::Button), oleColor(color::ButtonFace));
}

}  // namespace
}  // namespace quillon
