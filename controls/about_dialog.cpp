#include "about_dialog.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QFrame>
#include <QLabel>
#include <QVBoxLayout>

namespace quillon {

namespace {

class FrmAbout : public QDialog {
public:
    explicit FrmAbout(QWidget* parent) : QDialog(parent) {
        setObjectName(QStringLiteral("frmAbout"));
        setWindowTitle(QStringLiteral("Despre Control..."));
        setModal(true);
        auto* layout = new QVBoxLayout(this);
        auto* picture = new QFrame(this);  // the picture box that holds the labels
        picture->setObjectName(QStringLiteral("Picture1"));
        picture->setFrameShape(QFrame::StyledPanel);
        auto* inner = new QVBoxLayout(picture);
        auto* title = new QLabel(QStringLiteral("Quillon"), picture);
        QFont bold = title->font();
        bold.setBold(true);
        title->setFont(bold);
        auto* version = new QLabel(QStringLiteral("Versiune:"), picture);
        version->setObjectName(QStringLiteral("lblVersiune"));
        version->setText(version->text() + QStringLiteral(" ") + QString::number(QUILLON_VERSION_MAJOR));
        inner->addWidget(title);
        inner->addWidget(version);
        layout->addWidget(picture);
        auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
        connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
        layout->addWidget(buttons);
    }
};

}  // namespace

void showAboutBox(QWidget* parent) {
    FrmAbout form(parent ? parent->window() : nullptr);
    form.exec();
}

}  // namespace quillon
