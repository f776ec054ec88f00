// The sample reports rendered from the sample database (with a second hospital added): page
// counts, group breaks, and totals equal to the sums SQLite computes on the same file.
#include <gtest/gtest.h>

#include <QImage>
#include <QLocale>
#include <QPageLayout>

#include "support.h"

namespace {

using rtest::readMoney;

const std::string Materials = "c22 + c23 + c24 + c25 + c26 + c27 + c28 + c29 + c30";

class SampleReports : public rtest::OnSampleData<true> {
protected:
    static std::shared_ptr<reports::Report> open(const std::string& name) {
        return rtest::open(rtest::sampleReport(name + ".vrpt"), *data_);
    }
    static com::Currency sql(const std::string& query) { return rtest::sqlMoney(data_->database(), query); }
    static int64_t count(const std::string& query) { return rawdb::rawInt(data_->database(), query); }

    // The first pages as pictures to look at, and the whole report as a PDF.
    static void render(reports::Report& report, const std::string& name) {
        for (int32_t page = 1; page <= std::min(report.PageCount(), 2); ++page) {
            const QImage image = report.pageImage(page, 100);
            ASSERT_FALSE(image.isNull());
            image.save(QString::fromStdString(
                (rtest::pictureFolder() / (name + "-" + std::to_string(page) + ".png")).string()));
        }
        const auto pdf = rtest::pictureFolder() / (name + ".pdf");
        report.exportPdf(pdf);
        EXPECT_EQ(rawdb::readAll(pdf).substr(0, 5), "%PDF-");
        EXPECT_FALSE(std::filesystem::exists(pdf.string() + ".partial"));
    }
};

TEST_F(SampleReports, HospitalSheetPagePerSheetWithItsTotals) {
    auto report = open("CostSpital");
    rtest::setValue(*report, "pIdJudet", int32_t{13});
    rtest::setValue(*report, "pIdPerioada", int32_t{2});
    report->Run();
    ASSERT_EQ(report->PageCount(), 2);  // the two hospitals of the county
    for (int hospital = 1; hospital <= 2; ++hospital) {
        const auto texts = report->pageTexts(hospital);
        const std::string where =
            " FROM Velmora_Spital WHERE IdPerioada = 2 AND IdSpital = " + std::to_string(hospital);
        EXPECT_EQ(rtest::after(texts, "Spitalul:"), hospital == 1 ? "SJU01" : "SMB02");
        EXPECT_EQ(readMoney(rtest::after(texts, "TOTAL cheltuieli de personal")), sql("SELECT TCP" + where));
        EXPECT_EQ(readMoney(rtest::after(texts, "Total cheltuieli materiale")), sql("SELECT " + Materials + where));
        EXPECT_EQ(readMoney(rtest::after(texts, "72 - Investitii institutii publice")), sql("SELECT c72" + where));
        EXPECT_EQ(readMoney(rtest::after(texts, "TOTAL GENERAL")), sql("SELECT TCP + " + Materials + " + c72" + where));
        EXPECT_EQ(readMoney(rtest::after(texts, "Salarii TESA", 1)),
                  com::Currency::fromInteger(count("SELECT Angajati_5 / 10000" + where)));
        // The totals row of the personnel table: head counts, then 02 and each budget line.
        EXPECT_EQ(std::stoll(rtest::after(texts, "Total categorii")),
                  count("SELECT (Angajati_1 + Angajati_2 + Angajati_3 + Angajati_4 + Angajati_5 + Angajati_6) / 10000" +
                        where));
        EXPECT_EQ(readMoney(rtest::after(texts, "23.04")), sql("SELECT c23_04" + where));
    }
    render(*report, "CostSpital");

    // Nothing chosen (-1) means every county and period: one page per stored sheet.
    rtest::setValue(*report, "pIdJudet", int32_t{-1});
    rtest::setValue(*report, "pIdPerioada", int32_t{-1});
    report->Run();
    EXPECT_EQ(report->PageCount(), count("SELECT count(*) FROM Velmora_Spital"));
    // A county without hospitals: a page with the headings only.
    rtest::setValue(*report, "pIdJudet", int32_t{1});
    report->Run();
    EXPECT_EQ(report->PageCount(), 1);
    EXPECT_FALSE(rtest::shows(report->pageTexts(1), "TOTAL GENERAL"));
}

TEST_F(SampleReports, WardSheetsBreakPerHospitalWithGroupAndReportSums) {
    auto report = open("CostSectii");
    EXPECT_EQ(report->pageLayout().orientation(), QPageLayout::Landscape);
    rtest::setValue(*report, "pIdPerioada", int32_t{3});
    report->Run();
    ASSERT_EQ(report->PageCount(), 1);
    const auto texts = report->pageTexts(1);
    EXPECT_EQ(rtest::occurrences(texts, "Spitalul:"), 2);
    EXPECT_EQ(rtest::occurrences(texts, "Total spital"), 2);
    for (int hospital = 1; hospital <= 2; ++hospital) {
        const std::string where =
            " FROM Velmora_Sectie WHERE IdPerioada = 3 AND IdSpital = " + std::to_string(hospital);
        EXPECT_EQ(rtest::after(texts, "Spitalul:", hospital), hospital == 1 ? "SJU01" : "SMB02");
        EXPECT_EQ(readMoney(rtest::after(texts, "Total spital", hospital)), sql("SELECT sum(TCP)" + where));
        EXPECT_EQ(rtest::after(texts, "Numar sectii:", hospital), std::to_string(count("SELECT count(*)" + where)));
    }
    EXPECT_EQ(readMoney(rtest::after(texts, "TOTAL GENERAL")),
              sql("SELECT sum(TCP) FROM Velmora_Sectie WHERE IdPerioada = 3"));
    EXPECT_EQ(readMoney(texts.at(texts.size() - 3)),  // the TOTAL column of the report total
              sql("SELECT sum(TCP + " + Materials + " + c72) FROM Velmora_Sectie WHERE IdPerioada = 3"));
    render(*report, "CostSectii");

    // Every period: a page (at least) per period, each period's hospitals again.
    rtest::setValue(*report, "pIdPerioada", int32_t{-1});
    report->Run();
    const auto periods = count("SELECT count(DISTINCT IdPerioada) FROM Velmora_Sectie");
    EXPECT_GE(report->PageCount(), periods);
    int groups = 0;
    for (int32_t page = 1; page <= report->PageCount(); ++page)
        groups += rtest::occurrences(report->pageTexts(page), "Total spital");
    EXPECT_EQ(groups, count("SELECT count(*) FROM (SELECT DISTINCT IdPerioada, IdSpital FROM Velmora_Sectie)"));
}

TEST_F(SampleReports, SummaryOverADateIntervalSumsPerHospital) {
    auto report = open("Centralizator");
    rtest::setValue(*report, "@Data inceput", "01.02.2024");
    rtest::setValue(*report, "@Data sfarsit", "2024-04-30");
    report->Run();
    ASSERT_EQ(report->PageCount(), 1);
    const auto texts = report->pageTexts(1);
    EXPECT_EQ(rtest::after(texts, "Intervalul:"), "01.02.2024");
    const std::string where =
        " FROM Velmora_Spital a JOIN Nom_Perioade p ON p.IdPerioada = a.IdPerioada "
        "WHERE p.DataStart >= '2024-02-01' AND p.DataEnd <= '2024-04-30 00:00:00'";
    EXPECT_EQ(rtest::occurrences(texts, "Total spital"), 2);
    EXPECT_EQ(readMoney(rtest::after(texts, "Total spital", 1)),
              sql("SELECT sum(a.TCP)" + where + " AND a.IdSpital = 1"));
    EXPECT_EQ(readMoney(rtest::after(texts, "Total spital", 2)),
              sql("SELECT sum(a.TCP)" + where + " AND a.IdSpital = 2"));
    EXPECT_EQ(readMoney(rtest::after(texts, "TOTAL GENERAL")), sql("SELECT sum(a.TCP)" + where));
    EXPECT_EQ(rtest::after(texts, "Numar fise de spital:"), std::to_string(count("SELECT count(*)" + where)));
    EXPECT_EQ(rtest::occurrences(texts, "Martie 2024"), 2);
    EXPECT_FALSE(rtest::shows(texts, "Ianuarie 2024"));
    render(*report, "Centralizator");
    // Copied from the PDF, the text reads as typed: no letters joined into one ligature.
    const std::string copied = rtest::pdfText(rtest::pictureFolder() / "Centralizator.pdf");
    EXPECT_NE(copied.find("Numar fise de spital:"), std::string::npos) << copied;
    for (const char* ligature : {"\uFB00", "\uFB01", "\uFB02", "\uFB03", "\uFB04"})
        EXPECT_EQ(copied.find(ligature), std::string::npos);
}

TEST_F(SampleReports, ControlShowsTheHospitalAgainstItsWardsAndTheDifference) {
    // One ward of hospital 2 reports 1.2345 more food than the hospital's sheet holds.
    rawdb::rawExec(data_->database(),
                   "UPDATE Velmora_Sectie SET c22 = c22 + 12345 WHERE IdCost = (SELECT min(IdCost) FROM Velmora_Sectie "
                   "WHERE IdSpital = 2 AND IdPerioada = 4)");
    auto report = open("ControlSpitalSectii");
    rtest::setValue(*report, "pIdPerioada", int32_t{4});
    report->Run();
    ASSERT_EQ(report->PageCount(), 2);
    for (int hospital = 1; hospital <= 2; ++hospital) {
        const auto texts = report->pageTexts(hospital);
        const std::string id = std::to_string(hospital);
        EXPECT_EQ(rtest::after(texts, "Spitalul:"), hospital == 1 ? "SJU01" : "SMB02");
        // Caption, hospital, sum of wards, and the difference (blank when equal).
        const auto food = std::find(texts.begin(), texts.end(), "22 - Hrana");
        ASSERT_NE(food, texts.end());
        EXPECT_EQ(readMoney(food[1]), sql("SELECT c22 FROM Velmora_Spital WHERE IdPerioada = 4 AND IdSpital = " + id));
        // Shown to the cent (half away from zero): SQLite rounds the same way.
        EXPECT_EQ(readMoney(food[2]),
                  sql("SELECT round(sum(c22) / 100.0) * 100 FROM Velmora_Sectie WHERE IdPerioada = 4 AND IdSpital = " +
                      id));
        if (hospital == 1) EXPECT_EQ(food[3], "23 - Medicamente");
        else EXPECT_EQ(food[3], "-1,23");
        const auto staff = std::find(texts.begin(), texts.end(), "Total personal");
        ASSERT_NE(staff, texts.end());
        EXPECT_EQ(readMoney(staff[2]),
                  sql("SELECT sum(TCP) FROM Velmora_Sectie WHERE IdPerioada = 4 AND IdSpital = " + id));
    }
    render(*report, "ControlSpitalSectii");
    rawdb::rawExec(data_->database(),
                   "UPDATE Velmora_Sectie SET c22 = c22 - 12345 WHERE IdCost = (SELECT min(IdCost) FROM Velmora_Sectie "
                   "WHERE IdSpital = 2 AND IdPerioada = 4)");
}

TEST_F(SampleReports, HeadCountsPerHospitalAndWard) {
    auto report = open("Personal");
    rtest::setValue(*report, "pIdPerioada", int32_t{5});
    report->Run();
    ASSERT_EQ(report->PageCount(), 1);
    const auto texts = report->pageTexts(1);
    const std::string all = "(Angajati_1 + Angajati_2 + Angajati_3 + Angajati_4 + Angajati_5 + Angajati_6) / 10000";
    EXPECT_EQ(rtest::occurrences(texts, "Total spital"), 2);
    EXPECT_EQ(rtest::after(texts, "Total spital", 2),
              std::to_string(
                  count("SELECT sum(Angajati_1) / 10000 FROM Velmora_Sectie WHERE IdPerioada = 5 AND IdSpital = 2")));
    EXPECT_EQ(texts.at(texts.size() - 3),  // the report's grand total, before the page footer
              QLocale()
                  .toString(
                      static_cast<qlonglong>(count("SELECT sum(" + all + ") FROM Velmora_Sectie WHERE IdPerioada = 5")))
                  .toStdString());
    render(*report, "Personal");
}

TEST_F(SampleReports, HeadCountsAddUpWithinAPeriodNeverAcrossPeriods) {
    auto report = open("Personal");
    rtest::setValue(*report, "pIdPerioada", int32_t{-1});
    report->Run();
    const std::string all = "(Angajati_1 + Angajati_2 + Angajati_3 + Angajati_4 + Angajati_5 + Angajati_6) / 10000";
    const auto periods = count("SELECT count(DISTINCT IdPerioada) FROM Velmora_Sectie");
    ASSERT_GT(periods, 1);
    const std::string acrossPeriods =
        QLocale().toString(static_cast<qlonglong>(count("SELECT sum(" + all + ") FROM Velmora_Sectie"))).toStdString();
    int totals = 0;
    for (int32_t page = 1; page <= report->PageCount(); ++page) {
        const auto texts = report->pageTexts(page);
        EXPECT_FALSE(rtest::shows(texts, "TOTAL GENERAL"));
        EXPECT_FALSE(rtest::shows(texts, acrossPeriods)) << "page " << page;
        if (!rtest::shows(texts, "TOTAL PERIOADA")) continue;
        ++totals;
        // The period's own total, as the last figure before the page footer.
        const std::string period = rtest::after(texts, "Perioada:");
        EXPECT_EQ(texts.at(texts.size() - 3),
                  QLocale()
                      .toString(static_cast<qlonglong>(count("SELECT sum(" + all +
                                                             ") FROM Velmora_Sectie w JOIN Nom_Perioade p "
                                                             "ON p.IdPerioada = w.IdPerioada WHERE p.DenPerioada = '" +
                                                             period + "'")))
                      .toStdString())
            << period;
    }
    EXPECT_EQ(totals, periods);
}

TEST_F(SampleReports, ContinuedPagesOfTheWardReportsRepeatThePeriodAndTheHospital) {
    // Hospital 1's wards of May six times over: more rows than a page holds.
    const auto last = count("SELECT max(IdCost) FROM Velmora_Sectie");
    for (int copy = 0; copy < 5; ++copy)
        rawdb::rawExec(data_->database(),
                       "INSERT INTO Velmora_Sectie (IdPerioada, IdSpital, IdSectie, NrSectie, TCP, Angajati_1) SELECT "
                       "IdPerioada, IdSpital, "
                       "IdSectie, NrSectie + " +
                           std::to_string(10 * (copy + 1)) +
                           ", TCP, Angajati_1 FROM Velmora_Sectie "
                           "WHERE IdPerioada = 5 AND IdSpital = 1 AND IdCost <= " +
                           std::to_string(last));
    for (const char* name : {"Personal", "CostSectii"}) {
        auto report = open(name);
        rtest::setValue(*report, "pIdPerioada", int32_t{5});
        report->Run();
        ASSERT_GT(report->PageCount(), 1) << name;
        // Every page of wards names their period and hospital (a last page may hold the report's total alone).
        int withWards = 0;
        for (int32_t page = 1; page <= report->PageCount(); ++page) {
            const auto texts = report->pageTexts(page);
            const bool wards = std::any_of(texts.begin(), texts.end(), [](const std::string& t) {
                return t.find("Anestezie") != std::string::npos || t == "Total spital";
            });
            if (!wards) continue;
            ++withWards;
            EXPECT_EQ(rtest::after(texts, "Perioada:"), "Mai 2024") << name << ", page " << page;
            EXPECT_FALSE(rtest::after(texts, "Spitalul:").empty()) << name << ", page " << page;
        }
        EXPECT_GT(withWards, 1) << name;
    }
    rawdb::rawExec(data_->database(), "DELETE FROM Velmora_Sectie WHERE IdCost > " + std::to_string(last));
}

TEST_F(SampleReports, AHeadCountThatIsNotWholeShowsItsDigits) {
    // Half a post more on one ward of hospital 1 in May.
    const std::string ward =
        "(SELECT min(IdCost) FROM Velmora_Sectie WHERE IdPerioada = 5 AND IdSpital = 1 AND NrSectie = 1 AND "
        "IdSectie = (SELECT IdSectie FROM Lista_Sectii WHERE CodSectie = 'ATI'))";
    rawdb::rawExec(data_->database(),
                   "UPDATE Velmora_Sectie SET Angajati_1 = Angajati_1 + 5000 WHERE IdCost = " + ward);
    auto report = open("Personal");
    rtest::setValue(*report, "pIdPerioada", int32_t{5});
    report->Run();
    const auto texts = report->pageTexts(1);
    const auto half = [](int64_t whole) { return std::to_string(whole) + ",5"; };
    const auto wardRow = std::find(texts.begin(), texts.end(), "ATI");
    ASSERT_LT(wardRow + 4, texts.end());
    EXPECT_EQ(wardRow[3], half(count("SELECT Angajati_1 / 10000 FROM Velmora_Sectie WHERE IdCost = " + ward)));
    EXPECT_EQ(rtest::after(texts, "Total spital", 1),
              half(count("SELECT sum(Angajati_1) / 10000 FROM Velmora_Sectie WHERE IdPerioada = 5 AND IdSpital = 1")));
    EXPECT_EQ(rtest::after(texts, "TOTAL PERIOADA"),
              half(count("SELECT sum(Angajati_1) / 10000 FROM Velmora_Sectie WHERE IdPerioada = 5")));
    rawdb::rawExec(data_->database(),
                   "UPDATE Velmora_Sectie SET Angajati_1 = Angajati_1 - 5000 WHERE IdCost = " + ward);
}

}  // namespace
