#include "money_expression.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <optional>
#include <string_view>

#include "com/dispatch.h"
#include "money_sql.h"

namespace ado::detail {

namespace {

struct Typed {
    ColumnKind kind;
    std::string text;
    bool parameter = false;  // a bare "?" whose kind its neighbours decide
};

struct Unreadable {};  // the typer gives up on an item; it stays as written

bool isNumeric(ColumnKind k) { return k == ColumnKind::Integer || k == ColumnKind::Real; }

// A plain decimal literal ("-1.2345", "2", "0.00005") times 10 000, as decimal text; nullopt
// for anything else (an exponent, an expression).
std::optional<std::string> literalInUnits(std::string_view text) {
    std::string sign;
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
        if (text.front() == '-') sign = "-";
        text.remove_prefix(1);
    }
    const size_t dot = text.find('.');
    const std::string_view whole = text.substr(0, dot);
    std::string fraction(dot == std::string_view::npos ? std::string_view() : text.substr(dot + 1));
    const auto digits = [](std::string_view d) { return d.find_first_not_of("0123456789") == std::string_view::npos; };
    if (whole.empty() && fraction.empty()) return std::nullopt;
    if (!digits(whole) || !digits(fraction)) return std::nullopt;
    if (fraction.size() < 4) fraction.append(4 - fraction.size(), '0');
    std::string units = std::string(whole) + fraction.substr(0, 4);
    units.erase(0, std::min(units.find_first_not_of('0'), units.size() - 1));
    if (fraction.size() > 4) units += "." + fraction.substr(4);
    return sign + units;
}

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
    // Whether any rule changed the text (else the caller keeps it as written).
    bool rewrote() const { return rewrote_; }
    // Whether a subquery's typing holds for this time only.
    bool uncertain() const { return uncertain_; }
    const std::string& refusedColumn() const { return refusal_; }
    const std::string& untypedMoneyInside() const { return moneyInside_; }

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

    std::string rewritten(std::string text) {
        rewrote_ = true;
        return text;
    }
    std::string asText(const Typed& x) {
        return x.kind == ColumnKind::Currency ? rewritten("CstrMoney(" + x.text + ")") : x.text;
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
        return operand();
    }

    // One operand of AND / OR. One the typer cannot read (GLOB, CAST, ...) stays as written
    // up to the next AND, OR, CASE word, comma or closing parenthesis of its level, so that
    // the conditions beside it are still typed.
    Typed operand() {
        const Token* first = peek();
        const size_t start = pos_;
        const bool rewroteBefore = rewrote_;
        try {
            return comparison();
        } catch (const Unreadable&) {
            if (!first) throw;
            rewrote_ = rewroteBefore;
            pos_ = start;
            const int depth = first->depth;
            static constexpr std::array stops{"and", "or", "then", "else", "end", "when"};
            for (; pos_ < end_; ++pos_) {
                const Token& t = t_[pos_];
                if (t.depth < depth) break;  // the ")" that closes its level
                if (t.depth != depth) continue;
                if (t.kind == TokenKind::Symbol && t.text == ",") break;
                if (std::any_of(stops.begin(), stops.end(), [&](const char* w) { return isWord(t, w); })) break;
            }
            if (pos_ == start) throw;
            size_t last = pos_;
            while (last > start && t_[last - 1].kind == TokenKind::Space) --last;
            // Money inside a condition the typer cannot read would be compared in units.
            if (refusal_.empty()) refusal_ = moneyNameIn(t_, start, last, kindOf_);
            return {ColumnKind::Untyped, join(t_, start, last)};
        }
    }

    // A "?" beside money holds an amount: it is renamed so that the binding converts its
    // value to units (a Long 5 is 5.0000, not 0.0005). A named parameter takes the number
    // the "?" had, so the other placeholders keep theirs.
    Typed asMoney(const Typed& x) { return x.parameter ? renamed(MoneyParameterPrefix, ColumnKind::Currency) : x; }
    // A "?" that multiplies or divides money is a plain number (bound as a Double).
    Typed asNumber(const Typed& x) { return x.parameter ? renamed(NumberParameterPrefix, ColumnKind::Real) : x; }
    Typed renamed(std::string_view prefix, ColumnKind kind) {
        static std::atomic<unsigned> counter{0};
        return {kind, rewritten(std::string(prefix) + std::to_string(counter++))};
    }

    // Money compared with a plain number: the number in units, as Jet compares the values.
    // A literal is shifted as written ("1.2345" -> "12345"): 1.2345 * 10000 in floating
    // point is 12344.999..., which no amount equals.
    std::string scaledAgainst(const Typed& side, const Typed& money) {
        if (money.kind != ColumnKind::Currency) return side.text;
        if (side.parameter) return asMoney(side).text;
        if (!isNumeric(side.kind)) return side.text;
        if (const auto units = literalInUnits(side.text)) return rewritten(*units);
        return rewritten("(" + side.text + ")*10000");
    }

    // A side of a comparison that the typer could not type, holding a money column: the
    // comparison is refused (the first such column is named).
    void refuseUntyped(const Typed& side, size_t from) {
        if (side.kind != ColumnKind::Untyped || side.parameter || com::equalsIgnoreCase(side.text, "null")) return;
        if (!refusal_.empty()) return;
        refusal_ = moneyNameIn(t_, from, pos_, kindOf_);
        if (refusal_.empty() && !moneyInside_.empty()) refusal_ = moneyInside_;
    }
    // The side parsed from here on, its start remembered for refuseUntyped.
    Typed side(size_t& from) {
        peek();
        from = pos_;
        return concatenation();
    }

    Typed comparison() {
        size_t leftFrom = 0;
        Typed left = side(leftFrom);
        const size_t leftTo = pos_;
        const auto refuseLeft = [&] {
            const size_t here = pos_;
            pos_ = leftTo;
            refuseUntyped(left, leftFrom);
            pos_ = here;
        };
        static constexpr std::array operators{"=", "==", "<>", "!=", "<", ">", "<=", ">="};
        if (const Token* t = peek(); t && t->kind == TokenKind::Symbol &&
                                     std::find(operators.begin(), operators.end(), t->text) != operators.end()) {
            const std::string op = take().text;
            size_t rightFrom = 0;
            const Typed right = side(rightFrom);
            refuseUntyped(right, rightFrom);
            refuseLeft();
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
            size_t lowFrom = 0, highFrom = 0;
            const Typed low = side(lowFrom);
            refuseUntyped(low, lowFrom);
            if (!peekWord("and")) throw Unreadable{};
            const std::string and_ = take().text;
            const Typed high = side(highFrom);
            refuseUntyped(high, highFrom);
            refuseLeft();
            const bool moneyBounds = low.kind == ColumnKind::Currency || high.kind == ColumnKind::Currency;
            const std::string subject = moneyBounds ? scaledAgainst(left, Typed{ColumnKind::Currency, ""}) : left.text;
            return {ColumnKind::Integer,
                    subject + " " + op + " " + scaledAgainst(low, left) + " " + and_ + " " + scaledAgainst(high, left)};
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
                size_t itemFrom = 0;
                const Typed item = side(itemFrom);
                refuseUntyped(item, itemFrom);
                text += (first ? "" : ", ") + scaledAgainst(item, left);
            }
            refuseLeft();
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
            Typed right = multiplicative();
            if (left.kind == ColumnKind::Currency) right = asMoney(right);
            if (right.kind == ColumnKind::Currency) left = asMoney(left);
            left = add(left, op, right);
        }
        return left;
    }

    Typed add(const Typed& l, const std::string& op, const Typed& r) {
        using K = ColumnKind;
        const std::string o = " " + op + " ";
        if (l.kind == K::Currency && r.kind == K::Currency) return {K::Currency, l.text + o + r.text};
        if (l.kind == K::Currency && r.kind == K::Integer)
            return {K::Currency, rewritten(l.text + o + "(" + r.text + ")*10000")};
        if (l.kind == K::Integer && r.kind == K::Currency)
            return {K::Currency, rewritten("(" + l.text + ")*10000" + o + r.text)};
        if (l.kind == K::Currency && r.kind == K::Real)
            return {K::Real, rewritten("(" + l.text + ")/10000.0" + o + r.text)};
        if (l.kind == K::Real && r.kind == K::Currency)
            return {K::Real, rewritten(l.text + o + "(" + r.text + ")/10000.0")};
        if (isNumeric(l.kind) && isNumeric(r.kind))
            return {l.kind == K::Real || r.kind == K::Real ? K::Real : K::Integer, l.text + o + r.text};
        return {K::Untyped, l.text + o + r.text};
    }

    Typed multiplicative() {
        Typed left = unary();
        while (peekSymbol("*") || peekSymbol("/")) {
            const std::string op = take().text;
            Typed right = unary();
            if (left.kind == ColumnKind::Currency) right = asNumber(right);
            if (right.kind == ColumnKind::Currency) left = asNumber(left);
            left = op == "*" ? multiply(left, right) : divide(left, right);
        }
        return left;
    }

    Typed multiply(const Typed& l, const Typed& r) {
        using K = ColumnKind;
        if ((l.kind == K::Currency && r.kind == K::Integer) || (l.kind == K::Integer && r.kind == K::Currency))
            return {K::Currency, l.text + " * " + r.text};
        if (l.kind == K::Currency && r.kind == K::Currency)
            return {K::Currency, rewritten("MoneyMul(" + l.text + ", " + r.text + ")")};
        if (l.kind == K::Currency && r.kind == K::Real)
            return {K::Real, rewritten("(" + l.text + ")/10000.0 * " + r.text)};
        if (l.kind == K::Real && r.kind == K::Currency)
            return {K::Real, rewritten(l.text + " * (" + r.text + ")/10000.0")};
        if (isNumeric(l.kind) && isNumeric(r.kind))
            return {l.kind == K::Real || r.kind == K::Real ? K::Real : K::Integer, l.text + " * " + r.text};
        return {K::Untyped, l.text + " * " + r.text};
    }

    // Jet's `/` always divides as floating point; money on one side only is scaled first.
    Typed divide(const Typed& l, const Typed& r) {
        using K = ColumnKind;
        if (l.kind == K::Currency && r.kind != K::Currency && r.kind != K::Untyped)
            return {K::Real, rewritten("(" + l.text + ")/10000.0 / " + r.text)};
        if (r.kind == K::Currency && l.kind != K::Currency && l.kind != K::Untyped)
            return {K::Real, rewritten("(" + l.text + ")*10000.0 / " + r.text)};
        const bool known = l.kind != K::Untyped && r.kind != K::Untyped;
        return {known ? K::Real : K::Untyped, rewritten("CAST(" + l.text + " AS REAL) / " + r.text)};
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
                if (pos_ < end_ && t_[pos_].kind == TokenKind::Number)
                    return {ColumnKind::Untyped, "?" + t_[pos_++].text};
                return {ColumnKind::Untyped, "?", true};
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
            if (isWord(t, "case")) return caseExpression(t.text);
            if (isWord(t, "exists") && peekSymbol("(")) {
                const int depth = t_[pos_].depth;
                ++pos_;
                if (!peekWord("select")) throw Unreadable{};
                return {ColumnKind::Integer, t.text + " (" + subquerySql(depth) + ")"};
            }
            if (isKeyword(t)) throw Unreadable{};
            if (peekSymbol("(")) return windowed(call(t.text));
            return name(t.text);
        case TokenKind::Bracketed: return name(t.text);
        case TokenKind::Space: break;
        }
        throw Unreadable{};
    }

    // CASE [subject] WHEN .. THEN .. [ELSE ..] END: money when one result is money and the
    // others are money, numbers (scaled to units) or Null; else the results' common kind.
    Typed caseExpression(const std::string& keyword) {
        std::string text = keyword;
        std::optional<Typed> subject;
        if (!peekWord("when")) {
            subject = condition();
            text += " " + subject->text;
        }
        std::vector<Typed> results;
        std::vector<std::string> pieces;  // the text before each result
        while (peekWord("when")) {
            text += " " + take().text + " ";
            const Typed when = condition();
            text += subject ? scaledAgainst(when, *subject) : when.text;
            if (!peekWord("then")) throw Unreadable{};
            pieces.push_back(text + " " + take().text + " ");
            text.clear();
            results.push_back(condition());
        }
        if (results.empty()) throw Unreadable{};
        if (peekWord("else")) {
            pieces.push_back(" " + take().text + " ");
            results.push_back(condition());
        }
        if (!peekWord("end")) throw Unreadable{};
        const std::string end = " " + take().text;
        auto isNull = [](const Typed& r) {
            return r.kind == ColumnKind::Untyped && com::equalsIgnoreCase(r.text, "null");
        };
        const bool money = std::any_of(results.begin(), results.end(),
                                       [](const Typed& r) { return r.kind == ColumnKind::Currency; }) &&
                           std::all_of(results.begin(), results.end(), [&](const Typed& r) {
                               return r.kind == ColumnKind::Currency || isNumeric(r.kind) || r.parameter || isNull(r);
                           });
        ColumnKind kind = money ? ColumnKind::Currency : results[0].kind;
        std::string whole;
        for (size_t i = 0; i < results.size(); ++i) {
            if (!money && results[i].kind != kind && !isNull(results[i])) kind = ColumnKind::Untyped;
            whole += pieces[i] + (money ? scaledAgainst(results[i], Typed{ColumnKind::Currency, ""}) : results[i].text);
        }
        return {kind, whole + end};
    }

    // The subquery after the "(" at `depth`, typed as a statement of its own, up to and
    // including its ")"; `typed` receives its typing.
    std::string subquerySql(int depth, TypedSelect* typed = nullptr) {
        const size_t from = pos_;
        while (pos_ < end_ && !(t_[pos_].kind == TokenKind::Symbol && t_[pos_].text == ")" && t_[pos_].depth == depth))
            ++pos_;
        if (pos_ >= end_) throw Unreadable{};
        const std::string original = join(t_, from, pos_);
        TypedSelect inner = subquery_(original);
        if (inner.sql != original) rewrote_ = true;
        if (refusal_.empty()) refusal_ = inner.refusedColumn;
        if (!inner.certain) uncertain_ = true;
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
        if (single && moneyInside_.empty()) moneyInside_ = inner.untypedMoney[0];
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

    // A call's FILTER (WHERE ...) and OVER (...) or OVER name. The filter is a condition as
    // any other; the window stays as written (its ORDER BY orders money as the units do), but
    // a RANGE frame with an offset would measure the offset in units and is not read.
    Typed windowed(Typed call) {
        if (peekWord("filter")) {
            const std::string word = take().text;
            expect("(");
            if (!peekWord("where")) throw Unreadable{};
            const std::string where = take().text;
            const Typed filter = condition();
            expect(")");
            call.text += " " + word + " (" + where + " " + filter.text + ")";
        }
        if (!peekWord("over")) return call;
        const std::string over = take().text;
        if (!peekSymbol("(")) {
            const Token& window = take();
            if (!isName(window)) throw Unreadable{};
            call.text += " " + over + " " + window.text;
            return call;
        }
        const int depth = t_[pos_].depth;
        const size_t from = pos_++;
        bool range = false, offset = false;
        while (pos_ < end_ &&
               !(t_[pos_].kind == TokenKind::Symbol && t_[pos_].text == ")" && t_[pos_].depth == depth)) {
            range = range || isWord(t_[pos_], "range");
            offset = offset || t_[pos_].kind == TokenKind::Number || t_[pos_].text == "?";
            ++pos_;
        }
        if (pos_ >= end_ || (range && offset)) throw Unreadable{};
        ++pos_;
        call.text += " " + over + " " + join(t_, from, pos_);
        return call;
    }

    static bool isNullLiteral(const Typed& r) {
        return r.kind == ColumnKind::Untyped && com::equalsIgnoreCase(r.text, "null");
    }
    // Results of which one is money and the others money, numbers or Null: money, the numbers
    // in units.
    static bool moneyResults(const std::vector<const Typed*>& results) {
        const auto fits = [](const Typed* r) {
            return r->kind == ColumnKind::Currency || isNumeric(r->kind) || r->parameter || isNullLiteral(*r);
        };
        return std::any_of(results.begin(), results.end(),
                           [](const Typed* r) { return r->kind == ColumnKind::Currency; }) &&
               std::all_of(results.begin(), results.end(), fits);
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
        if (is("count") || is("row_number") || is("rank") || is("dense_rank") || is("ntile")) return {K::Integer, text};
        if (is("percent_rank") || is("cume_dist")) return {K::Real, text};
        // IIf(condition, a, b) is typed as CASE WHEN condition THEN a ELSE b END.
        if (is("iif") && args.size() == 3) {
            if (moneyResults({&args[1], &args[2]}))
                return {K::Currency, function + "(" + args[0].text + ", " +
                                         scaledAgainst(args[1], Typed{K::Currency, ""}) + ", " +
                                         scaledAgainst(args[2], Typed{K::Currency, ""}) + ")"};
            const bool same = args[1].kind == args[2].kind || isNullLiteral(args[2]);
            return {same ? args[1].kind : isNullLiteral(args[1]) ? args[2].kind : K::Untyped, text};
        }
        // A value of another row of the window: the value's kind (lag's default in units).
        if ((is("first_value") || is("last_value")) && args.size() == 1) return {args[0].kind, text};
        if (is("nth_value") && args.size() == 2) return {args[0].kind, text};
        if ((is("lag") || is("lead")) && !args.empty() && args.size() <= 3) {
            if (args.size() < 3) return {args[0].kind, text};
            if (args[0].kind == K::Currency && moneyResults({&args[0], &args[2]}))
                return {K::Currency, function + "(" + args[0].text + ", " + args[1].text + ", " +
                                         scaledAgainst(args[2], Typed{K::Currency, ""}) + ")"};
            return {args[0].kind == args[2].kind || isNullLiteral(args[2]) ? args[0].kind : K::Untyped, text};
        }
        // `&` became ifnull(x, '') || ...: money there is its text.
        if (is("ifnull") && args.size() == 2 && args[0].kind == K::Currency && args[1].kind == K::Text)
            return {K::Text, function + "(" + asText(args[0]) + ", " + args[1].text + ")"};
        if (args.empty()) return {K::Untyped, text};
        if (is("cstr") && args.size() == 1)
            return {K::Text, args[0].kind == K::Currency ? rewritten("CstrMoney(" + args[0].text + ")") : text};
        // Round(money[, digits]) keeps money, rounded half to even as Jet's Round does.
        if (is("round") && args[0].kind == K::Currency && args.size() <= 2 &&
            (args.size() == 1 || isNumeric(args[1].kind)))
            return {K::Currency,
                    rewritten("MoneyRound(" + args[0].text + ", " + (args.size() == 2 ? args[1].text : "0") + ")")};
        // The first value that is not Null: money when one is money and the others are numbers.
        if ((is("ifnull") || is("coalesce")) &&
            std::any_of(args.begin(), args.end(), [](const Typed& a) { return a.kind == K::Currency; }) &&
            std::all_of(args.begin(), args.end(),
                        [](const Typed& a) { return a.kind == K::Currency || isNumeric(a.kind) || a.parameter; })) {
            std::string scaled;
            for (const auto& a : args)
                scaled += (scaled.empty() ? "" : ", ") + scaledAgainst(a, Typed{K::Currency, ""});
            return {K::Currency, function + "(" + scaled + ")"};
        }
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
    bool rewrote_ = false;
    bool uncertain_ = false;
    std::string refusal_, moneyInside_;
};

}  // namespace

bool isKeyword(const Token& t) {
    static constexpr std::array words{"and",    "or",      "not",   "as",     "from",     "where", "on",
                                      "select", "between", "like",  "is",     "in",       "case",  "when",
                                      "then",   "else",    "end",   "exists", "distinct", "all",   "group",
                                      "order",  "having",  "union", "null",   "collate",  "escape"};
    if (t.kind != TokenKind::Word) return false;
    for (const char* w : words)
        if (com::equalsIgnoreCase(t.text, w)) return true;
    return false;
}

std::string moneyNameIn(const std::vector<Token>& t, size_t from, size_t to, const KindOf& kindOf) {
    for (size_t i = from; i < to; ++i) {
        if (t[i].kind == TokenKind::Symbol && t[i].text == "(" && skipSpace(t, i + 1) < to &&
            isWord(t[skipSpace(t, i + 1)], "select")) {  // a subquery is typed on its own
            const int depth = t[i].depth;
            while (i + 1 < to && !(t[i + 1].text == ")" && t[i + 1].depth == depth)) ++i;
            continue;
        }
        if (!isName(t[i]) || (i > from && t[i - 1].text == ".")) continue;
        const size_t next = skipSpace(t, i + 1);
        if (next < to && t[next].kind == TokenKind::Symbol && t[next].text == "(") continue;
        std::string name = t[i].text;
        if (i + 2 < to && t[i + 1].text == "." && isName(t[i + 2])) name += "." + t[i + 2].text;
        if (kindOf(name) == ColumnKind::Currency) return name;
    }
    return {};
}

bool isName(const Token& t) { return (t.kind == TokenKind::Word && !isKeyword(t)) || t.kind == TokenKind::Bracketed; }

std::optional<TypedExpression> typeExpression(const std::vector<Token>& tokens, size_t from, size_t to,
                                              const KindOf& kindOf, const SubqueryTyper& subquery) {
    try {
        ExpressionTyper typer(tokens, from, to, kindOf, subquery);
        const Typed typed = typer.whole();
        return TypedExpression{typed.kind,
                               typed.text,
                               typer.rewrote(),
                               typer.uncertain(),
                               typer.refusedColumn(),
                               typer.untypedMoneyInside()};
    } catch (const Unreadable&) {
        return std::nullopt;
    }
}

}  // namespace ado::detail
