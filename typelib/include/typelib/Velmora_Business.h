#pragma once
// The classes of the business library Velmora_Business, as its clients bind to them:
// create by the ProgID or class id of the default interface's trait (ClassOf<_Spital>),
// then query that interface. Events arrive through IConnectionPointContainer on the event
// interface's id.
#include <string_view>

#include "typelib/ModelLinie.h"
#include "typelib/business/BrokenRules.h"
#include "typelib/business/Conection.h"
#include "typelib/business/CostSheets.h"
#include "typelib/business/Enumeratori.h"
#include "typelib/business/Export.h"
#include "typelib/business/Judet.h"
#include "typelib/business/Perioada.h"
#include "typelib/business/Raport.h"
#include "typelib/business/Sectie.h"
#include "typelib/business/Spital.h"

namespace Velmora_Business {

inline constexpr std::string_view LibraryName = "Velmora_Business";

// The ProgIDs of the creatable classes by class name, as their traits give them.
namespace ProgId {
inline constexpr std::string_view Conection = ClassOf<_Conection>::ProgId;
inline constexpr std::string_view BrokenRule = ClassOf<_BrokenRule>::ProgId;
inline constexpr std::string_view Judet = ClassOf<_Judet>::ProgId;
inline constexpr std::string_view Spital = ClassOf<_Spital>::ProgId;
inline constexpr std::string_view Perioada = ClassOf<_Perioada>::ProgId;
inline constexpr std::string_view Raport = ClassOf<_Raport>::ProgId;
inline constexpr std::string_view Sectie = ClassOf<_Sectie>::ProgId;
inline constexpr std::string_view Enumeratori = ClassOf<_Enumeratori>::ProgId;
inline constexpr std::string_view CostSpital = ClassOf<_CostSpital>::ProgId;
inline constexpr std::string_view CostSectie = ClassOf<_CostSectie>::ProgId;
inline constexpr std::string_view CostSpital_S = ClassOf<_CostSpital_S>::ProgId;
inline constexpr std::string_view Export = ClassOf<_Export>::ProgId;
}  // namespace ProgId

}  // namespace Velmora_Business
