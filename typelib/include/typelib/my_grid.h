#pragma once
// The grid control of Quillon: its class id, interface ids, dispatch ids, events and the
// enumerations its hosts use (carried by the library's class Enumeratori).
#include <cstdint>

#include "com/dispatch.h"
#include "com/guid.h"

namespace quillon {

// The enumerations of the library; the class has no members of its own.
struct Enumeratori {
    // The editor of a grid column.
    enum class ControlTIP : int32_t { eControlPersonal = 0, eComboBx = 1, eCheckBx = 2, eCont = 3 };
    // The kind of a column edited by a ControlPersonal.
    enum class ControlPersonalTIP : int32_t { eText = 0, eData = 1, eSelect = 2, eNumar = 3, eNimic = 4 };
    enum class ControlALINIERE : int32_t { eLeft = 0, eRight = 1, eCenter = 2 };
    // The total of a column in the totals row.
    enum class AgregareTIP : int32_t { aCount = 0, aSuma = 1, aNimic = 2 };
    enum class TipSemn : int32_t { Minus = 0, Plus = 1 };
    enum class TypeValueHighLight : int32_t {
        flexHighlightNever = 0,
        flexHighlightAlways = 1,
        flexHighlightWithFocus = 2
    };
    enum class TypeValueFocusRect : int32_t { flexFocusNone = 0, flexFocusLight = 1, flexFocusHeavy = 2 };
    enum class TypeValueGridLines : int32_t {
        flexGridNone = 0,
        flexGridFlat = 1,
        flexGridInset = 2,
        flexGridRaised = 3,
        flexGridDashes = 4,
        flexGridDots = 5
    };
    enum class TypeValueTextStyle : int32_t {
        flexTextFlat = 0,
        flexTextRaised = 1,
        flexTextInset = 2,
        flexTextRaisedLight = 3,
        flexTextInsetLight = 4
    };
};

namespace my_grid {
inline constexpr const char* ProgId = "Quillon.MyGrid";
inline constexpr com::Guid ClassId = com::Guid::of("{66F6FA14-0A42-4610-AB4E-110A99BCB50F}");
inline constexpr com::Guid InterfaceId = com::Guid::of("{EE55C5FE-7BF0-4F0D-9F7A-F63CECDB04DA}");
inline constexpr com::Guid EventsId = com::Guid::of("{3EED517D-71A3-41E0-8C95-F6E5F976C0DE}");

namespace dispid {
inline constexpr com::DispId AreSursaDate = 0x68030012;
inline constexpr com::DispId InfoCelula = 0x68030011;
inline constexpr com::DispId RandGrid = 0x68030010;
inline constexpr com::DispId ColoanaGrid = 0x6803000F;
inline constexpr com::DispId PermitRandNou = 0x6803000E;
inline constexpr com::DispId PermitDelete = 0x6803000D;
inline constexpr com::DispId AreTotal = 0x6803000C;
inline constexpr com::DispId Titlu = 0x6803000B;
inline constexpr com::DispId InregistrareaCurenta = 0x6803000A;
inline constexpr com::DispId hWnd = 0x68030009;
inline constexpr com::DispId Font = 0x68030008;
inline constexpr com::DispId FixedFont = 0x68030007;
inline constexpr com::DispId HighLight = 0x68030006;
inline constexpr com::DispId FocusRect = 0x68030005;
inline constexpr com::DispId GridLinesFixed = 0x68030004;
inline constexpr com::DispId GridLines = 0x68030003;
inline constexpr com::DispId TextStyleFixed = 0x68030002;
inline constexpr com::DispId TextStyle = 0x68030001;
inline constexpr com::DispId SursaDate = 0x68030000;  // set by reference
inline constexpr com::DispId RefreshLine = 0x6003002D;
}  // namespace dispid

namespace event {
// The fifteen column-definition arguments, all by reference.
inline constexpr com::DispId SetareSursa = 1;
inline constexpr com::DispId SelectFromControlSelectie = 2;  // (vValoare) by reference
inline constexpr com::DispId CautaAnalitic = 3;              // (vCont, vSirAnalitice by reference)
inline constexpr com::DispId PermitDeleteFromToolbar = 4;    // (vCheie, vPermitDelete by reference)
inline constexpr com::DispId PermitUndeleteFromToolbar = 5;  // (vCheie, vPermitUndelete by reference)
inline constexpr com::DispId RowColChange = 6;
}  // namespace event
}  // namespace my_grid

// The grid's dispatch interface; its members are reached through IDispatch.
class IMyGrid : public com::IDispatch {
public:
    using Base = com::IDispatch;
    static constexpr com::Guid iid = my_grid::InterfaceId;

protected:
    ~IMyGrid() = default;
};

}  // namespace quillon
