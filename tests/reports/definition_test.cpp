// Opening report files: what a missing, malformed or unknown definition says, and that a
// good one is read without being touched.
#include <gtest/gtest.h>

#include "support.h"

namespace {

using reports::Application;
namespace errc = reports::errc;

class Definitions : public ::testing::Test {
protected:
    test::TempFolder folder_{"velmora-report-defs"};

    com::Error openFails(const std::string& xml) {
        const auto file = rtest::writeReport(folder_.path(), "bad.vrpt", xml);
        return rtest::raised([&] { Application().OpenReport(file, 1); });
    }
};

TEST_F(Definitions, MissingFileOrFolderIsReportedWithItsPath) {
    const auto missing = folder_.path() / "Rapoarte" / "Nu.vrpt";
    com::Error e = rtest::raised([&] { Application().OpenReport(missing, 1); });
    EXPECT_EQ(e.number(), errc::FileNotFound);
    EXPECT_NE(e.description().find(missing.string()), std::string::npos) << e.description();
    EXPECT_NE(e.description().find("nu exista"), std::string::npos);

    std::filesystem::create_directories(folder_.path() / "Dosar.vrpt");
    e = rtest::raised([&] { Application().OpenReport(folder_.path() / "Dosar.vrpt", 1); });
    EXPECT_EQ(e.number(), errc::FileNotFound);
    EXPECT_NE(e.description().find("director"), std::string::npos) << e.description();
}

TEST_F(Definitions, MalformedXmlNamesTheFileAndTheLine) {
    const com::Error e =
        openFails("<report version=\"1\">\n<query>SELECT 1</query>\n<detail height=\"10\">\n</report>");
    EXPECT_EQ(e.number(), errc::BadDefinition);
    EXPECT_NE(e.description().find((folder_.path() / "bad.vrpt").string()), std::string::npos) << e.description();
    EXPECT_NE(e.description().find("XML"), std::string::npos) << e.description();
    EXPECT_NE(e.description().find("linia 4"), std::string::npos) << e.description();
}

TEST_F(Definitions, UnknownVersionIsRefused) {
    const com::Error e = openFails("<report version=\"2\"><query>SELECT 1</query></report>");
    EXPECT_EQ(e.number(), errc::BadVersion);
    EXPECT_NE(e.description().find("versiunea 2"), std::string::npos) << e.description();
}

// Each faulty definition is refused with a description that points at the fault.
TEST_F(Definitions, FaultsInADefinitionAreNamed) {
    const std::pair<const char*, const char*> cases[] = {
        {"<raport version=\"1\"/>", "<report>"},
        {"<report><query>SELECT 1</query></report>", "version"},
        {"<report version=\"1\"/>", "nicio interogare"},
        {"<report version=\"1\"><query>SELECT {?pX}</query></report>", "{?pX}"},
        {"<report version=\"1\"><query>SELECT {?pX</query></report>", "neinchis"},
        {"<report version=\"1\"><parameters><parameter name=\"a\" type=\"integer\"/><parameter "
         "name=\"a\"/></parameters>"
         "<query>SELECT 1</query></report>",
         "de doua ori"},
        {"<report version=\"1\"><parameters><parameter name=\"a\" type=\"intreg\"/></parameters><query>SELECT "
         "1</query></report>",
         "intreg"},
        {"<report version=\"1\"><parameters><parameter name=\"a\" type=\"integer\" default=\"x\"/></parameters>"
         "<query>SELECT 1</query></report>",
         "valoarea implicita"},
        {"<report version=\"1\"><query>SELECT 1</query><detail height=\"10\"><picture/></detail></report>",
         "<picture>"},
        {"<report version=\"1\"><query>SELECT 1</query><detail height=\"x\"/></report>", "height=\"x\""},
        {"<report version=\"1\"><query>SELECT 1</query><detail height=\"10\"><field x=\"0\"/></detail></report>",
         "column"},
        {"<report version=\"1\"><query>SELECT 1</query><detail><field column=\"a\" format=\"euro\"/></detail></report>",
         "euro"},
        {"<report version=\"1\"><query>SELECT 1</query><detail><text color=\"nuanta\">a</text></detail></report>",
         "nuanta"},
        {"<report version=\"1\"><query>SELECT 1</query><detail><text font=\"Sans,-3\">a</text></detail></report>",
         "fontului"},
        {"<report version=\"1\"><page size=\"B9\"/><query>SELECT 1</query></report>", "B9"},
        {"<report version=\"1\"><page margins=\"9000 9000 9000 9000\"/><query>SELECT 1</query></report>", "marginile"},
        {"<report version=\"1\"><query>SELECT 1</query><group/></report>", "column"},
        {"<report version=\"1\"><query>SELECT 1</query><footer/></report>", "<footer>"},
        {"<report version=\"1\"><query>SELECT 1</query><query>SELECT 2</query></report>", "nume"},
        {"<report version=\"1\"><query>SELECT 1<computed name=\"x\"/></query></report>", "nu aduna"},
    };
    for (const auto& [xml, fragment] : cases) {
        const com::Error e = openFails(xml);
        EXPECT_EQ(e.number(), errc::BadDefinition) << xml;
        EXPECT_NE(e.description().find(fragment), std::string::npos) << xml << "\n  -> " << e.description();
        EXPECT_EQ(e.source(), "reports");
    }
}

TEST_F(Definitions, OpeningReadsTheParametersInOrderAndLeavesTheFileAlone) {
    const comtest::ScopedUserLocale romanian(comtest::romanian());  // the default date is day first
    const std::string xml =
        "<report version=\"1\" title=\"Proba\"><parameters>"
        "<parameter name=\"pIdJudet\" type=\"integer\" default=\"-1\"/>"
        "<parameter name=\"@Data inceput\" type=\"date\" default=\"01.02.2024\"/>"
        "<parameter name=\"@Nume\" type=\"text\"/></parameters>"
        "<query>SELECT {?pIdJudet}, {?@Data inceput}, {?@Nume}, {?pIdJudet}</query></report>";
    const auto file = rtest::writeReport(folder_.path(), "good.vrpt", xml);
    const auto before = std::filesystem::last_write_time(file);
    auto report = Application().OpenReport(file, 1);
    EXPECT_EQ(report->Title(), "Proba");
    auto& fields = report->ParameterFields();
    ASSERT_EQ(fields.Count(), 3);
    EXPECT_EQ(fields.Item(1).Name(), "pIdJudet");
    EXPECT_EQ(fields.Item(2).Name(), "@Data inceput");
    EXPECT_EQ(fields.Item(3).Name(), "@Nume");
    EXPECT_EQ(fields.Item(1).DefaultValue(), com::Variant(int32_t{-1}));
    EXPECT_EQ(fields.Item(2).DefaultValue(), com::Variant(com::Date::fromYmd(2024, 2, 1)));
    EXPECT_TRUE(fields.Item(3).DefaultValue().isEmpty());
    EXPECT_EQ(rtest::raised([&] { fields.Item(4); }).number(), com::errc::SubscriptOutOfRange);
    EXPECT_EQ(rtest::raised([&] { fields.Item(0); }).number(), com::errc::SubscriptOutOfRange);
    EXPECT_EQ(fields.find("@data inceput"), nullptr);  // names match exactly
    EXPECT_EQ(rtest::raised([&] { report->Database().Tables(2); }).number(), com::errc::SubscriptOutOfRange);
    EXPECT_EQ(rawdb::readAll(file), xml);
    EXPECT_EQ(std::filesystem::last_write_time(file), before);
    EXPECT_EQ(rtest::raised([&] { Application().OpenReport(file, 2); }).number(), com::errc::InvalidProcedureCall);
}

TEST_F(Definitions, ADeepOrHugeFileIsRefusedBeforeItCosts) {
    const auto nested = [](int depth) {
        std::string xml = "<report version=\"1\"><query>SELECT 1 AS A</query>";
        for (int i = 0; i < depth; ++i) xml += "<group column=\"A\">";
        for (int i = 0; i < depth; ++i) xml += "</group>";
        return xml + "<detail height=\"10\"/></report>";
    };
    const auto file = folder_.path() / "bad.vrpt";
    const std::string refusal =
        "Fisierul de raport " + file.string() + " depaseste limitele admise (cel mult 64 de grupe imbricate si 16 MB).";
    test::writeText(file, nested(64));
    EXPECT_EQ(Application().OpenReport(file, 1)->ParameterFields().Count(), 0);
    for (const int depth : {65, 30000}) {
        const com::Error e = openFails(nested(depth));
        EXPECT_EQ(e.number(), errc::BadDefinition) << depth;
        EXPECT_EQ(e.description(), refusal) << depth;
    }
    // Just over 16 MB, most of it a comment that would otherwise be read whole.
    const std::string head = "<report version=\"1\"><query>SELECT 1 AS A</query><detail height=\"10\"/><!--";
    const std::string tail = "--></report>";
    const size_t size = 16 * 1024 * 1024 + 1;
    const com::Error e = openFails(head + std::string(size - head.size() - tail.size(), 'x') + tail);
    EXPECT_EQ(e.number(), errc::BadDefinition);
    EXPECT_EQ(e.description(), refusal);
}

}  // namespace
