#include "inner_widgets.h"

#include <algorithm>

#include <QCalendarWidget>
#include <QValidator>

#include <QKeyEvent>
#include <QMouseEvent>

namespace quillon {

com::Date toDate(const QDateTime& value) {
    const QDate d = value.date();
    const QTime t = value.time();
    return com::Date::fromParts({d.year(), d.month(), d.day(), t.hour(), t.minute(), t.second()});
}

QDateTime toDateTime(com::Date value) {
    const com::DateParts p = value.parts();
    return QDateTime(QDate(p.year, p.month, p.day), QTime(p.hour, p.minute, p.second));
}

// The line edit asks its validator about every change of its text before the change
// stands, whatever brought it, and undoes a change the validator refuses: the one place
// that sees them all.
class EntryGate final : public QValidator {
public:
    explicit EntryGate(HookedLineEdit& edit) : QValidator(&edit), edit_(edit) {}
    State validate(QString& input, int&) const override { return edit_.admits(input) ? Acceptable : Invalid; }

private:
    HookedLineEdit& edit_;
};

HookedLineEdit::HookedLineEdit(QWidget* parent) : Hooked(parent) {
    setMaxLength(std::numeric_limits<int>::max());
    setValidator(new EntryGate(*this));
    connect(this, &QLineEdit::textChanged, this, [this](const QString& text) { known_ = text; });
}

void HookedLineEdit::setText(const QString& text) {
    const bool was = own_;
    own_ = true;
    QLineEdit::setText(text);
    own_ = was;
}

void HookedLineEdit::insert(const QString& text) {
    const bool was = own_;
    own_ = true;
    QLineEdit::insert(text);
    own_ = was;
}

bool HookedLineEdit::admits(const QString& after) const {
    if (own_ || !entering || after == known_) return true;
    const qsizetype shorter = std::min(after.size(), known_.size());
    qsizetype head = 0;
    while (head < shorter && after[head] == known_[head]) ++head;
    qsizetype tail = 0;
    while (tail < shorter - head && after[after.size() - 1 - tail] == known_[known_.size() - 1 - tail]) ++tail;
    const QString typed = after.mid(head, after.size() - head - tail);
    return entering(known_, static_cast<int>(head), static_cast<int>(known_.size() - head - tail), typed);
}

bool takenOneByOne(QString text, int at, int replaced, const QString& typed,
                   const std::function<bool(const QString& text, int caret, QChar c)>& takes) {
    for (const QChar c : typed) {
        if (!takes(text, at, c)) return false;
        text.replace(at, replaced, c);
        replaced = 0;
        ++at;
    }
    return true;
}

NullableDateEdit::NullableDateEdit(QWidget* parent) : Hooked(parent) {
    setCalendarPopup(true);
    // The calendar speaks the program's language whatever the system's: Romanian month names,
    // weeks from Monday, one-letter day names (the short ones carry diacritics).
    calendarWidget()->setLocale(QLocale(QLocale::Romanian, QLocale::Romania));
    calendarWidget()->setHorizontalHeaderFormat(QCalendarWidget::SingleLetterDayNames);
    setMinimumDate(QDate(100, 1, 1));
    setMaximumDate(QDate(9999, 12, 31));
    setNull();
    lineEdit()->installEventFilter(this);
    // Picking the date the empty picker keeps underneath changes no value, yet it is a pick.
    connect(calendarWidget(), &QCalendarWidget::clicked, this, [this](QDate picked) {
        if (!null_ || picked != date()) return;
        null_ = false;
        showText(true);
        if (userChanged) userChanged();
    });
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
        p.setColor(group, QPalette::Text, visible ? QPalette().color(group, QPalette::Text) : QColor(Qt::transparent));
    setPalette(p);
}

bool NullableDateEdit::eventFilter(QObject* watched, QEvent* event) {
    // Clicks on the text reach the inner line edit; they are the picker's own.
    if (watched == lineEdit() && event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton && hooks.click)
        hooks.click();
    return QDateTimeEdit::eventFilter(watched, event);
}

}  // namespace quillon
