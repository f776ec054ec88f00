#pragma once
// What the screens do with a keyed combo box (MyCombo): fill it, select by id and read the
// selected id. Its Click is heard through HostedControl::Click.
#include <cstdint>
#include <string>

#include "com/dispatch.h"

namespace GlobalUI {

// Adds the rows of a lookup-list string ("id&text|id&text|") to a keyed combo box through
// its AddItem(text, id), as com::forEachLookupRow reads them (a text may itself hold "&" and
// "|"); its errors carry the source "GlobalUI.FillCombo".
void FillCombo(com::IDispatch& combo, const std::string& list);

}  // namespace GlobalUI

namespace velmora {

class HostedControl;

// Selects the row of that id; an id the list does not hold (a county or hospital since
// removed) leaves no row selected instead of failing.
void selectKeyIfPresent(HostedControl& combo, int32_t id);

// Empties the combo and fills it from a lookup list ("id&text|" rows).
void refillCombo(HostedControl& combo, const std::string& list);

// The id of the selected row, -1 for none.
int32_t cheie(const HostedControl& combo);

}  // namespace velmora
