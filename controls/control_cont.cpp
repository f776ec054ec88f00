#include "control_cont.h"

#include <algorithm>

#include <QApplication>
#include <QFontMetrics>
#include <QHeaderView>
#include <QKeyEvent>
#include <QTreeWidget>

#include "account_code.h"
#include "inner_widgets.h"
#include "widget_support.h"

namespace quillon {

namespace {

constexpr int TagRole = Qt::UserRole;      // the row's code
constexpr int KeyRole = Qt::UserRole + 1;  // the code followed by "K"
constexpr int DescriptionRole = Qt::UserRole + 2;
constexpr int MaxDigits = 4;
constexpr int MinListRows = 3;
constexpr int MaxListRows = 8;

// The text a host's handler left in a by-reference argument; anything else reads as "".
QString textOf(const com::Variant& value) {
    try {
        return QString::fromStdString(value.toString());
    } catch (const com::Error&) {
        return {};
    }
}

// Keys that type no character but would edit the text: the code changes only by the
// keys the control accepts (a paste goes through them, character by character).
bool editsText(const QKeyEvent& event) {
    for (const auto key :
         {QKeySequence::Cut, QKeySequence::Undo, QKeySequence::Redo, QKeySequence::DeleteEndOfWord,
          QKeySequence::DeleteStartOfWord, QKeySequence::DeleteEndOfLine, QKeySequence::DeleteCompleteLine})
        if (event.matches(key)) return true;
    return false;
}

// The rule of a typed digit, by the length of the whole text before it: taken at two
// characters, which makes the synthetic account ready for its "." (`ready` is set), and
// otherwise while the text is shorter than four.
bool digitTaken(qsizetype length, bool& ready) {
    if (length == 2) {
        ready = true;
        return true;
    }
    return length < MaxDigits;
}

}  // namespace

ControlCont::ControlCont() : ControlObject("ControlCont", control_cont::EventsId) {
    QWidget* view = view_.data();
    txt_ = new HookedLineEdit(view);
    txt_->setObjectName(QStringLiteral("txt"));
    // The code changes only as the keys would change it: a paste, a drop, the middle
    // button or an input method is taken as its characters typed in turn. The context
    // menu would cut, delete and undo past the keys.
    txt_->setContextMenuPolicy(Qt::NoContextMenu);
    txt_->entering = [this](const QString& before, int at, int replaced, const QString& typed) {
        bool taken = false;
        guarded([&] { taken = takesTyped(before, at, replaced, typed); });
        return taken;
    };
    lst_ = new QTreeWidget(view);
    listObject_ = lst_;
    lst_->setObjectName(QStringLiteral("lst"));
    lst_->setColumnCount(1);
    lst_->setHeaderHidden(true);
    lst_->setRootIsDecorated(false);
    lst_->setUniformRowHeights(true);
    lst_->setSelectionMode(QAbstractItemView::SingleSelection);
    lst_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lst_->setFocusPolicy(Qt::ClickFocus);
    // The rows fit the control's width (a narrow grid column included): long ones are elided.
    lst_->header()->setSectionResizeMode(QHeaderView::Stretch);
    lst_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    lst_->setTextElideMode(Qt::ElideRight);
    lst_->hide();
    view->setFocusProxy(txt_);
    // A list floating over the window goes with the control's widget.
    QObject::connect(view, &QObject::destroyed, this, [this] {
        if (lst_) delete lst_.data();
    });

    txt_->hooks.keyPress = [this](QKeyEvent* e) {
        bool used = true;
        guarded([&] { used = onTextKey(e); });
        return used;
    };
    txt_->hooks.focusIn = [this] {
        if (placingCaret_) return;
        txt_->deselect();
        txt_->setCursorPosition(static_cast<int>(txt_->text().size()));
    };
    txt_->hooks.focusOut = [this] { guarded([this] { commitIfLeaving(); }); };
    QObject::connect(txt_, &QLineEdit::textChanged, this, [this] {
        if (!suppress_) raiseFromWindow(control_cont::event::Change);
    });
    QObject::connect(lst_, &QTreeWidget::itemDoubleClicked, this, [this] { guarded([this] { accept(); }); });
    lst_->installEventFilter(this);
    view->installEventFilter(this);
    trackFocus();
    layout();
    InitProperties();  // a new instance
}

ControlCont::~ControlCont() {
    if (view_) {  // unless a Qt parent has already deleted the widgets
        txt_->hooks = {};
        txt_->entering = {};
    }
    if (lst_ && lst_->parentWidget() != view_.data()) delete lst_.data();  // still floating
    destroyView();
}

bool ControlCont::eventFilter(QObject* watched, QEvent* event) {
    if (dying()) return false;
    if (watched == view_.data() && event->type() == QEvent::Resize) {
        guarded([this] { layout(); });
    } else if (watched == view_.data() && event->type() == QEvent::Hide && lst_ && !lst_->isHidden()) {
        guarded([this] { hideList(); });  // the list does not stay over the window without its control
    } else if (watched == listObject_ && event->type() == QEvent::FocusOut) {
        guarded([this] { commitIfLeaving(); });
    } else if (watched == listObject_ && event->type() == QEvent::KeyPress) {
        bool used = true;
        guarded([&] { used = onListKey(static_cast<QKeyEvent*>(event)); });
        return used;
    }
    return false;
}

// ---- Layout ------------------------------------------------------------------------

// The text box spans the control, which keeps its height; an open list floats over the
// window (placeList).
void ControlCont::layout() {
    if (!view_ || layingOut_) return;
    layingOut_ = true;
    struct Done {
        bool& flag;
        ~Done() { flag = false; }
    } done{layingOut_};
    QWidget& v = *view_;
    const int textHeight = txt_->sizeHint().height();
    txt_->setGeometry(0, 0, v.width(), textHeight);
    v.setFixedHeight(textHeight);
    if (!lst_->isHidden()) placeList(textHeight);
}

// The open list lies under the segment it serves, over the window rather than inside the
// control, so that no container clips it: below the text box where the window has room
// for it, else above, and always wholly inside the window.
void ControlCont::placeList(int textHeight) {
    QWidget& v = *view_;
    QWidget* window = v.window();
    if (lst_->parentWidget() != window) {
        lst_->setParent(window);
        setFloatingOwner(*lst_, &v);
    }
    const int w = v.width();
    const int minWidth = std::min(w, twips(1500));
    const int left = std::clamp(listLeft(), 0, std::max(0, w - minWidth));
    const int rows = std::clamp(lst_->topLevelItemCount(), MinListRows, MaxListRows);
    const int rowHeight = std::max(lst_->sizeHintForRow(0), lst_->fontMetrics().height() + 2);
    const int width = std::min(w - left, window->width());
    const int height = std::min(rows * rowHeight + 2 * lst_->frameWidth(), window->height());
    const QPoint origin = v.mapTo(window, QPoint(left, 0));
    const int below = origin.y() + textHeight - twips(10);
    const int above = origin.y() + twips(10) - height;
    int top = below;
    if (below + height > window->height()) {
        const bool upward = above >= 0 || origin.y() > window->height() - origin.y() - textHeight;
        top = std::clamp(upward ? above : below, 0, std::max(0, window->height() - height));
    }
    lst_->setGeometry(std::clamp(origin.x(), 0, std::max(0, window->width() - width)), top, width, height);
    lst_->show();
    lst_->raise();
}

// The list starts under the segment it serves: after the text when a code is appended,
// else under the "." that opens the caret's segment.
int ControlCont::listLeft() const {
    const QFontMetrics metrics(font_);
    const QString text = txt_->text();
    const int at = txt_->cursorPosition();
    if (append_ && at == text.size()) return metrics.horizontalAdvance(text) + twips(40);
    const QString before = text.left(at);
    const qsizetype dot = before.lastIndexOf(u'.');
    if (dot < 0) return metrics.horizontalAdvance(before) + twips(40);
    return metrics.horizontalAdvance(before.left(dot));
}

// ---- Value -------------------------------------------------------------------------

void ControlCont::setText(const QString& text) {
    suppress_ = true;
    txt_->setText(text);
    suppress_ = false;
}

void ControlCont::setValoare(const QString& value) {
    value_ = value;
    setText(value);
    markChanged("Valoare");
}

void ControlCont::goleste() {
    value_.clear();
    setText(QString());
}

// The code typed becomes the value when the focus leaves the control; an analytic
// asked for but not picked (a trailing ".") is dropped.
void ControlCont::commit() {
    QString text = txt_->text();
    if (text.endsWith(u'.')) text.chop(1);
    setValoare(text);
}

// The focus-out of an inner widget comes before anyone hears that the focus moved: a
// host that reads the value when the control loses the focus reads the committed code.
void ControlCont::commitIfLeaving() {
    if (!isWithin(QApplication::focusWidget(), view_.data())) commit();
}

int ControlCont::caret() const {
    return txt_->hasSelectedText() ? static_cast<int>(txt_->selectionStart()) : txt_->cursorPosition();
}

// ---- Properties --------------------------------------------------------------------

QLineEdit& ControlCont::textBox() const { return *txt_; }

void ControlCont::showBackColor(int32_t colour) {
    paintBack(*txt_, colour);
    paintBack(*lst_, colour);
}

void ControlCont::showForeColor(int32_t colour) { paintFore(*txt_, colour); }

// ---- Keys --------------------------------------------------------------------------

bool ControlCont::onTextKey(QKeyEvent* event) {
    if (event->key() == Qt::Key_Delete) {
        onDeleteKey();
        return true;
    }
    const auto ascii = keyAscii(*event);
    if (!lst_->isHidden() && ascii != 13) {  // the text is read-only while a list is open
        if (ascii == 27) closeList();
        return ascii.has_value();
    }
    if (!ascii) return editsText(*event);
    const int16_t key = *ascii;
    if (key >= '0' && key <= '9') return !onDigit();
    if (key == '.') onDot();
    else if (key == ' ') onSpace();
    else if (key == 13) {
        moveFocusAsTab(view_.data());
        exitSteps();
    }
    return true;  // every other character, Backspace included, is swallowed
}

// True when the digit is taken.
bool ControlCont::onDigit() {
    if (digitTaken(txt_->text().size(), ready_)) return true;
    beep();
    return false;
}

// Text that enters the box by another way than a key is taken when each of its characters
// is a digit the keys would take, typed in turn; "." and Space open lists, they are no text.
bool ControlCont::takesTyped(const QString& before, int at, int replaced, const QString& typed) {
    if (typed.isEmpty()) return true;
    bool ready = ready_;
    const bool taken =
        !txt_->isReadOnly() && takenOneByOne(before, at, replaced, typed, [&ready](const QString& text, int, QChar c) {
            return c >= u'0' && c <= u'9' && digitTaken(text.size(), ready);
        });
    if (taken) ready_ = ready;
    return taken;
}

void ControlCont::onDot() {
    const QString text = txt_->text();
    const int at = caret();
    // A "." opens the next level at the end of the code; anywhere else it would split a
    // segment the list cannot fill.
    if (!ready_ || at != text.size()) return beep();
    const int level = account_code::dotsBefore(text, at);
    if (!text.contains(u'.')) {
        std::vector<com::Variant> args{com::Variant(text.toStdString()), com::Variant("")};
        raiseFromWindow(control_cont::event::CautaAnalitic, args);
        if (dying()) return;
        levels_ = account_code::splitLevels(textOf(args[1]));
        chosen_ = QStringList(levels_.size());
        if (levels_.isEmpty()) return beep();
    } else if (level >= levels_.size()) {
        return beep();  // no further level
    }
    if (levels_[level].isEmpty()) {
        ready_ = false;
        return beep();
    }
    txt_->insert(QStringLiteral("."));
    append_ = true;
    openList(levels_[level], QString());
    ready_ = false;
}

void ControlCont::onSpace() {
    const QString text = txt_->text();
    const int at = caret();
    const int level = account_code::dotsBefore(text, at);
    if (level == 0 || level > levels_.size()) return;
    // A pick is appended only when the list serves the empty level after a final ".".
    append_ = at == text.size() && text.endsWith(u'.');
    savedCaret_ = at;
    openList(levels_[level - 1], chosen_.value(level - 1));
}

void ControlCont::onDeleteKey() {
    if (!lst_->isHidden()) hideList();
    levels_.clear();
    chosen_.clear();
    goleste();
    setText(QString());
    raiseFromWindow(control_cont::event::GolescDescriere);
}

bool ControlCont::onListKey(QKeyEvent* event) {
    const auto ascii = keyAscii(*event);
    if (ascii == 27) {
        closeList();
        return true;
    }
    if (ascii == 13 || ascii == ' ') {
        accept();
        return true;
    }
    return false;
}

// ---- The list of a level -----------------------------------------------------------

// Fills the list from a level list, selects the first row whose code begins with
// `current`, shows it under its segment and gives it the focus.
void ControlCont::openList(const QString& levelList, const QString& current) {
    lst_->clear();
    QTreeWidgetItem* chosen = nullptr;
    for (const auto& row : account_code::levelRows(levelList)) {
        auto* item = new QTreeWidgetItem(lst_, {row.code + QStringLiteral("   ") + row.description});
        item->setData(0, TagRole, row.code);
        item->setData(0, KeyRole, row.code + u'K');
        item->setData(0, DescriptionRole, row.description);
        if (!chosen && row.code.startsWith(current)) chosen = item;
    }
    lst_->setCurrentItem(chosen);
    if (chosen) lst_->scrollToItem(chosen);
    txt_->setReadOnly(true);
    lst_->show();
    layout();
    lst_->setFocus(Qt::OtherFocusReason);
}

void ControlCont::hideList() {
    lst_->hide();
    if (lst_->parentWidget() != view_.data()) {  // back inside the control until it opens again
        lst_->setParent(view_.data());
        setFloatingOwner(*lst_, nullptr);
    }
    txt_->setReadOnly(false);
    layout();
}

// Esc: the list closes and the text stays as it is.
// The text box takes the focus before the list hides, so that the focus never leaves
// the control on the way.
void ControlCont::closeList() {
    txt_->setFocus(Qt::OtherFocusReason);
    hideList();
    txt_->setCursorPosition(static_cast<int>(txt_->text().size()));
}

void ControlCont::accept() {
    QTreeWidgetItem* item = lst_->currentItem();
    if (!item || !item->isSelected()) return;
    const QString code = item->data(0, TagRole).toString();
    const QString description = item->data(0, DescriptionRole).toString();
    const QString text = txt_->text();
    QString picked;
    int at = 0;
    if (append_) {
        picked = text + code;
        at = static_cast<int>(picked.size());
    } else {
        // The pick replaces exactly the segment it was opened on.
        int end = 0;
        picked = account_code::replaceSegment(text, savedCaret_, code, &end);
        at = std::clamp(savedCaret_, end - static_cast<int>(code.size()), end);
    }
    txt_->setText(picked);  // a change of the user's: Change is raised
    placingCaret_ = true;
    txt_->setFocus(Qt::OtherFocusReason);
    placingCaret_ = false;
    hideList();
    txt_->setCursorPosition(at);
    const int level = account_code::dotsBefore(picked, at);
    if (level >= 1 && level <= chosen_.size()) chosen_[level - 1] = code;
    std::vector<com::Variant> args{com::Variant(description.toStdString()), com::Variant(static_cast<int16_t>(level)),
                                   com::Variant(append_)};
    raiseFromWindow(control_cont::event::ReimprospatezDescriere, args);
    ready_ = true;
}

// ---- Focus -------------------------------------------------------------------------

// Entering: the focus colours, and the level lists of the code already there, so that
// Space can reopen its levels.
void ControlCont::enterFocus() {
    paintBack(*txt_, focusBackColor_);
    paintBack(*lst_, focusBackColor_);
    if (!isWithin(QApplication::focusWidget(), txt_) && !isWithin(QApplication::focusWidget(), lst_))
        txt_->setFocus(Qt::OtherFocusReason);
    const QString text = txt_->text();
    if (const qsizetype dot = text.indexOf(u'.'); dot >= 0) {
        std::vector<com::Variant> args{com::Variant(text.left(dot).toStdString()), com::Variant("")};
        raiseFromWindow(control_cont::event::CautaAnalitic, args);
        if (dying()) return;
        levels_ = account_code::splitLevels(textOf(args[1]));
        chosen_ = account_code::chosenCodes(text, static_cast<int>(levels_.size()));
    }
    ready_ = true;
}

void ControlCont::exitSteps() {
    paintBack(*txt_, backColor_);
    paintBack(*lst_, backColor_);
    levels_.clear();
    chosen_.clear();
    if (!lst_->isHidden()) hideList();
}

// Leaving. The inner widget's focus-out committed the code already; the commit here
// serves a focus that went without one.
void ControlCont::exitFocus() {
    commit();
    exitSteps();
}

// ---- Persistence -------------------------------------------------------------------

void ControlCont::InitProperties() {
    initFont();
    initEnabledAndColours();
    goleste();
}

void ControlCont::ReadProperties(const com::PropertyBag& bag) {
    reading([&] {
        readFont(bag);
        setAlignment(bag.ReadProperty("Alignment", int32_t{0}).toLong());
        readEnabledAndColours(bag);
        setValoare(QString::fromStdString(bag.ReadProperty("Valoare", "").toString()));
    });
}

void ControlCont::WriteProperties(com::PropertyBag& bag) {
    writeFont(bag);
    bag.WriteProperty("Alignment", alignment_, int32_t{0});
    writeEnabledAndColours(bag);
    bag.WriteProperty("Valoare", value_.toStdString(), "");
}

// ---- Dispatch table ----------------------------------------------------------------

const com::DispatchTable<ControlCont>& ControlCont::dispatchTable() {
    namespace id = control_cont::dispid;
    using com::binding::method;
    using com::binding::property;
    using C = ControlCont;
    static const com::DispatchTable<C> table{
        property<C, &C::alignment, &C::setAlignment>("Alignment", id::Alignment),
        property<C, &C::valoare, &C::setValoare>("Valoare", id::Valoare),
        method<C, &C::goleste>("Goleste", id::Goleste),
    };
    return table;
}

}  // namespace quillon
