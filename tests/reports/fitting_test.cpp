// Numbers and texts wider than their cells: a number is drawn smaller, down to 5 pt, and below
// that as "#" marks, never cut; a text ends in "…"; the page and its text layer agree.
#include <gtest/gtest.h>

#include <QImage>

#include <algorithm>

#include "support.h"

namespace {

const std::string Billion = "1.200.000.000,00";  // 1,200,000,000.00 lei as the Romanian locale writes it
const std::string Materials = "c22 + c23 + c24 + c25 + c26 + c27 + c28 + c29 + c30";
const std::string LongName = "Spitalul Clinic Judetean de Urgenta Sfantul Ierarh Doctor Luca din Municipiul Exemplu";

bool isNumber(const std::string& text) {
    return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) {
        return (c >= '0' && c <= '9') || c == '.' || c == ',' || c == '-';
    }) && std::any_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// Words on one line of a page that overlap: a text drawn over its neighbour's cell.
std::vector<std::string> overlaps(const std::vector<rtest::PdfWord>& words) {
    std::vector<std::string> found;
    for (size_t i = 0; i < words.size(); ++i)
        for (size_t j = 0; j < words.size(); ++j) {
            const auto &a = words[i], &b = words[j];
            const bool sameLine = std::min(a.bottom, b.bottom) - std::max(a.top, b.top) > 0.5 * (a.bottom - a.top);
            if (i != j && sameLine && a.left < b.left && a.right > b.left + 0.5)
                found.push_back(a.text + " | " + b.text);
        }
    return found;
}

class Fitting : public rtest::OnSampleData<true> {};

TEST_F(Fitting, ANumberShrinksThenTurnsToMarksATextEndsInAnEllipsis) {
    const rtest::SampleData& data = *data_;
    const auto file = rtest::writeReport(
        data.folder(), "latime.vrpt",
        "<report version=\"1\"><font size=\"8\"/><query>SELECT 12000000000000 AS M, 1234 AS Mic, '" + LongName +
            "' AS T<column name=\"M\" type=\"money\"/></query>"
            "<detail height=\"300\"><field w=\"1300\" h=\"300\" column=\"M\" format=\"money2\" align=\"right\"/>"
            "<field x=\"1300\" w=\"500\" h=\"300\" column=\"M\" format=\"money2\" align=\"right\"/>"
            "<field x=\"1800\" w=\"2000\" h=\"300\" column=\"T\"/>"
            "<field x=\"3800\" w=\"2000\" h=\"300\" column=\"Mic\" format=\"money2\" align=\"right\"/>"
            "<field x=\"5800\" w=\"2000\" h=\"600\" column=\"T\" wrap=\"true\"/>"
            "<field x=\"7800\" w=\"2000\" h=\"300\" column=\"T\" canGrow=\"true\"/></detail></report>");
    auto report = rtest::open(file, data);
    report->Run();
    const auto texts = report->pageTexts(1);
    ASSERT_EQ(texts.size(), 6u);
    EXPECT_EQ(texts[0], Billion);  // smaller, but whole
    EXPECT_FALSE(texts[1].empty());
    EXPECT_EQ(texts[1], std::string(texts[1].size(), '#')) << texts[1];
    EXPECT_LT(texts[2].size(), LongName.size());
    EXPECT_EQ(texts[2].rfind("Spitalul Clinic", 0), 0u) << texts[2];
    EXPECT_EQ(texts[2].substr(texts[2].size() - 3), "…") << texts[2];
    EXPECT_EQ(texts[3], "1.234,00");
    // Wrapped, it keeps the lines its box holds; in a cell that grows, it is whole.
    EXPECT_EQ(texts[4].rfind("Spitalul Clinic Judetean", 0), 0u) << texts[4];
    EXPECT_EQ(texts[4].substr(texts[4].size() - 3), "…") << texts[4];
    EXPECT_GT(texts[4].size(), texts[2].size());
    EXPECT_EQ(texts[5], LongName);

    // The PDF holds what the page shows, and no text runs over a neighbouring cell.
    const auto pdf = rtest::pictureFolder() / "latime.pdf";
    report->exportPdf(pdf);
    const auto pages = rtest::pdfWords(pdf);
    ASSERT_EQ(pages.size(), 1u);
    std::vector<std::string> words;
    for (const auto& w : pages[0]) words.push_back(w.text);
    EXPECT_TRUE(rtest::shows(words, Billion));
    EXPECT_TRUE(rtest::shows(words, texts[1]));
    EXPECT_EQ(rtest::occurrences(words, "Municipiul"), 1);  // only where the cell grows
    EXPECT_EQ(overlaps(pages[0]), std::vector<std::string>{});
}

TEST_F(Fitting, TheSampleReportsShowTheSampleDataWhole) {
    // The longest month's name.
    rawdb::rawExec(data_->database(), "UPDATE Nom_Perioade SET DenPerioada = 'Septembrie 2024' WHERE IdPerioada = 1");
    const std::vector<std::pair<std::string, std::vector<std::pair<std::string, com::Variant>>>> runs{
        {"CostSpital", {{"pIdJudet", int32_t{-1}}, {"pIdPerioada", int32_t{-1}}}},
        {"CostSectii", {{"pIdPerioada", int32_t{-1}}}},
        {"Centralizator", {{"@Data inceput", "01.01.2024"}, {"@Data sfarsit", "31.12.2024"}}},
        {"ControlSpitalSectii", {{"pIdPerioada", int32_t{-1}}}},
        {"Personal", {{"pIdPerioada", int32_t{-1}}}},
    };
    for (const auto& [name, values] : runs) {
        auto report = rtest::open(rtest::sampleReport(name + ".vrpt"), *data_);
        for (const auto& [parameter, value] : values) rtest::setValue(*report, parameter, value);
        report->Run();
        for (int32_t page = 1; page <= report->PageCount(); ++page)
            for (const std::string& t : report->pageTexts(page)) {
                EXPECT_EQ(t.find("…"), std::string::npos) << name << ", page " << page << ": " << t;
                EXPECT_NE(t.front(), '#') << name << ", page " << page << ": " << t;
            }
    }
}

// The sample reports over a hospital whose totals reach 1,200,000,000.00 lei and whose name is
// long: every figure shows whole in its cell, on the page and in the PDF.
class LargeHospital : public rtest::OnSampleData<> {
protected:
    static void SetUpTestSuite() {
        OnSampleData::SetUpTestSuite();
        const std::string billion = "12000000000000";  // in 1/10 000 lei
        const std::string total = "(TCP + " + Materials + " + c72)";
        rawdb::rawExec(
            data_->database(),
            "UPDATE Velmora_Spital SET c22 = c22 + " + billion + " - " + total +
                " WHERE IdPerioada = 2 AND IdSpital = 1;"
                "UPDATE Velmora_Sectie SET c22 = c22 + " +
                billion + " - (SELECT sum" + total +
                " FROM Velmora_Sectie WHERE IdPerioada = 2 AND IdSpital = 1) "
                "WHERE IdCost = (SELECT min(IdCost) FROM Velmora_Sectie WHERE IdPerioada = 2 AND IdSpital = 1);"
                // The control report's first line, the personnel total, in period 3.
                "UPDATE Velmora_Spital SET TCP = " +
                billion +
                " WHERE IdPerioada = 3 AND IdSpital = 1;"
                "UPDATE Velmora_Sectie SET TCP = TCP + " +
                billion +
                " - (SELECT sum(TCP) FROM Velmora_Sectie "
                "WHERE IdPerioada = 3 AND IdSpital = 1) "
                "WHERE IdCost = (SELECT min(IdCost) FROM Velmora_Sectie WHERE IdPerioada = 3 AND IdSpital = 1);"
                "UPDATE Nom_Spitale SET DenSpital = '" +
                LongName + "' WHERE IdSpital = 1;");
    }

    // Runs, exports and checks a sample report: 1,200,000,000.00 shown whole on its pages,
    // in the text layer as on the page, no figure over its neighbour's cell. The pages' texts.
    static std::vector<std::string> check(const std::string& name,
                                          const std::vector<std::pair<std::string, com::Variant>>& values) {
        auto report = rtest::open(rtest::sampleReport(name + ".vrpt"), *data_);
        for (const auto& [parameter, value] : values) rtest::setValue(*report, parameter, value);
        report->Run();
        std::vector<std::string> all;
        for (int32_t page = 1; page <= report->PageCount(); ++page) {
            const auto texts = report->pageTexts(page);
            all.insert(all.end(), texts.begin(), texts.end());
        }
        report->pageImage(1, 150).save(
            QString::fromStdString((rtest::pictureFolder() / ("mare-" + name + ".png")).string()));
        const auto pdf = rtest::pictureFolder() / ("mare-" + name + ".pdf");
        report->exportPdf(pdf);
        const auto pages = rtest::pdfWords(pdf);
        EXPECT_EQ(static_cast<int32_t>(pages.size()), report->PageCount()) << name;
        std::vector<std::string> words;
        for (size_t page = 0; page < pages.size(); ++page) {
            for (const auto& w : pages[page]) words.push_back(w.text);
            EXPECT_EQ(overlaps(pages[page]), std::vector<std::string>{}) << name << ", page " << page + 1;
        }
        EXPECT_TRUE(rtest::shows(all, Billion)) << name;
        EXPECT_TRUE(rtest::shows(words, Billion)) << name;
        // Every figure of the text layer is one the pages show.
        for (const std::string& w : words)
            if (isNumber(w)) {
                EXPECT_TRUE(std::any_of(all.begin(), all.end(),
                                        [&](const std::string& t) { return t.find(w) != std::string::npos; }))
                    << name << ": " << w;
            }
        return all;
    }
};

TEST_F(LargeHospital, EverySampleReportShowsTheWholeTotal) {
    const auto sheet = check("CostSpital", {{"pIdJudet", int32_t{-1}}, {"pIdPerioada", int32_t{2}}});
    EXPECT_EQ(rtest::after(sheet, "TOTAL GENERAL"), Billion);
    // The hospital's name in the sheet's header ends in "…" where its cell ends.
    const auto name = std::find_if(sheet.begin(), sheet.end(),
                                   [](const std::string& t) { return t.rfind("Spitalul Clinic", 0) == 0; });
    ASSERT_NE(name, sheet.end());
    EXPECT_LT(name->size(), LongName.size());
    EXPECT_EQ(name->substr(name->size() - 3), "…") << *name;
    EXPECT_EQ(LongName.rfind(name->substr(0, name->size() - 3), 0), 0u) << *name;

    const auto wards = check("CostSectii", {{"pIdPerioada", int32_t{2}}});
    EXPECT_EQ(rtest::occurrences(wards, Billion), 2);  // the hospital's total and the report's
    const auto control = check("ControlSpitalSectii", {{"pIdPerioada", int32_t{3}}});
    const auto staff = std::find(control.begin(), control.end(), "Total personal");
    ASSERT_LT(staff + 2, control.end());
    EXPECT_EQ(staff[1], Billion);
    EXPECT_EQ(staff[2], Billion);
    check("Centralizator", {{"@Data inceput", "01.02.2024"}, {"@Data sfarsit", "29.02.2024"}});
}

}  // namespace
