// What the user is told when the database cannot be used: the layer's own Romanian text
// naming the file or folder (the engine's text, when kept, on a line of its own), and the
// error numbers the callers know.
#include <fcntl.h>
#include <sqlite3.h>
#include <sys/file.h>
#include <sys/mount.h>
#include <unistd.h>

#include <optional>

#include "../support/error_of.h"
#include "fixture.h"

namespace {

using adotest::DataFolder;
namespace fs = std::filesystem;

constexpr const char* InUse =
    "Baza de date este folosita de alt program. Incercati din nou dupa ce acesta o elibereaza.";

com::Error failure(const std::function<void()>& body) { return test::errorOf(body); }

std::string firstLine(const std::string& text) { return text.substr(0, text.find('\r')); }

class Failures : public DataFolder {
protected:
    void SetUp() override {
        DataFolder::SetUp();
        makeDatabase(true);
    }
    std::string openOn(const fs::path& file) const {
        return ado::buildConnectionString(adotest::User, adotest::Password, file.string(), workgroupFile.string());
    }
    void openOnly(const fs::path& file) const { ado::Connection::create()->Open(openOn(file), "", "", -1); }
};

TEST_F(Failures, AFileThatIsNoDatabaseOrIsMissingIsNamed) {
    const fs::path text = folder / "Notes.mdb";
    { std::ofstream(text) << "this is not a database, just some text that is long enough to fill a header\n"; }
    com::Error e = failure([&] { openOnly(text); });
    EXPECT_EQ(e.number(), ado::errc::NotADatabase);
    EXPECT_EQ(e.description(),
              "Fisierul " + text.string() + " nu este o baza de date a aplicatiei sau este deteriorat.");
    // Named as the workgroup file: no workgroup file either.
    e = failure([&] {
        ado::Connection::create()->Open(ado::buildConnectionString(adotest::User, adotest::Password, dataFile.string(),
                                                                   text.string()),
                                        "", "", -1);
    });
    EXPECT_EQ(e.number(), ado::errc::NotADatabase);
    EXPECT_EQ(e.description(),
              "Fisierul " + text.string() + " nu este o baza de date a aplicatiei sau este deteriorat.");
    e = failure([&] { openOnly(folder / "Lipsa.mdb"); });
    EXPECT_EQ(e.number(), ado::errc::FileNotFound);
    EXPECT_EQ(e.description(), "Fisierul " + (folder / "Lipsa.mdb").string() + " nu exista.");
    e = failure([&] { ado::Connection::create()->Open(openOn(dataFile), adotest::User, "gresita", -1); });
    EXPECT_EQ(e.number(), ado::errc::NotAuthorised);
    EXPECT_EQ(e.description(), "Utilizatorul sau parola nu sunt corecte.");
}

TEST_F(Failures, ADatabaseHeldByAnotherProgram) {
    // Another program writes and keeps its transaction open past the five-second wait.
    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open_v2(dataFile.c_str(), &other, SQLITE_OPEN_READWRITE, nullptr), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(other, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr), SQLITE_OK);
    {
        auto c = open();
        const com::Error e = failure([&] { c->Execute("UPDATE Nom_Judete SET DenJudet = DenJudet"); });
        EXPECT_EQ(e.number(), ado::errc::Engine);
        EXPECT_EQ(firstLine(e.description()), InUse);
        EXPECT_NE(e.description().find("\r\ndatabase is locked"), std::string::npos) << e.description();
    }
    sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(other);

    // Another run holds the database's lock exclusively (a compaction, a tool changing it).
    std::optional<ado::DatabaseLock> held(ado::DatabaseLock::take(dataFile, ado::DatabaseLock::Kind::Exclusive));
    const com::Error e = failure([&] { openOnly(dataFile); });
    held.reset();
    EXPECT_EQ(e.number(), ado::errc::InUse);
    EXPECT_EQ(e.description(), InUse);
}

TEST_F(Failures, AFullDisk) {
    // A small file system of its own, which the database then fills.
    const fs::path small = folder / "small";
    fs::create_directories(small);
    if (::mount("tmpfs", small.c_str(), "tmpfs", 0, "size=1m") != 0) GTEST_SKIP() << "no file system can be mounted";
    const fs::path database = small / "Velmora.mdb";
    fs::copy_file(dataFile, database);
    com::Error e(0, "", "none");
    {
        auto c = ado::Connection::create();
        c->Open(openOn(database), "", "", -1);
        c->Execute("CREATE TABLE Bulk (x TEXT)");
        e = failure([&] { c->Execute("INSERT INTO Bulk SELECT hex(randomblob(1000000))"); });
    }
    ::umount2(small.c_str(), MNT_DETACH);
    EXPECT_EQ(e.number(), ado::errc::Engine);
    EXPECT_EQ(firstLine(e.description()), "Discul este plin: fisierul " + database.string() + " nu a putut fi scris.")
        << e.description();
}

TEST_F(Failures, AReadOnlyDatabaseOrFolder) {
    // Written by a user who may only read the database, then by one who may write the
    // database but not make its journal in the folder. Each child answers 0 when it was told so.
    // A user who may only read it is refused at the login already.
    auto writeAs = [&](uid_t user, const std::string& expected) {
        return adotest::inChild(
            [&] {
                const com::Error e = failure([&] { open()->Execute("UPDATE Nom_Judete SET DenJudet = 'x'"); });
                if (firstLine(e.description()) == expected && e.number() == ado::errc::Engine) return 0;
                std::fprintf(stderr, "%d %s\n", e.number(), e.description().c_str());
                return 1;
            },
            user);
    };
    const uid_t user = adotest::otherUser();
    if (::geteuid() != 0)
        fs::permissions(dataFile, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    EXPECT_EQ(writeAs(user, "Baza de date " + dataFile.string() + " este protejata la scriere."), 0);
    if (::geteuid() == 0) {  // a user of its own for the database, the folder root's
        ASSERT_EQ(::chown(dataFile.c_str(), user, static_cast<gid_t>(-1)), 0);
        EXPECT_EQ(writeAs(user, "Folderul " + folder.string() + " este protejat la scriere."), 0);
    }
    EXPECT_EQ(rawCount("SELECT count(*) FROM Nom_Judete WHERE DenJudet = 'x'"), 0);
}

}  // namespace
