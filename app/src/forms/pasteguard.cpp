#include "forms/pasteguard.h"

#include <QAction>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QPointer>

namespace velmora {
namespace {

bool pastesPrimarySelection(const QLineEdit& edit, const QEvent& event) {
    if (event.type() != QEvent::MouseButtonPress && event.type() != QEvent::MouseButtonRelease) return false;
    return static_cast<const QMouseEvent&>(event).button() == Qt::MiddleButton && !edit.isReadOnly() &&
           QGuiApplication::clipboard()->supportsSelection();
}

}  // namespace

PasteGuard::PasteGuard(QObject* parent, std::function<bool(const QString& text)> refuses, std::function<void()> refused)
    : QObject(parent), refuses_(std::move(refuses)), refused_(std::move(refused)) {}

bool PasteGuard::refuse(const QString& text) const {
    if (!refuses_(text)) return false;
    refused_();
    return true;
}

void PasteGuard::guard(QLineEdit* edit) { edit->installEventFilter(this); }

bool PasteGuard::eventFilter(QObject* watched, QEvent* event) {
    auto* edit = qobject_cast<QLineEdit*>(watched);
    if (!edit) return false;
    switch (event->type()) {
    case QEvent::KeyPress: {
        // Ctrl+V types a control character, which the keys of the field judge themselves.
        const auto* key = static_cast<QKeyEvent*>(event);
        if (!key->matches(QKeySequence::Paste) || !key->text().isEmpty() || edit->isReadOnly()) return false;
        return refuse(QGuiApplication::clipboard()->text());
    }
    case QEvent::ContextMenu: showContextMenu(*edit, static_cast<QContextMenuEvent*>(event)->globalPos()); return true;
    case QEvent::MouseButtonPress:
        // The press would move the caret to where the refused text was to go.
        return pastesPrimarySelection(*edit, *event) &&
               refuses_(QGuiApplication::clipboard()->text(QClipboard::Selection));
    case QEvent::MouseButtonRelease:
        return pastesPrimarySelection(*edit, *event) &&
               refuse(QGuiApplication::clipboard()->text(QClipboard::Selection));
    case QEvent::DragEnter:
        // A drag over the text moves the caret along: a refused drop puts it back.
        caretBeforeDrag_ = edit->cursorPosition();
        return false;
    case QEvent::Drop: {
        auto* drop = static_cast<QDropEvent*>(event);
        if (!drop->mimeData() || !drop->mimeData()->hasText() || !refuse(drop->mimeData()->text())) return false;
        drop->ignore();
        QDragLeaveEvent leave;  // the drop caret goes away
        QCoreApplication::sendEvent(edit, &leave);
        edit->setCursorPosition(caretBeforeDrag_);
        return true;
    }
    default: return false;
    }
}

// The line edit's own menu, its "Paste" judged first.
void PasteGuard::showContextMenu(QLineEdit& edit, const QPoint& at) {
    QMenu* menu = edit.createStandardContextMenu();
    menu->setAttribute(Qt::WA_DeleteOnClose);
    // The item as the line edit names it, in the program's language ("&Paste\tCtrl+V").
    const QString caption = QCoreApplication::translate("QLineEdit", "&Paste");
    for (QAction* paste : menu->actions()) {
        if (!paste->text().startsWith(caption)) continue;
        QObject::disconnect(paste, &QAction::triggered, &edit, nullptr);
        connect(paste, &QAction::triggered, &edit, [this, target = QPointer<QLineEdit>(&edit)] {
            if (target && !refuse(QGuiApplication::clipboard()->text())) target->paste();
        });
    }
    menu->popup(at);
}

}  // namespace velmora
