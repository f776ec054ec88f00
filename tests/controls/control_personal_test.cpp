// ControlPersonal on a real, shown widget: values of each kind, typing with the key
// filter, the empty date, focus, Enter, colours and the property bag.
#include <gtest/gtest.h>

#include <QCalendarWidget>
#include <QClipboard>
#include <QGuiApplication>
#include <QTableView>
#include <QToolButton>

#include "com/error.h"
#include "control_personal.h"
#include "inner_widgets.h"
#include "support.h"
#include "widget_support.h"

namespace quillon {
namespace {

namespace id = control_personal::dispid;
namespace ev = control_personal::event;
using test::call;
using test::get;
using test::put;

class ControlPersonalTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::pinEnglish();
        object = com::make<ControlPersonal, IControlPersonal>();
        host = std::make_unique<test::HostWindow>(object);
        host->host->InitProperties();
        events = std::make_unique<test::EventLog>(*object, control_personal::EventsId,
                                                  std::vector<com::DispId>{1, 2, 3, 4, 5});
    }
    void TearDown() override { test::pinEnglish(); }

    void kind(TipData t) { put(*object, id::TipData, int32_t(t)); }
    com::Variant value() { return get(*object, id::Valoare); }
    QLineEdit* txt() const { return host->inner<QLineEdit>("txt"); }
    NullableDateEdit* dtp() const { return host->inner<NullableDateEdit>("dtp"); }
    void focusText() {
        txt()->setFocus(Qt::TabFocusReason);
        test::settle();
    }
    void leave() {
        host->after->setFocus(Qt::TabFocusReason);
        test::settle();
    }

    com::ComPtr<com::IDispatch> object;
    std::unique_ptr<test::HostWindow> host;
    std::unique_ptr<test::EventLog> events;
};

TEST_F(ControlPersonalTest, TextFieldValueAndTheHostsAnswerToKeyPress) {
    put(*object, id::Valoare, "Spital");
    EXPECT_EQ(txt()->text(), "Spital");
    put(*object, id::Valoare, com::Variant::null());
    EXPECT_EQ(value(), com::Variant(""));
    EXPECT_EQ(txt()->text(), "");
    EXPECT_EQ(events->count(ev::Change), 0);

    // KeyPress's argument is by reference: the host may change the key or swallow it.
    events->answers[ev::KeyPress] = [](com::Args args) {
        const int16_t key = args[0].toInteger();
        if (key >= 'a' && key <= 'z') args[0] = com::Variant(static_cast<int16_t>(key - 32));
        if (key == '#') args[0] = com::Variant(int16_t{0});
    };
    focusText();
    QTest::keyClicks(txt(), "ab#c");
    EXPECT_EQ(value(), com::Variant("ABC"));
    EXPECT_EQ(events->count(ev::Change), 3);
    EXPECT_EQ(events->last(ev::KeyDown),
              (std::vector<com::Variant>{com::Variant(int16_t{'C'}), com::Variant(int16_t{0})}));
    txt()->selectAll();
    QTest::keyClick(txt(), Qt::Key_Backspace);
    EXPECT_EQ(value(), com::Variant(""));  // an emptied box is Null, read as ""
}

TEST_F(ControlPersonalTest, NumberFieldTakesOnlyDigitsAndALeadingMinus) {
    kind(TipData::Numar);
    focusText();
    QTest::keyClicks(txt(), "123");
    EXPECT_EQ(value().toDouble(), 123);
    EXPECT_EQ(events->count(ev::Change), 3);
    for (const char refused : {'.', 'a', ' ', ','}) {
        QTest::keyClick(txt(), refused);
        EXPECT_EQ(txt()->text(), "123");
        EXPECT_EQ(events->last(ev::KeyPress).at(0), com::Variant(int16_t{0})) << refused;
    }
    QTest::keyClick(txt(), Qt::Key_Home);  // keys that type nothing pass untouched
    QTest::keyClick(txt(), '-');
    EXPECT_EQ(value().toDouble(), -123);
    QTest::keyClick(txt(), Qt::Key_Delete);
    EXPECT_EQ(txt()->text(), "-23");  // the caret stood after "-"
    EXPECT_EQ(value().toDouble(), -23);
    txt()->selectAll();
    QTest::keyClick(txt(), Qt::Key_Backspace);
    EXPECT_EQ(value(), com::Variant(int16_t{0}));
    QTest::keyClick(txt(), '-');
    EXPECT_EQ(txt()->text(), "-");
    EXPECT_EQ(value(), com::Variant(int16_t{0}));
}

TEST_F(ControlPersonalTest, NumberFieldShowsGroupedAndEditsPlainInBothLocales) {
    kind(TipData::Numar);
    put(*object, id::NrZecimale, int16_t{2});
    put(*object, id::AfisezFormat, true);
    put(*object, id::Valoare, 1234.5);
    EXPECT_EQ(txt()->text(), "1,234.50");
    EXPECT_EQ(events->count(ev::Change), 0);
    focusText();
    EXPECT_EQ(txt()->text(), "1234.50");
    EXPECT_EQ(txt()->cursorPosition(), 7);
    QTest::keyClick(txt(), '7');  // two decimals already
    EXPECT_EQ(txt()->text(), "1234.50");
    // A value the host writes while the field has the focus shows grouped; typing goes on from it.
    put(*object, id::Valoare, int32_t{5678});
    EXPECT_EQ(txt()->text(), "5,678.00");
    txt()->setCursorPosition(2);
    QTest::keyClick(txt(), '9');
    EXPECT_EQ(value().toDouble(), 59678);
    leave();
    EXPECT_EQ(txt()->text(), "59,678.00");
    put(*object, id::Valoare, 1234.5);

    test::pinRomanian();
    put(*object, id::Valoare, 1234.5);
    EXPECT_EQ(txt()->text(), "1.234,50");
    focusText();
    EXPECT_EQ(txt()->text(), "1234.50");
    txt()->selectAll();
    QTest::keyClicks(txt(), "1.5");
    EXPECT_EQ(txt()->text(), "1.5");
    EXPECT_EQ(value(), com::Variant(com::Currency::fromUnits(15000)));
    QTest::keyClick(txt(), '.');  // a second separator
    EXPECT_EQ(txt()->text(), "1.5");
    leave();
    EXPECT_EQ(txt()->text(), "1,50");
}

TEST_F(ControlPersonalTest, NumberFieldKeepsAValidStateAgainstBadInput) {
    kind(TipData::Numar);
    put(*object, id::Valoare, int32_t{12});
    const com::Error bad = test::errorOf([&] { put(*object, id::Valoare, "abc"); });
    EXPECT_EQ(bad.number(), com::errc::TypeMismatch);
    EXPECT_EQ(bad.source(), "ControlPersonal-Valoare");
    EXPECT_EQ(value(), com::Variant(int32_t{12}));
    EXPECT_EQ(txt()->text(), "12");

    focusText();
    const int changes = events->count(ev::Change);
    QGuiApplication::clipboard()->setText("12abc");
    txt()->selectAll();
    txt()->paste();
    EXPECT_EQ(txt()->text(), "12");
    EXPECT_EQ(value(), com::Variant(int32_t{12}));
    EXPECT_EQ(events->count(ev::Change), changes);
    QGuiApplication::clipboard()->setText(QString(400, u'9'));  // no number holds it
    txt()->selectAll();
    txt()->paste();
    EXPECT_EQ(txt()->text(), "12");
    EXPECT_EQ(value(), com::Variant(int32_t{12}));
    // A number the keys would refuse (decimals in a field that has none) is refused whole.
    QGuiApplication::clipboard()->setText("-4.25");
    txt()->selectAll();
    txt()->paste();
    EXPECT_EQ(txt()->text(), "12");
    put(*object, id::NrZecimale, int16_t{2});
    txt()->selectAll();
    txt()->paste();
    EXPECT_EQ(value(), com::Variant(com::Currency::fromUnits(-42500)));

    call(*object, id::Goleste);
    EXPECT_EQ(value(), com::Variant(int16_t{0}));
    EXPECT_EQ(txt()->text(), "");
}

// Text that comes in by any way but the keys (a paste by shortcut or from the context
// menu, a drop, an input method) is taken only as the keys would take its characters;
// text the keys refuse is refused whole: the box, the value and Change stay as they were.
TEST_F(ControlPersonalTest, TextEnteringByAnyWayGoesThroughTheKeyRules) {
    kind(TipData::Numar);  // no decimals
    focusText();
    QTest::keyClicks(txt(), "401");
    int changes = events->count(ev::Change);
    test::pasteByShortcut(txt(), "1.5");
    test::pasteFromContextMenu(txt(), "1.5");
    test::dropText(txt(), "1.5");
    test::commitFromInputMethod(txt(), "-7");
    test::commitFromInputMethod(txt(), "7a");
    EXPECT_EQ(txt()->text(), "401");
    EXPECT_EQ(value().toDouble(), 401);
    EXPECT_EQ(events->count(ev::Change), changes);
    test::pasteByShortcut(txt(), "5");
    test::pasteFromContextMenu(txt(), "6");
    test::dropText(txt(), "7");
    test::commitFromInputMethod(txt(), "89");
    EXPECT_EQ(txt()->text(),
              "401567"
              "89");
    EXPECT_EQ(value().toDouble(), 40156789);
    EXPECT_EQ(events->count(ev::Change), changes + 4);
    // A paste over the selection is judged as the keys judge it: against the whole text.
    txt()->selectAll();
    test::pasteByShortcut(txt(), "-12");
    EXPECT_EQ(txt()->text(), "-12");

    // A selection's text never takes "|"; any other text does.
    kind(TipData::Selectie);
    put(*object, id::PermitSelectManual, true);
    focusText();
    QTest::keyClicks(txt(), "Spital");
    test::pasteByShortcut(txt(), "A|B");
    test::dropText(txt(), "|");
    EXPECT_EQ(value(), com::Variant("0|Spital"));
    test::pasteByShortcut(txt(), " A");
    EXPECT_EQ(value(), com::Variant("0|Spital A"));
    kind(TipData::Text);
    focusText();
    test::pasteByShortcut(txt(), "1.5|x");
    EXPECT_EQ(value(), com::Variant("1.5|x"));
}

// A figure is replaced by selecting it first: Ctrl+A or Shift+Home, then the digits. The
// caret enters after the last digit.
TEST_F(ControlPersonalTest, CtrlAOrShiftHomeSelectsANumberSoThatTheDigitsTypedReplaceIt) {
    kind(TipData::Numar);
    put(*object, id::AfisezFormat, true);
    put(*object, id::Valoare, com::Variant(int32_t{60000}));
    EXPECT_EQ(txt()->text(), "60,000");
    focusText();
    EXPECT_EQ(txt()->text(), "60000");
    EXPECT_EQ(txt()->cursorPosition(), 5);
    QTest::keyClick(txt(), Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(txt()->selectedText(), "60000");
    QTest::keyClicks(txt(), "1000");
    EXPECT_EQ(txt()->text(), "1000");
    EXPECT_EQ(value().toDouble(), 1000);
    QTest::keyClick(txt(), Qt::Key_Home, Qt::ShiftModifier);
    EXPECT_EQ(txt()->selectedText(), "1000");
    QTest::keyClicks(txt(), "75");
    EXPECT_EQ(value().toDouble(), 75);
    leave();
    EXPECT_EQ(txt()->text(), "75");
}

// X11's primary selection, pasted by the middle button (run on an X server: the offscreen
// platform has no primary selection).
TEST_F(ControlPersonalTest, PrimarySelectionPasteGoesThroughTheKeyRules) {
    kind(TipData::Numar);
    focusText();
    QTest::keyClicks(txt(), "401");
    if (!test::pasteFromPrimarySelection(txt(), "1.5")) GTEST_SKIP() << "the platform has no primary selection";
    EXPECT_EQ(txt()->text(), "401");
    EXPECT_EQ(value().toDouble(), 401);
    test::pasteFromPrimarySelection(txt(), "2");
    EXPECT_EQ(txt()->text(), "4012");
    EXPECT_EQ(value().toDouble(), 4012);
}

TEST_F(ControlPersonalTest, SelectionValueCarriesIdAndText) {
    kind(TipData::Selectie);
    EXPECT_EQ(value(), com::Variant("0|"));
    put(*object, id::Valoare, "");
    EXPECT_EQ(value(), com::Variant("0|"));
    put(*object, id::Valoare, "5|Spital A");
    EXPECT_EQ(value(), com::Variant("5|Spital A"));
    EXPECT_EQ(txt()->text(), "Spital A");
    EXPECT_FALSE(txt()->isEnabled());

    // A bad value changes nothing, the identifier included.
    EXPECT_EQ(test::errorOf([&] { put(*object, id::Valoare, "abc"); }).number(), com::errc::SubscriptOutOfRange);
    EXPECT_EQ(test::errorOf([&] { put(*object, id::Valoare, "x|Y"); }).number(), com::errc::TypeMismatch);
    EXPECT_EQ(test::errorOf([&] { put(*object, id::Valoare, com::Variant::null()); }).number(),
              com::errc::InvalidUseOfNull);
    EXPECT_EQ(value(), com::Variant("5|Spital A"));
    EXPECT_EQ(txt()->text(), "Spital A");

    // Without typing allowed the focus goes to the selection button.
    host->widget->setFocus(Qt::TabFocusReason);
    test::settle();
    EXPECT_EQ(QApplication::focusWidget(), host->inner("Pic2"));
    put(*object, id::PermitSelectManual, true);
    focusText();
    QTest::keyClick(txt(), 'x');
    EXPECT_EQ(value(), com::Variant("0|Spital Ax"));
    QTest::keyClick(txt(), '|');  // would cut the text at the next read
    EXPECT_EQ(value(), com::Variant("0|Spital Ax"));
    put(*object, id::Valoare, "7|A|B");
    EXPECT_EQ(value(), com::Variant("7|A"));

    QTest::mouseClick(host->inner("Pic2"), Qt::LeftButton);
    EXPECT_EQ(events->last(ev::Selecteaza), std::vector<com::Variant>{com::Variant("A")});
    EXPECT_FALSE(host->inner<QLabel>("Pic2")->pixmap().isNull());  // icon2.bmp beside the library
}

TEST_F(ControlPersonalTest, DateFieldHasAnEmptyStateAndStoresTheDatePicked) {
    kind(TipData::Data);
    QWidget* txtNull = host->inner("txtNull");
    EXPECT_TRUE(value().isNull());
    EXPECT_TRUE(dtp()->isNull());
    put(*object, id::Valoare, com::Date(0));
    EXPECT_TRUE(value().isNull());
    put(*object, id::Valoare, com::Date::fromYmd(2006, 3, 5));
    EXPECT_EQ(value(), com::Variant(com::Date::fromYmd(2006, 3, 5)));
    EXPECT_FALSE(txtNull->isVisible());
    EXPECT_EQ(dtp()->date(), QDate(2006, 3, 5));
    put(*object, id::Valoare, com::Variant::null());
    EXPECT_TRUE(value().isNull());
    EXPECT_TRUE(dtp()->isNull());
    EXPECT_TRUE(txtNull->isVisible());
    EXPECT_EQ(events->count(ev::Change), 0);  // values from code raise no Change
    for (const char* bad : {"not a date", "31/02/2006"}) {
        EXPECT_THROW(put(*object, id::Valoare, bad), com::Error) << bad;
        EXPECT_TRUE(value().isNull()) << bad;
    }
    // The calendar is Romanian whatever the system's language, in plain letters.
    put(*object, id::Valoare, com::Date::fromYmd(2006, 3, 5));
    QCalendarWidget* calendar = dtp()->calendarWidget();
    const auto* month = calendar->findChild<QToolButton*>(QStringLiteral("qt_calendar_monthbutton"));
    ASSERT_NE(month, nullptr);
    EXPECT_EQ(month->text().toStdString(), "martie");
    EXPECT_EQ(calendar->firstDayOfWeek(), Qt::Monday);
    const auto* days = calendar->findChild<QTableView*>(QStringLiteral("qt_calendar_calendarview"));
    ASSERT_NE(days, nullptr);
    std::string header;
    for (int column = 0; column < days->model()->columnCount(); ++column)
        header += days->model()->index(0, column).data().toString().toStdString();
    EXPECT_EQ(header, "LMMJVSD");
    put(*object, id::Valoare, com::Variant::null());

    // Picking, on the calendar of an empty field, the date it keeps underneath is a pick too.
    emit dtp()->calendarWidget()->clicked(dtp()->date());
    EXPECT_EQ(value().toDate().parts().day, QDate::currentDate().day());
    EXPECT_EQ(events->count(ev::Change), 1);
    put(*object, id::Valoare, com::Variant::null());

    // A pick from the empty state stores the date picked, not today's.
    dtp()->setFocus(Qt::TabFocusReason);
    QTest::keyClick(dtp(), Qt::Key_Up);
    ASSERT_FALSE(value().isNull());
    const QDate picked = dtp()->date();
    EXPECT_EQ(value().toDate().parts().day, picked.day());
    EXPECT_EQ(events->count(ev::Change), 2);
    EXPECT_FALSE(txtNull->isVisible());

    put(*object, id::Valoare, com::Date::fromYmd(2006, 3, 5));
    dtp()->setCurrentSection(QDateTimeEdit::DaySection);
    QTest::keyClick(dtp(), Qt::Key_Up);
    EXPECT_EQ(value(), com::Variant(com::Date::fromYmd(2006, 3, 6)));

    put(*object, id::AfisezMinute, true);
    EXPECT_EQ(dtp()->displayFormat(), "dd/MM/yyyy HH:mm");
    put(*object, id::FocusBackColor, int32_t{255});  // ignored by a date field
    EXPECT_EQ(get(*object, id::FocusBackColor), com::Variant(color::Window));
}

TEST_F(ControlPersonalTest, AControlWhoseWidgetIsGoneRaisesInsteadOfCrashing) {
    delete host->widget.data();  // as a host's parent window would
    EXPECT_EQ(test::errorOf([&] { put(*object, id::BackColor, int32_t{255}); }).number(), com::errc::ObjectNotSet);
    EXPECT_EQ(test::errorOf([&] { host->host->InitProperties(); }).number(), com::errc::ObjectNotSet);
    EXPECT_EQ(host->host->widget(), nullptr);
}

TEST_F(ControlPersonalTest, AnUnknownKindShowsAndStoresNothing) {
    put(*object, id::TipData, int32_t{4});
    put(*object, id::Valoare, "x");
    EXPECT_TRUE(value().isEmpty());
}

TEST_F(ControlPersonalTest, FocusPaintsTheFocusColourAndLeavingRestoresIt) {
    put(*object, id::FocusBackColor, int32_t{0x00FFFF});  // yellow
    put(*object, id::BackColor, int32_t{0xFFFFFF});
    focusText();
    EXPECT_EQ(txt()->palette().color(QPalette::Base), QColor(Qt::yellow));
    leave();
    EXPECT_EQ(txt()->palette().color(QPalette::Base), QColor(Qt::white));

    // A host that wants its own colour on a disabled field sets Enabled first.
    put(*object, id::Enabled, false);
    put(*object, id::BackColor, color::ButtonFace);
    EXPECT_EQ(txt()->palette().color(QPalette::Disabled, QPalette::Base), oleColor(color::ButtonFace));
    host->window.resize(host->window.width() + 40, host->window.height());  // a later resize keeps it
    test::settle();
    EXPECT_EQ(txt()->palette().color(QPalette::Disabled, QPalette::Base), oleColor(color::ButtonFace));
    put(*object, id::Enabled, true);
    put(*object, id::BackColor, color::ButtonFace);
    put(*object, id::Enabled, false);
    EXPECT_EQ(txt()->palette().color(QPalette::Disabled, QPalette::Base), oleColor(color::Window));
}

TEST_F(ControlPersonalTest, EnterMovesTheFocusOnWithoutAcceptingTheDialog) {
    test::DialogHost dialog(host->widget);
    for (const TipData t : {TipData::Text, TipData::Numar, TipData::Data}) {
        kind(t);
        EXPECT_TRUE(dialog.enterMovesOn()) << int(t);
        EXPECT_EQ(events->last(ev::KeyPress), std::vector<com::Variant>{com::Variant(int16_t{13})});
    }
    EXPECT_EQ(dialog.accepted, 0);
}

TEST_F(ControlPersonalTest, PropertyBagRoundTripKeepsEveryPropertyAndItsDefaults) {
    com::PropertyBag fresh;
    host->host->WriteProperties(fresh);
    // A new instance starts with AfisezFormat and AfisezMinute False; the bag's defaults are True.
    EXPECT_EQ(fresh.ReadProperty("AfisezFormat"), com::Variant(false));
    EXPECT_EQ(fresh.ReadProperty("AfisezMinute"), com::Variant(false));
    for (const char* atDefault : {"TipData", "NrZecimale", "PermitSelectManual", "Font", "Alignment", "Enabled",
                                  "BackColor", "ForeColor", "FocusBackColor", "FocusForeColor"})
        EXPECT_FALSE(fresh.contains(atDefault)) << atDefault;

    kind(TipData::Numar);
    put(*object, id::NrZecimale, int16_t{2});
    put(*object, id::AfisezFormat, true);
    put(*object, id::Alignment, int32_t{1});
    put(*object, id::BackColor, int32_t{255});
    put(*object, id::FocusBackColor, int32_t{0x00FFFF});
    put(*object, id::Valoare, 1234.5);
    com::PropertyBag bag;
    host->host->WriteProperties(bag);
    const com::PropertyBag read = com::PropertyBag::fromText(bag.toText());

    auto copy = com::make<ControlPersonal, IControlPersonal>();
    copy.query<IControlHost>()->ReadProperties(read);
    for (const com::DispId member : {id::TipData, id::NrZecimale, id::AfisezFormat, id::AfisezMinute, id::Alignment,
                                     id::BackColor, id::FocusBackColor, id::Valoare, id::Enabled})
        EXPECT_EQ(get(*copy, member), get(*object, member)) << member;
    EXPECT_EQ(copy.query<IControlHost>()->widget()->findChild<QLineEdit*>("txt")->text(), "1,234.50");

    // Absent entries take the bag's defaults.
    auto blank = com::make<ControlPersonal, IControlPersonal>();
    blank.query<IControlHost>()->ReadProperties(com::PropertyBag{});
    EXPECT_EQ(get(*blank, id::AfisezFormat), com::Variant(true));
    EXPECT_EQ(get(*blank, id::AfisezMinute), com::Variant(true));
    EXPECT_EQ(get(*blank, id::Valoare), com::Variant(""));

    // A selection keeps its identifier through the bag.
    kind(TipData::Selectie);
    put(*object, id::Valoare, "5|Spital A");
    com::PropertyBag selection;
    host->host->WriteProperties(selection);
    auto chosen = com::make<ControlPersonal, IControlPersonal>();
    chosen.query<IControlHost>()->ReadProperties(selection);
    EXPECT_EQ(get(*chosen, id::Valoare), com::Variant("5|Spital A"));
}

TEST_F(ControlPersonalTest, PropertyChangesAreNoticed) {
    std::vector<std::string> changed;
    host->host->SetPropertyChangedHandler([&](const std::string& name) { changed.push_back(name); });
    put(*object, id::Alignment, int32_t{2});
    put(*object, id::Valoare, "abc");
    EXPECT_EQ(changed, (std::vector<std::string>{"Alignment", "Valoare"}));
    EXPECT_EQ(test::errorOf([&] { put(*object, id::Alignment, int32_t{3}); }).number(),
              com::errc::InvalidPropertyValue);
    EXPECT_EQ(test::errorOf([&] { put(*object, id::NrZecimale, int32_t{256}); }).number(), com::errc::Overflow);
}

// A date field keeps the colour pair it is given for a later kind, without showing or
// noticing it, and ignores its focus pair; the other shared properties stay as in any kind.
TEST_F(ControlPersonalTest, ADateFieldKeepsItsColoursUnshownAndIgnoresItsFocusColours) {
    kind(TipData::Data);
    std::vector<std::string> changed;
    host->host->SetPropertyChangedHandler([&](const std::string& name) { changed.push_back(name); });
    const QColor base = txt()->palette().color(QPalette::Base);
    put(*object, id::BackColor, int32_t{0x00FFFF});
    put(*object, id::ForeColor, int32_t{0x0000FF});
    put(*object, id::FocusBackColor, int32_t{0x00FF00});
    put(*object, id::FocusForeColor, int32_t{0xFF0000});
    EXPECT_EQ(get(*object, id::BackColor), com::Variant(int32_t{0x00FFFF}));
    EXPECT_EQ(get(*object, id::ForeColor), com::Variant(int32_t{0x0000FF}));
    EXPECT_EQ(get(*object, id::FocusBackColor), com::Variant(color::Window));
    EXPECT_EQ(get(*object, id::FocusForeColor), com::Variant(color::WindowText));
    EXPECT_EQ(txt()->palette().color(QPalette::Base), base);
    EXPECT_TRUE(changed.empty());
    put(*object, id::Enabled, false);
    EXPECT_FALSE(dtp()->isEnabled());
    EXPECT_EQ(changed, std::vector<std::string>{"Enabled"});

    changed.clear();
    kind(TipData::Text);
    put(*object, id::Enabled, true);
    put(*object, id::BackColor, get(*object, id::BackColor));
    put(*object, id::FocusBackColor, int32_t{0x00FF00});
    EXPECT_EQ(txt()->palette().color(QPalette::Base), QColor(Qt::yellow));
    EXPECT_EQ(get(*object, id::FocusBackColor), com::Variant(int32_t{0x00FF00}));
    EXPECT_EQ(changed, (std::vector<std::string>{"TipData", "Enabled", "BackColor", "FocusBackColor"}));
}

}  // namespace
}  // namespace quillon
