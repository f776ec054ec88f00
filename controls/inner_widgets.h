#pragma once
// The inner widgets of the entry control: a line edit and a date picker that report
// their focus, keys and clicks to the control through hooks, and a clickable picture.
#include <functional>

#include <QDateTimeEdit>
#include <QLabel>
#include <QLineEdit>

namespace quillon {

// Hooks of an inner widget. `keyPress` runs before the widget sees the key and returns
// true to consume it; the focus hooks run after the widget's own handling.
struct InnerHooks {
    std::function<bool(QKeyEvent*)> keyPress;
    std::function<void()> focusIn;
    std::function<void()> focusOut;
    std::function<void()> click;
};

class HookedLineEdit : public QLineEdit {
public:
    using QLineEdit::QLineEdit;
    InnerHooks hooks;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
};

// A date picker that can be empty. While empty it keeps today's date underneath (what
// a first step or a pick starts from) and draws no text. `userChanged` runs only for
// changes the user makes; setting the value from code is silent.
class NullableDateEdit : public QDateTimeEdit {
public:
    explicit NullableDateEdit(QWidget* parent = nullptr);
    InnerHooks hooks;
    std::function<void()> userChanged;

    bool isNull() const { return null_; }
    void setNull();
    void setValue(const QDateTime& value);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void showText(bool visible);
    bool null_ = true;
    bool fromCode_ = false;
};

// The selection button: a picture that reports clicks.
class ClickablePicture : public QLabel {
public:
    using QLabel::QLabel;
    std::function<void()> clicked;

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
};

}  // namespace quillon
