#include "reports/report.h"

#include <QImage>
#include <QPageLayout>
#include <QPagedPaintDevice>
#include <QPainter>

#include "com/error.h"

namespace reports {

struct Definition {
    std::string title;
};
class Pages {};

ParameterField::ParameterField(std::string name, ParameterType type, com::Variant defaultValue, std::string prompt)
    : name_(std::move(name)), type_(type), default_(std::move(defaultValue)), prompt_(std::move(prompt)) {}

void ParameterField::ClearCurrentValueAndRange() { current_ = com::Variant(); }
void ParameterField::AddCurrentValue(const com::Variant& value) { current_ = value; }

ParameterField& ParameterFields::Item(int32_t position) {
    if (position < 1 || position > Count()) com::raise(com::errc::SubscriptOutOfRange, "reports");
    return fields_[static_cast<size_t>(position - 1)];
}
const ParameterField& ParameterFields::Item(int32_t position) const {
    return const_cast<ParameterFields*>(this)->Item(position);
}
ParameterField* ParameterFields::find(std::string_view name) {
    for (auto& f : fields_)
        if (f.Name() == name) return &f;
    return nullptr;
}

void DatabaseTable::SetLogOnInfo(std::string_view server, std::string_view database, std::string_view user,
                                 std::string_view password) {
    server_ = server;
    database_ = database;
    user_ = user;
    password_ = password;
    loggedOn_ = true;
}
std::filesystem::path DatabaseTable::effectiveWorkgroupFile() const {
    if (!workgroup_.empty()) return workgroup_;
    return std::filesystem::path(database_).replace_extension(".mdw");
}

DatabaseTable& Database::Tables(int32_t position) {
    if (position != 1) com::raise(com::errc::SubscriptOutOfRange, "reports");
    return table_;
}

Report::Report(std::filesystem::path path, std::shared_ptr<const Definition> definition)
    : path_(std::move(path)), definition_(std::move(definition)) {}
Report::~Report() = default;
const std::string& Report::Title() const { return definition_->title; }
void Report::Run() {}
int32_t Report::PageCount() const { return 0; }
QPageLayout Report::pageLayout() const { return QPageLayout(); }
void Report::paintPage(QPainter&, int32_t) const {}
void Report::paintAll(QPainter&, QPagedPaintDevice&) const {}
void Report::exportPdf(const std::filesystem::path&) {}
QImage Report::pageImage(int32_t, int) { return QImage(); }

std::shared_ptr<Report> Application::OpenReport(const std::filesystem::path& path, int32_t) {
    return std::make_shared<Report>(path, std::make_shared<Definition>());
}

}  // namespace reports
