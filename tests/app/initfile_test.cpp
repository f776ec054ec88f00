// The configuration file: reading the eight keys, its failures, and rewriting four keys
// without touching anything else.
#include <gtest/gtest.h>

#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>

#include "com/error.h"
#include "shell/globalui.h"
#include "session/initfile.h"
#include "support.h"

namespace {

using velmora::InitUpdate;
using velmora::readInitFile;
using velmora::writeInitFile;

// The number of the error the body raises (0 for none). What the error box will show is
// the program's own text, never the run-time's standard English one.
int32_t errorNumberOf(const std::function<void()>& body) {
    try {
        body();
    } catch (const com::Error& e) {
        EXPECT_NE(e.description(), com::standardDescription(e.number()));
        return e.number();
    }
    return 0;
}

test::InitFile configured() {
    test::InitFile v;
    v.MyPath = "/srv/velmora";
    v.MyExport = "/srv/export";
    v.MyBackup = "/srv/backup";
    v.MyJudet = "13";
    v.MySpital = "1";
    return v;
}

TEST(InitFile, ReadsEveryKey) {
    test::TempFolder dir;
    test::writeText(dir / "Init.xml", test::initText(configured()));
    const auto values = readInitFile(dir / "Init.xml");
    EXPECT_EQ(values.MyPath, "/srv/velmora");
    EXPECT_EQ(values.MyDataBase, "Velmora.mdb");
    EXPECT_EQ(values.MyFiserAcces, "Velmora.mdw");
    EXPECT_EQ(values.MyFiserDSN, "Velmora.mdb");
    EXPECT_EQ(values.MyExport, "/srv/export");
    EXPECT_EQ(values.MyBackup, "/srv/backup");
    EXPECT_EQ(values.MyJudet, 13);
    EXPECT_EQ(values.MySpital, 1);
}

TEST(InitFile, IgnoresExtrasCommentsAndLaterDuplicatesAndKeyOrder) {
    test::TempFolder dir;
    test::writeText(dir / "Init.xml",
                    "<Config><!-- a comment -->\n<Initializare Version=\"2\">\n"
                    "<MySpital>-1</MySpital><MyJudet> -1 </MyJudet><Extra>x</Extra>\n"
                    "<MyPath>\n  /first\n</MyPath><MyDataBase>a.mdb</MyDataBase><MyFiserAcces>a.mdw</MyFiserAcces>"
                    "<MyFiserDSN>a.mdb</MyFiserDSN><MyExport></MyExport><MyBackup>/b</MyBackup>"
                    "<MyPath>/second</MyPath></Initializare></Config>");
    const auto values = readInitFile(dir / "Init.xml");
    EXPECT_EQ(values.MyPath, "/first");
    EXPECT_EQ(values.MyExport, "");
    EXPECT_EQ(values.MyJudet, -1);
    EXPECT_EQ(values.MySpital, -1);
}

TEST(InitFile, ReadFailuresCarryTheRunTimesNumbers) {
    test::TempFolder dir;
    const auto file = dir / "Init.xml";
    EXPECT_EQ(errorNumberOf([&] { readInitFile(file); }), com::errc::FileNotFound);

    test::writeText(file, "<Initializare><MyPath>/x</MyPath>");  // cut off half-way
    EXPECT_EQ(errorNumberOf([&] { readInitFile(file); }), com::errc::ObjectNotSet);
    try {
        readInitFile(file);
    } catch (const com::Error& e) {
        EXPECT_EQ(e.description(), "Init.xml: cheia MyPath lipseste sau fisierul nu este un document XML valid.");
    }

    for (const char* key :
         {"MyPath", "MyDataBase", "MyFiserAcces", "MyFiserDSN", "MyExport", "MyBackup", "MyJudet", "MySpital"}) {
        std::string text = test::initText(configured());
        const std::string open = std::string("<") + key + ">";
        text.replace(text.find(open), open.size(), std::string("<Other") + key + ">");
        const std::string close = std::string("</") + key + ">";
        text.replace(text.find(close), close.size(), std::string("</Other") + key + ">");
        test::writeText(file, text);
        EXPECT_EQ(errorNumberOf([&] { readInitFile(file); }), com::errc::ObjectNotSet) << key;
    }

    auto badCounty = configured();
    badCounty.MyJudet = "Cluj";
    test::writeText(file, test::initText(badCounty));
    EXPECT_EQ(errorNumberOf([&] { readInitFile(file); }), com::errc::TypeMismatch);
    badCounty.MyJudet = "99999999999";
    test::writeText(file, test::initText(badCounty));
    EXPECT_EQ(errorNumberOf([&] { readInitFile(file); }), com::errc::Overflow);
    auto emptyHospital = configured();
    emptyHospital.MySpital = "";
    test::writeText(file, test::initText(emptyHospital));
    EXPECT_EQ(errorNumberOf([&] { readInitFile(file); }), com::errc::TypeMismatch);
}

TEST(InitFile, ReadInitFillsTheSessionFromTheProgramFolder) {
    test::TempFolder dir;
    GlobalUI::resetSession();
    GlobalUI::setProgramFolder(dir.path());
    test::writeText(dir / "Init.xml", test::initText(configured()));
    GlobalUI::ReadInit();
    const auto& s = GlobalUI::session();
    EXPECT_EQ(s.gMyPath, "/srv/velmora");
    EXPECT_EQ(s.gMyBackup, "/srv/backup");
    EXPECT_EQ(s.gIdJudet, 13);
    EXPECT_EQ(s.gIdSpital, 1);
    GlobalUI::setProgramFolder({});
}

TEST(InitFile, WriteChangesOnlyTheFourValues) {
    test::TempFolder dir;
    const auto file = dir / "Init.xml";
    const std::string before = test::initText(configured());
    test::writeText(file, before);
    std::filesystem::permissions(file, std::filesystem::perms::owner_read | std::filesystem::perms::owner_write |
                                           std::filesystem::perms::group_read | std::filesystem::perms::group_write);
    writeInitFile(file, InitUpdate{7, 42, "/new/export & co", "/new/backup"});
    EXPECT_EQ(std::filesystem::status(file).permissions(),
              std::filesystem::perms::owner_read | std::filesystem::perms::owner_write |
                  std::filesystem::perms::group_read | std::filesystem::perms::group_write);  // kept as they were

    auto expected = configured();
    expected.MyJudet = "7";
    expected.MySpital = "42";
    expected.MyExport = "/new/export &amp; co";
    expected.MyBackup = "/new/backup";
    EXPECT_EQ(test::readText(file), test::initText(expected));  // comment, layout, other keys kept

    const auto values = readInitFile(file);
    EXPECT_EQ(values.MyExport, "/new/export & co");
    EXPECT_EQ(values.MyPath, "/srv/velmora");
    EXPECT_EQ(values.MyJudet, 7);
    EXPECT_EQ(values.MySpital, 42);
}

TEST(InitFile, WriteKeepsLineEndsMarkAndEmptyElements) {
    test::TempFolder dir;
    const auto file = dir / "Init.xml";
    const std::string before =
        "\xEF\xBB\xBF<Initializare note=\"a > b\">\r\n<MyPath>/p</MyPath><MyDataBase>d</MyDataBase>"
        "<MyFiserAcces>w</MyFiserAcces><MyFiserDSN>s</MyFiserDSN>\r\n<MyExport/><MyBackup></MyBackup>"
        "<MyJudet><!-- none -->-1</MyJudet><MySpital>-1</MySpital>\r\n</Initializare>\r\n";
    test::writeText(file, before);
    writeInitFile(file, InitUpdate{3, 9, "/e", "/b"});
    EXPECT_EQ(test::readText(file),
              "\xEF\xBB\xBF<Initializare note=\"a > b\">\r\n<MyPath>/p</MyPath><MyDataBase>d</MyDataBase>"
              "<MyFiserAcces>w</MyFiserAcces><MyFiserDSN>s</MyFiserDSN>\r\n<MyExport>/e</MyExport>"
              "<MyBackup>/b</MyBackup><MyJudet>3</MyJudet><MySpital>9</MySpital>\r\n</Initializare>\r\n");
}

TEST(InitFile, FailedWriteLeavesTheFileWholeAndNoTemporaryBehind) {
    test::TempFolder dir;
    const auto file = dir / "Init.xml";
    std::string text = test::initText(configured());
    text.replace(text.find("<MyBackup>"), 10, "<Backup>");
    text.replace(text.find("</MyBackup>"), 11, "</Backup>");
    test::writeText(file, text);
    EXPECT_EQ(errorNumberOf([&] { writeInitFile(file, InitUpdate{1, 2, "/e", "/b"}); }), com::errc::ObjectNotSet);
    EXPECT_EQ(test::readText(file), text);

    EXPECT_EQ(errorNumberOf([&] { writeInitFile(dir / "Missing.xml", InitUpdate{}); }), com::errc::FileNotFound);
    EXPECT_FALSE(std::filesystem::exists(dir / "Missing.xml"));

    test::writeText(dir / "Good.xml", test::initText(configured()));
    writeInitFile(dir / "Good.xml", InitUpdate{});
    int files = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir.path())) ++files;
    EXPECT_EQ(files, 2);  // Init.xml and Good.xml: the temporary file was renamed, none left over
}

TEST(InitFile, AUserWhoMayNotWriteTheProgramFolderIsToldSo) {
    if (::geteuid() != 0) GTEST_SKIP() << "the test needs root to run a child as an account that may not write";
    test::TempFolder dir;
    std::filesystem::permissions(dir.path(), std::filesystem::perms::others_read | std::filesystem::perms::others_exec,
                                 std::filesystem::perm_options::add);
    const auto file = dir / "Init.xml";
    test::writeText(file, test::initText(configured()));
    const std::string expected =
        "(codul de eroare al sistemului: 13).\r\nFolderul " + dir.path().string() + " este protejat la scriere.";
    const pid_t child = ::fork();
    if (child == 0) {
        if (::setgroups(0, nullptr) != 0 || ::setgid(65534) != 0 || ::setuid(65534) != 0) ::_exit(3);
        try {
            writeInitFile(file, InitUpdate{1, 2, "/e", "/b"});
        } catch (const com::Error& e) {
            ::_exit(e.description().ends_with(expected) ? 0 : 1);
        }
        ::_exit(2);
    }
    int status = -1;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    EXPECT_EQ(test::readText(file), test::initText(configured()));
}

}  // namespace
