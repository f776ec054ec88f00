#include "pages.h"

#include <QFontMetricsF>
#include <QLocale>

#include <cmath>

#include "com/dispatch.h"
#include "com/error.h"

namespace reports {

namespace {

constexpr int TextPadding = 30;  // twips between a text's box and its letters

std::string groupDigits(uint64_t whole) {
    const std::string digits = std::to_string(whole);
    const QString separator = QLocale().groupSeparator();
    if (QLocale().numberOptions() & QLocale::OmitGroupSeparator) return digits;
    const std::string sep = separator.toStdString();
    std::string out;
    const size_t lead = digits.size() % 3 == 0 ? 3 : digits.size() % 3;
    out.append(digits, 0, lead);
    for (size_t i = lead; i < digits.size(); i += 3) out.append(sep).append(digits, i, 3);
    return out;
}

// Money with `decimals` (0 or 2) places, rounded half away from zero, grouped, with a minus sign.
std::string money(com::Currency amount, int decimals) {
    const int64_t units = amount.units();
    const bool negative = units < 0;
    const uint64_t magnitude = negative ? static_cast<uint64_t>(-(units + 1)) + 1 : static_cast<uint64_t>(units);
    const uint64_t step = decimals == 2 ? 100 : 10000;
    const uint64_t rounded = (magnitude + step / 2) / step;  // in 1/100 or whole units
    const uint64_t whole = decimals == 2 ? rounded / 100 : rounded;
    std::string text = groupDigits(whole);
    if (decimals == 2) {
        const auto cents = static_cast<unsigned>(rounded % 100);
        text += QLocale().decimalPoint().toStdString();
        text += static_cast<char>('0' + cents / 10);
        text += static_cast<char>('0' + cents % 10);
    }
    if (negative && rounded != 0) text.insert(0, "-");
    return text;
}

// A whole number grouped; one that is not whole (a head count of a part-time post) with the
// decimals it has, so that the lines shown add up to their total.
std::string wholeOrAsItIs(com::Currency amount) {
    const int64_t units = amount.units();
    if (units % com::Currency::Scale == 0) return money(amount, 0);
    const uint64_t magnitude = units < 0 ? static_cast<uint64_t>(-(units + 1)) + 1 : static_cast<uint64_t>(units);
    std::string fraction = std::to_string(magnitude % com::Currency::Scale + com::Currency::Scale).substr(1);
    while (fraction.back() == '0') fraction.pop_back();
    std::string text =
        groupDigits(magnitude / com::Currency::Scale) + QLocale().decimalPoint().toStdString() + fraction;
    if (units < 0) text.insert(0, "-");
    return text;
}

std::string dateText(const com::Date& date) {
    const com::DateParts p = date.parts();
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%02d.%02d.%04d", p.day, p.month, p.year);
    return buffer;
}

bool isZero(const com::Variant& v) {
    switch (v.type()) {
    case com::VarType::Integer:
    case com::VarType::Long: return v.toLong() == 0;
    case com::VarType::Currency: return v.get<com::Currency>()->units() == 0;
    case com::VarType::Double: return *v.get<double>() == 0;
    default: return false;
    }
}

}  // namespace

std::string formatValue(const com::Variant& value, Format format, bool blankWhenZero) {
    if (value.isNull() || value.isEmpty()) return {};
    if (blankWhenZero && isZero(value)) return {};
    // A value the format cannot write (text where a date is due, a number beyond money's range)
    // is shown as it comes: pages are painted inside paint events, where nothing may raise.
    try {
        switch (format) {
        case Format::Money0:
            if (value.isNumber()) return money(value.toCurrency(), 0);
            break;
        case Format::Integer:
            if (value.isNumber()) return wholeOrAsItIs(value.toCurrency());
            break;
        case Format::Money2:
            if (value.isNumber()) return money(value.toCurrency(), 2);
            break;
        case Format::Date:
            if (value.type() == com::VarType::Date) return dateText(*value.get<com::Date>());
            if (const auto* text = value.get<std::string>()) return dateText(com::Date::fromIso(*text));
            break;
        case Format::Plain: break;
        }
    } catch (const com::Error&) {}
    if (value.type() == com::VarType::Date) {
        const com::DateParts p = value.get<com::Date>()->parts();
        std::string text = dateText(*value.get<com::Date>());
        if (p.hour || p.minute || p.second) {
            char buffer[16];
            std::snprintf(buffer, sizeof buffer, " %02d:%02d:%02d", p.hour, p.minute, p.second);
            text += buffer;
        }
        return text;
    }
    return value.toString();
}

Pages::Pages(std::shared_ptr<const Definition> definition, std::vector<Table> tables,
             std::vector<com::Variant> parameterValues, com::Date printDate)
    : definition_(std::make_shared<Definition>(*definition)),
      tables_(std::move(tables)),
      parameters_(std::move(parameterValues)),
      printDate_(printDate) {
    Definition& d = *definition_;
    const Table& main = tables_.front();
    for (auto& g : d.groups) {
        g.columnIndex = main.find(g.column);
        if (g.columnIndex < 0)
            fail(errc::UnknownColumn, d.file,
                 "grupa dupa coloana \"" + g.column + "\": coloana nu exista in interogarea \"" + main.name + "\".");
    }
    // Each row's group, at each level: the first and the last row of it.
    const size_t n = main.rowCount;
    groupStart_.assign(d.groups.size(), std::vector<int32_t>(n));
    groupEnd_.assign(d.groups.size(), std::vector<int32_t>(n));
    for (size_t level = 0; level < d.groups.size(); ++level) {
        size_t start = 0;
        for (size_t r = 0; r < n; ++r) {
            bool breaks = r == 0;
            for (size_t l = 0; l <= level && !breaks; ++l) {
                const auto c = static_cast<size_t>(d.groups[l].columnIndex);
                breaks = !(main.at(r, c) == main.at(r - 1, c));
            }
            if (breaks) start = r;
            groupStart_[level][r] = static_cast<int32_t>(start);
        }
        size_t end = n;
        for (size_t r = n; r-- > 0;) {
            if (r + 1 == n || groupStart_[level][r + 1] != groupStart_[level][r]) end = r;
            groupEnd_[level][r] = static_cast<int32_t>(end);
        }
    }
    resolve(d.reportHeader);
    resolve(d.pageHeader);
    resolve(d.detail);
    resolve(d.reportFooter);
    resolve(d.pageFooter);
    for (auto& g : d.groups) {
        resolve(g.header);
        resolve(g.footer);
    }
    layout();
}

void Pages::resolve(Band& band) {
    Definition& d = *definition_;
    const Table& main = tables_.front();
    for (Item& item : band.items) {
        switch (item.kind) {
        case ItemKind::Field: {
            const Table* table = &main;
            if (!item.query.empty()) {
                table = nullptr;
                for (const auto& t : tables_)
                    if (t.name == item.query) table = &t;
                if (!table)
                    fail(errc::UnknownColumn, d.file,
                         "campul \"" + item.column + "\" cere interogarea \"" + item.query + "\", care nu exista.");
            }
            item.columnIndex = table->find(item.column);
            if (item.columnIndex < 0)
                fail(errc::UnknownColumn, d.file,
                     "coloana \"" + item.column + "\" nu exista in interogarea \"" + table->name + "\".");
            break;
        }
        case ItemKind::Parameter:
            for (size_t i = 0; i < d.parameters.size(); ++i)
                if (d.parameters[i].name == item.column) item.parameterIndex = static_cast<int>(i);
            if (item.parameterIndex < 0)
                fail(errc::UnknownColumn, d.file, "parametrul \"" + item.column + "\" afisat nu este declarat.");
            break;
        case ItemKind::Sum:
        case ItemKind::Count: {
            item.scopeLevel = -1;
            if (!item.scope.empty()) {
                for (size_t l = 0; l < d.groups.size(); ++l)
                    if (com::equalsIgnoreCase(d.groups[l].column, item.scope)) item.scopeLevel = static_cast<int>(l);
                if (item.scopeLevel < 0)
                    fail(errc::UnknownColumn, d.file,
                         "totalul pe grupa \"" + item.scope + "\": nu exista o grupa dupa aceasta coloana.");
            }
            if (item.kind == ItemKind::Count) break;
            item.columnIndex = main.find(item.column);
            if (item.columnIndex < 0)
                fail(errc::UnknownColumn, d.file,
                     "totalul coloanei \"" + item.column + "\": coloana nu exista in interogarea \"" + main.name +
                         "\".");
            RunningSum sum;
            const auto c = static_cast<size_t>(item.columnIndex);
            for (size_t r = 0; r < main.rowCount; ++r) {
                const com::Variant& v = main.at(r, c);
                if (v.type() == com::VarType::Double) sum.kind = RunningSum::Kind::Real;
                else if (v.type() == com::VarType::Currency && sum.kind == RunningSum::Kind::Integer)
                    sum.kind = RunningSum::Kind::Money;
                else if (!v.isNull() && !v.isEmpty() && !v.isNumber())
                    fail(errc::UnknownColumn, d.file,
                         "coloana \"" + item.column + "\" insumata nu este numerica (randul " + std::to_string(r + 1) +
                             ").");
            }
            if (sum.kind == RunningSum::Kind::Real) {
                sum.real.assign(main.rowCount + 1, 0.0);
                for (size_t r = 0; r < main.rowCount; ++r) {
                    const com::Variant& v = main.at(r, c);
                    sum.real[r + 1] = sum.real[r] + (v.isNumber() ? v.toDouble() : 0.0);
                }
            } else {
                sum.exact.assign(main.rowCount + 1, 0);
                for (size_t r = 0; r < main.rowCount; ++r) {
                    const com::Variant& v = main.at(r, c);
                    int64_t x = 0;
                    if (v.type() == com::VarType::Currency) x = v.get<com::Currency>()->units();
                    else if (v.isNumber())
                        x = static_cast<int64_t>(v.toLong()) *
                            (sum.kind == RunningSum::Kind::Money ? com::Currency::Scale : 1);
                    if (__builtin_add_overflow(sum.exact[r], x, &sum.exact[r + 1]))
                        fail(errc::QueryFailed, d.file,
                             "totalul coloanei \"" + item.column + "\" depaseste marimea unei sume.");
                }
            }
            item.sumSlot = static_cast<int>(sums_.size());
            sums_.push_back(std::move(sum));
            break;
        }
        default: break;
        }
    }
}

const Band& Pages::band(uint16_t id) const {
    const Definition& d = *definition_;
    switch (id) {
    case ReportHeader: return d.reportHeader;
    case PageHeader: return d.pageHeader;
    case Detail: return d.detail;
    case ReportFooter: return d.reportFooter;
    case PageFooter: return d.pageFooter;
    default: {
        const Group& g = d.groups[(id - FirstGroupBand) / 2];
        return (id - FirstGroupBand) % 2 == 0 ? g.header : g.footer;
    }
    }
}

com::Variant Pages::aggregate(const Item& item, int32_t row) const {
    const size_t n = tables_.front().rowCount;
    int64_t first = 0, last = static_cast<int64_t>(n) - 1;
    if (item.scopeLevel >= 0) {
        if (row < 0 || static_cast<size_t>(row) >= n)
            return item.kind == ItemKind::Count ? com::Variant(int32_t{0}) : com::Variant();
        first = groupStart_[static_cast<size_t>(item.scopeLevel)][static_cast<size_t>(row)];
        last = groupEnd_[static_cast<size_t>(item.scopeLevel)][static_cast<size_t>(row)];
    }
    if (item.kind == ItemKind::Count) return static_cast<int32_t>(last - first + 1);
    const RunningSum& s = sums_[static_cast<size_t>(item.sumSlot)];
    const auto a = static_cast<size_t>(first), b = static_cast<size_t>(last + 1);
    switch (s.kind) {
    case RunningSum::Kind::Real: return s.real[b] - s.real[a];
    case RunningSum::Kind::Money: return com::Currency::fromUnits(s.exact[b] - s.exact[a]);
    case RunningSum::Kind::Integer: {
        const int64_t v = s.exact[b] - s.exact[a];
        if (v >= INT32_MIN && v <= INT32_MAX) return static_cast<int32_t>(v);
        return static_cast<double>(v);
    }
    }
    return {};
}

std::string Pages::itemText(const Item& item, const Placement& p, int32_t pageIndex) const {
    bool number = false;
    return itemText(item, p, pageIndex, number);
}

std::string Pages::itemText(const Item& item, const Placement& p, int32_t pageIndex, bool& number) const {
    number = false;
    const auto shown = [&](const com::Variant& value) {
        number = value.isNumber();
        return formatValue(value, item.format, item.blankWhenZero);
    };
    switch (item.kind) {
    case ItemKind::Text: return item.text;
    case ItemKind::Field: {
        const Table* table = &tables_.front();
        int32_t row = p.row;
        if (!item.query.empty()) {
            for (const auto& t : tables_)
                if (t.name == item.query) table = &t;
            row = 0;
        }
        if (row < 0 || static_cast<size_t>(row) >= table->rowCount) return {};
        return shown(table->at(static_cast<size_t>(row), static_cast<size_t>(item.columnIndex)));
    }
    case ItemKind::Parameter: return shown(parameters_[static_cast<size_t>(item.parameterIndex)]);
    case ItemKind::Sum:
    case ItemKind::Count: return shown(aggregate(item, p.row));
    case ItemKind::Special: {
        const std::string page = std::to_string(pageIndex + 1), total = std::to_string(pages_.size());
        switch (item.special) {
        case Special::Page:
            return item.text.empty() ? page
                                     : QString::fromStdString(item.text)
                                           .replace("{page}", QString::fromStdString(page))
                                           .toStdString();
        case Special::Pages: return total;
        case Special::PageOfPages:
            return QString::fromStdString(item.text)
                .replace("{page}", QString::fromStdString(page))
                .replace("{pages}", QString::fromStdString(total))
                .toStdString();
        case Special::PrintDate: {
            const std::string date = dateText(printDate_);
            return item.text.empty() ? date
                                     : QString::fromStdString(item.text)
                                           .replace("{date}", QString::fromStdString(date))
                                           .toStdString();
        }
        }
        return {};
    }
    case ItemKind::Line:
    case ItemKind::Box: return {};
    }
    return {};
}

namespace {
// The height a wrapped text needs in its item's width.
int neededHeight(const Item& item, const std::string& text) {
    const QFontMetricsF metrics(item.font);
    const QRectF needed =
        metrics.boundingRect(QRectF(0, 0, std::max(1, item.w - 2 * TextPadding), 1e7),
                             Qt::TextWordWrap | (item.align & Qt::AlignHorizontal_Mask), QString::fromStdString(text));
    return static_cast<int>(std::ceil(needed.height()));
}
}  // namespace

int Pages::bandHeight(const Band& b, int32_t row) const {
    int height = b.height;
    for (const Item& item : b.items) {
        if (!item.canGrow) continue;
        const std::string text = itemText(item, {0, row, 0, 0}, 0);
        if (text.empty()) continue;
        height = std::max(height, item.y + std::max(item.h, neededHeight(item, text)));
    }
    return height;
}

void Pages::layout() {
    const Definition& d = *definition_;
    const Table& main = tables_.front();
    const int body = static_cast<int>(d.page.paintRectPoints().height() * 20);
    const int limit = body - (d.pageFooter.visible ? d.pageFooter.height : 0);
    const size_t levels = d.groups.size();
    int y = 0;
    int32_t lastRow = main.rowCount ? 0 : -1;
    bool placedOnPage = false;  // anything but the page header and repeated group headers

    auto finishPage = [&] {
        if (pages_.empty()) return;
        if (d.pageFooter.present && d.pageFooter.visible && d.pageFooter.height > 0)
            pages_.back().push_back({PageFooter, lastRow, limit, d.pageFooter.height});
    };
    // A page continued by overflow repeats the headers of the groups still open (a group
    // whose header is being placed at its own first row is not yet open).
    auto newPage = [&](int32_t row, bool repeatHeaders, uint16_t forBand = Detail) {
        finishPage();
        pages_.emplace_back();
        y = 0;
        placedOnPage = false;
        if (d.pageHeader.present && d.pageHeader.visible && d.pageHeader.height > 0) {
            pages_.back().push_back({PageHeader, row, 0, d.pageHeader.height});
            y = d.pageHeader.height;
        }
        if (repeatHeaders && row >= 0)
            for (size_t l = 0; l < levels; ++l) {
                const Band& h = d.groups[l].header;
                if (!d.groups[l].repeatHeader || !h.present || !h.visible) continue;
                const bool opening = forBand >= FirstGroupBand && (forBand - FirstGroupBand) % 2 == 0 &&
                                     static_cast<size_t>(forBand - FirstGroupBand) / 2 <= l;
                if (opening && groupStart_[l][static_cast<size_t>(row)] == row) continue;
                const int hh = bandHeight(h, row);
                pages_.back().push_back({groupHeader(l), row, y, hh});
                y += hh;
            }
    };
    auto place = [&](uint16_t id, int32_t row) {
        const Band& b = band(id);
        if (!b.present || !b.visible) return;
        const int h = bandHeight(b, row);
        if (h <= 0 && b.items.empty()) return;
        if (y + h > limit && placedOnPage) newPage(row, id != ReportFooter, id);
        pages_.back().push_back({id, row, y, h});
        y += h;
        placedOnPage = true;
        if (row >= 0) lastRow = row;
    };

    newPage(lastRow, false);
    place(ReportHeader, lastRow);
    const size_t n = main.rowCount;
    bool breakPending = false;
    for (size_t r = 0; r < n; ++r) {
        const auto row = static_cast<int32_t>(r);
        size_t level = levels;  // the outermost group that starts at this row
        for (size_t l = 0; l < levels; ++l)
            if (groupStart_[l][r] == row) {
                level = l;
                break;
            }
        if (r > 0) {
            for (size_t l = levels; l-- > level;) {
                place(groupFooter(l), row - 1);
                if (d.groups[l].pageBreak == PageBreak::After) breakPending = true;
            }
            for (size_t l = level; l < levels; ++l)
                if (d.groups[l].pageBreak == PageBreak::Before) breakPending = true;
            if (d.detail.pageBreak == PageBreak::After) breakPending = true;
            if (breakPending && placedOnPage) newPage(row, false);
            breakPending = false;
        }
        lastRow = row;
        for (size_t l = level; l < levels; ++l) place(groupHeader(l), row);
        place(Detail, row);
    }
    const int32_t last = n ? static_cast<int32_t>(n - 1) : -1;
    for (size_t l = levels; l-- > 0;)
        if (n) place(groupFooter(l), last);
    place(ReportFooter, last);
    finishPage();
}

void Pages::paint(QPainter& painter, int32_t index) const {
    const Definition& d = *definition_;
    QPaintDevice* device = painter.device();
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    painter.scale(device->logicalDpiX() / 1440.0, device->logicalDpiY() / 1440.0);
    const QRectF paper = d.page.fullRectPoints();
    const QRectF area = d.page.paintRectPoints();
    painter.fillRect(QRectF(0, 0, paper.width() * 20, paper.height() * 20), Qt::white);
    painter.translate(area.left() * 20, area.top() * 20);
    for (const Placement& p : pages_[static_cast<size_t>(index)]) {
        const Band& b = band(p.band);
        for (const Item& item : b.items) {
            bool number = false;
            const std::string text = itemText(item, p, index, number);
            const int height = item.canGrow && !text.empty() ? std::max(item.h, neededHeight(item, text)) : item.h;
            const QRectF box(item.x, p.y + item.y, item.w, height);
            switch (item.kind) {
            case ItemKind::Line: {
                painter.setPen(QPen(item.color, std::max(1, item.border)));
                painter.drawLine(QPointF(item.x, p.y + item.y), QPointF(item.x + item.w, p.y + item.y + item.h));
                break;
            }
            case ItemKind::Box:
                painter.setPen(item.border > 0 ? QPen(item.borderColor, item.border) : QPen(Qt::NoPen));
                painter.setBrush(item.background.isValid() ? QBrush(item.background) : QBrush(Qt::NoBrush));
                painter.drawRect(box);
                painter.setBrush(Qt::NoBrush);
                break;
            default: {
                if (item.background.isValid()) painter.fillRect(box, item.background);
                if (item.border > 0) {
                    painter.setPen(QPen(item.borderColor, item.border));
                    painter.drawRect(box);
                }
                if (text.empty()) break;
                const QRectF inner = box.adjusted(TextPadding, 0, -TextPadding, 0);
                const CellText cell =
                    fitCell(QString::fromStdString(text), number, item.wrap, item.font, inner.width(), inner.height());
                painter.setFont(cell.font);
                painter.setPen(item.color);
                // A line of text is fitted to its cell and drawn whole; wrapped text stays inside its box.
                painter.drawText(inner, item.align | (item.wrap ? Qt::TextWordWrap : Qt::TextDontClip), cell.text);
            }
            }
        }
    }
    painter.restore();
}

std::vector<std::string> Pages::texts(int32_t index) const {
    std::vector<std::string> out;
    for (const Placement& p : pages_[static_cast<size_t>(index)])
        for (const Item& item : band(p.band).items) {
            if (item.kind == ItemKind::Line || item.kind == ItemKind::Box) continue;
            // As painted: the same fitting in the same box.
            bool number = false;
            const std::string shown = itemText(item, p, index, number);
            const int height = item.canGrow && !shown.empty() ? std::max(item.h, neededHeight(item, shown)) : item.h;
            std::string t =
                fitCell(QString::fromStdString(shown), number, item.wrap, item.font, item.w - 2 * TextPadding, height)
                    .text.toStdString();
            if (!t.empty()) out.push_back(std::move(t));
        }
    return out;
}

}  // namespace reports
