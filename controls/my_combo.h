#pragma once
// MyCombo: a drop-down list whose rows carry a 32-bit identifier, selected and read by it.
#include <QFont>
#include <QString>

#include "com/variant.h"
#include "control_object.h"
#include "quillon.h"

class QComboBox;

namespace quillon {

class MyCombo final : public ControlObject<MyCombo, IMyCombo> {
public:
    MyCombo();
    ~MyCombo() override;

    static const com::DispatchTable<MyCombo>& dispatchTable();

    // IControlHost
    void InitProperties() override;
    void ReadProperties(const com::PropertyBag& bag) override;
    void WriteProperties(com::PropertyBag& bag) override;

    int32_t hWnd();
    bool enabled() const { return enabled_; }
    void setEnabled(bool value);
    QString font() const { return font_.toString(); }
    void setFont(const QString& description);
    int32_t backColor() const { return backColor_; }
    void setBackColor(int32_t value);
    int32_t foreColor() const { return foreColor_; }
    void setForeColor(int32_t value);
    int32_t focusBackColor() const { return focusBackColor_; }
    void setFocusBackColor(int32_t value);
    int32_t focusForeColor() const { return focusForeColor_; }
    void setFocusForeColor(int32_t value);
    int16_t listCount() const;
    int16_t listIndex() const;
    void setListIndex(int16_t index);
    QString text() const;
    int32_t cheie() const;
    void setCheie(int32_t id);
    void addItem(const QString& item, int32_t id);
    void removeItem(int32_t id);
    void clear();
    void showAboutBox();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void layout();
    void paint(int32_t back, int32_t fore);
    int rowOf(int32_t id) const;
    void select(int row);  // without the list's own notices

    QWidget* pic1_ = nullptr;
    QComboBox* combo_ = nullptr;
    QFont font_;
    bool enabled_ = true;
    int32_t backColor_ = color::Window;
    int32_t focusBackColor_ = color::Window;
    int32_t foreColor_ = color::WindowText;
    int32_t focusForeColor_ = color::WindowText;
    bool focused_ = false;
};

}  // namespace quillon
