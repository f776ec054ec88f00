// The shared connection: connect, its fixed failure, compaction on connect, disconnect,
// and the error convention of the library's operations.
#include "BusinessFixture.h"

#include <fcntl.h>
#include <grp.h>
#include <sys/wait.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <iterator>
#include <optional>
#include <thread>

#include "ado/compaction.h"
#include "ado/database_lock.h"
#include "ado/error.h"
#include "ado/workgroup.h"

namespace businesstest {
namespace {

class ConnectionTest : public BusinessTest {
protected:
    // Disconnects, leaving deleted rows' free pages that a compaction would give back.
    void leaveFreePages() {
        conection_->Disconnect();
        auto conection = connect();
        exec("CREATE TABLE Umplutura (x TEXT)");
        for (int i = 0; i < 200; ++i) exec("INSERT INTO Umplutura VALUES (printf('%.2000c', 'x'))");
        exec("DELETE FROM Umplutura");
        conection->Disconnect();
    }
};

std::string readBytes(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

ino_t inodeOf(const fs::path& file) {
    struct stat st {};
    return ::stat(file.c_str(), &st) == 0 ? st.st_ino : 0;
}

TEST_F(ConnectionTest, MissingDataFileFailsWithTheFixedMessageAndCreatesNothing) {
    conection_->Disconnect();
    const fs::path missing = dir_ / "Lipsa.mdb";
    auto conection = create<vb::_Conection>(vb::ProgId::Conection);
    const com::Error e =
        errorOf([&] { conection->Connect(missing.string(), workgroup_.string(), User, Password, dir_.string()); });
    EXPECT_EQ(e.number(), ado::errc::FileNotFound);
    EXPECT_EQ(e.description(), connectFailed("Fisierul " + missing.string() + " nu exista."));
    EXPECT_EQ(e.source(), "Ambrel_Core.Conection.Connect");
    EXPECT_FALSE(fs::exists(missing));
    EXPECT_FALSE(fs::exists(dir_ / "Temp.mdb"));
    EXPECT_EQ(ado::Connection::from(ComPtr<com::IUnknown>(conection->get_ConnnectionObject()))->State(), 0);
}

TEST_F(ConnectionTest, RefusedLoginsFailWithTheFixedMessageAndLeaveTheDataFileUntouched) {
    leaveFreePages();
    const std::string bytes = readBytes(data_);
    const auto inode = inodeOf(data_);
    for (const auto& [user, password] :
         {std::pair<std::string, std::string>{User, "gresita"}, {"nimeni", Password}, {"", ""}}) {
        auto conection = create<vb::_Conection>(vb::ProgId::Conection);
        const com::Error e =
            errorOf([&] { conection->Connect(data_.string(), workgroup_.string(), user, password, dir_.string()); });
        EXPECT_EQ(e.number(), ado::errc::NotAuthorised) << user;
        EXPECT_EQ(e.description(), connectFailed(RefusedAccount));
        EXPECT_EQ(e.source(), "Ambrel_Core.Conection.Connect");
        // Nothing was compacted or rewritten: the same file, byte for byte.
        EXPECT_EQ(inodeOf(data_), inode);
        EXPECT_EQ(readBytes(data_), bytes);
        EXPECT_FALSE(fs::exists(dir_ / "Temp.mdb"));
    }
    // The right account compacts and opens.
    conection_ = connect();
    EXPECT_LT(fs::file_size(data_), bytes.size());
}

TEST_F(ConnectionTest, AFailedConnectTellsItsCauseOnALineOfItsOwn) {
    conection_->Disconnect();
    // A file that is no database of the program.
    const fs::path damaged = dir_ / "Stricat.mdb";
    { std::ofstream(damaged) << std::string(4096, 'x'); }
    auto conection = create<vb::_Conection>(vb::ProgId::Conection);
    com::Error e =
        errorOf([&] { conection->Connect(damaged.string(), workgroup_.string(), User, Password, dir_.string()); });
    EXPECT_EQ(e.number(), ado::errc::NotADatabase);
    EXPECT_EQ(e.description(), connectFailed("Fisierul " + damaged.string() +
                                             " nu este o baza de date a aplicatiei sau este deteriorat."));
    // Another run holds the database's lock exclusively past the wait.
    std::optional<ado::DatabaseLock> held(ado::DatabaseLock::take(data_, ado::DatabaseLock::Kind::Exclusive));
    e = errorOf([&] { conection->Connect(data_.string(), workgroup_.string(), User, Password, dir_.string()); });
    held.reset();
    EXPECT_EQ(e.number(), ado::errc::InUse);
    EXPECT_EQ(e.description(), connectFailed("Baza de date este folosita de alt program. Incercati din nou dupa ce "
                                             "acesta o elibereaza."));
    EXPECT_EQ(e.source(), "Ambrel_Core.Conection.Connect");
    conection_ = connect();
}

TEST_F(ConnectionTest, AUserWhoMayOnlyReadTheDatabaseDoesNotLogIn) {
    if (::geteuid() != 0) GTEST_SKIP() << "needs a second account: the tests do not run as root";
    conection_->Disconnect();
    fs::permissions(dir_,
                    fs::perms::group_read | fs::perms::group_exec | fs::perms::others_read | fs::perms::others_exec,
                    fs::perm_options::add);
    fs::permissions(data_,
                    fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read | fs::perms::others_read);
    fs::permissions(workgroup_, fs::perms::others_read, fs::perm_options::add);
    auto conection = create<vb::_Conection>(vb::ProgId::Conection);
    const auto bytes = readBytes(data_);
    // In a child process of another account ("nobody"); it answers 0 when it was told so.
    const pid_t child = ::fork();
    if (child == 0) {
        if (::setgroups(0, nullptr) != 0 || ::setgid(65534) != 0 || ::setuid(65534) != 0) ::_exit(3);
        const com::Error e =
            errorOf([&] { conection->Connect(data_.string(), workgroup_.string(), User, Password, dir_.string()); });
        const bool told =
            e.number() == ado::errc::Engine && e.source() == "Ambrel_Core.Conection.Connect" &&
            e.description() == connectFailed("Baza de date " + data_.string() + " este protejata la scriere.");
        if (!told) std::fprintf(stderr, "%d %s\n", e.number(), e.description().c_str());
        ::_exit(told ? 0 : 1);
    }
    ASSERT_GT(child, 0);
    int status = -1;
    ::waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    EXPECT_EQ(readBytes(data_), bytes);
    conection_ = connect();  // the owner logs in
}

TEST_F(ConnectionTest, ConnectionObjectIsTheSharedConnection) {
    auto first = conection_->get_ConnnectionObject();
    EXPECT_EQ(first, conection_->get_ConnnectionObject());
    EXPECT_EQ(connection()->State(), 1);
    EXPECT_EQ(connection()->Properties("Data Source"), data_.string());
    EXPECT_EQ(connection()->Properties("User ID"), User);
    EXPECT_EQ(com::getProperty(*first, "State").toLong(), 1);
    EXPECT_FALSE(fs::exists(dir_ / "Temp.mdb"));

    // A new Conection drops the open connection: the library's operations then fail on a
    // new, closed one until Connect is called again.
    auto fresh = create<vb::_Conection>(vb::ProgId::Conection);
    EXPECT_NE(fresh->get_ConnnectionObject(), first);
    EXPECT_EQ(ado::Connection::from(ComPtr<com::IUnknown>(fresh->get_ConnnectionObject()))->State(), 0);
    auto judet = create<vb::_Judet>(vb::ProgId::Judet);
    const com::Error e = errorOf([&] { judet->Load(1); });
    EXPECT_EQ(e.number(), ado::errc::ObjectClosed);
    EXPECT_EQ(e.source(), "Ambrel_Core.Judet.Load");
    EXPECT_NE(e.description(), "");
    // Lookup lists trap nothing: the data layer's own error reaches the caller.
    const com::Error raw = errorOf([&] { judet->GetListaComboJudete(); });
    EXPECT_EQ(raw.number(), ado::errc::ObjectClosed);
    EXPECT_EQ(raw.source().rfind("Ambrel_Core", 0), std::string::npos);
}

TEST_F(ConnectionTest, EachThreadHasItsOwnConnection) {
    const auto mine = conection_->get_ConnnectionObject();
    ComPtr<com::IDispatch> theirs;
    int32_t theirState = -1;
    std::thread([&] {
        theirs = conection_->get_ConnnectionObject();
        theirState = ado::Connection::from(ComPtr<com::IUnknown>(theirs))->State();
    }).join();
    EXPECT_NE(theirs, mine);
    EXPECT_EQ(theirState, 0);
    EXPECT_EQ(connection()->State(), 1);
}

TEST_F(ConnectionTest, DisconnectAlwaysAnswersFalseAndNeverRaises) {
    EXPECT_FALSE(conection_->Disconnect());
    EXPECT_FALSE(conection_->Disconnect());
    auto fresh = create<vb::_Conection>(vb::ProgId::Conection);
    EXPECT_FALSE(fresh->Disconnect());
}

TEST_F(ConnectionTest, ConnectLateBoundTakesCursorLocationTwoByDefault) {
    conection_->Disconnect();
    auto conection = com::CreateObject(vb::ProgId::Conection);
    const Variant result = com::callMethod(*conection, "connect",
                                           {Variant(data_.string()), Variant(workgroup_.string()), Variant(User),
                                            Variant(Password), Variant(dir_.string())});
    EXPECT_EQ(result, Variant(true));
    EXPECT_EQ(connection()->CursorLocation(), 2);

    // A cursor location given is the one the connection takes.
    conection_->Disconnect();
    auto client = create<vb::_Conection>(vb::ProgId::Conection);
    ASSERT_TRUE(client->Connect(data_.string(), workgroup_.string(), User, Password, dir_.string(), 3));
    EXPECT_EQ(connection()->CursorLocation(), 3);
}

// Compaction must never leave the data file missing, and must not replace a file that a
// connection holds open (its later writes would go to a file nobody reads again).
TEST_F(ConnectionTest, CompactionNeverLosesTheDataFile) {
    exec("INSERT INTO Nom_Judete (IdJudet, DenJudet) VALUES (1, 'Alba')");
    // Connect again while another connection holds the file: it is not compacted (the
    // other connection's writes stay visible), and the connect goes on.
    auto other = ado::Connection::create();
    other->Open(ado::buildConnectionString(User, Password, data_.string(), workgroup_.string()));
    conection_->Disconnect();
    auto second = connect();
    other->Execute("INSERT INTO Nom_Judete (IdJudet, DenJudet) VALUES (2, 'Arad')");
    EXPECT_EQ(scalar("Select DenJudet From Nom_Judete Where IdJudet=1"), "Alba");
    EXPECT_EQ(scalar("Select DenJudet From Nom_Judete Where IdJudet=2"), "Arad");
    other->Close();
    second->Disconnect();

    // A compaction that fails at its last steps leaves the data file whole.
    for (const auto failing : {ado::CompactStep::Flushed, ado::CompactStep::Checked, ado::CompactStep::Replaced}) {
        ado::setCompactStepHook([failing](ado::CompactStep step) {
            if (step == failing) throw com::Error(5, "test", "injected");
        });
        auto conection = connect();
        ado::setCompactStepHook({});
        EXPECT_EQ(scalar("Select DenJudet From Nom_Judete Where IdJudet=1"), "Alba");
        EXPECT_FALSE(fs::exists(dir_ / "Temp.mdb"));
        conection->Disconnect();
    }
    conection_ = connect();
}

// A file named Temp.mdb in the data folder is the user's: the login's compaction goes through
// a temporary of its own and leaves that file as it was, even while another program has it open.
TEST_F(ConnectionTest, TheLoginCompactionLeavesAUsersTempMdbAsItIs) {
    leaveFreePages();
    const fs::path users = dir_ / "Temp.mdb";
    std::ofstream(users) << "the user's own Temp.mdb";
    const int held = ::open(users.c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_GE(held, 0);
    const auto size = fs::file_size(data_);
    conection_ = connect();
    ::close(held);
    EXPECT_LT(fs::file_size(data_), size);
    EXPECT_EQ(readBytes(users), "the user's own Temp.mdb");
    for (const auto& entry : fs::directory_iterator(dir_))
        EXPECT_EQ(entry.path().filename().string().find(".compact-"), std::string::npos) << entry.path();
}

// Text typed as the user name or password cannot name another data or workgroup file:
// the account is checked exactly as typed, and the library's own keys come last.
TEST_F(ConnectionTest, TypedAccountCannotRedirectTheDataSource) {
    conection_->Disconnect();
    const fs::path decoy = dir_ / "Decoy.mdb";
    fs::copy_file(suiteFolder() / "Velmora.mdb", decoy);
    const std::string tricky = "pw;Data Source=" + decoy.string();
    ado::workgroup::setAccount(workgroup_, "ana", tricky);

    auto conection = create<vb::_Conection>(vb::ProgId::Conection);
    EXPECT_TRUE(conection->Connect(data_.string(), workgroup_.string(), "ana", tricky, dir_.string()));
    EXPECT_EQ(connection()->Properties("Data Source"), data_.string());
    EXPECT_EQ(connection()->Properties("Password"), tricky);  // whole, as the export passes it on
    conection->Disconnect();

    // The operator's real password followed by an injected key is not the password.
    const com::Error e = errorOf([&] {
        conection->Connect(data_.string(), workgroup_.string(), User,
                           std::string(Password) + ";Data Source=" + decoy.string(), dir_.string());
    });
    EXPECT_EQ(e.description(), connectFailed(RefusedAccount));
    const fs::path otherWorkgroup = dir_ / "Other.mdw";
    ado::workgroup::create(otherWorkgroup);
    ado::workgroup::setAccount(otherWorkgroup, "intrus", "x");
    const com::Error e2 = errorOf([&] {
        conection->Connect(data_.string(), workgroup_.string(),
                           "intrus;Jet OLEDB:System database=" + otherWorkgroup.string(), "x", dir_.string());
    });
    EXPECT_EQ(e2.description(), connectFailed(RefusedAccount));
    conection_ = connect();
}

}  // namespace
}  // namespace businesstest
