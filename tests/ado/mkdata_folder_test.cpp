// The data folder that mkdata makes for a hospital and keeps going: whole or not at all, open
// to the group named, and changed only while the program does not hold the database.
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>

#include "com/error.h"
#include "ado/compaction.h"
#include "datafolder.h"
#include "fixture.h"
#include "maintenance.h"

namespace {

namespace fs = std::filesystem;

constexpr gid_t StaffGroup = 54321;  // a group that no account of the machine belongs to

std::string passwordOf(const std::string& account) { return "pw-" + account; }

std::pair<mode_t, gid_t> modeAndGroup(const fs::path& file) {
    struct stat st {};
    ::stat(file.c_str(), &st);
    return {st.st_mode & 07777, st.st_gid};
}

// Every name in the folder and below it, hidden ones included, with its mode and group.
std::vector<std::string> contents(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        const auto [mode, group] = modeAndGroup(entry.path());
        names.push_back(fs::relative(entry.path(), folder).string() + " " + std::to_string(mode) + " " +
                        std::to_string(group));
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::string failureOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const std::exception& e) {
        return e.what();
    }
    return {};
}

class HospitalFolder : public adotest::DataFolder {
protected:
    void SetUp() override {
        adotest::DataFolder::SetUp();
        hospital = folder / "spital";
    }
    mkdata::DataFolderRequest request() const {
        mkdata::DataFolderRequest r;
        r.folder = hospital;
        r.hospitalCode = "SJU01";
        r.hospitalName = "Spitalul \"Sf. Ion\" al O'Neill-ilor; -- %_";
        r.county = "cLuJ";
        r.accounts = {"operator", "ana"};
        return r;
    }
    mkdata::FolderFiles files() const { return {hospital / "Velmora.mdb", hospital / "Velmora.mdw"}; }
    com::ComPtr<ado::Connection> openAs(const std::string& account) const {
        auto c = ado::Connection::create();
        c->Open(ado::buildConnectionString(account, passwordOf(account), (hospital / "Velmora.mdb").string(),
                                           (hospital / "Velmora.mdw").string()));
        return c;
    }
    int64_t count(const std::string& sql) const {
        auto c = openAs("operator");
        ado::Recordset rs;
        rs.Open("SELECT Count(*) As N FROM " + sql, c);
        const int64_t n = rs.field("N").toLong();
        rs.Close();
        c->Close();
        return n;
    }
    static bool root() { return ::geteuid() == 0; }

    fs::path hospital;
};

TEST_F(HospitalFolder, MakesTheWholeFolderWithTheHospitalAndTheAccountsNamed) {
    const auto made = mkdata::makeDataFolder(request(), passwordOf);
    EXPECT_EQ(made.idJudet, 13);
    EXPECT_EQ(made.idSpital, 1);
    for (const char* sub : {"backup", "export"}) EXPECT_TRUE(fs::is_directory(hospital / sub)) << sub;
    EXPECT_EQ(ado::workgroup::accountNames(hospital / "Velmora.mdw"), (std::vector<std::string>{"ana", "operator"}));
    // The name as given, every character; the reference data of the program, not the sample.
    auto c = openAs("ana");
    ado::Recordset rs;
    rs.Open("SELECT CodSpital, DenSpital, IdJudet FROM Nom_Spitale", c);
    EXPECT_EQ(rs.field("CodSpital").toString(), "SJU01");
    EXPECT_EQ(rs.field("DenSpital").toString(), request().hospitalName);
    EXPECT_EQ(rs.field("IdJudet").toLong(), 13);
    rs.MoveNext();
    EXPECT_TRUE(rs.Eof());
    rs.Close();
    c->Close();
    EXPECT_EQ(count("Nom_Perioade"), 144);
    EXPECT_EQ(count("Velmora_Spital"), 0);
    EXPECT_GT(count("Rapoarte"), 0);

    // A county by its IdJudet, into an existing empty folder.
    auto other = request();
    other.folder = folder / "other";
    other.county = "42";
    fs::create_directory(other.folder);
    EXPECT_EQ(mkdata::makeDataFolder(other, passwordOf).idJudet, 42);
}

TEST_F(HospitalFolder, RefusesBeforeMakingAnything) {
    int asked = 0;
    const auto counting = [&](const std::string& account) {
        ++asked;
        return passwordOf(account);
    };
    auto r = request();
    r.county = "Atlantida";
    const std::string refusal = failureOf([&] { mkdata::makeDataFolder(r, counting); });
    EXPECT_NE(refusal.find("no county 'Atlantida'"), std::string::npos) << refusal;
    EXPECT_NE(refusal.find("13 Cluj"), std::string::npos) << refusal;
    EXPECT_NE(refusal.find("42 Bucuresti"), std::string::npos) << refusal;
    r = request();
    r.accounts = {"ana", "ANA"};
    EXPECT_NE(failureOf([&] { mkdata::makeDataFolder(r, counting); }).find("named twice"), std::string::npos);
    EXPECT_EQ(asked, 0);
    EXPECT_FALSE(fs::exists(hospital));

    // An existing folder that holds either file is left alone.
    fs::create_directory(hospital);
    { std::ofstream(hospital / "Velmora.mdw") << "keep"; }
    const auto before = contents(hospital);
    EXPECT_EQ(failureOf([&] { mkdata::makeDataFolder(request(), counting); }),
              (hospital / "Velmora.mdw").string() + ": already exists");
    EXPECT_EQ(contents(hospital), before);
    EXPECT_EQ(asked, 0);
}

TEST_F(HospitalFolder, AFailureAtAnyStepLeavesTheFolderAsItWas) {
    using Step = mkdata::FolderStep;
    for (const Step failing : {Step::Folder, Step::Subfolders, Step::Workgroup, Step::Hospital, Step::Database}) {
        const auto failAt = [failing](Step step) {
            if (step == failing) throw std::runtime_error("stop");
        };
        // A new folder: none left.
        EXPECT_EQ(failureOf([&] { mkdata::makeDataFolder(request(), passwordOf, failAt); }), "stop");
        EXPECT_FALSE(fs::exists(hospital)) << static_cast<int>(failing);

        // An existing one, with the group named where the tests may give it: its mode, group
        // and files as they were, no temporary file among them.
        fs::create_directories(hospital / "export");
        ::chmod(hospital.c_str(), 0751);
        { std::ofstream(hospital / "notes.txt") << "keep"; }
        const auto before = contents(hospital);
        const auto groupBefore = modeAndGroup(hospital);
        auto r = request();
        if (root()) r.group = StaffGroup;
        EXPECT_EQ(failureOf([&] { mkdata::makeDataFolder(r, passwordOf, failAt); }), "stop");
        EXPECT_EQ(contents(hospital), before) << static_cast<int>(failing);
        EXPECT_EQ(modeAndGroup(hospital), groupBefore) << static_cast<int>(failing);
        fs::remove_all(hospital);
    }
}

TEST_F(HospitalFolder, TheGroupNamedOwnsAndMayWriteEverything) {
    if (!root()) GTEST_SKIP() << "only root may give the files to a group it does not belong to";
    auto r = request();
    r.group = StaffGroup;
    mkdata::makeDataFolder(r, passwordOf);
    for (const char* sub : {".", "backup", "export"})
        EXPECT_EQ(modeAndGroup(hospital / sub), std::make_pair(mode_t{02770}, StaffGroup)) << sub;
    for (const char* file : {"Velmora.mdb", "Velmora.mdw"})
        EXPECT_EQ(modeAndGroup(hospital / file), std::make_pair(mode_t{0660}, StaffGroup)) << file;
}

TEST_F(HospitalFolder, AMemberOfTheGroupWhoIsNotRootSavesBacksUpAndExports) {
    if (!root()) GTEST_SKIP() << "the tests need root to run a child as another account with another group";
    auto r = request();
    r.group = StaffGroup;
    mkdata::makeDataFolder(r, passwordOf);
    const auto staffWork = [&] {
        auto c = openAs("operator");
        c->Execute("INSERT INTO Lista_Sectii___Filtrat (IdSpital, IdSectie, NrSectie) VALUES (1, 1, 1)");
        c->Close();
        ado::copyDatabase(hospital / "Velmora.mdb", hospital / "backup" / "VelmoraBck__03.02.2025.mdb");
        ado::copyDatabase(hospital / "Velmora.mdb", hospital / "export" / "Velmora_Cluj_SJU01.mdb");
        return 0;
    };
    EXPECT_EQ(adotest::inChild(staffWork, adotest::otherUser(), StaffGroup), 0);
    EXPECT_EQ(count("Lista_Sectii___Filtrat"), 1);
    for (const char* copy : {"backup/VelmoraBck__03.02.2025.mdb", "export/Velmora_Cluj_SJU01.mdb"})
        EXPECT_EQ(modeAndGroup(hospital / copy), std::make_pair(mode_t{0660}, StaffGroup)) << copy;
    // Someone outside the group cannot even log in, and is told why (not that a file is missing).
    const std::string refused =
        "Fisierul " + (hospital / "Velmora.mdw").string() + " nu poate fi citit: acces refuzat.";
    EXPECT_EQ(adotest::inChild(
                  [&] {
                      try {
                          openAs("operator");
                      } catch (const com::Error& e) {
                          return e.description().find(refused) != std::string::npos ? 2 : 3;
                      }
                      return 0;
                  },
                  adotest::otherUser()),
              2);
}

class DataFolderInUse : public HospitalFolder {
protected:
    void SetUp() override {
        HospitalFolder::SetUp();
        auto r = request();
        if (root()) r.group = StaffGroup;
        mkdata::makeDataFolder(r, passwordOf);
        for (const char* file : {"Velmora.mdb", "Velmora.mdw"}) ownership.push_back(modeAndGroup(hospital / file));
    }
    void expectOwnershipKept() const {
        EXPECT_EQ(modeAndGroup(hospital / "Velmora.mdb"), ownership[0]);
        EXPECT_EQ(modeAndGroup(hospital / "Velmora.mdw"), ownership[1]);
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(hospital))
            if (entry.path().filename().string().front() == '.') names.push_back(entry.path().filename().string());
        EXPECT_TRUE(names.empty()) << names.front();  // no temporary file left
    }
    std::vector<std::pair<mode_t, gid_t>> ownership;
};

TEST_F(DataFolderInUse, AccountsAreAddedRemovedAndChangedOnlyWhileTheProgramIsOut) {
    const std::string held = "has the database open";
    {
        auto running = openAs("operator");  // the program, logged in
        const auto workgroup = adotest::readAll(hospital / "Velmora.mdw");
        EXPECT_NE(failureOf([&] { mkdata::addAccount(files(), "ion", passwordOf); }).find(held), std::string::npos);
        EXPECT_NE(failureOf([&] { mkdata::removeAccount(files(), "ana"); }).find(held), std::string::npos);
        EXPECT_NE(failureOf([&] { mkdata::changePassword(files(), "ana", [](auto&) { return "new"; }); }).find(held),
                  std::string::npos);
        EXPECT_EQ(adotest::readAll(hospital / "Velmora.mdw"), workgroup);
        running->Close();
    }
    mkdata::addAccount(files(), "ion", passwordOf);
    ado::workgroup::authenticate(hospital / "Velmora.mdw", "ion", "pw-ion");
    EXPECT_NE(failureOf([&] { mkdata::addAccount(files(), "ION", passwordOf); }).find("exists already"),
              std::string::npos);
    mkdata::changePassword(files(), "ana", [](auto&) { return "new"; });
    ado::workgroup::authenticate(hospital / "Velmora.mdw", "ana", "new");
    EXPECT_THROW(ado::workgroup::authenticate(hospital / "Velmora.mdw", "ana", "pw-ana"), com::Error);
    EXPECT_NE(failureOf([&] { mkdata::changePassword(files(), "nobody", passwordOf); }).find("no account nobody"),
              std::string::npos);
    mkdata::removeAccount(files(), "ana");
    mkdata::removeAccount(files(), "ion");
    EXPECT_NE(failureOf([&] { mkdata::removeAccount(files(), "operator"); }).find("last account"), std::string::npos);
    EXPECT_EQ(ado::workgroup::accountNames(hospital / "Velmora.mdw"), std::vector<std::string>{"operator"});
    expectOwnershipKept();
}

TEST_F(DataFolderInUse, TheTwelvePeriodsOfAYearInOneTransaction) {
    {
        auto running = openAs("operator");
        EXPECT_NE(failureOf([&] { mkdata::addPeriods(files(), 2036); }).find("has the database open"),
                  std::string::npos);
        running->Close();
    }
    EXPECT_EQ(count("Nom_Perioade"), 144);
    mkdata::addPeriods(files(), 2036);
    EXPECT_EQ(count("Nom_Perioade"), 156);
    EXPECT_EQ(count("Nom_Perioade WHERE IdPerioada = 146 AND DenPerioada = 'Februarie 2036' AND "
                    "DataStart = '2036-02-01 00:00:00' AND DataEnd = '2036-02-29 00:00:00'"),
              1);
    EXPECT_EQ(count("Nom_Perioade WHERE IdPerioada = 156 AND DenPerioada = 'Decembrie 2036' AND "
                    "DataEnd = '2036-12-31 00:00:00'"),
              1);
    // A year with any period in it is present.
    EXPECT_NE(failureOf([&] { mkdata::addPeriods(files(), 2030); }).find("the periods of 2030 are there already"),
              std::string::npos);
    // A failure on the seventh month adds none of them.
    auto c = openAs("operator");
    c->Execute(
        "CREATE TRIGGER Refuse BEFORE INSERT ON Nom_Perioade WHEN NEW.DenPerioada = 'Iulie 2037' "
        "BEGIN SELECT RAISE(ABORT, 'refused'); END");
    c->Close();
    EXPECT_NE(failureOf([&] { mkdata::addPeriods(files(), 2037); }).find("refused"), std::string::npos);
    EXPECT_EQ(count("Nom_Perioade"), 156);
    expectOwnershipKept();
}

// The periods the tool adds are those of the periods script, character for character.
TEST(PeriodsScript, HoldsTheYearsUpTo2035InTheToolsOwnForm) {
    std::string expected = "-- Monthly periods, January 2024 to December 2035.\n";
    for (int year = 2024; year <= 2035; ++year) expected += mkdata::periodsOfYear(year, (year - 2024) * 12);
    EXPECT_EQ(adotest::readAll(fs::path(VELMORA_DATA_DIR) / "perioade.sql"), expected);
}

}  // namespace
