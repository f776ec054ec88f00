#include "my_combo.h"

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QSignalBlocker>

#include "about_dialog.h"
#include "property_values.h"

namespace quillon {

MyCombo::MyCombo() : ControlObject("MyCombo", my_combo::EventsId) {
    if (!qobject_cast<QApplication*>(QCoreApplication::instance()))
        com::raise(com::errc::CantCreateObject, "MyCombo", "The control needs a running Qt application");
    auto* view = new QWidget;
    view->setObjectName(QStringLiteral("MyCombo"));
    view_ = view;
    pic1_ = new QWidget(view);
    pic1_->setObjectName(QStringLiteral("pic1"));
    combo_ = new QComboBox(pic1_);
    combo_->setObjectName(QStringLiteral("Combo1"));
    combo_->setEditable(false);  // only a picked row is a value
    combo_->setInsertPolicy(QComboBox::NoInsert);
    view->setFocusProxy(combo_);
    QObject::connect(combo_, &QComboBox::activated, this,
                     [this] { guarded([this] { raiseFromWindow(my_combo::event::Click); }); });
    QObject::connect(qApp, &QApplication::focusChanged, this, [this](QWidget* old, QWidget* now) {
        guarded([&] {
            const bool was = isWithin(old, view_.data()), isIn = isWithin(now, view_.data());
            if (!was && isIn) {
                focused_ = true;
                paint(focusBackColor_, focusForeColor_);
                if (QApplication::focusWidget() != combo_) combo_->setFocus(Qt::OtherFocusReason);
            } else if (was && !isIn) {
                focused_ = false;
                paint(backColor_, foreColor_);
            }
        });
    });
    combo_->installEventFilter(this);
    view->installEventFilter(this);
    layout();
}

MyCombo::~MyCombo() { destroyView(); }

bool MyCombo::eventFilter(QObject* watched, QEvent* event) {
    if (dying()) return false;
    if (watched == view_.data() && event->type() == QEvent::Resize) {
        guarded([this] { layout(); });
    } else if (watched == combo_ && event->type() == QEvent::KeyPress &&
               isEnter(*static_cast<QKeyEvent*>(event))) {
        // Enter moves on as Tab does and never reaches a dialog's default button.
        moveFocusAsTab(view_.data());
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

void MyCombo::paint(int32_t back, int32_t fore) {
    paintBack(*combo_, back);
    paintFore(*combo_, fore);
}

int MyCombo::rowOf(int32_t id) const { return combo_->findData(QVariant(id)); }

void MyCombo::select(int row) {
    const QSignalBlocker block(combo_);
    combo_->setCurrentIndex(row);
}

int32_t MyCombo::hWnd() { return windowHandle(&view()); }

void MyCombo::setEnabled(bool value) {
    enabled_ = value;
    view().setEnabled(value);
    markChanged("Enabled");
}

void MyCombo::setFont(const QString& description) {
    QFont font;
    if (!font.fromString(description)) com::raise(com::errc::InvalidPropertyValue, "");
    font_ = font;
    combo_->setFont(font_);
    layout();
    markChanged("Font");
}

void MyCombo::setBackColor(int32_t value) {
    backColor_ = value;
    paintBack(*combo_, value);
    markChanged("BackColor");
}

void MyCombo::setForeColor(int32_t value) {
    foreColor_ = value;
    paintFore(*combo_, value);
    markChanged("ForeColor");
}

void MyCombo::setFocusBackColor(int32_t value) {
    focusBackColor_ = value;
    if (focused_) paintBack(*combo_, value);
    markChanged("FocusBackColor");
}

void MyCombo::setFocusForeColor(int32_t value) {
    focusForeColor_ = value;
    if (focused_) paintFore(*combo_, value);
    markChanged("FocusForeColor");
}

int16_t MyCombo::listCount() const { return com::Variant(static_cast<int32_t>(combo_->count())).toInteger(); }

int16_t MyCombo::listIndex() const { return static_cast<int16_t>(combo_->currentIndex()); }

// Selecting from code raises Click every time, also for the row already selected and
// for no row, as the hosts' cascades expect.
void MyCombo::setListIndex(int16_t index) {
    if (index < -1 || index >= combo_->count())
        com::raise(com::errc::InvalidPropertyValue, "");
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

void MyCombo::addItem(const QString& item, int32_t id) {
    if (rowOf(id) >= 0)
        com::raise(com::errc::DuplicateKey, "MyCombo-AddItem",
                   "Exista deja in combo un item cu Id-ul " + std::to_string(id) +
                       ".\r\nFiecare item trebuie sa aiba un Id unic.");
    const int before = combo_->currentIndex();
    const QSignalBlocker block(combo_);
    combo_->addItem(item, QVariant(id));
    // A list keeps no row selected until one is chosen.
    if (before < 0) combo_->setCurrentIndex(-1);
}

void MyCombo::removeItem(int32_t id) {
    const int row = rowOf(id);
    if (row < 0)
        com::raise(com::errc::InvalidProcedureCall, "MyCombo-RemoveItem",
                   "Nu exista nici un item in combo cu Id-ul " + std::to_string(id) + ".");
    const int selected = combo_->currentIndex();
    const QSignalBlocker block(combo_);
    combo_->removeItem(row);
    // Removing the selected row leaves no row selected; other rows keep theirs.
    if (selected == row) combo_->setCurrentIndex(-1);
}

void MyCombo::clear() {
    const QSignalBlocker block(combo_);
    combo_->clear();
}

void MyCombo::showAboutBox() { quillon::showAboutBox(view_.data()); }

void MyCombo::InitProperties() {
    setFont(ambientFont(view_.data()).toString());
    setEnabled(true);
    setBackColor(color::Window);
    setForeColor(color::WindowText);
    setFocusBackColor(color::Window);
    setFocusForeColor(color::WindowText);
}

void MyCombo::ReadProperties(const com::PropertyBag& bag) {
    try {
        const std::string ambient = ambientFont(view_.data()).toString().toStdString();
        setFont(QString::fromStdString(bag.ReadProperty("Font", ambient).toString()));
        setEnabled(bag.ReadProperty("Enabled", true).toBool());
        setBackColor(bag.ReadProperty("BackColor", color::Window).toLong());
        setForeColor(bag.ReadProperty("ForeColor", color::WindowText).toLong());
        setFocusBackColor(bag.ReadProperty("FocusBackColor", color::Window).toLong());
        setFocusForeColor(bag.ReadProperty("FocusForeColor", color::WindowText).toLong());
    } catch (const com::Error& e) {
        raiseFromMember(e, name_, "ReadProperties");
    }
}

void MyCombo::WriteProperties(com::PropertyBag& bag) {
    const std::string ambient = ambientFont(view_.data()).toString().toStdString();
    bag.WriteProperty("Font", font_.toString().toStdString(), ambient);
    bag.WriteProperty("Enabled", enabled_, true);
    bag.WriteProperty("BackColor", backColor_, color::Window);
    bag.WriteProperty("ForeColor", foreColor_, color::WindowText);
    bag.WriteProperty("FocusBackColor", focusBackColor_, color::Window);
    bag.WriteProperty("FocusForeColor", focusForeColor_, color::WindowText);
}

const com::DispatchTable<MyCombo>& MyCombo::dispatchTable() {
    namespace id = my_combo::dispid;
    using C = MyCombo;
    using V = com::Variant;
    static const com::DispatchTable<C> table{
        {.name = "hWnd", .id = id::hWnd, .get = [](C& c, com::Args) { return V(c.hWnd()); }},
        {.name = "Enabled", .id = id::Enabled,
         .get = [](C& c, com::Args) { return V(c.enabled()); },
         .put = [](C& c, com::Args, const V& v) { c.setEnabled(v.toBool()); }},
        {.name = "Font", .id = id::Font,
         .get = [](C& c, com::Args) { return V(c.font().toStdString()); },
         .put = [](C& c, com::Args, const V& v) { c.setFont(QString::fromStdString(v.toString())); },
         .putRef = [](C& c, com::Args, const V& v) { c.setFont(QString::fromStdString(v.toString())); }},
        {.name = "BackColor", .id = id::BackColor,
         .get = [](C& c, com::Args) { return V(c.backColor()); },
         .put = [](C& c, com::Args, const V& v) { c.setBackColor(v.toLong()); }},
        {.name = "ForeColor", .id = id::ForeColor,
         .get = [](C& c, com::Args) { return V(c.foreColor()); },
         .put = [](C& c, com::Args, const V& v) { c.setForeColor(v.toLong()); }},
        {.name = "FocusBackColor", .id = id::FocusBackColor,
         .get = [](C& c, com::Args) { return V(c.focusBackColor()); },
         .put = [](C& c, com::Args, const V& v) { c.setFocusBackColor(v.toLong()); }},
        {.name = "FocusForeColor", .id = id::FocusForeColor,
         .get = [](C& c, com::Args) { return V(c.focusForeColor()); },
         .put = [](C& c, com::Args, const V& v) { c.setFocusForeColor(v.toLong()); }},
        {.name = "ListCount", .id = id::ListCount, .get = [](C& c, com::Args) { return V(c.listCount()); }},
        {.name = "ListIndex", .id = id::ListIndex,
         .get = [](C& c, com::Args) { return V(c.listIndex()); },
         .put = [](C& c, com::Args, const V& v) { c.setListIndex(v.toInteger()); }},
        {.name = "Text", .id = id::Text, .get = [](C& c, com::Args) { return V(c.text().toStdString()); }},
        {.name = "Cheie", .id = id::Cheie,
         .get = [](C& c, com::Args) { return V(c.cheie()); },
         .put = [](C& c, com::Args, const V& v) { c.setCheie(v.toLong()); }},
        {.name = "AddItem", .id = id::AddItem,
         .call = [](C& c, com::Args a) {
             c.addItem(QString::fromStdString(a[0].toString()), a[1].toLong());
             return V();
         },
         .minArgs = 2, .maxArgs = 2},
        {.name = "RemoveItem", .id = id::RemoveItem,
         .call = [](C& c, com::Args a) { c.removeItem(a[0].toLong()); return V(); },
         .minArgs = 1, .maxArgs = 1},
        {.name = "Clear", .id = id::Clear, .call = [](C& c, com::Args) { c.clear(); return V(); }},
        {.name = "ShowAboutBox", .id = id::ShowAboutBox, .call = [](C& c, com::Args) { c.showAboutBox(); return V(); }},
    };
    return table;
}

}  // namespace quillon
