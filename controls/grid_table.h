#pragma once
// What the grid shows, as values: the column captions, the totals row, the data cells
// (texts, amounts and dates, turned into text only when shown), each row's item index
// and marks, and each column's width, alignment and read-only shading. The formats are
// held per row and per column, never per cell.
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

#include <QString>

#include "com/date.h"
#include "com/variant.h"

namespace quillon {

// A decimal amount as a number column shows it: a count of 10^-scale, the scale being
// the column's decimals, within the run-time's decimal range (a count below 2^96 in
// magnitude, at most 28 decimals); beyond it every operation raises 6.
struct Amount {
    static constexpr int MaxScale = 28;
    static constexpr __int128 MaxUnits = (static_cast<__int128>(1) << 96) - 1;  // 2^96 - 1

    __int128 units = 0;
    int32_t scale = 0;

    // The value rounded half away from zero to `decimals` decimals, as the run-time's
    // number formatting rounds (a Double first to 15 significant digits; a text is read
    // exactly, under the user's locale). Raises 94 for Null, 13 for a value that is no
    // number, 6 beyond the range.
    static Amount of(const com::Variant& value, int decimals);
    static Amount zero(int decimals) { return Amount{0, decimals}; }

    // The same amount at `decimals` decimals, rounded half away from zero.
    Amount at(int decimals) const;
    Amount operator+(const Amount& other) const;  // at this amount's scale
    // Adds an amount of the same scale (a cell to its column's total), in place.
    void add(const Amount& sameScale) {
        units += sameScale.units;
        if (units > MaxUnits || units < -MaxUnits) outOfRange();
    }
    Amount operator-(const Amount& other) const;
    friend bool operator==(const Amount&, const Amount&) = default;

    // The amount as a value a source takes: a Currency when it holds exactly at up to four
    // decimals, else the nearest Double.
    com::Variant value() const;
    // The amount with the locale's decimal point and digit grouping.
    QString text() const;

    [[noreturn]] static void outOfRange();
};

// A shown date (its day-month-year text uses the locale's date separator).
struct ShownDate {
    com::Date date;
    friend bool operator==(const ShownDate&, const ShownDate&) = default;
};
QString dateText(com::Date date);

// A data cell: empty, a text as it stands, an amount, a date, or a source's value shown
// as text.
using Cell = std::variant<std::monostate, std::string, Amount, ShownDate, com::Variant>;
QString cellText(const Cell& cell);

// The identifier and the text of an "id|text" value (the text ends at a further "|");
// raises 9 for a value without "|", 13 for an identifier that is no number.
std::pair<int32_t, std::string> keyedValue(std::string_view value);

class GridTable {
public:
    // The alignments a column may take, all centred vertically: left, centre, right.
    static constexpr int AlignLeftCenter = 1, AlignCenter = 4, AlignRightCenter = 7;

    struct Column {
        QString caption;
        int widthTwips = 960;
        int alignment = AlignLeftCenter;
        bool readOnly = false;  // painted as not editable
        Cell total;             // the totals row's cell
    };
    struct Row {
        int32_t rowData = 0;  // the item index, 0 for a line without an item
        bool shaded = false;
        bool struck = false;  // a deleted item: struck through, in red
    };

    // A table of `cols` columns (column 0 is the row selector) and `rows` rows, the first
    // `fixedRows` of them the header and the totals row; its cells are to be written anew.
    void reset(int cols, int rows, int fixedRows);
    // Keeps the columns, sets the number of rows (data rows added empty).
    void setRows(int rows, int fixedRows);

    int rows() const { return fixedRows_ + static_cast<int>(rowInfo_.size()); }
    int cols() const { return static_cast<int>(columns_.size()) + 1; }
    int fixedRows() const { return fixedRows_; }
    int dataRows() const { return static_cast<int>(rowInfo_.size()); }
    bool hasTotals() const { return fixedRows_ == 2; }

    // Columns and rows by their grid numbers (data columns from 1, data rows from fixedRows).
    Column& column(int col) { return columns_.at(static_cast<size_t>(col - 1)); }
    const Column& column(int col) const { return columns_.at(static_cast<size_t>(col - 1)); }
    Row& row(int r) { return rowInfo_.at(static_cast<size_t>(r - fixedRows_)); }
    const Row& row(int r) const { return rowInfo_.at(static_cast<size_t>(r - fixedRows_)); }
    Cell& cell(int r, int col) { return cells_.at(index(r, col)); }
    const Cell& cell(int r, int col) const { return cells_.at(index(r, col)); }

    // The text of any cell: the caption in row 0, the total in the totals row, "" in
    // column 0. Raises 9 outside the table.
    QString text(int r, int col) const;

    // Adds one empty data row at the end.
    void appendRow();
    // Makes room for `rows` data rows before they are written in order.
    void reserve(int rows) { cells_.reserve(static_cast<size_t>(rows) * columns_.size()); }

private:
    size_t index(int r, int col) const;

    std::vector<Column> columns_;
    std::vector<Row> rowInfo_;
    std::vector<Cell> cells_;  // data rows only, row after row
    int fixedRows_ = 1;
};

}  // namespace quillon
