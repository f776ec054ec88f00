#include "pagina_proprietati.h"

#include <QButtonGroup>
#include <QDate>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QRadioButton>
#include <QScrollBar>
#include <QVBoxLayout>

#include "global.h"
#include "inner_widgets.h"
#include "number_text.h"
#include "property_values.h"
#include "control_object.h"
#include "widget_support.h"

namespace quillon {

namespace {

constexpr int MaxScale = 8;

QButtonGroup* optionFrame(QWidget* page, QGroupBox* frame, const QString& name, const QStringList& captions) {
    auto* group = new QButtonGroup(page);
    auto* layout = new QVBoxLayout(frame);
    for (int i = 0; i < captions.size(); ++i) {
        auto* option = new QRadioButton(captions[i], frame);
        option->setObjectName(name + QString::number(i));
        group->addButton(option, i);
        layout->addWidget(option);
    }
    return group;
}

QGroupBox* frame(QWidget* parent, const QString& name, const QString& caption) {
    auto* box = new QGroupBox(caption, parent);
    box->setObjectName(name);
    return box;
}

}  // namespace

PaginaProprietati::PaginaProprietati(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("PaginaProprietati"));
    setWindowTitle(QStringLiteral("Tip control"));
    auto* grid = new QGridLayout(this);

    auto* frTip = frame(this, QStringLiteral("frTip"), QStringLiteral("Tip Control:"));
    optTip_ = optionFrame(this, frTip, QStringLiteral("optTip"), {"Text", "Data", "Selectie", "Numar"});
    auto* frAliniere = frame(this, QStringLiteral("frAliniere"), QStringLiteral("Aliniere informatie:"));
    optTipAliniere_ = optionFrame(this, frAliniere, QStringLiteral("optTipAliniere"), {"Stanga", "Dreapta", "Centru"});

    frText_ = frame(this, QStringLiteral("frText"), QStringLiteral("Text:"));
    auto* textLayout = new QHBoxLayout(frText_);
    textLayout->addWidget(new QLabel(QStringLiteral("Valoare:"), frText_));
    txtValoareText_ = new HookedLineEdit(frText_);
    txtValoareText_->setObjectName(QStringLiteral("txtValoareText"));
    textLayout->addWidget(txtValoareText_);

    frData_ = frame(this, QStringLiteral("frData"), QStringLiteral("Data:"));
    auto* dataLayout = new QHBoxLayout(frData_);
    dataLayout->addWidget(new QLabel(QStringLiteral("Valoare:"), frData_));
    dtpValoareData_ = new NullableDateEdit(frData_);
    dtpValoareData_->setObjectName(QStringLiteral("dtpValoareData"));
    dtpValoareData_->setDisplayFormat(QStringLiteral("dd/MM/yyyy"));
    dataLayout->addWidget(dtpValoareData_);

    frNumar_ = frame(this, QStringLiteral("frNumar"), QStringLiteral("Numar:"));
    auto* numberLayout = new QGridLayout(frNumar_);
    numberLayout->addWidget(new QLabel(QStringLiteral("Valoare:"), frNumar_), 0, 0);
    txtValoareNumar_ = new HookedLineEdit(frNumar_);
    txtValoareNumar_->setObjectName(QStringLiteral("txtValoareNumar"));
    numberLayout->addWidget(txtValoareNumar_, 0, 1, 1, 2);
    numberLayout->addWidget(new QLabel(QStringLiteral("Scala:"), frNumar_), 1, 0);
    txtScala_ = new QLineEdit(QStringLiteral("0"), frNumar_);
    txtScala_->setObjectName(QStringLiteral("txtScala"));
    txtScala_->setEnabled(false);
    numberLayout->addWidget(txtScala_, 1, 1);
    scrlScala_ = new QScrollBar(Qt::Horizontal, frNumar_);
    scrlScala_->setObjectName(QStringLiteral("scrlScala"));
    scrlScala_->setRange(0, MaxScale);
    numberLayout->addWidget(scrlScala_, 1, 2);

    grid->addWidget(frTip, 0, 0);
    grid->addWidget(frAliniere, 0, 1);
    grid->addWidget(frText_, 1, 0, 1, 2);
    grid->addWidget(frData_, 2, 0, 1, 2);
    grid->addWidget(frNumar_, 3, 0, 1, 2);

    connect(optTip_, &QButtonGroup::idClicked, this, [this](int id) { kindSwitch(id); });
    connect(optTipAliniere_, &QButtonGroup::idClicked, this, [this] {
        if (loaded_) markChanged();
    });
    connect(scrlScala_, &QScrollBar::valueChanged, this, [this](int s) { scaleChanged(s); });
    connect(txtValoareText_, &QLineEdit::textChanged, this, [this] {
        if (loaded_) markChanged();
    });
    txtValoareText_->hooks.focusIn = [this] {
        txtValoareText_->setCursorPosition(static_cast<int>(txtValoareText_->text().size()));
    };
    dtpValoareData_->userChanged = [this] {
        if (loaded_) markChanged();
    };
    txtValoareNumar_->hooks.keyPress = [this](QKeyEvent* e) {
        bool used = true;
        guarded([&] { used = numberKey(e); });
        return used;
    };
    txtValoareNumar_->hooks.focusIn = [this] { guarded([this] { numberFocusIn(); }); };
    txtValoareNumar_->hooks.focusOut = [this] { guarded([this] { showNumber(); }); };
    connect(txtValoareNumar_, &QLineEdit::textChanged, this, [this] { guarded([this] { numberTyped(); }); });
}

void PaginaProprietati::numberFocusIn() {
    filling_ = true;
    txtValoareNumar_->setText(isZeroOrEmpty(number_) ? QString() : editNumber(number_, scrlScala_->value()));
    filling_ = false;
    acceptedText_ = txtValoareNumar_->text();
    txtValoareNumar_->setCursorPosition(static_cast<int>(txtValoareNumar_->text().size()));
}

PaginaProprietati::~PaginaProprietati() {
    // The boxes' hooks would otherwise run while the page goes.
    txtValoareNumar_->hooks = {};
    txtValoareText_->hooks = {};
    dtpValoareData_->userChanged = {};
}

// Window events never throw through Qt: a failure is reported.
template <class F>
void PaginaProprietati::guarded(F&& handler) {
    try {
        handler();
    } catch (const std::exception& e) {
        reportWindowEventError("PaginaProprietati", e);
    }
}

void PaginaProprietati::markChanged() {
    changed_ = true;
    if (onChanged) onChanged();
}

int PaginaProprietati::chosen(const QButtonGroup& group) const { return group.checkedId(); }

void PaginaProprietati::choose(QButtonGroup& group, int index) {
    if (QAbstractButton* option = group.button(index)) {
        option->setChecked(true);
        return;
    }
    group.setExclusive(false);  // a value no option stands for: none chosen
    for (QAbstractButton* option : group.buttons()) option->setChecked(false);
    group.setExclusive(true);
}

void PaginaProprietati::showNumber() {
    filling_ = true;
    const QString text = txtValoareNumar_->text();
    if (text == u"-" || text.isEmpty()) number_ = com::Variant(int16_t{0});
    txtValoareNumar_->setText(formatNumber(number_, scrlScala_->value(), true));
    filling_ = false;
    acceptedText_ = txtValoareNumar_->text();
}

void PaginaProprietati::numberTyped() {
    if (filling_) return;
    const auto number = parseNumberText(txtValoareNumar_->text());
    if (!number) {  // pasted text that is no number: keep the last one
        filling_ = true;
        txtValoareNumar_->setText(acceptedText_);
        filling_ = false;
        return;
    }
    acceptedText_ = txtValoareNumar_->text();
    number_ = *number;
}

bool PaginaProprietati::numberKey(QKeyEvent* event) {
    const auto ascii = keyAscii(*event);
    if (!ascii) return false;
    const int16_t key = *ascii;
    const int caret =
        txtValoareNumar_->hasSelectedText() ? txtValoareNumar_->selectionStart() : txtValoareNumar_->cursorPosition();
    const QString text = txtValoareNumar_->text();
    const auto scale = static_cast<uint8_t>(scrlScala_->value());
    int16_t result = 0;
    if (key == 8) {
        markChanged();
        return false;
    }
    if (key == '-') result = validezTastaNumar(static_cast<int16_t>(caret), key, text, 0);
    else if (key == '.')
        result = chosen(*optTip_) == 3 ? validezTastaNumar(static_cast<int16_t>(caret), key, text, scale) : int16_t{0};
    else if (key >= '0' && key <= '9') result = validezTastaNumar(static_cast<int16_t>(caret), key, text, scale);
    else return true;  // swallowed, the page unchanged
    markChanged();
    return result == 0;
}

void PaginaProprietati::kindSwitch(int kind) {
    scrlScala_->setEnabled(false);
    txtScala_->setText(QStringLiteral("0"));
    txtValoareText_->setText(QString());
    number_ = com::Variant(int16_t{0});
    filling_ = true;
    txtValoareNumar_->setText(QStringLiteral("0"));
    filling_ = false;
    acceptedText_ = txtValoareNumar_->text();
    scrlScala_->setValue(0);
    frText_->setEnabled(kind == 0);
    frData_->setEnabled(kind == 1);
    frNumar_->setEnabled(kind == 3);
    if (kind == 1) dtpValoareData_->setValue(QDateTime(QDate::currentDate(), QTime(0, 0)));
    else dtpValoareData_->setNull();
    scrlScala_->setEnabled(kind == 3);
    if (loaded_) markChanged();
}

void PaginaProprietati::scaleChanged(int scale) {
    txtScala_->setText(QString::number(scale));
    // The number is what the box shows: rounded to the new scale.
    number_ = parseEditNumber(editNumber(number_, scale)).value_or(com::Variant(int16_t{0}));
    filling_ = true;
    txtValoareNumar_->setText(formatNumber(number_, scale, true));
    filling_ = false;
    acceptedText_ = txtValoareNumar_->text();
    if (loaded_) markChanged();
}

void PaginaProprietati::selectionChanged(const std::vector<com::ComPtr<com::IDispatch>>& selected) {
    if (selected.empty() || !selected.front()) return;
    com::IDispatch& c = *selected.front();
    loaded_ = false;
    const int32_t kind = com::getProperty(c, "TipData").toLong();
    choose(*optTip_, kind);
    kindSwitch(kind);
    choose(*optTipAliniere_, com::getProperty(c, "Alignment").toLong());
    const int decimals = toByte(com::getProperty(c, "NrZecimale"));
    txtScala_->setText(QString::number(decimals));
    const com::Variant value = com::getProperty(c, "Valoare");
    if (kind == 0) {
        txtValoareText_->setText(value.isNull() ? QString() : QString::fromStdString(value.toString()));
    } else if (kind == 1) {
        if (value.isNull()) dtpValoareData_->setNull();
        else dtpValoareData_->setValue(toDateTime(value.toDate()));
    } else if (kind == 3) {
        number_ = isNumberValue(value) ? value : com::Variant(int16_t{0});
        filling_ = true;
        txtValoareNumar_->setText(formatNumber(number_, decimals, true));
        filling_ = false;
    }
    scrlScala_->setValue(std::min(decimals, MaxScale));
    scaleChanged(scrlScala_->value());
    loaded_ = true;
}

void PaginaProprietati::applyChanges(const std::vector<com::ComPtr<com::IDispatch>>& selected) {
    if (selected.empty() || !selected.front()) return;
    com::IDispatch& c = *selected.front();
    com::putProperty(c, "NrZecimale", com::Variant(txtScala_->text().toStdString()));
    if (const int alignment = chosen(*optTipAliniere_); alignment >= 0)
        com::putProperty(c, "Alignment", com::Variant(int32_t{alignment}));
    const int kind = chosen(*optTip_);
    if (kind < 0) return;
    com::putProperty(c, "TipData", com::Variant(int32_t{kind}));
    com::Variant value;
    switch (kind) {
    case 0:
        value = txtValoareText_->text().isEmpty() ? com::Variant::null()
                                                  : com::Variant(txtValoareText_->text().toStdString());
        break;
    case 1:
        value = dtpValoareData_->isNull() ? com::Variant::null() : com::Variant(toDate(dtpValoareData_->dateTime()));
        break;
    case 3: {
        const QString text = txtValoareNumar_->text();
        value = (text == u"-" || text.isEmpty()) ? com::Variant(int16_t{0}) : number_;
        break;
    }
    default: value = com::Variant("0|"); break;
    }
    com::putProperty(c, "Valoare", value);
}

}  // namespace quillon
