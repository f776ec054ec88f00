#pragma once
// Internal: a tokenizer for Jet and SQLite statements, enough to find operators, keywords,
// literals and parentheses at their nesting level.
#include <string>
#include <string_view>
#include <vector>

namespace ado::detail {

enum class TokenKind { Word, Number, String, Bracketed, Symbol, Space };

struct Token {
    TokenKind kind;
    std::string text;
    int depth = 0;  // parentheses open before the token
};

// Raises 3709 for an unterminated literal or unbalanced parentheses.
std::vector<Token> tokenize(std::string_view sql);

bool isWord(const Token& t, std::string_view word);  // a word, compared without regard to case

// The index of the next token that is not blank, from `i` on (tokens.size() when none).
size_t skipSpace(const std::vector<Token>& tokens, size_t i);

std::string join(const std::vector<Token>& tokens, size_t from, size_t to);

}  // namespace ado::detail
