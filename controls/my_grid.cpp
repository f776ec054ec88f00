#include "my_grid.h"

#include <QAction>
#include <QApplication>
#include <QHeaderView>
#include <QLabel>
#include <QResizeEvent>
#include <QStyle>
#include <QToolBar>

#include "grid_edit.h"
#include "grid_view.h"
#include "property_values.h"

namespace quillon {

namespace {

constexpr int RowSelectorTwips = 300, DataRowTwips = 270;

// An enumeration's value, from 0 to `last`; raises 380 for any other.
int32_t checkedEnum(int32_t value, int32_t last) {
    if (value < 0 || value > last) com::raise(com::errc::InvalidPropertyValue, "");
    return value;
}

}  // namespace

MyGrid::MyGrid() : ControlObject("MyGrid", my_grid::EventsId) {
    QWidget* view = view_.data();
    lblTitlu_ = new QLabel(view);
    lblTitlu_->setObjectName(QStringLiteral("lblTitlu"));
    tBar_ = new QToolBar(view);
    tBar_->setObjectName(QStringLiteral("tBar"));
    tBar_->setIconSize(QSize(16, 16));
    tBar_->setFocusPolicy(Qt::NoFocus);
    const auto button = [&](const char* key, QStyle::StandardPixmap image) {
        QAction* action = tBar_->addAction(view->style()->standardIcon(image), QString());
        action->setObjectName(QString::fromLatin1(key));
        action->setEnabled(false);
        QObject::connect(action, &QAction::triggered, this, [this, key] { buttonClick(key); });
        return action;
    };
    kNew_ = button("kNew", QStyle::SP_FileIcon);
    kDelete_ = button("kDelete", QStyle::SP_DialogDiscardButton);
    kUnDelete_ = button("kUnDelete", QStyle::SP_DialogResetButton);
    tBar_->hide();

    table_.reset(2, 2, 1);
    fg_ = new GridView(view);
    fg_->setObjectName(QStringLiteral("fg"));
    model_ = new GridModel(table_, fg_);
    header_ = new GridHeader(table_, fg_);
    delegate_ = new GridDelegate(fg_);
    fg_->setHorizontalHeader(header_);
    rowHeader_ = new GridHeader(table_, fg_, Qt::Vertical);
    rowHeader_->setSectionResizeMode(QHeaderView::Fixed);
    rowHeader_->setMinimumSectionSize(1);
    fg_->setVerticalHeader(rowHeader_);
    fg_->setShowGrid(false);  // the delegate draws each cell's lines
    fg_->setItemDelegate(delegate_);
    fg_->setModel(model_);
    model_->setView(fg_);
    fg_->verticalHeader()->setFixedWidth(twips(RowSelectorTwips));
    fg_->verticalHeader()->setDefaultSectionSize(twips(DataRowTwips));
    view->setFocusProxy(fg_);
    QObject::connect(fg_->selectionModel(), &QItemSelectionModel::currentChanged, this,
                     [this] { guarded([this] { raiseFromWindow(my_grid::event::RowColChange); }); });
    QObject::connect(fg_->selectionModel(), &QItemSelectionModel::selectionChanged, this,
                     [this] { guarded([this] { updateToolbarState(); }); });
    fg_->keyPress = [this](QKeyEvent* e) {
        bool used = false;
        guarded("KeyPress(fg)", [&] {
            if (isEnter(*e)) {
                enterNavigation();
                used = true;
            } else if (const QString typed = typedCharacter(*e); !typed.isEmpty()) {
                edit_->start(typed);
                used = true;
            }
        });
        return used;
    };
    fg_->focusIn = [this] {
        guarded([this] {
            track();
            updateToolbarState();
        });
    };
    fg_->doubleClick = [this] {
        guarded("DblClick(fg)", [this] {
            if (areSursaDate_) edit_->start(QStringLiteral(" "));
        });
    };

    edit_ = std::make_unique<GridEdit>(*this);
    focusConnection_ = QObject::connect(qApp, &QApplication::focusChanged, this, [this](QWidget* old, QWidget* now) {
        guarded([&] { onFocusChanged(old, now); });
    });
    view->installEventFilter(this);
    InitProperties();
    layout();
}

MyGrid::~MyGrid() {
    // The editors go before the grid's widget takes their widgets; the focus they leave
    // meanwhile is no edit to close.
    QObject::disconnect(focusConnection_);
    edit_.reset();
    destroyView();
}

bool MyGrid::eventFilter(QObject* watched, QEvent* event) {
    if (dying()) return false;
    if (watched == view_.data() && event->type() == QEvent::Resize) guarded([this] { layout(); });
    return edit_ && edit_->filterEvent(watched, event);  // none while the editors are made
}

// ---- Surface -------------------------------------------------------------------------

Gravlin::ModelColectie& MyGrid::source() const {
    if (!source_) com::raise(com::errc::ObjectNotSet, "");
    return *source_;
}

QString MyGrid::infoCelula(int32_t row, int32_t col) const { return table_.text(row, col); }

int MyGrid::currentRow() const {
    const QModelIndex current = fg_->currentIndex();
    return current.isValid() ? model_->gridRow(current) : table_.fixedRows();
}

int MyGrid::currentCol() const {
    const QModelIndex current = fg_->currentIndex();
    return current.isValid() ? current.column() + 1 : 1;
}

int32_t MyGrid::randGrid() const { return currentRow(); }
int32_t MyGrid::coloanaGrid() const { return currentCol(); }

int32_t MyGrid::inregistrareaCurenta() const {
    const int row = currentRow();
    return row < table_.rows() && row >= table_.fixedRows() ? table_.row(row).rowData : 0;
}

void MyGrid::setCurrentCell(int row, int col) {
    if (row < table_.fixedRows() || row >= table_.rows() || col < 1 || col >= table_.cols()) return;
    fg_->selectionModel()->setCurrentIndex(model_->indexOf(row, col), QItemSelectionModel::ClearAndSelect);
}

void MyGrid::cellsChanged(int row) const {
    model_->cellsChanged(row, row);
    header_->totalsChanged();
}

void MyGrid::setPermitRandNou(bool value) {
    permitRandNou_ = value;
    markChanged("PermitRandNou");
    layout();
}

void MyGrid::setPermitDelete(bool value) {
    permitDelete_ = value;
    markChanged("PermitDelete");
    layout();
}

// The grid keeps one empty line under its header (and totals row) until it is bound again.
void MyGrid::setAreTotal(bool value) {
    areTotal_ = value;
    {
        const RedrawOff guard(*fg_, *model_);
        table_.setRows(value ? 3 : 2, value ? 2 : 1);
        for (auto& keys : cheiCombo_) keys.resize(static_cast<size_t>(table_.dataRows()), -1);
        for (auto& [col, keys] : cheiSelectie_) keys.resize(static_cast<size_t>(table_.dataRows()), 0);
    }
    for (int k = 1; k < table_.cols(); ++k) fg_->setColumnWidth(k - 1, twips(table_.column(k).widthTwips));
    fg_->relayout();
    markChanged("AreTotal");
}

QString MyGrid::titlu() const { return lblTitlu_->text(); }

void MyGrid::setTitlu(const QString& value) {
    lblTitlu_->setText(value);
    markChanged("Titlu");
}

void MyGrid::showFont() {
    fg_->setFont(font_);
    fg_->verticalHeader()->setDefaultSectionSize(std::max(twips(DataRowTwips), QFontMetrics(font_).height() + 2));
}

void MyGrid::setFixedFont(const QString& description) {
    fixedFont_ = fontFrom(description);
    header_->setFont(fixedFont_);
    fg_->verticalHeader()->setFont(fixedFont_);
    fg_->relayout();
    markChanged("FixedFont");
}

void MyGrid::setHighLight(int32_t value) {
    highLight_ = checkedEnum(value, 2);
    delegate_->highLight = value;
    fg_->viewport()->update();
    markChanged("HighLight");
}

void MyGrid::setFocusRect(int32_t value) {
    focusRect_ = checkedEnum(value, 2);
    delegate_->focusRect = value;
    fg_->viewport()->update();
    markChanged("FocusRect");
}

void MyGrid::setGridLinesFixed(int32_t value) {
    gridLinesFixed_ = checkedEnum(value, 5);
    header_->gridLines = rowHeader_->gridLines = value;
    header_->viewport()->update();
    rowHeader_->viewport()->update();
    markChanged("GridLinesFixed");
}

void MyGrid::setGridLines(int32_t value) {
    gridLines_ = checkedEnum(value, 5);
    delegate_->gridLines = value;
    fg_->viewport()->update();
    markChanged("GridLines");
}

void MyGrid::setTextStyleFixed(int32_t value) {
    textStyleFixed_ = checkedEnum(value, 4);
    header_->textStyle = rowHeader_->textStyle = value;
    header_->viewport()->update();
    rowHeader_->viewport()->update();
    markChanged("TextStyleFixed");
}

void MyGrid::setTextStyle(int32_t value) {
    textStyle_ = checkedEnum(value, 4);
    delegate_->textStyle = value;
    fg_->viewport()->update();
    markChanged("TextStyle");
}

// The title across the top, the toolbar at its right when lines may be added or
// deleted, and the table under them, overlapping the title by 10 twips.
void MyGrid::layout() {
    if (!view_) return;
    const int w = view_->width(), h = view_->height();
    const int labelHeight = lblTitlu_->sizeHint().height();
    if (!permitRandNou_ && !permitDelete_) {
        lblTitlu_->setGeometry(0, 0, w, labelHeight);
        tBar_->hide();
    } else {
        const int t = tBar_->sizeHint().width();
        lblTitlu_->setGeometry(0, 0, std::max(0, w - t), labelHeight);
        tBar_->setGeometry(std::max(0, w - t - twips(10)), 0, t + twips(10), tBar_->sizeHint().height());
        tBar_->show();
    }
    const int top = std::max(labelHeight, permitRandNou_ || permitDelete_ ? tBar_->sizeHint().height() : 0);
    fg_->setGeometry(0, top - twips(10), w, std::max(0, h - top + twips(10)));
}

// ---- Persistence ---------------------------------------------------------------------------

void MyGrid::InitProperties() { ReadProperties(com::PropertyBag()); }

void MyGrid::ReadProperties(const com::PropertyBag& bag) {
    reading([&] {
        const std::string ambient = ambientFont(view_.data()).toString().toStdString();
        setPermitRandNou(bag.ReadProperty("PermitRandNou", false).toBool());
        setPermitDelete(bag.ReadProperty("PermitDelete", false).toBool());
        setAreTotal(bag.ReadProperty("AreTotal", false).toBool());
        setTitlu(QString::fromStdString(bag.ReadProperty("Titlu", "").toString()));
        setFont(QString::fromStdString(bag.ReadProperty("Font", ambient).toString()));
        setFixedFont(QString::fromStdString(bag.ReadProperty("FixedFont", ambient).toString()));
        setHighLight(bag.ReadProperty("HighLight", int32_t{0}).toLong());
        setFocusRect(bag.ReadProperty("FocusRect", int32_t{0}).toLong());
        setGridLinesFixed(bag.ReadProperty("GridLinesFixed", int32_t{1}).toLong());
        setGridLines(bag.ReadProperty("GridLines", int32_t{1}).toLong());
        setTextStyleFixed(bag.ReadProperty("TextStyleFixed", int32_t{0}).toLong());
        setTextStyle(bag.ReadProperty("TextStyle", int32_t{0}).toLong());
    });
}

void MyGrid::WriteProperties(com::PropertyBag& bag) {
    const std::string ambient = ambientFont(view_.data()).toString().toStdString();
    bag.WriteProperty("PermitRandNou", permitRandNou_, false);
    bag.WriteProperty("PermitDelete", permitDelete_, false);
    bag.WriteProperty("AreTotal", areTotal_, false);
    bag.WriteProperty("Titlu", titlu().toStdString(), std::string());
    bag.WriteProperty("Font", font_.toString().toStdString(), ambient);
    bag.WriteProperty("FixedFont", fixedFont_.toString().toStdString(), ambient);
    bag.WriteProperty("HighLight", highLight_, int32_t{0});
    bag.WriteProperty("FocusRect", focusRect_, int32_t{0});
    bag.WriteProperty("GridLinesFixed", gridLinesFixed_, int32_t{1});
    bag.WriteProperty("GridLines", gridLines_, int32_t{1});
    bag.WriteProperty("TextStyleFixed", textStyleFixed_, int32_t{0});
    bag.WriteProperty("TextStyle", textStyle_, int32_t{0});
}

// ---- Dispatch table ----------------------------------------------------------------------

const com::DispatchTable<MyGrid>& MyGrid::dispatchTable() {
    namespace id = my_grid::dispid;
    using com::binding::Assign;
    using com::binding::method;
    using com::binding::property;
    using C = MyGrid;
    static const com::DispatchTable<C> table{
        property<C, &C::areSursaDate>("AreSursaDate", id::AreSursaDate),
        method<C, &C::infoCelula>("InfoCelula", id::InfoCelula),
        property<C, &C::randGrid>("RandGrid", id::RandGrid),
        property<C, &C::coloanaGrid>("ColoanaGrid", id::ColoanaGrid),
        property<C, &C::permitRandNou, &C::setPermitRandNou>("PermitRandNou", id::PermitRandNou),
        property<C, &C::permitDelete, &C::setPermitDelete>("PermitDelete", id::PermitDelete),
        property<C, &C::areTotal, &C::setAreTotal>("AreTotal", id::AreTotal),
        property<C, &C::titlu, &C::setTitlu>("Titlu", id::Titlu),
        property<C, &C::inregistrareaCurenta>("InregistrareaCurenta", id::InregistrareaCurenta),
        property<C, &C::hWnd>("hWnd", id::hWnd),
        property<C, &C::font, &C::setFont, Assign::Set>("Font", id::Font),
        property<C, &C::fixedFont, &C::setFixedFont, Assign::Set>("FixedFont", id::FixedFont),
        property<C, &C::highLight, &C::setHighLight>("HighLight", id::HighLight),
        property<C, &C::focusRect, &C::setFocusRect>("FocusRect", id::FocusRect),
        property<C, &C::gridLinesFixed, &C::setGridLinesFixed>("GridLinesFixed", id::GridLinesFixed),
        property<C, &C::gridLines, &C::setGridLines>("GridLines", id::GridLines),
        property<C, &C::textStyleFixed, &C::setTextStyleFixed>("TextStyleFixed", id::TextStyleFixed),
        property<C, &C::textStyle, &C::setTextStyle>("TextStyle", id::TextStyle),
        property<C, nullptr, &C::setSursaDate, Assign::Set>("SursaDate", id::SursaDate),
        method<C, &C::refreshLine>("RefreshLine", id::RefreshLine),
    };
    return table;
}

}  // namespace quillon
