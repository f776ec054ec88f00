#pragma once
// Internal: the typing of one expression or condition of a statement over money, by the
// rules money_sql.h lists.
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "ado/values.h"
#include "sql_tokens.h"

namespace ado::detail {

struct TypedSelect;

struct TypedExpression {
    ColumnKind kind;
    std::string text;        // rewritten where the units matter
    bool rewrote = false;    // whether any rule changed the text
    bool uncertain = false;  // whether a subquery's typing holds for this time only
    // A money column (as written) compared where the typer could not type its side: such a
    // comparison would compare units with amounts, so the statement is refused.
    std::string refusedColumn;
    // A money column under a scalar subquery item the typer could not type.
    std::string untypedMoneyInside;
};

using KindOf = std::function<ColumnKind(const std::string&)>;
using SubqueryTyper = std::function<TypedSelect(const std::string&)>;

// Types the tokens [from, to) as one condition (or expression); nullopt when they hold
// something the typer cannot read (CAST, a RANGE window frame with an offset, ...). `kindOf` gives a name's kind,
// `subquery` types a subquery's text as a statement.
std::optional<TypedExpression> typeExpression(const std::vector<Token>& tokens, size_t from, size_t to,
                                              const KindOf& kindOf, const SubqueryTyper& subquery);

// The first name in the tokens [from, to) (outside subqueries) that `kindOf` types as money,
// as written ("a.TCP"); "" when none.
std::string moneyNameIn(const std::vector<Token>& tokens, size_t from, size_t to, const KindOf& kindOf);

// A word SQL reserves for itself, and a name (a word that is none, or a [bracketed] one).
bool isKeyword(const Token& t);
bool isName(const Token& t);

}  // namespace ado::detail
