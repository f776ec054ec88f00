// Money through constructs beyond plain arithmetic: IIf and windows typed as money, and every
// function SQLite offers either typed right or refused, never units shown as an amount.
#include <sqlite3.h>

#include <cmath>

#include "fixture.h"

namespace {

using adotest::DataFolder;
using com::Currency;

const std::string kRefusal = "Expresia peste coloana a.TCP nu poate fi calculata in lei.";

class MoneyTyping : public DataFolder {
protected:
    void SetUp() override {
        DataFolder::SetUp();
        makeDatabase(false);
        // 1,362,105.34 and 10.75 as the layer stores them (1/10 000 units).
        rawExec(
            "INSERT INTO Velmora_Spital (IdCost, IdPerioada, IdSpital, TCP, c22) VALUES "
            "(1, 1, 1, 13621053400, 20000), (2, 1, 2, 107500, NULL)");
        connection = open();
    }
    // The first column of each row, or the error the statement raised (number 0: none).
    std::pair<std::vector<com::Variant>, com::Error> run(const std::string& sql,
                                                         const std::vector<std::string>& moneyColumns = {}) {
        std::vector<com::Variant> values;
        try {
            ado::Recordset rs;
            rs.Open(sql, connection, std::vector<com::Variant>{}, moneyColumns);
            for (; !rs.Eof(); rs.MoveNext()) values.push_back(rs.field(0));
        } catch (const com::Error& e) {
            return {values, e};
        }
        return {values, com::Error(0, "", "")};
    }
    std::vector<com::Variant> values(const std::string& sql) {
        auto [v, e] = run(sql);
        EXPECT_EQ(e.number(), 0) << sql << ": " << e.description();
        return v;
    }
    std::string refusal(const std::string& sql) {
        const auto [v, e] = run(sql);
        EXPECT_EQ(e.number(), ado::errc::UntypedMoney) << sql;
        return e.description();
    }
    static com::Variant money(int64_t units) { return com::Variant(Currency::fromUnits(units)); }

    com::ComPtr<ado::Connection> connection;
};

TEST_F(MoneyTyping, IIfIsTypedAsCase) {
    const std::string from = " From Velmora_Spital a Order By a.IdCost";
    EXPECT_EQ(values("Select IIf(a.TCP > 0, a.TCP, 0) As X" + from),
              (std::vector<com::Variant>{money(13621053400), money(107500)}));
    EXPECT_EQ(values("Select iif(a.c22 Is Null, 7, a.c22) As X" + from),
              (std::vector<com::Variant>{money(20000), money(70000)}));
    EXPECT_EQ(values("Select IIf(a.TCP > 1000000, 'mare', 'mic') As X" + from),
              (std::vector<com::Variant>{com::Variant("mare"), com::Variant("mic")}));
    // In a condition: the amount, not its units.
    EXPECT_TRUE(values("Select a.IdCost From Velmora_Spital a Where iif(1, a.TCP, 0) > 2000000").empty());
    EXPECT_EQ(values("Select a.IdCost From Velmora_Spital a Where IIf(1, a.TCP, 0) > 1000000").size(), 1u);
}

TEST_F(MoneyTyping, AggregatesOverAWindowAreMoney) {
    const std::string from = " From Velmora_Spital a Order By a.IdCost";
    EXPECT_EQ(values("Select Sum(a.TCP) Over () As X" + from),
              (std::vector<com::Variant>{money(13621160900), money(13621160900)}));
    EXPECT_EQ(values("Select Max(a.TCP) Over (Partition By a.IdPerioada) As X" + from)[1], money(13621053400));
    EXPECT_EQ(values("Select lag(a.TCP, 1, 0) Over (Order By a.IdCost) As X" + from),
              (std::vector<com::Variant>{money(0), money(13621053400)}));
    EXPECT_EQ(values("Select first_value(a.TCP) Over (Order By a.IdCost Desc) As X" + from)[0], money(107500));
    EXPECT_EQ(values("Select row_number() Over (Order By a.TCP) As X" + from)[0].toLong(), 2);
    EXPECT_EQ(values("Select Sum(a.TCP) Filter (Where a.TCP > 1000000) As X From Velmora_Spital a"),
              std::vector<com::Variant>{money(13621053400)});
}

TEST_F(MoneyTyping, WhatCannotBeTypedIsRefusedUnlessTheCallerTypesIt) {
    const std::string from = " From Velmora_Spital a";
    for (const std::string item :
         {"hex(a.TCP)", "Cast(a.TCP As Real)", "printf('%d', a.TCP)",
          "Sum(a.TCP) Over (Order By a.TCP Range Between 5 Preceding And Current Row)", "Cast(a.TCP As Real) > 5"})
        EXPECT_EQ(refusal("Select " + item + " As X" + from), kRefusal) << item;
    EXPECT_EQ(refusal("Select (Select Cast(b.TCP As Real) From Velmora_Spital b Where b.IdCost = 1) As X" + from),
              "Expresia peste coloana b.TCP nu poate fi calculata in lei.");
    for (const std::string condition :
         {"Cast(a.TCP As Real) > 2000000", "a.IdCost = 1 And hex(a.TCP) > '1'", "abs(a.TCP) + length(a.TCP) > 1"})
        EXPECT_EQ(refusal("Select a.IdCost" + from + " Where " + condition), kRefusal) << condition;
    EXPECT_EQ(refusal("Select a.IdPerioada" + from + " Group By a.IdPerioada Having Cast(Sum(a.TCP) As Real) > 1"),
              kRefusal);
    // Through a derived table, the same.
    const std::string derived = " From (Select Cast(a.TCP As Integer) As S From Velmora_Spital a) w";
    for (const std::string& sql :
         {"Select w.S As X" + derived, "Select w.S + 1 As X" + derived, "Select 1 As X" + derived + " Where w.S > 5"})
        EXPECT_EQ(refusal(sql), kRefusal) << sql;
    EXPECT_EQ(values("Select w.T From (Select Sum(a.TCP) Over () As T From Velmora_Spital a) w")[0],
              money(13621160900));
    // Declared money by the caller, the column comes as the layer stores it.
    const auto [v, e] = run("Select Cast(a.TCP As Integer) As X" + from + " Where a.IdCost = 1", {"x"});
    EXPECT_EQ(e.number(), 0) << e.description();
    ASSERT_EQ(v.size(), 1u);
    EXPECT_EQ(v[0].toDouble(), 13621053400.0);
}

// Every function SQLite offers, over a money column (with its window use): the layer's
// answer is either a refusal or the value SQLite gives over the same amounts held as plain
// numbers; in a condition, the rows chosen are those the plain numbers choose.
TEST_F(MoneyTyping, EveryFunctionOverMoneyIsTypedRightOrRefused) {
    sqlite3* raw = nullptr;
    ASSERT_EQ(sqlite3_open_v2(":memory:", &raw, SQLITE_OPEN_READWRITE, nullptr), SQLITE_OK);
    std::unique_ptr<sqlite3, decltype(&sqlite3_close)> plain(raw, &sqlite3_close);
    ASSERT_EQ(sqlite3_exec(raw,
                           "CREATE TABLE Velmora_Spital (IdCost INTEGER, IdPerioada INTEGER, TCP REAL);"
                           "INSERT INTO Velmora_Spital VALUES (1, 1, 1362105.34), (2, 1, 10.75)",
                           nullptr, nullptr, nullptr),
              SQLITE_OK);
    // What plain SQLite answers: each row's first column as text ("" for Null), or nullopt.
    const auto reference = [&](const std::string& sql) -> std::optional<std::vector<std::string>> {
        sqlite3_stmt* s = nullptr;
        if (sqlite3_prepare_v2(raw, sql.c_str(), -1, &s, nullptr) != SQLITE_OK) return std::nullopt;
        std::vector<std::string> out;
        int rc;
        while ((rc = sqlite3_step(s)) == SQLITE_ROW)
            out.push_back(sqlite3_column_type(s, 0) == SQLITE_NULL
                              ? ""
                              : reinterpret_cast<const char*>(sqlite3_column_text(s, 0)));
        sqlite3_finalize(s);
        if (rc != SQLITE_DONE) return std::nullopt;
        return out;
    };
    const auto same = [](const com::Variant& v, const std::string& expected) {
        if (v.isNull()) return expected.empty();
        if (v.type() == com::VarType::String) return v.toString() == expected;
        char* end = nullptr;
        const double e = std::strtod(expected.c_str(), &end);
        if (end == expected.c_str()) return false;
        const double d = v.type() == com::VarType::Currency ? v.toCurrency().units() / 10000.0 : v.toDouble();
        return std::fabs(d - e) <= 1e-9 * std::max(1.0, std::fabs(e));
    };
    sqlite3_stmt* list = nullptr;
    ASSERT_EQ(sqlite3_prepare_v2(raw, "SELECT DISTINCT name, type, narg FROM pragma_function_list WHERE narg <> 0", -1,
                                 &list, nullptr),
              SQLITE_OK);
    int typed = 0, refused = 0;
    while (sqlite3_step(list) == SQLITE_ROW) {
        const std::string name = reinterpret_cast<const char*>(sqlite3_column_text(list, 0));
        const std::string type = reinterpret_cast<const char*>(sqlite3_column_text(list, 1));
        const int narg = sqlite3_column_int(list, 2);
        if (name == "load_extension" || name.starts_with("fts") || name == "sqlite_log") continue;
        std::string call = name == "->" || name == "->>" ? "a.TCP " + name + " '$'" : name + "(a.TCP";
        if (call.back() != '\'') {
            for (int i = 1; i < narg; ++i) call += ", 1";
            call += ")";
        }
        std::vector<std::string> statements{"Select " + call + " As X From Velmora_Spital a Order By a.IdCost"};
        if (type == "w")
            statements.push_back("Select " + call +
                                 " Over (Order By a.IdCost) As X From Velmora_Spital a Order By a.IdCost");
        else statements.push_back("Select a.IdCost From Velmora_Spital a Where " + call + " > 100 Order By a.IdCost");
        for (const auto& sql : statements) {
            const auto expected = reference(sql);
            const auto [got, error] = run(sql);
            if (error.number() == ado::errc::UntypedMoney) {
                EXPECT_EQ(error.description(), kRefusal) << sql;
                ++refused;
                continue;
            }
            if (!expected) continue;  // plain SQLite refuses it too (arguments it cannot take)
            EXPECT_EQ(error.number(), 0) << sql << ": " << error.description();
            ASSERT_EQ(got.size(), expected->size()) << sql;
            for (size_t i = 0; i < got.size(); ++i)
                EXPECT_TRUE(same(got[i], (*expected)[i]))
                    << sql << ": " << got[i].toString() << " <> " << (*expected)[i];
            ++typed;
        }
    }
    sqlite3_finalize(list);
    EXPECT_GT(typed, 10);
    EXPECT_GT(refused, 100);
}

}  // namespace
