#pragma once
// ControlCont, the account-code entry of the control library: its class id, interface
// ids, dispatch ids and events, which hosts use to create it and drive it late-bound.
#include "com/dispatch.h"
#include "com/guid.h"

namespace quillon {

namespace control_cont {
inline constexpr const char* ProgId = "Quillon.ControlCont";
inline constexpr com::Guid ClassId = com::Guid::of("{B51520C6-E23A-49D1-8472-0A6704E63EFF}");
inline constexpr com::Guid InterfaceId = com::Guid::of("{8AD50D46-563C-422E-8D12-293281103C2D}");
inline constexpr com::Guid EventsId = com::Guid::of("{89C52846-715D-4465-91A4-9109313BA65D}");

namespace dispid {
inline constexpr com::DispId hWnd = 0x68030007;
inline constexpr com::DispId Enabled = 0x68030006;
inline constexpr com::DispId Font = 0x68030005;
inline constexpr com::DispId Alignment = 0x68030004;
inline constexpr com::DispId BackColor = 0x68030003;
inline constexpr com::DispId ForeColor = 0x68030002;
inline constexpr com::DispId FocusBackColor = 0x68030001;
inline constexpr com::DispId FocusForeColor = 0x68030000;
inline constexpr com::DispId Valoare = 0;  // the default member: the committed account code
inline constexpr com::DispId Goleste = 0x60030017;
inline constexpr com::DispId ShowAboutBox = -552;
}  // namespace dispid

// Events of the event interface.
namespace event {
inline constexpr com::DispId Change = 1;
// (vCont As String, vSirAnalitice As String by reference): the host writes the level
// lists of the synthetic account vCont into vSirAnalitice, one list per level joined by
// "$", each list made of rows "code&description|"; "" when the account has no analytics.
inline constexpr com::DispId CautaAnalitic = 2;
// (vAnalitic As String, IndiceAnalitic As Integer, ApendAnaliticLaFinal As Boolean):
// an analytic was picked; its description, its level (1 for the first) and whether it
// was appended at the end of the code.
inline constexpr com::DispId ReimprospatezDescriere = 3;
inline constexpr com::DispId GolescDescriere = 4;  // the Delete key emptied the control
}  // namespace event
}  // namespace control_cont

// The dispatch interface of ControlCont; its members are reached through IDispatch by
// the dispatch ids above. A Font property is exchanged as the font's text description.
class IControlCont : public com::IDispatch {
public:
    using Base = com::IDispatch;
    static constexpr com::Guid iid = control_cont::InterfaceId;

protected:
    ~IControlCont() = default;
};

}  // namespace quillon
