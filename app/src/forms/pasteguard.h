#pragma once
// Text pasted into a line edit, judged before the line edit takes it, whichever way the
// user pastes: the keys (Shift+Insert), the context menu's "Paste", the middle button's
// primary selection, or a drop. A paste the judge refuses does not happen.
#include <functional>

#include <QObject>
#include <QString>

class QLineEdit;

namespace velmora {

class PasteGuard final : public QObject {
public:
    // `refuses(text)` answers whether `text` may not be pasted; `refused()` tells the user
    // of a paste refused.
    PasteGuard(QObject* parent, std::function<bool(const QString& text)> refuses, std::function<void()> refused);

    void guard(QLineEdit* edit);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void showContextMenu(QLineEdit& edit, const QPoint& at);
    // True (the paste refused and the user told) when `text` may not be pasted.
    bool refuse(const QString& text) const;

    std::function<bool(const QString&)> refuses_;
    std::function<void()> refused_;
    int caretBeforeDrag_ = 0;
};

}  // namespace velmora
