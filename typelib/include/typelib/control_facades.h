#pragma once
// Typed facades of the controls a host drives late-bound: each member is invoked through
// IDispatch by its dispatch id (quillon.h), so a host spells no member's name and a member
// the control does not have does not compile. The values go through the object layer as
// they would by name: the control converts them and raises its own errors.
//
// A facade holds a non-owning reference to the control, valid while the host keeps it,
// and takes the object for a control of its kind: ids of one kind mean other members on
// another, so the host checks the kind before (QueryInterface for the kind's interface).
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "com/dispatch.h"
#include "typelib/quillon.h"

namespace quillon {

// The dispatch ids of the members every control has; each kind has its own.
struct SharedDispIds {
    com::DispId enabled;
    com::DispId font;
    com::DispId backColor;
    com::DispId foreColor;
};

inline constexpr SharedDispIds controlPersonalShared{control_personal::dispid::Enabled, control_personal::dispid::Font,
                                                     control_personal::dispid::BackColor,
                                                     control_personal::dispid::ForeColor};
inline constexpr SharedDispIds myComboShared{my_combo::dispid::Enabled, my_combo::dispid::Font,
                                             my_combo::dispid::BackColor, my_combo::dispid::ForeColor};

// The members every control has.
class ControlFacade {
public:
    ControlFacade(com::IDispatch& control, const SharedDispIds& ids) : control_(&control), ids_(ids) {}

    bool enabled() const { return get(ids_.enabled).toBool(); }
    void setEnabled(bool enabled) const { put(ids_.enabled, enabled); }
    // Colours are OLE colours (color::*, or 0x00BBGGRR).
    int32_t backColor() const { return get(ids_.backColor).toLong(); }
    void setBackColor(int32_t colour) const { put(ids_.backColor, colour); }
    void setForeColor(int32_t colour) const { put(ids_.foreColor, colour); }
    // The font as its text description (QFont::toString()).
    void setFont(std::string description) const { put(ids_.font, std::move(description)); }

protected:
    com::Variant get(com::DispId id) const { return control_->Invoke(id, com::InvokeKind::PropertyGet, {}); }
    void put(com::DispId id, com::Variant value) const {
        control_->Invoke(id, com::InvokeKind::PropertyPut, com::Args(&value, 1));
    }
    com::Variant call(com::DispId id, std::vector<com::Variant> args = {}) const {
        return control_->Invoke(id, com::InvokeKind::Method, com::Args(args));
    }

private:
    com::IDispatch* control_;
    SharedDispIds ids_;
};

// The entry field.
class ControlPersonalFacade : public ControlFacade {
public:
    explicit ControlPersonalFacade(com::IDispatch& control) : ControlFacade(control, controlPersonalShared) {}

    // The value in the form of the field's kind (a text, a date, a number).
    com::Variant valoare() const { return get(control_personal::dispid::Valoare); }
    void setValoare(com::Variant value) const { put(control_personal::dispid::Valoare, std::move(value)); }
    TipData tipData() const { return static_cast<TipData>(get(control_personal::dispid::TipData).toLong()); }
    void setTipData(TipData kind) const { put(control_personal::dispid::TipData, static_cast<int32_t>(kind)); }
    void setNrZecimale(int16_t decimals) const { put(control_personal::dispid::NrZecimale, decimals); }
    void setAfisezFormat(bool shown) const { put(control_personal::dispid::AfisezFormat, shown); }
    void setAfisezMinute(bool shown) const { put(control_personal::dispid::AfisezMinute, shown); }
    void setAlignment(Alignment alignment) const {
        put(control_personal::dispid::Alignment, static_cast<int32_t>(alignment));
    }
};

// The keyed combo box: rows of a text and an id.
class MyComboFacade : public ControlFacade {
public:
    explicit MyComboFacade(com::IDispatch& control) : ControlFacade(control, myComboShared) {}

    int16_t listCount() const { return get(my_combo::dispid::ListCount).toInteger(); }
    int16_t listIndex() const { return get(my_combo::dispid::ListIndex).toInteger(); }  // -1: none
    void setListIndex(int16_t index) const { put(my_combo::dispid::ListIndex, index); }
    // The id of the selected row (-1 for none); a key the list does not hold raises 5.
    int32_t cheie() const { return get(my_combo::dispid::Cheie).toLong(); }
    void setCheie(com::Variant id) const { put(my_combo::dispid::Cheie, std::move(id)); }
    void addItem(std::string text, int32_t id) const {
        call(my_combo::dispid::AddItem, {com::Variant(std::move(text)), com::Variant(id)});
    }
    void clear() const { call(my_combo::dispid::Clear); }
};

}  // namespace quillon
