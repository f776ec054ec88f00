#pragma once
// A grid created by ProgID in a shown window, bound to a collection of the test's own,
// with the host's column definitions answered from a table, its events recorded and
// its inner widgets at hand.
#include <gtest/gtest.h>

#include <memory>

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QTableView>

#include "grid_collection.h"
#include "registry_support.h"
#include "support.h"
#include "typelib/my_grid.h"
#include "typelib/quillon.h"

namespace quillon::test {

// An amount as a source holds it.
inline com::Variant money(double value) { return com::Variant(com::Currency::fromDouble(value)); }

// One column as the host defines it in SetareSursa.
struct HostColumn {
    Enumeratori::ControlTIP tip = Enumeratori::ControlTIP::eControlPersonal;
    Enumeratori::ControlPersonalTIP kind = Enumeratori::ControlPersonalTIP::eText;
    int16_t decimals = 0;
    Enumeratori::AgregareTIP total = Enumeratori::AgregareTIP::aNimic;
    bool editable = true;
    std::string list = {};
    std::string formula = {};  // a formula column when not empty
    bool member = false;       // formula columns follow its edits
    std::string refresh = {};
    Enumeratori::ControlALINIERE align = Enumeratori::ControlALINIERE::eLeft;
};

class GridTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { registry = std::make_unique<TemporaryRegistry>("quillon-grid"); }
    static void TearDownTestSuite() { registry.reset(); }

    void SetUp() override {
        pinEnglish();
        grid = com::CreateObject("Quillon.MyGrid");
        ASSERT_TRUE(grid);
        host = std::make_unique<HostWindow>(grid);
        host->widget->setMinimumSize(640, 260);
        host->window.resize(700, 360);
        settle();
        events = std::make_unique<EventLog>(*grid, my_grid::EventsId, std::vector<com::DispId>{1, 2, 3, 4, 5, 6});
        events->answers[my_grid::event::SetareSursa] = [this](com::Args a) { define(a); };
    }
    void TearDown() override {
        events.reset();
        host.reset();
        grid.reset();
        settle();
    }

    // Answers SetareSursa from `columns`, one column per call.
    void define(com::Args a) {
        if (columns.empty()) return;
        const HostColumn& c = columns.at(static_cast<size_t>(defined++) % columns.size());
        a[1] = com::Variant(static_cast<int32_t>(c.tip));
        a[2] = com::Variant(static_cast<int32_t>(c.kind));
        a[3] = com::Variant(c.decimals);
        a[4] = com::Variant(true);
        a[5] = com::Variant(static_cast<int32_t>(c.align));
        a[6] = com::Variant(c.editable);
        a[7] = com::Variant(int16_t{1200});
        a[8] = com::Variant(c.member);
        a[9] = com::Variant(!c.formula.empty());
        a[10] = com::Variant(c.formula);
        a[11] = com::Variant(static_cast<int32_t>(c.total));
        a[13] = com::Variant(c.list);
        a[14] = com::Variant(c.refresh);
    }

    void set(com::DispId id, com::Variant value) { put(*grid, id, std::move(value)); }
    com::Variant read(com::DispId id) { return get(*grid, id); }

    void bind(const com::ComPtr<GridCollection>& source) {
        defined = 0;
        std::vector<com::Variant> args{com::Variant(source)};
        grid->Invoke(my_grid::dispid::SursaDate, com::InvokeKind::PropertyPutRef, args);
        settle();
    }

    std::string text(int32_t row, int32_t col) {
        std::vector<com::Variant> args{com::Variant(row), com::Variant(col)};
        return grid->Invoke(my_grid::dispid::InfoCelula, com::InvokeKind::PropertyGet, args).toString();
    }

    QTableView* fg() const { return host->inner<QTableView>("fg"); }
    int fixedRows() { return read(my_grid::dispid::AreTotal).toBool() ? 2 : 1; }
    int rows() { return fg()->model()->rowCount() + fixedRows(); }
    QModelIndex index(int row, int col) { return fg()->model()->index(row - fixedRows(), col - 1); }

    void focusGrid() {
        fg()->setFocus(Qt::OtherFocusReason);
        settle();
    }
    void moveTo(int row, int col) {
        focusGrid();
        fg()->selectionModel()->setCurrentIndex(index(row, col), QItemSelectionModel::ClearAndSelect);
        settle();
    }
    void press(Qt::Key key) {
        QTest::keyClick(fg(), key);
        settle();
    }
    void type(char c) {
        QTest::keyClick(fg(), c);
        settle();
    }
    int32_t currentRow() { return read(my_grid::dispid::RandGrid).toLong(); }
    int32_t currentCol() { return read(my_grid::dispid::ColoanaGrid).toLong(); }
    int32_t currentItem() { return read(my_grid::dispid::InregistrareaCurenta).toLong(); }

    QWidget* editor() const { return host->inner("ctlControl"); }
    QLineEdit* editorText() const { return editor()->findChild<QLineEdit*>("txt"); }
    QWidget* combo(int i) const { return host->inner(("cmbCombo" + std::to_string(i)).c_str()); }
    QCheckBox* check() const { return host->inner<QCheckBox>("chk"); }
    QAction* button(const char* key) const { return host->widget->findChild<QAction*>(key); }

    // Ends a typed edit with Enter in the editor.
    void enterInEditor() {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        settle();
        settle();
    }
    // Types `keys` on the current cell (the first opens the editor) and leaves with Enter.
    void typeAndLeave(const char* keys) {
        type(keys[0]);
        ASSERT_TRUE(editor()->isVisible());
        QTest::keyClicks(editorText(), QString::fromLatin1(keys + 1));
        enterInEditor();
    }

    static inline std::unique_ptr<TemporaryRegistry> registry;
    com::ComPtr<com::IDispatch> grid;
    std::unique_ptr<HostWindow> host;
    std::unique_ptr<EventLog> events;
    std::vector<HostColumn> columns;
    int defined = 0;
};

}  // namespace quillon::test
