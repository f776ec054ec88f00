// Both cost-sheet forms as a user drives them with the mouse and the keys: clicks on the
// tab strips, where the focus goes after the last field and after a save, the wheel over
// the header combos, and a decimal key typed in a figure.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QImage>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QPointer>
#include <QMessageBox>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

#include <functional>

#include <utility>
#include <vector>

#include "../support/paste.h"
#include "../support/rawdb.h"
#include "../support/wheel.h"
#include "costsheet_support.h"
#include "forms/hostedcontrol.h"

namespace {

using velmora::HostedControl;

const std::string kSaved = "Obiectul a fost salvat cu succes!";
const std::string kWholeNumbers = "Sumele si numarul de angajati se introduc ca numere intregi.";

struct FormCase {
    const char* menu;
    const char* module;
    const char* table;
    const char* keyCombo;                                  // the sheet's hospital or ward
    std::vector<std::pair<const char*, int32_t>> freeKey;  // the combos' keys of a sheet not yet stored
};

const FormCase kSpital{"mnuCostSpital", "frmCostSpital", "Velmora_Spital", "cmbSpital", {{"cmbPerioada", 7}}};
const FormCase kSectie{"mnuCostSectie",
                       "frmCostSectie",
                       "Velmora_Sectie",
                       "cmbSectieFiltrat",
                       {{"cmbSectieFiltrat", 3}, {"cmbPerioada", 9}}};

void PrintTo(const FormCase& form, std::ostream* out) { *out << form.module; }

class CostSheetFocus : public test::CostSheetSession, public ::testing::WithParamInterface<FormCase> {
protected:
    void SetUp() override {
        ScreenSession::SetUp();
        openForm(GetParam().menu);
    }

    void chooseFreeKey() {
        for (const auto& [combo, key] : GetParam().freeKey) pick(combo, key);
    }
    void loadStoredSheet() {
        idCost = rawdb::rawInt(database(), std::string("SELECT min(IdCost) FROM ") + GetParam().table);
        ASSERT_GT(idCost, 0);
        form->ItemSelectat(static_cast<int32_t>(idCost), "");
        ASSERT_FALSE(dirty());
    }
    int64_t storedUnits(const std::string& column) const {
        return stored(GetParam().table, column, "IdCost=" + std::to_string(sheetLong("IdCost")));
    }

    // A click on the strip's tab, where the user sees it.
    void clickTab(QTabWidget* tabs, int index) {
        QTabBar* bar = tabs->tabBar();
        QTest::mouseClick(bar, Qt::LeftButton, Qt::NoModifier, bar->tabRect(index).center());
        QCoreApplication::processEvents();
    }

    // Both strips highlight the page they show, `tabs` the tab clicked, and the focus is on a
    // control the user can see.
    ::testing::AssertionResult agree(QTabWidget* tabs, int index) const {
        if (tabs->tabBar()->currentIndex() != index)
            return ::testing::AssertionFailure() << tabs->objectName().toStdString() << " highlights tab "
                                                 << tabs->tabBar()->currentIndex() << ", not " << index;
        for (QTabWidget* strip : {form->layout().SSTab1, form->layout().SSTab2}) {
            const int highlighted = strip->tabBar()->currentIndex();
            if (strip->isVisible() && strip->widget(highlighted) != strip->currentWidget())
                return ::testing::AssertionFailure()
                       << strip->objectName().toStdString() << " highlights tab " << highlighted << " and shows page "
                       << strip->indexOf(strip->currentWidget());
        }
        QWidget* focused = QApplication::focusWidget();
        if (!focused || !focused->isVisible())
            return ::testing::AssertionFailure() << "the focus is on no visible control";
        return ::testing::AssertionSuccess();
    }

    // Runs `action` with the message boxes on the screen and answers the first one that
    // shows with Enter; returns its text.
    static std::string answerOnScreen(const std::function<void()>& action) {
        return test::answerOnScreen(action, [](QMessageBox& box) { QTest::keyClick(&box, Qt::Key_Return); });
    }

    // The whole-number refusal, shown as the program's notices are.
    static ::testing::AssertionResult isWholeNumberNotice(const velmora::MessageRequest& box) {
        if (box.icon != velmora::MsgIcon::Information || box.title != "ATENTIE!" || box.text != kWholeNumbers ||
            box.buttons != velmora::MsgButtons::Ok)
            return ::testing::AssertionFailure() << "not the whole-number notice: " << box.title << " " << box.text;
        return ::testing::AssertionSuccess();
    }

    // The field that has the focus.
    HostedControl* focusedField() const {
        for (HostedControl* control : form->layout().fields)
            if (test::hasFocus(control->widget())) return control;
        return nullptr;
    }

    int64_t idCost = 0;
};

TEST_P(CostSheetFocus, ATabClickedShowsItsPageAndAFigureTypedThenIsSavedInItsColumn) {
    const auto& l = form->layout();
    chooseFreeKey();
    typeInto("ctlTCP", "900000");  // the personnel total holds what follows
    ASSERT_TRUE(test::hasFocus(field("ctlc02_1").widget()));

    // From a field, the category strip: the tab clicked shows and its total takes the keys.
    clickTab(l.SSTab2, 5);
    ASSERT_TRUE(agree(l.SSTab2, 5));
    ASSERT_TRUE(test::hasFocus(field("ctlc02_6").widget()));
    test::typeText("600");
    clickTab(l.SSTab2, 2);
    ASSERT_TRUE(agree(l.SSTab2, 2));
    ASSERT_TRUE(test::hasFocus(field("ctlc02_3").widget()));
    test::typeText("300");

    // From a field, the outer strip: the keys stay on the strip, where digits go nowhere,
    // and Tab enters the page shown at its first field; a field of the page that had the
    // focus before is not chosen for the user.
    typeInto("ctlc30", "1");
    typeInto("ctlc72", "2");
    for (const auto& [page, first] : {std::pair{1, "ctlc22"}, std::pair{2, "ctlc72"}, std::pair{0, "ctlTCP"}}) {
        velmora::showPageOf(l, field("ctlc02_3").widget());
        test::focus(field("ctlc02_3").widget());
        clickTab(l.SSTab1, page);
        ASSERT_TRUE(agree(l.SSTab1, page));
        EXPECT_EQ(QApplication::focusWidget(), l.SSTab1->tabBar()) << page;
        test::typeText("9000");
        EXPECT_EQ(QApplication::focusWidget(), l.SSTab1->tabBar()) << page;
        const QImage marked = l.SSTab1->tabBar()->grab().toImage();
        test::pressKey(Qt::Key_Tab);
        EXPECT_TRUE(test::hasFocus(field(first).widget())) << page;
        EXPECT_NE(l.SSTab1->tabBar()->grab().toImage(), marked) << "no focus mark on the strip, page " << page;
    }
    EXPECT_EQ(shown("ctlc30"), 1);
    EXPECT_EQ(shown("ctlc72"), 2);
    EXPECT_EQ(shown("ctlTCP"), 900000);
    // Shift+Tab from the strip goes to what comes before the page's first field.
    clickTab(l.SSTab1, 1);
    test::pressKey(Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_TRUE(test::hasFocus(field("ctlAngajati_6").widget()));
    EXPECT_TRUE(agree(l.SSTab1, 0));
    clickTab(l.SSTab1, 1);
    test::pressKey(Qt::Key_Tab);
    HostedControl* materiale = &field("ctlc22");
    ASSERT_TRUE(test::hasFocus(materiale->widget()));
    test::typeText("22");
    clickTab(l.SSTab1, 0);
    ASSERT_TRUE(agree(l.SSTab1, 0));

    // From a button.
    test::focus(form->cmdButton(0));
    clickTab(l.SSTab2, 4);
    ASSERT_TRUE(agree(l.SSTab2, 4));
    ASSERT_TRUE(test::hasFocus(field("ctlc02_5").widget()));
    test::typeText("500");
    test::focus(form->cmdButton(0));
    clickTab(l.SSTab1, 2);
    ASSERT_TRUE(agree(l.SSTab1, 2));
    clickTab(l.SSTab1, 0);
    ASSERT_TRUE(agree(l.SSTab1, 0));
    EXPECT_EQ(l.SSTab2->tabBar()->currentIndex(), 4);

    test::click(form->cmdButton(0));
    ASSERT_EQ(boxes.texts(), std::vector<std::string>{kSaved});
    const std::vector<int64_t> categories{0, 0, 300, 0, 500, 600};
    for (int k = 1; k <= 6; ++k)
        EXPECT_EQ(storedUnits("c02_" + std::to_string(k)), categories[k - 1] * com::Currency::Scale) << k;
    EXPECT_EQ(storedUnits(materiale->tag()), 22 * com::Currency::Scale) << materiale->tag();
    // The next key after a save is not the period's: the focus is on "Cauta...".
    EXPECT_TRUE(test::hasFocus(form->cmdButton(2)));
}

TEST_P(CostSheetFocus, TheKeyAfterTheLastFieldOfAChangedSheetReachesSalveazaAndTheSaveCauta) {
    loadStoredSheet();
    const int32_t period = sheetLong("IdPerioada");
    const int64_t untouched = storedUnits("c22");
    int64_t figure = 4321;
    for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Tab}) {
        velmora::showPageOf(form->layout(), field("ctlc72").widget());
        test::focus(field("ctlc72").widget());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Home);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_End, Qt::ShiftModifier);
        test::typeText(QString::number(++figure));
        test::pressKey(key);
        ASSERT_TRUE(test::hasFocus(form->cmdButton(0))) << key;
        EXPECT_EQ(mask(), 6) << key;

        boxes.clear();
        if (key == Qt::Key_Return) {
            test::pressKey(Qt::Key_Return);
            ASSERT_EQ(boxes.texts(), std::vector<std::string>{kSaved}) << key;
        } else {
            // The box on the screen, answered with Enter: the main window gets the keys
            // back only after the save has finished.
            EXPECT_EQ(answerOnScreen([] { test::pressKey(Qt::Key_Return); }), kSaved);
            reactivate();
        }
        ASSERT_TRUE(test::hasFocus(form->cmdButton(2))) << key;
        test::pressKey(Qt::Key_Down);  // a stray key changes no choice of the sheet
        EXPECT_EQ(field("cmbPerioada").get("Cheie").toLong(), period) << key;
        EXPECT_FALSE(dirty()) << key;
        EXPECT_EQ(storedUnits("c72"), figure * com::Currency::Scale) << key;
        EXPECT_EQ(storedUnits("IdPerioada"), period) << key;
    }
    EXPECT_EQ(storedUnits("c22"), untouched);
}

TEST_P(CostSheetFocus, TheWheelOverAHeaderComboChangesItOnlyWhileItHasTheFocus) {
    loadStoredSheet();
    HostedControl& period = field("cmbPerioada");
    HostedControl& key = field(GetParam().keyCombo);
    const int32_t periodBefore = period.get("Cheie").toLong();
    const int32_t keyBefore = key.get("Cheie").toLong();
    test::focus(field("ctlTCP").widget());
    for (const int notches : {-1, 1, -3}) {
        wheel::turnOver(period.widget(), notches);
        wheel::turnOver(key.widget(), notches);
    }
    EXPECT_EQ(period.get("Cheie").toLong(), periodBefore);
    EXPECT_EQ(key.get("Cheie").toLong(), keyBefore);
    EXPECT_FALSE(dirty());
    EXPECT_EQ(mask(), 120);
    EXPECT_TRUE(test::hasFocus(field("ctlTCP").widget()));

    test::focus(period.widget());
    wheel::turnOver(period.widget(), period.get("ListIndex").toLong() > 0 ? 1 : -1);
    EXPECT_NE(period.get("Cheie").toLong(), periodBefore);
    EXPECT_TRUE(dirty());
}

TEST_P(CostSheetFocus, ADecimalKeyInAFigureShowsTheWholeNumberBoxAndTheFieldKeepsItsText) {
    chooseFreeKey();
    velmora::showPageOf(form->layout(), field("ctlc27").widget());
    test::focus(field("ctlc27").widget());
    test::typeText("12");
    auto* text = qobject_cast<QLineEdit*>(QApplication::focusWidget());
    ASSERT_NE(text, nullptr);
    boxes.clear();
    for (const char* key : {".", ","}) {
        test::typeText(QString::fromLatin1(key));
        ASSERT_EQ(boxes.shown().size(), 1u) << key;
        EXPECT_TRUE(isWholeNumberNotice(boxes.shown()[0]));
        EXPECT_EQ(text->text(), QStringLiteral("12")) << key;
        EXPECT_TRUE(test::hasFocus(field("ctlc27").widget())) << key;
        boxes.clear();
    }
    // Other keys a figure does not take stay silent.
    test::typeText(QStringLiteral("a; "));
    EXPECT_TRUE(boxes.shown().empty());
    EXPECT_EQ(text->text(), QStringLiteral("12"));
    test::typeText(QStringLiteral("5"));
    test::pressKey(Qt::Key_Tab);
    EXPECT_EQ(shown("ctlc27"), 125);
    EXPECT_TRUE(boxes.shown().empty());
}

// The box on the screen takes the keys and gives them back: the field is not entered anew.
// Without a window manager nothing gives the main window the keys back (the offscreen
// platform neither), and the field must not show its grouped text meanwhile.
TEST_P(CostSheetFocus, BackFromTheWholeNumberBoxTheFieldShowsItsEditTextWithTheCaretWhereItWas) {
    chooseFreeKey();
    typeInto("ctlc28", "60000");
    velmora::showPageOf(form->layout(), field("ctlc27").widget());
    test::focus(field("ctlc27").widget());
    test::typeText("123456");
    auto* text = qobject_cast<QLineEdit*>(QApplication::focusWidget());
    ASSERT_NE(text, nullptr);
    for (int i = 0; i < 2; ++i) test::pressKey(Qt::Key_Left);
    ASSERT_EQ(text->cursorPosition(), 4);

    auto expectAsItWas = [&](const QString& edit, int caret, const char* step) {
        QCoreApplication::processEvents();
        EXPECT_EQ(text->text(), edit) << step;
        EXPECT_EQ(text->cursorPosition(), caret) << step;
        EXPECT_EQ(QApplication::focusWidget() ? QApplication::focusWidget() : form->window()->focusWidget(), text)
            << step;
        mainWindow()->activateWindow();  // as a window manager gives the keys back
        ASSERT_TRUE(QTest::qWaitForWindowActive(mainWindow()));
        EXPECT_EQ(QApplication::focusWidget(), text) << step;
        EXPECT_EQ(text->text(), edit) << step;
        EXPECT_EQ(text->cursorPosition(), caret) << step;
    };
    // Typed.
    EXPECT_EQ(answerOnScreen([] { test::typeText(","); }), kWholeNumbers);
    expectAsItWas(QStringLiteral("123456"), 4, "typed");
    test::typeText("7");
    expectAsItWas(QStringLiteral("1234756"), 5, "typed on");
    // Pasted.
    QApplication::clipboard()->setText(QStringLiteral("12,345"));
    EXPECT_EQ(answerOnScreen([] { test::pressKey(Qt::Key_Insert, Qt::ShiftModifier); }), kWholeNumbers);
    expectAsItWas(QStringLiteral("1234756"), 5, "pasted");

    // On leaving: a click into the next field, whose caret the click placed.
    field("ctlc27").put("Valoare", com::Variant(12.5));
    auto* next = field("ctlc28").widget()->findChild<QLineEdit*>();
    ASSERT_NE(next, nullptr);
    EXPECT_EQ(answerOnScreen(
                  [&] { QTest::mouseClick(next, Qt::LeftButton, Qt::NoModifier, QPoint(next->width() - 3, 5)); }),
              kWholeNumbers);
    text = next;
    expectAsItWas(QStringLiteral("60000"), 5, "left");
    EXPECT_EQ(shown("ctlc27"), 0);
}

// Every way of pasting, with text a figure cannot take: the notice, and the field as it was.
TEST_P(CostSheetFocus, ADecimalPastedIntoAFigureAnyWayShowsTheNoticeAndTheFieldKeepsItsText) {
    chooseFreeKey();
    velmora::showPageOf(form->layout(), field("ctlc27").widget());
    test::focus(field("ctlc27").widget());
    test::typeText("400");
    auto* text = qobject_cast<QLineEdit*>(QApplication::focusWidget());
    ASSERT_NE(text, nullptr);
    test::pressKey(Qt::Key_Left);
    const std::vector<std::pair<const char*, std::function<bool(const QString&)>>> ways{
        {"keys", [text](const QString& t) { return paste::pasteByShortcut(text, t), true; }},
        {"menu", [text](const QString& t) { return paste::pasteFromContextMenu(text, t), true; }},
        {"drop", [text](const QString& t) { return paste::dropText(text, t), true; }},
        {"middle button", [text](const QString& t) { return paste::pasteFromPrimarySelection(text, t); }},
    };
    for (const auto& [way, pasteIt] : ways) {
        for (const QString& pasted : {QStringLiteral("12,345"), QStringLiteral("1.5"), QStringLiteral(",")}) {
            boxes.clear();
            if (!pasteIt(pasted)) continue;  // no primary selection on this platform
            QCoreApplication::processEvents();
            ASSERT_EQ(boxes.shown().size(), 1u) << way << " " << pasted.toStdString();
            EXPECT_TRUE(isWholeNumberNotice(boxes.shown()[0])) << way;
            EXPECT_EQ(text->text(), QStringLiteral("400")) << way;
            // The window's focus widget: a popup closed offscreen leaves no window active.
            EXPECT_EQ(mainWindow()->focusWidget(), text) << way;
            if (std::string(way) != "middle button") {
                EXPECT_EQ(text->cursorPosition(), 2) << way;
            }
        }
    }
    // A whole number pastes as before.
    test::focus(text);
    boxes.clear();
    text->setCursorPosition(2);
    paste::pasteByShortcut(text, QStringLiteral("7"));
    test::pressKey(Qt::Key_Tab);
    EXPECT_TRUE(boxes.shown().empty());
    EXPECT_EQ(shown("ctlc27"), 4070);
    EXPECT_EQ(com::getProperty(*form->object(), "c27").toCurrency(), com::Currency::fromInteger(4070));
}

// A figure typed over a stored one (Ctrl+A, then the digits), then a click on "Cauta...":
// the change disables "Cauta...", and the keys go on to "Salveaza", not to the period.
TEST_P(CostSheetFocus, AFigureTypedOverAndAClickOnCautaLeaveTheKeysOnSalveaza) {
    loadStoredSheet();
    const int32_t period = sheetLong("IdPerioada");
    velmora::showPageOf(form->layout(), field("ctlc22").widget());
    test::focus(field("ctlc22").widget());
    auto* text = qobject_cast<QLineEdit*>(QApplication::focusWidget());
    ASSERT_NE(text, nullptr);
    ASSERT_FALSE(text->text().isEmpty());
    EXPECT_EQ(text->cursorPosition(), text->text().size());  // the caret after the last digit
    test::pressKey(Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(text->selectedText(), text->text());
    test::typeText("9000");
    EXPECT_EQ(text->text(), QStringLiteral("9000"));

    test::click(form->cmdButton(2));
    EXPECT_EQ(mask(), 6);
    EXPECT_TRUE(test::hasFocus(form->cmdButton(0)));
    test::typeText("M");
    EXPECT_EQ(field("cmbPerioada").get("Cheie").toLong(), period);
    test::pressKey(Qt::Key_Return);
    EXPECT_EQ(boxes.texts(), std::vector<std::string>{kSaved});
    EXPECT_EQ(storedUnits("c22"), 9000 * com::Currency::Scale);
    EXPECT_EQ(storedUnits("IdPerioada"), period);
}

// The close box and Ctrl+F4 ask before unsaved changes are lost; "Nu", the default,
// leaves the sheet as it was, "Da" closes it. A sheet with nothing unsaved closes at once.
TEST_P(CostSheetFocus, ClosingWithUnsavedChangesAsksAndNuKeepsTheSheetAsItWas) {
    loadStoredSheet();
    const int64_t before = storedUnits("c22");
    QPointer<velmora::CostSheetScreen> screen = form;
    auto* window = qobject_cast<QMdiSubWindow*>(form->parentWidget());
    ASSERT_NE(window, nullptr);
    velmora::showPageOf(form->layout(), field("ctlc22").widget());
    test::focus(field("ctlc22").widget());
    auto* text = qobject_cast<QLineEdit*>(QApplication::focusWidget());
    ASSERT_NE(text, nullptr);
    test::pressKey(Qt::Key_A, Qt::ControlModifier);
    test::typeText("9000");  // typed, the field not left

    const std::string question = "Modificarile nesalvate se vor pierde.\r\nDoriti sa inchideti fereastra?";
    boxes.clear();
    window->close();  // the close box
    ASSERT_EQ(boxes.shown().size(), 1u);
    const velmora::MessageRequest& box = boxes.shown()[0];
    EXPECT_EQ(box.text, question);
    EXPECT_EQ(box.title, "ATENTIE!");
    EXPECT_EQ(box.icon, velmora::MsgIcon::Exclamation);
    EXPECT_EQ(box.buttons, velmora::MsgButtons::YesNo);
    EXPECT_TRUE(box.defaultNo);
    ASSERT_TRUE(screen);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(text->text(), QStringLiteral("9000"));
    EXPECT_TRUE(test::hasFocus(field("ctlc22").widget()));

    // On the screen: Enter answers the default, "Nu".
    QString defaultButton;
    EXPECT_EQ(test::answerOnScreen([&] { test::pressKey(Qt::Key_F4, Qt::ControlModifier); },
                                   [&](QMessageBox& shownBox) {
                                       if (shownBox.defaultButton()) defaultButton = shownBox.defaultButton()->text();
                                       QTest::keyClick(&shownBox, Qt::Key_Return);
                                   }),
              "Modificarile nesalvate se vor pierde.\nDoriti sa inchideti fereastra?");
    EXPECT_EQ(defaultButton, QStringLiteral("Nu"));
    QCoreApplication::processEvents();
    ASSERT_TRUE(screen);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(text->text(), QStringLiteral("9000"));
    EXPECT_EQ(QApplication::focusWidget(), text);

    boxes.clear();
    boxes.answer(velmora::MsgAnswer::Yes);
    test::pressKey(Qt::Key_F4, Qt::ControlModifier);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(boxes.texts(), std::vector<std::string>{question});
    EXPECT_FALSE(screen);
    EXPECT_EQ(stored(GetParam().table, "c22", "IdCost=" + std::to_string(idCost)), before);

    // Nothing unsaved: no question.
    openForm(GetParam().menu);
    screen = form;
    boxes.clear();
    qobject_cast<QMdiSubWindow*>(form->parentWidget())->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(boxes.shown().empty());
    EXPECT_FALSE(screen);
}

INSTANTIATE_TEST_SUITE_P(BothForms, CostSheetFocus, ::testing::Values(kSpital, kSectie),
                         [](const ::testing::TestParamInfo<FormCase>& info) { return std::string(info.param.module); });

}  // namespace
