#pragma once
// A logged-in session on a real sample database (the sample hospital, id 1, in county 13,
// with eight wards and their cost sheets), with the main window shown and active, so that
// screens open from their menu items and take the focus as they do for a user; and what
// the screen tests share to drive them and read them back.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>

#include <QApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMessageBox>
#include <QTest>
#include <QTreeWidget>

#include "forms/editscreen.h"
#include "forms/hostedcontrol.h"
#include "shell/frmmain.h"
#include "support.h"

namespace test {

class ScreenSession : public ::testing::Test {
protected:
    void SetUp() override { start("13", "1"); }
    void TearDown() override;

    // Starts the session with the configured county and hospital ("-1" for none), the
    // export and backup folders being the data folder.
    void start(const std::string& judet, const std::string& spital, bool withSample = true);
    // The steps of a start, for a fixture that sets more up between them: a fresh session
    // reading the program folder, with a fresh database in the data folder (MyPath names it);
    // Init.xml written from `values` with the county and hospital; the sample account
    // logged in, with the main window shown and active.
    void install(bool withSample = true);
    void configure(const std::string& judet, const std::string& spital);
    void logIn();
    velmora::frmMain* mainWindow() const;
    std::filesystem::path database() const { return data / kDatabase; }
    std::filesystem::path initFile() const { return program / "Init.xml"; }

    // Opens the menu item's screen and returns its form (nullptr when none opened).
    template <class Screen>
    Screen* open(const char* menuName) {
        QAction* item = mainWindow()->menuItem(QString::fromLatin1(menuName));
        EXPECT_TRUE(item && item->isEnabled()) << menuName;
        if (!item) return nullptr;
        item->trigger();
        QMdiSubWindow* window = mainWindow()->mdiArea()->activeSubWindow();
        return window ? qobject_cast<Screen*>(window->widget()) : nullptr;
    }

    TempFolder program;
    TempFolder data;
    InitFile values;
    MessageScript boxes;
};

// Runs `action` while another program holds the database: "BEGIN IMMEDIATE" (it is writing,
// so no one else may write) or "BEGIN EXCLUSIVE" (no one else may even read).
void whileLocked(const std::filesystem::path& database, const char* begin, const std::function<void()>& action);
// The box is an error report of that module's procedure.
::testing::AssertionResult isErrorReport(const velmora::MessageRequest& box, const std::string& module,
                                         const std::string& procedure);

// Gives the widget the focus as a click or Tab would, and the keys go where the focus is.
void focus(QWidget* widget);
void typeText(const QString& text);
void pressKey(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
// A click of the mouse as the user makes it (the press moves the focus first).
void click(QWidget* widget);
// Gives the keyed combo the focus and picks the row of that key with the Down key.
void pickWithKeys(velmora::HostedControl& combo, int32_t key);
// True when the focus is in the widget or one of its parts.
bool hasFocus(QWidget* widget);
// The enabled buttons of an edit screen's bar: bit i + 1 for button i.
int buttonMask(const velmora::EditScreen& screen);

// The row of a selection list whose first column is `id`, -1 when none.
int rowWithId(const QTreeWidget& list, int64_t id);
// Chooses a row of a list as the user does: the first click of the pair selects it, the
// second one is the double click.
void doubleClickRow(QTreeWidget& list, QTreeWidgetItem* item);

// Runs `action` with the message boxes on the screen, as the user meets them, and answers
// the first one that shows with `answer` (closing it if the answer left it open); gives
// its text, "" when none showed.
std::string answerOnScreen(const std::function<void()>& action, const std::function<void(QMessageBox&)>& answer);

}  // namespace test
