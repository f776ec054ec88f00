#pragma once
// ControlCont: the entry of an account code. The synthetic account is typed (digits, at
// most four); each analytic level after a "." is picked from a drop-down list of the
// rows the host supplies through the CautaAnalitic event.
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QTreeWidget>

#include "control_object.h"
#include "typelib/control_cont.h"

namespace quillon {

class HookedLineEdit;

class ControlCont final : public ControlObject<ControlCont, IControlCont> {
public:
    ControlCont();
    ~ControlCont() override;

    static const com::DispatchTable<ControlCont>& dispatchTable();
    static constexpr CommonIds commonIds{control_cont::dispid::hWnd,          control_cont::dispid::Enabled,
                                         control_cont::dispid::Font,          control_cont::dispid::BackColor,
                                         control_cont::dispid::ForeColor,     control_cont::dispid::FocusBackColor,
                                         control_cont::dispid::FocusForeColor};

    // IControlHost
    void InitProperties() override;
    void ReadProperties(const com::PropertyBag& bag) override;
    void WriteProperties(com::PropertyBag& bag) override;

    // Members, as the dispatch tables reach them.
    const QString& valoare() const { return value_; }
    void setValoare(const QString& value);
    void goleste();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void layout();
    void placeList(int textHeight);
    int listLeft() const;
    void setText(const QString& text);  // a write of the control's own: no Change
    int caret() const;

    bool onTextKey(QKeyEvent* event);
    bool onDigit();
    bool takesTyped(const QString& before, int at, int replaced, const QString& typed);
    void onDot();
    void onSpace();
    void onDeleteKey();
    bool onListKey(QKeyEvent* event);
    void openList(const QString& levelList, const QString& current);
    void hideList();
    void closeList();
    void accept();
    void commit();
    void commitIfLeaving();
    void exitSteps();
    void enterFocus();
    void exitFocus();
    void showEnabled() { layout(); }
    QLineEdit& textBox() const;  // the face whose font and alignment are shared
    void showBackColor(int32_t colour);
    void showForeColor(int32_t colour);
    friend class ControlObject<ControlCont, IControlCont>;

    HookedLineEdit* txt_ = nullptr;
    QPointer<QTreeWidget> lst_;  // while open it floats over the window, outside the control
    // The list as an object, to recognise its events also while it is being destroyed
    // (when it can no longer be cast to a QTreeWidget).
    const QObject* listObject_ = nullptr;

    QString value_;
    bool suppress_ = false;  // text changes of the control's own raise no Change
    bool ready_ = false;     // a typed "." may ask the host or open the next level
    QStringList levels_;     // element i: the list of analytic level i + 1
    QStringList chosen_;     // the current code of each analytic level
    bool layingOut_ = false;
    bool append_ = false;  // the list was opened at the end: a pick is appended
    int savedCaret_ = 0;   // the caret when Space opened the list
    bool placingCaret_ = false;
};

}  // namespace quillon
