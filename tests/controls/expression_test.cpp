// The grid's formula evaluator: the operators and their precedence, the language's own
// errors for what is no expression, and nesting that cannot exhaust the stack nor long
// chains the time.
#include <gtest/gtest.h>

#include <string>

#include "com/error.h"
#include "expression.h"
#include "support.h"

namespace quillon {
namespace {

class ExpressionTest : public ::testing::Test {
protected:
    void SetUp() override { test::pinEnglish(); }
    static double number(const std::string& text) { return evaluateExpression(text).toDouble(); }
    static com::Error failure(const std::string& text) {
        return test::errorOf([&] { evaluateExpression(text); });
    }
};

TEST_F(ExpressionTest, OperatorsTakeTheScriptLanguagesPrecedence) {
    const std::pair<const char*, double> cases[] = {
        {"2+3*4", 14},  {"-2^2", -4},    {"2^-2", 0.25},   {"2^3^2", 64},    {"(1+2)*3", 9}, {"7\\2", 3},
        {"10\\3*2", 1}, {"7 Mod 3", 1},  {"-7 mod 3", -1}, {"2+7 Mod 4", 5}, {"5--2", 7},    {"1.5+1", 2.5},
        {".5*4", 2},    {"1E+2/4", 25},  {"2.5\\1", 2},    {"3.5 Mod 2", 0}, {"Not 0", -1},  {"5 And 3", 1},
        {"5 Or 2", 7},  {"True + 1", 0}, {" ( 3 ) ", 3},   {"1+1+1+1", 4},   {"6/4", 1.5},   {"6 Xor 3", 5},
    };
    for (const auto& [text, expected] : cases) EXPECT_DOUBLE_EQ(number(text), expected) << text;

    EXPECT_EQ(evaluateExpression("2+3 & 4"), com::Variant("54"));
    EXPECT_EQ(evaluateExpression("\"a\" & 1.5"), com::Variant("a1.5"));
    EXPECT_EQ(evaluateExpression("\"ab\" + \"c\"\"\""), com::Variant("abc\""));
    EXPECT_EQ(evaluateExpression("1 < 2"), com::Variant(true));
    EXPECT_EQ(evaluateExpression("3 = 3 And 2 > 1"), com::Variant(true));
    EXPECT_EQ(evaluateExpression("Not 1 = 2"), com::Variant(true));
    EXPECT_EQ(evaluateExpression("2 <> 2 Or 1 >= 2"), com::Variant(false));
    EXPECT_EQ(evaluateExpression("\"b\" > 9"), com::Variant(true));  // a text is above any number
}

TEST_F(ExpressionTest, WhatIsNoExpressionRaisesItsOwnError) {
    const std::tuple<const char*, int32_t, const char*> cases[] = {
        {"1/0", 11, "Division by zero"},
        {"5 Mod 0", 11, "Division by zero"},
        {"0/0", 6, "Valoare prea mare."},
        {"1E308*10", 6, "Valoare prea mare."},
        {"", 1002, "Syntax error"},
        {"5*", 1002, "Syntax error"},
        {"1/0 +", 1002, "Syntax error"},  // a malformed text is refused before anything runs
        {"3 Mod", 1002, "Syntax error"},
        {"(1+2", 1006, "Expected ')'"},
        {"1+2)", 1025, "Expected end of statement"},
        {"1 2", 1025, "Expected end of statement"},
        {"abc", 500, "Variable is undefined"},
        {"x + 1", 500, "Variable is undefined"},
        {"CreateObject(\"Scripting.FileSystemObject\")", 13, "Tip de date nepotrivit."},
        {"\"a\" * 2", 13, "Tip de date nepotrivit."},
        {"1 @ 2", 1032, "Invalid character"},
        {"1:2", 1032, "Invalid character"},
        {"\"abc", 1033, "Unterminated string constant"},
        {"(-8)^0.5", 5, "Invalid procedure call or argument"},
    };
    for (const auto& [text, number, description] : cases) {
        const com::Error e = failure(text);
        EXPECT_EQ(e.number(), number) << text;
        EXPECT_EQ(e.description(), description) << text;
    }
}

TEST_F(ExpressionTest, DeepNestingIsRefusedAndLongSumsAreNot) {
    const std::string parentheses = std::string(100000, '(') + "1" + std::string(100000, ')');
    EXPECT_EQ(failure(parentheses).number(), 28);
    EXPECT_EQ(failure(std::string(100000, '-') + "1").number(), 28);
    EXPECT_EQ(failure("Not " + std::string(100000, '(') + "1").number(), 28);
    EXPECT_DOUBLE_EQ(number(std::string(50, '(') + "2" + std::string(50, ')') + "*3"), 6);

    std::string sum = "1";
    for (int i = 0; i < 100000; ++i) sum += "+1";
    EXPECT_DOUBLE_EQ(number(sum), 100001);

    std::string joined = "\"abcdefghij\"", added = joined;
    for (int i = 0; i < 100000; ++i) {
        joined += "&\"abcdefghij\"";
        added += "+\"abcdefghij\"";
    }
    EXPECT_EQ(evaluateExpression(joined).toString().size(), 1000010u);
    EXPECT_EQ(evaluateExpression(added).toString().size(), 1000010u);
    EXPECT_EQ(evaluateExpression("1 & 2 & \"x\" + \"y\""), com::Variant("12xy"));
}

}  // namespace
}  // namespace quillon
