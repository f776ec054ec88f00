// The mkdata tool: the sample folder it builds opens with the sample account, passwords come
// from standard input only, and it never overwrites a file.
#include <cstdlib>

#include "fixture.h"

namespace {

namespace fs = std::filesystem;

class MkData : public adotest::DataFolder {
protected:
    int run(const std::string& arguments, const std::string& input) {
        const std::string command = "printf '" + input + "' | '" MKDATA_PATH "' " + arguments + " 2>/dev/null";
        return std::system(command.c_str());
    }
    std::string sampleArguments(const fs::path& db, const fs::path& group) {
        const fs::path data = VELMORA_DATA_DIR;
        std::string a = "--database '" + db.string() + "' --schema '" + (data / "schema.sql").string() + "'";
        for (const char* f : {"judete.sql", "sectii.sql", "perioade.sql", "informatii.sql", "sample.sql"})
            a += " --data '" + (data / f).string() + "'";
        return a + " --workgroup '" + group.string() + "' --account operator";
    }
};

TEST_F(MkData, BuildsASampleFolderThatOpensWithTheSampleAccount) {
    const fs::path db = folder / "Sample.mdb", group = folder / "Sample.mdw";
    ASSERT_EQ(run(sampleArguments(db, group), "velmora\\n"), 0);
    auto c = ado::Connection::create();
    c->Open(ado::buildConnectionString("operator", "velmora", db.string(), group.string()));
    ado::Recordset rs;
    rs.Open("SELECT Count(*) As NrRec FROM Velmora_Sectie a Where a.IdPerioada=6", c);
    EXPECT_EQ(rs.field("NrRec").toLong(), 8);
    rs.Close();
    c->Close();
    // Only the account asked for: none is built in.
    EXPECT_EQ(ado::workgroup::accountNames(group), (std::vector<std::string>{"operator"}));
}

TEST_F(MkData, MakesAnAdministratorOnlyWhenAskedWithAPasswordFromStandardInput) {
    const fs::path group = folder / "Admin.mdw";
    ASSERT_EQ(run("--workgroup '" + group.string() + "' --account Administrator --account operator",
                  "first\\nsecond\\n"),
              0);
    EXPECT_EQ(ado::workgroup::accountNames(group), (std::vector<std::string>{"Administrator", "operator"}));
    ado::workgroup::authenticate(group, "administrator", "first");
    ado::workgroup::authenticate(group, "operator", "second");
    EXPECT_THROW(ado::workgroup::authenticate(group, "Administrator", "second"), com::Error);
    // One name twice is refused, whatever its case.
    EXPECT_NE(run("--workgroup '" + (folder / "Twice.mdw").string() + "' --account ana --account ANA", "a\\nb\\n"), 0);
    EXPECT_FALSE(fs::exists(folder / "Twice.mdw"));
}

TEST_F(MkData, RefusesExistingFilesAndMissingPasswords) {
    const fs::path db = folder / "Sample.mdb", group = folder / "Sample.mdw";
    // A run that cannot finish makes neither file.
    EXPECT_NE(run(sampleArguments(db, group), ""), 0);  // no password on standard input
    EXPECT_FALSE(fs::exists(group));
    EXPECT_FALSE(fs::exists(db));
    { std::ofstream(group) << "keep"; }
    EXPECT_NE(run(sampleArguments(folder / "Other.mdb", group), "x\\n"), 0);
    EXPECT_EQ(adotest::readAll(group), "keep");
    EXPECT_FALSE(fs::exists(folder / "Other.mdb"));
    EXPECT_NE(run("--database '" + dataFile.string() + "' --schema /no/such/schema.sql", ""), 0);
    EXPECT_FALSE(fs::exists(dataFile));
}

}  // namespace
