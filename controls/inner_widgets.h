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

protected:
    void keyPressEvent(QKeyEvent* event) override {
        if (hooks.keyPress && hooks.keyPress(event)) {
            event->accept();
            return;
        }
        Widget::keyPressEvent(event);
    }
    void focusInEvent(QFocusEvent* event) override {
        Widget::focusInEvent(event);
        if (hooks.focusIn) hooks.focusIn();
    }
    void focusOutEvent(QFocusEvent* event) override {
        Widget::focusOutEvent(event);
        if (hooks.focusOut) hooks.focusOut();
    }
    void mouseReleaseEvent(QMouseEvent* event) override {
        Widget::mouseReleaseEvent(event);
        if (event->button() == Qt::LeftButton && this->rect().contains(event->position().toPoint()) && hooks.click)
            hooks.click();
    }
};

class HookedLineEdit : public Hooked<QLineEdit> {
public:
    // A text of any length is kept whole (a line edit's own limit is 32,767 characters).
    explicit HookedLineEdit(QWidget* parent = nullptr) : Hooked(parent) { setMaxLength(std::numeric_limits<int>::max()); }
};

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
