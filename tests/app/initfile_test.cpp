// The configuration file: reading the eight keys, its failures (a county or hospital that
// is no decimal integer, a folder or a file that may not be read), and rewriting four keys
// without touching anything else.
#include <gtest/gtest.h>
#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>

#include <grp.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>

#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>

#include "com/error.h"
#include "com/variant.h"
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

// Runs `body` in a child process as a user without the tests' rights (nobody, uid 65534,
// when they run as root) and gives back the text it returned.
std::string asUnprivilegedUser(const std::function<std::string()>& body) {
    int channel[2];
    if (::pipe(channel) != 0) return "no pipe";
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(channel[0]);
        constexpr uid_t nobody = 65534;
        if (::geteuid() == 0 && (::setgroups(0, nullptr) != 0 || ::setgid(nobody) != 0 || ::setuid(nobody) != 0))
            ::_exit(3);
        const std::string text = body();
        const bool written = ::write(channel[1], text.data(), text.size()) == static_cast<ssize_t>(text.size());
        ::_exit(written ? 0 : 4);
    }
    ::close(channel[1]);
    std::string text;
    char buffer[512];
    for (ssize_t got; (got = ::read(channel[0], buffer, sizeof buffer)) > 0;)
        text.append(buffer, static_cast<std::size_t>(got));
    ::close(channel[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return "child failed: " + std::to_string(status);
    return text;
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

// The county and the hospital are decimal integers: what the run-time's conversion would
// read as a number in another form is refused.
TEST(InitFile, CountyAndHospitalTakeOnlyDecimalIntegers) {
    test::TempFolder dir;
    const auto file = dir / "Init.xml";
    auto values = configured();
    const auto numberFor = [&](const std::string& hospital) {
        values.MySpital = hospital;
        test::writeText(file, test::initText(values));
        return errorNumberOf([&] { readInitFile(file); });
    };
    for (const char* bad : {"10.4", "&HA", "1e1", "13.6", "+5", "0x1A", "1 0", "1,5", "--1", "-", " - 1", "5-"})
        EXPECT_EQ(numberFor(bad), com::errc::TypeMismatch) << bad;
    for (const char* large : {"2147483648", "-2147483649", "99999999999999999999999"})
        EXPECT_EQ(numberFor(large), com::errc::Overflow) << large;
    for (const auto& [text, id] : std::vector<std::pair<std::string, int32_t>>{{" 42\n\t", 42},
                                                                               {"-1", -1},
                                                                               {"007", 7},
                                                                               {"2147483647", 2147483647},
                                                                               {"-2147483648", -2147483647 - 1}}) {
        EXPECT_EQ(numberFor(text), 0) << text;
        EXPECT_EQ(readInitFile(file).MySpital, id) << text;
    }
    values.MySpital = "1";
    values.MyJudet = "13.6";
    test::writeText(file, test::initText(values));
    EXPECT_EQ(errorNumberOf([&] { readInitFile(file); }), com::errc::TypeMismatch);
    try {
        readInitFile(file);
    } catch (const com::Error& e) {
        EXPECT_EQ(e.description(), "Init.xml: valoarea cheii MyJudet nu este un numar intreg.");
    }
    // Every other conversion keeps the run-time's reading.
    EXPECT_EQ(com::Variant(std::string("10.4")).toLong(), 10);
}

// What the error box names when Init.xml is there but cannot be read.
TEST(InitFile, AFolderOrAFileThatMayNotBeReadNamesTheCause) {
    test::TempFolder dir;
    const auto file = dir / "Init.xml";
    std::filesystem::create_directory(file);
    try {
        readInitFile(file);
        FAIL() << "a folder was read";
    } catch (const com::Error& e) {
        EXPECT_EQ(e.number(), com::errc::PathFileAccessError);
        EXPECT_EQ(e.description(), "Fisierul " + file.string() + " nu poate fi citit: este un folder.");
    }
    std::filesystem::remove(file);

    test::writeText(file, test::initText(configured()));
    std::filesystem::permissions(file, std::filesystem::perms::owner_write);
    std::filesystem::permissions(dir.path(), std::filesystem::perms::owner_all | std::filesystem::perms::others_exec);
    // The file is read by a user who may not: the tests' own one, or nobody when they run as root.
    const std::string seen = asUnprivilegedUser([&] {
        try {
            readInitFile(file);
            return std::string("read");
        } catch (const com::Error& e) {
            return std::to_string(e.number()) + " " + e.description();
        }
    });
    EXPECT_EQ(seen, std::to_string(com::errc::PermissionDenied) + " Fisierul " + file.string() +
                        " nu poate fi citit: acces refuzat.");
}

TEST(InitFile, ReadInitFillsTheSessionFromTheProgramFolder) {
    test::TempFolder dir;
    GlobalUI::resetSession();
    GlobalUI::setProgramFolder(dir.path());
    test::writeText(dir / "Init.xml", test::initText(configured()));
    GlobalUI::ReadInit();
    const auto& s = GlobalUI::session();
    EXPECT_EQ(s.config().gMyPath(), "/srv/velmora");
    EXPECT_EQ(s.config().gMyBackup(), "/srv/backup");
    EXPECT_EQ(s.config().gIdJudet(), 13);
    EXPECT_EQ(s.config().gIdSpital(), 1);
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

// What the user reads of a rewrite that fails: Init.xml and the cause, never the temporary
// it was written under nor a bare system number.
std::string rewriteFailure(const std::filesystem::path& file) {
    try {
        writeInitFile(file, InitUpdate{1, 2, "/e", "/b"});
    } catch (const com::Error& e) {
        EXPECT_EQ(e.number(), com::errc::PathFileAccessError);
        return e.description();
    }
    return "rewritten";
}

TEST(InitFile, AFailedRewriteNamesInitXmlAndItsCause) {
    test::TempFolder dir;
    const auto file = dir / "Init.xml";
    const std::string text = test::initText(configured());
    test::writeText(file, text);
    // A disk that fills up: the process may write no file larger than a few bytes.
    const auto previous = std::signal(SIGXFSZ, SIG_IGN);
    rlimit saved{};
    ::getrlimit(RLIMIT_FSIZE, &saved);
    rlimit small = saved;
    small.rlim_cur = 16;
    ::setrlimit(RLIMIT_FSIZE, &small);
    const std::string full = rewriteFailure(file);
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previous);
    EXPECT_EQ(full, "Discul este plin: fisierul " + file.string() + " nu a putut fi scris.");
    EXPECT_EQ(test::readText(file), text);

    // A folder the user may not write into (root writes anywhere: the rewrite then runs in a
    // child as an unprivileged user).
    ::chmod(dir.path().c_str(), 0755);
    ::chmod(file.c_str(), 0666);
    const bool root = ::geteuid() == 0;
    if (!root) ::chmod(dir.path().c_str(), 0555);
    const std::string expected = "Folderul " + dir.path().string() + " este protejat la scriere.";
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        if (root && (::setgroups(0, nullptr) != 0 || ::setgid(65534) != 0 || ::setuid(65534) != 0)) ::_exit(3);
        ::_exit(rewriteFailure(file) == expected ? 0 : 1);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    ::chmod(dir.path().c_str(), 0700);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    EXPECT_EQ(test::readText(file), text);
    int files = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir.path())) ++files;
    EXPECT_EQ(files, 1);
}

}  // namespace
