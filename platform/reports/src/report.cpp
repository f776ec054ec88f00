#include "reports/report.h"

#include <QImage>
#include <QPageLayout>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>

#include <algorithm>
#include <charconv>
#include <cmath>

#include "com/date.h"
#include "com/error.h"
#include "data.h"
#include "definition.h"
#include "pages.h"
#include "pdf_file.h"

namespace reports {

namespace {

std::string typeName(ParameterType type) {
    switch (type) {
    case ParameterType::Integer: return "un numar intreg";
    case ParameterType::Number: return "un numar";
    case ParameterType::Date: return "o data";
    case ParameterType::Text: return "un text";
    }
    return {};
}

std::optional<int32_t> wholeNumber(const com::Variant& v) {
    switch (v.type()) {
    case com::VarType::Integer:
    case com::VarType::Long:
    case com::VarType::Boolean: return v.toLong();
    case com::VarType::Currency: {
        const int64_t units = v.get<com::Currency>()->units();
        if (units % com::Currency::Scale != 0) return std::nullopt;
        const int64_t whole = units / com::Currency::Scale;
        if (whole < INT32_MIN || whole > INT32_MAX) return std::nullopt;
        return static_cast<int32_t>(whole);
    }
    case com::VarType::Double: {
        const double d = *v.get<double>();
        if (!std::isfinite(d) || d != std::floor(d) || d < INT32_MIN || d > INT32_MAX) return std::nullopt;
        return static_cast<int32_t>(d);
    }
    case com::VarType::String: {
        std::string_view text = *v.get<std::string>();
        while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
        while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
        if (!text.empty() && text.front() == '+') text.remove_prefix(1);
        int32_t value = 0;
        const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
        if (ec != std::errc() || end != text.data() + text.size() || text.empty()) return std::nullopt;
        return value;
    }
    default: return std::nullopt;
    }
}

std::optional<com::Variant> coerce(const com::Variant& v, ParameterType type) {
    switch (type) {
    case ParameterType::Integer:
        if (auto whole = wholeNumber(v)) return com::Variant(*whole);
        return std::nullopt;
    case ParameterType::Number:
        if (v.type() == com::VarType::Currency || v.type() == com::VarType::Double) return v;
        if (v.type() == com::VarType::Integer || v.type() == com::VarType::Long) return com::Variant(v.toLong());
        if (v.type() == com::VarType::String) {
            try {
                return com::Variant(com::parseNumber(*v.get<std::string>()));
            } catch (const com::Error&) {
                return std::nullopt;
            }
        }
        return std::nullopt;
    case ParameterType::Date:
        if (v.type() == com::VarType::Date) return v;
        if (v.type() == com::VarType::String) {
            if (auto d = com::readDateText(*v.get<std::string>())) return com::Variant(*d);
        }
        return std::nullopt;
    case ParameterType::Text:
        if (v.isObject()) return std::nullopt;
        return com::Variant(v.toString());
    }
    return std::nullopt;
}

std::string shown(const com::Variant& v) {
    if (v.isObject()) return "(obiect)";
    try {
        return v.toString();
    } catch (const com::Error&) {
        return "?";
    }
}

}  // namespace

ParameterField::ParameterField(std::string name, ParameterType type, const com::Variant& defaultValue,
                               std::string prompt, std::string reportFile)
    : name_(std::move(name)), type_(type), prompt_(std::move(prompt)), reportFile_(std::move(reportFile)) {
    if (defaultValue.isEmpty() || defaultValue.isNull()) return;
    auto value = coerce(defaultValue, type_);
    if (!value)
        fail(errc::BadDefinition, reportFile_,
             "valoarea implicita \"" + shown(defaultValue) + "\" a parametrului \"" + name_ + "\" nu este " +
                 typeName(type_) + ".");
    default_ = std::move(*value);
}

void ParameterField::ClearCurrentValueAndRange() { current_ = com::Variant(); }

void ParameterField::AddCurrentValue(const com::Variant& value) {
    if (value.isEmpty() || value.isNull()) {
        current_ = com::Variant();
        return;
    }
    auto converted = coerce(value, type_);
    if (!converted)
        fail(errc::BadParameter, reportFile_,
             "parametrul \"" + name_ + "\" asteapta " + typeName(type_) + "; valoarea \"" + shown(value) +
                 "\" nu poate fi convertita.");
    current_ = std::move(*converted);
}

ParameterField& ParameterFields::Item(int32_t position) {
    if (position < 1 || position > Count())
        com::raise(com::errc::SubscriptOutOfRange, "reports",
                   "Raportul are " + std::to_string(Count()) + " parametri; pozitia " + std::to_string(position) +
                       " nu exista.");
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
    if (position != 1)
        com::raise(com::errc::SubscriptOutOfRange, "reports",
                   "Raportul are un singur tabel; pozitia " + std::to_string(position) + " nu exista.");
    return table_;
}

Report::Report(std::filesystem::path path, std::shared_ptr<const Definition> definition)
    : path_(std::move(path)), definition_(std::move(definition)) {
    for (const auto& p : definition_->parameters)
        parameters_.all().emplace_back(p.name, p.type, p.defaultValue, p.prompt, definition_->file);
}

Report::~Report() = default;

const std::string& Report::Title() const { return definition_->title; }

void Report::Run() {
    const DatabaseTable& table = database_.Tables(1);
    auto previous = std::move(pages_);
    pages_.reset();
    if (!table.loggedOn())
        fail(errc::NotLoggedOn, definition_->file, "nu s-a dat contul cu care se citeste baza de date.");
    std::vector<com::Variant> values;
    for (const auto& field : parameters_.all()) {
        const com::Variant& v = field.EffectiveValue();
        if (v.isEmpty())
            fail(errc::MissingValue, definition_->file,
                 "parametrul \"" + field.Name() + "\" nu are nicio valoare si nici o valoare implicita.");
        values.push_back(v);
    }
    const std::vector<std::string> logOn{table.database().string(), table.effectiveWorkgroupFile().string(),
                                         table.user(), table.password()};
    if (!alwaysRefresh_ && previous && values == lastValues_ && logOn == lastLogOn_) {
        pages_ = std::move(previous);
        return;
    }
    LogOn account{table.database(), table.effectiveWorkgroupFile(), table.user(), table.password()};
    auto tables = readData(*definition_, account, values, keepGoing_);
    pages_ = std::make_shared<Pages>(definition_, std::move(tables), values, com::Date::now());
    lastValues_ = std::move(values);
    lastLogOn_ = logOn;
}

namespace {
const Pages& ran(const std::shared_ptr<const Pages>& pages, const Definition& d) {
    if (!pages) fail(errc::NotRun, d.file, "raportul nu a fost rulat.");
    return *pages;
}
}  // namespace

int32_t Report::PageCount() const { return ran(pages_, *definition_).count(); }

QPageLayout Report::pageLayout() const { return definition_->page; }

void Report::paintPage(QPainter& painter, int32_t page) const {
    const Pages& pages = ran(pages_, *definition_);
    if (page < 1 || page > pages.count())
        com::raise(com::errc::SubscriptOutOfRange, "reports",
                   "Raportul are " + std::to_string(pages.count()) + " pagini; pagina " + std::to_string(page) +
                       " nu exista.");
    pages.paint(painter, page - 1);
}

void Report::paintAll(QPainter& painter, QPagedPaintDevice& device) const {
    const Pages& pages = ran(pages_, *definition_);
    for (int32_t i = 0; i < pages.count(); ++i) {
        if (i > 0) device.newPage();
        pages.paint(painter, i);
    }
}

std::vector<std::string> Report::pageTexts(int32_t page) const {
    const Pages& pages = ran(pages_, *definition_);
    if (page < 1 || page > pages.count()) com::raise(com::errc::SubscriptOutOfRange, "reports");
    return pages.texts(page - 1);
}

void Report::exportPdf(const std::filesystem::path& file, int32_t fromPage, int32_t toPage) {
    if (!pages_) Run();
    const Pages& pages = *pages_;
    const int32_t last = toPage > 0 ? std::min(toPage, pages.count()) : pages.count();
    const int32_t first = std::max(fromPage, 1);
    QPageLayout layout = definition_->page;
    layout.setMargins(QMarginsF(0, 0, 0, 0));
    layout.setMinimumMargins(QMarginsF(0, 0, 0, 0));
    writePdf(file, database_.Tables(1).database(), definition_->file, layout, definition_->title,
             [&](QPainter& painter, QPdfWriter& writer) {
                 for (int32_t i = first; i <= last; ++i) {
                     if (i > first) writer.newPage();
                     pages.paint(painter, i - 1);
                 }
             });
}

QImage Report::pageImage(int32_t page, int dpi) {
    if (dpi < 10 || dpi > 2400)
        com::raise(com::errc::InvalidProcedureCall, "reports",
                   "Raportul \"" + definition_->file + "\": rezolutia " + std::to_string(dpi) +
                       " nu este intre 10 si 2400 dpi.");
    if (!pages_) Run();
    const QSizeF points = definition_->page.fullRectPoints().size();
    QImage image(static_cast<int>(std::ceil(points.width() * dpi / 72.0)),
                 static_cast<int>(std::ceil(points.height() * dpi / 72.0)), QImage::Format_RGB32);
    const int dotsPerMeter = static_cast<int>(std::lround(dpi / 0.0254));
    image.setDotsPerMeterX(dotsPerMeter);
    image.setDotsPerMeterY(dotsPerMeter);
    image.fill(Qt::white);
    QPainter painter(&image);
    paintPage(painter, page);
    return image;
}

std::shared_ptr<Report> Application::OpenReport(const std::filesystem::path& path, int32_t openMode) {
    if (openMode != 1)
        com::raise(com::errc::InvalidProcedureCall, "reports",
                   "Raportul \"" + path.string() + "\": modul de deschidere " + std::to_string(openMode) +
                       " nu este cunoscut (1: numai citire).");
    return std::make_shared<Report>(path, loadDefinition(path));
}

}  // namespace reports
