#include "shell/helpwindow.h"

#include <QFileInfo>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

namespace velmora {

HelpWindow::HelpWindow(QWidget* owner) : QWidget(owner, Qt::Window) {
    setObjectName(QStringLiteral("helpWindow"));
    setWindowTitle(QStringLiteral("Ajutor Velmora"));
    browser_ = new QTextBrowser(this);
    browser_->setOpenExternalLinks(false);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(browser_);
    resize(760, 620);
}

bool HelpWindow::showFile(const std::filesystem::path& file) {
    const QFileInfo info(QString::fromStdString(file.string()));
    if (!info.isFile() || !info.isReadable()) return false;
    browser_->setSource(QUrl::fromLocalFile(info.absoluteFilePath()));
    if (browser_->document()->isEmpty()) return false;
    show();
    raise();
    activateWindow();
    return true;
}

}  // namespace velmora
