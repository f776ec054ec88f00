#include "screens/raportparametrii.h"

#include "com/error.h"

namespace velmora {
namespace {

constexpr const char* kSource = "frmParametrizareRapoarte";

std::optional<quillon::TipData> tipDataOf(std::string_view kind) {
    if (kind == "Data") return quillon::TipData::Data;
    if (kind == "Text") return quillon::TipData::Text;
    if (kind == "Numar") return quillon::TipData::Numar;
    if (kind == "Select") return quillon::TipData::Selectie;
    return std::nullopt;
}

}  // namespace

std::vector<ParametruRaport> parseParametrii(std::string_view text) {
    std::vector<ParametruRaport> entries;
    int row = 0;
    for (auto end = text.find(';'); end != std::string_view::npos; end = text.find(';')) {
        const std::string_view entry = text.substr(0, end);
        text.remove_prefix(end + 1);
        ++row;

        const auto first = entry.find(',');
        const auto second = first == std::string_view::npos ? first : entry.find(',', first + 1);
        if (second == std::string_view::npos)
            com::raise(com::errc::InvalidProcedureCall, kSource,
                       "Parametrul \"" + std::string(entry) +
                           "\" al raportului nu are forma nume,valoare implicita,control.");
        ParametruRaport parameter;
        parameter.row = row;
        parameter.name = entry.substr(0, first);
        parameter.defaultText = entry.substr(first + 1, second - first - 1);
        if (parameter.name.empty())
            com::raise(com::errc::InvalidProcedureCall, kSource,
                       "Parametrul \"" + std::string(entry) + "\" al raportului nu are nume.");

        // The control field is everything after the second comma, read up to its first "|".
        const std::string_view control = entry.substr(second + 1);
        const auto bar = control.find('|');
        const std::string_view type = control.substr(0, bar);
        if (type == "MyCombo") {
            parameter.control = ParametruControl::MyCombo;
        } else if (type == "ControlPersonal") {
            parameter.control = ParametruControl::ControlPersonal;
            if (bar != std::string_view::npos) {
                const std::string_view rest = control.substr(bar + 1);
                parameter.tipData = tipDataOf(rest.substr(0, rest.find('|')));
            }
        } else {
            continue;  // no control of that kind: the row stays empty
        }
        entries.push_back(std::move(parameter));
    }
    return entries;
}

std::string reportFieldName(const ParametruRaport& parameter) {
    return (parameter.control == ParametruControl::MyCombo ? "p" : "@") + parameter.name;
}

StartDate startDate(const ParametruRaport& parameter, QDate today) {
    const QDate first(today.year(), today.month(), 1);
    if (parameter.name == "Data") {
        if (!parameter.defaultText.empty()) return {std::nullopt, parameter.defaultText};
        return {today, {}};
    }
    if (parameter.name == "Data inceput") return {first, {}};
    if (parameter.name == "Data sfarsit") return {first.addMonths(1).addDays(-1), {}};
    return {};
}

}  // namespace velmora
