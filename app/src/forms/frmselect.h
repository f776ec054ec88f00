#pragma once
// The modal search dialog behind "Cauta..." of the edit screens. The caller says which
// kind of record it looks for (hospitals, hospital cost sheets, wards, ward cost sheets);
// the dialog shows only that kind's tab, builds a WHERE clause of
// integer keys from its combos, lists what the business library's LoadList returns, and
// hands the id of a double-clicked row to the caller through ItemSelectat.
#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include <QDialog>

#include "com/dispatch.h"
#include "forms/selectkind.h"

class QLabel;
class QPushButton;
class QTabWidget;
class QTreeWidget;
class QTreeWidgetItem;

namespace velmora {

class HostedControl;

class frmSelect final : public QDialog {
    Q_OBJECT
public:
    explicit frmSelect(QWidget* parent = nullptr);
    ~frmSelect() override;

    // The kind of record searched; a dialog never given one shows no tab and searches nothing.
    void setTipSelect(SelectKind kind) { mlTipSelect_ = kind; }

    // The clause of the last search ("" lists everything).
    const std::string& where() const { return msWhere_; }

    // The search of the current kind (the "Cauta..." button). A failure is reported and
    // the dialog stays open.
    void cmdCauta_Click();

    HostedControl* combo(const char* name) const;
    QTreeWidget* list(SelectKind kind) const { return lists_.at(static_cast<size_t>(kind)); }
    QTabWidget* ssTab() const { return ssTab_; }
    QPushButton* cmdCauta() const { return cmdCauta_; }
    QLabel* lblCount() const { return lblCount_; }

signals:
    // A row was double-clicked: its id, and always "" as text. Raised before the dialog closes.
    void ItemSelectat(int32_t ItemId, const QString& ItemText);

protected:
    void showEvent(QShowEvent* event) override;

private:
    // What one kind of record brings to the dialog (the table is in the source file).
    struct KindInfo;
    static std::span<const KindInfo, 4> kinds();
    const KindInfo* current() const;

    void activate();
    void tabStep();
    void cmbJudetSpital_Click();
    // The kinds' activations and WHERE clauses.
    void prepareSpitale();
    void prepareCostSpital();
    void prepareSectii();
    void prepareCostSectie();
    std::string whereSpitale() const;
    std::string whereCostSpital() const;
    std::string whereSectii() const;
    std::string whereCostSectie() const;
    void fillList(com::IDispatch& collection);
    void noRowsFound();
    // Where the focus goes on a tab of that kind before a search, and after an empty one.
    QWidget* focusTarget(const KindInfo& kind) const;
    void onDoubleClick(QTreeWidget* list, QTreeWidgetItem* item);

    QTabWidget* ssTab_ = nullptr;
    std::array<QTreeWidget*, 4> lists_{};
    QPushButton* cmdCauta_ = nullptr;
    QLabel* lblCount_ = nullptr;
    QLabel* lblTextCount_ = nullptr;
    HostedControl* cmbJudet_ = nullptr;
    HostedControl* cmbPerioadaSpital_ = nullptr;
    HostedControl* cmbJudetSpital_ = nullptr;
    HostedControl* cmbSpital_ = nullptr;
    HostedControl* cmbSpitalSectie_ = nullptr;
    HostedControl* cmbPerioadaSectie_ = nullptr;

    std::optional<SelectKind> mlTipSelect_;
    int32_t mlItemId_ = 0;
    std::string msWhere_;
    bool activated_ = false;
    // The result of the last search, owned until the dialog closes.
    com::ComPtr<com::IDispatch> mcolResult_;
};

}  // namespace velmora
