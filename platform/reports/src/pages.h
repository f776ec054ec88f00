#pragma once
// Internal: a run's pages as lightweight records (which band, for which row, where), with
// the data they show; painted only when a page is asked for.
#include <QPainter>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "cell_text.h"
#include "data.h"
#include "definition.h"

namespace reports {

// Which band a placement shows: the fixed bands, then two per group level.
enum BandId : uint16_t { ReportHeader = 0, PageHeader, Detail, ReportFooter, PageFooter, FirstGroupBand };
inline uint16_t groupHeader(size_t level) { return static_cast<uint16_t>(FirstGroupBand + 2 * level); }
inline uint16_t groupFooter(size_t level) { return static_cast<uint16_t>(FirstGroupBand + 2 * level + 1); }

struct Placement {
    uint16_t band;
    int32_t row;     // the main query's row the band shows (-1: none)
    int32_t y;       // twips from the top of the page's printable area
    int32_t height;  // twips, grown for "can grow" items
};

// Exact running sums of one column: prefix[i] is the sum of rows [0, i).
struct RunningSum {
    enum class Kind { Money, Integer, Real } kind = Kind::Integer;
    std::vector<int64_t> exact;  // money in 1/10 000, integers as they are
    std::vector<double> real;
};

class Pages {
public:
    // Lays out the run's data. Raises errc::UnknownColumn for an item whose column or
    // parameter the report does not have.
    Pages(std::shared_ptr<const Definition> definition, std::vector<Table> tables,
          std::vector<com::Variant> parameterValues, com::Date printDate);

    int32_t count() const { return static_cast<int32_t>(pages_.size()); }
    const std::vector<Placement>& page(int32_t index) const { return pages_[static_cast<size_t>(index)]; }
    void paint(QPainter& painter, int32_t index) const;   // 0-based
    std::vector<std::string> texts(int32_t index) const;  // 0-based, in painting order, as painted
    const Definition& definition() const { return *definition_; }

private:
    const Band& band(uint16_t id) const;
    std::string itemText(const Item& item, const Placement& p, int32_t pageIndex) const;
    // The same, telling whether it shows a number.
    std::string itemText(const Item& item, const Placement& p, int32_t pageIndex, bool& number) const;
    int bandHeight(const Band& band, int32_t row) const;
    void resolve(Band& band);
    com::Variant aggregate(const Item& item, int32_t row) const;
    void layout();

    std::shared_ptr<Definition> definition_;  // a copy, with the columns resolved
    std::vector<Table> tables_;
    std::vector<com::Variant> parameters_;
    com::Date printDate_;
    std::vector<std::vector<int32_t>> groupStart_, groupEnd_;  // [level][row]
    std::vector<RunningSum> sums_;
    std::vector<std::vector<Placement>> pages_;
};

// How a value is written with a format (docs/report-format.md).
std::string formatValue(const com::Variant& value, Format format, bool blankWhenZero);

}  // namespace reports
