#include "money_sql.h"

#include <algorithm>
#include <cctype>
#include <functional>
#include <map>

#include "com/dispatch.h"
#include "com/error.h"
#include "money_expression.h"
#include "sql_tokens.h"

namespace ado::detail {

namespace {

struct Item {
    size_t from, to;  // the expression (blanks trimmed)
    size_t itemTo;    // the end of the item, its alias included
    bool star = false;
    bool plainName = false;
};

bool isClauseEnd(const Token& t) {
    return t.depth == 0 && (isWord(t, "where") || isWord(t, "group") || isWord(t, "having") || isWord(t, "order") ||
                            isWord(t, "union") || isWord(t, "limit") || isWord(t, "window") || isWord(t, "except") ||
                            isWord(t, "intersect"));
}

// A name without its [brackets] or "quotes".
std::string unquoted(std::string name) {
    if (name.size() >= 2 &&
        ((name.front() == '[' && name.back() == ']') || (name.front() == '"' && name.back() == '"')))
        return name.substr(1, name.size() - 2);
    return name;
}

// The names in an expression that are not functions: "a.TCP", "TCP", "[Name]". Those of a
// subquery are its own (resolved when it is typed).
void collectNames(const std::vector<Token>& t, size_t from, size_t to, std::vector<std::string>& out) {
    for (size_t i = from; i < to; ++i) {
        if (t[i].kind == TokenKind::Symbol && t[i].text == "(" && skipSpace(t, i + 1) < to &&
            isWord(t[skipSpace(t, i + 1)], "select")) {
            const int depth = t[i].depth;
            while (i + 1 < to && !(t[i + 1].text == ")" && t[i + 1].depth == depth)) ++i;
            continue;
        }
        if (!isName(t[i])) continue;
        if (i > from && t[i - 1].kind == TokenKind::Symbol && t[i - 1].text == ".") continue;
        const size_t next = skipSpace(t, i + 1);
        if (next < to && t[next].kind == TokenKind::Symbol && t[next].text == "(") continue;
        std::string name = t[i].text;
        if (i + 2 < to && t[i + 1].text == "." && isName(t[i + 2])) name += "." + t[i + 2].text;
        if (std::find(out.begin(), out.end(), name) == out.end()) out.push_back(name);
    }
}

ColumnKind declaredKind(sqlite3_stmt* probe, int index) {
    const char* declared = sqlite3_column_decltype(probe, index);
    return declared ? columnKindOf(declared) : ColumnKind::Untyped;
}

// The declared kinds of the names, as the statement's FROM clause resolves them: a probe
// statement selects them from the same tables (SQLite does the name resolution).
// `certain` turns false when a probe failed for another reason than a name it cannot
// resolve (the schema locked by another writer): the answer holds for this time only.
std::map<std::string, ColumnKind> resolveNames(sqlite3* db, const std::vector<std::string>& names,
                                               const std::string& fromClause, bool& certain) {
    std::map<std::string, ColumnKind> kinds;
    auto probe = [&](const std::string& list, auto&& onPrepared) {
        sqlite3_stmt* stmt = nullptr;
        const std::string sql = "SELECT " + list + " " + fromClause;
        const int rc = sqlite3_prepare_v2(db, sql.c_str(), static_cast<int>(sql.size()), &stmt, nullptr);
        if (rc == SQLITE_OK && stmt) onPrepared(stmt);
        else if ((rc & 0xff) != SQLITE_ERROR) certain = false;
        sqlite3_finalize(stmt);
        return stmt != nullptr;
    };
    std::string list;
    for (const auto& n : names) list += (list.empty() ? "" : ", ") + n;
    const bool all = probe(list, [&](sqlite3_stmt* s) {
        for (size_t i = 0; i < names.size(); ++i) kinds[names[i]] = declaredKind(s, static_cast<int>(i));
    });
    if (!all)  // one of them is no column (an alias, a misspelling): ask for each alone
        for (const auto& n : names) probe(n, [&](sqlite3_stmt* s) { kinds[n] = declaredKind(s, 0); });
    return kinds;
}

size_t findAtTop(const std::vector<Token>& t, size_t from, size_t to, std::string_view word) {
    while (from < to && !(t[from].depth == 0 && isWord(t[from], word))) ++from;
    return from;
}

// UPDATE T [AS a] SET x = e, ... [WHERE c] and DELETE FROM T [AS a] [WHERE c]: each
// assignment is typed as the comparison "x = e" (a number set into money is scaled to
// units), and the condition as a SELECT's is.
TypedSelect typeWrite(sqlite3* db, const std::vector<Token>& t, size_t verb, TypedSelect result) {
    const bool update = isWord(t[verb], "update");
    size_t end = t.size();
    for (const char* w : {"returning", "order", "limit"}) end = std::min(end, findAtTop(t, verb, t.size(), w));
    const size_t where = findAtTop(t, verb, end, "where");
    const size_t set = update ? findAtTop(t, verb, where, "set") : where;
    size_t table = skipSpace(t, verb + 1);
    if (update && table < set && isWord(t[table], "or")) table = skipSpace(t, skipSpace(t, table + 1) + 1);
    if (!update && (table >= where || !isWord(t[table], "from"))) return result;
    if (update && set >= where) return result;
    const std::string fromClause = update ? "FROM " + join(t, table, set) : join(t, table, where);

    std::vector<std::pair<size_t, size_t>> parts;  // the assignments, then the condition
    for (size_t k = set + 1; update && k < where;) {
        size_t stop = k;
        while (stop < where && !(t[stop].depth == 0 && t[stop].text == ",")) ++stop;
        parts.emplace_back(k, stop);
        k = stop + 1;
    }
    if (where < end) parts.emplace_back(where + 1, end);
    std::vector<std::string> names;
    for (const auto& [from, to] : parts) collectNames(t, from, to, names);
    if (names.empty()) return result;
    const auto kinds = resolveNames(db, names, fromClause, result.certain);
    const KindOf kindOf = [&](const std::string& n) {
        const auto it = kinds.find(n);
        return it == kinds.end() ? ColumnKind::Untyped : it->second;
    };
    const SubqueryTyper subquery = [db](const std::string& inner) { return typeSelectList(db, inner); };
    std::string rewritten;
    size_t done = 0;
    for (const auto& [from, to] : parts) {
        size_t first = skipSpace(t, from), last = to;
        while (last > first && t[last - 1].kind == TokenKind::Space) --last;
        const auto typed = typeExpression(t, first, last, kindOf, subquery);
        if (result.refusedColumn.empty())
            result.refusedColumn = typed ? typed->refusedColumn : moneyNameIn(t, first, last, kindOf);
        if (!typed || !typed->rewrote) continue;
        if (typed->uncertain) result.certain = false;
        rewritten += join(t, done, first) + typed->text;
        done = last;
    }
    if (done == 0) return result;
    result.sql = rewritten + join(t, done, t.size());
    return result;
}

}  // namespace

namespace {

// The per-item values of a select list laid on the statement's `count` result columns: items
// before the first star at the start, those after the last star at the end; `fallback`
// where a star's columns stand or the items cannot be matched.
template <class T>
std::vector<T> onColumns(const std::vector<T>& perItem, const std::vector<bool>& stars, int count, const T& fallback) {
    const auto n = static_cast<int>(perItem.size());
    std::vector<T> out(static_cast<size_t>(count > 0 ? count : 0), fallback);
    const auto first = std::find(stars.begin(), stars.end(), true);
    const int before = static_cast<int>(first - stars.begin());
    const int after =
        first == stars.end() ? 0 : static_cast<int>(stars.rend() - std::find(stars.rbegin(), stars.rend(), true));
    if (first == stars.end() && n != count) return out;
    if (first != stars.end() && n - 1 > count) return out;
    for (int i = 0; i < before && i < count; ++i) out[static_cast<size_t>(i)] = perItem[static_cast<size_t>(i)];
    for (int i = after; first != stars.end() && i < n; ++i)
        out[static_cast<size_t>(count - (n - i))] = perItem[static_cast<size_t>(i)];
    return out;
}

}  // namespace

std::vector<ColumnKind> TypedSelect::columnKinds(int count) const {
    return onColumns(items, stars, count, ColumnKind::Untyped);
}

std::vector<std::string> TypedSelect::columnMoney(int count) const {
    return onColumns(untypedMoney, stars, count, std::string());
}

std::string literalShape(std::string_view sql) {
    std::string shape;
    shape.reserve(sql.size());
    auto isNameChar = [](char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || (c & 0x80); };
    for (size_t i = 0; i < sql.size();) {
        const char c = sql[i];
        if (std::isdigit(static_cast<unsigned char>(c)) && (i == 0 || !isNameChar(sql[i - 1]))) {
            while (i < sql.size() && std::isdigit(static_cast<unsigned char>(sql[i]))) ++i;
            shape += '#';
        } else {
            shape += c;
            ++i;
        }
    }
    return shape;
}

TypedSelect typeSelectList(sqlite3* db, const std::string& sql) {
    TypedSelect result{sql, {}, {}, {}, true, {}, {}};
    std::vector<Token> t;
    try {
        t = tokenize(sql);
    } catch (const com::Error&) {
        return result;  // the statement's own prepare reports it
    }
    size_t listFrom = skipSpace(t, 0);
    if (listFrom < t.size() && (isWord(t[listFrom], "update") || isWord(t[listFrom], "delete")))
        return typeWrite(db, t, listFrom, std::move(result));
    if (listFrom >= t.size() || !isWord(t[listFrom], "select")) return result;
    // A compound statement: each SELECT is typed on its own; the first names the columns.
    for (size_t k = listFrom; k < t.size(); ++k) {
        if (t[k].depth != 0 || !(isWord(t[k], "union") || isWord(t[k], "except") || isWord(t[k], "intersect")))
            continue;
        size_t next = skipSpace(t, k + 1);
        if (next < t.size() && isWord(t[next], "all")) next = skipSpace(t, next + 1);
        TypedSelect first = typeSelectList(db, join(t, 0, k));
        const TypedSelect rest = typeSelectList(db, join(t, next, t.size()));
        first.sql += join(t, k, next) + rest.sql;
        first.certain = first.certain && rest.certain;
        if (first.refusedColumn.empty()) first.refusedColumn = rest.refusedColumn;
        for (size_t i = 0; i < first.untypedMoney.size() && i < rest.untypedMoney.size(); ++i)
            if (first.untypedMoney[i].empty()) first.untypedMoney[i] = rest.untypedMoney[i];
        return first;
    }
    listFrom = skipSpace(t, listFrom + 1);
    if (listFrom < t.size() && (isWord(t[listFrom], "distinct") || isWord(t[listFrom], "all")))
        listFrom = skipSpace(t, listFrom + 1);
    size_t listTo = listFrom;
    while (listTo < t.size() && !(t[listTo].depth == 0 && isWord(t[listTo], "from")) && !isClauseEnd(t[listTo]))
        ++listTo;
    size_t fromTo = listTo;
    while (fromTo < t.size() && !isClauseEnd(t[fromTo])) ++fromTo;

    std::vector<Item> items;
    bool anyExpression = false;
    for (size_t start = listFrom; start <= listTo;) {
        size_t stop = start;
        while (stop < listTo && !(t[stop].depth == 0 && t[stop].text == ",")) ++stop;
        Item item{skipSpace(t, start), stop, stop};
        for (size_t k = item.from; k < stop; ++k)
            if (t[k].depth == 0 && isWord(t[k], "as")) item.to = k;
        while (item.to > item.from && t[item.to - 1].kind == TokenKind::Space) --item.to;
        if (item.from >= item.to) return result;
        const size_t n = item.to - item.from;
        const Token& last = t[item.to - 1];
        item.star = last.text == "*" && (n == 1 || (n == 3 && t[item.from + 1].text == "."));
        item.plainName = isName(t[item.from]) && (n == 1 || (n == 3 && t[item.from + 1].text == "." && isName(last)));
        anyExpression = anyExpression || (!item.star && !item.plainName);
        // The name the item yields: its alias, or a plain name's column.
        std::string yielded = item.plainName ? last.text : std::string();
        if (item.to < item.itemTo) {
            const size_t alias = skipSpace(t, skipSpace(t, item.to) + 1);
            if (alias < item.itemTo && isName(t[alias])) yielded = t[alias].text;
        }
        result.names.push_back(unquoted(yielded));
        items.push_back(item);
        start = stop + 1;
    }
    // The WHERE and HAVING conditions of this statement: money compared with a number (a
    // literal, a placeholder, a whole-number column) must be compared in units.
    struct Clause {
        size_t from, to;
    };
    std::vector<Clause> clauses;
    for (size_t k = fromTo; k < t.size();) {
        if (t[k].depth == 0 && (isWord(t[k], "where") || isWord(t[k], "having"))) {
            Clause clause{k + 1, k + 1};
            while (clause.to < t.size() && !isClauseEnd(t[clause.to])) ++clause.to;
            clauses.push_back(clause);
            k = clause.to;
        } else {
            ++k;
        }
    }
    // Tables made by a subquery in FROM ("(SELECT Sum(TCP) AS S ...) w"): their columns are
    // typed as the subquery's items, and the subquery is rewritten like any statement.
    struct Derived {
        size_t open, close;  // the parentheses
        std::string alias;
        TypedSelect typed;
    };
    std::vector<Derived> derived;
    for (size_t k = listTo; k < fromTo; ++k) {
        if (!(t[k].kind == TokenKind::Symbol && t[k].text == "(")) continue;
        const size_t first = skipSpace(t, k + 1);
        if (first >= fromTo || !isWord(t[first], "select")) continue;
        size_t close = first;
        while (close < fromTo && !(t[close].text == ")" && t[close].depth == t[k].depth)) ++close;
        if (close >= fromTo) break;
        size_t alias = skipSpace(t, close + 1);
        if (alias < fromTo && isWord(t[alias], "as")) alias = skipSpace(t, alias + 1);
        derived.push_back({k, close, alias < fromTo && isName(t[alias]) ? unquoted(t[alias].text) : std::string(),
                           typeSelectList(db, join(t, k + 1, close))});
        if (!derived.back().typed.certain) result.certain = false;
        if (result.refusedColumn.empty()) result.refusedColumn = derived.back().typed.refusedColumn;
        k = close;
    }
    if (!anyExpression && clauses.empty() && derived.empty()) return result;

    std::vector<std::string> names;
    for (const auto& item : items)
        if (!item.star && !item.plainName) collectNames(t, item.from, item.to, names);
    for (const auto& clause : clauses) collectNames(t, clause.from, clause.to, names);
    const auto kinds = names.empty() ? std::map<std::string, ColumnKind>{}
                                     : resolveNames(db, names, join(t, listTo, fromTo), result.certain);
    // The item of a derived table that a name stands for: its kind, and the money column
    // under it when it could not be typed.
    const auto derivedItem = [&](const std::string& n) -> std::pair<ColumnKind, std::string> {
        const size_t dot = n.find('.');
        const std::string qualifier = dot == std::string::npos ? std::string() : unquoted(n.substr(0, dot));
        const std::string column = unquoted(dot == std::string::npos ? n : n.substr(dot + 1));
        for (const auto& d : derived) {
            if (!qualifier.empty() && !com::equalsIgnoreCase(qualifier, d.alias)) continue;
            for (size_t i = 0; i < d.typed.names.size() && i < d.typed.items.size(); ++i)
                if (com::equalsIgnoreCase(d.typed.names[i], column))
                    return {d.typed.items[i], i < d.typed.untypedMoney.size() ? d.typed.untypedMoney[i] : ""};
        }
        return {ColumnKind::Untyped, ""};
    };
    const auto derivedKind = [&](const std::string& n) { return derivedItem(n).first; };
    // A column of a derived table whose item is money the typer could not type: whatever the
    // outer statement computes from it is as untyped; named by the money column under it.
    const KindOf untypedDerived = [&](const std::string& n) {
        return derivedItem(n).second.empty() ? ColumnKind::Untyped : ColumnKind::Currency;
    };
    const auto untypedDerivedIn = [&](size_t from, size_t to) {
        const std::string name = moneyNameIn(t, from, to, untypedDerived);
        return name.empty() ? name : derivedItem(name).second;
    };
    const std::function<ColumnKind(const std::string&)> kindOf = [&](const std::string& n) {
        if (const ColumnKind k = derivedKind(n); k != ColumnKind::Untyped) return k;
        const auto it = kinds.find(n);
        return it == kinds.end() ? ColumnKind::Untyped : it->second;
    };

    const std::function<TypedSelect(const std::string&)> subquery = [db](const std::string& inner) {
        return typeSelectList(db, inner);
    };
    std::string rewritten = join(t, 0, listFrom);
    for (size_t k = 0; k < items.size(); ++k) {
        const Item& item = items[k];
        if (k > 0) rewritten += ",";
        rewritten += join(t, k == 0 ? listFrom : items[k - 1].itemTo + 1, item.from);
        std::string text = join(t, item.from, item.to);
        // A plain name is typed by SQLite, unless it is a column of a derived table.
        ColumnKind kind = item.plainName ? derivedKind(text) : ColumnKind::Untyped;
        std::string untypedMoney = item.plainName ? derivedItem(text).second : std::string();
        if (!item.star && !item.plainName) {
            const auto typed = typeExpression(t, item.from, item.to, kindOf, subquery);
            if (typed) {
                kind = typed->kind;
                if (typed->rewrote) text = typed->text;
                if (typed->uncertain) result.certain = false;
                // An item's comparison over money that cannot be typed makes the item one.
                untypedMoney = typed->refusedColumn;
            }
            if (kind == ColumnKind::Untyped && untypedMoney.empty()) {
                untypedMoney = moneyNameIn(t, item.from, item.to, kindOf);
                if (untypedMoney.empty() && typed) untypedMoney = typed->untypedMoneyInside;
                if (untypedMoney.empty()) untypedMoney = untypedDerivedIn(item.from, item.to);
            }
        }
        rewritten += text + join(t, item.to, item.itemTo);
        result.items.push_back(kind);
        result.untypedMoney.push_back(std::move(untypedMoney));
        result.stars.push_back(item.star);
    }
    size_t done = listTo;
    for (const auto& d : derived) {
        rewritten += join(t, done, d.open + 1) + d.typed.sql;
        done = d.close;
    }
    for (const auto& clause : clauses) {
        rewritten += join(t, done, clause.from);
        std::string text = join(t, clause.from, clause.to);
        // Blanks around the condition as written; the condition itself as typed.
        const size_t first = skipSpace(t, clause.from);
        size_t last = clause.to;
        while (last > first && t[last - 1].kind == TokenKind::Space) --last;
        const auto typed = typeExpression(t, first, last, kindOf, subquery);
        if (typed) {
            if (typed->rewrote) text = join(t, clause.from, first) + typed->text + join(t, last, clause.to);
            if (typed->uncertain) result.certain = false;
        }
        if (result.refusedColumn.empty())
            result.refusedColumn = typed ? typed->refusedColumn : moneyNameIn(t, first, last, kindOf);
        if (result.refusedColumn.empty()) result.refusedColumn = untypedDerivedIn(first, last);
        rewritten += text;
        done = clause.to;
    }
    rewritten += join(t, done, t.size());
    result.sql = std::move(rewritten);
    return result;
}

}  // namespace ado::detail
