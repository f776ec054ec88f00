#include "money_sql.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <functional>
#include <limits>
#include <map>

#include "com/currency.h"
#include "com/dispatch.h"
#include "com/error.h"
#include "com/variant.h"
#include "sql_tokens.h"

namespace ado::detail {

namespace {

struct Typed {
    ColumnKind kind;
    std::string text;
};

struct Unreadable {};  // the typer gives up on an item; it stays as written

bool isNumeric(ColumnKind k) { return k == ColumnKind::Integer || k == ColumnKind::Real; }

bool isKeyword(const Token& t) {
    static constexpr std::array words{"and", "or", "not", "as", "from", "where", "on", "select", "between", "like",
                                      "is", "in", "case", "when", "then", "else", "end", "exists", "distinct",
                                      "all", "group", "order", "having", "union", "null", "collate", "escape"};
    if (t.kind != TokenKind::Word) return false;
    for (const char* w : words)
        if (com::equalsIgnoreCase(t.text, w)) return true;
    return false;
}

std::string asText(const Typed& x) { return x.kind == ColumnKind::Currency ? "CstrMoney(" + x.text + ")" : x.text; }

// A recursive-descent reader of one select-list expression: || over + - over * / over
// unary signs over literals, names, function calls and parentheses.
class ExpressionTyper {
public:
    ExpressionTyper(const std::vector<Token>& tokens, size_t from, size_t to,
                    const std::function<ColumnKind(const std::string&)>& kindOf,
                    const std::function<TypedSelect(const std::string&)>& subquery)
        : t_(tokens), pos_(from), end_(to), kindOf_(kindOf), subquery_(subquery) {}

    Typed whole() {
        Typed x = condition();
        if (peek()) throw Unreadable{};
        return x;
    }

private:
    const Token* peek() {
        while (pos_ < end_ && t_[pos_].kind == TokenKind::Space) ++pos_;
        return pos_ < end_ ? &t_[pos_] : nullptr;
    }
    bool peekSymbol(std::string_view s) {
        const Token* t = peek();
        return t && t->kind == TokenKind::Symbol && t->text == s;
    }
    const Token& take() {
        if (!peek()) throw Unreadable{};
        return t_[pos_++];
    }
    void expect(std::string_view s) {
        if (!peekSymbol(s)) throw Unreadable{};
        ++pos_;
    }

    bool peekWord(std::string_view w) {
        const Token* t = peek();
        return t && isWord(*t, w);
    }

    Typed condition() {
        Typed left = conjunction();
        while (peekWord("or")) {
            const std::string op = take().text;
            left = {ColumnKind::Integer, left.text + " " + op + " " + conjunction().text};
        }
        return left;
    }

    Typed conjunction() {
        Typed left = negation();
        while (peekWord("and")) {
            const std::string op = take().text;
            left = {ColumnKind::Integer, left.text + " " + op + " " + negation().text};
        }
        return left;
    }

    Typed negation() {
        if (peekWord("not")) {
            const std::string op = take().text;
            return {ColumnKind::Integer, op + " " + negation().text};
        }
        return comparison();
    }

    // Money compared with a plain number: the number in units, as Jet compares the values.
    static std::string scaledAgainst(const Typed& side, const Typed& money) {
        if (money.kind == ColumnKind::Currency && isNumeric(side.kind)) return "(" + side.text + ")*10000";
        return side.text;
    }

    Typed comparison() {
        Typed left = concatenation();
        static constexpr std::array operators{"=", "==", "<>", "!=", "<", ">", "<=", ">="};
        if (const Token* t = peek(); t && t->kind == TokenKind::Symbol &&
                                     std::find(operators.begin(), operators.end(), t->text) != operators.end()) {
            const std::string op = take().text;
            const Typed right = concatenation();
            return {ColumnKind::Integer, scaledAgainst(left, right) + " " + op + " " + scaledAgainst(right, left)};
        }
        if (peekWord("is")) {
            std::string op = take().text;
            if (peekWord("not")) op += " " + take().text;
            return {ColumnKind::Integer, left.text + " " + op + " " + concatenation().text};
        }
        std::string negated;
        if (peekWord("not")) negated = take().text + " ";
        if (peekWord("between")) {
            const std::string op = negated + take().text;
            const Typed low = concatenation();
            if (!peekWord("and")) throw Unreadable{};
            const std::string and_ = take().text;
            const Typed high = concatenation();
            const bool moneyBounds = low.kind == ColumnKind::Currency || high.kind == ColumnKind::Currency;
            const std::string subject = moneyBounds ? scaledAgainst(left, Typed{ColumnKind::Currency, ""}) : left.text;
            return {ColumnKind::Integer, subject + " " + op + " " + scaledAgainst(low, left) + " " + and_ + " " +
                                             scaledAgainst(high, left)};
        }
        if (peekWord("in")) {
            std::string text = left.text + " " + negated + take().text + " (";
            expect("(");
            if (peekWord("select")) {
                text += subquerySql(t_[pos_ - 1].depth) + ")";
                return {ColumnKind::Integer, text};
            }
            for (bool first = true; first || peekSymbol(","); first = false) {
                if (!first) ++pos_;
                text += (first ? "" : ", ") + scaledAgainst(concatenation(), left);
            }
            expect(")");
            return {ColumnKind::Integer, text + ")"};
        }
        if (peekWord("like")) {
            const std::string op = negated + take().text;
            return {ColumnKind::Integer, left.text + " " + op + " " + concatenation().text};
        }
        if (!negated.empty()) throw Unreadable{};
        return left;
    }

    Typed concatenation() {
        Typed left = additive();
        if (!peekSymbol("||")) return left;
        std::string text = asText(left);
        while (peekSymbol("||")) {
            ++pos_;
            text += " || " + asText(additive());
        }
        return {ColumnKind::Text, text};
    }

    Typed additive() {
        Typed left = multiplicative();
        while (peekSymbol("+") || peekSymbol("-")) {
            const std::string op = take().text;
            left = add(left, op, multiplicative());
        }
        return left;
    }

    static Typed add(const Typed& l, const std::string& op, const Typed& r) {
        using K = ColumnKind;
        const std::string o = " " + op + " ";
        if (l.kind == K::Currency && r.kind == K::Currency) return {K::Currency, l.text + o + r.text};
        if (l.kind == K::Currency && r.kind == K::Integer) return {K::Currency, l.text + o + "(" + r.text + ")*10000"};
        if (l.kind == K::Integer && r.kind == K::Currency) return {K::Currency, "(" + l.text + ")*10000" + o + r.text};
        if (l.kind == K::Currency && r.kind == K::Real) return {K::Real, "(" + l.text + ")/10000.0" + o + r.text};
        if (l.kind == K::Real && r.kind == K::Currency) return {K::Real, l.text + o + "(" + r.text + ")/10000.0"};
        if (isNumeric(l.kind) && isNumeric(r.kind))
            return {l.kind == K::Real || r.kind == K::Real ? K::Real : K::Integer, l.text + o + r.text};
        return {K::Untyped, l.text + o + r.text};
    }

    Typed multiplicative() {
        Typed left = unary();
        while (peekSymbol("*") || peekSymbol("/")) {
            const std::string op = take().text;
            const Typed right = unary();
            left = op == "*" ? multiply(left, right) : divide(left, right);
        }
        return left;
    }

    static Typed multiply(const Typed& l, const Typed& r) {
        using K = ColumnKind;
        if ((l.kind == K::Currency && r.kind == K::Integer) || (l.kind == K::Integer && r.kind == K::Currency))
            return {K::Currency, l.text + " * " + r.text};
        if (l.kind == K::Currency && r.kind == K::Currency) return {K::Currency, "MoneyMul(" + l.text + ", " + r.text + ")"};
        if (l.kind == K::Currency && r.kind == K::Real) return {K::Real, "(" + l.text + ")/10000.0 * " + r.text};
        if (l.kind == K::Real && r.kind == K::Currency) return {K::Real, l.text + " * (" + r.text + ")/10000.0"};
        if (isNumeric(l.kind) && isNumeric(r.kind))
            return {l.kind == K::Real || r.kind == K::Real ? K::Real : K::Integer, l.text + " * " + r.text};
        return {K::Untyped, l.text + " * " + r.text};
    }

    // Jet's `/` always divides as floating point; money on one side only is scaled first.
    static Typed divide(const Typed& l, const Typed& r) {
        using K = ColumnKind;
        if (l.kind == K::Currency && r.kind != K::Currency && r.kind != K::Untyped)
            return {K::Real, "(" + l.text + ")/10000.0 / " + r.text};
        if (r.kind == K::Currency && l.kind != K::Currency && l.kind != K::Untyped)
            return {K::Real, "(" + l.text + ")*10000.0 / " + r.text};
        const bool known = l.kind != K::Untyped && r.kind != K::Untyped;
        return {known ? K::Real : K::Untyped, "CAST(" + l.text + " AS REAL) / " + r.text};
    }

    Typed unary() {
        if (peekSymbol("-") || peekSymbol("+")) {
            const std::string sign = take().text;
            const Typed x = unary();
            return {x.kind, sign + x.text};
        }
        return primary();
    }

    Typed primary() {
        const Token& t = take();
        switch (t.kind) {
        case TokenKind::Number:
            return {t.text.find_first_of(".eE") == std::string::npos ? ColumnKind::Integer : ColumnKind::Real, t.text};
        case TokenKind::String: return {ColumnKind::Text, t.text};
        case TokenKind::Symbol:
            if (t.text == "?") {
                std::string text = "?";
                if (pos_ < end_ && t_[pos_].kind == TokenKind::Number) text += t_[pos_++].text;
                return {ColumnKind::Untyped, text};
            }
            if (t.text == "(") {
                const Token* next = peek();
                if (next && isWord(*next, "select")) return scalarSubquery(t.depth);
                const Typed inner = condition();
                expect(")");
                return {inner.kind, "(" + inner.text + ")"};
            }
            throw Unreadable{};
        case TokenKind::Word:
            if (isWord(t, "null")) return {ColumnKind::Untyped, t.text};
            if (isKeyword(t)) throw Unreadable{};
            if (peekSymbol("(")) return call(t.text);
            return name(t.text);
        case TokenKind::Bracketed: return name(t.text);
        case TokenKind::Space: break;
        }
        throw Unreadable{};
    }

    // The subquery after the "(" at `depth`, typed as a statement of its own, up to and
    // including its ")"; `typed` receives its typing.
    std::string subquerySql(int depth, TypedSelect* typed = nullptr) {
        const size_t from = pos_;
        while (pos_ < end_ && !(t_[pos_].kind == TokenKind::Symbol && t_[pos_].text == ")" && t_[pos_].depth == depth))
            ++pos_;
        if (pos_ >= end_) throw Unreadable{};
        TypedSelect inner = subquery_(join(t_, from, pos_));
        ++pos_;
        std::string sql = inner.sql;
        if (typed) *typed = std::move(inner);
        return sql;
    }

    // "(SELECT one item FROM ...)": typed as its item.
    Typed scalarSubquery(int depth) {
        TypedSelect inner;
        const std::string sql = subquerySql(depth, &inner);
        const bool single = inner.items.size() == 1 && !inner.stars[0];
        return {single ? inner.items[0] : ColumnKind::Untyped, "(" + sql + ")"};
    }

    Typed name(std::string text) {
        if (peekSymbol(".")) {
            ++pos_;
            const Token& column = take();
            if (column.kind != TokenKind::Word && column.kind != TokenKind::Bracketed) throw Unreadable{};
            text += "." + column.text;
        }
        return {kindOf_(text), text};
    }

    Typed call(const std::string& function) {
        expect("(");
        std::vector<Typed> args;
        std::string prefix;
        if (const Token* t = peek(); t && isWord(*t, "distinct")) prefix = take().text + " ";
        if (peekSymbol("*")) {
            ++pos_;
            args.push_back({ColumnKind::Untyped, "*"});
        } else if (!peekSymbol(")")) {
            args.push_back(condition());
            while (peekSymbol(",")) {
                ++pos_;
                args.push_back(condition());
            }
        }
        expect(")");
        std::string list;
        for (const auto& a : args) list += (list.empty() ? "" : ", ") + a.text;
        const std::string text = function + "(" + prefix + list + ")";
        auto is = [&](std::string_view n) { return com::equalsIgnoreCase(function, n); };
        using K = ColumnKind;
        if (is("count")) return {K::Integer, text};
        // `&` became ifnull(x, '') || ...: money there is its text.
        if (is("ifnull") && args.size() == 2 && args[0].kind == K::Currency && args[1].kind == K::Text)
            return {K::Text, function + "(" + asText(args[0]) + ", " + args[1].text + ")"};
        if (args.empty()) return {K::Untyped, text};
        if (is("cstr") && args.size() == 1)
            return {K::Text, args[0].kind == K::Currency ? "CstrMoney(" + args[0].text + ")" : text};
        if (is("avg") && args.size() == 1)
            return {args[0].kind == K::Currency ? K::Currency : isNumeric(args[0].kind) ? K::Real : K::Untyped, text};
        if (is("sum") || is("max") || is("min") || is("abs") || is("total")) {
            for (const auto& a : args)
                if (a.kind != args[0].kind) return {K::Untyped, text};
            if (is("total") && args[0].kind != K::Currency) return {K::Real, text};
            return {args[0].kind, text};
        }
        return {K::Untyped, text};
    }

    const std::vector<Token>& t_;
    size_t pos_, end_;
    const std::function<ColumnKind(const std::string&)>& kindOf_;
    const std::function<TypedSelect(const std::string&)>& subquery_;
};

struct Item {
    size_t from, to;      // the expression (blanks trimmed)
    size_t itemTo;        // the end of the item, its alias included
    bool star = false;
    bool plainName = false;
};

bool isClauseEnd(const Token& t) {
    return t.depth == 0 && (isWord(t, "where") || isWord(t, "group") || isWord(t, "having") || isWord(t, "order") ||
                            isWord(t, "union") || isWord(t, "limit") || isWord(t, "window") || isWord(t, "except") ||
                            isWord(t, "intersect"));
}

bool isName(const Token& t) { return (t.kind == TokenKind::Word && !isKeyword(t)) || t.kind == TokenKind::Bracketed; }

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
std::map<std::string, ColumnKind> resolveNames(sqlite3* db, const std::vector<std::string>& names,
                                               const std::string& fromClause) {
    std::map<std::string, ColumnKind> kinds;
    auto probe = [&](const std::string& list, auto&& onPrepared) {
        sqlite3_stmt* stmt = nullptr;
        const std::string sql = "SELECT " + list + " " + fromClause;
        if (sqlite3_prepare_v2(db, sql.c_str(), static_cast<int>(sql.size()), &stmt, nullptr) == SQLITE_OK && stmt)
            onPrepared(stmt);
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

void moneyText(sqlite3_context* ctx, int, sqlite3_value** argv) {
    const int type = sqlite3_value_type(argv[0]);
    if (type == SQLITE_NULL) return sqlite3_result_null(ctx);
    try {
        const int64_t units = type == SQLITE_FLOAT ? com::roundHalfEven(sqlite3_value_double(argv[0]))
                                                   : sqlite3_value_int64(argv[0]);
        const std::string text = com::Variant(com::Currency::fromUnits(units)).toString();
        sqlite3_result_text(ctx, text.c_str(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
    } catch (const com::Error& e) {
        sqlite3_result_error(ctx, e.description().c_str(), -1);
    }
}

int64_t unitsOf(sqlite3_value* v) {
    return sqlite3_value_type(v) == SQLITE_FLOAT ? com::roundHalfEven(sqlite3_value_double(v)) : sqlite3_value_int64(v);
}

// money * money, exact, rounded half to even to the ten-thousandth.
void moneyProduct(sqlite3_context* ctx, int, sqlite3_value** argv) {
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL || sqlite3_value_type(argv[1]) == SQLITE_NULL)
        return sqlite3_result_null(ctx);
    try {
        const __int128 product = static_cast<__int128>(unitsOf(argv[0])) * unitsOf(argv[1]);
        __int128 quotient = product / com::Currency::Scale;
        const __int128 rest = product % com::Currency::Scale;
        const __int128 twice = (rest < 0 ? -rest : rest) * 2;
        if (twice > com::Currency::Scale || (twice == com::Currency::Scale && quotient % 2 != 0))
            quotient += product < 0 ? -1 : 1;
        if (quotient > std::numeric_limits<int64_t>::max() || quotient < std::numeric_limits<int64_t>::min())
            return sqlite3_result_error(ctx, "Overflow in a money product.", -1);
        sqlite3_result_int64(ctx, static_cast<int64_t>(quotient));
    } catch (const com::Error& e) {
        sqlite3_result_error(ctx, e.description().c_str(), -1);
    }
}

}  // namespace

std::vector<ColumnKind> TypedSelect::columnKinds(int count) const {
    const auto n = static_cast<int>(items.size());
    std::vector<ColumnKind> kinds(static_cast<size_t>(count > 0 ? count : 0), ColumnKind::Untyped);
    const auto first = std::find(stars.begin(), stars.end(), true);
    const int before = static_cast<int>(first - stars.begin());
    const int after = first == stars.end() ? 0 : static_cast<int>(stars.rend() - std::find(stars.rbegin(), stars.rend(), true));
    if (first == stars.end() && n != count) return kinds;
    if (first != stars.end() && n - 1 > count) return kinds;
    for (int i = 0; i < before && i < count; ++i) kinds[static_cast<size_t>(i)] = items[static_cast<size_t>(i)];
    // Items after the last star stand at the end of the columns.
    for (int i = after; first != stars.end() && i < n; ++i)
        kinds[static_cast<size_t>(count - (n - i))] = items[static_cast<size_t>(i)];
    return kinds;
}

int registerMoneyFunctions(sqlite3* db) {
    const int flags = SQLITE_UTF8 | SQLITE_DETERMINISTIC;
    int rc = sqlite3_create_function_v2(db, "CstrMoney", 1, flags, nullptr, moneyText, nullptr, nullptr, nullptr);
    if (rc == SQLITE_OK)
        rc = sqlite3_create_function_v2(db, "MoneyMul", 2, flags, nullptr, moneyProduct, nullptr, nullptr, nullptr);
    return rc;
}

TypedSelect typeSelectList(sqlite3* db, const std::string& sql) {
    TypedSelect result{sql, {}, {}};
    std::vector<Token> t;
    try {
        t = tokenize(sql);
    } catch (const com::Error&) {
        return result;  // the statement's own prepare reports it
    }
    size_t listFrom = skipSpace(t, 0);
    if (listFrom >= t.size() || !isWord(t[listFrom], "select")) return result;
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
        items.push_back(item);
        start = stop + 1;
    }
    // The WHERE and HAVING conditions of this statement (before any UNION) that compare
    // with a number: money compared with one must be compared in units.
    struct Clause {
        size_t from, to;
    };
    std::vector<Clause> clauses;
    for (size_t k = fromTo; k < t.size() && !(t[k].depth == 0 && (isWord(t[k], "union") || isWord(t[k], "except") ||
                                                                   isWord(t[k], "intersect")));) {
        if (t[k].depth == 0 && (isWord(t[k], "where") || isWord(t[k], "having"))) {
            Clause clause{k + 1, k + 1};
            while (clause.to < t.size() && !isClauseEnd(t[clause.to])) ++clause.to;
            const bool number = std::any_of(t.begin() + static_cast<long>(clause.from), t.begin() + static_cast<long>(clause.to),
                                            [](const Token& x) { return x.kind == TokenKind::Number && x.text != "0"; });
            if (number) clauses.push_back(clause);
            k = clause.to;
        } else {
            ++k;
        }
    }
    if (!anyExpression && clauses.empty()) return result;

    std::vector<std::string> names;
    for (const auto& item : items)
        if (!item.star && !item.plainName) collectNames(t, item.from, item.to, names);
    for (const auto& clause : clauses) collectNames(t, clause.from, clause.to, names);
    const auto kinds = names.empty() ? std::map<std::string, ColumnKind>{}
                                     : resolveNames(db, names, join(t, listTo, fromTo));
    const std::function<ColumnKind(const std::string&)> kindOf = [&](const std::string& n) {
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
        ColumnKind kind = ColumnKind::Untyped;
        std::string text = join(t, item.from, item.to);
        if (!item.star && !item.plainName) {
            try {
                const Typed typed = ExpressionTyper(t, item.from, item.to, kindOf, subquery).whole();
                kind = typed.kind;
                text = typed.text;
            } catch (const Unreadable&) {
            }
        }
        rewritten += text + join(t, item.to, item.itemTo);
        result.items.push_back(kind);
        result.stars.push_back(item.star);
    }
    size_t done = listTo;
    for (const auto& clause : clauses) {
        rewritten += join(t, done, clause.from);
        std::string text = join(t, clause.from, clause.to);
        try {
            // Blanks around the condition as written; the condition itself as typed.
            const size_t first = skipSpace(t, clause.from);
            size_t last = clause.to;
            while (last > first && t[last - 1].kind == TokenKind::Space) --last;
            text = join(t, clause.from, first) + ExpressionTyper(t, first, last, kindOf, subquery).whole().text +
                   join(t, last, clause.to);
        } catch (const Unreadable&) {
        }
        rewritten += text;
        done = clause.to;
    }
    rewritten += join(t, done, t.size());
    result.sql = std::move(rewritten);
    return result;
}

}  // namespace ado::detail
