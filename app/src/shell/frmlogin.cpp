#include "shell/frmlogin.h"

#include <QCoreApplication>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "shell/globalui.h"
#include "forms/hostedcontrol.h"
#include "errors/messages.h"
#include "shell/singleinstance.h"
#include "typelib/enter_key.h"
#include "typelib/quillon.h"

namespace velmora {
namespace {

QPushButton* namedButton(const QString& caption, const QString& name, QWidget* parent) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(name);
    return button;
}

}  // namespace

frmLogin::frmLogin(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmLogin"));
    setWindowTitle(QStringLiteral("Login"));

    picLogin_ = new QFrame(this);
    picLogin_->setObjectName(QStringLiteral("picLogin"));
    picLogin_->setFrameShape(QFrame::StyledPanel);
    auto* grid = new QGridLayout(picLogin_);

    auto* label57 = new QLabel(QStringLiteral(" Utilizator:"), picLogin_);
    label57->setObjectName(QStringLiteral("Label57"));
    ctlUser_ = HostedControl::create(quillon::control_personal::ProgId, picLogin_, QStringLiteral("ctlUser"));
    ctlUser_->widget()->setMinimumWidth(180);

    auto* label1 = new QLabel(QStringLiteral(" Parola:"), picLogin_);
    label1->setObjectName(QStringLiteral("Label1"));
    txtPassword_ = new QLineEdit(picLogin_);
    txtPassword_->setObjectName(QStringLiteral("txtPassword"));
    txtPassword_->setEchoMode(QLineEdit::Password);
    txtPassword_->setStyleSheet(QStringLiteral("lineedit-password-character: 42;"));
    txtPassword_->installEventFilter(this);

    grid->addWidget(label57, 0, 0);
    grid->addWidget(ctlUser_->widget(), 0, 1);
    grid->addWidget(label1, 1, 0);
    grid->addWidget(txtPassword_, 1, 1);

    cmdAccepta_ = namedButton(QStringLiteral("Accepta"), QStringLiteral("cmdAccepta"), this);
    cmdRenunta_ = namedButton(QStringLiteral("Renunta"), QStringLiteral("cmdRenunta"), this);
    connect(cmdAccepta_, &QPushButton::clicked, this, &frmLogin::accepta);
    connect(cmdRenunta_, &QPushButton::clicked, this, &frmLogin::renunta);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdAccepta_);
    buttons->addWidget(cmdRenunta_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(picLogin_);
    layout->addLayout(buttons);

    setTabOrder(ctlUser_->widget(), txtPassword_);
    setTabOrder(txtPassword_, cmdAccepta_);
    setTabOrder(cmdAccepta_, cmdRenunta_);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

int frmLogin::exec() {
    if (!SingleInstance::acquire()) {
        instanceRefused_ = true;
        showInfo(
            "Aplicatia nu permite folosirea mai multor instante ale sale simultan.\r\n"
            "Folositi instanta curenta, sau in cazul in care aceasta este blocata, distrugeti-o din TaskBar si "
            "apoi reveniti.");
        return QDialog::Rejected;
    }
    return QDialog::exec();
}

bool frmLogin::eventFilter(QObject* watched, QEvent* event) {
    if (watched == txtPassword_ && event->type() == QEvent::KeyPress) {
        if (quillon::isEnter(*static_cast<QKeyEvent*>(event))) {
            // Enter moves the focus on as Tab does; the key itself goes on as well.
            QCoreApplication::postEvent(txtPassword_, new QKeyEvent(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier));
        }
    }
    return QDialog::eventFilter(watched, event);
}

void frmLogin::accepta() {
    const std::string user = ctlUser_->asEntry().valoare().toString();
    const std::string password = txtPassword_->text().toStdString();
    if (user.empty() || password.empty()) {
        showInfo("Date incomplete cu privire la rularea aplicatiei.");
        continua_ = false;
    } else {
        GlobalUI::Session& s = GlobalUI::session();
        s.account().gUser = user;
        s.account().gPassword = password;
        continua_ = true;
    }
    done(continua_ ? QDialog::Accepted : QDialog::Rejected);
}

void frmLogin::renunta() {
    continua_ = false;
    done(QDialog::Rejected);
}

}  // namespace velmora
