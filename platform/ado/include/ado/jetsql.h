#pragma once
// Translation of the Jet SQL dialect that the system's statements use into SQLite's:
//   a + b          -> a || b   in a `+` chain holding a text literal, Cstr(..) or a `&`
//   a & b          -> a || b
//   DELETE a.* FROM T a ...   -> DELETE FROM T AS a ...
// Cstr is a registered SQL function. Everything else passes unchanged. Raises 3709 for a
// text it cannot read (an unterminated string or unbalanced parentheses).
#include <string>
#include <string_view>

namespace ado {

[[gnu::visibility("default")]] std::string translateJetSql(std::string_view jetSql);

}  // namespace ado
