#include "control_personal.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPixmap>

#include "global.h"
#include "inner_widgets.h"
#include "number_text.h"
#include "property_values.h"

namespace quillon {

namespace {

constexpr int TextHeightTwips = 285;
constexpr int ButtonWidthTwips = 250;

// The window giving the keys to another one (a message box) or a popup opening over it (a
// context menu) is no leave of the field, and the keys coming back no new entry.
bool passing(Qt::FocusReason reason) { return reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason; }

}  // namespace

ControlPersonal::ControlPersonal() : ControlObject("ControlPersonal", control_personal::EventsId) {
    QWidget* view = view_.data();
    txt_ = new HookedLineEdit(view);
    txt_->setObjectName(QStringLiteral("txt"));
    pic2_ = new ClickablePicture(view);
    pic2_->setObjectName(QStringLiteral("Pic2"));
    pic2_->setFocusPolicy(Qt::StrongFocus);
    pic2_->setAlignment(Qt::AlignCenter);
    pic1_ = new QWidget(view);
    pic1_->setObjectName(QStringLiteral("pic1"));
    txtNull_ = new QLineEdit(view);
    txtNull_->setObjectName(QStringLiteral("txtNull"));
    txtNull_->setEnabled(false);
    txtNull_->setFocusPolicy(Qt::NoFocus);
    txtNull_->setAttribute(Qt::WA_TransparentForMouseEvents);
    txtNull_->setFrame(false);
    txtNull_->hide();
    paintBack(*txtNull_, color::Window);

    txt_->hooks.keyPress = [this](QKeyEvent* e) {
        bool used = false;
        guarded([&] { used = onTextKey(e); });
        return used;
    };
    txt_->entering = [this](const QString& before, int at, int replaced, const QString& typed) {
        return takesTyped(before, at, replaced, typed);
    };
    txt_->hooks.focusIn = [this] { guarded([this] { onTextFocusIn(); }); };
    txt_->hooks.focusOut = [this] { guarded([this] { onTextFocusOut(); }); };
    txt_->hooks.click = [this] { guarded([this] { raiseFromWindow(control_personal::event::Click); }); };
    pic2_->hooks.click = [this] {
        guarded([this] {
            if (!is(TipData::Selectie)) return;
            std::vector<com::Variant> args{com::Variant(txt_->text().toStdString())};
            raiseFromWindow(control_personal::event::Selecteaza, args);
        });
    };
    QObject::connect(txt_, &QLineEdit::textChanged, this, [this] { guarded([this] { onTextChanged(); }); });
    trackFocus();
    view->installEventFilter(this);
    // A control created at run time is a new instance; a host that places it first may
    // call InitProperties again for its own font, or read a bag instead.
    InitProperties();
}

ControlPersonal::~ControlPersonal() { destroyView(); }

// The date picker (with its calendar, costly to build) is made when the field first
// becomes a date field; the other kinds never need it.
void ControlPersonal::ensurePicker() {
    if (dtp_) return;
    dtp_ = new NullableDateEdit(pic1_);
    dtp_->setObjectName(QStringLiteral("dtp"));
    dtp_->setDisplayFormat(afisezMinute_ ? QStringLiteral("dd/MM/yyyy HH:mm") : QStringLiteral("dd/MM/yyyy"));
    dtp_->hooks.keyPress = [this](QKeyEvent* e) {
        bool used = false;
        guarded([&] { used = onPickerKey(e); });
        return used;
    };
    dtp_->hooks.focusIn = [this] { guarded([this] { onPickerFocus(true); }); };
    dtp_->hooks.focusOut = [this] { guarded([this] { onPickerFocus(false); }); };
    dtp_->hooks.click = txt_->hooks.click;
    dtp_->userChanged = [this] { guarded([this] { onPickerChanged(); }); };
    dtp_->setEnabled(enabled_);
}

bool ControlPersonal::eventFilter(QObject* watched, QEvent* event) {
    // A resize only places the parts: the colours a host set after its last let stay.
    if (watched == view_.data() && event->type() == QEvent::Resize) guarded([this] { layout(false); });
    return false;
}

// ---- Layout ------------------------------------------------------------------------

void ControlPersonal::layout(bool repaint) {
    if (!view_) return;
    QWidget& v = *view_;
    const int w = v.width();
    const int textHeight = std::max(twips(TextHeightTwips), txt_->sizeHint().height());
    if (is(TipData::Text) || is(TipData::Numar)) {
        txt_->show();
        txt_->setEnabled(true);
        if (repaint) paintBack(*txt_, color::Window);
        txt_->setGeometry(0, 0, w, textHeight);
        pic1_->hide();
        pic2_->hide();
        txtNull_->hide();
        v.setFocusProxy(txt_);
        v.setFixedHeight(textHeight);
    } else if (is(TipData::Data)) {
        const int h = dtp_->sizeHint().height() - twips(25);
        v.setFixedHeight(h);
        txt_->hide();
        txt_->setEnabled(false);
        pic1_->show();
        dtp_->show();
        pic2_->hide();
        pic1_->setGeometry(0, 0, w, h);
        dtp_->setGeometry(-twips(25), -twips(25), w + twips(45), dtp_->sizeHint().height());
        v.setFocusProxy(dtp_);
        showEmptyDate(value_.isNull());
    } else if (is(TipData::Selectie)) {
        txt_->show();
        txt_->setEnabled(permitSelectManual_);
        if (repaint) paintBack(*txt_, permitSelectManual_ ? color::Window : color::ScrollBar);
        pic1_->hide();
        txtNull_->hide();
        const int buttonWidth = twips(ButtonWidthTwips);
        pic2_->setGeometry(0, 0, buttonWidth, textHeight);
        pic2_->show();
        txt_->setGeometry(buttonWidth - 1, 0, std::max(0, w - buttonWidth + 1), textHeight);
        // A missing picture leaves the button blank.
        pic2_->setPixmap(QPixmap(QString::fromStdString((libraryFolder() / "icon2.bmp").string())));
        v.setFocusProxy(permitSelectManual_ ? static_cast<QWidget*>(txt_) : pic2_);
        v.setFixedHeight(textHeight);
    }
}

// The picker stands 25 twips left of the field and 20 twips past its right edge.
int ControlPersonal::dateWidth() const { return dtp_ ? dtp_->sizeHint().width() - twips(45) : 0; }

void ControlPersonal::showEmptyDate(bool empty) {
    if (!empty) {
        txtNull_->hide();
        return;
    }
    const int w = view_ ? view_->width() : 0, h = view_ ? view_->height() : 0;
    txtNull_->setGeometry(twips(235), twips(22), std::max(0, w - twips(500)), std::max(0, h - twips(30)));
    txtNull_->show();
    txtNull_->raise();
}

// ---- Value -------------------------------------------------------------------------

void ControlPersonal::storeValue(const com::Variant& v) {
    if (is(TipData::Text)) {
        if (v.isObject()) com::raise(com::errc::TypeMismatch, "");
        value_ = v;
    } else if (is(TipData::Numar)) {
        // A number field keeps only what it can show.
        if (!v.isNull() && !isNumberValue(v)) com::raise(com::errc::TypeMismatch, "");
        value_ = v;
    } else if (is(TipData::Data)) {
        if (v.isNull() || v.isEmpty()) {
            value_ = com::Variant::null();
            return;
        }
        const com::Date date = v.toDate();
        value_ = date.serial() == 0 ? com::Variant::null() : com::Variant(date);
    } else if (is(TipData::Selectie)) {
        std::string text = v.toString();
        if (text.empty()) text = "0|";
        const size_t bar = text.find('|');
        if (bar == std::string::npos) com::raise(com::errc::SubscriptOutOfRange, "");
        const size_t next = text.find('|', bar + 1);
        // The identifier is read before anything is stored, so a bad one changes nothing.
        const int32_t id = com::Variant(text.substr(0, bar)).toLong();
        value_ = com::Variant(text.substr(bar + 1, next == std::string::npos ? std::string::npos : next - bar - 1));
        selectionId_ = id;
    }
}

QString ControlPersonal::numberDisplay(bool grouping) const {
    const bool empty = value_.isNull() || (value_.get<std::string>() && value_.get<std::string>()->empty());
    return formatNumber(empty ? com::Variant(int16_t{0}) : value_, nrZecimale_, grouping);
}

QDateTime ControlPersonal::storedDate() const { return toDateTime(*value_.get<com::Date>()); }

void ControlPersonal::showValue() {
    if (is(TipData::Text)) {
        setText(value_.isNull() ? QString() : QString::fromStdString(value_.toString()));
    } else if (is(TipData::Data)) {
        if (value_.isNull()) {
            showEmptyDate(true);
            if (!dtp_->isNull()) dtp_->setNull();
        } else {
            showEmptyDate(false);
            if (dtp_->isNull() || dtp_->dateTime() != storedDate()) dtp_->setValue(storedDate());
        }
    } else if (is(TipData::Selectie)) {
        setText(QString::fromStdString(value_.toString()));
    } else if (is(TipData::Numar)) {
        setText(numberDisplay(afisezFormat_));
    }
}

void ControlPersonal::setValoare(const com::Variant& value, std::optional<bool> formatText) {
    storeValue(value);
    if (formatText.value_or(true)) showValue();
    markChanged("Valoare");
}

com::Variant ControlPersonal::valoare() const {
    if (is(TipData::Text)) return value_.isNull() ? com::Variant("") : value_;
    if (is(TipData::Data)) return value_;
    if (is(TipData::Selectie)) return com::Variant(std::to_string(selectionId_) + "|" + value_.toString());
    if (is(TipData::Numar)) {
        const bool empty =
            value_.isNull() || value_.isEmpty() || (value_.get<std::string>() && value_.get<std::string>()->empty());
        return empty ? com::Variant(int16_t{0}) : value_;
    }
    return {};
}

void ControlPersonal::setText(const QString& text) {
    acceptedText_ = text;
    if (txt_->text() == text) return;  // the box shows it already: nothing to redo
    busy_ = true;
    txt_->setText(text);
    busy_ = false;
}

void ControlPersonal::goleste() {
    if (is(TipData::Text)) value_ = com::Variant("");
    else if (is(TipData::Data)) value_ = com::Variant::null();
    else if (is(TipData::Selectie)) value_ = com::Variant("");
    else if (is(TipData::Numar)) value_ = com::Variant(int16_t{0});
    selectionId_ = 0;
    setText(QString());
    if (dtp_) dtp_->setNull();
}

// ---- Properties --------------------------------------------------------------------

void ControlPersonal::setTipData(int32_t kind) {
    tipData_ = kind;
    if (is(TipData::Data)) ensurePicker();
    layout();
    goleste();
    markChanged("TipData");
}

void ControlPersonal::setNrZecimale(uint8_t decimals) {
    nrZecimale_ = decimals;
    if (is(TipData::Numar)) setText(numberDisplay(true));
    markChanged("NrZecimale");
}

void ControlPersonal::setAfisezFormat(bool value) {
    afisezFormat_ = value;
    if (is(TipData::Numar)) setText(numberDisplay(value));
    markChanged("AfisezFormat");
}

void ControlPersonal::setAfisezMinute(bool value) {
    afisezMinute_ = value;
    if (is(TipData::Data))
        dtp_->setDisplayFormat(value ? QStringLiteral("dd/MM/yyyy HH:mm") : QStringLiteral("dd/MM/yyyy"));
    markChanged("AfisezMinute");
}

void ControlPersonal::setPermitSelectManual(bool value) {
    permitSelectManual_ = value;
    if (is(TipData::Selectie)) {
        txt_->setEnabled(value);
        paintBack(*txt_, value ? color::Window : color::ScrollBar);
        view().setFocusProxy(value ? static_cast<QWidget*>(txt_) : pic2_);
    }
    markChanged("PermitSelectManual");
}

void ControlPersonal::showEnabled() {
    if (is(TipData::Data)) {
        dtp_->setEnabled(enabled_);
        paintBack(*txtNull_, !enabled_ && dtp_->isNull() ? color::ScrollBar : color::Window);
    }
    layout();
}

QLineEdit& ControlPersonal::textBox() const { return *txt_; }

// A date field shows no colours of its own (showsColours).
void ControlPersonal::showBackColor(int32_t colour) { paintBack(*txt_, colour); }

void ControlPersonal::showForeColor(int32_t colour) { paintFore(*txt_, colour); }

// ---- Typing, keys and focus --------------------------------------------------------

void ControlPersonal::onTextChanged() {
    if (busy_) return;
    const QString text = txt_->text();
    if (is(TipData::Text)) {
        setValoare(text.isEmpty() ? com::Variant::null() : com::Variant(text.toStdString()), false);
    } else if (is(TipData::Selectie)) {
        selectionId_ = 0;
        setValoare(com::Variant("0|" + text.toStdString()), false);
    } else if (is(TipData::Numar)) {
        const auto number = parseNumberText(text);
        if (!number) {  // pasted text that is no number: the field keeps its last number
            setText(acceptedText_);
            return;
        }
        acceptedText_ = text;
        setValoare(*number, false);
    }
    raiseFromWindow(control_personal::event::Change);
}

bool ControlPersonal::raiseKeyDown(QKeyEvent* event) {
    std::vector<com::Variant> args{com::Variant(virtualKey(*event)), com::Variant(shiftMask(*event))};
    raiseFromWindow(control_personal::event::KeyDown, args);
    return !dying();
}

int16_t ControlPersonal::raiseKeyPress(int16_t key) {
    std::vector<com::Variant> args{com::Variant(key)};
    raiseFromWindow(control_personal::event::KeyPress, args);
    try {
        return args.front().toInteger();
    } catch (const com::Error&) {
        return key;  // a handler that left no number there changed nothing
    }
}

// The rules of the box's keys: the key to let through for `key` typed at `caret` into
// `text`, or 0 to swallow it. A number takes a sign, a separator and digits as the
// library's filter allows them; a selection's text never holds "|", which would cut it.
int16_t ControlPersonal::keyRule(int caret, int16_t key, const QString& text) const {
    if (is(TipData::Numar)) {
        if (key == '-') return validezTastaNumar(static_cast<int16_t>(caret), key, text, 0);
        if (key == '.' || (key >= '0' && key <= '9'))
            return validezTastaNumar(static_cast<int16_t>(caret), key, text, nrZecimale_);
        return key == 8 ? key : int16_t{0};
    }
    if (is(TipData::Selectie) && key == '|') return 0;
    return key;
}

// Text entering the box by any other way (a paste, a drop, the middle button, an input
// method) is taken only when the keys would take each of its characters, typed in turn.
bool ControlPersonal::takesTyped(const QString& before, int at, int replaced, const QString& typed) const {
    return takenOneByOne(before, at, replaced, typed, [this](const QString& text, int caret, QChar c) {
        const auto key = static_cast<int16_t>(c.unicode());
        return key != 8 && keyRule(caret, key, text) == key;
    });
}

bool ControlPersonal::onTextKey(QKeyEvent* event) {
    if (!raiseKeyDown(event)) return true;
    const auto ascii = keyAscii(*event);
    if (!ascii) return false;
    int16_t key = *ascii;
    if (key == 13) {
        moveFocusAsTab(view_.data());
        paintBack(*txt_, backColor_);
    } else if (is(TipData::Numar) && event->matches(QKeySequence::SelectAll)) {
        // Ctrl+A selects the whole figure, so that the next keys replace it.
    } else {
        const int caret = txt_->hasSelectedText() ? txt_->selectionStart() : txt_->cursorPosition();
        key = keyRule(caret, key, txt_->text());
    }
    const int16_t result = raiseKeyPress(key);
    if (*ascii == 13 || result == 0) return true;  // Enter never reaches a default button
    if (result == *ascii) return false;
    txt_->insert(QString(QChar(static_cast<char16_t>(result))));
    return true;
}

bool ControlPersonal::onPickerKey(QKeyEvent* event) {
    if (!raiseKeyDown(event)) return true;
    const auto ascii = keyAscii(*event);
    if (!ascii) return false;
    if (*ascii == 13) {
        moveFocusAsTab(view_.data());
        paintBack(*txt_, backColor_);
    }
    const int16_t result = raiseKeyPress(*ascii);
    return *ascii == 13 || result == 0;
}

void ControlPersonal::onTextFocusIn() {
    // Back from a message box or a popup, the field shows its edit text as it was left.
    if (entered_ && passing(txt_->focusReason())) return;
    entered_ = true;
    if (is(TipData::Numar)) setText(isZeroOrEmpty(valoare()) ? QString() : editNumber(valoare(), nrZecimale_));
    txt_->deselect();
    txt_->setCursorPosition(static_cast<int>(txt_->text().size()));
}

void ControlPersonal::onTextFocusOut() {
    if (passing(txt_->focusReason())) return;
    entered_ = false;
    if (is(TipData::Text)) {
        setText(value_.isNull() ? QString() : QString::fromStdString(value_.toString()));
    } else if (is(TipData::Selectie)) {
        const QString stored = QString::fromStdString(value_.toString());
        if (txt_->text() != stored) txt_->setText(stored);
    } else if (is(TipData::Numar)) {
        setText(numberDisplay(afisezFormat_));
    }
}

void ControlPersonal::onPickerChanged() {
    // The date the user picked is the value (also when the field was empty before).
    setValoare(com::Variant(toDate(dtp_->dateTime())), true);
    showEmptyDate(dtp_->isNull());
    if (view_) view_->update();
    raiseFromWindow(control_personal::event::Change);
}

void ControlPersonal::onPickerFocus(bool in) {
    QFont font = dtp_->font();
    font.setUnderline(in);
    dtp_->setFont(font);
    if (in || !is(TipData::Data)) return;
    if (value_.isNull()) dtp_->setNull();
    else dtp_->setValue(storedDate());
}

void ControlPersonal::enterFocus() {
    if (is(TipData::Selectie)) {
        QWidget* target = permitSelectManual_ ? static_cast<QWidget*>(txt_) : pic2_;
        if (!isWithin(QApplication::focusWidget(), target)) target->setFocus(Qt::OtherFocusReason);
        return;
    }
    if (!is(TipData::Text) && !is(TipData::Data) && !is(TipData::Numar)) return;
    paintBack(*txt_, focusBackColor_);
    QWidget* target = is(TipData::Data) ? static_cast<QWidget*>(dtp_) : txt_;
    if (!isWithin(QApplication::focusWidget(), target)) target->setFocus(Qt::OtherFocusReason);
}

void ControlPersonal::exitFocus() { paintBack(*txt_, backColor_); }

// ---- Persistence -------------------------------------------------------------------

void ControlPersonal::InitProperties() {
    initFont();
    setTipData(0);
    initEnabledAndColours();
    setNrZecimale(0);
    goleste();
}

void ControlPersonal::ReadProperties(const com::PropertyBag& bag) {
    reading([&] {
        setTipData(bag.ReadProperty("TipData", int32_t{0}).toLong());
        setNrZecimale(toByte(bag.ReadProperty("NrZecimale", int16_t{0})));
        setAfisezFormat(bag.ReadProperty("AfisezFormat", true).toBool());
        setAfisezMinute(bag.ReadProperty("AfisezMinute", true).toBool());
        setPermitSelectManual(bag.ReadProperty("PermitSelectManual", false).toBool());
        readFont(bag);
        setAlignment(bag.ReadProperty("Alignment", int32_t{0}).toLong());
        readEnabledAndColours(bag);
        setValoare(bag.ReadProperty("Valoare", com::Variant::null()), true);
    });
}

void ControlPersonal::WriteProperties(com::PropertyBag& bag) {
    bag.WriteProperty("TipData", tipData_, int32_t{0});
    bag.WriteProperty("NrZecimale", int16_t{nrZecimale_}, int16_t{0});
    bag.WriteProperty("AfisezFormat", afisezFormat_, true);
    bag.WriteProperty("AfisezMinute", afisezMinute_, true);
    bag.WriteProperty("PermitSelectManual", permitSelectManual_, false);
    writeFont(bag);
    bag.WriteProperty("Alignment", alignment_, int32_t{0});
    writeEnabledAndColours(bag);
    // The value as a host reads it, so that a selection keeps its identifier.
    bag.WriteProperty("Valoare", valoare(), com::Variant::null());
}

// ---- Dispatch table ----------------------------------------------------------------

const com::DispatchTable<ControlPersonal>& ControlPersonal::dispatchTable() {
    namespace id = control_personal::dispid;
    using com::binding::method;
    using com::binding::property;
    using C = ControlPersonal;
    static const com::DispatchTable<C> table{
        property<C, &C::tipData, &C::setTipData>("TipData", id::TipData),
        property<C, &C::nrZecimale, &C::setNrZecimale>("NrZecimale", id::NrZecimale),
        property<C, &C::afisezFormat, &C::setAfisezFormat>("AfisezFormat", id::AfisezFormat),
        property<C, &C::afisezMinute, &C::setAfisezMinute>("AfisezMinute", id::AfisezMinute),
        property<C, &C::permitSelectManual, &C::setPermitSelectManual>("PermitSelectManual", id::PermitSelectManual),
        property<C, &C::alignment, &C::setAlignment>("Alignment", id::Alignment),
        // Valoare([bFormatText]) = v: the optional flag comes before the value.
        property<C, &C::valoare, &C::setValoare>("Valoare", id::Valoare),
        method<C, &C::goleste>("Goleste", id::Goleste),
    };
    return table;
}

}  // namespace quillon
