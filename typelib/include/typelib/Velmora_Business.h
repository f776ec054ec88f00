#pragma once
// The classes of the business library Velmora_Business, as its clients bind to them:
// create by ProgID ("Velmora_Business.<class>") or class id, then query the default
// interface. Events arrive through IConnectionPointContainer on the event interface's id.
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

namespace ProgId {
inline constexpr std::string_view Conection = "Velmora_Business.Conection";
inline constexpr std::string_view BrokenRule = "Velmora_Business.BrokenRule";
inline constexpr std::string_view Judet = "Velmora_Business.Judet";
inline constexpr std::string_view Spital = "Velmora_Business.Spital";
inline constexpr std::string_view Perioada = "Velmora_Business.Perioada";
inline constexpr std::string_view Raport = "Velmora_Business.Raport";
inline constexpr std::string_view Sectie = "Velmora_Business.Sectie";
inline constexpr std::string_view Enumeratori = "Velmora_Business.Enumeratori";
}  // namespace ProgId

}  // namespace Velmora_Business
