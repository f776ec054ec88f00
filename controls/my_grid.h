#pragma once
// MyGrid: an editable table bound to a host's collection (ModelColectie), with columns
// the host defines one by one, a totals row, deleted items struck through, in-place
// editors opened by typing on a cell, and a toolbar that adds, deletes and restores lines.
#include <map>
#include <memory>
#include <string>
#include <vector>

#include <QString>

#include "com/events.h"
#include "com/variant.h"
#include "control_object.h"
#include "grid_table.h"
#include "typelib/ModelColectie.h"
#include "typelib/my_grid.h"

class QAction;
class QLabel;
class QToolBar;

namespace quillon {

class GridDelegate;
class GridEdit;
class GridHeader;
class GridModel;
class GridView;

class MyGrid final : public ControlObject<MyGrid, IMyGrid> {
public:
    MyGrid();
    ~MyGrid() override;

    static const com::DispatchTable<MyGrid>& dispatchTable();

    // IControlHost. The grid has no initialisation of its own: a new instance takes the
    // defaults of its persisted properties.
    void InitProperties() override;
    void ReadProperties(const com::PropertyBag& bag) override;
    void WriteProperties(com::PropertyBag& bag) override;

    // Members, as the dispatch table reaches them.
    bool areSursaDate() const { return areSursaDate_; }
    QString infoCelula(int32_t row, int32_t col) const;
    int32_t randGrid() const;
    int32_t coloanaGrid() const;
    bool permitRandNou() const { return permitRandNou_; }
    void setPermitRandNou(bool value);
    bool permitDelete() const { return permitDelete_; }
    void setPermitDelete(bool value);
    bool areTotal() const { return areTotal_; }
    void setAreTotal(bool value);
    QString titlu() const;
    void setTitlu(const QString& value);
    int32_t inregistrareaCurenta() const;
    QString fixedFont() const { return fixedFont_.toString(); }
    void setFixedFont(const QString& description);
    int32_t highLight() const { return highLight_; }
    void setHighLight(int32_t value);
    int32_t focusRect() const { return focusRect_; }
    void setFocusRect(int32_t value);
    int32_t gridLinesFixed() const { return gridLinesFixed_; }
    void setGridLinesFixed(int32_t value);
    int32_t gridLines() const { return gridLines_; }
    void setGridLines(int32_t value);
    int32_t textStyleFixed() const { return textStyleFixed_; }
    void setTextStyleFixed(int32_t value);
    int32_t textStyle() const { return textStyle_; }
    void setTextStyle(int32_t value);
    void setSursaDate(const com::Variant& source);
    void refreshLine(int32_t line, int32_t col);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    using Tip = Enumeratori::ControlTIP;
    using PersonalTip = Enumeratori::ControlPersonalTIP;
    using Agregare = Enumeratori::AgregareTIP;

    // What the host said of one column in SetareSursa.
    struct ColumnDefinition {
        std::string numeColoana;
        int32_t tipControl = 0;
        int32_t controlPersonalTip = 0;
        uint8_t nrZecimale = 0;
        bool permitSelectManual = false;
        int32_t aliniere = 0;
        bool enableEdit = false;
        int16_t latime = 0;
        bool membruFormula = false;
        bool formula = false;
        std::string definireFormula;
        int32_t agregare = static_cast<int32_t>(Agregare::aNimic);
        Amount totalAgregare;
        std::string sirCombo;
        int16_t indexCombo = 0;
        std::string coloaneRefresh;

        bool is(Tip t) const { return tipControl == static_cast<int32_t>(t); }
        bool isPersonal(PersonalTip t) const {
            return is(Tip::eControlPersonal) && controlPersonalTip == static_cast<int32_t>(t);
        }
        bool sums() const { return agregare == static_cast<int32_t>(Agregare::aSuma); }
    };

    // ---- Binding and the cells (my_grid.cpp) ----
    void bind();
    void fill();
    void resetSource();
    void resetCombo();
    void loadCombo(int col, const std::string& list);
    void addComboColumn(int lastRow, int list);
    void growComboKeys(int rows, int lists);
    int32_t getComboKey(int dataRow, int list) const;
    void setComboKey(int dataRow, int list, int32_t key);
    std::vector<int32_t>& selectionKeys(int col);
    const ColumnDefinition& definition(int col) const;
    ColumnDefinition& definition(int col);
    // Writes a cell from a source value by the column's kind (keys kept aside).
    void writeCell(int row, int col, com::Variant value);
    // Stores a source value in a cell by the column's kind, the keys kept aside; gives
    // the amount a number cell now holds.
    const Amount* storeCell(const ColumnDefinition& def, Cell& cell, com::Variant&& value, int dataRow, int col);
    // Writes a cell of a line without an item (the empty line, a new line).
    void writeBlankCell(int row, int col);
    void adjustTotal(int col, const Amount& difference);
    // The column's total moved by `difference`, without storing it (raises 6 beyond range).
    Amount adjustedTotal(int col, const Amount& difference) const;
    // The totals cell of a summed column as the sum of its cells (deleted items left out).
    void sumColumn(int col);
    // The line shows again what its item holds, and the totals follow; a line without an
    // item shows empty. Raises the first failure of a read after reading every cell.
    void rereadLine(int row);
    Amount cellAmount(int row, int col) const;
    static Amount updateTotal(Enumeratori::TipSemn sign, const Amount& total, const com::Variant& amount, int decimals);
    com::Variant evaluateFormula(const std::string& formula, int32_t index);
    void layout();
    void showFont();
    void setCurrentCell(int row, int col);
    int currentRow() const;
    int currentCol() const;
    void cellsChanged(int row) const;
    Gravlin::ModelColectie& source() const;

    // ---- Navigation, focus and the toolbar (my_grid_toolbar.cpp) ----
    void enterNavigation();
    void updateToolbarState();
    void disableToolbar();
    bool tracking() const { return focus_ != Focus::Untracked; }
    void track();
    void onFocusChanged(QWidget* old, QWidget* now);
    void exitFocus();
    void buttonClick(const std::string& key);
    void addLine();
    void markLine(bool deleted);
    bool selectionSpansRows() const;
    void setScrollBars(bool on);

    QLabel* lblTitlu_ = nullptr;
    QToolBar* tBar_ = nullptr;
    QAction* kNew_ = nullptr;
    QAction* kDelete_ = nullptr;
    QAction* kUnDelete_ = nullptr;
    GridView* fg_ = nullptr;
    GridModel* model_ = nullptr;
    GridHeader* header_ = nullptr;
    GridHeader* rowHeader_ = nullptr;  // the row selectors
    GridDelegate* delegate_ = nullptr;
    std::unique_ptr<GridEdit> edit_;
    QMetaObject::Connection focusConnection_;

    GridTable table_;
    com::ComPtr<Gravlin::ModelColectie> source_;
    std::vector<ColumnDefinition> columns_;
    int comboCounter_ = 1;
    std::vector<std::vector<int32_t>> cheiCombo_;       // [list][data row]
    std::map<int, std::vector<int32_t>> cheiSelectie_;  // [selection column][data row]

    bool permitRandNou_ = false;
    bool permitDelete_ = false;
    bool areTotal_ = false;
    bool areSursaDate_ = false;
    QFont fixedFont_;
    int32_t highLight_ = 0, focusRect_ = 0, gridLinesFixed_ = 1, gridLines_ = 1, textStyleFixed_ = 0, textStyle_ = 0;

    // The toolbar follows the current cell once the grid first had the focus or a source;
    // leaving the grid for another widget of its window takes the cursor home.
    enum class Focus { Untracked, Outside, Inside };
    Focus focus_ = Focus::Untracked;

    friend class ControlObject<MyGrid, IMyGrid>;
    friend class GridEdit;
};

}  // namespace quillon
