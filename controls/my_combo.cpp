#include "my_combo.h"

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QSignalBlocker>

namespace quillon {

MyCombo::MyCombo() : ControlObject("MyCombo", my_combo::EventsId) {
    QWidget* view = view_.data();
    pic1_ = new QWidget(view);
    pic1_->setObjectName(QStringLiteral("pic1"));
    combo_ = new QComboBox(pic1_);
    combo_->setObjectName(QStringLiteral("Combo1"));
    combo_->setEditable(false);  // only a picked row is a value
    combo_->setInsertPolicy(QComboBox::NoInsert);
    combo_->setFocusPolicy(Qt::StrongFocus);  // a turn of the wheel gives it no focus
    view->setFocusProxy(combo_);
    QObject::connect(combo_, &QComboBox::activated, this,
                     [this] { guarded([this] { raiseFromWindow(my_combo::event::Click); }); });
    trackFocus();
    combo_->installEventFilter(this);
    view->installEventFilter(this);
    layout();
    InitProperties();  // a new instance, as for the entry control
}

MyCombo::~MyCombo() { destroyView(); }

bool MyCombo::eventFilter(QObject* watched, QEvent* event) {
    if (dying()) return false;
    if (watched == view_.data() && event->type() == QEvent::Resize) {
        guarded([this] { layout(); });
    } else if (watched == combo_ && event->type() == QEvent::KeyPress && isEnter(*static_cast<QKeyEvent*>(event))) {
        // Enter moves on as Tab does and never reaches a dialog's default button.
        moveFocusAsTab(view_.data());
        return true;
    } else if (watched == combo_ && event->type() == QEvent::Wheel && !combo_->hasFocus()) {
        // A wheel passing over the list picks no row: it goes on to what lies under it.
        event->ignore();
        return true;
    }
    return false;
}

void MyCombo::layout() {
    if (!view_) return;
    const int w = view_->width();
    const int h = combo_->sizeHint().height();
    const int cut = twips(25);
    view_->setFixedHeight(h - cut);
    pic1_->setGeometry(0, 0, w, h - cut);
    pic1_->raise();
    combo_->setGeometry(-cut, -cut, w + twips(50), h);
}

void MyCombo::enterFocus() {
    focused_ = true;
    paint(focusBackColor_, focusForeColor_);
    if (QApplication::focusWidget() != combo_) combo_->setFocus(Qt::OtherFocusReason);
}

void MyCombo::exitFocus() {
    focused_ = false;
    paint(backColor_, foreColor_);
}

void MyCombo::paint(int32_t back, int32_t fore) {
    paintBack(*combo_, back);
    paintFore(*combo_, fore);
}

int MyCombo::rowOf(int32_t id) const {
    const auto found = positions_.find(id);
    return found == positions_.end() ? -1 : found->second;
}

void MyCombo::select(int row) {
    const QSignalBlocker block(combo_);
    combo_->setCurrentIndex(row);
}

void MyCombo::showFont() {
    view_->setFont(font_);  // the list takes it from the control: the same font changes nothing
    layout();
}

void MyCombo::showBackColor(int32_t colour) { paintBack(*combo_, colour); }

void MyCombo::showForeColor(int32_t colour) { paintFore(*combo_, colour); }

void MyCombo::showFocusBackColor(int32_t colour) {
    if (focused_) paintBack(*combo_, colour);
}

void MyCombo::showFocusForeColor(int32_t colour) {
    if (focused_) paintFore(*combo_, colour);
}

int16_t MyCombo::listCount() const { return com::Variant(static_cast<int32_t>(combo_->count())).toInteger(); }

int16_t MyCombo::listIndex() const { return static_cast<int16_t>(combo_->currentIndex()); }

// Selecting from code raises Click every time, also for the row already selected and
// for no row, as the hosts' cascades expect.
void MyCombo::setListIndex(int16_t index) {
    if (index < -1 || index >= combo_->count()) com::raise(com::errc::InvalidPropertyValue, "");
    select(index);
    raiseEvent(my_combo::event::Click);
}

QString MyCombo::text() const { return combo_->currentIndex() < 0 ? QString() : combo_->currentText(); }

int32_t MyCombo::cheie() const {
    const int row = combo_->currentIndex();
    return row < 0 ? -1 : combo_->itemData(row).toInt();
}

void MyCombo::setCheie(int32_t id) {
    if (id == -1) return setListIndex(-1);
    const int row = rowOf(id);
    if (row < 0) com::raise(com::errc::InvalidProcedureCall, "");
    setListIndex(static_cast<int16_t>(row));
}

// The key first: a duplicate identifier fails before the list is touched.
void MyCombo::addItem(const QString& item, int32_t id) {
    const int row = combo_->count();
    if (!positions_.try_emplace(id, row).second)
        com::raise(com::errc::DuplicateKey, "MyCombo-AddItem",
                   "Exista deja in combo un item cu Id-ul " + std::to_string(id) +
                       ".\r\nFiecare item trebuie sa aiba un Id unic.");
    const int before = combo_->currentIndex();
    const QSignalBlocker block(combo_);
    try {
        combo_->addItem(item, QVariant(id));
    } catch (...) {
        positions_.erase(id);
        throw;
    }
    // A list keeps no row selected until one is chosen.
    if (before < 0 && combo_->currentIndex() >= 0) combo_->setCurrentIndex(-1);
}

void MyCombo::removeItem(int32_t id) {
    const int row = rowOf(id);
    if (row < 0)
        com::raise(com::errc::InvalidProcedureCall, "MyCombo-RemoveItem",
                   "Nu exista nici un item in combo cu Id-ul " + std::to_string(id) + ".");
    const int selected = combo_->currentIndex();
    positions_.erase(id);
    for (auto& [key, position] : positions_)
        if (position > row) --position;  // the rows below move up
    const QSignalBlocker block(combo_);
    combo_->removeItem(row);
    // Removing the selected row leaves no row selected; other rows keep theirs.
    if (selected == row) combo_->setCurrentIndex(-1);
}

void MyCombo::clear() {
    positions_.clear();
    const QSignalBlocker block(combo_);
    combo_->clear();
}

void MyCombo::InitProperties() {
    initFont();
    initEnabledAndColours();
}

// Six properties; the rows, the selection and the identifiers are the host's to fill.
void MyCombo::ReadProperties(const com::PropertyBag& bag) {
    reading([&] {
        readFont(bag);
        readEnabledAndColours(bag);
    });
}

void MyCombo::WriteProperties(com::PropertyBag& bag) {
    writeFont(bag);
    writeEnabledAndColours(bag);
}

const com::DispatchTable<MyCombo>& MyCombo::dispatchTable() {
    namespace id = my_combo::dispid;
    using com::binding::method;
    using com::binding::property;
    using C = MyCombo;
    static const com::DispatchTable<C> table{
        property<C, &C::listCount>("ListCount", id::ListCount),
        property<C, &C::listIndex, &C::setListIndex>("ListIndex", id::ListIndex),
        property<C, &C::text>("Text", id::Text),
        property<C, &C::cheie, &C::setCheie>("Cheie", id::Cheie),
        method<C, &C::addItem>("AddItem", id::AddItem),
        method<C, &C::removeItem>("RemoveItem", id::RemoveItem),
        method<C, &C::clear>("Clear", id::Clear),
    };
    return table;
}

}  // namespace quillon
