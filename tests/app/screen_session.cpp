#include "screen_session.h"

#include <QPushButton>
#include <QTimer>

#include "../support/rawdb.h"
#include "shell/globalui.h"

namespace test {

void ScreenSession::start(const std::string& judet, const std::string& spital, bool withSample) {
    install(withSample);
    values.MyExport = data.path().string();
    values.MyBackup = data.path().string();
    configure(judet, spital);
    logIn();
}

void ScreenSession::install(bool withSample) {
    GlobalUI::resetSession();
    GlobalUI::setProgramFolder(program.path());
    // A restart with another configuration starts from fresh data as well.
    std::filesystem::remove(data / kDatabase);
    std::filesystem::remove(data / kWorkgroup);
    makeDatabase(data.path(), withSample);
    values.MyPath = data.path().string();
}

void ScreenSession::configure(const std::string& judet, const std::string& spital) {
    values.MyJudet = judet;
    values.MySpital = spital;
    writeText(initFile(), initText(values));
}

void ScreenSession::logIn() {
    GlobalUI::Session& s = GlobalUI::session();
    s.account().gUser = kUser;
    s.account().gPassword = kPassword;
    GlobalUI::OpenSession();
    velmora::frmMain* window = mainWindow();
    ASSERT_TRUE(window);
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));
}

void ScreenSession::TearDown() {
    if (velmora::frmMain* window = mainWindow()) {
        window->mdiArea()->closeAllSubWindows();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    GlobalUI::resetSession();
    GlobalUI::setProgramFolder({});
}

velmora::frmMain* ScreenSession::mainWindow() const { return GlobalUI::gfrmMain().data(); }

void whileLocked(const std::filesystem::path& database, const char* begin, const std::function<void()>& action) {
    rawdb::RawDb other = rawdb::openRaw(database, SQLITE_OPEN_READWRITE);
    rawdb::rawExec(other.get(), begin);
    action();
}

::testing::AssertionResult isErrorReport(const velmora::MessageRequest& box, const std::string& module,
                                         const std::string& procedure) {
    if (box.icon != velmora::MsgIcon::Critical)
        return ::testing::AssertionFailure() << "not an error box: " << box.text;
    if (box.text.find("Modulul: " + module + "\r\nSubrutina/Functia: " + procedure + "\r\n") == std::string::npos)
        return ::testing::AssertionFailure() << "not from " << module << "." << procedure << ": " << box.text;
    return ::testing::AssertionSuccess();
}

void focus(QWidget* widget) {
    // After a dialog closed the offscreen platform may leave no window active.
    if (!widget->window()->isActiveWindow()) {
        widget->window()->activateWindow();
        (void)QTest::qWaitForWindowActive(widget->window());
    }
    widget->setFocus(Qt::TabFocusReason);
    QCoreApplication::processEvents();
}

void typeText(const QString& text) { QTest::keyClicks(QApplication::focusWidget(), text); }

void pressKey(Qt::Key key, Qt::KeyboardModifiers modifiers) {
    QTest::keyClick(QApplication::focusWidget(), key, modifiers);
    QCoreApplication::processEvents();  // Enter moves on as Tab once the event loop runs
}

void click(QWidget* widget) {
    QTest::mouseClick(widget, Qt::LeftButton);
    QCoreApplication::processEvents();
}

void pickWithKeys(velmora::HostedControl& combo, int32_t key) {
    focus(combo.widget());
    const int32_t count = combo.get("ListCount").toLong();
    combo.put("ListIndex", com::Variant(int16_t{-1}));
    for (int32_t i = 0; i < count && combo.get("Cheie").toLong() != key; ++i) pressKey(Qt::Key_Down);
    ASSERT_EQ(combo.get("Cheie").toLong(), key);
}

bool hasFocus(QWidget* widget) {
    QWidget* focused = QApplication::focusWidget();
    return widget && focused && (focused == widget || widget->isAncestorOf(focused));
}

int buttonMask(const velmora::EditScreen& screen) {
    int value = 0;
    for (int i = 0; i < velmora::kButtonCount; ++i)
        if (screen.cmdButton(i)->isEnabled()) value |= 1 << (i + 1);
    return value;
}

int rowWithId(const QTreeWidget& list, int64_t id) {
    for (int i = 0; i < list.topLevelItemCount(); ++i)
        if (list.topLevelItem(i)->text(0).toLongLong() == id) return i;
    return -1;
}

void doubleClickRow(QTreeWidget& list, QTreeWidgetItem* item) {
    const QPoint at = list.visualItemRect(item).center();
    QTest::mouseClick(list.viewport(), Qt::LeftButton, Qt::NoModifier, at);
    QTest::mouseDClick(list.viewport(), Qt::LeftButton, Qt::NoModifier, at);
}

std::string answerOnScreen(const std::function<void()>& action, const std::function<void(QMessageBox&)>& answer) {
    const velmora::MessageHandler scripted = velmora::setMessageHandler({});
    std::string text;
    QTimer watcher;
    watcher.setInterval(20);
    QObject::connect(&watcher, &QTimer::timeout, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) return;
        watcher.stop();
        text = box->text().toStdString();
        answer(*box);
        if (box->isVisible()) box->reject();  // a failed check must not leave it open
    });
    watcher.start();
    action();
    velmora::setMessageHandler(scripted);
    return text;
}

}  // namespace test
