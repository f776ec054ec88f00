#pragma once
// The grid's formula language: one expression of number literals, strings, True and
// False, the arithmetic, concatenation, comparison and logical operators, and
// parentheses, evaluated in double precision. It knows no names, calls or statements,
// so a formula can create nothing and open nothing.
#include <string_view>

#include "com/variant.h"

namespace quillon {

// The value of `text` as a Double, a String or a Boolean. Raises com::Error with the
// formula language's own number and text: 1002 "Syntax error" for a missing operand, 1006
// "Expected ')'", 1025 "Expected end of statement", 1032 "Invalid character", 1033
// "Unterminated string constant", 500 "Variable is undefined" for a name, 13 (the
// run-time's "Tip de date nepotrivit.") for a call or an operand of the wrong kind, 11
// "Division by zero", 6 (the run-time's "Valoare prea mare."), 5 for a power without a real result, 28 "Out of stack
// space" for parentheses nested deeper than a formula can need.
com::Variant evaluateExpression(std::string_view text);

}  // namespace quillon
