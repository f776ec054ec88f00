// Parameter values: conversions, the rule for a parameter with no value, and binding into the
// queries as SQL values on a read-only connection with the user's account.
#include <gtest/gtest.h>

#include <QLocale>

#include <set>

#include "support.h"

namespace {

using reports::Application;
using reports::ParameterField;
using reports::ParameterType;
namespace errc = reports::errc;

TEST(ParameterValues, IntegersAcceptWholeNumbersAndRefuseAnythingElse) {
    ParameterField f("pIdPerioada", ParameterType::Integer, com::Variant(), "", "r.vrpt");
    f.AddCurrentValue(int16_t{7});
    EXPECT_EQ(f.CurrentValue(), com::Variant(int32_t{7}));
    f.AddCurrentValue(int32_t{-1});
    EXPECT_EQ(f.CurrentValue(), com::Variant(int32_t{-1}));
    f.AddCurrentValue(12.0);
    EXPECT_EQ(f.CurrentValue(), com::Variant(int32_t{12}));
    f.AddCurrentValue(" 40 ");
    EXPECT_EQ(f.CurrentValue(), com::Variant(int32_t{40}));
    f.AddCurrentValue(com::Currency::fromInteger(3));
    EXPECT_EQ(f.CurrentValue(), com::Variant(int32_t{3}));
    for (const com::Variant& bad :
         {com::Variant("1 OR 1=1"), com::Variant("12abc"), com::Variant(""), com::Variant(1.5),
          com::Variant(com::Date::fromYmd(2024, 1, 1)), com::Variant(9e12)}) {
        const com::Error e = rtest::raised([&] { f.AddCurrentValue(bad); });
        EXPECT_EQ(e.number(), errc::BadParameter);
        EXPECT_NE(e.description().find("pIdPerioada"), std::string::npos) << e.description();
        EXPECT_NE(e.description().find("r.vrpt"), std::string::npos) << e.description();
        EXPECT_EQ(f.CurrentValue(), com::Variant(int32_t{3}));  // the previous value stays
    }
    f.AddCurrentValue(com::Variant::null());
    EXPECT_FALSE(f.HasCurrentValue());
}

TEST(ParameterValues, DatesAcceptIsoDottedAndSlashedText) {
    QLocale::setDefault(QLocale(QLocale::Romanian, QLocale::Romania));
    const comtest::ScopedUserLocale romanian(comtest::romanian());
    ParameterField f("@Data inceput", ParameterType::Date, com::Variant(), "");
    const com::Variant march1(com::Date::fromYmd(2024, 3, 1));
    for (const char* text :
         {"2024-03-01", "2024-03-01 00:00:00", "01.03.2024", "1.3.2024", "01/03/2024", " 01.03.2024 "}) {
        f.ClearCurrentValueAndRange();
        f.AddCurrentValue(text);
        EXPECT_EQ(f.CurrentValue(), march1) << text;
    }
    f.AddCurrentValue(com::Date::fromYmd(2024, 2, 29));
    EXPECT_EQ(f.CurrentValue(), com::Variant(com::Date::fromYmd(2024, 2, 29)));
    for (const char* bad : {"31.02.2024", "2024-13-01", "ieri", "01.03", "'; DROP TABLE Nom_Judete; --"})
        EXPECT_EQ(rtest::raised([&] { f.AddCurrentValue(bad); }).number(), errc::BadParameter) << bad;
    EXPECT_EQ(f.CurrentValue(), com::Variant(com::Date::fromYmd(2024, 2, 29)));
    QLocale::setDefault(QLocale::system());
}

TEST(ParameterValues, NumbersAndTexts) {
    ParameterField number("@Suma", ParameterType::Number, com::Variant(), "");
    number.AddCurrentValue(com::Currency::fromUnits(12345));
    EXPECT_EQ(number.CurrentValue(), com::Variant(com::Currency::fromUnits(12345)));
    number.AddCurrentValue(int16_t{4});
    EXPECT_EQ(number.CurrentValue(), com::Variant(int32_t{4}));
    EXPECT_EQ(rtest::raised([&] { number.AddCurrentValue("patru"); }).number(), errc::BadParameter);
    ParameterField text("@Nume", ParameterType::Text, com::Variant(), "");
    text.AddCurrentValue(int32_t{12});
    EXPECT_EQ(text.CurrentValue(), com::Variant("12"));
    text.AddCurrentValue("0|");
    EXPECT_EQ(text.CurrentValue(), com::Variant("0|"));
}

// Reports over the sample database with the test's own definitions.
class Binding : public rtest::OnSampleData<> {
protected:
    std::shared_ptr<reports::Report> report(const std::string& parameters, const std::string& query,
                                            const std::string& detail, const std::string& footer = "") {
        const std::string xml = "<report version=\"1\"><parameters>" + parameters + "</parameters><query><![CDATA[" +
                                query + "]]></query><detail height=\"240\">" + detail +
                                "</detail><reportFooter height=\"240\">" + footer + "</reportFooter></report>";
        return rtest::open(rtest::writeReport(data_->folder(), "proba.vrpt", xml), *data_);
    }
};

TEST_F(Binding, AHostileTextIsAValueNeverPartOfTheQuery) {
    rawdb::rawExec(data_->database(),
                   "INSERT OR REPLACE INTO Nom_Spitale (IdSpital, CodSpital, DenSpital, IdJudet) "
                   "VALUES (90, 'X90', 'O''Brien''); DROP TABLE Nom_Judete; --', 1)");
    auto r = report("<parameter name=\"@Nume\" type=\"text\"/>",
                    "SELECT DenSpital FROM Nom_Spitale WHERE DenSpital = {?@Nume}",
                    "<field w=\"5000\" h=\"240\" column=\"DenSpital\"/>", "<count w=\"2000\" h=\"240\"/>");
    rtest::setValue(*r, "@Nume", "x' OR '1'='1");
    r->Run();
    EXPECT_EQ(r->pageTexts(1), std::vector<std::string>{"0"});
    rtest::setValue(*r, "@Nume", "O'Brien'); DROP TABLE Nom_Judete; --");
    r->Run();
    EXPECT_EQ(r->pageTexts(1), (std::vector<std::string>{"O'Brien'); DROP TABLE Nom_Judete; --", "1"}));
    EXPECT_EQ(rawdb::rawInt(data_->database(), "SELECT count(*) FROM Nom_Judete"), 42);
    rawdb::rawExec(data_->database(), "DELETE FROM Nom_Spitale WHERE IdSpital = 90");
}

TEST_F(Binding, DatesGivenAsTextCompareWithStoredDates) {
    auto r = report(
        "<parameter name=\"@Data inceput\" type=\"date\"/><parameter name=\"@Data sfarsit\" type=\"date\"/>",
        "SELECT DenPerioada FROM Nom_Perioade WHERE DataStart >= {?@Data inceput} AND DataEnd <= {?@Data sfarsit} "
        "ORDER BY DataStart",
        "<field w=\"5000\" h=\"240\" column=\"DenPerioada\"/>");
    rtest::setValue(*r, "@Data inceput", "01.02.2024");
    rtest::setValue(*r, "@Data sfarsit", "2024-03-31");
    r->Run();
    EXPECT_EQ(r->pageTexts(1), (std::vector<std::string>{"Februarie 2024", "Martie 2024"}));
    rtest::setValue(*r, "@Data sfarsit", "30/03/2024");  // March does not end inside
    r->Run();
    EXPECT_EQ(r->pageTexts(1), std::vector<std::string>{"Februarie 2024"});
}

TEST_F(Binding, AParameterWithoutValueTakesItsDefaultElseTheRunStops) {
    auto r = report(
        "<parameter name=\"pIdJudet\" type=\"integer\" default=\"12\"/><parameter name=\"@Nume\" type=\"text\"/>",
        "SELECT DenJudet FROM Nom_Judete WHERE IdJudet = {?pIdJudet} OR DenJudet = {?@Nume}",
        "<field w=\"5000\" h=\"240\" column=\"DenJudet\"/>");
    const com::Error e = rtest::raised([&] { r->Run(); });
    EXPECT_EQ(e.number(), errc::MissingValue);
    EXPECT_NE(e.description().find("@Nume"), std::string::npos) << e.description();
    EXPECT_FALSE(r->hasRun());
    rtest::setValue(*r, "@Nume", "");
    r->Run();
    EXPECT_EQ(r->pageTexts(1).size(), 1u);  // county 12 by default
}

TEST_F(Binding, AValueTooLargeFailsTheQuery) {
    for (const char* query : {"SELECT Cstr(1e999) AS X FROM Nom_Judete", "SELECT Cstr(-1e999) AS X FROM Nom_Judete"}) {
        auto r = report("", query, "<field w=\"5000\" h=\"240\" column=\"X\"/>");
        const com::Error e = rtest::raised([&] { r->Run(); });
        EXPECT_EQ(e.number(), errc::QueryFailed) << query;
        EXPECT_NE(e.description().find("a esuat: Valoare prea mare."), std::string::npos) << e.description();
        EXPECT_FALSE(r->hasRun());
    }
}

TEST_F(Binding, TheConnectionOnlyReadsAndChecksTheAccount) {
    auto r = report("", "DELETE FROM Nom_Judete", "");
    com::Error e = rtest::raised([&] { r->Run(); });
    EXPECT_EQ(e.number(), errc::QueryFailed);
    EXPECT_NE(e.description().find("main"), std::string::npos) << e.description();
    EXPECT_EQ(rawdb::rawInt(data_->database(), "SELECT count(*) FROM Nom_Judete"), 42);

    r = report("", "SELECT DenJudet FROM Nom_Judete", "<field w=\"5000\" h=\"240\" column=\"DenJudet\"/>");
    r->Database().Tables(1).SetLogOnInfo("Velmora.mdb", data_->database().string(), rtest::kUser, "gresita");
    e = rtest::raised([&] { r->Run(); });
    EXPECT_EQ(e.number(), errc::QueryFailed);
    EXPECT_NE(e.description().find(data_->database().string()), std::string::npos) << e.description();
    EXPECT_FALSE(r->hasRun());

    reports::Application application;
    auto fresh = application.OpenReport(data_->folder() / "proba.vrpt", 1);
    EXPECT_EQ(rtest::raised([&] { fresh->Run(); }).number(), errc::NotLoggedOn);
}

TEST_F(Binding, NoQueryOfAReportWritesOrCreatesAFile) {
    namespace fs = std::filesystem;
    const auto listing = [&] {
        std::set<std::string> names;
        for (const auto& entry : fs::directory_iterator(data_->folder()))
            names.insert(entry.path().filename().string());
        return names;
    };
    const std::string copy = (data_->folder() / "copie.mdb").string(), other = (data_->folder() / "alta.mdb").string();
    // A harmless run first: the lock file that every connection shares is there from now on.
    report("", "SELECT DenJudet FROM Nom_Judete", "<field w=\"5000\" h=\"240\" column=\"DenJudet\"/>")->Run();
    const std::string bytes = rawdb::readAll(data_->database());
    const std::set<std::string> files = listing();
    const auto twoQueries = [&](const std::string& first, const std::string& second) {
        const std::string xml = "<report version=\"1\"><query><![CDATA[" + first +
                                "]]></query><query name=\"doi\"><![CDATA[" + second +
                                "]]></query><detail height=\"240\"/></report>";
        return rtest::open(rtest::writeReport(data_->folder(), "proba.vrpt", xml), *data_);
    };
    const std::vector<std::pair<std::string, std::string>> attempts{
        {"PRAGMA query_only = 0", "DELETE FROM Velmora_Spital"},
        {"SELECT 1 AS X", "PRAGMA query_only = 0"},
        {"SELECT 1 AS X", "DELETE FROM Velmora_Spital"},
        {"SELECT 1 AS X", "UPDATE Nom_Judete SET DenJudet = 'X'"},
        {"SELECT 1 AS X", "INSERT INTO Nom_Judete (IdJudet, DenJudet) VALUES (99, 'X')"},
        {"SELECT 1 AS X", "DROP TABLE Nom_Judete"},
        {"SELECT 1 AS X", "CREATE TABLE Nou (a)"},
        {"SELECT 1 AS X", "CREATE TEMP TABLE Nou (a)"},
        {"SELECT 1 AS X", "PRAGMA journal_mode = WAL"},
        {"SELECT 1 AS X", "PRAGMA user_version = 7"},
        {"SELECT 1 AS X", "ATTACH '" + other + "' AS alta"},
        {"SELECT 1 AS X", "VACUUM INTO '" + copy + "'"},
        {"SELECT 1 AS X", "VACUUM"},
        {"SELECT 1 AS X", "BEGIN IMMEDIATE"},
        {"SELECT 1 AS X", "SELECT load_extension('" + (data_->folder() / "x.so").string() + "')"},
    };
    for (const auto& [first, second] : attempts) {
        SCOPED_TRACE(first + " / " + second);
        auto r = twoQueries(first, second);
        const com::Error e = rtest::raised([&] { r->Run(); });
        EXPECT_EQ(e.number(), errc::QueryFailed);
        EXPECT_NE(e.description().find("poate numai citi"), std::string::npos) << e.description();
        EXPECT_FALSE(r->hasRun());
        EXPECT_TRUE(rawdb::readAll(data_->database()) == bytes);
        EXPECT_EQ(listing(), files);
    }
    EXPECT_EQ(rawdb::rawInt(data_->database(), "SELECT count(*) FROM Velmora_Spital") > 0, true);
}

TEST_F(Binding, ALogOnThatFailsSaysWhyInRomanian) {
    // A database without its workgroup file beside it, then a wrong password.
    test::TempFolder alone("reports-logon");
    const auto database = alone.path() / "Velmora.mdb";
    std::filesystem::copy_file(data_->database(), database);
    auto r = report("", "SELECT DenJudet FROM Nom_Judete", "<field w=\"5000\" h=\"240\" column=\"DenJudet\"/>");
    r->Database().Tables(1).SetLogOnInfo("Velmora.mdb", database.string(), rtest::kUser, rtest::kPassword);
    com::Error e = rtest::raised([&] { r->Run(); });
    EXPECT_EQ(e.number(), errc::QueryFailed);
    const std::string missing = "Fisierul " + (alone.path() / "Velmora.mdw").string() + " nu exista.";
    EXPECT_NE(e.description().find(missing), std::string::npos) << e.description();
    r->Database().Tables(1).SetLogOnInfo("Velmora.mdb", data_->database().string(), rtest::kUser, "gresita");
    e = rtest::raised([&] { r->Run(); });
    EXPECT_NE(e.description().find("Utilizatorul sau parola nu sunt corecte."), std::string::npos) << e.description();
}

TEST_F(Binding, EachRunReadsTheDataAfresh) {
    auto r = report("", "SELECT CodSpital FROM Nom_Spitale ORDER BY IdSpital",
                    "<field w=\"5000\" h=\"240\" column=\"CodSpital\"/>");
    r->Run();
    const auto before = r->pageTexts(1).size();
    rawdb::rawExec(data_->database(), "INSERT INTO Nom_Spitale (IdSpital, CodSpital) VALUES (91, 'NOU')");
    r->Run();
    EXPECT_EQ(r->pageTexts(1).size(), before + 1);
    // Kept pages only when asked, and only for the same values.
    r->AlwaysRefreshData(false);
    rawdb::rawExec(data_->database(), "DELETE FROM Nom_Spitale WHERE IdSpital = 91");
    r->Run();
    EXPECT_EQ(r->pageTexts(1).size(), before + 1);
    r->AlwaysRefreshData(true);
    r->Run();
    EXPECT_EQ(r->pageTexts(1).size(), before);
}

TEST_F(Binding, SqlErrorsAndUnknownColumnsNameTheirCause) {
    auto r = report("", "SELECT * FROM NuExista", "");
    com::Error e = rtest::raised([&] { r->Run(); });
    EXPECT_EQ(e.number(), errc::QueryFailed);
    EXPECT_NE(e.description().find("NuExista"), std::string::npos) << e.description();
    EXPECT_NE(e.description().find("proba.vrpt"), std::string::npos) << e.description();

    r = report("", "SELECT DenJudet FROM Nom_Judete", "<field w=\"5000\" h=\"240\" column=\"Judet\"/>");
    e = rtest::raised([&] { r->Run(); });
    EXPECT_EQ(e.number(), errc::UnknownColumn);
    EXPECT_NE(e.description().find("\"Judet\""), std::string::npos) << e.description();
    EXPECT_FALSE(r->hasRun());
    EXPECT_EQ(rtest::raised([&] { r->PageCount(); }).number(), errc::NotRun);
}

}  // namespace
