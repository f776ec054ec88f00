#include "screen_session.h"

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
    s.gUser = kUser;
    s.gPassword = kPassword;
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

velmora::frmMain* ScreenSession::mainWindow() const { return GlobalUI::session().gfrmMain.data(); }

void whileLocked(const std::filesystem::path& database, const char* begin, const std::function<void()>& action) {
    rawdb::RawDb other = rawdb::openRaw(database, SQLITE_OPEN_READWRITE);
    rawdb::rawExec(other.get(), begin);
    action();
}

::testing::AssertionResult isErrorReport(const velmora::MessageRequest& box, const std::string& module,
                                         const std::string& procedure) {
    if (box.icon != velmora::MsgIcon::Critical) return ::testing::AssertionFailure() << "not an error box: " << box.text;
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

}  // namespace test
