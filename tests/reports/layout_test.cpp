// Laying pages out: formats, page breaks, groups and their exact sums, growing text, and the
// paper the pages are painted on.
#include <sys/stat.h>

#include <gtest/gtest.h>

#include <QImage>
#include <QLocale>
#include <QPageLayout>

#include "support.h"

namespace {

namespace fs = std::filesystem;

class Layout : public rtest::OnSampleData<> {
protected:
    static std::shared_ptr<reports::Report> run(const std::string& body) {
        auto r = rtest::open(rtest::writeReport(data_->folder(), "layout.vrpt",
                                                "<report version=\"1\">" + body + "</report>"),
                             *data_);
        r->Run();
        return r;
    }
};

TEST_F(Layout, MoneyIntegersAndDatesAreWrittenExactly) {
    auto r =
        run("<query>SELECT -12345678 AS M, 125000 AS Z, 5 AS Half, 0 AS Zero, '2024-02-29 00:00:00' AS D<column "
            "name=\"M\" type=\"money\"/>"
            "<column name=\"Z\" type=\"money\"/><column name=\"Half\" type=\"money\"/><column name=\"D\" "
            "type=\"date\"/></query>"
            "<detail height=\"240\">"
            "<field w=\"2000\" h=\"240\" column=\"M\" format=\"money2\"/><field w=\"2000\" h=\"240\" column=\"M\" "
            "format=\"money0\"/>"
            "<field w=\"2000\" h=\"240\" column=\"Z\" format=\"integer\"/><field w=\"2000\" h=\"240\" column=\"Z\" "
            "format=\"money2\"/>"
            "<field w=\"2000\" h=\"240\" column=\"Half\" format=\"money2\"/><field w=\"2000\" h=\"240\" "
            "column=\"Zero\" blankWhenZero=\"true\"/>"
            "<field w=\"2000\" h=\"240\" column=\"D\" format=\"date\"/><field w=\"2000\" h=\"240\" column=\"Zero\" "
            "format=\"money2\"/>"
            "</detail>");
    // A head count that is not whole keeps its digits.
    EXPECT_EQ(r->pageTexts(1),
              (std::vector<std::string>{"-1.234,57", "-1.235", "12,5", "12,50", "0,00", "29.02.2024", "0,00"}));
}

TEST_F(Layout, AValueItsFormatCannotWriteIsShownAsItComes) {
    // Painting runs inside the viewer's paint events and the PDF writer: it never raises.
    auto r =
        run("<query>SELECT 'nu este o data' AS D, 1e300 AS Mare, 'text' AS T</query>"
            "<detail height=\"240\"><field w=\"2000\" h=\"240\" column=\"D\" format=\"date\"/>"
            "<field w=\"2000\" h=\"240\" column=\"Mare\" format=\"money2\"/><field w=\"2000\" h=\"240\" column=\"T\" "
            "format=\"money0\"/>"
            "</detail>");
    EXPECT_EQ(r->pageTexts(1), (std::vector<std::string>{"nu este o data", com::Variant(1e300).toString(), "text"}));
    EXPECT_FALSE(r->pageImage(1, 50).isNull());
    const auto pdf = data_->folder() / "format.pdf";
    r->exportPdf(pdf);
    EXPECT_TRUE(std::filesystem::exists(pdf));
}

TEST_F(Layout, GroupsBreakOnTheirColumnAndSumExactly) {
    // Ward sheets of the sample hospital, grouped by period: sums per period and overall.
    auto r =
        run("<query><![CDATA[SELECT IdPerioada, TCP FROM Velmora_Sectie WHERE IdPerioada <= 3 ORDER BY IdPerioada, "
            "IdCost]]></query>"
            "<group column=\"IdPerioada\"><header height=\"240\"><text w=\"1000\" h=\"240\">Perioada</text>"
            "<field x=\"1000\" w=\"1000\" h=\"240\" column=\"IdPerioada\"/></header>"
            "<footer height=\"240\"><text w=\"1000\" h=\"240\">Suma</text><sum x=\"1000\" w=\"2000\" h=\"240\" "
            "column=\"TCP\" scope=\"IdPerioada\" format=\"money2\"/>"
            "<count x=\"3000\" w=\"1000\" h=\"240\" scope=\"IdPerioada\"/></footer></group>"
            "<reportFooter height=\"240\"><text w=\"1000\" h=\"240\">Total</text><sum x=\"1000\" w=\"2000\" h=\"240\" "
            "column=\"TCP\" format=\"money2\"/>"
            "<count x=\"3000\" w=\"1000\" h=\"240\"/></reportFooter>");
    const auto texts = r->pageTexts(1);
    EXPECT_EQ(rtest::occurrences(texts, "Perioada"), 3);
    for (int period = 1; period <= 3; ++period) {
        EXPECT_EQ(rtest::after(texts, "Perioada", period), std::to_string(period));
        EXPECT_EQ(rtest::readMoney(rtest::after(texts, "Suma", period)),
                  rtest::sqlMoney(data_->database(),
                                  "SELECT sum(TCP) FROM Velmora_Sectie WHERE IdPerioada = " + std::to_string(period)));
    }
    EXPECT_EQ(rtest::readMoney(rtest::after(texts, "Total")),
              rtest::sqlMoney(data_->database(), "SELECT sum(TCP) FROM Velmora_Sectie WHERE IdPerioada <= 3"));
    EXPECT_EQ(texts.back(), std::to_string(rawdb::rawInt(data_->database(),
                                                         "SELECT count(*) FROM Velmora_Sectie WHERE IdPerioada <= 3")));
}

TEST_F(Layout, SumsKeepEveryTenThousandth) {
    // 0.0001 ten thousand times is exactly 1; in floating point it is not.
    auto r =
        run("<query><![CDATA[WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 10000) SELECT 1 "
            "AS U FROM n]]>"
            "<column name=\"U\" type=\"money\"/></query>"
            "<reportFooter height=\"240\"><sum w=\"2000\" h=\"240\" column=\"U\" format=\"money2\"/></reportFooter>");
    const auto texts = r->pageTexts(r->PageCount());
    EXPECT_EQ(texts.back(), "1,00");
}

TEST_F(Layout, MoneySummedBySqlIsMoneyToo) {
    auto r =
        run("<query>SELECT Sum(TCP) AS S, Sum(c22) - Sum(c23) AS D FROM Velmora_Sectie</query>"
            "<detail height=\"240\"><field w=\"3000\" h=\"240\" column=\"S\" format=\"money2\"/>"
            "<field x=\"3000\" w=\"3000\" h=\"240\" column=\"D\" format=\"money2\"/></detail>");
    const auto texts = r->pageTexts(1);
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(rtest::readMoney(texts[0]), rtest::sqlMoney(data_->database(), "SELECT sum(TCP) FROM Velmora_Sectie"));
    EXPECT_EQ(rtest::readMoney(texts[1]),
              rtest::sqlMoney(data_->database(), "SELECT sum(c22) - sum(c23) FROM Velmora_Sectie"));
}

TEST_F(Layout, PagesBreakWhenFullPerRecordAndPerGroup) {
    // A4 portrait with no page header: (16838 - 2 * 567) / 1000 = 15 rows of 1000 twips a page.
    const std::string counties =
        "<query>SELECT IdJudet, DenJudet, IdJudet - IdJudet % 10 AS Zece FROM Nom_Judete ORDER BY IdJudet</query>";
    auto r = run(counties + "<detail height=\"1000\"><field w=\"3000\" h=\"240\" column=\"DenJudet\"/></detail>");
    EXPECT_EQ(r->PageCount(), 3);  // 42 counties
    EXPECT_EQ(r->pageTexts(1).size(), 15u);
    EXPECT_EQ(r->pageTexts(3).size(), 12u);

    r = run(counties +
            "<detail height=\"240\" pageBreak=\"after\"><field w=\"3000\" h=\"240\" column=\"DenJudet\"/></detail>");
    EXPECT_EQ(r->PageCount(), 42);

    r = run(counties +
            "<group column=\"Zece\" pageBreak=\"before\"><header height=\"240\"><field w=\"3000\" h=\"240\" "
            "column=\"Zece\"/></header></group>"
            "<detail height=\"240\"/>");
    EXPECT_EQ(r->PageCount(), 5);  // ids 1-9, 10-19, ..., 40-42
    EXPECT_EQ(r->pageTexts(2), std::vector<std::string>{"10"});
}

TEST_F(Layout, ContinuedPagesRepeatTheGroupHeaderAndNumberThemselves) {
    auto r =
        run("<query>SELECT IdJudet, DenJudet, 1 AS Tot FROM Nom_Judete ORDER BY IdJudet</query>"
            "<pageFooter height=\"300\"><special w=\"3000\" h=\"300\" what=\"pageOfPages\"/></pageFooter>"
            "<group column=\"Tot\" repeatHeader=\"true\"><header height=\"300\"><text w=\"3000\" "
            "h=\"300\">Judete</text></header></group>"
            "<detail height=\"1000\"><field w=\"3000\" h=\"240\" column=\"DenJudet\"/></detail>");
    ASSERT_EQ(r->PageCount(), 3);
    for (int page = 1; page <= 3; ++page) {
        const auto texts = r->pageTexts(page);
        EXPECT_EQ(texts.front(), "Judete");
        EXPECT_EQ(texts.back(), "Pagina " + std::to_string(page) + " din 3");
    }
}

TEST_F(Layout, GrowingTextMakesItsBandTaller) {
    const std::string query =
        "<query>SELECT IdJudet, 'Un text lung care nu incape pe un singur rand al casetei sale inguste' AS T "
        "FROM Nom_Judete ORDER BY IdJudet</query>";
    auto fixed = run(query + "<detail height=\"300\"><field w=\"1500\" h=\"300\" column=\"T\"/></detail>");
    auto grown =
        run(query + "<detail height=\"300\"><field w=\"1500\" h=\"300\" column=\"T\" canGrow=\"true\"/></detail>");
    EXPECT_EQ(fixed->PageCount(), 1);
    EXPECT_GT(grown->PageCount(), 2);
}

TEST_F(Layout, PagesArePaintedOnThePaperOfTheDefinition) {
    auto r =
        run("<page size=\"A4\" orientation=\"landscape\" margins=\"1440 1440 1440 1440\"/>"
            "<query>SELECT 1 AS X</query><detail height=\"1440\"><box w=\"1440\" h=\"1440\" border=\"0\" "
            "background=\"#000000\"/></detail>");
    EXPECT_EQ(r->pageLayout().orientation(), QPageLayout::Landscape);
    const QImage page = r->pageImage(1, 72);
    EXPECT_EQ(page.size(), QSize(842, 595));
    // A black inch square one inch from the top-left corner.
    EXPECT_EQ(page.pixelColor(108, 108), QColor(Qt::black));
    EXPECT_EQ(page.pixelColor(60, 60), QColor(Qt::white));
    EXPECT_EQ(page.pixelColor(150, 150), QColor(Qt::white));
    EXPECT_EQ(rtest::raised([&] { r->pageImage(2, 72); }).number(), com::errc::SubscriptOutOfRange);
    EXPECT_EQ(rtest::raised([&] { r->pageImage(1, 0); }).number(), com::errc::InvalidProcedureCall);
    // A PDF that cannot be written leaves nothing behind.
    const auto nowhere = data_->folder() / "lipsa" / "raport.pdf";
    const com::Error e = rtest::raised([&] { r->exportPdf(nowhere); });
    EXPECT_EQ(e.number(), reports::errc::OutputFailed);
    EXPECT_NE(e.description().find(nowhere.string()), std::string::npos) << e.description();
    EXPECT_FALSE(std::filesystem::exists(nowhere.parent_path()));
}

TEST_F(Layout, APdfIsAsPrivateAsTheDatabase) {
    auto r =
        run("<query>SELECT DenJudet FROM Nom_Judete</query><detail height=\"240\"><field w=\"3000\" h=\"240\" "
            "column=\"DenJudet\"/></detail>");
    const mode_t mask = ::umask(022);
    const auto pdf = data_->folder() / "raport.pdf";
    for (const auto mode : {fs::perms::owner_read | fs::perms::owner_write,
                            fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read}) {
        fs::permissions(data_->database(), mode);
        // An earlier, wider file of that name is replaced by one as narrow as the database.
        rtest::writeText(pdf, "earlier");
        fs::permissions(pdf, fs::perms::all);
        r->exportPdf(pdf);
        EXPECT_EQ(fs::status(pdf).permissions(), mode);
        EXPECT_GT(fs::file_size(pdf), 1000u);
    }
    fs::permissions(data_->database(),
                    fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read | fs::perms::others_read);
    ::umask(mask);
}

TEST_F(Layout, LookupQueriesAndParametersShowBesideTheMainRows) {
    auto r =
        run("<parameters><parameter name=\"@Data\" type=\"date\" default=\"2024-05-01\"/></parameters>"
            "<query>SELECT DenJudet FROM Nom_Judete WHERE IdJudet = 13</query>"
            "<query name=\"numar\">SELECT count(*) AS N FROM Nom_Perioade WHERE DataStart >= {?@Data}</query>"
            "<reportHeader height=\"240\"><parameter w=\"2000\" h=\"240\" name=\"@Data\" format=\"date\"/>"
            "<field x=\"2000\" w=\"2000\" h=\"240\" query=\"numar\" column=\"N\"/></reportHeader>"
            "<detail height=\"240\"><field w=\"3000\" h=\"240\" column=\"DenJudet\"/></detail>");
    const auto periods =
        rawdb::rawInt(data_->database(), "SELECT count(*) FROM Nom_Perioade WHERE DataStart >= '2024-05-01'");
    EXPECT_EQ(r->pageTexts(1), (std::vector<std::string>{"01.05.2024", std::to_string(periods), "Cluj"}));
}

}  // namespace
