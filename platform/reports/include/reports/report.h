#pragma once
// The report runtime: report definition files (XML, see docs/report-format.md) opened,
// logged on to the database with the user's own account, given parameter values, run
// (queries read afresh, pages laid out) and painted onto any paged device.
//
//   reports::Application application;                      // once per run
//   auto report = application.OpenReport(path, 1);         // raises com::Error
//   report->Database().Tables(1).SetLogOnInfo(fileName, dataPath, user, password);
//   report->AlwaysRefreshData(true);
//   auto& fields = report->ParameterFields();
//   for (int32_t i = 1; i <= fields.Count(); ++i)
//       if (fields.Item(i).Name() == "pIdPerioada") {
//           fields.Item(i).ClearCurrentValueAndRange();
//           fields.Item(i).AddCurrentValue(com::Variant(int32_t{3}));
//       }
//   viewer->setReportSource(report);                       // reports/viewer.h
//   viewer->ViewReport();                                  // runs it; raises com::Error
//
// Every failure is a com::Error whose number is one of reports::errc and whose
// description names the report file and the cause; a failed run shows nothing.
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "com/variant.h"

class QPainter;
class QImage;
class QPageLayout;
class QPagedPaintDevice;

namespace reports {

namespace errc {
inline constexpr int32_t FileNotFound = 53;      // no report file at the path (or a folder)
inline constexpr int32_t BadDefinition = 20501;  // not XML, or not a report definition we can read
inline constexpr int32_t BadVersion = 20502;     // a definition version this runtime does not know
inline constexpr int32_t BadParameter = 20503;   // a value that cannot be converted to the parameter's type
inline constexpr int32_t MissingValue = 20504;   // a parameter with neither a value nor a default
inline constexpr int32_t NotLoggedOn = 20505;    // run before SetLogOnInfo
inline constexpr int32_t QueryFailed = 20506;    // the database refused a query (or the log-on)
inline constexpr int32_t UnknownColumn = 20507;  // an item names a column its query does not yield
inline constexpr int32_t NotRun = 20508;         // painting or exporting a report that has not run
inline constexpr int32_t OutputFailed = 20509;   // a PDF or image file could not be written
inline constexpr int32_t Cancelled = 20510;      // the run was stopped by its progress check
}  // namespace errc

enum class ParameterType { Integer, Number, Date, Text };

// One parameter of a report: its exact name ("pIdJudet", "@Data inceput"), its type and
// default, and the current value the caller gives it.
class ParameterField {
public:
    // The default is converted like a value; reportFile names the report in messages.
    ParameterField(std::string name, ParameterType type, const com::Variant& defaultValue, std::string prompt,
                   std::string reportFile = {});

    const std::string& Name() const { return name_; }
    ParameterType Type() const { return type_; }
    const com::Variant& DefaultValue() const { return default_; }  // Empty when none
    const std::string& Prompt() const { return prompt_; }

    void ClearCurrentValueAndRange();
    // Converts the value to the parameter's type and keeps it as the current value
    // (a second add replaces the first). Integer: integers, whole numbers, numeric text;
    // Number: numbers and numeric text; Date: a date, or text as "yyyy-MM-dd[ HH:mm:ss]",
    // "dd.MM.yyyy", "dd/MM/yyyy" or the user's short date; Text: anything as text.
    // Null or Empty clears. Raises errc::BadParameter (the field keeps its previous value).
    void AddCurrentValue(const com::Variant& value);
    bool HasCurrentValue() const { return !current_.isEmpty(); }
    const com::Variant& CurrentValue() const { return current_; }
    // The value a run binds: the current value, else the default, else Empty (the run
    // then raises errc::MissingValue).
    const com::Variant& EffectiveValue() const { return current_.isEmpty() ? default_ : current_; }

private:
    std::string name_;
    ParameterType type_;
    com::Variant default_;
    std::string prompt_;
    std::string reportFile_;
    com::Variant current_;
};

// The report's parameters in the definition's order; positions are 1-based.
class ParameterFields {
public:
    int32_t Count() const { return static_cast<int32_t>(fields_.size()); }
    // Raises com::errc::SubscriptOutOfRange (9) outside 1..Count.
    ParameterField& Item(int32_t position);
    const ParameterField& Item(int32_t position) const;
    ParameterField& operator()(int32_t position) { return Item(position); }
    // By exact name; nullptr when the report has no such parameter.
    ParameterField* find(std::string_view name);

    std::vector<ParameterField>& all() { return fields_; }
    const std::vector<ParameterField>& all() const { return fields_; }

private:
    std::vector<ParameterField> fields_;
};

// The report's data source: the database and the account it logs on with at each run.
class DatabaseTable {
public:
    // server: the data file's name (kept for display); database: the data file's path;
    // user and password: the account, checked against the workgroup file when the report
    // runs (a wrong one raises errc::QueryFailed). The workgroup file is the one given to
    // setWorkgroupFile, else the file beside the data file with its name and ".mdw".
    void SetLogOnInfo(std::string_view server, std::string_view database, std::string_view user,
                      std::string_view password);
    // The workgroup file the account is checked against (the program's MyFiserAcces).
    void setWorkgroupFile(const std::filesystem::path& file) { workgroup_ = file; }
    std::filesystem::path effectiveWorkgroupFile() const;

    const std::string& server() const { return server_; }
    const std::filesystem::path& database() const { return database_; }
    const std::filesystem::path& workgroupFile() const { return workgroup_; }
    const std::string& user() const { return user_; }
    const std::string& password() const { return password_; }
    bool loggedOn() const { return loggedOn_; }

private:
    std::string server_;
    std::filesystem::path database_, workgroup_;
    std::string user_, password_;
    bool loggedOn_ = false;
};

class Database {
public:
    int32_t Count() const { return 1; }
    // The report's one table: position 1 (raises com::errc::SubscriptOutOfRange otherwise).
    DatabaseTable& Tables(int32_t position);

private:
    DatabaseTable table_;
};

struct Definition;
class Pages;

class Report {
public:
    // Use Application::OpenReport.
    Report(std::filesystem::path path, std::shared_ptr<const Definition> definition);
    ~Report();
    Report(const Report&) = delete;
    Report& operator=(const Report&) = delete;

    const std::filesystem::path& path() const { return path_; }
    const std::string& Title() const;

    class Database& Database() {
        return database_;
    }
    class ParameterFields& ParameterFields() {
        return parameters_;
    }

    // On (the default): every run reads the data afresh. Off: a run with the same
    // parameter values and log-on as the last successful one keeps that run's pages.
    void AlwaysRefreshData(bool on) { alwaysRefresh_ = on; }
    bool AlwaysRefreshData() const { return alwaysRefresh_; }

    // While a run reads the database, `keepGoing` is asked every few hundred microseconds (on
    // the caller's thread); when it answers false the run stops with errc::Cancelled.
    void setProgressCheck(std::function<bool()> keepGoing) { keepGoing_ = std::move(keepGoing); }

    // Opens a read-only connection with the log-on, binds the parameters, runs the
    // queries and lays the pages out. Raises com::Error; on failure the previous run's
    // pages (if any) are dropped, so nothing half-made is ever shown.
    void Run();
    bool hasRun() const { return pages_ != nullptr; }

    // After Run (raise errc::NotRun before it).
    int32_t PageCount() const;
    QPageLayout pageLayout() const;  // size, orientation and margins of the definition
    // Paints page `page` (1-based) onto the painter's device, which is taken to be the
    // page's full paper size (as QPrinter with full-page mode, QPdfWriter, or an image).
    void paintPage(QPainter& painter, int32_t page) const;
    // Paints every page (new pages between them) onto a QPdfWriter/QPrinter painter.
    void paintAll(QPainter& painter, QPagedPaintDevice& device) const;
    // The texts a page shows, in painting order (for checks and searches).
    std::vector<std::string> pageTexts(int32_t page) const;

    // Runs when not yet run, then writes pages fromPage to toPage (0: the last) to a PDF file,
    // whole or not at all: on a failure nothing is left under `file` (an earlier file of that
    // name stays as it was) and errc::OutputFailed names the file and the cause.
    void exportPdf(const std::filesystem::path& file, int32_t fromPage = 1, int32_t toPage = 0);
    QImage pageImage(int32_t page, int dpi = 96);

private:
    std::filesystem::path path_;
    std::shared_ptr<const Definition> definition_;
    class Database database_;
    class ParameterFields parameters_;
    bool alwaysRefresh_ = true;
    std::function<bool()> keepGoing_;
    std::shared_ptr<const Pages> pages_;
    std::vector<com::Variant> lastValues_;
    std::vector<std::string> lastLogOn_;
};

// Opens report files. One per program run is enough; it holds no state of its own.
class Application {
public:
    // Reads and checks the definition at `path` (never locked, never written); openMode
    // 1 is read-only, the only mode. Raises errc::FileNotFound, errc::BadDefinition,
    // errc::BadVersion with the path and the cause in the description.
    std::shared_ptr<Report> OpenReport(const std::filesystem::path& path, int32_t openMode = 1);
};

}  // namespace reports
