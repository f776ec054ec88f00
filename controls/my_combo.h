#pragma once
// MyCombo: a drop-down list whose rows carry a 32-bit identifier, selected and read by it.
#include <unordered_map>

#include <QString>

#include "com/variant.h"
#include "control_object.h"
#include "typelib/quillon.h"

class QComboBox;

namespace quillon {

class MyCombo final : public ControlObject<MyCombo, IMyCombo> {
public:
    MyCombo();
    ~MyCombo() override;

    static const com::DispatchTable<MyCombo>& dispatchTable();
    static constexpr CommonIds commonIds{my_combo::dispid::hWnd,          my_combo::dispid::Enabled,
                                         my_combo::dispid::Font,          my_combo::dispid::BackColor,
                                         my_combo::dispid::ForeColor,     my_combo::dispid::FocusBackColor,
                                         my_combo::dispid::FocusForeColor};

    // IControlHost
    void InitProperties() override;
    void ReadProperties(const com::PropertyBag& bag) override;
    void WriteProperties(com::PropertyBag& bag) override;

    int16_t listCount() const;
    int16_t listIndex() const;
    void setListIndex(int16_t index);
    QString text() const;
    int32_t cheie() const;
    void setCheie(int32_t id);
    void addItem(const QString& item, int32_t id);
    void removeItem(int32_t id);
    void clear();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void layout();
    void enterFocus();
    void exitFocus();
    void showFont();
    void showBackColor(int32_t colour);
    void showForeColor(int32_t colour);
    void showFocusBackColor(int32_t colour);
    void showFocusForeColor(int32_t colour);
    friend class ControlObject<MyCombo, IMyCombo>;
    void paint(int32_t back, int32_t fore);
    int rowOf(int32_t id) const;  // -1 for an identifier the list does not hold
    void select(int row);         // without the list's own notices

    QWidget* pic1_ = nullptr;
    QComboBox* combo_ = nullptr;
    bool focused_ = false;
    // The keyed collection: each row's identifier to the row's position, one entry per
    // row, so that a row is found by its identifier without walking the list.
    std::unordered_map<int32_t, int> positions_;
};

}  // namespace quillon
