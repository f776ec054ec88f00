#pragma once
// The kinds of record the selection dialog searches, in the order of its tabs.
#include <cstdint>

namespace velmora {

enum class SelectKind : int32_t { Spitale, CostSpital, Sectii, CostSectie };

}  // namespace velmora
