// ControlCont (also created by ProgID) driven by real keys on a shown window: the synthetic
// account, the analytic levels the host supplies, the list of a level, the committed
// value, the focus colours and the property bag.
#include <gtest/gtest.h>

#include <QLineEdit>
#include <QTreeWidget>

#include "account_code.h"
#include "com/server.h"
#include "control_cont.h"
#include "typelib/control_cont.h"
#include "typelib/quillon.h"
#include "registry_support.h"
#include "support.h"
#include "widget_support.h"

namespace quillon {
namespace {

namespace id = control_cont::dispid;
namespace ev = control_cont::event;
using test::get;
using test::put;

// Two analytic levels for account 401; other accounts have none.
constexpr const char* TwoLevels = "01&Alfa|02&Beta|123&Lung|$10&Unu|20&Doi|";

class ControlContTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { registry = std::make_unique<test::TemporaryRegistry>("quillon-cont"); }
    static void TearDownTestSuite() { registry.reset(); }
    void SetUp() override {
        test::pinEnglish();
        setBeepHook([this] { ++beeps; });
        // Made by the library code linked into the tests, whose beep the hook above replaces;
        // the tests below that create it by ProgID get it from the registered library.
        object = com::make<ControlCont, IControlCont>();
        ASSERT_TRUE(object);
        host = std::make_unique<test::HostWindow>(object);
        host->host->InitProperties();
        events =
            std::make_unique<test::EventLog>(*object, control_cont::EventsId,
                                             std::vector<com::DispId>{ev::Change, ev::CautaAnalitic,
                                                                      ev::ReimprospatezDescriere, ev::GolescDescriere});
        events->answers[ev::CautaAnalitic] = [this](com::Args args) {
            asked.push_back(args[0].toString());
            if (args[0].toString() == "401") args[1] = com::Variant(answer);
        };
    }
    void TearDown() override { setBeepHook({}); }

    QLineEdit* txt() const { return host->inner<QLineEdit>("txt"); }
    // The open list floats over the window, outside the control's widget.
    QTreeWidget* lst() const { return host->window.findChild<QTreeWidget*>("lst"); }
    bool listOpen() const { return !lst()->isHidden(); }
    QString text() const { return txt()->text(); }
    std::string valoare() const { return get(*object, id::Valoare).toString(); }
    int count(com::DispId event) const { return events->count(event); }

    void enter() {
        txt()->setFocus(Qt::TabFocusReason);
        test::settle();
    }
    void leave() {
        host->after->setFocus(Qt::TabFocusReason);
        test::settle();
    }
    void type(const char* keys) {
        for (const char* k = keys; *k; ++k) QTest::keyClick(QApplication::focusWidget(), *k);
    }
    void key(Qt::Key k) { QTest::keyClick(QApplication::focusWidget(), k); }
    QStringList rows() const {
        QStringList texts;
        for (int i = 0; i < lst()->topLevelItemCount(); ++i) texts << lst()->topLevelItem(i)->text(0);
        return texts;
    }
    // The text and value after entering, typing the synthetic account and ".".
    void openFirstLevel() {
        enter();
        type("401.");
        ASSERT_TRUE(listOpen());
    }

    static inline std::unique_ptr<test::TemporaryRegistry> registry;
    std::string answer = TwoLevels;
    std::vector<std::string> asked;
    int beeps = 0;
    com::ComPtr<com::IDispatch> object;
    std::unique_ptr<test::HostWindow> host;
    std::unique_ptr<test::EventLog> events;
};

TEST_F(ControlContTest, SyntheticAccountTakesAtMostFourDigitsAndNothingElse) {
    enter();
    type("4011");
    EXPECT_EQ(text(), "4011");
    EXPECT_EQ(count(ev::Change), 4);
    EXPECT_EQ(beeps, 0);
    type("5");
    EXPECT_EQ(text(), "4011");
    EXPECT_EQ(beeps, 1);
    // Letters, Backspace, a comma and paste are swallowed without a beep.
    type("a,");
    key(Qt::Key_Backspace);
    QTest::keyClick(txt(), Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(text(), "4011");
    EXPECT_EQ(beeps, 1);
    // Until the focus leaves, the value is the committed one.
    EXPECT_EQ(valoare(), "");
    leave();
    EXPECT_EQ(valoare(), "4011");
}

// Text that comes in by any way but the keys (a paste, a drop, an input method) is taken
// only when the keys would take each of its characters in turn: digits up to four, "."
// and Space being keys that open lists, not text. Refused text is refused whole.
TEST_F(ControlContTest, TextEnteringByAnyWayGoesThroughTheKeyRules) {
    enter();
    type("40");
    test::pasteByShortcut(txt(), "1.5");
    test::dropText(txt(), "ABC 9999.xx");
    test::commitFromInputMethod(txt(), "123");  // a fifth digit
    test::commitFromInputMethod(txt(), "1 ");
    EXPECT_EQ(text(), "40");
    EXPECT_EQ(count(ev::Change), 2);
    EXPECT_EQ(beeps, 0);
    test::pasteByShortcut(txt(), "1");
    EXPECT_EQ(text(), "401");
    type(".");  // the pasted third digit made the account ready for its first level
    ASSERT_TRUE(listOpen());
    key(Qt::Key_Escape);
    test::dropText(txt(), "01");
    EXPECT_EQ(text(), "401.");
    leave();
    EXPECT_EQ(valoare(), "401");

    enter();
    key(Qt::Key_Delete);
    test::dropText(txt(), "4");
    test::commitFromInputMethod(txt(), "01");
    EXPECT_EQ(text(), "401");
    leave();
    EXPECT_EQ(valoare(), "401");
}

// X11's primary selection, pasted by the middle button (run on an X server: the offscreen
// platform has no primary selection).
TEST_F(ControlContTest, PrimarySelectionPasteGoesThroughTheKeyRules) {
    enter();
    type("401");
    if (!test::pasteFromPrimarySelection(txt(), "ABC 9999.xx")) GTEST_SKIP() << "the platform has no primary selection";
    EXPECT_EQ(text(), "401");
    test::pasteFromPrimarySelection(txt(), "1");
    EXPECT_EQ(text(), "4011");
    leave();
    EXPECT_EQ(valoare(), "4011");
}

TEST_F(ControlContTest, DotAsksTheHostAndAnEmptyAnswerRefusesIt) {
    enter();
    type("402.");
    ASSERT_EQ(asked, std::vector<std::string>{"402"});
    EXPECT_EQ(text(), "402");
    EXPECT_EQ(beeps, 1);
    EXPECT_FALSE(listOpen());
    EXPECT_EQ(QApplication::focusWidget(), txt());
}

TEST_F(ControlContTest, PickingAnalyticsOfTwoLevelsAppendsThem) {
    openFirstLevel();
    EXPECT_EQ(asked, std::vector<std::string>{"401"});
    EXPECT_EQ(text(), "401.");
    EXPECT_EQ(rows(), (QStringList{"01   Alfa", "02   Beta", "123   Lung"}));
    EXPECT_EQ(lst()->topLevelItem(0)->data(0, Qt::UserRole + 1).toString(), "01K");
    EXPECT_EQ(QApplication::focusWidget(), lst());
    EXPECT_EQ(count(ev::Change), 4);  // three digits and the "."
    key(Qt::Key_Down);
    key(Qt::Key_Return);
    EXPECT_FALSE(listOpen());
    EXPECT_EQ(text(), "401.02");
    EXPECT_EQ(count(ev::Change), 5);  // the pick
    EXPECT_EQ(QApplication::focusWidget(), txt());
    ASSERT_EQ(count(ev::ReimprospatezDescriere), 1);
    EXPECT_EQ(events->last(ev::ReimprospatezDescriere),
              (std::vector<com::Variant>{com::Variant("Beta"), com::Variant(int16_t{1}), com::Variant(true)}));

    // The second level: Space in the list picks as Enter does.
    type(".");
    EXPECT_EQ(rows(), (QStringList{"10   Unu", "20   Doi"}));
    key(Qt::Key_Down);
    key(Qt::Key_Space);
    EXPECT_EQ(text(), "401.02.20");
    EXPECT_EQ(events->last(ev::ReimprospatezDescriere),
              (std::vector<com::Variant>{com::Variant("Doi"), com::Variant(int16_t{2}), com::Variant(true)}));
    // No third level: the "." is refused.
    type(".");
    EXPECT_EQ(text(), "401.02.20");
    EXPECT_EQ(beeps, 1);
    EXPECT_EQ(asked.size(), 1u);  // the lists are asked once per code
    leave();
    EXPECT_EQ(valoare(), "401.02.20");
}

TEST_F(ControlContTest, EmptySecondLevelRefusesTheSecondDot) {
    answer = "01&Alfa|02&Beta|$";
    openFirstLevel();
    const QPoint second = lst()->visualItemRect(lst()->topLevelItem(1)).center();
    QTest::mouseClick(lst()->viewport(), Qt::LeftButton, {}, second);
    QTest::mouseDClick(lst()->viewport(), Qt::LeftButton, {}, second);
    EXPECT_EQ(text(), "401.02");
    type(".");
    EXPECT_EQ(text(), "401.02");
    EXPECT_EQ(beeps, 1);
    EXPECT_FALSE(listOpen());
    // The empty level cleared the ready flag: a further "." beeps at once.
    type(".");
    EXPECT_EQ(beeps, 2);
}

TEST_F(ControlContTest, SpaceReopensTheCaretsLevelAndReplacesOnlyItsSegment) {
    put(*object, id::Valoare, "401.01.10");
    enter();  // the host is asked for the levels of the code already there
    EXPECT_EQ(asked, std::vector<std::string>{"401"});
    txt()->setCursorPosition(5);  // inside "01"
    key(Qt::Key_Space);
    ASSERT_TRUE(listOpen());
    EXPECT_EQ(text(), "401.01.10");
    EXPECT_EQ(lst()->currentItem()->text(0), "01   Alfa");  // the current code is selected
    key(Qt::Key_Down);
    key(Qt::Key_Return);
    EXPECT_EQ(text(), "401.02.10");
    EXPECT_EQ(txt()->cursorPosition(), 5);
    EXPECT_EQ(events->last(ev::ReimprospatezDescriere),
              (std::vector<com::Variant>{com::Variant("Beta"), com::Variant(int16_t{1}), com::Variant(false)}));

    // A longer code replaces the whole segment and leaves the next one intact.
    key(Qt::Key_Space);
    EXPECT_EQ(lst()->currentItem()->text(0), "02   Beta");
    key(Qt::Key_Down);
    key(Qt::Key_Return);
    EXPECT_EQ(text(), "401.123.10");
    // ... and a shorter one leaves nothing of the longer one behind.
    key(Qt::Key_Space);
    key(Qt::Key_Up);
    key(Qt::Key_Up);
    key(Qt::Key_Return);
    EXPECT_EQ(text(), "401.01.10");

    // The second level, from its segment.
    txt()->setCursorPosition(8);
    key(Qt::Key_Space);
    EXPECT_EQ(lst()->currentItem()->text(0), "10   Unu");
    key(Qt::Key_Down);
    key(Qt::Key_Return);
    EXPECT_EQ(text(), "401.01.20");
    EXPECT_EQ(events->last(ev::ReimprospatezDescriere)[1], com::Variant(int16_t{2}));
}

TEST_F(ControlContTest, EscAlwaysClosesTheListAndAPendingDotIsDroppedOnLeaving) {
    openFirstLevel();
    key(Qt::Key_Escape);
    EXPECT_FALSE(listOpen());
    EXPECT_EQ(QApplication::focusWidget(), txt());
    EXPECT_EQ(text(), "401.");
    EXPECT_EQ(txt()->cursorPosition(), 4);
    // Space at the end after a trailing "." reopens that level and appends.
    key(Qt::Key_Space);
    ASSERT_TRUE(listOpen());
    key(Qt::Key_Return);
    EXPECT_EQ(text(), "401.01");

    type(".");
    ASSERT_TRUE(listOpen());
    key(Qt::Key_Escape);
    EXPECT_EQ(text(), "401.01.");
    // Space in an earlier segment replaces that segment; nothing is appended at the end.
    txt()->setCursorPosition(5);
    key(Qt::Key_Space);
    key(Qt::Key_Down);
    key(Qt::Key_Return);
    EXPECT_EQ(text(), "401.02.");
    EXPECT_EQ(events->last(ev::ReimprospatezDescriere)[1], com::Variant(int16_t{1}));

    // Leaving with the list open drops the unpicked level.
    txt()->setCursorPosition(7);
    key(Qt::Key_Space);
    ASSERT_TRUE(listOpen());
    leave();
    EXPECT_FALSE(listOpen());
    EXPECT_EQ(valoare(), "401.02");
    EXPECT_EQ(text(), "401.02");
}

TEST_F(ControlContTest, KeysThatMustNotOpenAList) {
    enter();
    type("40");
    key(Qt::Key_Space);  // in the synthetic account
    type("1");
    txt()->setCursorPosition(2);
    type(".");  // inside the code, not at its end
    EXPECT_FALSE(listOpen());
    EXPECT_TRUE(asked.empty());
    EXPECT_EQ(text(), "401");
    EXPECT_EQ(beeps, 1);

    key(Qt::Key_End);
    type("..");  // the list opens once; the second "." goes to the list, which ignores it
    key(Qt::Key_Escape);
    EXPECT_EQ(text(), "401.");
    type(".");  // not ready after a "." that opened a list
    EXPECT_FALSE(listOpen());
    EXPECT_EQ(text(), "401.");
    EXPECT_EQ(beeps, 2);
    key(Qt::Key_Backspace);
    type("7x");  // more than four characters
    EXPECT_EQ(text(), "401.");
    EXPECT_FALSE(listOpen());

    // A host that has no levels any more: "." and Space beyond its levels do nothing.
    leave();
    answer.clear();
    enter();
    key(Qt::Key_End);
    key(Qt::Key_Space);
    EXPECT_FALSE(listOpen());
}

TEST_F(ControlContTest, DeleteEmptiesTheControlAndEnterMovesOn) {
    openFirstLevel();
    key(Qt::Key_Return);
    leave();
    ASSERT_EQ(valoare(), "401.01");
    enter();
    const int changes = count(ev::Change);
    key(Qt::Key_Delete);
    EXPECT_EQ(text(), "");
    EXPECT_EQ(valoare(), "");
    EXPECT_EQ(count(ev::GolescDescriere), 1);
    EXPECT_EQ(count(ev::Change), changes);

    type("4011");
    key(Qt::Key_Return);
    test::settle();
    EXPECT_EQ(QApplication::focusWidget(), host->after);
    EXPECT_EQ(valoare(), "4011");

    // With the text box clicked while a list is open: the text stays read-only, Delete
    // still empties it and closes the list.
    key(Qt::Key_Delete);  // in `after`: not the control's
    enter();
    key(Qt::Key_Delete);
    openFirstLevel();
    txt()->setFocus(Qt::MouseFocusReason);
    type("5 .");
    EXPECT_EQ(text(), "401.");
    EXPECT_TRUE(listOpen());
    key(Qt::Key_Delete);
    EXPECT_FALSE(listOpen());
    EXPECT_EQ(text(), "");
    EXPECT_EQ(count(ev::GolescDescriere), 3);

    test::DialogHost dialog(host->widget);
    EXPECT_TRUE(dialog.enterMovesOn());
    EXPECT_EQ(dialog.accepted, 0);
}

// A host that hears of every focus move (as a grid that hosts the control as its cell
// editor) and started listening before the control existed still reads the committed code.
TEST_F(ControlContTest, TheCodeIsCommittedBeforeAnyoneHearsTheFocusLeft) {
    std::vector<std::string> seen;
    com::ComPtr<com::IDispatch> editor;
    QPointer<QWidget> editorWidget;
    const auto connection = QObject::connect(qApp, &QApplication::focusChanged, [&](QWidget* old, QWidget* now) {
        if (editorWidget && isWithin(old, editorWidget) && !isWithin(now, editorWidget))
            seen.push_back(get(*editor, id::Valoare).toString());
    });
    // The library code linked into the tests, whose isWithin the check above calls.
    editor = com::make<ControlCont, IControlCont>();
    test::HostWindow window(editor);
    editorWidget = window.widget;
    events =
        std::make_unique<test::EventLog>(*editor, control_cont::EventsId, std::vector<com::DispId>{ev::CautaAnalitic});
    events->answers[ev::CautaAnalitic] = [this](com::Args args) { args[1] = com::Variant(answer); };
    window.inner<QLineEdit>("txt")->setFocus(Qt::TabFocusReason);
    test::settle();
    type("512.");
    ASSERT_TRUE(!window.window.findChild<QTreeWidget*>("lst")->isHidden());
    key(Qt::Key_Return);  // from the list
    window.after->setFocus(Qt::TabFocusReason);
    test::settle();
    window.inner<QLineEdit>("txt")->setFocus(Qt::TabFocusReason);
    test::settle();
    type(".");
    window.after->setFocus(Qt::TabFocusReason);  // leaving from the open list
    test::settle();
    QObject::disconnect(connection);
    EXPECT_EQ(seen, (std::vector<std::string>{"512.01", "512.01"}));
}

TEST_F(ControlContTest, ValoareAndGolesteChangeTheTextSilently) {
    put(*object, id::Valoare, "401.02.");
    EXPECT_EQ(text(), "401.02.");
    EXPECT_EQ(valoare(), "401.02.");
    test::call(*object, id::Goleste);
    EXPECT_EQ(text(), "");
    EXPECT_EQ(valoare(), "");
    EXPECT_EQ(count(ev::Change), 0);
    // Validating a code with a trailing "." stores and shows it without the ".".
    put(*object, id::Valoare, "401.");
    enter();
    leave();
    EXPECT_EQ(valoare(), "401");
    EXPECT_EQ(text(), "401");
    EXPECT_EQ(count(ev::Change), 0);
    EXPECT_EQ(test::errorOf([&] { put(*object, id::Valoare, com::Variant::null()); }).source(), "ControlCont-Valoare");
    EXPECT_EQ(test::errorOf([&] { put(*object, id::Alignment, int32_t{3}); }).number(),
              com::errc::InvalidPropertyValue);
}

TEST_F(ControlContTest, FocusColoursPaintTextAndList) {
    put(*object, id::FocusBackColor, int32_t{0x00FFFF});
    put(*object, id::BackColor, int32_t{0xFFFFFF});
    put(*object, id::ForeColor, int32_t{0x0000FF});
    EXPECT_EQ(txt()->palette().color(QPalette::Base), QColor(Qt::white));
    EXPECT_EQ(txt()->palette().color(QPalette::Text), QColor(Qt::red));
    openFirstLevel();
    EXPECT_EQ(txt()->palette().color(QPalette::Base), QColor(Qt::yellow));
    EXPECT_EQ(lst()->palette().color(QPalette::Base), QColor(Qt::yellow));
    // The open list floats right under the text box; the control keeps its height.
    const QPoint under = txt()->mapTo(&host->window, QPoint(0, txt()->height()));
    EXPECT_EQ(lst()->parentWidget(), &host->window);
    EXPECT_NEAR(lst()->geometry().top(), under.y(), twips(10) + 1);
    EXPECT_EQ(host->widget->height(), txt()->height());
    leave();
    EXPECT_EQ(txt()->palette().color(QPalette::Base), QColor(Qt::white));
    EXPECT_EQ(lst()->palette().color(QPalette::Base), QColor(Qt::white));
    EXPECT_EQ(host->widget->height(), txt()->height());
}

TEST_F(ControlContTest, PropertyBagRoundTrip) {
    com::PropertyBag empty;
    host->host->WriteProperties(empty);
    EXPECT_EQ(empty.toText(), "");  // a new instance has only defaults

    put(*object, id::Alignment, int32_t{1});
    put(*object, id::Enabled, false);
    put(*object, id::BackColor, color::ButtonFace);
    put(*object, id::ForeColor, int32_t{255});
    put(*object, id::FocusBackColor, int32_t{0x00FFFF});
    put(*object, id::FocusForeColor, int32_t{0xFF0000});
    put(*object, id::Valoare, "401.02");
    com::PropertyBag bag;
    host->host->WriteProperties(bag);
    const auto copy = com::CreateObject(control_cont::ProgId);
    copy.query<IControlHost>()->ReadProperties(com::PropertyBag::fromText(bag.toText()));
    for (const auto member : {id::Alignment, id::Enabled, id::BackColor, id::ForeColor, id::FocusBackColor,
                              id::FocusForeColor, id::Valoare, id::Font})
        EXPECT_EQ(get(*copy, member), get(*object, member)) << member;
    EXPECT_FALSE(copy.query<IControlHost>()->widget()->isEnabled());
    EXPECT_EQ(copy.query<IControlHost>()->widget()->findChild<QLineEdit*>("txt")->text(), "401.02");
}

// Hosts bind the members by these numbers, so they are part of the contract.
TEST_F(ControlContTest, EveryMemberAnswersToItsContractedDispatchId) {
    const std::pair<const char*, com::DispId> members[] =
        {{"hWnd", 0x68030007},           {"Enabled", 0x68030006},        {"Font", 0x68030005},
         {"Alignment", 0x68030004},      {"BackColor", 0x68030003},      {"ForeColor", 0x68030002},
         {"FocusBackColor", 0x68030001}, {"FocusForeColor", 0x68030000}, {"Valoare", 0},
         {"Goleste", 0x60030017},        {"ShowAboutBox", -552}};
    for (const auto& [name, dispid] : members) {
        EXPECT_EQ(object->GetIDOfName(name), dispid) << name;
        if (dispid != -552 && dispid != id::Goleste) {  // every property answers a read by its id
            EXPECT_NO_THROW(get(*object, dispid)) << name;
        }
    }
    const com::Registry registry(com::Registry::defaultPath(), true);
    EXPECT_EQ(registry.byProgId("quillon.controlcont")->clsid, control_cont::ClassId);
    EXPECT_TRUE(object.query<IControlCont>());

    // By name, as a late-bound host writes it.
    com::putProperty(*object, "valoare", "5121");
    EXPECT_EQ(com::getProperty(*object, "Valoare"), com::Variant("5121"));
    EXPECT_EQ(test::get(*object, 0), com::Variant("5121"));  // the default member
    com::callMethod(*object, "Goleste");
    EXPECT_EQ(text(), "");
    EXPECT_NE(get(*object, id::hWnd).toLong(), 0);
    EXPECT_EQ(test::errorOf([&] { com::callMethod(*object, "AddItem"); }).number(), com::errc::NoSuchMember);
}

TEST_F(ControlContTest, AWidgetItsParentDeletedLeavesAControlThatReportsIt) {
    auto control = com::CreateObject(control_cont::ProgId);
    auto* parent = new QWidget;
    control.query<IControlHost>()->widget()->setParent(parent);
    delete parent;
    EXPECT_EQ(test::errorOf([&] { get(*control, id::Valoare); }).number(), com::errc::ObjectNotSet);
    control.reset();  // and goes without touching the deleted widgets
}

TEST(AccountCodeText, LevelListsAndSegments) {
    using namespace account_code;
    EXPECT_TRUE(splitLevels("").isEmpty());
    EXPECT_EQ(splitLevels("a|$").size(), 2);
    const auto rows = levelRows("01&Alfa|02|03&A&B|tail");
    ASSERT_EQ(rows.size(), 3u);     // the text after the last "|" is ignored
    EXPECT_EQ(rows[1].code, "02");  // a row without "&" is a code without description
    EXPECT_EQ(rows[1].description, "");
    EXPECT_EQ(rows[2].description, "A");  // the lookup-list rule: up to a second "&"
    EXPECT_EQ(chosenCodes("401.02", 2), (QStringList{"02", ""}));
    EXPECT_EQ(chosenCodes("401.02.10.99", 2), (QStringList{"02", "10"}));
    int end = 0;
    EXPECT_EQ(replaceSegment("401.1.05", 5, "12", &end), "401.12.05");
    EXPECT_EQ(end, 6);
    EXPECT_EQ(replaceSegment("401.123.05", 4, "9"), "401.9.05");
    EXPECT_EQ(replaceSegment("401.02.", 7, "10"), "401.02.10");
}

}  // namespace
}  // namespace quillon
