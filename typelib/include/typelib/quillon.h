#pragma once
// Quillon, the control library: class ids, interface ids, dispatch ids and enumerations
// that hosts use to create and drive its controls late-bound.
#include <cstdint>

#include "com/dispatch.h"
#include "com/guid.h"

namespace quillon {

inline constexpr com::Guid LibraryId = com::Guid::of("{052785E6-D42C-4616-975E-0809BEBB7840}");

// The kind of a ControlPersonal.
enum class TipData : int32_t { Text = 0, Data = 1, Selectie = 2, Numar = 3 };
inline constexpr com::Guid TipDataId = com::Guid::of("{639DE37C-76DE-4A1C-A2FE-74A9BB6A7F01}");

// Text alignment of an entry field.
enum class Alignment : int32_t { Left = 0, Right = 1, Center = 2 };

// OLE colours the controls use as defaults: system colours have the top bit set.
namespace color {
inline constexpr int32_t ScrollBar = static_cast<int32_t>(0x80000000u);
inline constexpr int32_t Window = static_cast<int32_t>(0x80000005u);
inline constexpr int32_t WindowText = static_cast<int32_t>(0x80000008u);
inline constexpr int32_t CaptionText = static_cast<int32_t>(0x80000009u);
inline constexpr int32_t ActiveBorder = static_cast<int32_t>(0x8000000Au);
inline constexpr int32_t ButtonFace = static_cast<int32_t>(0x8000000Fu);
}  // namespace color

namespace control_personal {
inline constexpr const char* ProgId = "Quillon.ControlPersonal";
inline constexpr com::Guid ClassId = com::Guid::of("{1DB0C843-FC1C-4615-9743-43E7D27588B1}");
inline constexpr com::Guid InterfaceId = com::Guid::of("{668D5315-B5E2-497D-8452-89FA2AF8EAF7}");
inline constexpr com::Guid EventsId = com::Guid::of("{7DF31F1D-86C2-4246-BD04-ECC57EB3549B}");
inline constexpr com::Guid PropertyPageId = com::Guid::of("{B54C4C4B-0784-4EFA-B8E9-F4E183A663F6}");

namespace dispid {
inline constexpr com::DispId hWnd = 0x6803000C;
inline constexpr com::DispId TipData = 0x6803000B;
inline constexpr com::DispId NrZecimale = 0x6803000A;
inline constexpr com::DispId AfisezFormat = 0x68030009;
inline constexpr com::DispId AfisezMinute = 0x68030008;
inline constexpr com::DispId PermitSelectManual = 0x68030007;
inline constexpr com::DispId Enabled = 0x68030006;
inline constexpr com::DispId Font = 0x68030005;
inline constexpr com::DispId Alignment = 0x68030004;
inline constexpr com::DispId BackColor = 0x68030003;
inline constexpr com::DispId ForeColor = 0x68030002;
inline constexpr com::DispId FocusBackColor = 0x68030001;
inline constexpr com::DispId FocusForeColor = 0x68030000;
inline constexpr com::DispId Valoare = 0;  // the default member
inline constexpr com::DispId Goleste = 0x60030020;
inline constexpr com::DispId ShowAboutBox = -552;
}  // namespace dispid

// Events of the event interface.
namespace event {
inline constexpr com::DispId Click = 1;
inline constexpr com::DispId Change = 2;
inline constexpr com::DispId KeyDown = 3;     // (KeyCode, Shift), both by reference
inline constexpr com::DispId KeyPress = 4;    // (KeyAscii) by reference
inline constexpr com::DispId Selecteaza = 5;  // (vValoare As String)
}  // namespace event
}  // namespace control_personal

namespace my_combo {
inline constexpr const char* ProgId = "Quillon.MyCombo";
inline constexpr com::Guid ClassId = com::Guid::of("{C5035F7A-77BA-43D7-AACB-97689149DB16}");
inline constexpr com::Guid InterfaceId = com::Guid::of("{CC15254B-54FD-4454-BE45-18E7E5A7B12E}");
inline constexpr com::Guid EventsId = com::Guid::of("{37F634F2-EC9A-439A-9EEE-14B480753444}");

namespace dispid {
inline constexpr com::DispId hWnd = 0x68030009;
inline constexpr com::DispId Enabled = 0x68030008;
inline constexpr com::DispId Font = 0x68030007;
inline constexpr com::DispId BackColor = 0x68030006;
inline constexpr com::DispId ForeColor = 0x68030005;
inline constexpr com::DispId FocusBackColor = 0x68030004;
inline constexpr com::DispId FocusForeColor = 0x68030003;
inline constexpr com::DispId ListCount = 0x68030002;
inline constexpr com::DispId ListIndex = 0x68030001;
inline constexpr com::DispId Text = 0;  // the default member
inline constexpr com::DispId Cheie = 0x68030000;
inline constexpr com::DispId AddItem = 0x60030015;
inline constexpr com::DispId RemoveItem = 0x60030016;
inline constexpr com::DispId Clear = 0x60030017;
inline constexpr com::DispId ShowAboutBox = -552;
}  // namespace dispid

namespace event {
inline constexpr com::DispId Click = 1;
}  // namespace event
}  // namespace my_combo

// The dispatch interfaces of the controls. Their members are reached through
// IDispatch by the dispatch ids above; the ids let a host ask for them by QueryInterface.
// A Font property is exchanged as the font's text description (QFont::toString()).
class IControlPersonal : public com::IDispatch {
public:
    using Base = com::IDispatch;
    static constexpr com::Guid iid = control_personal::InterfaceId;

protected:
    ~IControlPersonal() = default;
};

class IMyCombo : public com::IDispatch {
public:
    using Base = com::IDispatch;
    static constexpr com::Guid iid = my_combo::InterfaceId;

protected:
    ~IMyCombo() = default;
};

}  // namespace quillon
