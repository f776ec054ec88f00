#include "support.h"

#include <gtest/gtest.h>
#include <sys/mount.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <stdexcept>

#include "mkdata.h"

namespace rtest {

SampleData::SampleData(bool withSample) : folder_("velmora-reports") {
    const std::filesystem::path data = std::filesystem::path(VELMORA_SOURCE_DIR) / "data";
    test::MkdataRun run{.database = database(),
                        .workgroup = workgroup(),
                        .schema = data / "schema.sql",
                        .account = "operator",
                        .password = "velmora"};
    for (const char* file : {"judete.sql", "sectii.sql", "perioade.sql", "informatii.sql"})
        run.data.push_back(data / file);
    if (withSample) run.data.push_back(data / "sample.sql");
    test::runMkdata(VELMORA_MKDATA, run);
}

void SampleData::addSecondHospital() const {
    const std::string amounts =
        "TCP, c02_1, c02_2, c02_3, c02_4, c02_5, c02_6, Angajati_1, Angajati_2, Angajati_3, Angajati_4, Angajati_5, "
        "Angajati_6, c10_1, c11_1, c12_1, c13_1, c14_1, c15_1, c16_1, c10_2, c11_2, c12_2, c13_2, c14_2, c15_2, c16_2, "
        "c10_3, c11_3, c12_3, c13_3, c14_3, c15_3, c16_3, c10_4, c11_4, c12_4, c13_4, c14_4, c15_4, c16_4, c10_5, "
        "c11_5, "
        "c12_5, c13_5, c14_5, c15_5, c16_5, c10_6, c11_6, c12_6, c13_6, c14_6, c15_6, c16_6, c22, c23, c23_01, c23_02, "
        "c23_03, c23_04, c24, c24_01, c24_02, c24_03, c24_04, c24_05, c24_06, c24_07, c25, c25_01, c25_02, c25_03, "
        "c25_04, "
        "c25_05, c25_06, c25_07, c25_08, c25_09, c26, c27, c28, c29, c30, c72";
    std::string doubled;
    size_t pos = 0;
    while (pos < amounts.size()) {
        size_t end = amounts.find(", ", pos);
        if (end == std::string::npos) end = amounts.size();
        if (!doubled.empty()) doubled += ", ";
        doubled += "2 * " + amounts.substr(pos, end - pos);
        pos = end + 2;
    }
    rawdb::rawExec(database(),
                   "INSERT INTO Nom_Spitale (IdSpital, CodSpital, DenSpital, IdJudet) VALUES (2, 'SMB02', 'Spitalul "
                   "Municipal Doi', 13);"
                   "INSERT INTO Lista_Sectii___Filtrat (IdSpital, IdSectie, NrSectie) SELECT 2, IdSectie, NrSectie "
                   "FROM Lista_Sectii___Filtrat WHERE IdSpital = 1;"
                   "INSERT INTO Velmora_Spital (IdPerioada, IdSpital, " +
                       amounts + ") SELECT IdPerioada, 2, " + doubled +
                       " FROM Velmora_Spital WHERE IdSpital = 1;"
                       "INSERT INTO Velmora_Sectie (IdPerioada, IdSpital, IdSectie, NrSectie, " +
                       amounts + ") SELECT IdPerioada, 2, IdSectie, NrSectie, " + doubled +
                       " FROM Velmora_Sectie WHERE IdSpital = 1;");
}

SmallFileSystem::SmallFileSystem(size_t bytes) : folder_("velmora-small-fs") {
    const std::string options = "size=" + std::to_string(bytes) + ",mode=0755";
    mounted_ = ::mount("velmora-test", folder().c_str(), "tmpfs", MS_NOSUID | MS_NODEV, options.c_str()) == 0;
}

SmallFileSystem::~SmallFileSystem() {
    if (mounted_) ::umount2(folder().c_str(), MNT_DETACH);
}

void SmallFileSystem::fill(size_t room) const {
    const auto filler = folder() / "filler";
    std::ofstream out(filler, std::ios::binary);
    const std::string block(4096, 'x');
    while (out.write(block.data(), static_cast<std::streamsize>(block.size())) && out.flush()) {}
    out.close();
    std::error_code ec;
    const auto size = std::filesystem::file_size(filler, ec);
    std::filesystem::resize_file(filler, size > room ? size - room : 0, ec);
}

void SmallFileSystem::makeReadOnly() const {
    if (::mount(nullptr, folder().c_str(), nullptr, MS_REMOUNT | MS_RDONLY | MS_NOSUID | MS_NODEV, nullptr) != 0)
        throw std::runtime_error("the small file system cannot be made read-only");
}

namespace {
std::string run(const std::string& command) {
    const test::TempFolder folder("velmora-pdftotext");
    const std::filesystem::path out = folder / "out.txt";
    if (std::system((command + " > '" + out.string() + "' 2>/dev/null").c_str()) != 0)
        throw std::runtime_error("failed (is poppler-utils installed?): " + command);
    return rawdb::readAll(out);
}

std::string unescape(std::string text) {
    for (const auto& [entity, c] : {std::pair<std::string, std::string>{"&lt;", "<"},
                                    {"&gt;", ">"},
                                    {"&quot;", "\""},
                                    {"&#39;", "'"},
                                    {"&amp;", "&"}}) {
        for (size_t at = text.find(entity); at != std::string::npos; at = text.find(entity, at + c.size()))
            text.replace(at, entity.size(), c);
    }
    return text;
}
}  // namespace

std::vector<std::vector<PdfWord>> pdfWords(const std::filesystem::path& pdf) {
    const std::string html = run("pdftotext -bbox '" + pdf.string() + "' -");
    std::vector<std::vector<PdfWord>> pages;
    const auto attribute = [&](size_t from, const std::string& name) {
        const size_t at = html.find(name + "=\"", from) + name.size() + 2;
        return std::stod(html.substr(at, html.find('"', at) - at));
    };
    for (size_t at = html.find('<'); at != std::string::npos; at = html.find('<', at + 1)) {
        if (html.compare(at, 6, "<page ") == 0) pages.emplace_back();
        if (html.compare(at, 6, "<word ") != 0 || pages.empty()) continue;
        const size_t open = html.find('>', at) + 1, close = html.find("</word>", open);
        pages.back().push_back({attribute(at, "xMin"), attribute(at, "yMin"), attribute(at, "xMax"),
                                attribute(at, "yMax"), unescape(html.substr(open, close - open))});
        at = close;
    }
    return pages;
}

std::string pdfText(const std::filesystem::path& pdf) { return run("pdftotext '" + pdf.string() + "' -"); }

std::vector<std::string> listing(const std::filesystem::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

std::filesystem::path sampleReport(const std::string& name) {
    return std::filesystem::path(VELMORA_SOURCE_DIR) / "data" / "reports" / name;
}

std::shared_ptr<reports::Report> open(const std::filesystem::path& file, const SampleData& data) {
    reports::Application application;
    auto report = application.OpenReport(file, 1);
    report->Database().Tables(1).SetLogOnInfo("Velmora.mdb", data.database().string(), kUser, kPassword);
    report->AlwaysRefreshData(true);
    return report;
}

void setValue(reports::Report& report, const std::string& name, const com::Variant& value) {
    auto& fields = report.ParameterFields();
    for (int32_t i = 1; i <= fields.Count(); ++i)
        if (fields.Item(i).Name() == name) {
            fields.Item(i).ClearCurrentValueAndRange();
            fields.Item(i).AddCurrentValue(value);
            return;
        }
    throw std::runtime_error("no parameter " + name);
}

com::Currency sqlMoney(const std::filesystem::path& database, const std::string& sql) {
    return com::Currency::fromUnits(rawdb::rawInt(database, sql));
}

com::Currency readMoney(const std::string& text) {
    std::string plain;
    for (const char c : text) {
        if (c == '.') continue;
        plain += c == ',' ? '.' : c;
    }
    return com::Currency::parse(plain);
}

std::string after(const std::vector<std::string>& texts, const std::string& caption, int occurrence) {
    for (size_t i = 0; i + 1 < texts.size(); ++i)
        if (texts[i] == caption && --occurrence == 0) return texts[i + 1];
    return {};
}

int occurrences(const std::vector<std::string>& texts, const std::string& text) {
    return static_cast<int>(std::count(texts.begin(), texts.end(), text));
}

std::filesystem::path writeReport(const std::filesystem::path& folder, const std::string& name,
                                  const std::string& xml) {
    const auto file = folder / name;
    writeText(file, xml);
    return file;
}

bool shows(const std::vector<std::string>& texts, const std::string& text) {
    return std::find(texts.begin(), texts.end(), text) != texts.end();
}

std::filesystem::path pictureFolder() {
    const std::filesystem::path folder = VELMORA_REPORT_PAGES;
    std::filesystem::create_directories(folder);
    return folder;
}

}  // namespace rtest
