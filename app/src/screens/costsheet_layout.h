#pragma once
// The cost-sheet forms' layout, built from one table: the header (sheet key and period),
// the three nested tab pages with the 85 amount fields and their caption labels, and the
// six-button bar. The hospital and the ward form differ only where the table says so.
#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include <QColor>
#include <QFont>
#include <QString>

class QGroupBox;
class QLabel;
class QPushButton;
class QTabWidget;
class QWidget;

namespace velmora {

class HostedControl;
struct ButtonBar;

enum class CostSheetKind { Spital, Sectie };

// A caption label's back colour marks the row's role.
enum class LabelRole { Yellow, Orange, Green };

// Where a field sits: above the category tabs on the personnel page, on a category tab
// (SSTab2), on the materials page or on the capital page (SSTab1 tabs 1 and 2).
enum class FieldPage { Personal, Category, Materiale, Capital };

// How a field's edit reaches the others: a group part re-shows its total, a group total
// re-shows its parts.
enum class FieldKind { Plain, GroupPart, GroupTotal };

// Left, top and width in twips; every row is 285 twips high.
struct TwipsRow {
    int left = 0;
    int top = 0;
    int width = 0;
};
inline constexpr int kRowHeightTwips = 285;

struct FieldSpec {
    std::string name;     // control name: "ctl" and the sheet's property
    std::string tag;      // the sheet's property it shows
    std::string caption;  // as designed: "&&" stands for one "&"
    LabelRole role = LabelRole::Yellow;
    FieldPage page = FieldPage::Personal;
    int category = 0;  // 1..6 on a category tab
    TwipsRow label;
    TwipsRow field;
    FieldKind kind = FieldKind::Plain;
    std::string total;               // a group part's total control
    std::vector<std::string> parts;  // a group total's part controls, from _01 upward
    bool afisezFormat = true;        // digit grouping
    bool designEnabled = true;       // disabled at design time, in the scroll-bar grey
};

struct HeaderSpec {
    std::string name;  // the combo's name
    std::string tag;
    std::string caption;
    TwipsRow label;
    TwipsRow combo;
    bool designEnabled = true;
};

struct ButtonSpec {
    int left = 0;
    int width = 0;
};

// The 85 fields of a sheet, in tab order.
const std::vector<FieldSpec>& costSheetFields(CostSheetKind kind);
// The sheet-key combo (hospital or ward) and the period combo, in tab order.
const std::array<HeaderSpec, 2>& costSheetHeader(CostSheetKind kind);
// cmdButton(0..5), all at top 90 twips, 375 high.
const std::array<ButtonSpec, 6>& costSheetButtons();

// 66 blanks and the form's own words.
QString costSheetCaption(CostSheetKind kind);
// The caption as shown: "&&" is one "&".
QString shownCaption(const std::string& caption);
// The label colour of a role.
QColor roleColor(LabelRole role);

inline constexpr int kFormWidthTwips = 11835;
inline constexpr int kFormHeightTwips = 7245;

// The widgets of a built form.
struct CostSheetLayout {
    QGroupBox* frmDateGenerale = nullptr;
    QTabWidget* SSTab1 = nullptr;
    QTabWidget* SSTab2 = nullptr;
    HostedControl* cmbCheie = nullptr;  // cmbSpital or cmbSectieFiltrat
    HostedControl* cmbPerioada = nullptr;
    std::vector<HostedControl*> fields;            // in tab order, as costSheetFields
    std::map<std::string, HostedControl*> byName;  // the two combos and the 85 fields
    std::map<std::string, QLabel*> labels;         // each control's caption label, by control name
    QWidget* picButton = nullptr;
    std::array<QPushButton*, 6> cmdButton{};
};

// Places the whole layout on `form`: creates the frame, the tabs, the labels, the header
// combos and the 85 fields with their design properties, and places the button bar that
// the form made. Sets the tab order. Raises com::Error when a control cannot be created.
CostSheetLayout buildCostSheetLayout(QWidget* form, CostSheetKind kind, const ButtonBar& bar);

// Shows the tab pages that hold `widget` (a field or a combo of the layout).
void showPageOf(const CostSheetLayout& layout, const QWidget* widget);

}  // namespace velmora
