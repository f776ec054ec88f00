#pragma once
// The inner widgets of the controls: a line edit, a date picker and a picture that
// report their keys, focus and clicks to the control through hooks.
#include <functional>
#include <limits>

#include <QDateTimeEdit>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>

#include "com/date.h"

namespace quillon {

// An Automation date as the date pickers hold it, and back.
com::Date toDate(const QDateTime& value);
QDateTime toDateTime(com::Date value);

// Hooks of an inner widget. `keyPress` runs before the widget sees the key and returns
// true to consume it; the focus hooks run after the widget's own handling.
struct InnerHooks {
    std::function<bool(QKeyEvent*)> keyPress;
    std::function<void()> focusIn;
    std::function<void()> focusOut;
    std::function<void()> click;
};

template <class Widget>
class Hooked : public Widget {
public:
    using Widget::Widget;
    InnerHooks hooks;
    // Why the focus last came or went (Tab, a click, the window's activation, a popup).
    Qt::FocusReason focusReason() const { return focusReason_; }

protected:
    void keyPressEvent(QKeyEvent* event) override {
        if (hooks.keyPress && hooks.keyPress(event)) {
            event->accept();
            return;
        }
        Widget::keyPressEvent(event);
    }
    void focusInEvent(QFocusEvent* event) override {
        focusReason_ = event->reason();
        Widget::focusInEvent(event);
        if (hooks.focusIn) hooks.focusIn();
    }
    void focusOutEvent(QFocusEvent* event) override {
        focusReason_ = event->reason();
        Widget::focusOutEvent(event);
        if (hooks.focusOut) hooks.focusOut();
    }
    void mouseReleaseEvent(QMouseEvent* event) override {
        Widget::mouseReleaseEvent(event);
        if (event->button() == Qt::LeftButton && this->rect().contains(event->position().toPoint()) && hooks.click)
            hooks.click();
    }

private:
    Qt::FocusReason focusReason_ = Qt::OtherFocusReason;
};

// A line edit whose text changes only as its control allows. Every change that does not
// come from the control itself (a typed key the base class inserts, a paste by shortcut or
// context menu, a drop, the middle button's primary selection, an input method's commit)
// is offered to `entering` before it stands: `typed` replacing `replaced` characters at
// `at` of `before`; false refuses the change whole. Without `entering` everything goes.
class HookedLineEdit : public Hooked<QLineEdit> {
public:
    // A text of any length is kept whole (a line edit's own limit is 32,767 characters).
    explicit HookedLineEdit(QWidget* parent = nullptr);
    std::function<bool(const QString& before, int at, int replaced, const QString& typed)> entering;

    // The control's own writes, never offered to `entering` (they hide QLineEdit's).
    void setText(const QString& text);
    void insert(const QString& text);

private:
    friend class EntryGate;
    bool admits(const QString& after) const;

    QString known_;  // the text before the change being judged
    bool own_ = false;
};

// Whether each character of `typed` is taken when typed one by one from `at` into `text`,
// the first one replacing `replaced` characters: `takes(text, caret, c)` judges one
// character against the text as it stands before it, as a key press would be judged.
bool takenOneByOne(QString text, int at, int replaced, const QString& typed,
                   const std::function<bool(const QString& text, int caret, QChar c)>& takes);

// The selection button: a picture that reports clicks.
class ClickablePicture : public Hooked<QLabel> {
public:
    using Hooked::Hooked;
};

// A date picker that can be empty. While empty it keeps today's date underneath (what
// a first step or a pick starts from) and draws no text. `userChanged` runs only for
// changes the user makes; setting the value from code is silent.
class NullableDateEdit : public Hooked<QDateTimeEdit> {
public:
    explicit NullableDateEdit(QWidget* parent = nullptr);
    std::function<void()> userChanged;

    bool isNull() const { return null_; }
    void setNull();
    void setValue(const QDateTime& value);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void showText(bool visible);
    bool null_ = true;
    bool fromCode_ = false;
};

}  // namespace quillon
