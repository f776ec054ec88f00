#pragma once
// The business classes build their dispatch tables with the object layer's binding helper.
#include "com/binding.h"

namespace Velmora_Business {
namespace binding = com::binding;
}
