// Money in SQL expressions: aggregates and arithmetic over money columns read as money,
// exact to the ten-thousandth, as Jet types them; everything else reads as before.
#include "../support/error_of.h"
#include "com/locale.h"
#include "fixture.h"

namespace {

using adotest::DataFolder;
using com::Currency;

class MoneyInSql : public DataFolder {
protected:
    void SetUp() override {
        DataFolder::SetUp();
        makeDatabase(false);
        // Two sheets of period 1 (hospital 1 and 2), one of period 2; c22 has a Null.
        rawExec(
            "INSERT INTO Velmora_Spital (IdPerioada, IdSpital, TCP, c22) VALUES (1, 1, 15000, 2500), "
            "(1, 2, 10000, NULL), (2, 1, 12345, 1)");
        connection = open();
    }
    // The rows of a statement, each as its columns' values.
    std::vector<std::vector<com::Variant>> rows(const std::string& sql) {
        ado::Recordset rs;
        rs.Open(sql, connection);
        std::vector<std::vector<com::Variant>> out;
        while (!rs.Eof()) {
            std::vector<com::Variant> row;
            for (int i = 0; i < rs.fieldCount(); ++i) row.push_back(rs.field(i));
            out.push_back(std::move(row));
            rs.MoveNext();
        }
        rs.Close();
        return out;
    }
    com::Variant value(const std::string& sql) { return rows(sql).at(0).at(0); }
    // The ids of the sheets that meet a condition, in order.
    std::vector<int32_t> ids(const std::string& condition) {
        std::vector<int32_t> out;
        for (const auto& row : rows("Select a.IdCost From Velmora_Spital a Where " + condition + " Order By a.IdCost"))
            out.push_back(row[0].toLong());
        return out;
    }
    static com::Variant money(int64_t units) { return com::Variant(Currency::fromUnits(units)); }

    com::ComPtr<ado::Connection> connection;
};

TEST_F(MoneyInSql, AggregatesOfMoneyAreMoney) {
    EXPECT_EQ(value("Select Sum(a.TCP) As S From Velmora_Spital a Where a.IdPerioada=1"), money(25000));
    EXPECT_EQ(value("Select Max(a.TCP) From Velmora_Spital a"), money(15000));
    EXPECT_EQ(value("Select Min(a.TCP) As M From Velmora_Spital a"), money(10000));
    EXPECT_EQ(value("Select Avg(a.TCP) As M From Velmora_Spital a Where a.IdPerioada=1"), money(12500));
    // Null rows do not count; a sum over no rows is Null.
    EXPECT_EQ(value("Select Sum(c22) As S From Velmora_Spital"), money(2501));
    EXPECT_TRUE(value("Select Sum(a.TCP) As S From Velmora_Spital a Where a.IdPerioada=99").isNull());
    // Counts stay whole numbers.
    EXPECT_EQ(value("Select Count(*) As N From Velmora_Spital a"), com::Variant(int32_t{3}));
}

TEST_F(MoneyInSql, GroupedSumsAndStarsAlignWithTheirColumns) {
    const auto grouped = rows(
        "Select a.IdPerioada, Sum(a.TCP) As Total, Count(*) As N From Velmora_Spital a "
        "Group By a.IdPerioada Order By a.IdPerioada");
    ASSERT_EQ(grouped.size(), 2u);
    EXPECT_EQ(grouped[0][0], com::Variant(int32_t{1}));
    EXPECT_EQ(grouped[0][1], money(25000));
    EXPECT_EQ(grouped[0][2], com::Variant(int32_t{2}));
    EXPECT_EQ(grouped[1][1], money(12345));
    // A join, and an expression after a star.
    EXPECT_EQ(value("Select Sum(a.TCP + b.TCP) As S From Velmora_Spital a Inner Join Velmora_Spital b "
                    "On a.IdCost=b.IdCost Where a.IdPerioada=2"),
              money(24690));
    const auto starred = rows("Select a.*, a.TCP - a.c22 As Net From Velmora_Spital a Where a.IdPerioada=2");
    ASSERT_EQ(starred.size(), 1u);
    EXPECT_EQ(starred[0].back(), money(12344));
}

TEST_F(MoneyInSql, ColumnsOfADerivedTableKeepTheirKinds) {
    com::setUserLocale(com::UserLocale{});
    const auto joined = rows(
        "Select a.IdCost, w.S_TCP, w.N, S_TCP - a.TCP As Rest, w.[Text] From Velmora_Spital a Inner Join "
        "(Select IdPerioada, Sum(TCP) As S_TCP, Count(*) As N, Cstr(Max(TCP)) As [Text] From Velmora_Spital "
        "Group By IdPerioada) As w On w.IdPerioada = a.IdPerioada Where w.S_TCP > 2 Order By a.IdCost");
    ASSERT_EQ(joined.size(), 2u);
    EXPECT_EQ(joined[0][1], money(25000));
    EXPECT_EQ(joined[0][2], com::Variant(int32_t{2}));
    EXPECT_EQ(joined[0][3], money(10000));
    EXPECT_EQ(joined[1][3], money(15000));
    EXPECT_EQ(joined[0][4], com::Variant("1.5"));
}

TEST_F(MoneyInSql, ArithmeticFollowsJetTypes) {
    const std::string where = " From Velmora_Spital a Where a.IdSpital=1 And a.IdPerioada=1";
    EXPECT_EQ(value("Select a.TCP + a.c22 As X" + where), money(17500));
    EXPECT_EQ(value("Select a.TCP - a.c22 As X" + where), money(12500));
    EXPECT_EQ(value("Select -a.TCP As X" + where), money(-15000));
    EXPECT_EQ(value("Select a.TCP + 1 As X" + where), money(25000));  // 1.5 + 1 = 2.5
    EXPECT_EQ(value("Select 2 - a.TCP As X" + where), money(5000));
    EXPECT_EQ(value("Select a.TCP * 3 As X" + where), money(45000));
    EXPECT_EQ(value("Select a.TCP * a.c22 As X" + where), money(3750));  // 1.5 * 0.25
    EXPECT_EQ(value("Select (a.TCP + a.c22) * 2 As X" + where), money(35000));
    EXPECT_EQ(value("Select a.TCP + 0.5 As X" + where), com::Variant(2.0));
    EXPECT_EQ(value("Select a.c22 / a.TCP As X" + where), com::Variant(2500.0 / 15000.0));
    EXPECT_EQ(value("Select a.TCP / 2 As X" + where), com::Variant(0.75));
    EXPECT_EQ(value("Select 3 / 2 As X" + where), com::Variant(1.5));
    // A subquery of one money item is money, correlated or not.
    EXPECT_EQ(value("Select (Select Max(b.TCP) From Velmora_Spital b) As X" + where), money(15000));
    EXPECT_EQ(value("Select a.TCP - (Select Sum(b.TCP) From Velmora_Spital b Where b.IdPerioada=a.IdPerioada) As X" +
                    where),
              money(-10000));
    // Null propagates; an unreadable item is left as it was.
    EXPECT_TRUE(value("Select a.TCP + a.c22 As X From Velmora_Spital a Where a.IdSpital=2").isNull());
    EXPECT_EQ(value("Select a.TCP > 1 As X" + where), com::Variant(int32_t{1}));
}

TEST_F(MoneyInSql, ConditionsCompareMoneyWithNumbersByValue) {
    using Ids = std::vector<int32_t>;
    // TCP is 1.5, 1 and 1.2345; c22 is 0.25, Null and 0.0001.
    EXPECT_EQ(ids("a.TCP > 1"), (Ids{1, 3}));
    EXPECT_EQ(ids("a.TCP >= 1.2345 And a.IdPerioada=1"), (Ids{1}));
    EXPECT_EQ(ids("2 > a.TCP And Not a.TCP = 1"), (Ids{1, 3}));
    EXPECT_EQ(ids("a.TCP Between 1.1 And 1.3"), (Ids{3}));
    EXPECT_EQ(ids("a.TCP Not Between 1.1 And 1.3"), (Ids{1, 2}));
    EXPECT_EQ(ids("a.TCP In (1, 1.5)"), (Ids{1, 2}));
    EXPECT_EQ(ids("(a.c22 < 0.5 Or a.c22 Is Null) And a.TCP + a.c22 <> 1.2346"), (Ids{1}));  // Null is no match
    EXPECT_EQ(ids("a.TCP > a.c22 * 6"), (Ids{3}));
    EXPECT_EQ(ids("a.TCP In (Select b.TCP From Velmora_Spital b Where b.TCP > 1.4)"), (Ids{1}));
    // Exactly the amount written, though 0.0029 * 10000 in floating point is 28.999...
    rawExec("INSERT INTO Velmora_Spital (IdPerioada, IdSpital, TCP, c22) VALUES (4, 1, 29, -29)");
    EXPECT_EQ(ids("a.TCP = 0.0029"), (Ids{4}));
    EXPECT_EQ(ids("a.TCP >= 0.0029 And a.TCP < 1.00001"), (Ids{2, 4}));
    EXPECT_EQ(ids("a.c22 In (0.0001, -0.0029, 00.25)"), (Ids{1, 3, 4}));
    EXPECT_EQ(ids("-0.0029 = a.c22 Or a.TCP = 1.2345"), (Ids{3, 4}));
    EXPECT_EQ(ids("a.c22 > .2"), (Ids{1}));
    EXPECT_EQ(ids("a.TCP > a.IdSpital"), (Ids{1, 3}));  // a whole-number column, no literal
    // A condition the typer cannot read stays as written; those beside it are typed.
    EXPECT_EQ(ids("a.TCP > 1.1 And Cast(a.IdSpital As Text) Glob '1*' And a.TCP < 2"), (Ids{1, 3}));
    // One over money would compare units with amounts: refused.
    try {
        ids("(Cast(a.TCP As Real) > 12000 Or a.TCP = 1) And a.TCP < 1.3");
        ADD_FAILURE() << "a cast of money was compared in units";
    } catch (const com::Error& e) {
        EXPECT_EQ(e.description(), "Expresia peste coloana a.TCP nu poate fi calculata in lei.");
    }
    // Grouped: a condition on a sum.
    const auto grouped = rows(
        "Select a.IdPerioada, Sum(a.TCP) As S From Velmora_Spital a "
        "Group By a.IdPerioada Having Sum(a.TCP) > 2 Order By a.IdPerioada");
    ASSERT_EQ(grouped.size(), 1u);
    EXPECT_EQ(grouped[0][1], money(25000));
}

TEST_F(MoneyInSql, CstrAndConcatenationGiveTheMoneyText) {
    com::setUserLocale(com::UserLocale{});
    const std::string where = " From Velmora_Spital a Where a.IdSpital=1 And a.IdPerioada=1";
    EXPECT_EQ(value("Select Cstr(a.TCP) As X" + where), com::Variant("1.5"));
    EXPECT_EQ(value("Select Cstr(Sum(a.TCP)) As X From Velmora_Spital a"), com::Variant("3.7345"));
    EXPECT_EQ(value("Select 'Total: ' + Cstr(a.TCP) As X" + where), com::Variant("Total: 1.5"));
    EXPECT_EQ(value("Select 'Total: ' & a.TCP As X" + where), com::Variant("Total: 1.5"));
    EXPECT_TRUE(value("Select Cstr(a.c22) As X From Velmora_Spital a Where a.IdSpital=2").isNull());
    // Other numbers keep their plain text.
    EXPECT_EQ(value("Select Cstr(a.IdSpital) As X" + where), com::Variant("1"));
    // The user's decimal separator, as Cstr gives it.
    com::setUserLocale(com::UserLocale{",", ".", ".", "dmy"});
    EXPECT_EQ(value("Select Cstr(a.c22) As X" + where), com::Variant("0,25"));
    com::setUserLocale(com::UserLocale{});
}

TEST_F(MoneyInSql, PlaceholdersBesideMoneyAreAmountsWhateverTheirType) {
    auto bound = [&](const std::string& condition, const std::vector<com::Variant>& values) {
        ado::Recordset rs;
        rs.Open("Select a.IdCost From Velmora_Spital a Where " + condition + " Order By a.IdCost", connection, values);
        std::vector<int32_t> out;
        for (; !rs.Eof(); rs.MoveNext()) out.push_back(rs.field(0).toLong());
        return out;
    };
    using Ids = std::vector<int32_t>;
    using V = com::Variant;
    // TCP is 1.5, 1 and 1.2345: a Long 1 is one leu, as is the Currency 1.
    EXPECT_EQ(bound("a.TCP > ?", {V(int32_t{1})}), (Ids{1, 3}));
    EXPECT_EQ(bound("a.TCP > ?", {money(10000)}), (Ids{1, 3}));
    EXPECT_EQ(bound("? < a.TCP", {V(1.4)}), (Ids{1}));
    EXPECT_EQ(bound("a.TCP Between ? And ?", {V(int32_t{1}), V(1.3)}), (Ids{2, 3}));
    EXPECT_EQ(bound("a.TCP In (?, ?)", {V(int32_t{1}), V("1.5")}), (Ids{1, 2}));
    // The placeholders around it keep their order and their own types.
    EXPECT_EQ(bound("a.IdSpital = ? And a.TCP >= ? And a.IdPerioada = ?",
                    {V(int32_t{1}), V(int32_t{1}), V(int32_t{2})}),
              (Ids{3}));
    EXPECT_EQ(bound("(? = -1 Or a.IdPerioada = ?) And a.TCP < ?", {V(int32_t{-1}), V(int32_t{0}), V(int32_t{2})}),
              (Ids{1, 2, 3}));
    ado::Recordset sum;
    sum.Open("Select a.TCP + ? As X From Velmora_Spital a Where a.IdCost = ?", connection,
             {V(int32_t{1}), V(int32_t{1})});
    EXPECT_EQ(sum.field(0), money(25000));
    // A placeholder that multiplies or divides money is a plain number, whatever its type.
    for (const V& two : {V(int32_t{2}), V(2.0), money(20000)}) {
        ado::Recordset scaled;
        scaled.Open("Select a.TCP * ?, a.TCP / ?, ? * a.TCP From Velmora_Spital a Where a.IdCost = 1", connection,
                    {two, two, two});
        EXPECT_EQ(scaled.field(0).toDouble(), 3.0);
        EXPECT_EQ(scaled.field(1).toDouble(), 0.75);
        EXPECT_EQ(scaled.field(2).toDouble(), 3.0);
    }
}

TEST_F(MoneyInSql, EverySelectOfACompoundStatementIsTyped) {
    // TCP is 1.5, 1 and 1.2345.
    const auto united = rows(
        "Select a.IdCost, a.TCP + 1 As X From Velmora_Spital a Where a.TCP > 1.4 Union "
        "Select a.IdCost, a.TCP - 1 As X From Velmora_Spital a Where a.TCP < 1.1 Order By 1");
    ASSERT_EQ(united.size(), 2u);
    EXPECT_EQ(united[0][1], money(25000));
    EXPECT_EQ(united[1][0], com::Variant(int32_t{2}));
    EXPECT_EQ(united[1][1], money(0));
    EXPECT_EQ(rows("Select a.IdCost From Velmora_Spital a Except Select a.IdCost From Velmora_Spital a "
                   "Where a.TCP Between 1.2 And 1.3")
                  .size(),
              2u);
}

TEST_F(MoneyInSql, CaseAndExistsAreTypedLikeTheRest) {
    // TCP is 1.5, 1 and 1.2345; c22 is 0.25, Null and 0.0001.
    const auto cases = rows(
        "Select Case When a.TCP > 1.2 Then a.TCP Else 0 End As X, "
        "Case a.TCP When 1 Then 'one' Else 'other' End As Y, "
        "Case When a.c22 Is Null Then Null Else a.c22 + 1 End As Z "
        "From Velmora_Spital a Order By a.IdCost");
    ASSERT_EQ(cases.size(), 3u);
    EXPECT_EQ(cases[0][0], money(15000));
    EXPECT_EQ(cases[1][0], money(0));
    EXPECT_EQ(cases[0][1], com::Variant("other"));
    EXPECT_EQ(cases[1][1], com::Variant("one"));
    EXPECT_EQ(cases[0][2], money(12500));
    EXPECT_TRUE(cases[1][2].isNull());
    // A condition beside a CASE or inside EXISTS still compares money by value.
    using Ids = std::vector<int32_t>;
    EXPECT_EQ(ids("a.TCP > 1.1 And (Case When a.IdPerioada = 1 Then 1 Else 0 End) = 1"), (Ids{1}));
    EXPECT_EQ(ids("Exists (Select 1 From Velmora_Spital b Where b.IdCost = a.IdCost And b.TCP > 1.4)"), (Ids{1}));
    EXPECT_EQ(ids("Not Exists (Select 1 From Velmora_Spital b Where b.IdCost = a.IdCost And b.TCP > 1.4)"),
              (Ids{2, 3}));
}

TEST_F(MoneyInSql, RoundAndFirstNonNullKeepMoney) {
    rawExec(
        "INSERT INTO Velmora_Spital (IdPerioada, IdSpital, TCP) VALUES (3, 1, 12500), (3, 2, 13500), (3, 3, -12550)");
    const std::string third = " From Velmora_Spital a Where a.IdPerioada=3 Order By a.IdCost";
    // Half to even: 1.25 -> 1.2, 1.35 -> 1.4, -1.255 -> -1.26; no decimals: 1.25 -> 1.
    const auto rounded = rows("Select Round(a.TCP, 1), Round(a.TCP), Round(a.TCP, 2), Round(a.TCP, 6)" + third);
    ASSERT_EQ(rounded.size(), 3u);
    EXPECT_EQ(rounded[0][0], money(12000));
    EXPECT_EQ(rounded[1][0], money(14000));
    EXPECT_EQ(rounded[0][1], money(10000));
    EXPECT_EQ(rounded[2][2], money(-12600));
    EXPECT_EQ(rounded[2][3], money(-12550));
    EXPECT_EQ(value("Select Round(Sum(a.TCP), 2) From Velmora_Spital a Where a.IdPerioada=1"), money(25000));
    // c22 is 0.25, Null and 0.0001.
    const auto firsts = rows(
        "Select IfNull(a.c22, 0), Coalesce(a.c22, a.TCP, 2) From Velmora_Spital a "
        "Where a.IdPerioada=1 Order By a.IdCost");
    ASSERT_EQ(firsts.size(), 2u);
    EXPECT_EQ(firsts[0][0], money(2500));
    EXPECT_EQ(firsts[1][0], money(0));
    EXPECT_EQ(firsts[1][1], money(10000));
}

TEST_F(MoneyInSql, UpdatesAndDeletesSetAndCompareMoneyByValue) {
    // TCP is 1.5, 1 and 1.2345; c22 is 0.25, Null and 0.0001.
    connection->Execute("Update Velmora_Spital Set c22 = 2, TCP = TCP + 1 Where TCP > 1.2");
    EXPECT_EQ(rawCount("SELECT Sum(TCP) FROM Velmora_Spital"), 25000 + 10000 + 22345);
    EXPECT_EQ(rawCount("SELECT Count(*) FROM Velmora_Spital WHERE c22 = 20000"), 2);
    connection->Execute("Delete a.* From Velmora_Spital a Where a.TCP < 2.3");
    EXPECT_EQ(rawCount("SELECT Count(*) FROM Velmora_Spital"), 1);  // only the 2.5 is left
}

TEST_F(MoneyInSql, CommentsAreBlanks) {
    // A quote or parenthesis in a comment is no part of the statement.
    const auto ids = rows(
        "Select a.IdCost /* the sheet's id ( */ From Velmora_Spital a\n"
        "Where a.TCP > 1 -- more than one leu, it's (\nOrder By a.IdCost");
    ASSERT_EQ(ids.size(), 2u);
    EXPECT_EQ(ids[1][0], com::Variant(int32_t{3}));
}

}  // namespace

TEST_F(MoneyInSql, AmountsPastTheLargestMoneyAndInfiniteNumbersAreTooLarge) {
    // 922,337,203,685,477.5 and the largest amount money holds.
    rawExec(
        "INSERT INTO Velmora_Spital (IdPerioada, IdSpital, TCP) VALUES (4, 1, 9223372036854775000), "
        "(4, 2, 9223372036854775807)");
    auto tooLarge = [&](const std::string& sql) {
        const com::Error e = test::errorOf([&] { rows(sql); });
        EXPECT_EQ(e.description(), "Valoare prea mare.") << sql;
    };
    tooLarge("Select Round(a.TCP) From Velmora_Spital a Where a.IdSpital=1 And a.IdPerioada=4");
    tooLarge("Select Round(a.TCP, 1) From Velmora_Spital a Where a.IdSpital=2 And a.IdPerioada=4");
    tooLarge("Select a.IdCost From Velmora_Spital a Where Round(a.TCP) > 0 And a.IdPerioada=4");
    tooLarge("Select Cstr(1e999) As X");
    tooLarge("Select Cstr(-1e999) As X");
    // Rounded to fewer decimals than it has, the largest amount still fits.
    EXPECT_EQ(value("Select Round(a.TCP, 2) From Velmora_Spital a Where a.IdSpital=1 And a.IdPerioada=4"),
              money(9223372036854775000));
}
