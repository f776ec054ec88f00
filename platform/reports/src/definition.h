#pragma once
// Internal: a report definition as read from its XML file (docs/report-format.md).
// Positions and sizes are twips (1/1440 inch) from the band's top-left corner.
#include <QColor>
#include <QFont>
#include <QPageLayout>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "com/variant.h"
#include "reports/report.h"

namespace reports {

inline constexpr int SupportedVersion = 1;

enum class ItemKind { Text, Field, Parameter, Special, Sum, Count, Line, Box };
enum class Special { Page, Pages, PageOfPages, PrintDate };
// How a value is written: as it comes, money whole or with 2 decimals, integer, date.
enum class Format { Plain, Money0, Money2, Integer, Date };
// The declared type of a query column (Auto: as the data layer reads it).
enum class ColumnType { Auto, Money, Integer, Number, Date, Text };

struct Item {
    ItemKind kind = ItemKind::Text;
    int x = 0, y = 0, w = 0, h = 0;  // a line runs from (x, y) to (x + w, y + h)
    std::string text;                // static text, or the template of a special field
    std::string column;              // field, sum, count: the column; parameter: its name
    std::string query;               // field: a lookup query's name ("" for the main query)
    std::string scope;               // sum, count: a group's column, or "" for the report
    Special special = Special::Page;
    Format format = Format::Plain;
    QFont font;
    int align = 0;  // Qt::Alignment flags
    QColor color = Qt::black;
    QColor background;  // invalid: transparent
    QColor borderColor = Qt::black;
    int border = 0;        // pen width in twips; 0: none
    bool canGrow = false;  // the band grows to hold the whole text (wraps)
    bool wrap = false;     // words wrap inside the fixed box
    bool blankWhenZero = false;
    // Resolved when the report runs.
    int columnIndex = -1;
    int scopeLevel = -1;  // -1: the report; else the group level
    int sumSlot = -1;
    int parameterIndex = -1;
};

enum class PageBreak { None, Before, After };

struct Band {
    int height = 0;
    bool visible = true;
    PageBreak pageBreak = PageBreak::None;  // detail: after each record; group: see Group
    bool present = false;
    std::vector<Item> items;
};

struct Group {
    std::string column;
    PageBreak pageBreak = PageBreak::None;  // before each group (not the first) or after each
    bool repeatHeader = false;              // header again at the top of a continued page
    Band header, footer;
    int columnIndex = -1;  // resolved when the report runs
};

struct ColumnDecl {
    std::string name;
    ColumnType type = ColumnType::Auto;
    std::vector<std::string> add, subtract;  // a computed column: sum of add - sum of subtract
    bool computed = false;
};

struct QueryDecl {
    std::string name;
    std::string sql;                  // with "?" in place of each placeholder
    std::vector<int> parameters;      // 0-based parameter index of each "?"
    std::vector<ColumnDecl> columns;  // declared types and computed columns
};

struct ParameterDecl {
    std::string name;
    ParameterType type = ParameterType::Text;
    com::Variant defaultValue;
    std::string prompt;
};

struct Definition {
    std::string file;  // the path, for messages
    int version = SupportedVersion;
    std::string title;
    QPageLayout page;
    QFont font;
    std::vector<ParameterDecl> parameters;
    std::vector<QueryDecl> queries;  // the first drives the bands; the others are lookups
    Band reportHeader, pageHeader, detail, reportFooter, pageFooter;
    std::vector<Group> groups;  // outermost first
};

// Reads and checks a definition file. Raises errc::FileNotFound, BadDefinition, BadVersion.
std::shared_ptr<Definition> loadDefinition(const std::filesystem::path& file);

// The report's message for a cause: "Raportul \"<file>\": <cause>".
[[noreturn]] void fail(int32_t number, const std::string& file, const std::string& cause);

}  // namespace reports
