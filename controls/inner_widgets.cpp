#include "inner_widgets.h"

#include <QKeyEvent>
#include <QMouseEvent>

namespace quillon {

void HookedLineEdit::keyPressEvent(QKeyEvent* event) {
    if (hooks.keyPress && hooks.keyPress(event)) {
        event->accept();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void HookedLineEdit::focusInEvent(QFocusEvent* event) {
    QLineEdit::focusInEvent(event);
    if (hooks.focusIn) hooks.focusIn();
}

void HookedLineEdit::focusOutEvent(QFocusEvent* event) {
    QLineEdit::focusOutEvent(event);
    if (hooks.focusOut) hooks.focusOut();
}

void HookedLineEdit::mouseReleaseEvent(QMouseEvent* event) {
    QLineEdit::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()) && hooks.click) hooks.click();
}

NullableDateEdit::NullableDateEdit(QWidget* parent) : QDateTimeEdit(parent) {
    setCalendarPopup(true);
    setMinimumDate(QDate(100, 1, 1));
    setMaximumDate(QDate(9999, 12, 31));
    setNull();
    lineEdit()->installEventFilter(this);
    connect(this, &QDateTimeEdit::dateTimeChanged, this, [this] {
        if (fromCode_) return;
        if (null_) {
            null_ = false;
            showText(true);
        }
        if (userChanged) userChanged();
    });
}

void NullableDateEdit::setNull() {
    fromCode_ = true;
    setDateTime(QDateTime(QDate::currentDate(), QTime(0, 0)));
    fromCode_ = false;
    null_ = true;
    showText(false);
}

void NullableDateEdit::setValue(const QDateTime& value) {
    fromCode_ = true;
    setDateTime(value);
    fromCode_ = false;
    null_ = false;
    showText(true);
}

void NullableDateEdit::showText(bool visible) {
    QPalette p = palette();
    for (const auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
        p.setColor(group, QPalette::Text,
                   visible ? QPalette().color(group, QPalette::Text) : QColor(Qt::transparent));
    setPalette(p);
}

bool NullableDateEdit::eventFilter(QObject* watched, QEvent* event) {
    // Clicks on the text reach the inner line edit; they are the picker's own.
    if (watched == lineEdit() && event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton && hooks.click)
        hooks.click();
    return QDateTimeEdit::eventFilter(watched, event);
}

void NullableDateEdit::keyPressEvent(QKeyEvent* event) {
    if (hooks.keyPress && hooks.keyPress(event)) {
        event->accept();
        return;
    }
    QDateTimeEdit::keyPressEvent(event);
}

void NullableDateEdit::focusInEvent(QFocusEvent* event) {
    QDateTimeEdit::focusInEvent(event);
    if (hooks.focusIn) hooks.focusIn();
}

void NullableDateEdit::focusOutEvent(QFocusEvent* event) {
    QDateTimeEdit::focusOutEvent(event);
    if (hooks.focusOut) hooks.focusOut();
}

void NullableDateEdit::mouseReleaseEvent(QMouseEvent* event) {
    QDateTimeEdit::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && hooks.click) hooks.click();
}

void ClickablePicture::mouseReleaseEvent(QMouseEvent* event) {
    QLabel::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()) && clicked) clicked();
}

}  // namespace quillon
