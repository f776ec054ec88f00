// The mkdata tool: the sample folder it builds opens with the sample account, passwords come
// from standard input only, and it never overwrites a file.
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

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

TEST_F(MkData, AFileTakesItsNameOnlyWhole) {
    // A data script that never comes (a pipe nobody writes to) holds the run after the
    // schema; it is then killed.
    const fs::path db = folder / "Sample.mdb", pipe = folder / "never.sql";
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    const std::string schema = (fs::path(VELMORA_DATA_DIR) / "schema.sql").string();
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::execl(MKDATA_PATH, MKDATA_PATH, "--database", db.c_str(), "--schema", schema.c_str(), "--data", pipe.c_str(),
                static_cast<char*>(nullptr));
        ::_exit(127);
    }
    auto begun = [&] {
        for (const auto& entry : fs::directory_iterator(folder))
            if (entry.path().filename().string().rfind(".Sample.mdb.", 0) == 0 || entry.path() == db) return true;
        return false;
    };
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!begun() && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_TRUE(begun());
    std::this_thread::sleep_for(std::chrono::milliseconds(200));  // the schema is being written meanwhile
    EXPECT_FALSE(fs::exists(db));
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
    EXPECT_FALSE(fs::exists(db));
}

// What the tool prints on standard output and on standard error, and its exit status.
struct Outcome {
    int status;
    std::string output;
};

Outcome runTool(const std::string& arguments, const std::string& input) {
    const std::string command = "printf '" + input + "' | '" MKDATA_PATH "' " + arguments + " 2>&1";
    FILE* pipe = ::popen(command.c_str(), "r");
    std::string output;
    char buffer[4096];
    for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) output.append(buffer, n);
    const int status = ::pclose(pipe);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, output};
}

TEST_F(MkData, AnswersAsADebianToolDoes) {
    const Outcome help = runTool("--help", "");
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(help.output.rfind("Usage:\n  mkdata create FOLDER", 0), 0u) << help.output;
    const Outcome wrong = runTool("create", "");
    EXPECT_EQ(wrong.status, 2);
    EXPECT_EQ(wrong.output, "mkdata: create takes one FOLDER\nTry 'mkdata --help' for more information.\n");
    // An error names the file and the cause.
    const Outcome missing = runTool("--database '" + dataFile.string() + "' --schema /no/such/schema.sql", "");
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.output, "mkdata: /no/such/schema.sql: cannot read it: No such file or directory\n");
    const Outcome folderless = runTool("--database /no/such/folder/Velmora.mdb --schema /dev/null", "");
    EXPECT_NE(folderless.output.find("/no/such/folder/Velmora.mdb"), std::string::npos) << folderless.output;
    EXPECT_NE(folderless.output.find("No such file or directory"), std::string::npos) << folderless.output;
}

TEST_F(MkData, OneCommandMakesTheHospitalsFolderAndPrintsItsIds) {
    const fs::path hospital = folder / "spital";
    const Outcome made = runTool("create '" + hospital.string() +
                                     "' --code SJU01 --name 'Spitalul Judetean' --county Cluj"
                                     " --account operator --account ana",
                                 "first\\nsecond\\n");
    EXPECT_EQ(made.status, 0) << made.output;
    EXPECT_EQ(made.output, "IdJudet 13\nIdSpital 1\n");
    ado::workgroup::authenticate(hospital / "Velmora.mdw", "operator", "first");
    ado::workgroup::authenticate(hospital / "Velmora.mdw", "ana", "second");
    for (const char* sub : {"backup", "export"}) EXPECT_TRUE(fs::is_directory(hospital / sub)) << sub;

    const Outcome year = runTool("add-periods '" + hospital.string() + "' 2036", "");
    EXPECT_EQ(year.status, 0) << year.output;
    const Outcome again = runTool("add-periods '" + hospital.string() + "' 2036", "");
    EXPECT_EQ(again.status, 1);
    EXPECT_EQ(again.output,
              "mkdata: " + (hospital / "Velmora.mdb").string() + ": the periods of 2036 are there already\n");
    const Outcome added = runTool("add-account '" + hospital.string() + "' ion", "third\\n");
    EXPECT_EQ(added.status, 0) << added.output;
    ado::workgroup::authenticate(hospital / "Velmora.mdw", "ion", "third");
}

}  // namespace
