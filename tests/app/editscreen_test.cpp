// The edit-screen base on a small screen of its own over a real ward (Sectie): the
// controller's protocol, the push of a field when the focus leaves it or a combo row is
// picked, the hooks a screen adds, the backup behind "Renunta", and a load that fails.
#include <gtest/gtest.h>

#include <QGroupBox>
#include <QPushButton>

#include <vector>

#include "../support/rawdb.h"
#include "forms/business.h"
#include "forms/editscreen.h"
#include "forms/hostedcontrol.h"
#include "screen_session.h"
#include "shell/globalui.h"
#include "typelib/business/Sectie.h"

namespace {

using velmora::Buton;
using velmora::HostedControl;

// A screen with only what differs: two bound controls (the row model's "cmbSpital" has
// none here and is skipped), one unbound control, defaults, and hooks that record.
class ProbeScreen final : public velmora::EditScreen {
public:
    ProbeScreen()
        : EditScreen({"frmProba", &velmora::newEditedObject<Velmora_Business::_Sectie>, Velmora_Business::__Sectie::iid,
                      velmora::SelectKind::Sectii, true},
                     nullptr) {
        QGroupBox* frame = addFrame(QStringLiteral("Date generale:"));
        cmbSectie = addRow(frame, QStringLiteral("Sectie"), "Quillon.MyCombo", QStringLiteral("cmbSectie"), "IdSectie");
        ctlNrSectie = addRow(frame, QStringLiteral("Nr. sectie"), "Quillon.ControlPersonal",
                             QStringLiteral("ctlNrSectie"), "NrSectie");
        ctlNrSectie->put("TipData", com::Variant(int32_t{3}));
        unbound = addRow(frame, QStringLiteral("Altceva"), "Quillon.ControlPersonal", QStringLiteral("ctlAltceva"),
                         "NrSectie");
        pushOnClick(cmbSectie);
        pushOnValidate(ctlNrSectie);
        formLoad();
    }

    HostedControl* cmbSectie = nullptr;
    HostedControl* ctlNrSectie = nullptr;
    HostedControl* unbound = nullptr;
    std::vector<std::string> pushed;
    int loads = 0;
    int newEntries = 0;
    int combosPrepared = 0;

protected:
    void fillCombos() override { GlobalUI::FillCombo(cmbSectie->object(), GlobalUI::session().lists().gListaSectii()); }
    void setDefaults(com::IDispatch& object) override {
        com::ComPtr<com::IDispatch>(&object).query<Velmora_Business::_Sectie>()->put_IdSpital(1, true);
    }
    void beforeComboLoad(HostedControl&) override { ++combosPrepared; }
    void afterLoadControls() override { ++loads; }
    void afterFieldPushed(HostedControl& control) override { pushed.push_back(control.objectName().toStdString()); }
    void focusAfterNewEntry() override {
        ++newEntries;
        cmbSectie->widget()->setFocus(Qt::OtherFocusReason);
    }
};

class EditScreenBase : public test::ScreenSession {
protected:
    void SetUp() override {
        ScreenSession::SetUp();
        screen = new ProbeScreen;
        mainWindow()->mdiArea()->addSubWindow(screen)->setAttribute(Qt::WA_DeleteOnClose);
        screen->show();
        mainWindow()->mdiArea()->setActiveSubWindow(static_cast<QMdiSubWindow*>(screen->parentWidget()));
        QCoreApplication::processEvents();
    }

    int mask() const { return test::buttonMask(*screen); }
    bool flag(const char* name) const { return com::getProperty(*screen->object(), name).toBool(); }
    int32_t number(const char* name) const { return com::getProperty(*screen->object(), name).toLong(); }

    ProbeScreen* screen = nullptr;
};

TEST_F(EditScreenBase, ABlankObjectIsLoadedAndTheBarOffersOnlySearchAndExit) {
    EXPECT_EQ(mask(), 72);
    EXPECT_EQ(screen->loads, 1);
    EXPECT_EQ(screen->combosPrepared, 1);
    EXPECT_EQ(screen->cmbSectie->get("ListIndex").toLong(), -1);
    EXPECT_EQ(screen->ctlNrSectie->get("Valoare").toLong(), 0);
    EXPECT_EQ(screen->unbound->get("Valoare").toString(), "");  // a control the row model does not name stays as made
    EXPECT_EQ(number("IdSpital"), 1);
    EXPECT_FALSE(flag("IsDirty"));
    EXPECT_EQ(screen->cmdButton(3)->text().toStdString(), "Adauga...");
}

TEST_F(EditScreenBase, AFieldReachesTheObjectWhenTheFocusLeavesItAndAComboWhenARowIsPicked) {
    test::focus(screen->ctlNrSectie->widget());
    test::typeText(QStringLiteral("4"));
    EXPECT_EQ(number("NrSectie"), 0);  // still typing: nothing pushed, buttons unchanged
    EXPECT_EQ(mask(), 72);
    test::pressKey(Qt::Key_Tab);
    EXPECT_EQ(number("NrSectie"), 4);
    EXPECT_TRUE(flag("IsDirty"));
    EXPECT_EQ(mask(), 6);
    EXPECT_EQ(screen->pushed, (std::vector<std::string>{"ctlNrSectie"}));

    test::focus(screen->cmbSectie->widget());
    test::pressKey(Qt::Key_Down);  // the first ward type, pushed at once
    EXPECT_EQ(number("IdSectie"), screen->cmbSectie->get("Cheie").toLong());
    EXPECT_NE(number("IdSectie"), -1);
    EXPECT_EQ(screen->pushed.back(), "cmbSectie");

    // A message box taking the focus away is no validation.
    boxes.clear();
    test::focus(screen->ctlNrSectie->widget());
    test::typeText(QStringLiteral("7"));
    const auto before = screen->pushed.size();
    QWidget other;
    other.show();
    other.activateWindow();
    (void)QTest::qWaitForWindowActive(&other);
    EXPECT_EQ(screen->pushed.size(), before);
    mainWindow()->activateWindow();
    (void)QTest::qWaitForWindowActive(mainWindow());

    // The press of a button moves the focus first: the typed number is saved with the rest.
    test::click(screen->cmdButton(0));
    EXPECT_EQ(number("NrSectie"), 47);
    ASSERT_EQ(boxes.texts(), (std::vector<std::string>{"Obiectul a fost salvat cu succes!"}));
    EXPECT_EQ(rawdb::rawInt(database(), "SELECT NrSectie FROM Lista_Sectii___Filtrat WHERE IdSectieFiltrat=" +
                                            std::to_string(number("IdSectieFiltrat"))),
              47);
    EXPECT_EQ(mask(), 120);
}

TEST_F(EditScreenBase, RenuntaReturnsAStoredObjectToItsBackupAsOftenAsAsked) {
    screen->ItemSelectat(3, "");
    EXPECT_EQ(mask(), 120);
    EXPECT_FALSE(flag("IsDirty"));  // loading the controls pushed nothing
    EXPECT_EQ(screen->cmbSectie->get("Cheie").toLong(), 3);
    const com::ComPtr<com::IDispatch> loaded = screen->object();
    for (int round = 0; round < 2; ++round) {
        test::focus(screen->ctlNrSectie->widget());
        test::typeText(QStringLiteral("9"));
        test::pressKey(Qt::Key_Tab);
        EXPECT_EQ(number("NrSectie"), 19) << round;
        EXPECT_EQ(mask(), 6);
        test::click(screen->cmdButton(1));
        EXPECT_EQ(number("NrSectie"), 1) << round;
        EXPECT_EQ(screen->ctlNrSectie->get("Valoare").toLong(), 1) << round;
        EXPECT_EQ(mask(), 120) << round;
        EXPECT_NE(screen->object().get(), loaded.get());  // a copy of the backup became current
    }
    // The row model follows the current object: an edit after "Renunta" reaches it.
    test::focus(screen->ctlNrSectie->widget());
    test::typeText(QStringLiteral("5"));
    test::pressKey(Qt::Key_Tab);
    EXPECT_TRUE(flag("IsDirty"));
    EXPECT_EQ(screen->model().GetDataByName("NrSectie").toLong(), number("NrSectie"));
    EXPECT_EQ(mask(), 6);
    EXPECT_EQ(rawdb::rawInt(database(), "SELECT NrSectie FROM Lista_Sectii___Filtrat WHERE IdSectieFiltrat=3"), 1);
}

TEST_F(EditScreenBase, RenuntaOnANewObjectAndAdaugaStartAfreshWhereTheScreenWantsTheFocus) {
    EXPECT_EQ(screen->newEntries, 1);  // the screen opened where a new entry starts
    test::focus(screen->ctlNrSectie->widget());
    test::typeText(QStringLiteral("6"));
    test::pressKey(Qt::Key_Tab);
    ASSERT_EQ(mask(), 6);
    test::click(screen->cmdButton(1));
    EXPECT_EQ(number("NrSectie"), 0);
    EXPECT_EQ(number("IdSpital"), 1);  // the defaults again
    EXPECT_FALSE(flag("IsDirty"));
    EXPECT_EQ(mask(), 72);
    EXPECT_EQ(screen->newEntries, 2);
    EXPECT_TRUE(screen->cmbSectie->widget()->isAncestorOf(QApplication::focusWidget()) ||
                screen->cmbSectie->widget() == QApplication::focusWidget());

    screen->ItemSelectat(2, "");
    test::click(screen->cmdButton(3));
    EXPECT_TRUE(flag("IsNew"));
    EXPECT_EQ(number("IdSectie"), -1);
    EXPECT_EQ(screen->cmbSectie->get("ListIndex").toLong(), -1);
    EXPECT_EQ(mask(), 72);
    EXPECT_EQ(screen->newEntries, 3);
}

TEST_F(EditScreenBase, ALoadThatFailsKeepsTheObjectOnScreen) {
    screen->ItemSelectat(2, "");
    const com::ComPtr<com::IDispatch> shown = screen->object();
    boxes.clear();
    test::whileLocked(database(), "BEGIN EXCLUSIVE", [&] { screen->ItemSelectat(5, ""); });
    ASSERT_EQ(boxes.shown().size(), 1u);
    EXPECT_TRUE(test::isErrorReport(boxes.shown()[0], "frmProba", "ItemSelectat"));
    EXPECT_EQ(screen->object().get(), shown.get());
    EXPECT_EQ(number("IdSectieFiltrat"), 2);
    EXPECT_EQ(mask(), 120);
    // The screen goes on working with it.
    test::focus(screen->ctlNrSectie->widget());
    test::typeText(QStringLiteral("3"));
    test::pressKey(Qt::Key_Tab);
    EXPECT_TRUE(flag("IsDirty"));
    EXPECT_EQ(mask(), 6);
}

TEST_F(EditScreenBase, AValueTheObjectRefusesIsReportedAndTheFieldShowsWhatIsStored) {
    test::focus(screen->ctlNrSectie->widget());
    test::typeText(QStringLiteral("99999999999"));  // beyond a ward number's range
    test::pressKey(Qt::Key_Tab);
    ASSERT_EQ(boxes.shown().size(), 1u);
    EXPECT_TRUE(test::isErrorReport(boxes.shown()[0], "frmProba", "ctlNrSectie_Validate"));
    EXPECT_EQ(screen->ctlNrSectie->get("Valoare").toLong(), 0);
    EXPECT_EQ(number("NrSectie"), 0);
}

// Closing with a value typed asks first; closed, the screen reports nothing of its fields.
TEST_F(EditScreenBase, ClosingTheWindowTakesNothingMoreFromItsFields) {
    test::focus(screen->ctlNrSectie->widget());
    test::typeText(QStringLiteral("99999999999"));
    boxes.answer(velmora::MsgAnswer::Yes);
    static_cast<QMdiSubWindow*>(screen->parentWidget())->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(boxes.texts(),
              std::vector<std::string>{"Modificarile nesalvate se vor pierde.\r\nDoriti sa inchideti fereastra?"});
    EXPECT_TRUE(mainWindow()->mdiArea()->subWindowList().empty());
}

}  // namespace
