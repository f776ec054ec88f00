// What a report cannot do whatever its file or the database holds: call a function off the
// read guard's list, read a virtual table but json_each and json_tree, read rows without end
// or run on once its progress check says stop.
#include <gtest/gtest.h>

#include "support.h"

namespace {

namespace errc = reports::errc;

// Reports of the test's own over a sample database the suite may plant things in.
class Guarded : public rtest::OnSampleData<> {
protected:
    // A report whose queries are `queries` (the first the rows, the others lookups).
    static std::shared_ptr<reports::Report> report(const std::vector<std::string>& queries) {
        std::string xml = "<report version=\"1\">";
        for (size_t i = 0; i < queries.size(); ++i)
            xml += (i == 0 ? std::string("<query>") : "<query name=\"q" + std::to_string(i) + "\">") + "<![CDATA[" +
                   queries[i] + "]]></query>";
        xml += "<detail height=\"240\"/></report>";
        return rtest::open(rtest::writeReport(data_->folder(), "proba.vrpt", xml), *data_);
    }
};

TEST_F(Guarded, TheTokenizerNeitherHandsOutNorTakesAnAddress) {
    rawdb::rawExec(data_->database(), "CREATE VIRTUAL TABLE Planted USING fts3(a); INSERT INTO Planted VALUES ('x')");
    for (const auto& queries :
         std::vector<std::vector<std::string>>{{"SELECT fts3_tokenizer('simple') AS X"},
                                               {"SELECT 1 AS X",
                                                "SELECT fts3_tokenizer('simple', x'4141414141414141') AS X"},
                                               {"SELECT 1 AS X",
                                                "SELECT fts3_tokenizer('planted', x'4141414141414141') AS X"}}) {
        auto r = report(queries);
        const com::Error e = rtest::raised([&] { r->Run(); });
        EXPECT_EQ(e.number(), errc::QueryFailed);
        EXPECT_NE(e.description().find("poate numai citi"), std::string::npos) << e.description();
    }
    // The planted table cannot even be read: its module is not on a report's connection.
    auto r = report({"SELECT a FROM Planted WHERE a MATCH 'x'"});
    EXPECT_EQ(rtest::raised([&] { r->Run(); }).number(), errc::QueryFailed);
    rawdb::rawExec(data_->database(), "DROP TABLE Planted");
}

TEST_F(Guarded, JsonEachAndJsonTreeAreReadOtherTableFunctionsRefused) {
    auto r =
        report({"SELECT value AS V FROM json_each('[1,2,3]')", "SELECT count(*) AS N FROM json_tree('{\"a\":[1,2]}')"});
    r->Run();
    EXPECT_EQ(r->PageCount(), 1);
    for (const char* query : {"SELECT name FROM pragma_table_info('Nom_Judete')", "SELECT name FROM dbstat",
                              "SELECT token FROM fts3tokenize('simple')", "SELECT name FROM pragma_function_list"}) {
        auto refused = report({query});
        const com::Error e = rtest::raised([&] { refused->Run(); });
        EXPECT_EQ(e.number(), errc::QueryFailed) << query;
        EXPECT_EQ(e.description().find("vtable constructor failed"), std::string::npos) << e.description();
    }
}

// A query that never ends: rows without end, or no row at all.
constexpr const char* kEndlessRows =
    "WITH RECURSIVE n(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM n) SELECT x AS X FROM n";
constexpr const char* kEndlessCount =
    "WITH RECURSIVE n(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM n) SELECT count(*) AS N FROM n";

TEST_F(Guarded, AResultOfMoreThanAMillionRowsIsRefusedBeforeItIsRead) {
    auto r = report({kEndlessRows});
    const com::Error e = rtest::raised([&] { r->Run(); });
    EXPECT_EQ(e.number(), errc::QueryFailed);
    EXPECT_EQ(e.description(),
              "Raportul are prea multe randuri pentru a fi afisat. Restrangeti parametrii raportului.");
    EXPECT_FALSE(r->hasRun());
    // A million rows exactly are shown.
    auto million =
        report({"WITH RECURSIVE n(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM n WHERE x < 1000000) "
                "SELECT count(*) AS N FROM n"});
    million->Run();
    EXPECT_TRUE(million->hasRun());
}

TEST_F(Guarded, TheProgressCheckStopsAQueryThatNeverEnds) {
    for (const char* query : {kEndlessCount, kEndlessRows}) {
        auto r = report({"SELECT 1 AS X", query});
        int asked = 0;
        r->setProgressCheck([&] { return ++asked < 20; });
        const com::Error e = rtest::raised([&] { r->Run(); });
        EXPECT_EQ(e.number(), errc::Cancelled) << e.description();
        EXPECT_EQ(asked, 20);
        EXPECT_FALSE(r->hasRun());
        // The same report runs again once the check lets it.
        r->setProgressCheck([] { return true; });
        auto plain = report({"SELECT 1 AS X"});
        plain->setProgressCheck([] { return true; });
        plain->Run();
        EXPECT_TRUE(plain->hasRun());
    }
}

TEST_F(Guarded, MoneyTheDataLayerCannotTypeIsRefusedUnlessDeclared) {
    const auto write = [](const std::string& columns) {
        return rtest::open(
            rtest::writeReport(data_->folder(), "bani.vrpt",
                               "<report version=\"1\"><query><![CDATA[SELECT Cast(a.TCP AS INTEGER) AS C, "
                               "Sum(a.TCP) Over () AS T FROM Velmora_Spital a]]>" +
                                   columns + "</query><detail height=\"240\"/></report>"),
            *data_);
    };
    auto r = write("");
    const com::Error e = rtest::raised([&] { r->Run(); });
    EXPECT_EQ(e.number(), errc::QueryFailed);
    EXPECT_NE(e.description().find("Expresia peste coloana a.TCP nu poate fi calculata in lei."), std::string::npos)
        << e.description();
    auto declared = write("<column name=\"C\" type=\"money\"/>");
    declared->Run();
    EXPECT_TRUE(declared->hasRun());
}

}  // namespace
