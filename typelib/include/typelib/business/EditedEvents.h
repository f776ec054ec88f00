#pragma once
// Dispatch ids of the events that every edited entity raises (Spital, Sectie and the cost
// sheets): OnDirty(IsDirty As Boolean) and Valid(IsValid As Boolean).
#include "com/dispatch.h"

namespace Velmora_Business::EditedEvents {
inline constexpr com::DispId OnDirty = 1;
inline constexpr com::DispId Valid = 2;
}  // namespace Velmora_Business::EditedEvents
