// The Num Lock and Caps Lock reader on a real X server (a private Xvfb): it reads what the
// server's keyboard state says, and nothing where there is no server.
#include <gtest/gtest.h>

#include <QProcess>
#include <QStandardPaths>

#include <X11/XKBlib.h>
#include <X11/keysym.h>

#include <memory>

#include "shell/lockkeys.h"

namespace {

class PrivateXServer {
public:
    PrivateXServer() {
        const QString program = QStandardPaths::findExecutable(QStringLiteral("Xvfb"));
        if (program.isEmpty()) return;
        // The server picks a free display and writes its number on standard output.
        server_.start(program, {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-noreset"),
                                QStringLiteral("-screen"), QStringLiteral("0"), QStringLiteral("640x480x24")});
        if (!server_.waitForStarted(5000)) return;
        while (!server_.canReadLine() && server_.waitForReadyRead(10000)) {}
        const QByteArray number = server_.readLine().trimmed();
        if (!number.isEmpty()) name_ = ":" + number.toStdString();
    }
    ~PrivateXServer() {
        if (server_.state() == QProcess::NotRunning) return;
        server_.terminate();
        server_.waitForFinished(5000);
    }
    const std::string& name() const { return name_; }

private:
    QProcess server_;
    std::string name_;
};

TEST(LockKeys, TheXkbReaderFollowsTheServersLocks) {
    PrivateXServer server;
    if (server.name().empty()) GTEST_SKIP() << "no Xvfb to test on";
    std::unique_ptr<Display, decltype(&XCloseDisplay)> display(XOpenDisplay(server.name().c_str()), &XCloseDisplay);
    ASSERT_TRUE(display);
    const unsigned int numLock = XkbKeysymToModifiers(display.get(), XK_Num_Lock);
    ASSERT_NE(numLock, 0u);
    const auto lock = [&](unsigned int locked) {
        XkbLockModifiers(display.get(), XkbUseCoreKbd, LockMask | numLock, locked);
        XSync(display.get(), False);
    };

    const velmora::LockKeyReader reader = velmora::xkbLockKeyReader(server.name());
    lock(LockMask);
    std::optional<velmora::LockKeys> keys = reader();
    ASSERT_TRUE(keys);
    EXPECT_TRUE(keys->capsLock);
    EXPECT_FALSE(keys->numLock);
    lock(numLock);
    keys = reader();
    ASSERT_TRUE(keys);
    EXPECT_FALSE(keys->capsLock);
    EXPECT_TRUE(keys->numLock);
}

TEST(LockKeys, NoServerReadsNothing) {
    EXPECT_FALSE(velmora::xkbLockKeyReader(":4999")());
    EXPECT_FALSE(velmora::platformLockKeyReader()());  // the tests' platform is offscreen
}

}  // namespace
