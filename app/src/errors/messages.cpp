#include "errors/messages.h"

#include <QApplication>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QString>

#include <utility>

namespace velmora {
namespace {

MessageHandler& installed() {
    static MessageHandler handler;
    return handler;
}

QMessageBox::Icon toQt(MsgIcon icon) {
    switch (icon) {
    case MsgIcon::Information: return QMessageBox::Information;
    case MsgIcon::Critical: return QMessageBox::Critical;
    case MsgIcon::Exclamation: return QMessageBox::Warning;
    case MsgIcon::None: break;
    }
    return QMessageBox::NoIcon;
}

// The window a box was shown over gets the keys back when the box closes, also where no
// window manager hands them back.
class GivesKeysBack {
public:
    explicit GivesKeysBack(QWidget* window) : window_(window) {}
    ~GivesKeysBack() {
        if (window_ && window_->isVisible() && !window_->isActiveWindow()) window_->activateWindow();
    }
    GivesKeysBack(const GivesKeysBack&) = delete;
    GivesKeysBack& operator=(const GivesKeysBack&) = delete;

private:
    QPointer<QWidget> window_;
};

MsgAnswer showOnScreen(const MessageRequest& request) {
    QString text = QString::fromStdString(request.text);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    const GivesKeysBack keysBack(QApplication::activeWindow());
    QMessageBox box(toQt(request.icon), QString::fromStdString(request.title), text, QMessageBox::NoButton,
                    QApplication::activeWindow());
    if (request.buttons == MsgButtons::YesNo) {
        QPushButton* yes = box.addButton(QStringLiteral("Da"), QMessageBox::YesRole);
        QPushButton* no = box.addButton(QStringLiteral("Nu"), QMessageBox::NoRole);
        box.setDefaultButton(request.defaultNo ? no : yes);
        box.setEscapeButton(no);
        box.exec();
        return box.clickedButton() == yes ? MsgAnswer::Yes : MsgAnswer::No;
    }
    QPushButton* ok = box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
    box.setDefaultButton(ok);
    box.setEscapeButton(ok);
    box.exec();
    return MsgAnswer::Ok;
}

}  // namespace

MsgAnswer showMessage(const MessageRequest& request) {
    if (const MessageHandler& handler = installed()) return handler(request);
    return showOnScreen(request);
}

MessageHandler setMessageHandler(MessageHandler handler) { return std::exchange(installed(), std::move(handler)); }

void showInfo(const std::string& text) { showMessage({text, kTitle, MsgIcon::Information, MsgButtons::Ok}); }

bool askYesNo(const std::string& text, bool defaultNo) {
    return showMessage({text, kTitle, MsgIcon::Exclamation, MsgButtons::YesNo, defaultNo}) == MsgAnswer::Yes;
}

}  // namespace velmora
