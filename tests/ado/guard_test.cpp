// What a database file and a reading statement can make the engine do: a read-only
// connection calls only the functions of its list and reads no virtual table but json_each
// and json_tree; no connection takes the tokenizer's addresses, lets the schema be written as
// data or runs a function a planted view or trigger names.
#include <sqlite3.h>

#include <set>

#include "fixture.h"

namespace {

using adotest::DataFolder;

class Guard : public DataFolder {
protected:
    void SetUp() override {
        DataFolder::SetUp();
        makeDatabase(false);
    }
    com::ComPtr<ado::Connection> reader() {
        auto c = ado::Connection::create();
        c->Mode(static_cast<int32_t>(ado::ConnectMode::Read));
        c->Open(connectionString());
        return c;
    }
    // The error a statement raises on the connection, or none (number 0) when it ran.
    static com::Error outcome(const com::ComPtr<ado::Connection>& c, const std::string& sql) {
        try {
            ado::Recordset rs;
            rs.Open(sql, c, std::vector<com::Variant>{});
            while (!rs.Eof()) rs.MoveNext();
            rs.Close();
        } catch (const com::Error& e) {
            return e;
        }
        return com::Error(0, "", "");
    }
};

// Every function SQLite offers, called as its kind allows (a window or aggregate function
// also over a window): refused exactly when it is not on the list.
TEST_F(Guard, AReaderCallsEveryFunctionOfTheListAndNoOther) {
    const std::set<std::string> refused{"load_extension", "fts3_tokenizer", "sqlite_log",     "subtype",
                                        "bm25",           "fts5",           "fts5_source_id", "highlight",
                                        "match",          "matchinfo",      "offsets",        "optimize",
                                        "snippet",        "rtreecheck",     "rtreedepth",     "rtreenode"};
    auto c = reader();
    sqlite3* raw = nullptr;
    ASSERT_EQ(sqlite3_open_v2(":memory:", &raw, SQLITE_OPEN_READWRITE, nullptr), SQLITE_OK);
    std::unique_ptr<sqlite3, decltype(&sqlite3_close)> memory(raw, &sqlite3_close);
    sqlite3_stmt* list = nullptr;
    ASSERT_EQ(sqlite3_prepare_v2(raw, "SELECT name, type, narg FROM pragma_function_list", -1, &list, nullptr),
              SQLITE_OK);
    int seen = 0;
    while (sqlite3_step(list) == SQLITE_ROW) {
        const std::string name = reinterpret_cast<const char*>(sqlite3_column_text(list, 0));
        const std::string type = reinterpret_cast<const char*>(sqlite3_column_text(list, 1));
        const int narg = sqlite3_column_int(list, 2);
        std::vector<std::string> calls;
        if (name == "->" || name == "->>") {
            calls.push_back("SELECT '[1]' " + name + " '$[0]' AS X");
        } else {
            std::string args;
            for (int i = 0; i < (narg < 0 ? 1 : narg); ++i) args += (i ? ", " : "") + std::string("'1'");
            calls.push_back("SELECT " + name + "(" + args + ") AS X FROM Nom_Judete");
            if (type == "w") calls.push_back("SELECT " + name + "(" + args + ") OVER () AS X FROM Nom_Judete");
        }
        for (const auto& sql : calls) {
            const com::Error e = outcome(c, sql);
            const bool guarded = e.number() == ado::errc::NotAllowed;
            EXPECT_EQ(guarded, refused.contains(name)) << sql << ": " << e.description();
            ++seen;
        }
    }
    sqlite3_finalize(list);
    EXPECT_GT(seen, 150);
    // The data layer's own, and the Jet functions the statements use.
    EXPECT_EQ(outcome(c, "SELECT Cstr(1) AS X, IIf(1, 2, 3) AS Y").number(), 0);
}

TEST_F(Guard, AReaderReadsJsonEachAndJsonTreeAndNoOtherVirtualTable) {
    rawExec("CREATE VIRTUAL TABLE Planted USING fts3(a)");
    auto c = reader();
    ado::Recordset rs;
    rs.Open("SELECT value AS V FROM json_each('[4,5]') ORDER BY value", c, std::vector<com::Variant>{});
    EXPECT_EQ(rs.field(0).toLong(), 4);
    rs.Close();
    EXPECT_EQ(outcome(c, "SELECT count(*) AS N FROM json_tree('{\"a\":[1,2]}')").number(), 0);
    for (const char* sql : {"SELECT * FROM pragma_table_info('Nom_Judete')", "SELECT * FROM dbstat",
                            "SELECT * FROM Planted", "SELECT * FROM fts3tokenize('simple')",
                            "SELECT * FROM pragma_function_list", "UPDATE sqlite_master SET sql = sql"}) {
        const com::Error e = outcome(c, sql);
        EXPECT_NE(e.number(), 0) << sql;
        EXPECT_EQ(e.description().find("vtable constructor failed"), std::string::npos) << sql << e.description();
    }
}

TEST_F(Guard, NoConnectionTakesTokenizerAddressesWritesTheSchemaOrTrustsIt) {
    rawExec("CREATE VIEW Planted AS SELECT json('[1]') AS j");
    auto c = open();
    // The two-argument tokenizer takes an address from SQL.
    EXPECT_THROW(c->Execute("SELECT fts3_tokenizer('simple', fts3_tokenizer('simple'))"), com::Error);
    // The schema cannot be written as data, writable_schema or not.
    c->Execute("PRAGMA writable_schema = ON");
    EXPECT_THROW(c->Execute("UPDATE sqlite_master SET sql = sql WHERE name = 'Nom_Judete'"), com::Error);
    // A view of the file calls no function SQLite does not mark harmless.
    EXPECT_NE(outcome(c, "SELECT j FROM Planted").number(), 0);
    EXPECT_EQ(outcome(c, "SELECT json('[1]') AS j").number(), 0);
}

}  // namespace
