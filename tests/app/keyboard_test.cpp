// The Windows keyboard on every form: Enter on a focused button, Enter in a field, Esc on a
// form without a cancel button, the menu bar from the keyboard; and the main window's
// status bar on a 1024 x 768 screen with the lock keys' state.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTest>
#include <QVBoxLayout>

#include "shell/frmmain.h"
#include "shell/globalui.h"
#include "shell/statusbar.h"
#include "../support/wheel.h"
#include "support.h"

namespace {

// A dialog built as Qt builds one by default: buttons left as they come.
struct PlainDialog {
    QDialog dialog;
    QLineEdit* field = new QLineEdit(&dialog);
    QPushButton* first = new QPushButton(QStringLiteral("Accepta"), &dialog);
    QPushButton* second = new QPushButton(QStringLiteral("Renunta"), &dialog);
    int firstClicks = 0;
    int secondClicks = 0;

    PlainDialog() {
        auto* layout = new QVBoxLayout(&dialog);
        layout->addWidget(field);
        layout->addWidget(first);
        layout->addWidget(second);
        QObject::connect(first, &QPushButton::clicked, [this] { ++firstClicks; });
        QObject::connect(second, &QPushButton::clicked, [this] { ++secondClicks; });
        dialog.show();
        dialog.activateWindow();
        (void)QTest::qWaitForWindowActive(&dialog);
    }
};

TEST(WindowsKeyboard, EnterPressesTheFocusedButtonAndNoOther) {
    PlainDialog form;
    form.field->setFocus();
    QTest::keyClick(form.field, Qt::Key_Return);
    QTest::keyClick(form.field, Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_EQ(form.firstClicks + form.secondClicks, 0);  // a field never presses a button
    EXPECT_TRUE(form.dialog.isVisible());

    form.second->setFocus();
    QTest::keyClick(form.second, Qt::Key_Return);
    EXPECT_EQ(form.secondClicks, 1);
    QTest::keyClick(form.second, Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_EQ(form.secondClicks, 2);
    QTest::keyClick(form.second, Qt::Key_Space);
    EXPECT_EQ(form.secondClicks, 3);
    EXPECT_EQ(form.firstClicks, 0);

    form.second->setEnabled(false);
    form.first->setFocus();
    QTest::keyClick(form.first, Qt::Key_Return, Qt::ControlModifier);  // not a plain Enter
    EXPECT_EQ(form.firstClicks, 0);

    // A button made the default one on purpose keeps its meaning.
    form.first->setDefault(true);
    form.field->setFocus();
    QTest::keyClick(form.field, Qt::Key_Return);
    EXPECT_EQ(form.firstClicks, 1);
}

TEST(WindowsKeyboard, EscapeCancelsTheFileAndPrintDialogs) {
    QFileDialog files;
    files.setOption(QFileDialog::DontUseNativeDialog);
    files.show();
    ASSERT_NE(files.focusWidget(), nullptr);
    QTest::keyClick(files.focusWidget(), Qt::Key_Escape);
    EXPECT_FALSE(files.isVisible());
    EXPECT_EQ(files.result(), QDialog::Rejected);

    QPrinter printer;
    QPrintDialog print(&printer);
    print.show();
    QTest::keyClick(print.focusWidget() ? print.focusWidget() : static_cast<QWidget*>(&print), Qt::Key_Escape);
    EXPECT_FALSE(print.isVisible());
}

TEST(WindowsKeyboard, EscapeClosesNoFormButReachesItsControls) {
    PlainDialog form;
    int escapesSeen = 0;
    struct Watcher : QObject {
        int* seen;
        explicit Watcher(int* s) : seen(s) {}
        bool eventFilter(QObject*, QEvent* event) override {
            if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) ++*seen;
            return false;
        }
    } watcher(&escapesSeen);
    form.field->installEventFilter(&watcher);
    form.field->setFocus();
    QTest::keyClick(form.field, Qt::Key_Escape);
    form.second->setFocus();
    QTest::keyClick(form.second, Qt::Key_Escape);
    EXPECT_TRUE(form.dialog.isVisible());
    EXPECT_EQ(form.dialog.result(), QDialog::Rejected);
    EXPECT_EQ(escapesSeen, 1);  // the control itself still gets the key
    form.dialog.close();        // the close box still closes it
    EXPECT_FALSE(form.dialog.isVisible());
}

// A Qt combo on a page that scrolls: a pointer passing over it while the user types
// elsewhere scrolls the page and changes no choice; once it has the focus the wheel picks.
TEST(WindowsKeyboard, TheWheelChangesAComboOnlyWhileItHasTheFocus) {
    QScrollArea area;
    auto* page = new QWidget;
    page->setFixedSize(300, 2000);
    auto* field = new QLineEdit(page);
    field->setGeometry(10, 10, 200, 24);
    auto* combo = new QComboBox(page);
    combo->setGeometry(10, 50, 200, 24);
    combo->addItems({QStringLiteral("Ianuarie"), QStringLiteral("Februarie"), QStringLiteral("Martie")});
    combo->setCurrentIndex(1);
    area.setWidget(page);
    area.resize(320, 300);
    area.show();
    area.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&area));
    field->setFocus(Qt::TabFocusReason);
    QSignalSpy picked(combo, &QComboBox::activated);

    wheel::turnOver(combo, -1);
    EXPECT_EQ(combo->currentIndex(), 1);
    EXPECT_EQ(picked.count(), 0);
    EXPECT_EQ(QApplication::focusWidget(), field);
    EXPECT_GT(area.verticalScrollBar()->value(), 0);  // the page under it scrolled

    area.verticalScrollBar()->setValue(0);
    combo->setFocus(Qt::TabFocusReason);
    wheel::turnOver(combo, -1);
    EXPECT_EQ(combo->currentIndex(), 2);
    EXPECT_EQ(picked.count(), 1);
    EXPECT_EQ(area.verticalScrollBar()->value(), 0);
}

class MainWindowKeyboard : public ::testing::Test {
protected:
    void SetUp() override {
        GlobalUI::resetSession();
        auto& s = GlobalUI::session();
        s.account().gUser = "operator";
        test::reconfigure([](GlobalUI::Configuration::Place& place, GlobalUI::Configuration::Folders&) {
            place.idJudet = place.idSpital = -1;
        });
        GlobalUI::gfrmMain() = new velmora::frmMain();
        GlobalUI::gfrmMain()->show();
        GlobalUI::gfrmMain()->activateWindow();
        (void)QTest::qWaitForWindowActive(GlobalUI::gfrmMain());
    }
    void TearDown() override { GlobalUI::resetSession(); }

    velmora::frmMain& window() { return *GlobalUI::gfrmMain(); }
    QMenuBar* bar() { return window().menuBar(); }
    QWidget* focused() { return QApplication::focusWidget() ? QApplication::focusWidget() : &window(); }
    // Whether the bar paints that menu's title in the selection colour.
    bool showsHighlight(QAction* menu) {
        const QImage image = bar()->grab().toImage();
        const QRect place = bar()->actionGeometry(menu);
        const QRgb highlight = bar()->palette().color(QPalette::Highlight).rgb();
        int matching = 0;
        for (int y = place.top(); y <= place.bottom(); ++y)
            for (int x = place.left(); x <= place.right(); ++x)
                if (image.pixel(x * image.width() / bar()->width(), y * image.height() / bar()->height()) == highlight)
                    ++matching;
        return matching > place.width() * place.height() / 4;
    }

    test::MessageScript boxes;
};

TEST_F(MainWindowKeyboard, AltAloneOrF10TakesTheMenuBarArrowsMoveEnterRunsEscLeaves) {
    window().mdiArea()->setFocus();
    QTest::keyPress(focused(), Qt::Key_Alt, Qt::AltModifier);
    QTest::keyRelease(focused(), Qt::Key_Alt, Qt::NoModifier);
    ASSERT_TRUE(bar()->hasFocus());
    ASSERT_NE(bar()->activeAction(), nullptr);
    EXPECT_EQ(bar()->activeAction()->text(), QStringLiteral("Date"));
    QTest::keyClick(bar(), Qt::Key_Right);
    EXPECT_EQ(bar()->activeAction()->text(), QStringLiteral("Rapoarte"));
    QTest::keyClick(bar(), Qt::Key_Right);
    EXPECT_EQ(bar()->activeAction()->text(), QStringLiteral("Administrare"));
    // The user sees which menu is selected, before any list opens.
    EXPECT_TRUE(showsHighlight(bar()->activeAction()));
    EXPECT_FALSE(showsHighlight(bar()->actions().at(0)));
    QTest::keyClick(bar(), Qt::Key_Left);
    QTest::keyClick(bar(), Qt::Key_Left);
    EXPECT_EQ(bar()->activeAction()->text(), QStringLiteral("Date"));
    QTest::keyClick(bar(), Qt::Key_Escape);
    EXPECT_EQ(bar()->activeAction(), nullptr);
    EXPECT_FALSE(bar()->hasFocus());

    // F10 does the same; Down opens the menu, the arrows walk it and Enter runs the item.
    window().mdiArea()->setFocus();
    QTest::keyClick(focused(), Qt::Key_F10);
    ASSERT_TRUE(bar()->hasFocus());
    EXPECT_EQ(bar()->activeAction()->text(), QStringLiteral("Date"));
    QTest::keyClick(bar(), Qt::Key_Right);
    QTest::keyClick(bar(), Qt::Key_Right);
    QTest::keyClick(bar(), Qt::Key_Down);
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(menu->objectName(), QStringLiteral("mnuAdministrare"));
    QSignalSpy backup(window().menuItem(QStringLiteral("mnuBackup")), &QAction::triggered);
    if (menu->activeAction() == nullptr || menu->activeAction()->objectName() != QStringLiteral("mnuBackup"))
        QTest::keyClick(menu, Qt::Key_Down);  // past the items that are not enabled
    ASSERT_NE(menu->activeAction(), nullptr);
    EXPECT_EQ(menu->activeAction()->objectName(), QStringLiteral("mnuBackup"));
    QTest::keyClick(menu, Qt::Key_Return);
    EXPECT_EQ(backup.count(), 1);
    EXPECT_EQ(boxes.shown().size(), 1u);  // no connection in this test: the backup reports it
    // Every caption stays as it is: no access keys.
    for (QAction* action : bar()->actions()) EXPECT_FALSE(action->text().contains(QLatin1Char('&')));
}

TEST_F(MainWindowKeyboard, TheWholeStatusBarShowsOn1024By768) {
    auto& s = GlobalUI::session();
    test::reconfigure([](GlobalUI::Configuration::Place& place, GlobalUI::Configuration::Folders&) {
        place.denJudet = "Caras-Severin";
        place.idSpital = 7;
        place.codSpital = "SPITALUL-JUDETEAN-DE-URGENTA-RESITA-CU-UN-COD-LUNG";
    });
    window().refreshJudetSpital();
    EXPECT_LE(window().minimumSizeHint().width(), 1024);
    window().resize(1024, 768);
    QCoreApplication::processEvents();
    EXPECT_EQ(window().width(), 1024);
    velmora::StatusPanels* panels = window().sBar();
    for (int panel = 1; panel <= velmora::StatusPanels::kPanelCount; ++panel) {
        const QRect place = panels->panel(panel)->geometry();
        EXPECT_LE(place.right(), panels->width()) << panel;
        if (panel == 5) continue;
        const auto* label = static_cast<QLabel*>(panels->panel(panel));
        EXPECT_GE(label->contentsRect().width(), label->fontMetrics().horizontalAdvance(label->text())) << panel;
    }
    const auto* judetSpital = static_cast<QLabel*>(panels->panel(5));
    EXPECT_TRUE(judetSpital->text().endsWith(QChar(0x2026))) << judetSpital->text().toStdString();
    EXPECT_EQ(panels->panelText(5).toStdString(), "Judetul: Caras-Severin---" + s.config().gCodSpital());

    // At the design width every panel has its starting width and the text shows whole.
    window().resize(1400, 768);
    QCoreApplication::processEvents();
    EXPECT_EQ(panels->panel(1)->width(), 1235 / 15);
    EXPECT_EQ(panels->panel(6)->width(), 3441 / 15);
    EXPECT_EQ(panels->panel(3)->width(), 200);  // 2999 twips, to the nearest pixel as every length
    EXPECT_EQ(judetSpital->text(), panels->panelText(5));

    // A common county and code shows whole in a narrower window too: the other panels give
    // way to their own text before it elides.
    test::reconfigure(
        [](GlobalUI::Configuration::Place& place, GlobalUI::Configuration::Folders&) { place.codSpital = "SJU01"; });
    window().refreshJudetSpital();
    for (const int width : {1024, 800}) {
        window().resize(width, 700);
        QCoreApplication::processEvents();
        EXPECT_EQ(judetSpital->text(), panels->panelText(5)) << width;
        for (int panel = 1; panel <= velmora::StatusPanels::kPanelCount; ++panel) {
            const auto* label = static_cast<QLabel*>(panels->panel(panel));
            EXPECT_GE(label->contentsRect().width(), label->fontMetrics().horizontalAdvance(label->text()))
                << width << " " << panel;
        }
    }
}

TEST_F(MainWindowKeyboard, LockKeyPanelsFollowTheKeysAndAreGreyedWithoutAWayToReadThem) {
    velmora::StatusPanels* panels = window().sBar();
    EXPECT_FALSE(panels->panel(1)->isEnabled());  // offscreen: no way to read them
    EXPECT_FALSE(panels->panel(2)->isEnabled());
    EXPECT_EQ(panels->panelText(1).toStdString(), "NUM");
    EXPECT_EQ(panels->panelText(2).toStdString(), "CAPS");

    velmora::LockKeys keys{true, false};
    panels->setLockKeyReader([&keys] { return std::optional<velmora::LockKeys>(keys); });
    EXPECT_TRUE(panels->panel(1)->isEnabled());
    EXPECT_FALSE(panels->panel(2)->isEnabled());
    keys = {false, true};
    QTest::keyClick(focused(), Qt::Key_CapsLock);  // a key event refreshes them
    EXPECT_FALSE(panels->panel(1)->isEnabled());
    EXPECT_TRUE(panels->panel(2)->isEnabled());
    keys = {true, true};  // so does the status bar's clock
    EXPECT_TRUE(test::processUntil([panels] { return panels->panel(1)->isEnabled(); }));
    panels->setLockKeyReader([] { return std::optional<velmora::LockKeys>(); });
    EXPECT_FALSE(panels->panel(1)->isEnabled());
    EXPECT_FALSE(panels->panel(2)->isEnabled());
}

}  // namespace
