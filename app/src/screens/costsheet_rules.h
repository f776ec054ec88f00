#pragma once
// The consistency rules a cost sheet must meet before it is saved: at least one figure
// filled in, the personnel total covering the six category totals, each category total
// covering its seven budget lines and, on a ward sheet, article 23 covering its parts.
// The outcomes go into the sheet's own list of broken rules, beside the sheet's own.
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "com/dispatch.h"
#include "screens/costsheet_layout.h"

namespace velmora {

struct ConsistencyRule {
    std::string_view check;    // the check's name
    std::string_view message;  // the text shown, also the rule's key in the list
};

// The rules in the order in which they run: eight, and on the ward sheet a ninth.
std::span<const ConsistencyRule> consistencyRules(CostSheetKind kind);

// Runs every rule on the sheet, in order, and records each outcome in the sheet's Errors
// (a rule that holds leaves the list, one that fails enters it once). A sum beyond the
// currency range, or a figure that cannot be read, raises com::Error; the rules run
// before it have been recorded.
void postConsistencyRules(com::IDispatch& sheet, CostSheetKind kind);

// postConsistencyRules, then the box text of the sheet's broken rules (brokenRulesText).
std::optional<std::string> checkConsistency(com::IDispatch& sheet, CostSheetKind kind);

}  // namespace velmora
