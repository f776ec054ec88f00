#pragma once
// ControlPersonal: the typed entry field (text, date, selection or number) that every
// entry field of the program's screens is made of.
#include <optional>

#include <QFont>
#include <QString>

#include "com/variant.h"
#include "control_object.h"
#include "typelib/property_pages.h"
#include "typelib/quillon.h"

class QLineEdit;
class QWidget;

namespace quillon {

class HookedLineEdit;
class NullableDateEdit;
class ClickablePicture;

class ControlPersonal final : public ControlObject<ControlPersonal, IControlPersonal, ISpecifyPropertyPages> {
public:
    ControlPersonal();
    ~ControlPersonal() override;

    static const com::DispatchTable<ControlPersonal>& dispatchTable();
    static constexpr CommonIds commonIds{control_personal::dispid::hWnd,
                                         control_personal::dispid::Enabled,
                                         control_personal::dispid::Font,
                                         control_personal::dispid::BackColor,
                                         control_personal::dispid::ForeColor,
                                         control_personal::dispid::FocusBackColor,
                                         control_personal::dispid::FocusForeColor};

    // IControlHost
    void InitProperties() override;
    void ReadProperties(const com::PropertyBag& bag) override;
    void WriteProperties(com::PropertyBag& bag) override;

    // ISpecifyPropertyPages: the kind page first.
    std::vector<com::Guid> GetPages() override { return {pagina_proprietati::ClassId}; }

    // Members, as the dispatch tables reach them.
    int32_t tipData() const { return tipData_; }
    void setTipData(int32_t kind);
    uint8_t nrZecimale() const { return nrZecimale_; }
    void setNrZecimale(uint8_t decimals);
    bool afisezFormat() const { return afisezFormat_; }
    void setAfisezFormat(bool value);
    bool afisezMinute() const { return afisezMinute_; }
    void setAfisezMinute(bool value);
    bool permitSelectManual() const { return permitSelectManual_; }
    void setPermitSelectManual(bool value);
    com::Variant valoare() const;
    // Shows the value unless `formatText` is False (left out, it is True).
    void setValoare(const com::Variant& value, std::optional<bool> formatText = std::nullopt);
    void goleste();
    // The width a date field needs to show its whole date and its button (0 for a field
    // that never was a date field).
    int dateWidth() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool is(TipData kind) const { return tipData_ == static_cast<int32_t>(kind); }
    void ensurePicker();
    void layout(bool repaint = true);
    void storeValue(const com::Variant& value);
    void showValue();
    QString numberDisplay(bool grouping) const;
    void setText(const QString& text);  // a write of the control's own (busy flag on)
    void showEmptyDate(bool empty);
    QDateTime storedDate() const;

    void onTextChanged();
    int16_t keyRule(int caret, int16_t key, const QString& text) const;
    bool takesTyped(const QString& before, int at, int replaced, const QString& typed) const;
    bool onTextKey(QKeyEvent* event);
    bool onPickerKey(QKeyEvent* event);
    bool raiseKeyDown(QKeyEvent* event);
    int16_t raiseKeyPress(int16_t key);
    void onTextFocusIn();
    void onTextFocusOut();
    void onPickerChanged();
    void onPickerFocus(bool in);
    void enterFocus();
    void exitFocus();
    void showEnabled();
    QLineEdit& textBox() const;  // the face whose font and alignment are shared
    bool showsColours() const { return !is(TipData::Data); }
    void showBackColor(int32_t colour);
    void showForeColor(int32_t colour);
    friend class ControlObject<ControlPersonal, IControlPersonal, ISpecifyPropertyPages>;

    HookedLineEdit* txt_ = nullptr;
    QLineEdit* txtNull_ = nullptr;
    ClickablePicture* pic2_ = nullptr;
    QWidget* pic1_ = nullptr;
    NullableDateEdit* dtp_ = nullptr;

    bool busy_ = false;
    com::Variant value_;
    int32_t selectionId_ = 0;
    int32_t tipData_ = 0;
    uint8_t nrZecimale_ = 0;
    bool afisezFormat_ = false;
    bool afisezMinute_ = false;
    bool permitSelectManual_ = false;
    QString acceptedText_;  // the last text of a number field that reads as a number
    bool entered_ = false;  // the box shows its edit text: the focus came in and has not left
};

}  // namespace quillon
