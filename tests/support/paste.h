#pragma once
// The ways text enters a line edit besides its keys, each as the user takes it: by the
// paste keys, from the context menu, by a drop, from an input method and from the X11
// primary selection by the middle button.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDropEvent>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QTest>

namespace paste {

// The ways text enters a line edit besides its keys, each as the user takes it; the text
// goes in at the caret (a drop: at the end of the text).
// Shift+Insert: Ctrl+V is a typed control character, which the keys of a field may swallow.
inline void pasteByShortcut(QLineEdit* box, const QString& text) {
    QGuiApplication::clipboard()->setText(text);
    QTest::keyClick(box, Qt::Key_Insert, Qt::ShiftModifier);
}
inline void pasteFromContextMenu(QLineEdit* box, const QString& text) {
    QGuiApplication::clipboard()->setText(text);
    const QPoint at = box->rect().center();
    QContextMenuEvent event(QContextMenuEvent::Mouse, at, box->mapToGlobal(at));
    QApplication::sendEvent(box, &event);
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    ASSERT_TRUE(menu) << "no context menu";
    QAction* paste = nullptr;
    for (QAction* action : menu->actions())
        if (action->text().remove(u'&').startsWith(QStringLiteral("Paste"))) paste = action;
    ASSERT_TRUE(paste) << "no Paste in the context menu";
    paste->trigger();
    menu->close();
    QCoreApplication::processEvents();
}
inline void dropText(QLineEdit* box, const QString& text) {
    QMimeData data;
    data.setText(text);
    const QPoint at(box->width() - 2, box->height() / 2);
    QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(box, &enter);
    QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(box, &drop);
}
inline void commitFromInputMethod(QLineEdit* box, const QString& text) {
    QInputMethodEvent event;
    event.setCommitString(text);
    QApplication::sendEvent(box, &event);
}
// The X11 primary selection pasted by the middle button; false where the platform has
// no primary selection (the offscreen platform).
inline bool pasteFromPrimarySelection(QLineEdit* box, const QString& text) {
    if (!QGuiApplication::clipboard()->supportsSelection()) return false;
    QGuiApplication::clipboard()->setText(text, QClipboard::Selection);
    const QPoint at(box->width() - 2, box->height() / 2);
    QTest::mouseClick(box, Qt::MiddleButton, Qt::NoModifier, at);
    return true;
}

}  // namespace paste
