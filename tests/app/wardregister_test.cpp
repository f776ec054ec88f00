// The ward register on the sample database, where every ward has its cost sheets: a ward
// with sheets is neither renumbered nor deleted and a second ward of the same type and
// number is refused, each in the "ATENTIE!" box with the ward left as it was; a ward
// without sheets is added, changed and deleted. After "Adauga...", "Renunta" and a
// deletion the keys start at the ward type, as when the screen opens.
#include <gtest/gtest.h>

#include <QMdiSubWindow>
#include <QPushButton>

#include "registers_fixture.h"
#include "screens/costsheetscreen.h"
#include "screens/frmsectii.h"

namespace {

using test::Registers;
using velmora::frmSectii;
using velmora::MsgAnswer;

class WardRegister : public Registers {
protected:
    void SetUp() override {
        Registers::SetUp();
        screen = open<frmSectii>("mnuSectii");
        ASSERT_TRUE(screen);
    }
    // Replaces the number field's text by the keys typed and leaves it by Tab.
    void typeNumber(const QString& digits) {
        test::focus(screen->ctlNrSectie()->widget());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Home);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_End, Qt::ShiftModifier);
        test::typeText(digits);
        test::pressKey(Qt::Key_Tab);
    }
    // The offscreen platform leaves no window active after the selection dialog closed.
    void reactivate() {
        mainWindow()->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(mainWindow()));
    }
    int32_t current(const char* property) const { return com::getProperty(*screen->object(), property).toLong(); }
    // The one box shown is the ward register's error report carrying the refusal's text.
    void expectRefusal(const std::string& text) {
        ASSERT_EQ(boxes.shown().size(), 1u);
        const auto& box = boxes.shown()[0];
        EXPECT_TRUE(test::isErrorReport(box, "frmSectii", "cmdButton_Click"));
        EXPECT_EQ(box.title, "ATENTIE!");
        EXPECT_NE(box.text.find("Descriere Eroare: " + text + "\r\n"), std::string::npos) << box.text;
    }

    frmSectii* screen = nullptr;
};

TEST_F(WardRegister, AWardWithSheetsKeepsItsTypeAndNumberAndCannotBeDeleted) {
    const long long sheets = sheetsOf(8);
    ASSERT_GT(sheets, 0);
    const std::string count = std::to_string(sheets);
    searchAndPick(*screen, [](QTreeWidget& list) { return rowWithId(list, 8); });
    ASSERT_EQ(current("IdSectieFiltrat"), 8);

    typeNumber(QStringLiteral("4"));
    boxes.clear();
    test::click(screen->cmdButton(0));
    expectRefusal("Sectia are " + count + " fise de cost inregistrate; tipul si numarul ei nu pot fi modificate.");
    EXPECT_EQ(ward(8, "NrSectie"), 2);
    EXPECT_EQ(sheetsOf(8), sheets);
    EXPECT_EQ(screen->ctlNrSectie()->get("Valoare").toLong(), 4);  // what was typed stays, for "Renunta"
    EXPECT_EQ(mask(*screen), 6);

    // Another ward type is refused the same way.
    test::click(screen->cmdButton(1));
    EXPECT_EQ(screen->ctlNrSectie()->get("Valoare").toLong(), 2);
    test::pickWithKeys(*screen->cmbSectie(), 3);
    test::pressKey(Qt::Key_Tab);
    boxes.clear();
    test::click(screen->cmdButton(0));
    expectRefusal("Sectia are " + count + " fise de cost inregistrate; tipul si numarul ei nu pot fi modificate.");
    EXPECT_EQ(ward(8, "IdSectie"), 1);
    test::click(screen->cmdButton(1));
    EXPECT_EQ(mask(*screen), 120);

    boxes.clear();
    boxes.answer(MsgAnswer::Yes);
    test::click(screen->cmdButton(4));
    ASSERT_EQ(boxes.shown().size(), 2u);
    EXPECT_EQ(boxes.shown()[0].buttons, velmora::MsgButtons::YesNo);
    EXPECT_TRUE(test::isErrorReport(boxes.shown()[1], "frmSectii", "cmdButton_Click"));
    EXPECT_NE(boxes.shown()[1].text.find("Descriere Eroare: Sectia are " + count +
                                         " fise de cost inregistrate si nu poate fi stearsa.\r\n"),
              std::string::npos)
        << boxes.shown()[1].text;
    EXPECT_EQ(wardRows(), 8);
    EXPECT_EQ(ward(8, "IdSpital"), 1);
    // The screen shows the ward as it was loaded, with nothing waiting to be saved.
    EXPECT_EQ(current("IdSectieFiltrat"), 8);
    EXPECT_FALSE(com::getProperty(*screen->object(), "IsDeleted").toBool());
    EXPECT_EQ(screen->cmbSectie()->get("Cheie").toLong(), 1);
    EXPECT_EQ(screen->ctlNrSectie()->get("Valoare").toLong(), 2);
    EXPECT_EQ(mask(*screen), 120);
}

TEST_F(WardRegister, ASecondWardOfTheSameTypeAndNumberIsRefusedAndAWardWithoutSheetsIsAddedChangedDeleted) {
    // Ward 1 is "MI" number 1: a new one of that type and number is refused.
    test::pickWithKeys(*screen->cmbSectie(), 1);
    typeNumber(QStringLiteral("1"));
    boxes.clear();
    test::click(screen->cmdButton(0));
    expectRefusal("Exista deja o sectie de acest tip cu acest numar la spitalul specificat.");
    EXPECT_EQ(wardRows(), 8);
    EXPECT_TRUE(com::getProperty(*screen->object(), "IsNew").toBool());
    EXPECT_EQ(screen->cmbSectie()->get("Cheie").toLong(), 1);
    EXPECT_EQ(screen->ctlNrSectie()->get("Valoare").toLong(), 1);
    EXPECT_EQ(mask(*screen), 6);

    // Number 3 is free: the ward is added straight on the blank form.
    typeNumber(QStringLiteral("3"));
    boxes.clear();
    test::click(screen->cmdButton(0));
    EXPECT_EQ(boxes.texts(), (std::vector<std::string>{"Obiectul a fost salvat cu succes!"}));
    EXPECT_EQ(wardRows(), 9);
    const int32_t id = current("IdSectieFiltrat");
    EXPECT_EQ(ward(id, "NrSectie"), 3);

    // Renumbered onto another ward's number it is refused, onto a free one it is saved.
    typeNumber(QStringLiteral("2"));  // ward 8 is "MI" number 2
    boxes.clear();
    test::click(screen->cmdButton(0));
    expectRefusal("Exista deja o sectie de acest tip cu acest numar la spitalul specificat.");
    EXPECT_EQ(ward(id, "NrSectie"), 3);
    typeNumber(QStringLiteral("5"));
    boxes.clear();
    test::click(screen->cmdButton(0));
    EXPECT_EQ(boxes.texts(), (std::vector<std::string>{"Obiectul a fost salvat cu succes!"}));
    EXPECT_EQ(ward(id, "NrSectie"), 5);

    boxes.clear();
    boxes.answer(MsgAnswer::Yes);
    test::click(screen->cmdButton(4));
    EXPECT_EQ(boxes.shown().size(), 1u);  // the question only
    EXPECT_EQ(wardRows(), 8);
    EXPECT_TRUE(com::getProperty(*screen->object(), "IsNew").toBool());
    EXPECT_EQ(mask(*screen), 72);
}

// Another user renumbered the ward after this screen loaded it: the screen's change is
// refused with the ward left as the other user saved it, and the typed number stays.
TEST_F(WardRegister, AWardAnotherUserChangedMeanwhileIsNotWrittenOverAndTheTypingStays) {
    dropSheetsOf(5);
    searchAndPick(*screen, [](QTreeWidget& list) { return rowWithId(list, 5); });
    reactivate();
    test::execSql(database(), "UPDATE Lista_Sectii___Filtrat SET NrSectie=8 WHERE IdSectieFiltrat=5");
    typeNumber(QStringLiteral("7"));
    boxes.clear();
    test::click(screen->cmdButton(0));
    expectRefusal(
        "Sectia a fost modificata de alt utilizator dupa ce a fost incarcata. Incarcati-o din nou cu Cauta... si "
        "refaceti modificarile.");
    EXPECT_EQ(ward(5, "NrSectie"), 8);
    EXPECT_EQ(screen->ctlNrSectie()->get("Valoare").toLong(), 7);
    EXPECT_EQ(mask(*screen), 6);
}

// The next key after these buttons goes to the ward type, never to "Iesire" (where Enter
// would close the screen).
TEST_F(WardRegister, AdaugaRenuntaAndADeletionLeaveTheFocusOnTheWardType) {
    dropSheetsOf(5);
    ASSERT_TRUE(focusWithin(screen->cmbSectie()->widget()));  // as it opens

    searchAndPick(*screen, [](QTreeWidget& list) { return rowWithId(list, 5); });
    reactivate();
    test::click(screen->cmdButton(3));  // "Adauga..."
    EXPECT_TRUE(com::getProperty(*screen->object(), "IsNew").toBool());
    EXPECT_TRUE(focusWithin(screen->cmbSectie()->widget()));

    typeNumber(QStringLiteral("7"));
    test::click(screen->cmdButton(1));  // "Renunta" on a new ward
    EXPECT_EQ(screen->ctlNrSectie()->get("Valoare").toLong(), 0);
    EXPECT_TRUE(focusWithin(screen->cmbSectie()->widget()));

    searchAndPick(*screen, [](QTreeWidget& list) { return rowWithId(list, 5); });
    reactivate();
    typeNumber(QStringLiteral("7"));
    test::click(screen->cmdButton(1));  // "Renunta" on a loaded ward
    EXPECT_EQ(screen->ctlNrSectie()->get("Valoare").toLong(), 1);
    EXPECT_TRUE(focusWithin(screen->cmbSectie()->widget()));

    boxes.answer(MsgAnswer::Yes);
    test::click(screen->cmdButton(4));  // a confirmed "Sterge"
    EXPECT_EQ(ward(5, "IdSpital"), -1);
    EXPECT_TRUE(focusWithin(screen->cmbSectie()->widget()));
    test::pressKey(Qt::Key_Return);
    EXPECT_TRUE(screen->isVisible());
}

// Enter moves on as Tab does, within the register: a cost sheet open behind it neither comes
// to the front nor takes the keys.
TEST_F(WardRegister, EnterMovesOnWithinTheRegisterWithACostSheetOpenBehindIt) {
    ASSERT_TRUE(open<velmora::CostSheetScreen>("mnuCostSpital"));
    ASSERT_EQ(open<frmSectii>("mnuSectii"), screen);
    test::pickWithKeys(*screen->cmbSectie(), 3);
    test::pressKey(Qt::Key_Return);
    EXPECT_TRUE(focusWithin(screen->ctlNrSectie()->widget()));
    test::typeText(QStringLiteral("4"));
    test::pressKey(Qt::Key_Return);
    EXPECT_EQ(mainWindow()->mdiArea()->activeSubWindow()->widget(), screen);
    EXPECT_TRUE(screen->isAncestorOf(QApplication::focusWidget()));
    EXPECT_TRUE(focusWithin(screen->cmdButton(0)));  // "Salveaza", as Tab goes
    EXPECT_EQ(mask(*screen), 6);

    // Closing the register with the ward unsaved asks first.
    boxes.clear();
    static_cast<QMdiSubWindow*>(screen->parentWidget())->close();
    EXPECT_EQ(boxes.texts(),
              std::vector<std::string>{"Modificarile nesalvate se vor pierde.\r\nDoriti sa inchideti fereastra?"});
    EXPECT_TRUE(screen->isVisible());
    EXPECT_EQ(screen->ctlNrSectie()->get("Valoare").toLong(), 4);
}

}  // namespace
