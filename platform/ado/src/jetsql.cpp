#include "ado/jetsql.h"

#include <array>
#include <cctype>
#include <mutex>
#include <unordered_map>

#include "ado/error.h"
#include "com/dispatch.h"
#include "sql_tokens.h"

namespace ado::detail {

std::vector<Token> tokenize(std::string_view sql) {
    std::vector<Token> out;
    int depth = 0;
    size_t i = 0;
    const size_t n = sql.size();
    auto isWordChar = [](char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || (c & 0x80); };
    while (i < n) {
        const char c = sql[i];
        const size_t start = i;
        TokenKind kind;
        if (std::isspace(static_cast<unsigned char>(c))) {
            while (i < n && std::isspace(static_cast<unsigned char>(sql[i]))) ++i;
            kind = TokenKind::Space;
        } else if (sql.substr(i, 2) == "--" || sql.substr(i, 2) == "/*") {
            // A comment counts as a blank: no quote or parenthesis in it is read.
            const bool line = c == '-';
            const size_t close = sql.find(line ? "\n" : "*/", i + 2);
            i = close == std::string_view::npos ? n : close + (line ? 0 : 2);
            kind = TokenKind::Space;
        } else if (c == '\'' || c == '"') {
            ++i;
            for (;;) {
                if (i >= n) raise(errc::BadSql, "The statement has an unterminated text literal: " + std::string(sql));
                if (sql[i] == c) {
                    if (i + 1 < n && sql[i + 1] == c) {
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                ++i;
            }
            kind = c == '\'' ? TokenKind::String : TokenKind::Bracketed;
        } else if (c == '[') {
            const size_t close = sql.find(']', i);
            if (close == std::string_view::npos)
                raise(errc::BadSql, "The statement has an unterminated [name]: " + std::string(sql));
            i = close + 1;
            kind = TokenKind::Bracketed;
        } else if (std::isdigit(static_cast<unsigned char>(c)) ||
                   (c == '.' && i + 1 < n && std::isdigit(static_cast<unsigned char>(sql[i + 1])) &&
                    (out.empty() || (out.back().kind != TokenKind::Word && out.back().kind != TokenKind::Bracketed &&
                                     out.back().text != ")")))) {  // ".5"
            while (i < n && (std::isalnum(static_cast<unsigned char>(sql[i])) || sql[i] == '.')) ++i;
            kind = TokenKind::Number;
        } else if (isWordChar(c)) {
            while (i < n && isWordChar(sql[i])) ++i;
            kind = TokenKind::Word;
        } else {
            ++i;
            if (i < n && ((c == '<' && (sql[i] == '>' || sql[i] == '=')) || (c == '>' && sql[i] == '=') ||
                          (c == '|' && sql[i] == '|') || (c == '!' && sql[i] == '=')))
                ++i;
            kind = TokenKind::Symbol;
        }
        Token t{kind, std::string(sql.substr(start, i - start)), depth};
        if (kind == TokenKind::Symbol && t.text == "(") ++depth;
        if (kind == TokenKind::Symbol && t.text == ")") {
            if (--depth < 0) raise(errc::BadSql, "The statement has an unbalanced ')': " + std::string(sql));
            t.depth = depth;
        }
        out.push_back(std::move(t));
    }
    if (depth != 0) raise(errc::BadSql, "The statement has an unclosed '(': " + std::string(sql));
    return out;
}

bool isWord(const Token& t, std::string_view word) {
    return t.kind == TokenKind::Word && com::equalsIgnoreCase(t.text, word);
}

size_t skipSpace(const std::vector<Token>& tokens, size_t i) {
    while (i < tokens.size() && tokens[i].kind == TokenKind::Space) ++i;
    return i;
}

std::string join(const std::vector<Token>& tokens, size_t from, size_t to) {
    std::string s;
    for (size_t i = from; i < to && i < tokens.size(); ++i) s += tokens[i].text;
    return s;
}

namespace {

// Words that end an operand of `+` or `&` (operators of lower precedence and clause keywords).
bool isBoundaryWord(const Token& t) {
    static constexpr std::array words{"and",    "or",      "not",    "as",    "from",     "where", "on",
                                      "select", "between", "like",   "is",    "in",       "order", "by",
                                      "group",  "having",  "join",   "inner", "left",     "right", "outer",
                                      "union",  "set",     "values", "then",  "else",     "when",  "end",
                                      "case",   "asc",     "desc",   "into",  "distinct", "all"};
    if (t.kind != TokenKind::Word) return false;
    for (const char* w : words)
        if (com::equalsIgnoreCase(t.text, w)) return true;
    return false;
}

bool isBoundarySymbol(const Token& t) {
    if (t.kind != TokenKind::Symbol) return false;
    static constexpr std::array symbols{",", "=", "<>", "<", ">", "<=", ">=", "!=", ";"};
    for (const char* s : symbols)
        if (t.text == s) return true;
    return false;
}

struct Operand {
    size_t from, to;  // token range, blanks trimmed
};

// One operand is "simple" when it needs no parentheses around it after rewriting:
// a literal, a (qualified) name or a function call.
bool isSimple(const std::vector<Token>& tokens, const Operand& op) {
    const int depth = tokens[op.from].depth;
    bool lastWasName = false;
    for (size_t i = op.from; i < op.to; ++i) {
        const Token& t = tokens[i];
        if (t.depth > depth || (t.text == ")" && t.depth == depth)) continue;
        if (t.kind == TokenKind::Symbol && t.text == "(") {
            if (!lastWasName) return false;
            continue;
        }
        if (t.kind == TokenKind::Symbol && t.text == ".") {
            lastWasName = false;
            continue;
        }
        if (t.kind == TokenKind::Space) return false;
        if (t.kind == TokenKind::Symbol) return false;
        lastWasName = true;
    }
    return true;
}

bool isTextOperand(const std::vector<Token>& tokens, const Operand& op) {
    const size_t first = op.from;
    if (tokens[first].kind == TokenKind::String && op.to == first + 1) return true;
    return isWord(tokens[first], "cstr") || isWord(tokens[first], "chr") || isWord(tokens[first], "format");
}

// Rewrites `+` chains holding text, and every `&`, of one segment [from, to) into `||`.
void rewriteSegment(const std::vector<Token>& tokens, size_t from, size_t to, int depth, std::string& out) {
    std::vector<Operand> operands;
    std::vector<std::string> ops;
    size_t start = from;
    bool prevIsOperand = false;
    for (size_t i = from; i < to; ++i) {
        const Token& t = tokens[i];
        if (t.kind == TokenKind::Space || t.depth != depth) {
            if (t.depth != depth) prevIsOperand = true;
            continue;
        }
        const bool binary = t.kind == TokenKind::Symbol && (t.text == "+" || t.text == "&") && prevIsOperand;
        if (binary) {
            operands.push_back({start, i});
            ops.push_back(t.text);
            start = i + 1;
            prevIsOperand = false;
        } else {
            prevIsOperand = !(t.kind == TokenKind::Symbol && t.text != ")");
        }
    }
    operands.push_back({start, to});
    bool concatenate = false;
    for (auto& op : operands) {
        while (op.from < op.to && tokens[op.from].kind == TokenKind::Space) ++op.from;
        while (op.to > op.from && tokens[op.to - 1].kind == TokenKind::Space) --op.to;
        if (op.from == op.to && !ops.empty())
            raise(errc::BadSql, "An operator lacks its operand in: " + join(tokens, 0, tokens.size()));
        if (op.from < op.to && isTextOperand(tokens, op)) concatenate = true;
    }
    for (const auto& o : ops)
        if (o == "&") concatenate = true;
    if (!concatenate || ops.empty()) {
        out += join(tokens, from, to);
        return;
    }
    // Keep the blanks around the segment as written.
    out += join(tokens, from, operands.front().from);
    for (size_t k = 0; k < operands.size(); ++k) {
        const Operand& op = operands[k];
        const bool ampersand = (k > 0 && ops[k - 1] == "&") || (k < ops.size() && ops[k] == "&");
        const std::string text = join(tokens, op.from, op.to);
        if (ampersand) out += "ifnull(" + text + ",'')";
        else if (isSimple(tokens, op)) out += text;
        else out += "(" + text + ")";
        if (k < ops.size()) out += " || ";
    }
    out += join(tokens, operands.back().to, to);
}

// Rewrites `+`/`&` at every nesting level: segments are runs of tokens between boundaries
// at one level; inner parentheses are handled when their own level is walked.
std::string rewriteConcatenation(const std::vector<Token>& tokens) {
    // Work level by level from the innermost: simpler to rebuild recursively by ranges.
    struct Rewriter {
        const std::vector<Token>& tokens;
        std::string range(size_t from, size_t to, int depth) {
            std::string out;
            size_t segStart = from;
            auto flush = [&](size_t end) {
                // Rebuild a token list for the segment with inner groups replaced by their rewrite.
                std::vector<Token> seg;
                for (size_t i = segStart; i < end;) {
                    if (tokens[i].depth > depth) {
                        size_t j = i;
                        while (j < end && tokens[j].depth > depth) ++j;
                        seg.push_back({TokenKind::Bracketed, range(i, j, depth + 1), depth + 1});
                        i = j;
                    } else {
                        seg.push_back(tokens[i++]);
                    }
                }
                if (!seg.empty()) rewriteSegment(seg, 0, seg.size(), depth, out);
            };
            for (size_t i = from; i < to; ++i) {
                const Token& t = tokens[i];
                if (t.depth == depth && (isBoundaryWord(t) || isBoundarySymbol(t))) {
                    flush(i);
                    out += t.text;
                    segStart = i + 1;
                }
            }
            flush(to);
            return out;
        }
    };
    Rewriter r{tokens};
    return r.range(0, tokens.size(), 0);
}

// DELETE a.* FROM T a ...  ->  DELETE FROM T AS a ...;  DELETE * FROM T  ->  DELETE FROM T.
std::vector<Token> rewriteDelete(std::vector<Token> tokens) {
    size_t i = skipSpace(tokens, 0);
    if (i >= tokens.size() || !isWord(tokens[i], "delete")) return tokens;
    const size_t afterDelete = i + 1;
    size_t j = skipSpace(tokens, afterDelete);
    size_t fromAt = j;
    if (j < tokens.size() && tokens[j].text == "*") {
        fromAt = skipSpace(tokens, j + 1);
    } else if (j + 2 < tokens.size() && tokens[j].kind == TokenKind::Word && tokens[j + 1].text == "." &&
               tokens[j + 2].text == "*") {
        fromAt = skipSpace(tokens, j + 3);
    }
    if (fromAt >= tokens.size() || !isWord(tokens[fromAt], "from")) return tokens;
    const size_t table = skipSpace(tokens, fromAt + 1);
    if (table >= tokens.size()) return tokens;
    auto append = [&](size_t from, size_t to, std::vector<Token>& out) {
        out.insert(out.end(), tokens.begin() + static_cast<long>(from), tokens.begin() + static_cast<long>(to));
    };
    std::vector<Token> out;
    append(0, afterDelete, out);
    out.push_back({TokenKind::Space, " ", 0});
    append(fromAt, table + 1, out);
    const size_t alias = skipSpace(tokens, table + 1);
    if (alias < tokens.size() && tokens[alias].kind == TokenKind::Word && !isBoundaryWord(tokens[alias])) {
        out.push_back({TokenKind::Space, " ", 0});
        out.push_back({TokenKind::Word, "AS", 0});
        out.push_back({TokenKind::Space, " ", 0});
        append(alias, tokens.size(), out);
    } else {
        append(table + 1, tokens.size(), out);
    }
    return out;
}

}  // namespace
}  // namespace ado::detail

namespace ado {

std::string translateJetSql(std::string_view jetSql) {
    static std::mutex mutex;
    static std::unordered_map<std::string, std::string> cache;
    {
        const std::lock_guard lock(mutex);
        if (const auto it = cache.find(std::string(jetSql)); it != cache.end()) return it->second;
    }
    auto tokens = detail::rewriteDelete(detail::tokenize(jetSql));
    std::string translated = detail::rewriteConcatenation(tokens);
    const std::lock_guard lock(mutex);
    if (cache.size() > 4096) cache.clear();
    cache.emplace(std::string(jetSql), translated);
    return translated;
}

}  // namespace ado
