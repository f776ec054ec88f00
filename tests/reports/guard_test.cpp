// What a report cannot do whatever its file or the database holds: call a function off the
// read guard's list, read a virtual table but json_each and json_tree.
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

}  // namespace
