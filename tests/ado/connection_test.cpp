// Opening connections: the account check, refusals that create nothing, the connection
// string's keys and the properties the main program reads late-bound.
#include <fcntl.h>
#include <sqlite3.h>
#include <sys/file.h>
#include <sys/stat.h>

#include "ado/database_lock.h"
#include "fixture.h"

#include "com/dispatch.h"

namespace {

using adotest::DataFolder;
namespace fs = std::filesystem;

int openError(const std::string& connection) {
    auto c = ado::Connection::create();
    try {
        c->Open(connection, "", "", -1);
    } catch (const com::Error& e) {
        EXPECT_FALSE(e.description().empty());
        EXPECT_EQ(c->State(), 0);
        return e.number();
    }
    ADD_FAILURE() << "opened: " << connection;
    return 0;
}

class Connections : public DataFolder {
protected:
    void SetUp() override {
        DataFolder::SetUp();
        makeDatabase(false);
    }
};

TEST_F(Connections, RefusesWrongAccountsAndMissingFilesWithoutCreatingAny) {
    EXPECT_EQ(openError(connectionString(adotest::User, "wrong")), ado::errc::NotAuthorised);
    EXPECT_EQ(openError(connectionString(adotest::User, "S3CRET;Data Source=/tmp/evil")), ado::errc::NotAuthorised);
    EXPECT_EQ(openError(connectionString("nobody", adotest::Password)), ado::errc::NotAuthorised);
    const fs::path missingData = folder / "Missing.mdb", missingGroup = folder / "Missing.mdw";
    EXPECT_EQ(openError(ado::buildConnectionString(adotest::User, adotest::Password, missingData.string(),
                                                   workgroupFile.string())),
              ado::errc::FileNotFound);
    EXPECT_EQ(openError(ado::buildConnectionString(adotest::User, adotest::Password, dataFile.string(),
                                                   missingGroup.string())),
              ado::errc::FileNotFound);
    EXPECT_FALSE(fs::exists(missingData));
    EXPECT_FALSE(fs::exists(missingGroup));
}

TEST_F(Connections, AccountNamesIgnoreCasePasswordsDoNot) {
    auto c = ado::Connection::create();
    c->Open(connectionString("TESTER", adotest::Password));
    EXPECT_EQ(c->State(), 1);
    // A workgroup file holds the accounts it was given and no built-in one.
    EXPECT_EQ(ado::workgroup::accountNames(workgroupFile), (std::vector<std::string>{"tester"}));
    // The stored hash is no password.
    EXPECT_EQ(adotest::readAll(workgroupFile).find("s3cret"), std::string::npos);
}

TEST_F(Connections, AFormerBuiltInAdministratorOpensNothingWhileTheOtherAccountsDo) {
    // A file of the first format: its "Administrator" entry was built in, with a password
    // anyone could read.
    const fs::path old = folder / "Old.mdw";
    ado::workgroup::create(old);
    ado::workgroup::setAccount(old, "Administrator", "known-to-all");
    ado::workgroup::setAccount(old, adotest::User, adotest::Password);
    {
        sqlite3* db = nullptr;
        ASSERT_EQ(sqlite3_open(old.c_str(), &db), SQLITE_OK);
        EXPECT_EQ(sqlite3_exec(db, "PRAGMA user_version=0", nullptr, nullptr, nullptr), SQLITE_OK);
        sqlite3_close(db);
    }
    EXPECT_EQ(openError(ado::buildConnectionString("administrator", "known-to-all", dataFile.string(), old.string())),
              ado::errc::NotAuthorised);
    auto c = ado::Connection::create();
    c->Open(ado::buildConnectionString(adotest::User, adotest::Password, dataFile.string(), old.string()));
    EXPECT_EQ(c->State(), 1);

    // In a file made now, an administrator account is one that was asked for: it opens.
    ado::workgroup::setAccount(workgroupFile, "Administrator", "chosen");
    auto admin = ado::Connection::create();
    admin->Open(connectionString("Administrator", "chosen"));
    EXPECT_EQ(admin->State(), 1);
}

TEST_F(Connections, LastKeyWinsSoTypedTextCannotRedirectTheFiles) {
    // The password holds ";Data Source=/tmp/evil": the genuine data source comes later and wins.
    auto c = open();
    EXPECT_EQ(c->Properties("Data Source"), dataFile.string());
    EXPECT_EQ(c->Properties("User ID"), adotest::User);
    // The password as typed, ";" included, is what the account was checked with.
    EXPECT_EQ(c->Properties("Password"), adotest::Password);
    EXPECT_EQ(c->Properties("Jet OLEDB:Engine Type"), "5");

    // Late-bound, as the main program reads them: Properties(name).Value.
    const com::Variant held{com::ComPtr<ado::IConnection>(c)};
    auto dispatch = held.toDispatch();
    ASSERT_TRUE(dispatch);
    auto property = com::callMethod(*dispatch, "Properties", {com::Variant("Data Source")}).toDispatch();
    EXPECT_EQ(com::getProperty(*property, "Value"), com::Variant(dataFile.string()));
    EXPECT_EQ(com::getProperty(*dispatch, "State"), com::Variant(int32_t{1}));
    EXPECT_EQ(ado::Connection::from(held.toObject()).get(), c.get());
}

TEST_F(Connections, AnAccountHandedOverApartOpensWhateverItsNameHolds) {
    for (const std::string password : {"pw", ""}) {
        const std::string name = "eve;Password=x";
        ado::workgroup::setAccount(workgroupFile, name, password);
        auto c = ado::Connection::create();
        c->Open(ado::buildConnectionString(name, password, dataFile.string(), workgroupFile.string()), name, password);
        EXPECT_EQ(c->Properties("User ID"), name);
        EXPECT_EQ(c->Properties("Data Source"), dataFile.string());
        // The typed name with another password is refused.
        EXPECT_EQ(openError(ado::buildConnectionString(name, "x", dataFile.string(), workgroupFile.string())),
                  ado::errc::NotAuthorised);
    }
}

TEST_F(Connections, MalformedStringsAndForeignFilesAreRefusedUntouched) {
    EXPECT_EQ(openError("Provider=x;Data Source"), ado::errc::BadConnectionString);
    EXPECT_EQ(openError("Provider=x;User ID=a;Password=b"), ado::errc::BadConnectionString);
    const fs::path text = folder / "Notes.mdb";
    { std::ofstream(text) << "this is not a database, just some text that is long enough to fill a header\n"; }
    const std::string before = adotest::readAll(text);
    EXPECT_EQ(openError(
                  ado::buildConnectionString(adotest::User, adotest::Password, text.string(), workgroupFile.string())),
              ado::errc::NotADatabase);
    EXPECT_EQ(adotest::readAll(text), before);
    const fs::path empty = folder / "Empty.mdb";
    { std::ofstream touch(empty); }
    EXPECT_EQ(openError(
                  ado::buildConnectionString(adotest::User, adotest::Password, empty.string(), workgroupFile.string())),
              ado::errc::NotADatabase);
    EXPECT_EQ(fs::file_size(empty), 0u);
    // A database named as the workgroup file is no workgroup file.
    EXPECT_EQ(openError(
                  ado::buildConnectionString(adotest::User, adotest::Password, dataFile.string(), dataFile.string())),
              ado::errc::NotADatabase);
}

TEST_F(Connections, OpenCloseAndTransactionsFollowTheState) {
    auto c = open();
    EXPECT_THROW(c->Open(connectionString()), com::Error);
    c->CursorLocation(3);
    EXPECT_EQ(c->CursorLocation(), 3);
    EXPECT_EQ(c->BeginTrans(), 1);
    EXPECT_EQ(c->BeginTrans(), 2);
    c->Execute("INSERT INTO Nom_Judete (IdJudet, DenJudet) VALUES (1, 'A')");
    c->RollbackTrans();
    c->Execute("INSERT INTO Nom_Judete (IdJudet, DenJudet) VALUES (2, 'B')");
    c->CommitTrans();
    EXPECT_EQ(rawCount("SELECT count(*) FROM Nom_Judete"), 1);
    c->BeginTrans();
    c->Execute("INSERT INTO Nom_Judete (IdJudet, DenJudet) VALUES (3, 'C')");
    c->Close();  // a pending transaction rolls back
    EXPECT_EQ(rawCount("SELECT count(*) FROM Nom_Judete"), 1);
    EXPECT_THROW(c->Close(), com::Error);
    EXPECT_THROW(c->BeginTrans(), com::Error);
    c->Open(connectionString());
    EXPECT_EQ(c->State(), 1);
}

TEST_F(Connections, AReadOnlyConnectionReadsAndRefusesAnythingElse) {
    rawExec("INSERT INTO Nom_Judete (IdJudet, DenJudet) VALUES (1, 'A')");
    auto c = ado::Connection::create();
    EXPECT_EQ(c->Mode(), 0);
    EXPECT_THROW(c->Mode(2), com::Error);
    c->Mode(static_cast<int32_t>(ado::ConnectMode::Read));
    c->Open(connectionString());
    try {
        c->Mode(3);
        ADD_FAILURE() << "the mode of an open connection changed";
    } catch (const com::Error& e) {
        EXPECT_EQ(e.number(), ado::errc::ObjectOpen);
    }
    ado::Recordset rs;
    rs.Open("SELECT DenJudet FROM Nom_Judete", c);
    EXPECT_EQ(rs.field(0).toString(), "A");
    rs.Close();
    for (const char* sql : {"DELETE FROM Nom_Judete", "PRAGMA query_only = 0", "VACUUM"}) {
        try {
            c->Execute(sql);
            ADD_FAILURE() << "ran: " << sql;
        } catch (const com::Error& e) {
            EXPECT_EQ(e.number(), ado::errc::NotAllowed) << sql << ": " << e.description();
        }
    }
    EXPECT_EQ(rawCount("SELECT count(*) FROM Nom_Judete"), 1);
    // Closed and opened again in the default mode, it writes.
    c->Close();
    c->Mode(0);
    c->Open(connectionString());
    c->Execute("DELETE FROM Nom_Judete");
    EXPECT_EQ(rawCount("SELECT count(*) FROM Nom_Judete"), 0);
}

}  // namespace

namespace {

std::pair<mode_t, gid_t> modeAndGroup(const fs::path& file) {
    struct stat st {};
    ::stat(file.c_str(), &st);
    return {st.st_mode & 07777, st.st_gid};
}

// Whether another account can take the database's lock, keeping the owner out.
bool anotherUserCanHold(const fs::path& database) {
    return adotest::inChild(
               [&] {
                   return ado::DatabaseLock(database, ado::DatabaseLock::Kind::Exclusive).held() ||
                                  ado::DatabaseLock(database, ado::DatabaseLock::Kind::Shared).held()
                              ? 1
                              : 0;
               },
               adotest::otherUser()) == 1;
}

}  // namespace

TEST_F(Connections, TheLockIsOpenOnlyToThoseWhoMayWriteTheDatabase) {
    fs::permissions(dataFile, fs::perms::owner_read | fs::perms::owner_write);
    const gid_t group = ::geteuid() == 0 ? 4242 : ::getegid();
    ASSERT_EQ(::chown(dataFile.c_str(), static_cast<uid_t>(-1), group), 0);
    // No file is made for it, and the database keeps its mode and group.
    open()->Close();
    EXPECT_FALSE(fs::exists(fs::symlink_status(dataFile.string() + ".lock")));
    EXPECT_EQ(modeAndGroup(dataFile), std::make_pair(mode_t{0600}, group));
    if (::geteuid() == 0) {
        EXPECT_FALSE(anotherUserCanHold(dataFile));
        // One that may read it, or its group, may not either; one that may write it may.
        fs::permissions(dataFile, fs::perms::group_read | fs::perms::others_read, fs::perm_options::add);
        EXPECT_FALSE(anotherUserCanHold(dataFile));
        fs::permissions(dataFile, fs::perms::others_write, fs::perm_options::add);
        EXPECT_TRUE(anotherUserCanHold(dataFile));
    }
}
