#pragma once
// The parameter text of a report in the catalogue: entries ended by ";", each
// "name,default,control" where the control is "MyCombo" or "ControlPersonal|<kind>".
// The report screen builds one labelled control per entry from it.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <QDate>

#include "typelib/quillon.h"

namespace velmora {

enum class ParametruControl { MyCombo, ControlPersonal };

struct ParametruRaport {
    int row = 0;  // 1-based place of the entry in the text: the row of the panel it takes
    std::string name;
    std::string defaultText;  // used only by a date entry named "Data"
    ParametruControl control = ParametruControl::MyCombo;
    // The entry field's kind: Data, Text, Numar or Select; none keeps the control's own.
    std::optional<quillon::TipData> tipData;
};

// The entries that create controls, in text order. Text after the last ";" is ignored;
// an entry whose control is neither kind takes its row but creates nothing. An entry
// with fewer than two commas, or without a name, raises error 5 naming the entry.
std::vector<ParametruRaport> parseParametrii(std::string_view text);

// The report's own name of the parameter a control feeds: "p" & name for a combo,
// "@" & name for an entry field.
std::string reportFieldName(const ParametruRaport& parameter);

// The date an entry field of kind Data starts with, `today` being the current date:
// "Data" takes its default text (read by the control) or today, "Data inceput" the first
// and "Data sfarsit" the last day of the month; other names start empty (nullopt).
struct StartDate {
    std::optional<QDate> date;
    std::string text;  // the default text of "Data", when it has one
};
StartDate startDate(const ParametruRaport& parameter, QDate today);

}  // namespace velmora
