#include "expression.h"

#include <cctype>
#include <cmath>
#include <memory>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "com/error.h"

namespace quillon {

namespace {

// The formula language's own numbers and texts for the failures an expression can meet.
[[noreturn]] void fail(int32_t number, const char* text) { com::raise(number, "", text); }
[[noreturn]] void syntaxError() { fail(1002, "Syntax error"); }
[[noreturn]] void typeMismatch() { com::raise(com::errc::TypeMismatch, ""); }
[[noreturn]] void overflow() { com::raise(com::errc::Overflow, ""); }

// Deeper nesting than this is refused before it can exhaust the stack.
constexpr int MaxDepth = 256;

using Value = std::variant<double, std::string, bool>;

enum class Op { Imp, Eqv, Xor, Or, And, Eq, Ne, Lt, Gt, Le, Ge, Concat, Add, Sub, Mod, IntDiv, Mul, Div, Pow };

struct Node;
using NodePtr = std::unique_ptr<Node>;

// A parsed expression. A run of operators of one level is kept as one chain, so that a
// long sum is evaluated in a loop, not by recursion.
struct Node {
    enum class Kind { Literal, Chain, Negate, Not, Name, Call } kind = Kind::Literal;
    Value literal;
    NodePtr first;
    std::vector<std::pair<Op, NodePtr>> rest;
};

NodePtr literal(Value v) {
    auto n = std::make_unique<Node>();
    n->literal = std::move(v);
    return n;
}

NodePtr unary(Node::Kind kind, NodePtr operand) {
    auto n = std::make_unique<Node>();
    n->kind = kind;
    n->first = std::move(operand);
    return n;
}

// ---- Parsing ---------------------------------------------------------------------------

enum class Tok { End, Number, String, Word, Symbol };

struct Token {
    Tok kind = Tok::End;
    std::string text;  // the word (lower case), the symbol or the string's value
    double number = 0;
};

bool iequals(const std::string& word, const char* keyword) { return word == keyword; }

class Parser {
public:
    explicit Parser(std::string_view text) : text_(text) { advance(); }

    NodePtr parse() {
        NodePtr root = parseImp();
        if (token_.kind != Tok::End) fail(1025, "Expected end of statement");
        return root;
    }

private:
    void advance() {
        while (pos_ < text_.size() && (text_[pos_] == ' ' || text_[pos_] == '\t')) ++pos_;
        token_ = Token{};
        if (pos_ >= text_.size()) return;
        const char c = text_[pos_];
        if (std::isdigit(static_cast<unsigned char>(c)) ||
            (c == '.' && pos_ + 1 < text_.size() && std::isdigit(static_cast<unsigned char>(text_[pos_ + 1])))) {
            readNumber();
        } else if (std::isalpha(static_cast<unsigned char>(c))) {
            const size_t start = pos_;
            while (pos_ < text_.size() && (std::isalnum(static_cast<unsigned char>(text_[pos_])) || text_[pos_] == '_'))
                ++pos_;
            token_.kind = Tok::Word;
            for (size_t i = start; i < pos_; ++i)
                token_.text += static_cast<char>(std::tolower(static_cast<unsigned char>(text_[i])));
        } else if (c == '"') {
            readString();
        } else if (std::string_view("+-*/\\^&=()<>,").find(c) != std::string_view::npos) {
            token_.kind = Tok::Symbol;
            token_.text = std::string(1, c);
            ++pos_;
            if (pos_ < text_.size() && c == '<' && (text_[pos_] == '>' || text_[pos_] == '='))
                token_.text += text_[pos_++];
            else if (pos_ < text_.size() && c == '>' && text_[pos_] == '=') token_.text += text_[pos_++];
        } else {
            fail(1032, "Invalid character");
        }
    }

    void readNumber() {
        const size_t start = pos_;
        auto digits = [&] {
            while (pos_ < text_.size() && std::isdigit(static_cast<unsigned char>(text_[pos_]))) ++pos_;
        };
        digits();
        if (pos_ < text_.size() && text_[pos_] == '.') {
            ++pos_;
            digits();
        }
        if (pos_ < text_.size() && (text_[pos_] == 'e' || text_[pos_] == 'E')) {
            ++pos_;
            if (pos_ < text_.size() && (text_[pos_] == '+' || text_[pos_] == '-')) ++pos_;
            const size_t before = pos_;
            digits();
            if (pos_ == before) syntaxError();
        }
        token_.kind = Tok::Number;
        token_.number = std::strtod(std::string(text_.substr(start, pos_ - start)).c_str(), nullptr);
        if (!std::isfinite(token_.number)) overflow();
    }

    void readString() {
        ++pos_;
        std::string value;
        for (;;) {
            if (pos_ >= text_.size()) fail(1033, "Unterminated string constant");
            const char c = text_[pos_++];
            if (c == '"') {
                if (pos_ < text_.size() && text_[pos_] == '"') {
                    value += '"';
                    ++pos_;
                    continue;
                }
                break;
            }
            value += c;
        }
        token_.kind = Tok::String;
        token_.text = std::move(value);
    }

    bool isSymbol(const char* s) const { return token_.kind == Tok::Symbol && token_.text == s; }
    bool isWord(const char* s) const { return token_.kind == Tok::Word && iequals(token_.text, s); }

    // Guards every descent that nesting can repeat (parentheses, signs, Not).
    struct Depth {
        explicit Depth(int& d) : depth(d) {
            if (++depth > MaxDepth) fail(28, "Out of stack space");
        }
        ~Depth() { --depth; }
        int& depth;
    };

    // Operands joined by the operators of one level; `later` parses the operands after the
    // first (the first's parser by default).
    NodePtr chain(NodePtr (Parser::*next)(), std::optional<Op> (Parser::*match)() const,
                  NodePtr (Parser::*later)() = nullptr) {
        NodePtr first = (this->*next)();
        std::vector<std::pair<Op, NodePtr>> rest;
        while (const auto op = (this->*match)()) {
            advance();
            rest.emplace_back(*op, (this->*(later ? later : next))());
        }
        if (rest.empty()) return first;
        auto n = std::make_unique<Node>();
        n->kind = Node::Kind::Chain;
        n->first = std::move(first);
        n->rest = std::move(rest);
        return n;
    }

    std::optional<Op> wordOp(const char* word, Op op) const {
        return isWord(word) ? std::optional<Op>(op) : std::nullopt;
    }
    std::optional<Op> matchImp() const { return wordOp("imp", Op::Imp); }
    std::optional<Op> matchEqv() const { return wordOp("eqv", Op::Eqv); }
    std::optional<Op> matchXor() const { return wordOp("xor", Op::Xor); }
    std::optional<Op> matchOr() const { return wordOp("or", Op::Or); }
    std::optional<Op> matchAnd() const { return wordOp("and", Op::And); }
    std::optional<Op> matchMod() const { return wordOp("mod", Op::Mod); }
    std::optional<Op> matchCompare() const {
        if (token_.kind != Tok::Symbol) return std::nullopt;
        if (token_.text == "=") return Op::Eq;
        if (token_.text == "<>") return Op::Ne;
        if (token_.text == "<") return Op::Lt;
        if (token_.text == ">") return Op::Gt;
        if (token_.text == "<=") return Op::Le;
        if (token_.text == ">=") return Op::Ge;
        return std::nullopt;
    }
    std::optional<Op> matchConcat() const { return isSymbol("&") ? std::optional<Op>(Op::Concat) : std::nullopt; }
    std::optional<Op> matchAdd() const {
        if (isSymbol("+")) return Op::Add;
        if (isSymbol("-")) return Op::Sub;
        return std::nullopt;
    }
    std::optional<Op> matchIntDiv() const { return isSymbol("\\") ? std::optional<Op>(Op::IntDiv) : std::nullopt; }
    std::optional<Op> matchPower() const { return isSymbol("^") ? std::optional<Op>(Op::Pow) : std::nullopt; }
    std::optional<Op> matchMul() const {
        if (isSymbol("*")) return Op::Mul;
        if (isSymbol("/")) return Op::Div;
        return std::nullopt;
    }

    // Lowest to highest precedence.
    NodePtr parseImp() { return chain(&Parser::parseEqv, &Parser::matchImp); }
    NodePtr parseEqv() { return chain(&Parser::parseXor, &Parser::matchEqv); }
    NodePtr parseXor() { return chain(&Parser::parseOr, &Parser::matchXor); }
    NodePtr parseOr() { return chain(&Parser::parseAnd, &Parser::matchOr); }
    NodePtr parseAnd() { return chain(&Parser::parseNot, &Parser::matchAnd); }
    NodePtr parseNot() {
        if (!isWord("not")) return parseCompare();
        const Depth guard(depth_);
        advance();
        return unary(Node::Kind::Not, parseNot());
    }
    NodePtr parseCompare() { return chain(&Parser::parseConcat, &Parser::matchCompare); }
    NodePtr parseConcat() { return chain(&Parser::parseAdd, &Parser::matchConcat); }
    NodePtr parseAdd() { return chain(&Parser::parseMod, &Parser::matchAdd); }
    NodePtr parseMod() { return chain(&Parser::parseIntDiv, &Parser::matchMod); }
    NodePtr parseIntDiv() { return chain(&Parser::parseMul, &Parser::matchIntDiv); }
    NodePtr parseMul() { return chain(&Parser::parseNegate, &Parser::matchMul); }
    // A sign binds less tightly than "^": -2^2 is -4.
    NodePtr parseNegate() { return signedOperand(&Parser::parsePower); }
    NodePtr parsePower() { return chain(&Parser::parsePrimary, &Parser::matchPower, &Parser::parseSignedPrimary); }
    // The right operand of "^" may carry a sign: 2^-2 is 0.25.
    NodePtr parseSignedPrimary() { return signedOperand(&Parser::parsePrimary); }
    NodePtr signedOperand(NodePtr (Parser::*operand)()) {
        if (!isSymbol("-") && !isSymbol("+")) return (this->*operand)();
        const Depth guard(depth_);
        const bool minus = isSymbol("-");
        advance();
        NodePtr value = signedOperand(operand);
        if (!minus) return value;
        return unary(Node::Kind::Negate, std::move(value));
    }
    NodePtr parsePrimary() {
        switch (token_.kind) {
        case Tok::Number: {
            NodePtr n = literal(token_.number);
            advance();
            return n;
        }
        case Tok::String: {
            NodePtr n = literal(token_.text);
            advance();
            return n;
        }
        case Tok::Word: {
            if (isWord("true") || isWord("false")) {
                NodePtr n = literal(isWord("true"));
                advance();
                return n;
            }
            static const char* const reserved[] = {"mod", "and", "or", "not", "xor", "eqv", "imp"};
            for (const char* r : reserved)
                if (isWord(r)) syntaxError();
            advance();
            if (!isSymbol("(")) return unary(Node::Kind::Name, nullptr);
            // A call: its arguments are parsed so that a malformed one is a syntax error.
            const Depth guard(depth_);
            advance();
            if (!isSymbol(")")) {
                parseImp();
                while (isSymbol(",")) {
                    advance();
                    parseImp();
                }
            }
            if (!isSymbol(")")) fail(1006, "Expected ')'");
            advance();
            return unary(Node::Kind::Call, nullptr);
        }
        case Tok::Symbol:
            if (isSymbol("(")) {
                const Depth guard(depth_);
                advance();
                NodePtr inner = parseImp();
                if (!isSymbol(")")) fail(1006, "Expected ')'");
                advance();
                return inner;
            }
            syntaxError();
        case Tok::End: break;
        }
        syntaxError();
    }

    std::string_view text_;
    size_t pos_ = 0;
    Token token_;
    int depth_ = 0;
};

// ---- Evaluation ------------------------------------------------------------------------

double checked(double value) {
    if (!std::isfinite(value)) overflow();
    return value;
}

double toNumber(const Value& v) {
    if (const auto* d = std::get_if<double>(&v)) return *d;
    if (const auto* b = std::get_if<bool>(&v)) return *b ? -1.0 : 0.0;
    try {
        return com::parseNumber(std::get<std::string>(v));
    } catch (const com::Error& e) {
        if (e.number() == com::errc::Overflow) overflow();
        typeMismatch();
    }
}

std::string toText(const Value& v) {
    if (const auto* s = std::get_if<std::string>(&v)) return *s;
    if (const auto* b = std::get_if<bool>(&v)) return *b ? "True" : "False";
    return com::Variant(std::get<double>(v)).toString();
}

// A 32-bit integer operand (half to even), as integer division, Mod and the bitwise
// operators take it.
int64_t toLong(const Value& v) {
    const double d = toNumber(v);
    const double r = std::nearbyint(d);
    if (r < -2147483648.0 || r > 2147483647.0) overflow();
    return static_cast<int64_t>(r);
}

int compare(const Value& a, const Value& b) {
    const bool aText = std::holds_alternative<std::string>(a), bText = std::holds_alternative<std::string>(b);
    if (aText && bText) {
        const int c = std::get<std::string>(a).compare(std::get<std::string>(b));
        return (c > 0) - (c < 0);
    }
    if (aText != bText) return aText ? 1 : -1;  // a number is less than a text
    const double x = toNumber(a), y = toNumber(b);
    return (x > y) - (x < y);
}

Value logical(Op op, const Value& a, const Value& b) {
    if (std::holds_alternative<bool>(a) && std::holds_alternative<bool>(b)) {
        const bool x = std::get<bool>(a), y = std::get<bool>(b);
        switch (op) {
        case Op::And: return x && y;
        case Op::Or: return x || y;
        case Op::Xor: return x != y;
        case Op::Eqv: return x == y;
        default: return !x || y;  // Imp
        }
    }
    const auto x = static_cast<int32_t>(toLong(a)), y = static_cast<int32_t>(toLong(b));
    switch (op) {
    case Op::And: return static_cast<double>(x & y);
    case Op::Or: return static_cast<double>(x | y);
    case Op::Xor: return static_cast<double>(x ^ y);
    case Op::Eqv: return static_cast<double>(~(x ^ y));
    default: return static_cast<double>(~x | y);  // Imp
    }
}

// `a` is the running value of a chain: a text grows in place, so that a long chain of
// joins takes time in proportion to its length.
Value apply(Op op, Value&& a, const Value& b) {
    switch (op) {
    case Op::Imp:
    case Op::Eqv:
    case Op::Xor:
    case Op::Or:
    case Op::And: return logical(op, a, b);
    case Op::Eq: return compare(a, b) == 0;
    case Op::Ne: return compare(a, b) != 0;
    case Op::Lt: return compare(a, b) < 0;
    case Op::Gt: return compare(a, b) > 0;
    case Op::Le: return compare(a, b) <= 0;
    case Op::Ge: return compare(a, b) >= 0;
    case Op::Concat:
        if (auto* text = std::get_if<std::string>(&a)) return std::move(*text += toText(b));
        return toText(a) + toText(b);
    case Op::Add:
        if (std::holds_alternative<std::string>(a) && std::holds_alternative<std::string>(b))
            return std::move(std::get<std::string>(a) += std::get<std::string>(b));
        return checked(toNumber(a) + toNumber(b));
    case Op::Sub: return checked(toNumber(a) - toNumber(b));
    case Op::Mul: return checked(toNumber(a) * toNumber(b));
    case Op::Div: {
        const double x = toNumber(a), y = toNumber(b);
        if (y == 0) {
            if (x == 0) overflow();
            fail(com::errc::DivisionByZero, "Division by zero");
        }
        return checked(x / y);
    }
    case Op::IntDiv:
    case Op::Mod: {
        const int64_t x = toLong(a), y = toLong(b);
        if (y == 0) fail(com::errc::DivisionByZero, "Division by zero");
        return static_cast<double>(op == Op::IntDiv ? x / y : x % y);
    }
    case Op::Pow: {
        const double r = std::pow(toNumber(a), toNumber(b));
        if (std::isnan(r)) fail(com::errc::InvalidProcedureCall, "Invalid procedure call or argument");
        return checked(r);
    }
    }
    typeMismatch();
}

Value evaluate(const Node& n) {
    switch (n.kind) {
    case Node::Kind::Literal: return n.literal;
    case Node::Kind::Name: fail(500, "Variable is undefined");
    case Node::Kind::Call: typeMismatch();
    case Node::Kind::Negate: return -toNumber(evaluate(*n.first)) + 0.0;
    case Node::Kind::Not: {
        const Value v = evaluate(*n.first);
        if (const auto* b = std::get_if<bool>(&v)) return !*b;
        return static_cast<double>(~static_cast<int32_t>(toLong(v)));
    }
    case Node::Kind::Chain: {
        Value acc = evaluate(*n.first);
        for (const auto& [op, operand] : n.rest) acc = apply(op, std::move(acc), evaluate(*operand));
        return acc;
    }
    }
    typeMismatch();
}

}  // namespace

com::Variant evaluateExpression(std::string_view text) {
    const NodePtr root = Parser(text).parse();
    const Value v = evaluate(*root);
    if (const auto* d = std::get_if<double>(&v)) return com::Variant(*d);
    if (const auto* b = std::get_if<bool>(&v)) return com::Variant(*b);
    return com::Variant(std::get<std::string>(v));
}

}  // namespace quillon
