// The hospital and ward register screens opened from the main menu on the sample database:
// what they show, search through the selection dialog, save read back with SQLite,
// "Renunta", "Adauga", delete with both answers, a save refused by a locked database, and
// the keyboard (Tab order, a whole edit without the mouse).
#include <gtest/gtest.h>

#include <QGroupBox>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>

#include <functional>

#include "forms/hostedcontrol.h"
#include "registers_fixture.h"
#include "screens/frmsectii.h"
#include "forms/frmselect.h"
#include "screens/frmspitale.h"

namespace {

using test::Registers;
using velmora::frmSectii;
using velmora::frmSelect;
using velmora::frmSpitale;
using velmora::MsgAnswer;

constexpr int32_t kScrollBar = static_cast<int32_t>(0x80000000u);
constexpr int32_t kButtonFace = static_cast<int32_t>(0x8000000Fu);

TEST_F(Registers, TheHospitalRegisterShowsAndFindsButChangesNothing) {
    frmSpitale* screen = open<frmSpitale>("mnuSpitale");
    ASSERT_TRUE(screen);
    EXPECT_EQ(screen->windowTitle(), QString(34, u' ') + QStringLiteral("Introducere / editare / eliminare spitale"));
    EXPECT_EQ(screen->findChild<QGroupBox*>(QStringLiteral("frmDateGenerale"))->title(),
              QStringLiteral("Date generale"));
    EXPECT_EQ(label(*screen, "cmbJudet"), QStringLiteral(" Judet:"));
    EXPECT_EQ(label(*screen, "ctlCodSpital"), QStringLiteral(" Cod spital:"));
    EXPECT_EQ(label(*screen, "ctlDenSpital"), QStringLiteral(" Denumire:"));
    EXPECT_EQ(screen->cmbJudet()->get("Cheie").toLong(), 13);
    EXPECT_EQ(screen->cmbJudet()->get("BackColor").toLong(), kScrollBar);
    for (velmora::HostedControl* field : {screen->ctlCodSpital(), screen->ctlDenSpital()}) {
        EXPECT_EQ(field->get("Valoare").toString(), "");
        EXPECT_EQ(field->get("BackColor").toLong(), kButtonFace);
    }
    for (velmora::HostedControl* field : {screen->cmbJudet(), screen->ctlCodSpital(), screen->ctlDenSpital()}) {
        EXPECT_FALSE(field->get("Enabled").toBool());
        EXPECT_FALSE(field->widget()->isEnabled());
    }
    EXPECT_EQ(mask(*screen), 72);
    EXPECT_EQ(screen->cmdButton(3)->text(), QStringLiteral("Adauga"));

    searchAndPick(*screen, [](QTreeWidget& list) { return rowWithId(list, 1); });
    EXPECT_EQ(screen->ctlCodSpital()->get("Valoare").toString(), "SJU01");
    EXPECT_EQ(screen->ctlDenSpital()->get("Valoare").toString(), "Spitalul Judetean de Urgenta Exemplu");
    EXPECT_EQ(screen->cmbJudet()->get("Cheie").toLong(), 13);
    EXPECT_EQ(mask(*screen), 120);

    boxes.clear();
    const long long hospitals = test::rowCount(database(), "Nom_Spitale");
    test::click(screen->cmdButton(4));
    EXPECT_EQ(boxes.texts(),
              (std::vector<std::string>{"Stergerea unui spital nu este permisa in aceasta versiune a aplicatiei."}));
    EXPECT_EQ(test::rowCount(database(), "Nom_Spitale"), hospitals);
    EXPECT_EQ(screen->ctlCodSpital()->get("Valoare").toString(), "SJU01");
    EXPECT_EQ(mask(*screen), 120);

    test::click(screen->cmdButton(3));  // "Adauga": a new blank hospital of the configured county
    EXPECT_EQ(screen->ctlCodSpital()->get("Valoare").toString(), "");
    EXPECT_EQ(screen->cmbJudet()->get("Cheie").toLong(), 13);
    EXPECT_TRUE(com::getProperty(*screen->object(), "IsNew").toBool());
    EXPECT_EQ(mask(*screen), 72);

    // The disabled fields are no tab stops: Tab goes between the enabled buttons.
    test::focus(screen->cmdButton(2));
    test::pressKey(Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), screen->cmdButton(5));

    test::click(screen->cmdButton(5));  // "Iesire"
    EXPECT_EQ(mainWindow()->mdiArea()->subWindowList().size(), 0);
}

TEST_F(Registers, WithoutAConfiguredCountyTheHospitalRegisterStartsOnNone) {
    start("-1", "-1");
    frmSpitale* screen = open<frmSpitale>("mnuSpitale");
    ASSERT_TRUE(screen);
    EXPECT_EQ(screen->cmbJudet()->get("ListIndex").toLong(), -1);
    EXPECT_EQ(com::getProperty(*screen->object(), "IdJudet").toLong(), -1);
    EXPECT_EQ(mask(*screen), 72);
    // Any county's hospital can be found: the first county is offered, and Cluj chosen.
    bool picked = false;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<frmSelect*>(QApplication::activeModalWidget());
        ASSERT_TRUE(dialog);
        EXPECT_TRUE(dialog->combo("cmbJudet")->get("Enabled").toBool());
        dialog->combo("cmbJudet")->put("Cheie", com::Variant(int32_t{13}));
        picked = true;
        pickIn(*dialog, [](QTreeWidget& list) { return rowWithId(list, 10); });
        if (dialog->isVisible()) dialog->reject();
    });
    test::click(screen->cmdButton(2));
    ASSERT_TRUE(picked);
    EXPECT_EQ(screen->ctlCodSpital()->get("Valoare").toString(), "SMC02");
    EXPECT_EQ(screen->cmbJudet()->get("Cheie").toLong(), 13);
    EXPECT_EQ(mask(*screen), 120);
    // The ward register needs a configured hospital.
    boxes.clear();
    mainWindow()->menuItem(QStringLiteral("mnuSectii"))->trigger();
    EXPECT_EQ(boxes.texts(), (std::vector<std::string>{"Spitalul trebuie mai intai configurat."}));
}

TEST_F(Registers, ANewWardIsCheckedSavedAndReadBack) {
    frmSectii* screen = open<frmSectii>("mnuSectii");
    ASSERT_TRUE(screen);
    EXPECT_EQ(screen->windowTitle(), QStringLiteral("Selectie/Adaugare/Editare/Stergere informatii sectii selectate"));
    EXPECT_EQ(screen->findChild<QGroupBox*>(QStringLiteral("frmDateGenerale"))->title(),
              QStringLiteral("Date generale:"));
    EXPECT_EQ(label(*screen, "cmbSpital"), QStringLiteral("Spital"));
    EXPECT_EQ(label(*screen, "cmbSectie"), QStringLiteral("Sectie"));
    EXPECT_EQ(label(*screen, "ctlNrSectie"), QStringLiteral("Nr. sectie"));
    EXPECT_EQ(screen->cmbSpital()->get("Cheie").toLong(), 1);
    EXPECT_FALSE(screen->cmbSpital()->get("Enabled").toBool());
    EXPECT_EQ(screen->cmbSpital()->get("BackColor").toLong(), kScrollBar);
    EXPECT_EQ(screen->cmbSectie()->get("ListIndex").toLong(), -1);
    EXPECT_EQ(screen->ctlNrSectie()->get("Valoare").toLong(), 0);
    EXPECT_TRUE(screen->cmbSectie()->widget()->isAncestorOf(QApplication::focusWidget()) ||
                screen->cmbSectie()->widget() == QApplication::focusWidget());  // the first open stop
    EXPECT_EQ(screen->cmdButton(3)->text(), QStringLiteral("Adauga..."));
    EXPECT_EQ(mask(*screen), 72);

    // A ward type picked and left for the number: dirty, but the number is still missing.
    test::focus(screen->cmbSectie()->widget());
    test::pressKey(Qt::Key_Down);
    test::pressKey(Qt::Key_Down);
    EXPECT_EQ(mask(*screen), 72);  // nothing pushed before the field is left
    test::pressKey(Qt::Key_Tab);
    EXPECT_EQ(mask(*screen), 6);
    const int32_t type = screen->cmbSectie()->get("Cheie").toLong();
    boxes.clear();
    test::click(screen->cmdButton(0));
    ASSERT_EQ(boxes.shown().size(), 1u);
    EXPECT_EQ(boxes.shown()[0].text,
              "Erori in antetul obiectului:\r\nNumarul sectiei de lucru trebuie specificat.\r\n\r\n\r\n");
    EXPECT_EQ(boxes.shown()[0].icon, velmora::MsgIcon::Information);
    EXPECT_EQ(wardRows(), 8);
    EXPECT_EQ(mask(*screen), 6);

    test::focus(screen->ctlNrSectie()->widget());
    test::typeText(QStringLiteral("3"));
    boxes.clear();
    test::click(screen->cmdButton(0));
    EXPECT_EQ(boxes.texts(), (std::vector<std::string>{"Obiectul a fost salvat cu succes!"}));
    EXPECT_EQ(wardRows(), 9);
    const int32_t id = com::getProperty(*screen->object(), "IdSectieFiltrat").toLong();
    EXPECT_EQ(ward(id, "IdSpital"), 1);
    EXPECT_EQ(ward(id, "IdSectie"), type);
    EXPECT_EQ(ward(id, "NrSectie"), 3);
    EXPECT_EQ(mask(*screen), 120);

    // "Renunta" on a new ward: back to the configured hospital, no type, number 0.
    test::click(screen->cmdButton(3));
    test::focus(screen->ctlNrSectie()->widget());
    test::typeText(QStringLiteral("5"));
    test::pressKey(Qt::Key_Tab);
    test::click(screen->cmdButton(1));
    EXPECT_EQ(screen->cmbSpital()->get("Cheie").toLong(), 1);
    EXPECT_EQ(screen->cmbSectie()->get("ListIndex").toLong(), -1);
    EXPECT_EQ(screen->ctlNrSectie()->get("Valoare").toLong(), 0);
    EXPECT_EQ(mask(*screen), 72);
}

TEST_F(Registers, AFoundWardIsEditedRestoredTwiceAndSaved) {
    dropSheetsOf(8);
    frmSectii* screen = open<frmSectii>("mnuSectii");
    ASSERT_TRUE(screen);
    searchAndPick(*screen, [](QTreeWidget& list) { return rowWithId(list, 8); });
    EXPECT_EQ(screen->cmbSectie()->get("Cheie").toLong(), ward(8, "IdSectie"));
    EXPECT_EQ(screen->ctlNrSectie()->get("Valoare").toLong(), 2);
    EXPECT_EQ(mask(*screen), 120);

    for (int round = 0; round < 2; ++round) {
        test::focus(screen->ctlNrSectie()->widget());
        test::typeText(QStringLiteral("4"));
        test::pressKey(Qt::Key_Tab);
        EXPECT_EQ(mask(*screen), 6);
        test::click(screen->cmdButton(1));
        EXPECT_EQ(screen->ctlNrSectie()->get("Valoare").toLong(), 2) << round;
        EXPECT_EQ(mask(*screen), 120) << round;
    }
    test::focus(screen->ctlNrSectie()->widget());
    test::typeText(QStringLiteral("5"));
    test::pressKey(Qt::Key_Tab);
    boxes.clear();
    test::click(screen->cmdButton(0));
    EXPECT_EQ(boxes.texts(), (std::vector<std::string>{"Obiectul a fost salvat cu succes!"}));
    EXPECT_EQ(ward(8, "NrSectie"), 25);
    EXPECT_EQ(wardRows(), 8);
}

TEST_F(Registers, DeletingAWardAsksFirst) {
    dropSheetsOf(7);
    frmSectii* screen = open<frmSectii>("mnuSectii");
    ASSERT_TRUE(screen);
    screen->ItemSelectat(7, "");
    boxes.answer(MsgAnswer::No);
    test::click(screen->cmdButton(4));
    ASSERT_EQ(boxes.shown().size(), 1u);
    EXPECT_EQ(boxes.shown()[0].text, "Obiectul va fi sters permanent din baza de date!\r\nDoriti sa continuati?");
    EXPECT_EQ(boxes.shown()[0].buttons, velmora::MsgButtons::YesNo);
    EXPECT_EQ(boxes.shown()[0].icon, velmora::MsgIcon::Exclamation);
    EXPECT_EQ(boxes.shown()[0].title, "ATENTIE!");
    EXPECT_EQ(wardRows(), 8);
    EXPECT_EQ(com::getProperty(*screen->object(), "IdSectieFiltrat").toLong(), 7);
    EXPECT_EQ(mask(*screen), 120);

    boxes.clear();
    boxes.answer(MsgAnswer::Yes);
    test::click(screen->cmdButton(4));
    EXPECT_EQ(boxes.shown().size(), 1u);  // no message confirms the deletion
    EXPECT_EQ(wardRows(), 7);
    EXPECT_EQ(ward(7, "IdSpital"), -1);
    EXPECT_TRUE(com::getProperty(*screen->object(), "IsNew").toBool());
    EXPECT_EQ(screen->cmbSectie()->get("ListIndex").toLong(), -1);
    EXPECT_EQ(screen->cmbSpital()->get("Cheie").toLong(), 1);
    EXPECT_EQ(mask(*screen), 72);
}

// The confirmation as the user meets it, on the screen: Esc and the close box answer No,
// only "Da" deletes.
TEST_F(Registers, TheDeleteConfirmationTakesEscAndTheCloseBoxForNo) {
    dropSheetsOf(7);
    frmSectii* screen = open<frmSectii>("mnuSectii");
    ASSERT_TRUE(screen);
    screen->ItemSelectat(7, "");
    const auto answerWith = [&](const std::function<void(QMessageBox&)>& answer) {
        bool asked = false;
        test::answerOnScreen([&] { test::click(screen->cmdButton(4)); },
                             [&](QMessageBox& box) {
                                 asked = true;
                                 EXPECT_EQ(box.windowTitle(), QStringLiteral("ATENTIE!"));
                                 EXPECT_EQ(box.icon(), QMessageBox::Warning);
                                 answer(box);
                             });
        EXPECT_TRUE(asked);
    };
    answerWith([](QMessageBox& box) { QTest::keyClick(&box, Qt::Key_Escape); });
    EXPECT_EQ(wardRows(), 8);
    answerWith([](QMessageBox& box) { box.close(); });
    EXPECT_EQ(wardRows(), 8);
    EXPECT_EQ(com::getProperty(*screen->object(), "IdSectieFiltrat").toLong(), 7);
    answerWith([](QMessageBox& box) {
        for (QAbstractButton* button : box.buttons())
            if (button->text() == QStringLiteral("Da")) button->click();
    });
    EXPECT_EQ(wardRows(), 7);
    EXPECT_TRUE(com::getProperty(*screen->object(), "IsNew").toBool());
}

// A deletion the database refuses leaves no deletion mark waiting behind "Salveaza".
TEST_F(Registers, ADeleteThatFailsLeavesTheWardAsLastLoaded) {
    dropSheetsOf(6);
    frmSectii* screen = open<frmSectii>("mnuSectii");
    ASSERT_TRUE(screen);
    screen->ItemSelectat(6, "");
    boxes.answer(MsgAnswer::Yes);
    test::whileLocked(database(), "BEGIN IMMEDIATE", [&] { test::click(screen->cmdButton(4)); });
    ASSERT_EQ(boxes.shown().size(), 2u);
    EXPECT_TRUE(test::isErrorReport(boxes.shown()[1], "frmSectii", "cmdButton_Click"));
    EXPECT_EQ(ward(6, "IdSpital"), 1);
    EXPECT_FALSE(com::getProperty(*screen->object(), "IsDeleted").toBool());
    EXPECT_FALSE(com::getProperty(*screen->object(), "IsDirty").toBool());
    EXPECT_EQ(com::getProperty(*screen->object(), "IdSectieFiltrat").toLong(), 6);
    EXPECT_EQ(mask(*screen), 120);  // "Salveaza" is not offered: nothing waits to be saved

    boxes.clear();
    boxes.answer(MsgAnswer::Yes);
    test::click(screen->cmdButton(4));  // the lock is gone
    EXPECT_EQ(ward(6, "IdSpital"), -1);
    EXPECT_EQ(mask(*screen), 72);
}

TEST_F(Registers, ASaveRefusedByALockedDatabaseKeepsWhatWasTyped) {
    dropSheetsOf(4);
    frmSectii* screen = open<frmSectii>("mnuSectii");
    ASSERT_TRUE(screen);
    screen->ItemSelectat(4, "");
    test::focus(screen->ctlNrSectie()->widget());
    test::typeText(QStringLiteral("7"));
    test::pressKey(Qt::Key_Tab);
    boxes.clear();
    test::whileLocked(database(), "BEGIN IMMEDIATE", [&] { test::click(screen->cmdButton(0)); });
    ASSERT_EQ(boxes.shown().size(), 1u);
    EXPECT_TRUE(test::isErrorReport(boxes.shown()[0], "frmSectii", "cmdButton_Click"));
    EXPECT_NE(boxes.shown()[0].text.find("Descriere Eroare: Baza de date este folosita de alt program. Incercati din "
                                         "nou dupa ce acesta o elibereaza.\r\n"),
              std::string::npos)
        << boxes.shown()[0].text;
    EXPECT_EQ(ward(4, "NrSectie"), 1);
    EXPECT_EQ(screen->ctlNrSectie()->get("Valoare").toLong(), 17);
    EXPECT_TRUE(com::getProperty(*screen->object(), "IsDirty").toBool());
    EXPECT_EQ(mask(*screen), 6);

    boxes.clear();
    test::click(screen->cmdButton(0));  // the lock is gone: the same values are saved
    EXPECT_EQ(boxes.texts(), (std::vector<std::string>{"Obiectul a fost salvat cu succes!"}));
    EXPECT_EQ(ward(4, "NrSectie"), 17);
    EXPECT_EQ(mask(*screen), 120);
}

// Opened from the menu, a screen has the focus on its first enabled control (the keys
// go somewhere at once); the hospital register's fields are disabled, so "Cauta..." has it.
TEST_F(Registers, AScreenOpensWithTheFocusOnItsFirstEnabledControl) {
    frmSectii* wards = open<frmSectii>("mnuSectii");
    ASSERT_TRUE(wards);
    EXPECT_TRUE(focusWithin(wards->cmbSectie()->widget()));
    test::click(wards->cmdButton(5));
    frmSpitale* hospitals = open<frmSpitale>("mnuSpitale");
    ASSERT_TRUE(hospitals);
    EXPECT_EQ(QApplication::focusWidget(), hospitals->cmdButton(2));
    bool opened = false;
    QTimer::singleShot(0, [&] {
        if (auto* dialog = qobject_cast<frmSelect*>(QApplication::activeModalWidget())) {
            opened = true;
            dialog->reject();
        }
    });
    test::pressKey(Qt::Key_Return);  // Enter opens the selection dialog at once
    EXPECT_TRUE(opened);
}

TEST_F(Registers, TabFollowsTheFieldsThenTheEnabledButtons) {
    frmSectii* screen = open<frmSectii>("mnuSectii");
    ASSERT_TRUE(screen);
    test::focus(screen->cmbSectie()->widget());
    test::pressKey(Qt::Key_Tab);
    EXPECT_TRUE(focusWithin(screen->ctlNrSectie()->widget()));
    test::pressKey(Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), screen->cmdButton(2));  // "Salveaza", "Renunta" disabled
    test::pressKey(Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), screen->cmdButton(5));
    test::pressKey(Qt::Key_Backtab);
    EXPECT_EQ(QApplication::focusWidget(), screen->cmdButton(2));
    test::pressKey(Qt::Key_Backtab);
    EXPECT_TRUE(focusWithin(screen->ctlNrSectie()->widget()));
}

// A user who never touches the mouse finds a ward, renumbers it, saves and deletes it:
// Tab, arrows, Enter on the focused buttons and on the chosen row, Space on a button.
TEST_F(Registers, AWardIsFoundChangedSavedAndDeletedWithTheKeyboardAlone) {
    test::execSql(database(), "DELETE FROM Velmora_Sectie");  // whichever ward comes first may go
    frmSectii* screen = open<frmSectii>("mnuSectii");
    ASSERT_TRUE(screen);
    // The screen opens with the focus in its first enabled field: two Tabs reach "Cauta...".
    ASSERT_TRUE(focusWithin(screen->cmbSectie()->widget()));
    test::pressKey(Qt::Key_Tab);
    test::pressKey(Qt::Key_Tab);
    ASSERT_EQ(QApplication::focusWidget(), screen->cmdButton(2));
    bool picked = false;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<frmSelect*>(QApplication::activeModalWidget());
        ASSERT_TRUE(dialog);
        dialog->activateWindow();  // the offscreen platform has no window manager to do it
        EXPECT_TRUE(QTest::qWaitForWindowActive(dialog));
        QCoreApplication::processEvents();
        EXPECT_EQ(QApplication::focusWidget(), dialog->cmdCauta());
        test::pressKey(Qt::Key_Return);  // Enter presses the focused button
        EXPECT_EQ(QApplication::focusWidget(), dialog->list(velmora::SelectKind::Sectii));
        test::pressKey(Qt::Key_Down);
        picked = true;
        test::pressKey(Qt::Key_Return);
        if (dialog->isVisible()) dialog->reject();
    });
    test::pressKey(Qt::Key_Return);
    ASSERT_TRUE(picked);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    const int32_t id = com::getProperty(*screen->object(), "IdSectieFiltrat").toLong();
    EXPECT_GT(id, 0);
    EXPECT_EQ(mask(*screen), 120);

    test::focus(screen->ctlNrSectie()->widget());
    test::typeText(QStringLiteral("0"));
    test::pressKey(Qt::Key_Tab);  // on to "Salveaza", the first enabled button
    EXPECT_EQ(QApplication::focusWidget(), screen->cmdButton(0));
    boxes.clear();
    test::pressKey(Qt::Key_Return);
    EXPECT_EQ(boxes.texts(), (std::vector<std::string>{"Obiectul a fost salvat cu succes!"}));
    EXPECT_EQ(ward(id, "NrSectie"), 10);

    test::focus(screen->cmdButton(4));
    boxes.answer(MsgAnswer::Yes);
    test::pressKey(Qt::Key_Space);
    EXPECT_EQ(ward(id, "NrSectie"), -1);
    EXPECT_EQ(wardRows(), 7);
}

}  // namespace

namespace {

// Each screen drawn as the user sees it: it fits a 1024 x 768 screen and no caption is cut.
// With VELMORA_SCREENSHOTS set to a folder, the pictures are kept there.
class ScreenPictures : public Registers {
protected:
    void expectWholeAndSave(QWidget& window, const char* file) {
        QCoreApplication::processEvents();
        EXPECT_LE(window.width(), 1024) << file;
        EXPECT_LE(window.height(), 700) << file;  // below the menu and status bar of the main window
        for (QLabel* caption : window.findChildren<QLabel*>()) {
            if (caption->isVisible()) {
                EXPECT_GE(caption->width(), caption->sizeHint().width())
                    << file << " " << caption->text().toStdString();
            }
        }
        for (QPushButton* button : window.findChildren<QPushButton*>()) {
            if (button->isVisible()) {
                EXPECT_GE(button->width(), button->sizeHint().width()) << file << " " << button->text().toStdString();
            }
        }
        const QPixmap picture = window.grab();
        ASSERT_FALSE(picture.isNull());
        const QByteArray folder = qgetenv("VELMORA_SCREENSHOTS");
        if (!folder.isEmpty()) {
            EXPECT_TRUE(picture.save(QString::fromLocal8Bit(folder) + u'/' + QLatin1String(file)));
        }
    }
};

TEST_F(ScreenPictures, RegisterScreensAndTheSelectionDialog) {
    frmSectii* wards = open<frmSectii>("mnuSectii");
    ASSERT_TRUE(wards);
    wards->ItemSelectat(2, "");
    expectWholeAndSave(*wards->parentWidget(), "velmora-sectii.png");
    frmSpitale* hospitals = open<frmSpitale>("mnuSpitale");
    ASSERT_TRUE(hospitals);
    hospitals->ItemSelectat(1, "");
    expectWholeAndSave(*hospitals->parentWidget(), "velmora-spitale.png");

    const char* files[] = {"velmora-selectie-spitale.png", "velmora-selectie-costspital.png",
                           "velmora-selectie-sectii.png", "velmora-selectie.png"};
    for (int kind = 0; kind < 4; ++kind) {
        frmSelect dialog(mainWindow());
        dialog.setTipSelect(static_cast<velmora::SelectKind>(kind));
        dialog.show();
        QCoreApplication::processEvents();
        if (kind == 3) dialog.combo("cmbPerioadaSectie")->put("Cheie", com::Variant(int32_t{1}));
        dialog.cmdCauta_Click();
        expectWholeAndSave(dialog, files[kind]);
    }
    const QPixmap main = mainWindow()->grab();  // the two screens inside the main window
    if (const QByteArray folder = qgetenv("VELMORA_SCREENSHOTS"); !folder.isEmpty())
        main.save(QString::fromLocal8Bit(folder) + QStringLiteral("/velmora-main-registers.png"));
}

}  // namespace
