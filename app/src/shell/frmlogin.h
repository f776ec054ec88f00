#pragma once
// The first window of a run: refuses a second instance, takes the user name and password.
#include <QDialog>

class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;

namespace velmora {

class HostedControl;

class frmLogin final : public QDialog {
    Q_OBJECT
public:
    explicit frmLogin(QWidget* parent = nullptr);

    // True only after "Accepta" with a user name and a password.
    bool Continua() const { return continua_; }
    // True when the load found another instance running (the run must end at once).
    bool instanceRefused() const { return instanceRefused_; }

    // Refuses a second instance before showing itself.
    int exec() override;

    HostedControl* ctlUser() const { return ctlUser_; }
    QLineEdit* txtPassword() const { return txtPassword_; }
    QPushButton* cmdAccepta() const { return cmdAccepta_; }
    QPushButton* cmdRenunta() const { return cmdRenunta_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void accepta();
    void renunta();

    QFrame* picLogin_;
    HostedControl* ctlUser_;
    QLineEdit* txtPassword_;
    QPushButton* cmdAccepta_;
    QPushButton* cmdRenunta_;
    bool continua_ = false;
    bool instanceRefused_ = false;
};

}  // namespace velmora
