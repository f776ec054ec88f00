#pragma once
// What the report tests share: a sample database made by mkdata, report files written by a
// test, and sums read with SQLite itself.
#include <gtest/gtest.h>

#include <QLocale>

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "com/currency.h"
#include "com/error.h"
#include "locale_fixture.h"
#include "rawdb.h"
#include "temp_folder.h"
#include "error_of.h"
#include "text_file.h"
#include "reports/report.h"

namespace rtest {

inline constexpr const char* kUser = "operator";
inline constexpr const char* kPassword = "velmora";

// A folder holding Velmora.mdb and Velmora.mdw (account operator/velmora) made by mkdata from
// the source tree's data files, with the sample hospital unless `withSample` is false.
class SampleData {
public:
    explicit SampleData(bool withSample = true);
    const std::filesystem::path& folder() const { return folder_.path(); }
    std::filesystem::path database() const { return folder() / "Velmora.mdb"; }
    std::filesystem::path workgroup() const { return folder() / "Velmora.mdw"; }
    // Adds a second hospital (id 2, county 13) whose wards and sheets copy the first one's
    // with every amount doubled, so that groups break and sums differ per hospital.
    void addSecondHospital() const;

private:
    test::TempFolder folder_;
};

// A suite on one sample database made for it (with the second hospital when asked), its pages
// written in the Romanian locale (Qt's and the object layer's).
template <bool SecondHospital = false>
class OnSampleData : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        data_ = std::make_unique<SampleData>();
        if constexpr (SecondHospital) data_->addSecondHospital();
    }
    static void TearDownTestSuite() { data_.reset(); }
    void SetUp() override {
        QLocale::setDefault(QLocale(QLocale::Romanian, QLocale::Romania));
        romanian_.emplace(comtest::romanian());
    }
    void TearDown() override {
        romanian_.reset();
        QLocale::setDefault(QLocale::system());
    }
    static inline std::unique_ptr<SampleData> data_;

private:
    std::optional<comtest::ScopedUserLocale> romanian_;
};

std::filesystem::path sampleReport(const std::string& name);  // data/reports/<name>
using test::writeText;

// A small file system of its own (a tmpfs mounted on a temporary folder) for writes that
// fail: one filled up, or one made read-only. Mounting needs the right to (root); without it
// `mounted()` is false and the caller skips.
class SmallFileSystem {
public:
    explicit SmallFileSystem(size_t bytes = 1024 * 1024);
    ~SmallFileSystem();
    SmallFileSystem(const SmallFileSystem&) = delete;
    SmallFileSystem& operator=(const SmallFileSystem&) = delete;
    bool mounted() const { return mounted_; }
    const std::filesystem::path& folder() const { return folder_.path(); }
    // Fills it with one file until at most `room` bytes are left.
    void fill(size_t room) const;
    void makeReadOnly() const;

private:
    test::TempFolder folder_;
    bool mounted_ = false;
};

// The words of a PDF's text layer as poppler's pdftotext reads them, page after page, with
// their boxes in points; and its plain text. Raise when pdftotext (poppler-utils) is missing.
struct PdfWord {
    double left, top, right, bottom;
    std::string text;
};
std::vector<std::vector<PdfWord>> pdfWords(const std::filesystem::path& pdf);
std::string pdfText(const std::filesystem::path& pdf);

// The names in a folder.
std::vector<std::string> listing(const std::filesystem::path& folder);

// Opens a report and logs it on to the sample data.
std::shared_ptr<reports::Report> open(const std::filesystem::path& file, const SampleData& data);
void setValue(reports::Report& report, const std::string& name, const com::Variant& value);

// A money amount computed by SQLite (a sum of 1/10 000 units) as the report writes it with
// two decimals in the C locale's separators ("1234567.89" grouped as the test's locale).
com::Currency sqlMoney(const std::filesystem::path& database, const std::string& sql);
// A money text as the reports write it in the Romanian locale ("-1.234.567,89") read back.
com::Currency readMoney(const std::string& text);
// The text shown right after `caption` on a page (the n-th occurrence, from 1); "" when none.
std::string after(const std::vector<std::string>& texts, const std::string& caption, int occurrence = 1);
int occurrences(const std::vector<std::string>& texts, const std::string& text);
// A report file of the test's own, written into `folder`.
std::filesystem::path writeReport(const std::filesystem::path& folder, const std::string& name, const std::string& xml);
// Runs `body` and returns the com::Error it raises (fails the test when it raises none).
template <class Body>
com::Error raised(Body body);
// Whether a page shows this text.
bool shows(const std::vector<std::string>& texts, const std::string& text);
// Where the rendered pages go for a look (tests/reports/pages in the build tree).
std::filesystem::path pictureFolder();

template <class Body>
com::Error raised(Body body) {
    return test::errorOf(std::move(body));
}

}  // namespace rtest
