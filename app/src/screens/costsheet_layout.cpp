#include "screens/costsheet_layout.h"

#include <QFontInfo>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QLayout>
#include <QPalette>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>

#include <utility>

#include "com/error.h"
#include "forms/formcontroller.h"
#include "forms/hostedcontrol.h"
#include "typelib/ole_color.h"
#include "typelib/quillon.h"
#include "typelib/twips.h"

namespace velmora {
namespace {

namespace color = quillon::color;
using quillon::oleColor;
using quillon::twips;

constexpr int kPersonalWidth = 1545;
constexpr int kOtherWidth = 1455;

std::string amountName(const char* line, int category) { return std::string(line) + "_" + std::to_string(category); }

// One field's row of the table.
FieldSpec field(std::string tag, std::string caption, LabelRole role, FieldPage page, TwipsRow label, TwipsRow box) {
    FieldSpec spec;
    spec.name = "ctl" + tag;
    spec.tag = std::move(tag);
    spec.caption = std::move(caption);
    spec.role = role;
    spec.page = page;
    spec.label = label;
    spec.field = box;
    return spec;
}

// The nine fields of one staff category's tab: its total, its seven budget lines, its
// head count.
void addCategory(std::vector<FieldSpec>& fields, int k, CostSheetKind kind) {
    struct Line {
        const char* line;
        const char* caption;
        int top;
    };
    static constexpr std::array<Line, 7> lines{{
        {"c10", " 10 - Cheltuieli salarii", 1170},
        {"c11", " 11 - Asigurari sociale de stat", 1695},
        {"c12", " 12 - Asigurari de somaj", 2235},
        {"c13", " 13 - Asigurari sociale sanatate", 2760},
        {"c14", " 14 - Deplasari, detasari, transferari", 3285},
        {"c15", " 15 - Tichete de masa", 3825},
        {"c16", " 16 - Accidente de munca", 4350},
    }};
    auto onTab = [k](FieldSpec spec) {
        spec.category = k;
        return spec;
    };
    fields.push_back(onTab(field(amountName("c02", k), " 02 - Total cheltuieli ", LabelRole::Orange,
                                 FieldPage::Category, {360, 630, 3945}, {5190, 630, kPersonalWidth})));
    for (const Line& line : lines) {
        FieldSpec spec = onTab(field(amountName(line.line, k), line.caption, LabelRole::Yellow, FieldPage::Category,
                                     {360, line.top, 3945}, {5190, line.top, kPersonalWidth}));
        // The ward form shows the doctors' budget lines without digit grouping.
        if (kind == CostSheetKind::Sectie && k == 1) spec.afisezFormat = false;
        fields.push_back(std::move(spec));
    }
    fields.push_back(onTab(field(amountName("Angajati", k), " Nr. angajati", LabelRole::Green, FieldPage::Category,
                                 {7290, 630, 2265}, {9690, 630, kPersonalWidth})));
}

// A linked group: its total and parts, the parts' labels in a column under the total.
void addGroup(std::vector<FieldSpec>& fields, const char* total, std::string caption, TwipsRow label, TwipsRow box,
              int partCount, int partLabelLeft, int firstPartTop, bool linked, bool designEnabled) {
    FieldSpec head = field(total, std::move(caption), LabelRole::Yellow, FieldPage::Materiale, label, box);
    head.designEnabled = designEnabled;
    std::vector<FieldSpec> parts;
    for (int i = 1; i <= partCount; ++i) {
        const std::string tag = std::string(total) + (i < 10 ? "_0" : "_") + std::to_string(i);
        const int top = firstPartTop + 330 * (i - 1);
        FieldSpec part = field(tag, " " + tag.substr(1, 2) + "." + tag.substr(4), LabelRole::Orange,
                               FieldPage::Materiale, {partLabelLeft, top, 1125}, {box.left, top, kOtherWidth});
        if (linked) {
            part.kind = FieldKind::GroupPart;
            part.total = head.name;
            head.parts.push_back(part.name);
        }
        parts.push_back(std::move(part));
    }
    if (linked) head.kind = FieldKind::GroupTotal;
    fields.push_back(std::move(head));
    for (FieldSpec& part : parts) fields.push_back(std::move(part));
}

std::vector<FieldSpec> makeFields(CostSheetKind kind) {
    const bool ward = kind == CostSheetKind::Sectie;
    std::vector<FieldSpec> fields;
    fields.push_back(field("TCP", " TOTAL cheltuieli personal ", LabelRole::Yellow, FieldPage::Personal,
                           {120, 540, 3945}, {4920, 540, kPersonalWidth}));
    for (int k = 1; k <= 6; ++k) addCategory(fields, k, kind);

    fields.push_back(field("c22", " 22 - Hrana", LabelRole::Yellow, FieldPage::Materiale, {120, 570, 3285},
                           {3450, 570, kOtherWidth}));
    // Article 23 is a summed group on the hospital sheet only; the ward types it freely.
    addGroup(fields, "c23", " 23 - Medicamente && mat. sanit", {120, 930, 3285}, {3450, ward ? 930 : 960, kOtherWidth},
             4, 2280, 1320, !ward, ward);
    // The ward form's group 24 sits 30 twips lower.
    const int shift = ward ? 30 : 0;
    addGroup(fields, "c24", " 24 - Intretinere si gospodarire", {90, 3000 + shift, 3315},
             {3450, 3000 + shift, kOtherWidth}, 7, 2280, 3420 + shift, true, ward);
    addGroup(fields, "c25", " 25 - Materiale si prestari servicii", {5460, 570, 3735}, {9240, 570, kOtherWidth}, 9,
             8070, 990, true, ward);
    struct Plain {
        const char* tag;
        const char* caption;
        int top;
    };
    static constexpr std::array<Plain, 5> rest{{
        {"c26", " 26 - Obiecte de inventar", 3960},
        {"c27", " 27 - Reparatii curente", 4320},
        {"c28", " 28 - Reparatii capitale", 4680},
        {"c29", " 29 - Carti si publicatii", 5040},
        {"c30", " 30 - Alte cheltuieli", 5400},
    }};
    for (const Plain& line : rest)
        fields.push_back(field(line.tag, line.caption, LabelRole::Yellow, FieldPage::Materiale, {5460, line.top, 3735},
                               {9240, line.top, kOtherWidth}));
    fields.push_back(field("c72", " 72 - Investitii institutii publice", LabelRole::Yellow, FieldPage::Capital,
                           {120, 570, 3735}, {3900, 570, kOtherWidth}));
    return fields;
}

// The fonts of the forms; where the designed family is missing, a sans-serif of similar
// width stands in for it.
QFont screenFont(double points, bool bold) {
    QFont font;
    font.setFamilies({QStringLiteral("MS Sans Serif"), QStringLiteral("Liberation Sans"), QStringLiteral("Arial"),
                      QStringLiteral("DejaVu Sans Condensed"), QStringLiteral("DejaVu Sans")});
    font.setPointSizeF(points);
    font.setBold(bold);
    QFont resolved(QFontInfo(font).family());
    resolved.setPointSizeF(points);
    resolved.setBold(bold);
    return resolved;
}

// The designed label font, made smaller only as far as needed for every caption to fit
// its label when the stand-in family is wider than the designed one.
QFont labelFont(const std::vector<std::pair<QString, int>>& captions) {
    for (double points = 9.75; points > 6.0; points -= 0.25) {
        const QFont font = screenFont(points, true);
        const QFontMetrics metrics(font);
        bool fits = true;
        for (const auto& [text, width] : captions)
            if (metrics.horizontalAdvance(text) + 4 > width) fits = false;
        if (fits) return font;
    }
    return screenFont(6.0, true);
}

// A tab page whose children are placed in twips measured from the tab control's outer
// edge, as the designed layout gives them, whatever the height of the tab strip.
class TwipsPage final : public QWidget {
public:
    TwipsPage(QTabWidget* tabs) : QWidget(tabs), tabs_(tabs) {}

    void place(QWidget* child, TwipsRow row, int heightTwips = kRowHeightTwips) {
        items_.push_back({child, QRect(twips(row.left), twips(row.top), twips(row.width), twips(heightTwips))});
        placeOne(items_.back());
    }

protected:
    void resizeEvent(QResizeEvent*) override { placeAll(); }
    void moveEvent(QMoveEvent*) override { placeAll(); }

private:
    struct Item {
        QWidget* child;
        QRect rect;  // in the tab control's coordinates
    };
    void placeOne(const Item& item) const {
        const QPoint origin = mapTo(tabs_, QPoint(0, 0));
        QRect rect = item.rect.translated(-origin);
        // A child taller than its row keeps its own height (the entry fields have one).
        if (item.child->minimumHeight() > rect.height()) rect.setHeight(item.child->minimumHeight());
        item.child->setGeometry(rect);
    }
    void placeAll() {
        for (const Item& item : items_) placeOne(item);
    }

    QTabWidget* tabs_;
    std::vector<Item> items_;
};

// All tabs on one strip, their captions whole: the strip's font is made smaller only as
// far as needed.
void fitTabs(QTabWidget* tabs) {
    tabs->setUsesScrollButtons(false);
    tabs->setElideMode(Qt::ElideNone);
    for (double points = 8.25; points > 6.0; points -= 0.25) {
        tabs->setFont(screenFont(points, false));
        if (tabs->tabBar()->sizeHint().width() <= tabs->width() - 4) return;
    }
}

QLabel* captionLabel(QWidget* parent, const std::string& caption, LabelRole role, const QString& controlName) {
    auto* label = new QLabel(shownCaption(caption), parent);
    label->setObjectName(QStringLiteral("lbl") + controlName);
    label->setTextFormat(Qt::PlainText);
    label->setFrameShape(QFrame::Box);
    label->setLineWidth(1);
    label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    label->setAutoFillBackground(true);
    QPalette palette = label->palette();
    palette.setColor(QPalette::Window, roleColor(role));
    palette.setColor(QPalette::WindowText, oleColor(color::WindowText));
    label->setPalette(palette);
    return label;
}

void paintWidget(QWidget* widget, int32_t ole) {
    widget->setAutoFillBackground(true);
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, oleColor(ole));
    widget->setPalette(palette);
}

}  // namespace

const std::vector<FieldSpec>& costSheetFields(CostSheetKind kind) {
    static const std::vector<FieldSpec> spital = makeFields(CostSheetKind::Spital);
    static const std::vector<FieldSpec> sectie = makeFields(CostSheetKind::Sectie);
    return kind == CostSheetKind::Spital ? spital : sectie;
}

const std::array<HeaderSpec, 2>& costSheetHeader(CostSheetKind kind) {
    static const std::array<HeaderSpec, 2> spital{{
        {"cmbSpital", "IdSpital", " Spital:", {90, 300, 1185}, {1350, 300, 6165}, false},
        {"cmbPerioada", "IdPerioada", " Perioada:", {7830, 300, 1185}, {9090, 300, 2205}, true},
    }};
    static const std::array<HeaderSpec, 2> sectie{{
        {"cmbSectieFiltrat", "IdSectieFiltrat", " Sectie:", {90, 300, 1185}, {1350, 300, 6165}, true},
        {"cmbPerioada", "IdPerioada", " Perioada:", {7830, 300, 1185}, {9090, 300, 2205}, true},
    }};
    return kind == CostSheetKind::Spital ? spital : sectie;
}

const std::array<ButtonSpec, 6>& costSheetButtons() {
    static const std::array<ButtonSpec, 6> buttons{{
        {300, 825},
        {1320, 825},
        {3300, 795},
        {4920, 765},
        {6600, 825},
        {10590, 765},
    }};
    return buttons;
}

QString costSheetCaption(CostSheetKind kind) {
    return QString(66, u' ') + (kind == CostSheetKind::Spital
                                    ? QStringLiteral("Introducere / editare / eliminare velmora la nivel de spital")
                                    : QStringLiteral("Introducere / editare / eliminare velmora la nivel de sectie"));
}

QString shownCaption(const std::string& caption) {
    return QString::fromStdString(caption).replace(QStringLiteral("&&"), QStringLiteral("&"));
}

QColor roleColor(LabelRole role) {
    switch (role) {
    case LabelRole::Yellow: return oleColor(0x00C0FFFF);
    case LabelRole::Orange: return oleColor(0x00C0E0FF);
    case LabelRole::Green: return oleColor(0x00C0FFC0);
    }
    return {};
}

CostSheetLayout buildCostSheetLayout(QWidget* form, CostSheetKind kind, const ButtonBar& bar) {
    CostSheetLayout layout;
    form->setFixedSize(twips(kFormWidthTwips), twips(kFormHeightTwips));

    const auto& header = costSheetHeader(kind);
    const auto& specs = costSheetFields(kind);
    std::vector<std::pair<QString, int>> captions;
    for (const HeaderSpec& spec : header) captions.emplace_back(shownCaption(spec.caption), twips(spec.label.width));
    for (const FieldSpec& spec : specs) captions.emplace_back(shownCaption(spec.caption), twips(spec.label.width));
    const QFont labels = labelFont(captions);
    const QFont small = screenFont(8.25, false);
    const QString fieldFont = small.toString();

    auto* frame = new QGroupBox(QStringLiteral("Date generale"), form);
    frame->setObjectName(QStringLiteral("frmDateGenerale"));
    frame->setGeometry(0, 0, twips(11835), twips(6645));
    frame->setFont(screenFont(8.25, true));
    paintWidget(frame, color::ScrollBar);
    layout.frmDateGenerale = frame;

    // Header: the sheet key and the period.
    for (std::size_t i = 0; i < header.size(); ++i) {
        const HeaderSpec& spec = header[i];
        const QString name = QString::fromStdString(spec.name);
        QLabel* label = captionLabel(frame, spec.caption, LabelRole::Yellow, name);
        label->setFont(labels);
        HostedControl* combo = HostedControl::create(quillon::my_combo::ProgId, frame, name);
        combo->setTag(spec.tag);
        const quillon::MyComboFacade keyed = combo->asCombo();
        keyed.setFont(fieldFont.toStdString());
        if (!spec.designEnabled) {
            keyed.setEnabled(false);
            keyed.setBackColor(color::ScrollBar);
        }
        combo->widget()->setGeometry(twips(spec.combo.left), twips(spec.combo.top), twips(spec.combo.width),
                                     std::max(twips(kRowHeightTwips), combo->widget()->minimumHeight()));
        label->setGeometry(twips(spec.label.left), twips(spec.label.top), twips(spec.label.width),
                           combo->widget()->height());
        (i == 0 ? layout.cmbCheie : layout.cmbPerioada) = combo;
        layout.byName[spec.name] = combo;
        layout.labels[spec.name] = label;
    }

    auto* ssTab1 = new QTabWidget(frame);
    ssTab1->setObjectName(QStringLiteral("SSTab1"));
    ssTab1->setFont(small);
    ssTab1->setGeometry(twips(30), twips(690), twips(11775), twips(5895));
    layout.SSTab1 = ssTab1;
    std::array<TwipsPage*, 3> pages1{};
    const std::array<QString, 3> titles1{QStringLiteral("Cheltuieli de personal"),
                                         QStringLiteral("Cheltuieli materiale"),
                                         QStringLiteral("Cheltuieli de capital")};
    for (int i = 0; i < 3; ++i) {
        pages1[i] = new TwipsPage(ssTab1);
        ssTab1->addTab(pages1[i], titles1[i]);
    }

    auto* ssTab2 = new QTabWidget(pages1[0]);
    ssTab2->setObjectName(QStringLiteral("SSTab2"));
    pages1[0]->place(ssTab2, {90, 1050, 11565}, 4755);
    layout.SSTab2 = ssTab2;
    std::array<TwipsPage*, 6> pages2{};
    const std::array<QString, 6> titles2{QStringLiteral("Salarii medici"),
                                         QStringLiteral("Salarii alt pers. superior si farmacisti"),
                                         QStringLiteral("Salarii pers. mediu sanitar"),
                                         QStringLiteral("Salarii pers. auxiliar sanitar"),
                                         QStringLiteral("Salarii TESA"),
                                         QStringLiteral("Salarii muncitori")};
    for (int i = 0; i < 6; ++i) {
        pages2[i] = new TwipsPage(ssTab2);
        ssTab2->addTab(pages2[i], titles2[i]);
    }
    fitTabs(ssTab2);

    for (const FieldSpec& spec : specs) {
        TwipsPage* page = nullptr;
        switch (spec.page) {
        case FieldPage::Personal: page = pages1[0]; break;
        case FieldPage::Category: page = pages2[spec.category - 1]; break;
        case FieldPage::Materiale: page = pages1[1]; break;
        case FieldPage::Capital: page = pages1[2]; break;
        }
        const QString name = QString::fromStdString(spec.name);
        QLabel* label = captionLabel(page, spec.caption, spec.role, name);
        label->setFont(labels);

        HostedControl* control = HostedControl::create(quillon::control_personal::ProgId, page, name);
        control->setTag(spec.tag);
        const quillon::ControlPersonalFacade entry = control->asEntry();
        entry.setTipData(quillon::TipData::Numar);
        entry.setNrZecimale(0);
        entry.setAfisezFormat(spec.afisezFormat);
        entry.setAfisezMinute(false);
        entry.setAlignment(quillon::Alignment::Right);
        entry.setFont(fieldFont.toStdString());
        entry.setEnabled(spec.designEnabled);
        entry.setBackColor(spec.designEnabled ? color::Window : color::ScrollBar);
        entry.setForeColor(color::WindowText);
        entry.setValoare(int16_t{0});
        page->place(control->widget(), spec.field);
        // The label as high as the field beside it, when the field needs more than its row.
        page->place(label, spec.label,
                    std::max(kRowHeightTwips, control->widget()->minimumHeight() * quillon::TwipsPerPixel));
        layout.fields.push_back(control);
        layout.byName[spec.name] = control;
        layout.labels[spec.name] = label;
    }

    // The button bar the form made, at its designed places.
    bar.picButton->setParent(form);
    bar.picButton->setGeometry(0, twips(6660), twips(11835), twips(585));
    paintWidget(bar.picButton, color::ScrollBar);
    delete bar.picButton->layout();  // the buttons sit where the design puts them
    const auto& buttons = costSheetButtons();
    for (std::size_t i = 0; i < buttons.size(); ++i) {
        bar.cmdButton[i]->setGeometry(twips(buttons[i].left), twips(90), twips(buttons[i].width), twips(375));
        bar.cmdButton[i]->setFont(small);
    }
    layout.picButton = bar.picButton;
    layout.cmdButton = bar.cmdButton;

    // Tab order: the header, the fields as the table lists them, then the buttons.
    std::vector<QWidget*> chain{layout.cmbCheie->widget(), layout.cmbPerioada->widget()};
    for (HostedControl* control : layout.fields) chain.push_back(control->widget());
    for (QPushButton* button : layout.cmdButton) chain.push_back(button);
    for (std::size_t i = 1; i < chain.size(); ++i) QWidget::setTabOrder(chain[i - 1], chain[i]);
    ssTab1->setCurrentIndex(0);
    ssTab2->setCurrentIndex(0);
    return layout;
}

void showPageOf(const CostSheetLayout& layout, const QWidget* widget) {
    if (!widget) return;
    for (QTabWidget* tabs : {layout.SSTab1, layout.SSTab2})
        for (int i = 0; i < tabs->count(); ++i)
            if (tabs->widget(i)->isAncestorOf(widget)) tabs->setCurrentIndex(i);
}

}  // namespace velmora
